#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "core/engine/job_list.h"

// How a run is getting on in time: each running job's progress, speed and time left, and the
// time left for the whole run, forecast from the progress shown and the media time of the jobs
// still to come. The session feeds it what the queue and the progress monitor report; both
// front ends render reading() when changed() is emitted.
class RunClock : public QObject {
    Q_OBJECT
  public:
    // Milliseconds on a steady clock; tests give their own.
    using TimeSource = std::function<qint64()>;

    struct Job {
        int row = -1;
        int value = 0;                      // hundredths of a percent
        QString speed;                      // the encoder's own report ("1.5x"), empty when unknown
        std::optional<qint64> leftSeconds;  // unknown until a little of the job is done
    };
    struct Reading {
        std::vector<Job> jobs;                 // the jobs running, in the order they started
        int runJobs = 0;                       // how many jobs the run converts
        int runValue = 0;                      // how far the run is, 0 to 10000 (media time)
        std::optional<qint64> runLeftSeconds;  // known once every running job has a forecast
    };

    explicit RunClock(const JobList& jobs, TimeSource now = {}, QObject* parent = nullptr);

    // What the queue and the progress monitor report.
    void runStarted();
    void jobStarted(int row);
    void jobProgress(int row, int value, const QString& speed);
    void jobEnded(int row);
    void runEnded();

    Reading reading() const;
    // The wall seconds the job of `row` took, when it ran in this run (or the last).
    std::optional<qint64> tookSeconds(int row) const;

  signals:
    void changed();

  private:
    struct Running {
        int row = -1;
        qint64 startedMs = 0;
        int value = 0;
        QString speed;
    };

    qint64 mediaSeconds(int row) const;

    const JobList& jobs_;
    TimeSource now_;
    qint64 runStartedMs_ = 0;
    int runJobs_ = 0;
    qint64 totalSeconds_ = 0;  // media seconds of the rows the run converts
    qint64 doneSeconds_ = 0;   // media seconds of the rows already ended
    std::vector<Running> running_;
    QHash<int, qint64> tookMs_;  // the rows ended in this run
};
