#include "core/profiles/output_estimates.h"

#include <algorithm>

#include "core/engine/time_value.h"
#include "core/profiles/rate_plan.h"

OutputEstimates::OutputEstimates(const ProfileSelection& selection, JobList& jobs, QObject* parent)
    : QObject(parent), selection_(selection), jobs_(jobs) {}

QString OutputEstimates::formatEstimate(qint64 totalKbps, qint64 seconds) {
    // 64-bit: a long file at a high rate overflows 32 bits (3222 kbit/s x 12 h already does).
    const qint64 kilobits = totalKbps * std::max<qint64>(0, seconds);
    const double megabytes = static_cast<double>(kilobits) / 8.0 / 1024.0 * 1000.0 / 1024.0;
    // QString::number always writes '.', whatever the locale.
    const double rounded = QString::number(megabytes, 'g', 5).toDouble();
    if (rounded >= 100000.0) {
        return QString::number(megabytes, 'E', 4) + QStringLiteral("MB");
    }
    return QString::number(rounded, 'f', 2) + QStringLiteral("MB");
}

QString OutputEstimates::estimateFor(const Toriginalinfo& info, QString* error) const {
    const std::optional<RatePlan> plan = planRates(selection_.rateChoices(), info, error);
    if (!plan) {
        return {};
    }
    return formatEstimate(plan->totalKbps, secondsOfTimeValue(info.duration));
}

QString OutputEstimates::estimateOutputSize(int row) const {
    return jobs_.isRow(row) ? estimateFor(jobs_.jobInfo(row)) : QString();
}

void OutputEstimates::refreshEstimates() {
    QStringList texts;
    texts.reserve(jobs_.rowCount());
    QString firstProblem;
    for (int row = 0; row < jobs_.rowCount(); ++row) {
        QString error;
        // A row whose values cannot be worked out shows no estimate; the others still do.
        texts.append(estimateFor(jobs_.jobInfo(row), &error));
        if (texts.last().isEmpty() && firstProblem.isEmpty()) {
            firstProblem = error;
        }
    }
    jobs_.setColumnTexts(JobList::OutputSizeColumn, texts);
    if (!firstProblem.isEmpty()) {
        emit problem(firstProblem);
    }
}
