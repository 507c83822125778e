// Adding N files through the add batch (register.dat probes run side by side, parser, rows and
// estimates) against running "ffmpeg -i" on each file one after another; prints both times and
// their ratio, and the batch with one probe at a time to show how it scales with cores.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

#include "../tests/support/fake_machine.h"
#include "../tests/support/fake_user_interface.h"
#include "../tests/support/qt_gtest.h"
#include "../tests/support/test_media.h"
#include "core/shell/session.h"

namespace {

// Milliseconds to add every file with at most `limit` probes at a time; -1 when some file was
// not added.
double addAll(const QStringList& files, int limit, const QString& scratch) {
    orvex::test::FakeUserInterface ui;
    orvex::test::FakeMachine machine;
    SessionConfig config;
    config.programFileName = QStringLiteral("orvex");
    config.folders = platform::ProgramFolders::inOne(orvex::test::binDir());
    config.choices = std::make_unique<ReadOnlyChoicesStore>(
        platform::IniFile(scratch + QStringLiteral("/pro orvex.ini")));
    config.settings = Settings(platform::IniFile(scratch + QStringLiteral("/orvex.ini")));
    Session session(std::move(config), ui, machine);
    session.loadSettings(118);
    session.files().setProbeLimit(limit);
    QElapsedTimer t;
    t.start();
    session.files().addFiles(files);
    orvex::test::waitUntil([&] { return !session.files().busy(); }, 600000);
    const double ms = t.elapsed();
    return session.jobs().rowCount() == files.size() ? ms : -1;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int files = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 200;
    QTemporaryDir dir;
    const QString clips[] = {dir.filePath(QStringLiteral("clip.avi")),
                             dir.filePath(QStringLiteral("clip.mp4"))};
    for (const QString& clip : clips) {
        if (!orvex::test::makeClip(clip, 1.0)) {
            std::fprintf(stderr, "probe_bench: could not make the clips\n");
            return 1;
        }
    }
    QStringList paths;
    for (int i = 0; i < files; ++i) {
        const QString& from = clips[i % 2];
        const QString path =
            dir.filePath(QStringLiteral("%1_%2").arg(i).arg(from.section('/', -1)));
        QFile::copy(from, path);
        paths << path;
    }

    QElapsedTimer t;
    t.start();
    for (const QString& f : paths) {
        orvex::test::runProgram(QStringLiteral("ffmpeg"),
                                {QStringLiteral("-hide_banner"), QStringLiteral("-i"), f});
    }
    const double serial = t.elapsed();
    const int cores = QThread::idealThreadCount();
    const double batch = addAll(paths, cores, dir.path());
    const double one = addAll(paths, 1, dir.path());

    std::printf("probe_bench: %d files, %d cores\n", files, cores);
    std::printf("  ffmpeg -i one after another: %.0f ms\n", serial);
    std::printf("  Add Files, %d probes at a time: %.0f ms (ratio %.2f; goal <= 0.60)\n", cores,
                batch, batch / serial);
    std::printf("  Add Files, 1 probe at a time:  %.0f ms (ratio %.2f)\n", one, one / serial);
    return batch > 0 && one > 0 ? 0 : 1;
}
