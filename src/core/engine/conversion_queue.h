#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <algorithm>
#include <map>
#include <memory>
#include <optional>

#include "core/engine/encoder_runner.h"
#include "core/engine/finish_action.h"
#include "core/engine/invocation.h"
#include "core/engine/job_list.h"
#include "core/engine/jobs_at_once.h"
#include "core/engine/output_check.h"
#include "core/engine/output_file.h"
#include "core/engine/output_naming.h"
#include "core/engine/progress_monitor.h"
#include "core/engine/run_log.h"
#include "core/profiles/profile_selection.h"
#include "core/shell/command_guards.h"
#include "core/shell/user_interface.h"
#include "platform/drives.h"

// The conversion queue: Convert runs the job list's rows in order through the encoder, up to
// jobsAtOnce() of them side by side (one at a time: one process after another); each job start
// names the output, assembles the options and runs the encoder; each job end marks its own row
// and starts the next row waiting; after the last job has ended the finish action is carried
// out, once. Stop ends a run at once, every running job with it. A row's source decides its job
// start: a file, or a DVD title (passed over while its check mark is clear, with Timer2 creeping
// until the first progress line).
//
// A job that cannot start, exits non-zero, crashes, makes no progress for too long, leaves no (or
// an empty) output file, or an output clearly shorter than its source (OutputCheck) reads
// "Failed" and the run goes on; so does a job whose options cannot be assembled. The encoder
// writes a temporary file (OutputFile), claimed for the job's lifetime, that gets the job's name
// only when the job finished, after it is safely on the disk; a failed or stopped job leaves no
// file behind, and the first job into a folder removes what killed runs left there. Each job
// owns its EncoderJob, its row and its output, and a job end is acted on only when it comes from
// a job of the run under way, so the late end of a stopped job never touches a newer run; one
// job that fails, hangs or is killed ends alone while the others go on. Nothing during a run
// asks the user anything: problems are signalled.
class ConversionQueue : public QObject {
    Q_OBJECT
  public:
    ConversionQueue(JobList& jobs, const ProfileSelection& selection, ProgressMonitor& monitor,
                    CommandGuards& guards, UserInterface& ui, QObject* parent = nullptr);
    ~ConversionQueue() override;

    // Set once at start-up.
    void setEncoderPath(const QString& path) { encoderPath_ = path; }
    void setWorkFolder(const QString& folder) { workFolder_ = folder; }
    const QString& encoderPath() const { return encoderPath_; }
    // Where each run and each job is recorded (none: nothing is).
    void setActivityLog(ActivityLog* log) { runLog_.setLog(log); }
    // How long an encoder may make no progress (its position does not advance) before its
    // job fails.
    static constexpr int kDefaultStallLimitMs = 5 * 60 * 1000;
    void setStallLimitMs(int ms) { stallLimitMs_ = ms; }

    // The text of the output folder field (ed_output), read at each job start.
    const QString& outputText() const { return outputText_; }
    void setOutputText(const QString& text);
    // outputFolder: the folder of the last job (with its trailing separator), or the one the
    // user chose through "browse"; what the settings keep.
    const QString& outputFolder() const { return outputFolder_; }
    void setOutputFolder(const QString& folder) { outputFolder_ = folder; }
    FinishAction finishAction() const { return finishAction_; }
    void setFinishAction(FinishAction action) { finishAction_ = action; }
    // "Stretch the picture to the chosen size": fill the frame whatever the source's shape,
    // instead of keeping the shape with black bars. Read at each job start.
    bool stretch() const { return stretch_; }
    void setStretch(bool stretch) { stretch_ = stretch; }

    // How many jobs a run converts at once: 0 chooses (see JobsAtOnce), else 1 to the cores.
    int jobsAtOnce() const { return jobsAtOnce_; }
    void setJobsAtOnce(int jobs) { jobsAtOnce_ = jobs; }
    // What the run under way (or the last one) runs at once.
    int runJobs() const { return runJobs_; }
    // The cores jobs share (the machine's; tests set their own).
    int cores() const { return cores_; }
    void setCores(int cores) { cores_ = std::max(1, cores); }
    // Which folders lie on an optical drive (rows there run one at a time).
    void setDrives(std::shared_ptr<platform::Drives> drives) { drives_ = std::move(drives); }
    // The encoder family of the profile chosen now, which Automatic decides by.
    JobsAtOnce::Family family() const;

    bool converting() const { return converting_; }
    // The furthest row the run has started (with one job at a time, the row being converted).
    int currentJob() const { return currentJob_; }
    // The rows whose jobs run now, in row order.
    QList<int> runningRows() const;

    // Convert: starts a run at row 0. false when refused or when there is nothing to run.
    bool convert();
    // Whether Convert can start a run now: rows to convert, no run and no add batch under way
    // (front ends show it disabled otherwise).
    bool canConvert() const { return !converting_ && !jobs_.isEmpty() && !guards_.adding(); }
    // Stop: acts only while a run is under way.
    void stop();

    // The invocation record row `row` would run with: its output named (taken in naming), its
    // options assembled. nullopt with *error set when the job cannot be started.
    std::optional<intputrec> prepareJob(int row, OutputNaming& naming, const QString& folder,
                                        QString* error) const;

    bool wasStopped() const { return stopped_; }
    // Whether an encoder (of this run or of a stopped one) still runs; a front end that is
    // about to quit waits for windingDownChanged until it is false, so a stopped encoder can
    // clean up after itself.
    bool windingDown() const { return !live_.empty(); }

  signals:
    void convertingChanged(bool converting);
    void outputTextChanged(const QString& text);
    void jobStarted(int row);
    void jobEnded(int row);
    // The run is over: after the last row (stopped false) or through Stop.
    void runEnded(bool stopped);
    // A problem of the run as a whole (the output folder cannot be made), said once a run.
    void problem(const QString& text);
    // The run ended and the finish action is to power the machine off; the front end asks
    // the person (a countdown they can cancel) before it does.
    void powerOffDue();
    // The run ended on its own and the finish action is to open the output folder.
    void openFolderDue(const QString& folder);
    void windingDownChanged();

  private:
    void setConverting(bool converting);
    // Starts rows until jobsAtOnce run or none is left; ends the run when nothing runs and
    // nothing is left.
    void fill();
    // fill() on a later turn of the event loop.
    void fillLater();
    // Whether a run converts the row: file rows, and DVD rows with their check mark.
    bool willRun(int row) const;
    // Whether the row's source is read from an optical drive.
    bool onOpticalDrive(int row, QHash<QString, bool>& folders) const;
    // How many jobs of the run under way are live.
    int active() const;
    // Names and assembles the row's job and starts it; false when the row failed instead.
    bool prepareAndStart(int row, bool creep);
    bool startJob(int row, const intputrec& rec, bool creep);
    // Marks the row failed (without an encoder run).
    void failJob(int row, const QString& reason);
    void jobEnd(EncoderJob* job, const JobEnd& end);
    void checkEnd(OutputCheck* check, const QString& problem);
    // Makes the finished job's temporary file durable and gives it a free name, the one chosen
    // first if it still is; the name given, or empty with *error set.
    QString commitOutput(int row, OutputFile::Claimed& output, const QString& wanted,
                         QString* error);
    // The row's job has ended with `state`: the row shows it, the log closes its section and
    // the next row may start.
    void jobDone(int row, const RowState& state, RunLog::Section section);
    void runOver();

    JobList& jobs_;
    const ProfileSelection& selection_;
    ProgressMonitor& monitor_;
    CommandGuards& guards_;
    UserInterface& ui_;
    QString encoderPath_;
    QString workFolder_;
    QString outputText_;
    QString outputFolder_;
    FinishAction finishAction_ = FinishAction::Nothing;
    bool stretch_ = false;
    bool converting_ = false;
    int jobsAtOnce_ = 1;
    int runJobs_ = 1;
    int cores_ = JobsAtOnce::cores();
    int rowsLeft_ = 0;  // rows of the run not started yet
    std::shared_ptr<platform::Drives> drives_;
    int currentJob_ = 0;
    int nextRow_ = 0;  // the next row to look at
    bool fillQueued_ = false;
    OutputNaming naming_;
    bool stopped_ = false;
    bool problemReported_ = false;
    quint64 generation_ = 0;  // which run a deferred step belongs to
    int stallLimitMs_ = kDefaultStallLimitMs;
    QSet<QString> cleaned_;  // output folders this run has cleared of leftovers
    RunLog runLog_;

    // A job from its start until its output is committed or discarded.
    struct LiveJob {
        int row = -1;
        quint64 generation = 0;  // the run it belongs to
        OutputFile::Claimed output;
        qint64 expectedSeconds = 0;  // how long the output should play
        QString source;              // a file source; empty for a DVD title
        qint64 sourceSize = -1;      // the source as it was when the job started
        QDateTime sourceModified;
        bool audioOnly = false;
        QByteArray outputTail;  // what the encoder said last, for a failed row
        RunLog::Section section = 0;
    };
    // By the encoder, and then the output check (its output read back before it counts), that
    // has the job now.
    std::map<QObject*, LiveJob> live_;
};
