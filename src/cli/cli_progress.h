#pragma once

#include <QElapsedTimer>
#include <QObject>

#include "core/engine/job_list.h"
#include "core/engine/run_clock.h"

// Shows a run's progress on standard error, rendered from the session's run clock. On a
// terminal: one live line per job with the caption, the percentage, the encoder's speed and
// the time left. Otherwise (a pipe, a log file): one line when each job starts and one when it
// ends, and between them a plain line of the same facts at each tenth of the job or after
// kPlainIntervalMs without one, so a log shows that a long job is alive.
class CliProgress : public QObject {
    Q_OBJECT
  public:
    CliProgress(const JobList& jobs, const RunClock& clock, bool live, QObject* parent = nullptr);

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

  private:
    void drawLive();

    const JobList& jobs_;
    const RunClock& clock_;
    bool live_;
    bool lineOpen_ = false;
    int row_ = -1;
    QElapsedTimer job_;
    QElapsedTimer lastDraw_;
    int lastTenth_ = 0;  // the tenth of the job the last plain line reported
};
