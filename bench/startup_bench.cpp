// Start-up of the desktop program, from process start to its window drawn the first time,
// against a minimal Qt Widgets program started the same way in the same run; prints medians and
// their ratio (goal: within 1.5x). Both end right after their first paint.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "../tests/support/test_media.h"

namespace {

double medianMs(const QString& program, const QProcessEnvironment& env, int runs) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QProcess p;
        p.setProcessEnvironment(env);
        QElapsedTimer t;
        t.start();
        p.start(program, {});
        if (!p.waitForFinished(30000) || p.exitCode() != 0) {
            return -1;
        }
        times.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 9;
    QTemporaryDir config;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"),
               env.value(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    env.insert(QStringLiteral("ORVEX_QUIT_WHEN_SHOWN"), QStringLiteral("1"));
    const QString bench = QCoreApplication::applicationDirPath();
    const double minimal = medianMs(bench + QStringLiteral("/minimal_window"), env, runs);
    const double orvex = medianMs(orvex::test::binDir() + QStringLiteral("/orvex"), env, runs);
    std::printf("startup_bench: median of %d starts to the first drawn window\n", runs);
    std::printf("  minimal Qt Widgets window: %.0f ms\n", minimal);
    std::printf("  Orvex main window:         %.0f ms (ratio %.2f; goal <= 1.50)\n", orvex,
                orvex / minimal);
    return minimal > 0 && orvex > 0 ? 0 : 1;
}
