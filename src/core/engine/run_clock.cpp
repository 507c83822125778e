#include "core/engine/run_clock.h"

#include <QtMath>

#include "core/engine/time_value.h"

namespace {

// Below this share of a job, or this soon after its start, a forecast is mostly noise.
constexpr double kFirstForecastFraction = 0.005;
constexpr qint64 kFirstForecastMs = 500;

}  // namespace

RunClock::RunClock(const JobList& jobs, const ConversionQueue& queue,
                   const ProgressMonitor& monitor, QObject* parent)
    : QObject(parent), jobs_(jobs), queue_(queue), monitor_(monitor) {
    connect(&queue, &ConversionQueue::convertingChanged, this, [this](bool converting) {
        if (converting) {
            run_.start();
            totalSeconds_ = 0;
            doneSeconds_ = 0;
            for (int r = 0; r < jobs_.rowCount(); ++r) {
                if (willRun(r)) {
                    totalSeconds_ += mediaSeconds(r);
                }
            }
        } else {
            row_ = -1;
        }
        emit changed();
    });
    connect(&queue, &ConversionQueue::jobStarted, this, [this](int row) {
        row_ = row;
        value_ = 0;
        job_.start();
        emit changed();
    });
    connect(&queue, &ConversionQueue::jobEnded, this, [this](int row) {
        doneSeconds_ += mediaSeconds(row);
        row_ = -1;
        emit changed();
    });
    connect(&monitor, &ProgressMonitor::progressShown, this, [this](int value) {
        value_ = value;
        emit changed();
    });
}

qint64 RunClock::mediaSeconds(int row) const {
    return jobs_.isRow(row) ? secondsOfTimeValue(jobs_.jobInfo(row).duration) : 0;
}

bool RunClock::willRun(int row) const {
    return !jobs_.isDvdRow(row) || jobs_.isChecked(row);
}

RunClock::Reading RunClock::reading() const {
    Reading r;
    if (!queue_.converting() || row_ < 0) {
        return r;
    }
    r.row = row_;
    r.value = value_;
    r.speed = monitor_.lastSpeed();
    const double fraction = qBound(0.0, value_ / 10000.0, 1.0);
    if (fraction > kFirstForecastFraction && job_.elapsed() > kFirstForecastMs) {
        const double jobElapsed = job_.elapsed() / 1000.0;
        const double jobLeft = jobElapsed * (1.0 - fraction) / fraction;
        // The run's pace so far: wall seconds per media second.
        const double mediaDone = doneSeconds_ + fraction * mediaSeconds(row_);
        const double pace = mediaDone > 0 ? run_.elapsed() / 1000.0 / mediaDone : 0.0;
        const qint64 after = totalSeconds_ - doneSeconds_ - mediaSeconds(row_);
        r.jobLeftSeconds = qRound64(jobLeft);
        r.runLeftSeconds = qRound64(jobLeft + pace * qMax<qint64>(0, after));
    }
    return r;
}

QString RunClock::shortTime(qint64 seconds) {
    if (seconds < 0) {
        seconds = 0;
    }
    const qint64 h = seconds / 3600;
    const qint64 m = (seconds % 3600) / 60;
    const qint64 s = seconds % 60;
    if (h > 0) {
        return QStringLiteral("%1:%2:%3")
            .arg(h)
            .arg(m, 2, 10, QLatin1Char('0'))
            .arg(s, 2, 10, QLatin1Char('0'));
    }
    return QStringLiteral("%1:%2").arg(m, 2, 10, QLatin1Char('0')).arg(s, 2, 10, QLatin1Char('0'));
}
