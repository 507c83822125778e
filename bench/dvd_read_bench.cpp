// DVD reading: a title piped through register.dat into FFmpeg (-c copy -f null) against `cat`
// of the same VOB bytes into the same FFmpeg, the sector reader alone against reading the VOB
// file, and loading a disc (through ifoinfo alone, and as Add DVD does: search, title sets,
// rows) against lsdvd -x, on the two-set fixture and on a disc of 40 title sets listed in the
// chapter view (goal: within 2x of lsdvd -x). Runs are interleaved in pairs and the median of
// the pairs' ratios is printed (goal for register.dat: at least 0.9 of cat's throughput). On a
// shared machine wall times swing; the processor time spent (children's user + system time,
// and for Add DVD its own as well) is printed too and moves far less.
#include <sys/resource.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "../tests/support/dvd_fixture.h"
#include "../tests/support/fake_machine.h"
#include "../tests/support/fake_user_interface.h"
#include "../tests/support/test_media.h"
#include "../tests/support/test_session.h"
#include "dvdsectors/dvd_sector_reader.h"
#include "ifoinfo/ifoinfo.h"

namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Processor time of all children waited for so far, in milliseconds.
double childrenCpuMs() {
    rusage u{};
    ::getrusage(RUSAGE_CHILDREN, &u);
    auto ms = [](const timeval& t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    return ms(u.ru_utime) + ms(u.ru_stime);
}

// Wall and processor milliseconds of one run of `run`.
struct Cost {
    double wall = -1, cpu = -1;
};

template <typename F>
Cost measure(F run) {
    const double cpuBefore = childrenCpuMs();
    const double wall = run();
    return {wall, childrenCpuMs() - cpuBefore};
}

const QStringList kCopyToNull{"-c", "copy", "-f", "null", "-"};
const QStringList kPipeInput{"-f",   "mpeg",  "-probesize", "40M",  "-analyzeduration",
                             "40M",  "-i",    "pipe:0",     "-map", "0:v:0",
                             "-map", "0:a:0?"};

// Milliseconds of `cat vob | ffmpeg ...`, the two processes joined by a pipe (no shell).
double catIntoFfmpeg(const QString& vob) {
    QElapsedTimer t;
    t.start();
    QProcess cat, ffmpeg;
    cat.setStandardOutputProcess(&ffmpeg);
    ffmpeg.setStandardOutputFile(QProcess::nullDevice());
    ffmpeg.setStandardErrorFile(QProcess::nullDevice());
    cat.start("cat", {vob});
    ffmpeg.start("ffmpeg", QStringList{"-nostdin"} + kPipeInput + kCopyToNull);
    cat.waitForFinished(-1);
    ffmpeg.waitForFinished(-1);
    return ffmpeg.exitCode() == 0 ? double(t.nsecsElapsed()) / 1e6 : -1;
}

double registerDat(const QString& locator) {
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(orvex::test::registerDatPath(), QStringList{"-i", locator} + kCopyToNull);
    p.waitForFinished(-1);
    return p.exitCode() == 0 ? double(t.nsecsElapsed()) / 1e6 : -1;
}

double readFile(const QString& vob, std::vector<char>& buf) {
    QElapsedTimer t;
    t.start();
    QFile f(vob);
    if (!f.open(QIODevice::ReadOnly)) {
        return -1;
    }
    while (f.read(buf.data(), qint64(buf.size())) > 0) {
    }
    return double(t.nsecsElapsed()) / 1e6;
}

double readSectors(const std::string& locator, std::vector<char>& buf) {
    QElapsedTimer t;
    t.start();
    orvex::dvd::DvdSectorReader reader;
    if (!reader.open(locator)) {
        return -1;
    }
    int64_t n;
    while ((n = reader.read(buf.data(), buf.size())) > 0) {
    }
    return n == 0 ? double(t.nsecsElapsed()) / 1e6 : -1;
}

double loadThroughIfoinfo(const orvex::test::DvdFixture& fixture) {
    QElapsedTimer t;
    t.start();
    for (int set = 1; set <= 2; ++set) {
        IfoInfo* h = ifoOpen(fixture.ifoPath(set).toUtf8().constData(), 0);
        if (!h) {
            return -1;
        }
        for (int c = 0; c < ifoGetNumPGCI(h); ++c) {
            unsigned char time[4];
            std::vector<unsigned char> cells(size_t(ifoGetPGCIInfo(h, c, time)) * 17);
            ifoGetPGCICells(h, c, cells.data());
        }
        for (int i = 0; i < ifoGetNumAudio(h); ++i) {
            ifoGetAudioDesc(h, i);
        }
        for (int i = 0; i < ifoGetNumSubPic(h); ++i) {
            ifoGetSubPicDesc(h, i);
        }
        ifoGetVideoDesc(h);
        ifoClose(h);
    }
    return double(t.nsecsElapsed()) / 1e6;
}

// Add DVD on the disc folder, from the search to the rows of every title set.
double loadAsAddDvd(Session& session, const QString& root, int rows) {
    QElapsedTimer t;
    t.start();
    if (!session.dvdDiscovery().addDvdFolder(root) || session.jobs().rowCount() != rows) {
        return -1;
    }
    return double(t.nsecsElapsed()) / 1e6;
}

// Processor time of this process and the children waited for, in milliseconds.
double ownAndChildrenCpuMs() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    auto ms = [](const timeval& t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    return ms(u.ru_utime) + ms(u.ru_stime) + childrenCpuMs();
}

double lsdvd(const QString& root) {
    QElapsedTimer t;
    t.start();
    const int rc = orvex::test::runProgram("lsdvd", {"-x", root});
    return rc == 0 ? double(t.nsecsElapsed()) / 1e6 : -1;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    constexpr int kRepeats = 24;  // about 200 MB of title
    QTemporaryDir dir;
    QString error;
    const QString root = orvex::test::makeRepeatedDvd(dir.path(), kRepeats, &error);
    if (root.isEmpty()) {
        std::fprintf(stderr, "dvd_read_bench: %s\n", qPrintable(error));
        return 1;
    }
    const QString vob = root + "/VIDEO_TS/VTS_01_1.VOB";
    const qint64 bytes = QFile(vob).size();
    const QString locator = QStringLiteral("vts://01*0*%1*0*0*/%2").arg(bytes / 2048 - 1).arg(root);
    std::vector<char> buf(1 << 20);
    readFile(vob, buf);  // into the page cache, as a disc read twice would be

    constexpr int kRuns = 9;
    std::vector<double> wallRatio, cpuRatio, catWall, regWall, readRatio, fileMs, sectorMs;
    for (int k = 0; k < kRuns; ++k) {
        const Cost cat = measure([&] { return catIntoFfmpeg(vob); });
        const Cost reg = measure([&] { return registerDat(locator); });
        if (cat.wall <= 0 || reg.wall <= 0) {
            std::fprintf(stderr, "dvd_read_bench: a conversion failed\n");
            return 1;
        }
        wallRatio.push_back(cat.wall / reg.wall);
        cpuRatio.push_back(cat.cpu / reg.cpu);
        catWall.push_back(cat.wall);
        regWall.push_back(reg.wall);
        const double f = readFile(vob, buf);
        const double s = readSectors(locator.toStdString(), buf);
        fileMs.push_back(f);
        sectorMs.push_back(s);
        readRatio.push_back(f / s);
    }
    const double mb = double(bytes) / 1e6;
    std::printf(
        "dvd_read_bench: title of %.0f MB, -c copy -f null: cat | ffmpeg %.0f ms (%.0f MB/s), "
        "register.dat %.0f ms (%.0f MB/s); throughput ratio %.2f (goal >= 0.90), "
        "processor time ratio %.2f\n",
        mb, median(catWall), mb / median(catWall) * 1000, median(regWall),
        mb / median(regWall) * 1000, median(wallRatio), median(cpuRatio));
    std::printf(
        "dvd_read_bench: reading alone: file %.0f ms (%.0f MB/s), sector reader %.0f ms "
        "(%.0f MB/s); throughput ratio %.2f\n",
        median(fileMs), mb / median(fileMs) * 1000, median(sectorMs), mb / median(sectorMs) * 1000,
        median(readRatio));

    const orvex::test::DvdFixture& fixture = orvex::test::dvdFixture();
    orvex::test::FakeUserInterface ui;
    orvex::test::FakeMachine machine;
    if (!orvex::test::copyProfilesPop(dir.path())) {
        std::fprintf(stderr, "dvd_read_bench: profiles.pop could not be copied\n");
        return 1;
    }
    const std::unique_ptr<Session> session =
        orvex::test::makeTestSession(dir.path(), QStringLiteral("orvex-dvd"), ui, machine);
    session->loadSettings();
    std::vector<double> viaIfoinfo, viaAddDvd, viaLsdvd;
    for (int k = 0; k < 9; ++k) {
        viaIfoinfo.push_back(loadThroughIfoinfo(fixture));
        viaAddDvd.push_back(loadAsAddDvd(*session, fixture.root, 2));
        viaLsdvd.push_back(lsdvd(fixture.root));
    }
    std::printf(
        "dvd_read_bench: loading 2 title sets: ifoinfo %.1f ms, Add DVD (search and rows) "
        "%.1f ms, lsdvd -x %.1f ms; time ratios to lsdvd %.2f and %.2f\n",
        median(viaIfoinfo), median(viaAddDvd), median(viaLsdvd),
        median(viaIfoinfo) / median(viaLsdvd), median(viaAddDvd) / median(viaLsdvd));

    // 40 title sets of one title each, in the chapter view: 80 rows.
    constexpr int kSets = 40;
    const QString many = orvex::test::makeManySetsDvd(dir.path() + "/many", kSets, &error);
    if (many.isEmpty()) {
        std::fprintf(stderr, "dvd_read_bench: %s\n", qPrintable(error));
        return 1;
    }
    session->dvdTitles().switchView();  // nothing listed yet: only the view changes
    std::vector<double> manyWall, manyCpu, lsdvdWall, lsdvdCpu, wallRatio40, cpuRatio40;
    for (int k = 0; k < 15; ++k) {
        double cpu = ownAndChildrenCpuMs();
        const double add = loadAsAddDvd(*session, many, 2 * kSets);
        const double addCpu = ownAndChildrenCpuMs() - cpu;
        cpu = childrenCpuMs();
        const double ls = lsdvd(many);
        const double lsCpu = childrenCpuMs() - cpu;
        if (add <= 0 || ls <= 0) {
            std::fprintf(stderr, "dvd_read_bench: listing the 40 title sets failed\n");
            return 1;
        }
        manyWall.push_back(add);
        manyCpu.push_back(addCpu);
        lsdvdWall.push_back(ls);
        lsdvdCpu.push_back(lsCpu);
        wallRatio40.push_back(add / ls);
        cpuRatio40.push_back(addCpu / std::max(lsCpu, 0.01));
    }
    std::printf(
        "dvd_read_bench: listing %d title sets in the chapter view: Add DVD %.1f ms (%.1f ms "
        "processor), lsdvd -x %.1f ms (%.1f ms processor); ratio to lsdvd %.2f (goal <= 2.00), "
        "processor time ratio %.2f\n",
        kSets, median(manyWall), median(manyCpu), median(lsdvdWall), median(lsdvdCpu),
        median(wallRatio40), median(cpuRatio40));
    return median(sectorMs) > 0 && median(viaIfoinfo) > 0 && median(viaAddDvd) > 0 &&
                   median(viaLsdvd) > 0
               ? 0
               : 1;
}
