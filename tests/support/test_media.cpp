#include "test_media.h"

#include <QDir>
#include <QFile>
#include <QProcess>

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

}  // namespace orvex::test
