#include "core/shell/session.h"

#include <QDir>

#include "core/preview/library_preview_player.h"
#include "core/profiles/profile_catalog.h"
#include "platform/edition.h"
#include "platform/ini_file.h"
#include "platform/program_paths.h"

namespace {

std::unique_ptr<ChoicesStore> choicesOf(SessionConfig& config) {
    if (config.choices) {
        return std::move(config.choices);
    }
    return std::make_unique<IniChoicesStore>(
        platform::IniFile::inDefaultFolder(platform::choicesFileName(config.programFileName)));
}

}  // namespace

Session::Session(SessionConfig config, UserInterface& ui, platform::MachineActions& machine,
                 QObject* parent)
    : QObject(parent),
      programFileName_(config.programFileName),
      folders_(config.folders),
      ui_(ui),
      machineRequests_(machine),
      log_(std::make_unique<ActivityLog>(programFileName_)),
      choices_(choicesOf(config)),
      settings_(config.settings ? std::move(*config.settings)
                                : Settings::forProgram(config.programFileName)),
      guards_(ui),
      progress_(jobs_),
      runClock_(jobs_) {
    selection_ = std::make_unique<ProfileSelection>(programFileName_, *choices_, profilesPopPath());
    estimates_ = std::make_unique<OutputEstimates>(*selection_, jobs_);
    picker_ = std::make_unique<ProfilePicker>(programFileName_, *selection_, guards_);
    files_ = std::make_unique<FileSources>(jobs_, *estimates_, guards_, ui, encoderPath(),
                                           folders_.helpers);
    titleSetReader_ = config.titleSetReader ? std::move(config.titleSetReader)
                                            : std::make_unique<IfoTitleSetReader>();
    dvdTitles_ = std::make_unique<DvdTitles>(jobs_, *estimates_, guards_, ui, *titleSetReader_,
                                             isDvdEdition());
    const std::shared_ptr<platform::Drives> drives =
        config.drives ? config.drives : std::make_shared<platform::SystemDrives>();
    dvdDiscovery_ = std::make_unique<DvdDiscovery>(*dvdTitles_, guards_, ui, drives);
    queue_ = std::make_unique<ConversionQueue>(jobs_, *selection_, progress_, guards_, ui);
    queue_->setDrives(drives);
    queue_->setEncoderPath(encoderPath());
    queue_->setWorkFolder(folders_.helpers);
    savedJobs_ = std::make_unique<SavedJobList>(programFileName_, jobs_, *selection_, *estimates_,
                                                *queue_, *dvdTitles_);
    connect(savedJobs_.get(), &SavedJobList::problem, this, &Session::problem);
    bindRunClock();

    if (config.player) {
        player_ = std::move(config.player);
    } else {
        player_ = std::make_unique<LibraryPreviewPlayer>(
            LibraryPreviewPlayer::defaultPath(folders_.helpers),
            [this](const QString& why) { emit problem(why); });
    }
    preview_ = std::make_unique<Preview>(jobs_, guards_, *player_, isDvdEdition(), isKamzuBrand());

    guards_.setConvertingFlag([this] { return queue_->converting(); });
    guards_.setAddingFlag([this] { return files_->busy() || dvdDiscovery_->busy(); });
    guards_.setPlayingFlag([this] { return preview_->playing(); });
    connect(preview_.get(), &Preview::playPanelShown, picker_.get(), &ProfilePicker::showPlayPanel);

    // Every change of the selection or of a list shows in every row's estimate.
    connect(selection_.get(), &ProfileSelection::profileSelected, estimates_.get(),
            &OutputEstimates::refreshEstimates);
    connect(selection_.get(), &ProfileSelection::choicesChanged, estimates_.get(),
            &OutputEstimates::refreshEstimates);
    connect(estimates_.get(), &OutputEstimates::problem, this, &Session::problem);
    connect(selection_.get(), &ProfileSelection::problem, this, &Session::problem);
    connect(queue_.get(), &ConversionQueue::problem, this, &Session::problem);
    connect(queue_.get(), &ConversionQueue::openFolderDue, &machineRequests_,
            &MachineRequests::openFolder);
    connect(&machineRequests_, &MachineRequests::problem, this, &Session::problem);
    commandLine_ = std::make_unique<CommandLineSources>(*this);
    connect(files_.get(), &FileSources::problem, this, &Session::problem);
    connect(dvdTitles_.get(), &DvdTitles::problem, this, &Session::problem);
    recordInActivityLog();
}

Session::~Session() {
    // A normal end: the saved list goes, before what it saves from.
    savedJobs_.reset();
    // The queue and the add batch end their processes before the objects they use go.
    commandLine_.reset();
    queue_.reset();
    files_.reset();
    dvdDiscovery_.reset();
    dvdTitles_.reset();
}

void Session::recordInActivityLog() {
    using Category = ActivityLog::Category;
    queue_->setActivityLog(log_.get());
    connect(this, &Session::problem, log_.get(),
            [this](const QString& text) { log_->write(Category::Run, text); });
    connect(
        files_.get(), &FileSources::fileSkipped, log_.get(),
        [this](const QString& path, const QString& reason) {
            log_->write(
                Category::Sources,
                QStringLiteral("Not added: %1: %2").arg(QDir::toNativeSeparators(path), reason));
        });
    connect(files_.get(), &FileSources::batchFinished, log_.get(),
            [this](const FileSources::AddReport& report) {
                QString text = QStringLiteral("Added %1 files, %2 not added")
                                   .arg(report.added)
                                   .arg(report.skipped.size());
                if (report.cancelled) {
                    text += QStringLiteral("; adding was cancelled");
                }
                if (!report.encoderProblem.isEmpty()) {
                    text += QStringLiteral("; ") + report.encoderProblem;
                }
                log_->write(Category::Sources, text);
            });
}

void Session::bindRunClock() {
    connect(queue_.get(), &ConversionQueue::convertingChanged, &runClock_, [this](bool converting) {
        converting ? runClock_.runStarted() : runClock_.runEnded();
    });
    connect(queue_.get(), &ConversionQueue::jobStarted, &runClock_, &RunClock::jobStarted);
    connect(queue_.get(), &ConversionQueue::jobEnded, &runClock_, &RunClock::jobEnded);
    // Each job's own progress, also when several run side by side.
    connect(&progress_, &ProgressMonitor::jobProgress, &runClock_, &RunClock::jobProgress);
}

bool Session::isDvdEdition() const {
    return platform::isDvdEdition(programFileName_);
}

bool Session::isKamzuBrand() const {
    return platform::isKamzuBrand(programFileName_);
}

QString Session::encoderPath() const {
    return folders_.helpers + QStringLiteral("register.dat");
}

QString Session::profilesPopPath() const {
    return folders_.data + QStringLiteral("profiles.pop");
}

bool Session::loadSettings(std::optional<int> profile, QString* error) {
    picker_->setPageFlags(settings_.videoFirstPage(), settings_.audioFirstPage());
    const QString output = settings_.outputPath();
    queue_->setOutputFolder(output);
    queue_->setOutputText(output);
    picker_->setCurrentCategory(settings_.category());
    const int number = profile.value_or(settings_.selectedProfile(programFileName_));
    selection_->setCurrentProfile(number);
    const bool selected = selection_->selectProfile(number, error);
    queue_->setFinishAction(finishActionOf(settings_.finishAction()));
    queue_->setJobsAtOnce(settings_.jobsAtOnce());
    queue_->setStretch(settings_.stretch());
    for (const QString& p : unreadableSettings()) {
        log_->write(ActivityLog::Category::Settings, p);
    }
    if (!selected && error != nullptr) {
        log_->write(ActivityLog::Category::Settings, *error);
    }
    return selected;
}

QStringList Session::unreadableSettings() const {
    QStringList problems;
    for (const QString& p : {settings_.file().readProblem(), choices_->readProblem()}) {
        if (!p.isEmpty()) {
            problems << p;
        }
    }
    return problems + settings_.unusableValues();
}

bool Session::saveSettings() {
    // What the user set for the profile in use is kept as the settings are, not only when
    // another profile is chosen.
    if (selection_->previousProfile() > 0) {
        selection_->storeChoices(selection_->previousProfile());
    }
    return settings_.save(queue_->outputFolder(), selection_->currentProfile(),
                          picker_->currentCategory(), static_cast<int>(queue_->finishAction()),
                          picker_->videoFirstPage(), picker_->audioFirstPage(), queue_->stretch(),
                          queue_->jobsAtOnce());
}
