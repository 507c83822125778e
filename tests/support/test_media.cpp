#include "test_media.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <cstdlib>

namespace orvex::test {

QString binDir() {
    return QStringLiteral(ORVEX_TEST_BIN_DIR);
}
QString registerDatPath() {
    return binDir() + QStringLiteral("/register.dat");
}
QString profilesPopPath() {
    return binDir() + QStringLiteral("/profiles.pop");
}

int runProgram(const QString& program, const QStringList& args, QString* output, int timeoutMs) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForStarted(10000)) {
        return -1;
    }
    p.closeWriteChannel();
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return -1;
    }
    if (output) {
        *output = QString::fromUtf8(p.readAll());
    }
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

RunResult runRegisterDat(const QStringList& args, const QString& ffmpeg) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("ORVEX_FFMPEG"));
    if (!ffmpeg.isNull()) {
        env.insert(QStringLiteral("ORVEX_FFMPEG"), ffmpeg);
    }
    p.setProcessEnvironment(env);
    p.start(registerDatPath(), args);
    RunResult r;
    if (!p.waitForStarted(10000)) {
        return r;
    }
    p.closeWriteChannel();
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.crashed = p.exitStatus() != QProcess::NormalExit;
    r.exitCode = r.crashed ? -1 : p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

bool makeClip(const QString& path, double seconds, int width, int height, bool audio,
              const QStringList& extraArgs) {
    const QString dur = QString::number(seconds, 'f', 3);
    QStringList args{
        QStringLiteral("-nostdin"),
        QStringLiteral("-hide_banner"),
        QStringLiteral("-loglevel"),
        QStringLiteral("error"),
        QStringLiteral("-y"),
        QStringLiteral("-f"),
        QStringLiteral("lavfi"),
        QStringLiteral("-i"),
        QStringLiteral("testsrc=duration=%1:size=%2x%3:rate=25").arg(dur).arg(width).arg(height)};
    if (audio) {
        args << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i")
             << QStringLiteral("sine=frequency=440:sample_rate=44100:duration=%1").arg(dur)
             << QStringLiteral("-ac") << QStringLiteral("2");
    }
    args << extraArgs << path;
    return runProgram(QStringLiteral("ffmpeg"), args) == 0 && QFile::exists(path);
}

QString probeStream(const QString& file, const QString& streamSpec, const QString& entry) {
    QString out;
    const int rc = runProgram(
        QStringLiteral("ffprobe"),
        {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-select_streams"),
         streamSpec, QStringLiteral("-show_entries"), QStringLiteral("stream=") + entry,
         QStringLiteral("-of"), QStringLiteral("default=nw=1:nk=1"), file},
        &out);
    if (rc != 0) {
        return {};
    }
    return out.section(QLatin1Char('\n'), 0, 0).trimmed();
}

QString probeFormatName(const QString& file) {
    QString out;
    const int rc =
        runProgram(QStringLiteral("ffprobe"),
                   {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                    QStringLiteral("format=format_name"), QStringLiteral("-of"),
                    QStringLiteral("default=nw=1:nk=1"), file},
                   &out);
    return rc == 0 ? out.trimmed() : QString();
}

double durationOf(const QString& file) {
    QString out;
    runProgram(
        "ffprobe",
        {"-v", "error", "-show_entries", "format=duration", "-of", "default=nw=1:nk=1", file},
        &out);
    bool ok = false;
    const double d = out.trimmed().toDouble(&ok);
    return ok ? d : -1;
}

// The tone of the first audio stream, from its zero crossings.
double toneHz(const QString& file) {
    QProcess p;
    p.start("ffmpeg", {"-nostdin", "-v", "error", "-i", file, "-map", "0:a:0", "-f", "s16le", "-ac",
                       "1", "-ar", "48000", "pipe:1"});
    if (!p.waitForFinished(60000)) {
        return -1;
    }
    const QByteArray pcm = p.readAllStandardOutput();
    const auto* s = reinterpret_cast<const qint16*>(pcm.constData());
    const qsizetype n = pcm.size() / 2;
    // Leave out the first and last tenth: encoder priming and fades.
    int crossings = 0;
    for (qsizetype i = n / 10 + 1; i < n - n / 10; ++i) {
        crossings += (s[i - 1] < 0) != (s[i] < 0) ? 1 : 0;
    }
    const double seconds = double(n - 2 * (n / 10)) / 48000.0;
    return seconds > 0 ? crossings / 2.0 / seconds : -1;
}

// One frame at `seconds` as 320x240 grey levels.
namespace {

QByteArray rawFrame(const QString& file, double seconds, const QString& size,
                    const QString& pixelFormat) {
    QProcess p;
    p.start("ffmpeg",
            {"-nostdin", "-v", "error", "-ss", QString::number(seconds), "-i", file, "-frames:v",
             "1", "-s", size, "-pix_fmt", pixelFormat, "-f", "rawvideo", "pipe:1"});
    return p.waitForFinished(60000) ? p.readAllStandardOutput() : QByteArray();
}

}  // namespace

QByteArray greyFrame(const QString& file, double seconds) {
    return rawFrame(file, seconds, QStringLiteral("320x240"), QStringLiteral("gray"));
}

QByteArray rgbFrame(const QString& file, double seconds, int width, int height) {
    return rawFrame(file, seconds, QStringLiteral("%1x%2").arg(width).arg(height),
                    QStringLiteral("rgb24"));
}

Rgb rgbAt(const QByteArray& frame, int width, int x, int y) {
    const qsizetype at = (qsizetype(y) * width + x) * 3;
    if (at < 0 || at + 3 > frame.size()) {
        return {};
    }
    return {quint8(frame[at]), quint8(frame[at + 1]), quint8(frame[at + 2])};
}

int Rgb::distance(const Rgb& o) const {
    return std::max({std::abs(r - o.r), std::abs(g - o.g), std::abs(b - o.b)});
}

// Pixels of two grey frames in rows [top, bottom) whose levels differ by more than coding noise.
int changedPixels(const QByteArray& a, const QByteArray& b, int top, int bottom) {
    if (a.size() != 320 * 240 || b.size() != a.size()) {
        return -1;
    }
    int changed = 0;
    for (int i = top * 320; i < bottom * 320; ++i) {
        changed += std::abs(int(quint8(a[i])) - int(quint8(b[i]))) > 40 ? 1 : 0;
    }
    return changed;
}

}  // namespace orvex::test
