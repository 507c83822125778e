#include "core/engine/run_clock.h"

#include <QElapsedTimer>
#include <QtMath>
#include <algorithm>
#include <utility>

#include "core/engine/time_value.h"

namespace {

// Below this share of a job, or this soon after its start, a forecast is mostly noise.
constexpr double kFirstForecastFraction = 0.005;
constexpr qint64 kFirstForecastMs = 500;

RunClock::TimeSource steadyClock() {
    return [] {
        static QElapsedTimer clock;
        if (!clock.isValid()) {
            clock.start();
        }
        return clock.elapsed();
    };
}

}  // namespace

RunClock::RunClock(const JobList& jobs, TimeSource now, QObject* parent)
    : QObject(parent), jobs_(jobs), now_(now ? std::move(now) : steadyClock()) {}

qint64 RunClock::mediaSeconds(int row) const {
    return jobs_.isRow(row) ? secondsOfTimeValue(jobs_.jobInfo(row).duration) : 0;
}

void RunClock::runStarted() {
    runStartedMs_ = now_();
    runJobs_ = 0;
    totalSeconds_ = 0;
    doneSeconds_ = 0;
    running_.clear();
    tookMs_.clear();
    for (int r = 0; r < jobs_.rowCount(); ++r) {
        if (jobs_.isMeantToRun(r)) {
            ++runJobs_;
            totalSeconds_ += mediaSeconds(r);
        }
    }
    emit changed();
}

void RunClock::jobStarted(int row) {
    running_.push_back({row, now_(), 0, {}});
    emit changed();
}

void RunClock::jobProgress(int row, int value, const QString& speed) {
    for (Running& job : running_) {
        if (job.row == row) {
            job.value = value;
            job.speed = speed;
            emit changed();
            return;
        }
    }
}

void RunClock::jobEnded(int row) {
    doneSeconds_ += mediaSeconds(row);
    const auto job = std::find_if(running_.begin(), running_.end(),
                                  [row](const Running& r) { return r.row == row; });
    if (job != running_.end()) {
        tookMs_.insert(row, now_() - job->startedMs);
        running_.erase(job);
    }
    emit changed();
}

void RunClock::runEnded() {
    running_.clear();
    emit changed();
}

std::optional<qint64> RunClock::tookSeconds(int row) const {
    const auto it = tookMs_.constFind(row);
    return it == tookMs_.constEnd() ? std::nullopt : std::optional<qint64>(*it / 1000);
}

RunClock::Reading RunClock::reading() const {
    Reading r;
    r.runJobs = runJobs_;
    const qint64 now = now_();
    double mediaDone = doneSeconds_;
    qint64 notStarted = totalSeconds_ - doneSeconds_;
    double longestLeft = 0;
    bool allForecast = !running_.empty();
    for (const Running& running : running_) {
        Job job{running.row, running.value, running.speed, std::nullopt};
        const double fraction = qBound(0.0, running.value / 10000.0, 1.0);
        const qint64 elapsedMs = now - running.startedMs;
        mediaDone += fraction * mediaSeconds(running.row);
        notStarted -= mediaSeconds(running.row);
        if (fraction > kFirstForecastFraction && elapsedMs > kFirstForecastMs) {
            const double left = elapsedMs / 1000.0 * (1.0 - fraction) / fraction;
            job.leftSeconds = qRound64(left);
            longestLeft = std::max(longestLeft, left);
        } else {
            allForecast = false;
        }
        r.jobs.push_back(std::move(job));
    }
    if (totalSeconds_ > 0) {
        r.runValue = qBound(0, qRound(mediaDone * 10000.0 / totalSeconds_), 10000);
    }
    if (allForecast) {
        // The run's pace so far: wall seconds per media second.
        const double pace = mediaDone > 0 ? (now - runStartedMs_) / 1000.0 / mediaDone : 0.0;
        r.runLeftSeconds = qRound64(longestLeft + pace * std::max<qint64>(0, notStarted));
    }
    return r;
}
