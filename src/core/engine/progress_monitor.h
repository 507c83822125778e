#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include "core/engine/app_state.h"
#include "core/engine/job_list.h"

// Where the progress value (hundredths of a percent, 0..10000, may exceed it) is shown besides
// the running row's status: the progress bar of a front end.
class ProgressView {
public:
    virtual ~ProgressView() = default;
    virtual void setProgressVisible(bool visible) = 0;
    virtual void setProgressPosition(int value) = 0;
};

// Parses the encoder's output for the position reached and shows it (bar + status column);
// owns Timer2, the 100 ms creep used before a DVD job's first progress line.
class ProgressMonitor : public QObject {
    Q_OBJECT
public:
    ProgressMonitor(AppState& state, JobList& jobs, QObject* parent = nullptr);

    void setView(ProgressView* view) { view_ = view; }
    void setDurationSeconds(qint32 seconds) { durationSeconds_ = seconds; }
    qint32 durationSeconds() const { return durationSeconds_; }

    // Parse output: consumes whole lines from buffer (CR, LF or CR LF end a line), shows progress.
    void parseOutput(QByteArray& buffer);
    // Show progress (value): adds progressBase unless Timer2 runs, moves the bar, writes status.
    void showProgress(int value);
    // "45.67%"; "100.50%" beyond the end; never negative.
    static QString percentText(int value);

    QTimer& timer2() { return timer2_; }
    void timer2Tick();

    // The last value shown, for front ends that report progress themselves (CLI).
    int lastValue() const { return lastValue_; }
    // The last speed= the encoder reported ("1.5x"), empty when unknown.
    const QString& lastSpeed() const { return lastSpeed_; }

signals:
    void progressShown(int value);

private:
    AppState& state_;
    JobList& jobs_;
    ProgressView* view_ = nullptr;
    QTimer timer2_;
    qint32 durationSeconds_ = 0;
    int lastValue_ = 0;
    QString lastSpeed_;
};
