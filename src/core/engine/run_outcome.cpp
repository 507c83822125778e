#include "core/engine/run_outcome.h"

RunOutcome RunOutcome::of(const JobList& jobs, int stoppedAt) {
    RunOutcome o;
    o.wasStopped = stoppedAt >= 0;
    for (int row = 0; row < jobs.rowCount(); ++row) {
        if (!jobs.isMeantToRun(row)) {
            continue;
        }
        if (o.wasStopped && row > stoppedAt) {
            ++o.notRun;
            continue;
        }
        switch (jobs.state(row).kind) {
            case RowState::Finished:
                ++o.finished;
                break;
            case RowState::Failed:
                ++o.failed;
                break;
            case RowState::Stopped:
                ++o.stopped;
                break;
            default:
                ++o.notRun;
                break;
        }
    }
    return o;
}

QString RunOutcome::text() const {
    if (total() == 0) {
        return QStringLiteral("Nothing converted: no row is ticked");
    }
    QString line = failed == 0 || wasStopped
                       ? QStringLiteral("%1 of %2 converted").arg(finished).arg(total())
                       : QStringLiteral("%1 converted").arg(finished);
    if (failed > 0) {
        line += QStringLiteral(", %1 failed").arg(failed);
    }
    return wasStopped ? QStringLiteral("Stopped: ") + line : line;
}
