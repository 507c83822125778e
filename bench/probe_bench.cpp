// Adding N files through the media probe (register.dat, parser, row and estimate) against
// running "ffmpeg -i" on each file directly; prints both times and their ratio.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

#include "../tests/support/test_media.h"
#include "core/engine/app_state.h"
#include "core/engine/job_list.h"
#include "core/profiles/profile_selection.h"
#include "core/sources/file_sources.h"
#include "core/sources/media_probe.h"

namespace {

class SilentUi : public UserInterface {
  public:
    void warning(const QString&) override {}
    void information(const QString&) override {}
    bool confirm(const QString&) override { return false; }
    void error(const QString&) override {}
    QStringList chooseFiles() override { return {}; }
    QString chooseFolder(const QString&) override { return {}; }
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    constexpr int kFiles = 20;
    QTemporaryDir dir;
    QStringList files;
    for (int i = 0; i < kFiles; ++i) {
        const QString clip =
            dir.filePath(QStringLiteral("clip%1.%2").arg(i).arg(i % 2 ? "mp4" : "avi"));
        if (!orvex::test::makeClip(clip, 1.0)) {
            std::fprintf(stderr, "probe_bench: could not make the clips\n");
            return 1;
        }
        files << clip;
    }

    QElapsedTimer t;
    t.start();
    for (const QString& f : files) {
        orvex::test::runProgram(QStringLiteral("ffmpeg"),
                                {QStringLiteral("-hide_banner"), QStringLiteral("-i"), f});
    }
    const double direct = t.elapsed();

    AppState state;
    state.programFileName = QStringLiteral("orvex");
    JobList jobs;
    SilentUi ui;
    ProfileSelection selection(state, jobs,
                               platform::IniFile(dir.filePath(QStringLiteral("pro orvex.ini"))),
                               orvex::test::profilesPopPath());
    selection.setCurrentProfile(118);
    selection.selectProfile(118);
    MediaProbe probe(state, orvex::test::registerDatPath(), orvex::test::binDir());
    FileSources sources(state, jobs, selection, probe, ui);
    t.restart();
    const FileSources::AddReport report = sources.addFiles(files);
    const double added = t.elapsed();

    std::printf(
        "probe_bench: %d files: ffmpeg -i directly %.0f ms, Add Files %.0f ms (%d added); "
        "ratio %.2f\n",
        kFiles, direct, added, report.added, added / direct);
    return report.added == kFiles ? 0 : 1;
}
