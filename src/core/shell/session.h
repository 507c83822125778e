#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

#include "core/engine/conversion_queue.h"
#include "core/engine/job_list.h"
#include "core/engine/progress_monitor.h"
#include "core/engine/run_clock.h"
#include "core/preview/preview.h"
#include "core/preview/preview_player.h"
#include "core/profiles/choices_store.h"
#include "core/profiles/output_estimates.h"
#include "core/profiles/profile_picker.h"
#include "core/profiles/profile_selection.h"
#include "core/shell/activity_log.h"
#include "core/shell/command_guards.h"
#include "core/shell/command_line_sources.h"
#include "core/shell/machine_requests.h"
#include "core/shell/saved_job_list.h"
#include "core/shell/settings.h"
#include "core/shell/user_interface.h"
#include "core/sources/dvd_discovery.h"
#include "core/sources/dvd_titles.h"
#include "core/sources/file_sources.h"
#include "core/sources/title_set_reader.h"
#include "platform/machine_actions.h"
#include "platform/program_paths.h"

// What a session is built from.
struct SessionConfig {
    // The program's own file name as started (a link named orvex-dvd runs the DVD edition).
    QString programFileName;
    // Where register.dat, the preview library and the data files (profiles.pop, the skin, the
    // pictures) are.
    platform::ProgramFolders folders;
    // The per-profile choices; the profile choices file in the INI folder, read and written,
    // when not given.
    std::unique_ptr<ChoicesStore> choices;
    // The settings file; the one named after the program, in the INI folder, when not given.
    std::optional<Settings> settings;
    // How title sets are read and drives asked; the IFO reader library and the machine's
    // drives when not given.
    std::unique_ptr<TitleSetReader> titleSetReader;
    std::shared_ptr<platform::Drives> drives;
    // The preview player; the preview library's when not given.
    std::unique_ptr<PreviewPlayer> player;
};

// One program's core: the job list, the profile selection with its choices and estimates,
// the add batch, the conversion queue and its progress, and the preview. Front ends talk to it and
// to the objects it hands out, and build nothing of the core themselves.
class Session : public QObject {
    Q_OBJECT
  public:
    Session(SessionConfig config, UserInterface& ui, platform::MachineActions& machine,
            QObject* parent = nullptr);
    ~Session() override;

    const QString& programFileName() const { return programFileName_; }
    // Where the program's files are.
    const platform::ProgramFolders& folders() const { return folders_; }
    bool isDvdEdition() const;
    bool isKamzuBrand() const;
    QString encoderPath() const;
    QString profilesPopPath() const;

    // What this run of the program did, for the user to read (see ActivityLog).
    ActivityLog& activityLog() { return *log_; }
    JobList& jobs() { return jobs_; }
    ProfileSelection& selection() { return *selection_; }
    OutputEstimates& estimates() { return *estimates_; }
    ProfilePicker& picker() { return *picker_; }
    FileSources& files() { return *files_; }
    // The DVD edition's rows and streams (a row's DVD reference is jobs().convertInfo(row), its
    // stream choices dvdTitles().audioChoice(row) and subtitleChoice(row)), and Add DVD.
    DvdTitles& dvdTitles() { return *dvdTitles_; }
    DvdDiscovery& dvdDiscovery() { return *dvdDiscovery_; }
    ConversionQueue& queue() { return *queue_; }
    // The job list kept on disk while the program runs, and what a killed run left behind.
    SavedJobList& savedJobs() { return *savedJobs_; }
    ProgressMonitor& progress() { return progress_; }
    // The run's time: each job's progress and time left, and the run's. Both front ends
    // render its reading.
    const RunClock& runClock() const { return runClock_; }
    Preview& preview() { return *preview_; }
    CommandGuards& guards() { return guards_; }
    // Files and folders from the window's command line or a second start of the program.
    CommandLineSources& commandLineSources() { return *commandLine_; }
    Settings& settings() { return settings_; }
    UserInterface& ui() { return ui_; }
    // Opening folders and pages and powering off, telling the user when they did not happen.
    MachineRequests& machine() { return machineRequests_; }

    // Load settings: the output folder, the picker's category and pages, the finish action,
    // and the saved profile (or `profile` when given), which is selected. false with *error
    // set when the profile cannot be selected (profiles.pop missing or unreadable).
    bool loadSettings(std::optional<int> profile = std::nullopt, QString* error = nullptr);
    // Save settings, key by key, and the choices of the profile in use; false when the
    // settings file could not be written.
    bool saveSettings();
    // The settings and choices files that exist but cannot be read (or hold bytes that are no
    // text), and the settings that hold unusable values, each in a sentence, for a front end to
    // say once at start-up. Unusable stored choices are said through problem() when met.
    QStringList unreadableSettings() const;

  signals:
    // Something went wrong that the user should read, outside any command: shown without a
    // modal loop (a run never waits for a click).
    void problem(const QString& text);

  private:
    // Connects what the activity log records of the objects the session owns.
    void recordInActivityLog();
    void bindRunClock();

    QString programFileName_;
    platform::ProgramFolders folders_;
    UserInterface& ui_;
    MachineRequests machineRequests_;
    std::unique_ptr<ActivityLog> log_;
    std::unique_ptr<ChoicesStore> choices_;
    Settings settings_;
    CommandGuards guards_;
    JobList jobs_;
    ProgressMonitor progress_;
    RunClock runClock_;
    std::unique_ptr<ProfileSelection> selection_;
    std::unique_ptr<OutputEstimates> estimates_;
    std::unique_ptr<ProfilePicker> picker_;
    std::unique_ptr<FileSources> files_;
    std::unique_ptr<TitleSetReader> titleSetReader_;
    std::unique_ptr<DvdTitles> dvdTitles_;
    std::unique_ptr<DvdDiscovery> dvdDiscovery_;
    std::unique_ptr<ConversionQueue> queue_;
    std::unique_ptr<SavedJobList> savedJobs_;
    std::unique_ptr<PreviewPlayer> player_;
    std::unique_ptr<Preview> preview_;
    std::unique_ptr<CommandLineSources> commandLine_;
};
