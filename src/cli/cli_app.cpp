#include "cli/cli_app.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <utility>

#include "cli/cli_progress.h"
#include "cli/cli_user_interface.h"
#include "cli/interrupt_notifier.h"
#include "core/engine/app_state.h"
#include "core/engine/conversion_queue.h"
#include "core/engine/job_list.h"
#include "core/engine/progress_monitor.h"
#include "core/profiles/profile_catalog.h"
#include "core/profiles/profile_selection.h"
#include "core/shell/settings.h"
#include "core/sources/file_sources.h"
#include "core/sources/media_probe.h"
#include "platform/ini_file.h"
#include "platform/machine_actions.h"
#include "platform/program_paths.h"

namespace {

constexpr int kShutdownCountdownSeconds = 30;
constexpr int kTailLines = 12;

void out(const QString& text) {
    std::fputs(text.toUtf8().constData(), stdout);
}

void err(const QString& text) {
    std::fputs(text.toUtf8().constData(), stderr);
    std::fflush(stderr);
}

// Opens the folder for real; a power-off is only noted, so that the CLI can count down first.
class CliMachineActions : public platform::MachineActions {
  public:
    bool openFolder(const QString& folder) override { return system.openFolder(folder); }
    bool powerOff() override {
        powerOffRequested = true;
        return true;
    }
    platform::SystemMachineActions system;
    bool powerOffRequested = false;
};

QString listLine(const QString& key, const ChoiceList& list) {
    return key + QLatin1Char('\t') +
           (list.isEnabled() ? QStringLiteral("enabled") : QStringLiteral("disabled")) +
           QLatin1Char('\t') + QString::number(list.itemIndex()) + QLatin1Char('\t') +
           list.items().join(QLatin1Char('|')) + QLatin1Char('\n');
}

QString tailText(const QByteArray& tail) {
    QString text = QString::fromUtf8(tail);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // Progress records end in CR only: keep the last record of each line.
    QStringList lines;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QString last = line.section(QLatin1Char('\r'), -1).trimmed();
        if (!last.isEmpty()) {
            lines << last;
        }
    }
    if (lines.size() > kTailLines) {
        lines = lines.mid(lines.size() - kTailLines);
    }
    QString result;
    for (const QString& line : std::as_const(lines)) {
        result += QStringLiteral("      | ") + line + QLatin1Char('\n');
    }
    return result;
}

}  // namespace

CliApp::CliApp(QString programFileName, QStringList arguments)
    : programFileName_(std::move(programFileName)), arguments_(std::move(arguments)) {}

int CliApp::usageError(const QString& message) const {
    err(QStringLiteral("%1: %2 (see --help)\n").arg(programFileName_, message));
    return kUsage;
}

int CliApp::run() {
    QString problem;
    const std::optional<CliOptions> parsed = CliOptions::parse(arguments_, &problem);
    if (!parsed) {
        return usageError(problem);
    }
    const CliOptions& opt = *parsed;
    if (opt.help) {
        out(CliOptions::helpText(programFileName_));
        return kSuccess;
    }
    if (opt.version) {
        out(QStringLiteral("%1 %2\n").arg(programFileName_,
                                          QCoreApplication::applicationVersion()));
        return kSuccess;
    }
    if (opt.listProfiles) {
        for (int n = ProfileCatalog::kFirstProfile; n <= ProfileCatalog::kLastProfile; ++n) {
            if (const std::optional<QString> name = ProfileCatalog::displayNameOf(n)) {
                out(QStringLiteral("%1\t%2\t%3\n")
                        .arg(n)
                        .arg(*name, ProfileCatalog::extensionOf(*name)));
            }
        }
        return kSuccess;
    }
    if (opt.profile && !ProfileCatalog::displayNameOf(*opt.profile)) {
        return usageError(QStringLiteral("profile %1 has no display name").arg(*opt.profile));
    }
    const bool wantsSources = !opt.showLists;
    if (wantsSources && opt.sources.isEmpty()) {
        return usageError(QStringLiteral("no SOURCE given"));
    }

    const QString folder = platform::programFolder();
    AppState state;
    state.programFileName = programFileName_;
    JobList jobs;
    CliUserInterface ui;
    const Settings settings = Settings::forProgram(programFileName_);

    // The selection stores choices in its file when it moves between profiles; it gets a
    // private copy so the real file is only ever read.
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        err(QStringLiteral("%1: cannot make a temporary folder\n").arg(programFileName_));
        return kFailure;
    }
    const QString realChoices =
        platform::IniFile::inDefaultFolder(platform::choicesFileName(programFileName_)).path();
    const QString choicesCopy = scratch.filePath(platform::choicesFileName(programFileName_));
    if (QFileInfo::exists(realChoices)) {
        QFile::copy(realChoices, choicesCopy);
    }
    ProfileSelection selection(state, jobs, platform::IniFile(choicesCopy),
                               folder + QStringLiteral("profiles.pop"));

    int profile = opt.profile.value_or(settings.selectedProfile(programFileName_));
    if (!ProfileCatalog::displayNameOf(profile)) {
        profile = Settings::nameDefaultProfile(programFileName_);
    }
    selection.setCurrentProfile(profile);
    QString selectError;
    if (!selection.selectProfile(profile, &selectError)) {
        err(QStringLiteral("%1: %2\n").arg(programFileName_, selectError));
        return kFailure;
    }
    struct Choice {
        const std::optional<int>& index;
        ChoiceList& list;
        const char* option;
    };
    const Choice choices[] = {{opt.size, selection.sizeList(), "--size"},
                              {opt.videoQuality, selection.videoList(), "--video-quality"},
                              {opt.audioQuality, selection.audioList(), "--audio-quality"},
                              {opt.channels, selection.channelList(), "--channels"}};
    for (const Choice& c : choices) {
        if (!c.index) {
            continue;
        }
        if (c.list.count() == 0) {
            return usageError(QStringLiteral("%1: profile %2 has no entries in this list")
                                  .arg(QLatin1String(c.option))
                                  .arg(profile));
        }
        if (*c.index >= c.list.count()) {
            return usageError(QStringLiteral("%1 %2 is outside its list (0..%3) for profile %4")
                                  .arg(QLatin1String(c.option))
                                  .arg(*c.index)
                                  .arg(c.list.count() - 1)
                                  .arg(profile));
        }
        if (!c.list.isEnabled()) {
            return usageError(QStringLiteral("%1: profile %2 does not offer this list")
                                  .arg(QLatin1String(c.option))
                                  .arg(profile));
        }
        c.list.setItemIndex(*c.index);
    }
    selection.refreshEstimates();

    if (opt.showLists) {
        out(QStringLiteral("profile\t%1\t%2\n").arg(profile).arg(selection.currentDisplayName()));
        out(listLine(ProfileCatalog::kSizeKey, selection.sizeList()));
        out(listLine(ProfileCatalog::kVideoKey, selection.videoList()));
        out(listLine(ProfileCatalog::kAudioKey, selection.audioList()));
        out(listLine(ProfileCatalog::kChannelKey, selection.channelList()));
        return kSuccess;
    }

    InterruptNotifier interrupts;
    bool interrupted = false;

    // Adding the sources.
    MediaProbe probe(state, folder + QStringLiteral("register.dat"), folder);
    FileSources sources(state, jobs, selection, probe, ui);
    QList<FileSources::Skipped> skipped;
    QObject::connect(
        &sources, &FileSources::fileSkipped, [&](const QString& path, const QString& reason) {
            err(QStringLiteral("skipped %1: %2\n").arg(QDir::toNativeSeparators(path), reason));
        });
    QObject::connect(&interrupts, &InterruptNotifier::interrupted, [&] {
        interrupted = true;
        sources.cancel();
    });
    for (const QString& source : opt.sources) {
        if (interrupted) {
            break;
        }
        const QFileInfo info(source);
        const QString path = info.absoluteFilePath();
        const FileSources::AddReport report =
            info.isDir() ? sources.addFolder(path) : sources.addFiles({path});
        skipped += report.skipped;
        if (info.isDir() && report.added == 0 && report.skipped.isEmpty()) {
            err(QStringLiteral("%1: no file to add in %2\n")
                    .arg(programFileName_, QDir::toNativeSeparators(path)));
        }
    }
    QObject::disconnect(&interrupts, nullptr, nullptr, nullptr);
    if (interrupted) {
        err(QStringLiteral("%1: interrupted\n").arg(programFileName_));
        return kFailure;
    }
    if (jobs.isEmpty()) {
        err(QStringLiteral("%1: no source could be added\n").arg(programFileName_));
        return kFailure;
    }

    if (opt.listJobs) {
        for (int row = 0; row < jobs.rowCount(); ++row) {
            QStringList cells{jobs.caption(row)};
            for (int c = 0; c < JobList::kSubItemCount; ++c) {
                cells << jobs.subItem(row, c);
            }
            out(cells.join(QLatin1Char('\t')) + QLatin1Char('\n'));
        }
        return kSuccess;
    }

    const QString outputText = opt.output.value_or(settings.outputPath());
    ProgressMonitor monitor(state, jobs);
    CliMachineActions machine;
    ConversionQueue queue(state, jobs, selection, monitor, ui, machine);
    queue.setEncoderPath(folder + QStringLiteral("register.dat"));
    queue.setWorkFolder(folder);
    queue.setOutputText(outputText);

    if (opt.printCommands) {
        const OutputNaming::Folder target = OutputNaming::prepareFolder(outputText, false);
        if (!target.error.isEmpty()) {
            err(QStringLiteral("%1: %2\n").arg(programFileName_, target.error));
            return kFailure;
        }
        OutputNaming naming;
        int code = kSuccess;
        for (int row = 0; row < jobs.rowCount(); ++row) {
            QString why;
            const std::optional<intputrec> rec = queue.prepareJob(row, naming, target.path, &why);
            if (rec) {
                out(commandLineText(*rec) + QLatin1Char('\n'));
            } else {
                err(QStringLiteral("%1: %2 cannot be converted: %3\n")
                        .arg(programFileName_, jobs.caption(row), why));
                code = kFailure;
            }
        }
        return code;
    }

    state.finishAction = opt.finish == CliOptions::Finish::Open       ? 1
                         : opt.finish == CliOptions::Finish::Shutdown ? 2
                                                                      : 0;
    CliProgress progress(jobs, queue, monitor, ::isatty(STDERR_FILENO) == 1);
    if (!opt.quiet) {
        monitor.setView(&progress);
        queue.setProgressView(&progress);
        QObject::connect(&queue, &ConversionQueue::jobStarted, &progress, &CliProgress::jobStarted);
        QObject::connect(&queue, &ConversionQueue::jobEnded, &progress, &CliProgress::jobEnded);
        QObject::connect(&monitor, &ProgressMonitor::progressShown, &progress,
                         &CliProgress::progressShown);
    }

    QEventLoop loop;
    bool over = false;
    QObject::connect(&queue, &ConversionQueue::runEnded, &loop, [&] {
        over = true;
        loop.quit();
    });
    QObject::connect(&interrupts, &InterruptNotifier::interrupted, &queue, [&] {
        interrupted = true;
        queue.stop();
    });
    if (!queue.convert()) {
        return kFailure;
    }
    if (!over) {
        loop.exec();
    }
    progress.endLine();
    QObject::disconnect(&interrupts, nullptr, nullptr, nullptr);

    // Summary.
    int finished = 0;
    int failed = 0;
    int stopped = 0;
    int notRun = 0;
    QString details;
    for (const JobResult& r : queue.results()) {
        switch (r.outcome) {
            case JobResult::Finished:
                ++finished;
                details +=
                    QStringLiteral("  finished: %1\n").arg(QDir::toNativeSeparators(r.outputName));
                break;
            case JobResult::Failed:
                ++failed;
                details += QStringLiteral("  failed:   %1: %2\n").arg(r.caption, r.error);
                details += tailText(r.outputTail);
                break;
            case JobResult::Stopped:
                ++stopped;
                details += QStringLiteral("  stopped:  %1\n").arg(r.caption);
                break;
            default:
                ++notRun;
                break;
        }
    }
    for (const FileSources::Skipped& s : std::as_const(skipped)) {
        details +=
            QStringLiteral("  skipped:  %1: %2\n").arg(QDir::toNativeSeparators(s.path), s.reason);
    }
    QString counts = QStringLiteral("%1 finished, %2 failed, %3 skipped")
                         .arg(finished)
                         .arg(failed)
                         .arg(skipped.size());
    if (stopped > 0 || notRun > 0) {
        counts += QStringLiteral(", %1 stopped, %2 not converted").arg(stopped).arg(notRun);
    }
    err(QStringLiteral("Summary: ") + counts + QLatin1Char('\n') + details);

    const int code =
        failed == 0 && stopped == 0 && notRun == 0 && !interrupted ? kSuccess : kFailure;

    if (machine.powerOffRequested && !queue.wasStopped()) {
        // The last chance to keep the machine on: Ctrl-C during the countdown.
        int left = kShutdownCountdownSeconds;
        bool cancelled = false;
        QEventLoop wait;
        QTimer tick;
        QObject::connect(&interrupts, &InterruptNotifier::interrupted, &wait, [&] {
            cancelled = true;
            wait.quit();
        });
        QObject::connect(&tick, &QTimer::timeout, &wait, [&] {
            --left;
            if (left <= 0) {
                wait.quit();
                return;
            }
            err(QStringLiteral("Shutting down in %1 s; press Ctrl-C to cancel.\n").arg(left));
        });
        err(QStringLiteral("Shutting down in %1 s; press Ctrl-C to cancel.\n").arg(left));
        tick.start(1000);
        wait.exec();
        if (cancelled) {
            err(QStringLiteral("Shutdown cancelled.\n"));
        } else if (!machine.system.powerOff()) {
            err(QStringLiteral("%1: the machine could not be shut down\n").arg(programFileName_));
        }
    }
    return code;
}
