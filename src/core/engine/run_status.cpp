#include "core/engine/run_status.h"

#include <algorithm>

QString shortTime(qint64 seconds) {
    seconds = std::max<qint64>(0, seconds);
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

QString timeLeftText(const JobList& jobs, const RunClock::Reading& reading,
                     const RunClock::Job& job) {
    if (!job.leftSeconds) {
        return {};
    }
    QString text =
        QStringLiteral("%1 left for this %2")
            .arg(shortTime(*job.leftSeconds),
                 jobs.isDvdRow(job.row) ? QStringLiteral("title") : QStringLiteral("file"));
    if (reading.runJobs > 1 && reading.runLeftSeconds) {
        text += QStringLiteral(", %1 for the whole run").arg(shortTime(*reading.runLeftSeconds));
    }
    return text;
}

namespace {

// The job shown: the first still running. nullptr when none is.
const RunClock::Job* shownJob(const JobList& jobs, const RunClock::Reading& reading) {
    if (reading.jobs.empty() || !jobs.isRow(reading.jobs.front().row)) {
        return nullptr;
    }
    return &reading.jobs.front();
}

}  // namespace

QString runStatusLine(const JobList& jobs, const RunClock::Reading& reading) {
    const RunClock::Job* job = shownJob(jobs, reading);
    if (job == nullptr) {
        return {};
    }
    QString text = QStringLiteral("Converting %1 (%2 of %3)  %4")
                       .arg(jobs.caption(job->row).trimmed())
                       .arg(job->row + 1)
                       .arg(jobs.rowCount())
                       .arg(percentText(job->value));
    const QString separator = QStringLiteral("  \u00b7  ");
    if (!job->speed.isEmpty()) {
        text += separator + QStringLiteral("speed ") + job->speed;
    }
    const QString left = timeLeftText(jobs, reading, *job);
    if (!left.isEmpty()) {
        text += separator + left;
    }
    return text;
}

QString runProgressLine(const JobList& jobs, const RunClock::Reading& reading) {
    const RunClock::Job* job = shownJob(jobs, reading);
    if (job == nullptr) {
        return {};
    }
    QString line = QStringLiteral("[%1/%2] %3  %4")
                       .arg(job->row + 1)
                       .arg(jobs.rowCount())
                       .arg(jobs.caption(job->row), percentText(job->value));
    if (!job->speed.isEmpty()) {
        line += QStringLiteral("  speed ") + job->speed;
    }
    const QString left = timeLeftText(jobs, reading, *job);
    if (!left.isEmpty()) {
        line += QStringLiteral("  ") + left;
    }
    return line;
}
