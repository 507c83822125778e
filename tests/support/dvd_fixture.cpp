#include "dvd_fixture.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <memory>

#include "test_media.h"

namespace orvex::test {

namespace {

const QString kFont = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");

bool writeFile(const QString& path, const QByteArray& text) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
}

// Runs a tool in `folder` (no shell), standard input and output from and to files when given.
// Empty on success, otherwise the reason with the tool's last words.
QString runTool(const QString& folder, const QString& program, const QStringList& args,
                const QString& inFile = {}, const QString& outFile = {}) {
    QProcess p;
    p.setWorkingDirectory(folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VIDEO_FORMAT"), QStringLiteral("PAL"));  // dvdauthor, spumux
    p.setProcessEnvironment(env);
    if (!inFile.isEmpty()) {
        p.setStandardInputFile(QDir(folder).filePath(inFile));
    }
    if (!outFile.isEmpty()) {
        p.setStandardOutputFile(QDir(folder).filePath(outFile));
    }
    p.start(program, args);
    if (!p.waitForStarted(10000)) {
        return program + QStringLiteral(" did not start: ") + p.errorString();
    }
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return program + QStringLiteral(" timed out");
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        return program + QStringLiteral(" failed: ") +
               QString::fromLocal8Bit(p.readAllStandardError().right(600));
    }
    return {};
}

// An MPEG-2 program stream for DVD: testsrc picture (with moving noise, so that the encoder
// spends the bits asked for), one tone per entry of `tones` (first AC-3, then MP2).
QString makeTitleStream(const QString& folder, const QString& name, double seconds,
                        const QString& videoRate, const QList<int>& tones, const QString& aspect) {
    const QString dur = QString::number(seconds);
    QStringList args{"-nostdin",
                     "-hide_banner",
                     "-loglevel",
                     "error",
                     "-y",
                     "-f",
                     "lavfi",
                     "-i",
                     QStringLiteral("testsrc=duration=%1:rate=25:size=720x576").arg(dur)};
    for (int hz : tones) {
        args << "-f"
             << "lavfi"
             << "-i"
             << QStringLiteral("sine=frequency=%1:sample_rate=48000:duration=%2").arg(hz).arg(dur);
    }
    args << "-map"
         << "0:v";
    for (int i = 0; i < tones.size(); ++i) {
        args << "-map" << QStringLiteral("%1:a").arg(i + 1);
    }
    args << "-vf"
         << "noise=alls=30:allf=t"
         << "-target"
         << "pal-dvd"
         << "-aspect" << aspect << "-b:v" << videoRate << "-c:a:0"
         << "ac3";
    if (tones.size() > 1) {
        args << "-c:a:1"
             << "mp2";
    }
    args << "-b:a"
         << "128k"
         << "-ac"
         << "2" << name;
    return runTool(folder, QStringLiteral("ffmpeg"), args);
}

QString makeSubtitled(const QString& folder) {
    const QByteArray srt =
        "1\n00:00:00,500 --> 00:00:02,500\nFIRST\n\n"
        "2\n00:00:03,500 --> 00:00:05,500\nSECOND\n\n"
        "3\n00:00:06,500 --> 00:00:08,500\nTHIRD\n";
    const QByteArray spu = QStringLiteral(
                               "<subpictures format=\"PAL\"><stream>"
                               "<textsub filename=\"t1.srt\" characterset=\"UTF-8\" "
                               "fontsize=\"48.0\" font=\"%1\" horizontal-alignment=\"center\" "
                               "vertical-alignment=\"bottom\" bottom-margin=\"40\" "
                               "subtitle-fps=\"25\" movie-fps=\"25\" movie-width=\"720\" "
                               "movie-height=\"576\"/>"
                               "</stream></subpictures>\n")
                               .arg(kFont)
                               .toUtf8();
    if (!QFile::exists(kFont)) {
        return QStringLiteral("no font at ") + kFont + QStringLiteral(" (fonts-dejavu-core)");
    }
    if (!writeFile(QDir(folder).filePath("t1.srt"), srt) ||
        !writeFile(QDir(folder).filePath("spu.xml"), spu)) {
        return QStringLiteral("cannot write the subtitle files");
    }
    return runTool(folder, QStringLiteral("spumux"), {"-s", "0", "spu.xml"}, "t1.mpg",
                   "t1_sub.mpg");
}

QString titleSetXml(const QString& videoAspect, const QStringList& audio, bool subpicture,
                    const QString& pgcs) {
    QString xml =
        QStringLiteral("<titleset><titles><video format=\"pal\" aspect=\"%1\"/>").arg(videoAspect);
    for (const QString& a : audio) {
        xml += a;
    }
    if (subpicture) {
        xml += QStringLiteral("<subpicture lang=\"de\"/>");
    }
    return xml + pgcs + QStringLiteral("</titles></titleset>");
}

QString author(const QString& folder, const QString& titleSets,
               const QString& dest = QStringLiteral("disc")) {
    const QByteArray xml =
        (QStringLiteral("<dvdauthor dest=\"%1\"><vmgm/>").arg(dest) + titleSets + "</dvdauthor>\n")
            .toUtf8();
    const QString name = dest + QStringLiteral(".xml");
    if (!writeFile(QDir(folder).filePath(name), xml)) {
        return QStringLiteral("cannot write ") + name;
    }
    return runTool(folder, QStringLiteral("dvdauthor"), {"-x", name});
}

QString firstSetAudio() {
    return QStringLiteral("<audio format=\"ac3\" lang=\"en\"/><audio format=\"mp2\" lang=\"fr\"/>");
}

// The sources are kept beside the disc for makeRepeatedDvd.
struct Made {
    std::unique_ptr<QTemporaryDir> dir;
    DvdFixture fixture;
};

Made make() {
    Made m;
    m.dir = std::make_unique<QTemporaryDir>();
    if (!m.dir->isValid()) {
        m.fixture.error = QStringLiteral("no temporary folder");
        return m;
    }
    const QString folder = m.dir->path();
    QString error = makeTitleStream(folder, "t1.mpg", 9, "7000k",
                                    {kFixtureToneHz[0], kFixtureToneHz[1]}, "4:3");
    if (error.isEmpty()) {
        error = makeSubtitled(folder);
    }
    if (error.isEmpty()) {
        error = makeTitleStream(folder, "t2.mpg", 1, "2000k",
                                {kFixtureToneHz[0], kFixtureToneHz[1]}, "4:3");
    }
    if (error.isEmpty()) {
        error = makeTitleStream(folder, "t3.mpg", 4, "6000k", {kFixtureSecondSetToneHz}, "16:9");
    }
    if (error.isEmpty()) {
        error = author(folder,
                       titleSetXml("4:3", {firstSetAudio()}, true,
                                   "<pgc><vob file=\"t1_sub.mpg\" chapters=\"0,0:03,0:06\"/></pgc>"
                                   "<pgc><vob file=\"t2.mpg\"/></pgc>") +
                           titleSetXml("16:9", {"<audio format=\"ac3\" lang=\"es\"/>"}, false,
                                       "<pgc><vob file=\"t3.mpg\"/></pgc>"));
    }
    if (error.isEmpty()) {
        m.fixture.root = folder + QStringLiteral("/disc");
    } else {
        m.fixture.error = QStringLiteral("cannot make the DVD fixture: ") + error;
    }
    return m;
}

const Made& made() {
    static const Made m = make();
    return m;
}

QString sourceFolder() {
    return QFileInfo(made().fixture.root).path();
}

// The bar subtitle over the subtitled title: stream 1 of t1_bars.mpg.
QString makeBarSubtitle(const QString& folder) {
    const BarRect& b = kBarRect;
    QString error =
        runTool(folder, QStringLiteral("ffmpeg"),
                {"-nostdin", "-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                 QStringLiteral("color=c=white:s=%1x%2").arg(b.width).arg(b.height), "-vf",
                 QStringLiteral("drawbox=x=%1:y=%1:w=%2:h=%3:color=red:t=fill")
                     .arg(b.border)
                     .arg(b.width - 2 * b.border)
                     .arg(b.height - 2 * b.border),
                 "-frames:v", "1", "bar.png"});
    const QByteArray spu = QStringLiteral(
                               "<subpictures format=\"PAL\"><stream><spu start=\"00:00:00.5\" "
                               "end=\"00:00:08.5\" image=\"bar.png\" xoffset=\"%1\" "
                               "yoffset=\"%2\"/></stream></subpictures>\n")
                               .arg(b.x)
                               .arg(b.y)
                               .toUtf8();
    if (error.isEmpty() && !writeFile(QDir(folder).filePath("bar.xml"), spu)) {
        error = QStringLiteral("cannot write bar.xml");
    }
    if (error.isEmpty()) {
        error = runTool(folder, QStringLiteral("spumux"), {"-s", "1", "bar.xml"}, "t1_sub.mpg",
                        "t1_bars.mpg");
    }
    return error;
}

DvdFixture makeMultiCell() {
    DvdFixture f;
    if (made().fixture.root.isEmpty()) {
        f.error = made().fixture.error;
        return f;
    }
    const QString folder = sourceFolder();
    QString error = makeBarSubtitle(folder);
    if (error.isEmpty()) {
        const QString cells = QStringLiteral(
            "<pgc><vob file=\"t1_bars.mpg\"><cell start=\"0\" end=\"1.2\" chapter=\"1\"/>"
            "<cell start=\"1.2\" end=\"2.4\"/><cell start=\"2.4\" end=\"3\"/>"
            "<cell start=\"3\" end=\"6\" chapter=\"1\"/>"
            "<cell start=\"6\" end=\"7.2\" chapter=\"1\"/><cell start=\"7.2\"/>"
            "</vob></pgc>");
        const QString titleSets =
            titleSetXml("4:3", {firstSetAudio()}, true, cells)
                .replace(QStringLiteral("<subpicture lang=\"de\"/>"),
                         QStringLiteral("<subpicture lang=\"de\"/><subpicture lang=\"en\"/>")) +
            titleSetXml("16:9", {"<audio format=\"ac3\" lang=\"es\"/>"}, false,
                        "<pgc><vob file=\"t3.mpg\"/></pgc>");
        error = author(folder, titleSets, QStringLiteral("multicell"));
    }
    if (error.isEmpty()) {
        f.root = folder + QStringLiteral("/multicell");
    } else {
        f.error = QStringLiteral("cannot make the multi-cell DVD: ") + error;
    }
    return f;
}

QString twoDigits(int n) {
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

}  // namespace

QString DvdFixture::ifoPath(int titleSet) const {
    return root + QStringLiteral("/VIDEO_TS/VTS_%1_0.IFO").arg(twoDigits(titleSet));
}

QString DvdFixture::vobPath(int titleSet) const {
    return root + QStringLiteral("/VIDEO_TS/VTS_%1_1.VOB").arg(twoDigits(titleSet));
}

const DvdFixture& dvdFixture() {
    return made().fixture;
}

QStringList barColourMismatches(const QByteArray& frame, int width, int height, Rgb red, Rgb white,
                                int tolerance) {
    const BarRect& bar = kBarRect;
    const struct {
        const char* what;
        int x, y;
        Rgb expected;
    } points[] = {
        {"red inside", bar.x + bar.width / 2, bar.y + bar.height / 2, red},
        {"white frame", bar.x + bar.border / 2, bar.y + bar.height / 2, white},
    };
    QStringList wrong;
    for (const auto& p : points) {
        const Rgb got = rgbAt(frame, width, p.x * width / 720, p.y * height / 576);
        if (got.distance(p.expected) > tolerance) {
            wrong << QStringLiteral("%1: %2,%3,%4 for %5,%6,%7")
                         .arg(QLatin1String(p.what))
                         .arg(got.r)
                         .arg(got.g)
                         .arg(got.b)
                         .arg(p.expected.r)
                         .arg(p.expected.g)
                         .arg(p.expected.b);
        }
    }
    return wrong;
}

const DvdFixture& multiCellDvd() {
    static const DvdFixture f = makeMultiCell();
    return f;
}

const DvdFixture& dvdImage() {
    static const DvdFixture image = [] {
        DvdFixture f;
        if (dvdFixture().root.isEmpty()) {
            f.error = dvdFixture().error;
            return f;
        }
        const QString error =
            runTool(sourceFolder(), QStringLiteral("genisoimage"),
                    {"-quiet", "-dvd-video", "-o", "disc.iso", dvdFixture().root});
        if (error.isEmpty()) {
            f.root = sourceFolder() + QStringLiteral("/disc.iso");
        } else {
            f.error = QStringLiteral("cannot make the DVD image: ") + error;
        }
        return f;
    }();
    return image;
}

QString makeManySetsDvd(const QString& folder, int count, QString* error) {
    const DvdFixture& f = dvdFixture();
    if (f.root.isEmpty() || count > int(std::size(kManySetsLanguages))) {
        *error = f.root.isEmpty() ? f.error : QStringLiteral("too many title sets");
        return {};
    }
    if (!QDir().mkpath(folder)) {
        *error = QStringLiteral("cannot make ") + folder;
        return {};
    }
    // Three seconds of the first title, its picture and first audio track copied as they are.
    *error = runTool(folder, QStringLiteral("ffmpeg"),
                     {"-nostdin", "-hide_banner", "-loglevel", "error", "-y", "-i",
                      sourceFolder() + QStringLiteral("/t1.mpg"), "-t", "3", "-map", "0:v", "-map",
                      "0:a:0", "-c", "copy", "-f", "dvd", "clip.mpg"});
    QString titleSets;
    for (int n = 1; n <= count && error->isEmpty(); ++n) {
        // dvdauthor writes a file named twice only once, so each set gets a name of its own.
        const QString name = QStringLiteral("clip%1.mpg").arg(n);
        if (!QFile::link(QStringLiteral("clip.mpg"), QDir(folder).filePath(name))) {
            *error = QStringLiteral("cannot link ") + name;
        }
        titleSets += titleSetXml(
            "4:3",
            {QStringLiteral("<audio format=\"ac3\" lang=\"%1\"/>").arg(kManySetsLanguages[n - 1])},
            false, QStringLiteral("<pgc><vob file=\"%1\"/></pgc>").arg(name));
    }
    if (error->isEmpty()) {
        *error = author(folder, titleSets);
    }
    return error->isEmpty() ? folder + QStringLiteral("/disc") : QString();
}

bool copyDvdFixture(const QString& folder) {
    const DvdFixture& f = dvdFixture();
    if (f.root.isEmpty()) {
        return false;
    }
    const QDir from(f.root);
    QDirIterator it(f.root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString to = folder + QLatin1Char('/') + from.relativeFilePath(file);
        if (!QDir().mkpath(QFileInfo(to).path()) || !QFile::copy(file, to)) {
            return false;
        }
    }
    return true;
}

bool scrambleVob(const QString& vobPath, int fromSector) {
    QFile f(vobPath);
    if (!f.open(QIODevice::ReadWrite)) {
        return false;
    }
    QByteArray data = f.readAll();
    for (qsizetype s = qsizetype{fromSector} * 2048; s + 2048 <= data.size(); s += 2048) {
        qsizetype at = s + 14 + (data[s + 13] & 7);
        while (at + 9 <= s + 2048 && data[at] == 0 && data[at + 1] == 0 && data[at + 2] == 1) {
            const auto id = static_cast<unsigned char>(data[at + 3]);
            if (id == 0xbd || (id >= 0xc0 && id <= 0xef)) {
                data[at + 6] = static_cast<char>(data[at + 6] | 0x10);  // scrambling control 01
            }
            at += 6 + ((static_cast<unsigned char>(data[at + 4]) << 8) |
                       static_cast<unsigned char>(data[at + 5]));
        }
    }
    return f.seek(0) && f.write(data) == data.size();
}

QString makeRepeatedDvd(const QString& folder, int repeats, QString* error) {
    const DvdFixture& f = dvdFixture();
    if (f.root.isEmpty()) {
        *error = f.error;
        return {};
    }
    const QString source = sourceFolder() + QStringLiteral("/t1_sub.mpg");
    QString vobs;
    for (int i = 0; i < repeats; ++i) {
        // dvdauthor writes a file named twice only once, so each repeat gets a name of its own.
        const QString name = QStringLiteral("repeat%1.mpg").arg(i);
        if (!QFile::link(source, QDir(folder).filePath(name))) {
            *error = QStringLiteral("cannot link ") + name;
            return {};
        }
        vobs += QStringLiteral("<vob file=\"%1\"/>").arg(name);
    }
    *error = author(folder, titleSetXml("4:3", {firstSetAudio()}, true,
                                        QStringLiteral("<pgc>") + vobs + QStringLiteral("</pgc>")));
    return error->isEmpty() ? folder + QStringLiteral("/disc") : QString();
}

}  // namespace orvex::test
