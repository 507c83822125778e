// A whole orvex-cli run (probe, options, three conversions) against the same FFmpeg commands
// run directly (a probe and a conversion per file); prints both times and their ratio.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <cstdio>

#include "../tests/support/test_media.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in"));
    QDir().mkpath(in);
    for (int i = 0; i < 3; ++i) {
        if (!orvex::test::makeClip(in + QStringLiteral("/clip%1.avi").arg(i), 5.0)) {
            std::fprintf(stderr, "cli_bench: could not make the clips\n");
            return 1;
        }
    }
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());

    // The commands the CLI runs, taken from its own printout so both sides do the same work.
    QString printed;
    const QString cli = orvex::test::binDir() + QStringLiteral("/orvex-cli");
    const QStringList common{QStringLiteral("-p"), QStringLiteral("118"), QStringLiteral("-o"),
                             dir.filePath(QStringLiteral("direct"))};
    if (orvex::test::runProgram(cli, common + QStringList{QStringLiteral("--print-commands"), in},
                                &printed) != 0) {
        std::fprintf(stderr, "cli_bench: --print-commands failed\n");
        return 1;
    }
    QDir().mkpath(dir.filePath(QStringLiteral("direct")));
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < 3; ++i) {
        const QString clip = in + QStringLiteral("/clip%1.avi").arg(i);
        orvex::test::runProgram(QStringLiteral("ffmpeg"),
                                {QStringLiteral("-hide_banner"), QStringLiteral("-i"), clip});
    }
    for (const QString& line : printed.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (!line.startsWith(QLatin1Char('/'))) {
            continue;  // a message, not a command
        }
        // register.dat passes its arguments to FFmpeg unchanged; none of these paths has a blank.
        QStringList args = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        args.removeFirst();
        orvex::test::runProgram(QStringLiteral("ffmpeg"),
                                QStringList{QStringLiteral("-nostdin"), QStringLiteral("-loglevel"),
                                            QStringLiteral("error")} +
                                    args);
    }
    const double direct = t.elapsed();

    t.restart();
    const int code = orvex::test::runProgram(
        cli, QStringList{QStringLiteral("-p"), QStringLiteral("118"), QStringLiteral("-o"),
                         dir.filePath(QStringLiteral("cli")), QStringLiteral("-q"), in});
    const double whole = t.elapsed();
    std::printf(
        "cli_bench: 3 clips of 5 s: FFmpeg directly %.0f ms, orvex-cli %.0f ms (exit %d); "
        "ratio %.2f\n",
        direct, whole, code, whole / direct);
    return code;
}
