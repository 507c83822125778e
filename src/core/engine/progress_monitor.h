#pragma once

#include <QByteArrayView>
#include <QObject>
#include <QString>
#include <QTimer>
#include <optional>

#include "core/engine/job_list.h"
#include "core/engine/line_buffer.h"

// Parses the encoder's output for the position reached and shows it: the running row's state
// and progressShown() for the progress bar (hundredths of a percent, 0..10000, may exceed it).
// Owns progressBase and Timer2, the 100 ms creep used before a DVD job's first progress line.
class ProgressMonitor : public QObject {
    Q_OBJECT
  public:
    explicit ProgressMonitor(JobList& jobs, QObject* parent = nullptr);

    // A run starts: progressBase goes back to 0 (it grows across the jobs of one run).
    void startRun();
    // A job of the run starts on row `row`, its duration the progress denominator.
    void startJob(int row, qint32 durationSeconds);
    qint32 durationSeconds() const { return durationSeconds_; }
    qint32 progressBase() const { return progressBase_; }

    // Parse output: consumes the buffer's whole lines and shows the last position they carry.
    // True when that position lies beyond every earlier one of the job: the encoder made
    // progress (what the watchdog waits for; output without progress is no sign of life).
    bool parseOutput(LineBuffer& buffer);
    // The position of the last progress record in whole lines of output, in hundredths of a
    // second; nullopt when they hold none.
    static std::optional<qint64> lastPosition(QByteArrayView lines);
    // Show progress (value): adds progressBase unless Timer2 runs, writes the row's state.
    void showProgress(int value);

    QTimer& timer2() { return timer2_; }
    void timer2Tick();

    // The last value shown and the last speed= the encoder reported ("1.5x", empty when
    // unknown), for front ends that report progress in words.
    int lastValue() const { return lastValue_; }
    const QString& lastSpeed() const { return lastSpeed_; }

  signals:
    void progressShown(int value);

  private:
    JobList& jobs_;
    QTimer timer2_;
    int row_ = -1;
    qint32 durationSeconds_ = 0;
    qint64 furthest_ = -1;  // the job's furthest position so far, in hundredths of a second
    qint32 progressBase_ = 0;
    int lastValue_ = 0;
    QString lastSpeed_;
};
