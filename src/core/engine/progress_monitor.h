#pragma once

#include <QByteArrayView>
#include <QObject>
#include <QString>
#include <QTimer>
#include <algorithm>
#include <map>
#include <optional>

#include "core/engine/job_list.h"
#include "core/engine/line_buffer.h"

// Parses the encoders' output for the positions reached and shows them: each running row's
// state, and progressShown() for the progress bar (hundredths of a percent, 0..10000, may exceed
// it). With one job at a time the bar follows that job; with several it counts the whole run,
// weighing each job by its duration. Owns progressBase and Timer2, the 100 ms creep of a DVD
// job before its first progress line, which each creeping job is credited with.
class ProgressMonitor : public QObject {
    Q_OBJECT
  public:
    explicit ProgressMonitor(JobList& jobs, QObject* parent = nullptr);

    // A run starts: progressBase goes back to 0 (it grows across the jobs of one run). With
    // wholeRun the bar counts the run, whose jobs last totalSeconds in all.
    void startRun(qint64 totalSeconds = 0, bool wholeRun = false);
    // A job of the run starts on row `row`, its duration the progress denominator; a creeping
    // job is credited with Timer2's ticks until its first progress line.
    void startJob(int row, qint32 durationSeconds, bool creep = false);
    // The job of `row` has ended: with one job at a time the bar goes back to the credit,
    // otherwise the job counts as done in the run's total.
    void endJob(int row);
    qint32 durationSeconds() const;
    qint32 progressBase() const { return progressBase_; }

    // Parse output: consumes the buffer's whole lines and shows the last position they carry
    // for the job of `row` (without a row: the job started last).
    // True when that position lies beyond every earlier one of the job: the encoder made
    // progress (what the watchdog waits for; output without progress is no sign of life).
    bool parseOutput(int row, LineBuffer& buffer);
    bool parseOutput(LineBuffer& buffer) { return parseOutput(row_, buffer); }
    // The position of the last progress record in whole lines of output, in hundredths of a
    // second; nullopt when they hold none.
    static std::optional<qint64> lastPosition(QByteArrayView lines);
    // Show progress (value) for the job of `row`: adds its credit unless it still creeps,
    // writes the row's state.
    void showProgress(int row, int value);
    void showProgress(int value) { showProgress(row_, value); }

    QTimer& timer2() { return timer2_; }
    void timer2Tick();

    // The last value the bar showed and the last speed= an encoder reported ("1.5x", empty
    // when unknown), for front ends that report progress in words; speed(row) is that job's.
    int lastValue() const { return lastValue_; }
    const QString& lastSpeed() const { return lastSpeed_; }
    QString speed(int row) const;
    // The value the job of `row` shows now.
    int value(int row) const;

  signals:
    // The bar's value.
    void progressShown(int value);
    // One job's value, as its row shows it.
    void jobProgress(int row, int value, const QString& speed);

  private:
    struct Job {
        qint32 durationSeconds = 0;
        qint64 furthest = -1;  // the furthest position so far, in hundredths of a second
        bool creeping = false;
        qint32 credit = 0;  // what the creep gave it, kept when the encoder takes over
        int value = 0;
        QString speed;
    };
    qint64 weight(const Job& job) const { return std::max<qint64>(1, job.durationSeconds); }
    // The bar over the whole run.
    int runValue() const;
    void showBar(int jobValue);
    void stopTimer2UnlessCreeping();

    JobList& jobs_;
    QTimer timer2_;
    std::map<int, Job> running_;
    int row_ = -1;  // the job started last
    qint32 progressBase_ = 0;
    bool wholeRun_ = false;
    qint64 runSeconds_ = 0;
    qint64 doneSeconds_ = 0;  // of the jobs already ended
    int lastValue_ = 0;
    QString lastSpeed_;
};
