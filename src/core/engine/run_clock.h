#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <optional>

#include "core/engine/conversion_queue.h"
#include "core/engine/job_list.h"
#include "core/engine/progress_monitor.h"

// How a run is getting on in time: the encoder's speed and the time left for the job and for
// the run, worked out from the progress shown and the media time of the rows still to come.
class RunClock : public QObject {
    Q_OBJECT
  public:
    struct Reading {
        int row = -1;   // the row being converted, -1 outside a job
        int value = 0;  // its progress in hundredths of a percent
        QString speed;  // the encoder's own report ("1.5x"), empty when unknown
        std::optional<qint64> jobLeftSeconds;  // unknown until a little of the job is done
        std::optional<qint64> runLeftSeconds;
    };

    RunClock(const JobList& jobs, const ConversionQueue& queue, const ProgressMonitor& monitor,
             QObject* parent = nullptr);

    Reading reading() const;

    // "1:02:03", or "02:03" under an hour.
    static QString shortTime(qint64 seconds);

  signals:
    void changed();

  private:
    qint64 mediaSeconds(int row) const;
    bool willRun(int row) const;

    const JobList& jobs_;
    const ConversionQueue& queue_;
    const ProgressMonitor& monitor_;
    QElapsedTimer run_;
    QElapsedTimer job_;
    int row_ = -1;
    int value_ = 0;
    qint64 totalSeconds_ = 0;  // media seconds of the rows the run converts
    qint64 doneSeconds_ = 0;   // media seconds of the rows already ended
};
