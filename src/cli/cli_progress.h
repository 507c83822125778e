#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include "core/engine/job_list.h"
#include "core/engine/progress_monitor.h"

// Shows a run's progress on standard error. On a terminal: one live line per job with the
// caption, the percentage, the encoder's speed and the time left for the job and for the
// run. Otherwise (a pipe, a log file): one line when each job starts and one when it ends,
// and between them a plain line of the same facts at each tenth of the job or after
// kPlainIntervalMs without one, so a log shows that a long job is alive.
class CliProgress : public QObject {
    Q_OBJECT
  public:
    CliProgress(const JobList& jobs, const ProgressMonitor& monitor, bool live,
                QObject* parent = nullptr);

    void jobStarted(int row);
    void jobEnded(int row);
    void progressShown(int value);
    // A job's own progress: with several jobs at once, the line shows the one that moved.
    void jobProgress(int row, int value) {
        row_ = row;
        progressShown(value);
    }
    // Ends a live line so later text starts on a line of its own.
    void endLine();

    static constexpr int kPlainIntervalMs = 10 * 1000;

    // "1:02:03" / "02:03".
    static QString shortTime(qint64 seconds);

  private:
    qint64 rowSeconds(int row) const;
    void drawLive(int value);
    // "[1/2] clip  45.67%  speed 2.1x  left 00:12, run 01:02"
    QString progressLine(int value) const;

    const JobList& jobs_;
    const ProgressMonitor& monitor_;
    bool live_;
    bool lineOpen_ = false;
    int row_ = -1;
    qint64 totalSeconds_ = 0;  // media seconds of the whole run
    qint64 doneSeconds_ = 0;   // media seconds of the rows already ended
    QElapsedTimer run_;
    QElapsedTimer job_;
    QElapsedTimer lastDraw_;
    int lastTenth_ = 0;  // the tenth of the job the last plain line reported
};
