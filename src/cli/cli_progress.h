#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include "core/engine/job_list.h"
#include "core/engine/progress_monitor.h"

// Shows a run's progress on standard error. On a terminal: one live line per job with the
// caption, the percentage, the encoder's speed and the time left for the job and for the
// run. Otherwise (a pipe, a log file): one line when each job starts and one when it ends.
class CliProgress : public QObject {
    Q_OBJECT
  public:
    CliProgress(const JobList& jobs, const ProgressMonitor& monitor, bool live,
                QObject* parent = nullptr);

    void jobStarted(int row);
    void jobEnded(int row);
    void progressShown(int value);
    // Ends a live line so later text starts on a line of its own.
    void endLine();

    // "1:02:03" / "02:03".
    static QString shortTime(qint64 seconds);

  private:
    qint64 rowSeconds(int row) const;
    void drawLive(int value);

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
};
