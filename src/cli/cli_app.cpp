#include "cli/cli_app.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <utility>

#include "cli/cli_console.h"
#include "cli/cli_dvd.h"
#include "cli/cli_options.h"
#include "cli/cli_progress.h"
#include "cli/cli_user_interface.h"
#include "core/engine/encoder_output.h"
#include "core/engine/run_outcome.h"
#include "core/profiles/profile_catalog.h"
#include "core/shell/session.h"
#include "platform/console.h"
#include "platform/ini_file.h"
#include "platform/machine_actions.h"
#include "platform/program_paths.h"

namespace {

constexpr int kShutdownCountdownSeconds = 30;
constexpr int kTailLines = 12;

using cli::err;
using cli::out;
using cli::withOutputChecked;

// Runs the event loop until `done` holds; `changed` is the signal that may make it hold.
template <typename Sender, typename Signal, typename Done>
void runUntil(const Sender* sender, Signal changed, Done done) {
    if (done()) {
        return;
    }
    QEventLoop loop;
    QObject::connect(sender, changed, &loop, [&] {
        if (done()) {
            loop.quit();
        }
    });
    loop.exec();
}

class Cli {
  public:
    Cli(const QString& programFileName, const CliOptions& options)
        : name_(programFileName),
          opt_(options),
          ui_(programFileName),
          session_(config(programFileName), ui_, machine_) {}

    int run();

  private:
    static SessionConfig config(const QString& programFileName) {
        SessionConfig c;
        c.programFileName = programFileName;
        c.folders = platform::programFolders();
        c.choices = std::make_unique<ReadOnlyChoicesStore>(
            platform::IniFile::inDefaultFolder(platform::choicesFileName(programFileName)));
        return c;
    }

    int usageError(const QString& message) const {
        err(QStringLiteral("%1: %2 (see --help)\n").arg(name_, message));
        return CliApp::kUsage;
    }
    int failure(const QString& message) const {
        err(QStringLiteral("%1: %2\n").arg(name_, message));
        return CliApp::kFailure;
    }

    std::optional<int> chooseProfileAndLists();
    int showLists();
    bool addSources();
    std::optional<int> resume();
    std::optional<int> addDvdSources();
    int listJobs();
    int printCommands();
    int convert();
    int summary(bool interrupted);
    void powerOffCountdown();

    QString name_;
    const CliOptions& opt_;
    CliUserInterface ui_;
    platform::SystemMachineActions machine_;
    Session session_;
    platform::InterruptNotifier interrupts_;
    QList<FileSources::Skipped> skipped_;
};

std::optional<int> Cli::chooseProfileAndLists() {
    ProfileSelection& selection = session_.selection();
    int profile = opt_.profile.value_or(session_.settings().selectedProfile(name_));
    if (!ProfileCatalog::displayNameOf(profile)) {
        profile = Settings::nameDefaultProfile(name_);
    }
    QString selectError;
    const bool loaded = session_.loadSettings(profile, &selectError);
    for (const QString& problem : session_.unreadableSettings()) {
        err(name_ + QStringLiteral(": ") + problem + QLatin1Char('\n'));
    }
    if (!loaded) {
        const QString advice = session_.folders().restoreAdvice();
        return failure(advice.isEmpty() ? selectError : selectError + QLatin1Char(' ') + advice);
    }
    if (opt_.output) {
        session_.queue().setOutputText(*opt_.output);
    }
    if (opt_.jobs) {
        session_.queue().setJobsAtOnce(*opt_.jobs);
    }
    if (opt_.stretch) {
        session_.queue().setStretch(true);
    }
    session_.queue().setFinishAction(
        opt_.finish == CliOptions::Finish::Open       ? FinishAction::OpenFolder
        : opt_.finish == CliOptions::Finish::Shutdown ? FinishAction::PowerOff
                                                      : FinishAction::Nothing);
    struct Choice {
        const std::optional<int>& index;
        ChoiceList& list;
        const char* option;
    };
    const Choice choices[] = {{opt_.size, selection.sizeList(), "--size"},
                              {opt_.videoQuality, selection.videoList(), "--video-quality"},
                              {opt_.audioQuality, selection.audioList(), "--audio-quality"},
                              {opt_.channels, selection.channelList(), "--channels"}};
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
        c.list.userSelect(*c.index);
    }
    return std::nullopt;
}

int Cli::showLists() {
    const ProfileSelection& selection = session_.selection();
    auto line = [](const QString& key, const ChoiceList& list) {
        return key + QLatin1Char('\t') +
               (list.isEnabled() ? QStringLiteral("enabled") : QStringLiteral("disabled")) +
               QLatin1Char('\t') + QString::number(list.itemIndex()) + QLatin1Char('\t') +
               list.items().join(QLatin1Char('|')) + QLatin1Char('\n');
    };
    out(QStringLiteral("profile\t%1\t%2\n")
            .arg(selection.activeProfile())
            .arg(selection.currentDisplayName()));
    out(line(ProfileCatalog::kSizeKey, selection.sizeList()));
    out(line(ProfileCatalog::kVideoKey, selection.videoList()));
    out(line(ProfileCatalog::kAudioKey, selection.audioList()));
    out(line(ProfileCatalog::kChannelKey, selection.channelList()));
    return CliApp::kSuccess;
}

// Adds every source in the order given, as one batch; false when interrupted or when the
// encoder cannot be started.
bool Cli::addSources() {
    FileSources& files = session_.files();
    QObject::connect(
        &files, &FileSources::fileSkipped, [](const QString& path, const QString& reason) {
            err(QStringLiteral("skipped %1: %2\n").arg(QDir::toNativeSeparators(path), reason));
        });
    QStringList paths;
    QList<FileSources::Skipped> unnamed;
    for (const QString& source : opt_.sources) {
        const QFileInfo info(source);
        const QString path = info.absoluteFilePath();
        if (!info.isDir()) {
            paths << path;
            continue;
        }
        const FileSources::FolderScan scan = FileSources::scanFolder(path);
        for (const FileSources::Skipped& s : scan.skipped) {
            err(QStringLiteral("skipped %1: %2\n").arg(s.path, s.reason));
        }
        unnamed << scan.skipped;
        if (scan.files.isEmpty() && scan.skipped.isEmpty()) {
            err(QStringLiteral("%1: no file to add in %2\n")
                    .arg(name_, QDir::toNativeSeparators(path)));
        }
        paths << scan.files;
    }
    bool interrupted = false;
    QObject::connect(&interrupts_, &platform::InterruptNotifier::interrupted, &files, [&] {
        interrupted = true;
        files.cancel();
    });
    FileSources::AddReport report;
    QObject::connect(&files, &FileSources::batchFinished,
                     [&](const FileSources::AddReport& r) { report = r; });
    files.addFiles(paths);
    runUntil(&files, &FileSources::busyChanged, [&] { return !files.busy(); });
    QObject::disconnect(&interrupts_, nullptr, &files, nullptr);
    skipped_ = unnamed + report.skipped;
    if (!report.encoderProblem.isEmpty()) {
        failure(report.encoderProblem);
        return false;
    }
    if (interrupted) {
        failure(QStringLiteral("interrupted"));
        return false;
    }
    return true;
}

// Takes up the newest job list that a run of this program left when it did not end normally.
std::optional<int> Cli::resume() {
    std::optional<SavedJobList::LeftBehind> left = session_.savedJobs().takeLeftBehind();
    if (!left) {
        return failure(QStringLiteral("no run of %1 left files unconverted").arg(name_));
    }
    session_.activityLog().write(
        ActivityLog::Category::Run,
        QStringLiteral("Resuming %1").arg(QDir::toNativeSeparators(left->path)));
    session_.savedJobs().restore(left->jobs);
    // Saved anew before the old list goes, so that no moment lacks one.
    session_.savedJobs().keep();
    return std::nullopt;
}

std::optional<int> Cli::addDvdSources() {
    cli_dvd::Result r = cli_dvd::load(session_, opt_);
    if (r.outcome == cli_dvd::Outcome::Done) {
        r = cli_dvd::applyChoices(session_, opt_);
    }
    switch (r.outcome) {
        case cli_dvd::Outcome::Done:
            return std::nullopt;
        case cli_dvd::Outcome::Failure:
            return r.message.isEmpty() ? CliApp::kFailure : failure(r.message);
        case cli_dvd::Outcome::Usage:
            return usageError(r.message);
    }
    return std::nullopt;
}

int Cli::listJobs() {
    const JobList& jobs = session_.jobs();
    const bool dvd = session_.isDvdEdition();
    for (int row = 0; row < jobs.rowCount(); ++row) {
        QStringList cells{jobs.caption(row)};
        for (int c = 0; c < JobList::kSubItemCount; ++c) {
            cells << jobs.subItem(row, c);
        }
        if (dvd) {
            cells << QString::number(jobs.isChecked(row) ? 1 : 0)
                  << QString::number(session_.dvdTitles().audioChoice(row))
                  << QString::number(session_.dvdTitles().subtitleChoice(row));
        }
        out(cells.join(QLatin1Char('\t')) + QLatin1Char('\n'));
    }
    return CliApp::kSuccess;
}

int Cli::printCommands() {
    const OutputNaming::Folder target =
        OutputNaming::prepareFolder(session_.queue().outputText(), false);
    if (!target.error.isEmpty()) {
        return failure(target.error);
    }
    OutputNaming naming;
    int code = CliApp::kSuccess;
    for (int row = 0; row < session_.jobs().rowCount(); ++row) {
        if (!session_.jobs().isMeantToRun(row)) {
            continue;  // as the run passes it over
        }
        QString why;
        const std::optional<intputrec> rec =
            session_.queue().prepareJob(row, naming, target.path, &why);
        if (rec) {
            out(commandLineText(*rec) + QLatin1Char('\n'));
        } else {
            err(QStringLiteral("%1: %2 cannot be converted: %3\n")
                    .arg(name_, session_.jobs().caption(row), why));
            code = CliApp::kFailure;
        }
    }
    return code;
}

int Cli::convert() {
    ConversionQueue& queue = session_.queue();
    // From here on a kill or a crash leaves the list for --resume.
    session_.savedJobs().keep();
    CliProgress progress(session_.jobs(), session_.runClock(), platform::standardErrorIsTerminal());
    if (!opt_.quiet) {
        QObject::connect(&queue, &ConversionQueue::jobStarted, &progress, &CliProgress::jobStarted);
        QObject::connect(&queue, &ConversionQueue::jobEnded, &progress, &CliProgress::jobEnded);
        QObject::connect(&session_.progress(), &ProgressMonitor::jobProgress, &progress,
                         &CliProgress::jobProgress);
    }
    bool powerOff = false;
    QObject::connect(&queue, &ConversionQueue::powerOffDue, [&] { powerOff = true; });
    bool interrupted = false;
    QObject::connect(&interrupts_, &platform::InterruptNotifier::interrupted, &queue, [&] {
        interrupted = true;
        queue.stop();
    });
    if (!queue.convert()) {
        return CliApp::kFailure;
    }
    runUntil(&queue, &ConversionQueue::convertingChanged, [&] { return !queue.converting(); });
    // A stopped encoder gets its grace period to clean up before the summary and the exit.
    runUntil(&queue, &ConversionQueue::windingDownChanged, [&] { return !queue.windingDown(); });
    progress.endLine();
    QObject::disconnect(&interrupts_, nullptr, &queue, nullptr);

    const int code = summary(interrupted);
    if (powerOff && !queue.wasStopped()) {
        powerOffCountdown();
    }
    return code;
}

int Cli::summary(bool interrupted) {
    const JobList& jobs = session_.jobs();
    const ConversionQueue& queue = session_.queue();
    const RunOutcome outcome = RunOutcome::of(jobs, queue.wasStopped() ? queue.currentJob() : -1);
    QString details;
    for (int row = 0; row < jobs.rowCount(); ++row) {
        const RowState& s = jobs.state(row);
        switch (s.kind) {
            case RowState::Finished:
                details +=
                    QStringLiteral("  finished: %1\n").arg(QDir::toNativeSeparators(s.outputName));
                break;
            case RowState::Failed:
                details += QStringLiteral("  failed:   %1: %2 (no file kept)\n")
                               .arg(jobs.caption(row), s.reason);
                for (const QString& line :
                     lastOutputLines(s.outputTail.join(QLatin1Char('\n')).toUtf8(), kTailLines)) {
                    details += QStringLiteral("      | ") + line + QLatin1Char('\n');
                }
                break;
            case RowState::Stopped:
                details += QStringLiteral("  stopped:  %1 (no file kept)\n").arg(jobs.caption(row));
                break;
            default:
                break;
        }
    }
    for (const FileSources::Skipped& s : std::as_const(skipped_)) {
        details +=
            QStringLiteral("  skipped:  %1: %2\n").arg(QDir::toNativeSeparators(s.path), s.reason);
    }
    QString counts = QStringLiteral("%1 finished, %2 failed, %3 skipped")
                         .arg(outcome.finished)
                         .arg(outcome.failed)
                         .arg(skipped_.size());
    if (outcome.stopped > 0 || outcome.notRun > 0) {
        counts += QStringLiteral(", %1 stopped, %2 not converted")
                      .arg(outcome.stopped)
                      .arg(outcome.notRun);
    }
    err(QStringLiteral("Summary: ") + counts + QLatin1Char('\n') + details);
    if (session_.activityLog().fileProblem().isEmpty()) {
        err(QStringLiteral("Activity log: %1\n")
                .arg(QDir::toNativeSeparators(session_.activityLog().path())));
    }
    return outcome.succeeded() && !interrupted ? CliApp::kSuccess : CliApp::kFailure;
}

void Cli::powerOffCountdown() {
    // The last chance to keep the machine on: Ctrl-C during the countdown.
    int left = kShutdownCountdownSeconds;
    bool cancelled = false;
    QEventLoop wait;
    QTimer tick;
    QObject::connect(&interrupts_, &platform::InterruptNotifier::interrupted, &wait, [&] {
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
    tick.stop();
    if (cancelled) {
        err(QStringLiteral("Shutdown cancelled.\n"));
        return;
    }
    // The service manager may refuse (no permission); say so rather than end as if done.
    QString failure;
    bool answered = false;
    machine_.powerOff([&](const QString& why) {
        failure = why;
        answered = true;
        wait.quit();
    });
    if (!answered) {
        wait.exec();
    }
    if (!failure.isEmpty()) {
        err(QStringLiteral("%1: the machine was not shut down: %2\n").arg(name_, failure));
    }
}

int Cli::run() {
    ActivityLog& log = session_.activityLog();
    if (opt_.logFile) {
        log.setPath(*opt_.logFile);
    }
    if (opt_.verbose) {
        QObject::connect(&log, &ActivityLog::lineAdded,
                         [](const QString& line) { err(line + QLatin1Char('\n')); });
    }
    QObject::connect(&log, &ActivityLog::problem, [this](const QString& text) {
        err(name_ + QStringLiteral(": ") + text + '\n');
    });
    // Problems of the choices, a batch or a run as a whole, said as they come.
    QObject::connect(&session_, &Session::problem, [this](const QString& text) {
        err(name_ + QStringLiteral(": ") + text + QLatin1Char('\n'));
    });
    if (const std::optional<int> code = chooseProfileAndLists()) {
        return *code;
    }
    if (opt_.showLists) {
        return showLists();
    }
    log.write(ActivityLog::Category::Run,
              QStringLiteral("Started as: ") +
                  RunLog::commandLine(name_, QCoreApplication::arguments().mid(1)));
    if (opt_.resume && opt_.usesDvdOptions()) {
        // The rows come back with the ticks and streams they had.
        return usageError(QStringLiteral(
            "--resume takes no --chapters, --rows, --audio, --subtitle or --list-streams"));
    }
    if (opt_.resume) {
        if (const std::optional<int> code = resume()) {
            return *code;
        }
    } else if (session_.isDvdEdition()) {
        if (const std::optional<int> code = addDvdSources()) {
            return *code;
        }
        if (opt_.listStreams) {
            out(cli_dvd::streamLists(session_));
            return CliApp::kSuccess;
        }
    } else if (opt_.usesDvdOptions()) {
        return usageError(
            QStringLiteral("--chapters, --rows, --audio, --subtitle and --list-streams are for "
                           "the DVD edition (a program name containing \"dvd\")"));
    } else if (!addSources()) {
        return CliApp::kFailure;
    }
    if (session_.jobs().isEmpty()) {
        return failure(QStringLiteral("no source could be added"));
    }
    if (opt_.listJobs) {
        return listJobs();
    }
    if (opt_.printCommands) {
        return printCommands();
    }
    return convert();
}

}  // namespace

CliApp::CliApp(QString programFileName, QStringList arguments)
    : programFileName_(std::move(programFileName)), arguments_(std::move(arguments)) {}

int CliApp::run() {
    return withOutputChecked(programFileName_, runChecked());
}

int CliApp::runChecked() {
    auto usageError = [this](const QString& message) {
        err(QStringLiteral("%1: %2 (see --help)\n").arg(programFileName_, message));
        return kUsage;
    };
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
    if (opt.resume && !opt.sources.isEmpty()) {
        return usageError(QStringLiteral("--resume takes no SOURCE"));
    }
    if (!opt.showLists && !opt.resume && opt.sources.isEmpty()) {
        return usageError(QStringLiteral("no SOURCE given"));
    }
    Cli cli(programFileName_, opt);
    return cli.run();
}
