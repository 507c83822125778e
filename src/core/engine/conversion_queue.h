#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <optional>

#include "core/engine/app_state.h"
#include "core/engine/encoder_runner.h"
#include "core/engine/invocation.h"
#include "core/engine/job_list.h"
#include "core/engine/output_naming.h"
#include "core/engine/progress_monitor.h"
#include "core/profiles/profile_selection.h"
#include "core/shell/user_interface.h"
#include "platform/machine_actions.h"

// How one row of a run came out.
struct JobResult {
    enum Outcome {
        NotRun,    // the run never reached the row (it was stopped before)
        Running,   // the row's job is under way
        Finished,  // the encoder exited with 0 and left a non-empty output file
        Failed,    // could not start, exited non-zero, crashed, or left no output
        Stopped,   // the user stopped the run during this row
        Skipped,   // passed over (a DVD row without its check mark)
    };
    Outcome outcome = NotRun;
    QString caption;
    QString outputName;
    QString commandLine;    // the displayed text of the encoder call
    QString error;          // why it failed, in words
    QByteArray outputTail;  // the end of the encoder's output, for a failed job
};

// The conversion queue: Convert runs the job list's rows one after another through the encoder,
// one process at a time; each job start names the output, assembles the options and runs the
// encoder; each job end marks the row and starts the next; after the last row the finish action
// is carried out. Stop ends a run at once.
//
// A job that cannot start, exits non-zero, crashes or leaves no (or an empty) output file reads
// "Failed" and the run goes on; so does a job whose options cannot be assembled. Each job owns
// its EncoderJob, and a job end is acted on only when it comes from the job the queue is
// running now, so the late end of a stopped job never touches a newer run.
class ConversionQueue : public QObject {
    Q_OBJECT
  public:
    static const QString kFailedStatus;  // "Failed"

    ConversionQueue(AppState& state, JobList& jobs, ProfileSelection& selection,
                    ProgressMonitor& monitor, UserInterface& ui, platform::MachineActions& machine,
                    QObject* parent = nullptr);
    ~ConversionQueue() override;

    // Set once at start-up.
    void setEncoderPath(const QString& path) { encoderPath_ = path; }
    void setWorkFolder(const QString& folder) { workFolder_ = folder; }
    const QString& encoderPath() const { return encoderPath_; }
    // The text of the output folder field (ed_output).
    void setOutputText(const QString& text) { outputText_ = text; }
    const QString& outputText() const { return outputText_; }
    // Shows and hides the progress bar (the monitor moves it).
    void setProgressView(ProgressView* view) { view_ = view; }

    // Convert: starts a run at row 0. false when refused or when there is nothing to run.
    bool convert();
    // Stop: acts only while a run is under way.
    void stop();

    // The invocation record row `row` would run with: its output named (taken in naming), its
    // options assembled. nullopt with *error set when the job cannot be started.
    std::optional<intputrec> prepareJob(int row, OutputNaming& naming, const QString& folder,
                                        QString* error) const;

    // Results of the current or last run, one per row.
    const QList<JobResult>& results() const { return results_; }
    bool wasStopped() const { return stopped_; }

  signals:
    void jobStarted(int row);
    void jobEnded(int row);
    // The run is over: after the last row (stopped false) or through Stop.
    void runEnded(bool stopped);

  protected:
    // DVD job start, for row currentJob: the DVD edition overrides it. Must end by starting a
    // job (startJob) or by marking the row and calling advance().
    virtual void dvdJobStart();
    // Starts the encoder for row currentJob with rec; enableTimer2 for DVD jobs.
    void startJob(const intputrec& rec, bool enableTimer2);
    // Marks the row failed (without an encoder run) and moves on.
    void failJob(int row, const QString& error);
    // Moves on to the next row, or ends the run after the last.
    void advance();
    OutputNaming& naming() { return naming_; }
    const QString& runFolder() const { return runFolder_; }
    AppState& state() { return state_; }
    JobList& jobs() { return jobs_; }
    QList<JobResult>& mutableResults() { return results_; }

  private:
    void startCurrent();
    void fileJobStart();
    void jobEnd(EncoderJob* job, const JobEnd& end);
    void runOver();

    AppState& state_;
    JobList& jobs_;
    ProfileSelection& selection_;
    ProgressMonitor& monitor_;
    UserInterface& ui_;
    platform::MachineActions& machine_;
    ProgressView* view_ = nullptr;
    QString encoderPath_;
    QString workFolder_;
    QString outputText_;
    QString runFolder_;
    OutputNaming naming_;
    QPointer<EncoderJob> current_;
    QList<JobResult> results_;
    bool stopped_ = false;
    bool folderErrorShown_ = false;
    quint64 generation_ = 0;  // which run a deferred step belongs to
};
