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
    const QString thisJob =
        jobs.isDvdRow(job.row) ? QStringLiteral("this title") : QStringLiteral("this file");
    // The whole run's figure first: it is what a person waiting for a batch wants, and the
    // job's own progress shows beside it anyway.
    if (reading.runJobs > 1 && reading.runLeftSeconds) {
        return QStringLiteral("%1 left in all, %2 for %3")
            .arg(shortTime(*reading.runLeftSeconds), shortTime(*job.leftSeconds), thisJob);
    }
    return QStringLiteral("%1 left for %2").arg(shortTime(*job.leftSeconds), thisJob);
}

namespace {

// The job shown: the first still running. nullptr when none is.
const RunClock::Job* shownJob(const JobList& jobs, const RunClock::Reading& reading) {
    if (reading.jobs.empty() || !jobs.isRow(reading.jobs.front().row)) {
        return nullptr;
    }
    return &reading.jobs.front();
}

// The window's line has room for a short caption and the figures after it: a long one keeps
// its start and end.
QString shortCaption(const QString& caption) {
    constexpr qsizetype kMost = 16;
    if (caption.size() <= kMost) {
        return caption;
    }
    return caption.left(10) + QChar(0x2026) + caption.right(kMost - 11);
}

// The run's speed: the running jobs' together ("2.1x" and "1.9x" make "4.0x"); empty unless
// each says its own.
QString runSpeed(const RunClock::Reading& reading) {
    double sum = 0;
    for (const RunClock::Job& job : reading.jobs) {
        bool ok = false;
        const double speed = QString(job.speed).remove(QLatin1Char('x')).toDouble(&ok);
        if (!ok) {
            return {};
        }
        sum += speed;
    }
    return QString::number(sum, 'f', 1) + QLatin1Char('x');
}

// Several jobs at once: the line counts the whole run.
QString severalJobsLine(const JobList& jobs, const RunClock::Reading& reading) {
    const QString what = jobs.isDvdRow(reading.jobs.front().row) ? QStringLiteral("titles")
                                                                 : QStringLiteral("files");
    // Short enough for the window's line with every figure: "Converting 2 files at once (3 in
    // all)" pushed the speed out of it.
    QStringList parts{QStringLiteral("Converting %1 of %2 %3  %4")
                          .arg(reading.jobs.size())
                          .arg(reading.runJobs)
                          .arg(what)
                          .arg(percentText(reading.runValue))};
    if (reading.runLeftSeconds) {
        parts << QStringLiteral("%1 left in all").arg(shortTime(*reading.runLeftSeconds));
    }
    if (const QString speed = runSpeed(reading); !speed.isEmpty()) {
        parts << QStringLiteral("speed ") + speed;
    }
    return parts.join(QStringLiteral("  \u00b7  "));
}

}  // namespace

QString runStatusLine(const JobList& jobs, const RunClock::Reading& reading) {
    const RunClock::Job* job = shownJob(jobs, reading);
    if (job == nullptr) {
        return {};
    }
    if (reading.jobs.size() > 1) {
        return severalJobsLine(jobs, reading);
    }
    QStringList parts{QStringLiteral("Converting %1 (%2 of %3)  %4")
                          .arg(shortCaption(jobs.caption(job->row).trimmed()))
                          .arg(job->row + 1)
                          .arg(jobs.rowCount())
                          .arg(percentText(job->value))};
    parts << timeLeftText(jobs, reading, *job);
    if (!job->speed.isEmpty()) {
        parts << QStringLiteral("speed ") + job->speed;
    }
    parts.removeAll(QString());
    return parts.join(QStringLiteral("  \u00b7  "));
}

QString runProgressLine(const JobList& jobs, const RunClock::Reading& reading) {
    const RunClock::Job* job = shownJob(jobs, reading);
    if (job == nullptr) {
        return {};
    }
    QStringList parts{QStringLiteral("[%1/%2] %3  %4")
                          .arg(job->row + 1)
                          .arg(jobs.rowCount())
                          .arg(jobs.caption(job->row), percentText(job->value)),
                      timeLeftText(jobs, reading, *job)};
    if (!job->speed.isEmpty()) {
        parts << QStringLiteral("speed ") + job->speed;
    }
    parts.removeAll(QString());
    return parts.join(QStringLiteral("  "));
}
