#include "cli/cli_progress.h"

#include "cli/cli_console.h"
#include "core/engine/run_status.h"

CliProgress::CliProgress(const JobList& jobs, const RunClock& clock, bool live, QObject* parent)
    : QObject(parent), jobs_(jobs), clock_(clock), live_(live) {}

void CliProgress::jobStarted(int row) {
    row_ = row;
    job_.start();
    lastDraw_.invalidate();
    lastTenth_ = 0;
    if (live_) {
        drawLive();
        return;
    }
    const QString output = jobs_.isRow(row) ? jobs_.state(row).outputName : QString();
    cli::err(QStringLiteral("[%1/%2] %3 -> %4\n")
                 .arg(row + 1)
                 .arg(jobs_.rowCount())
                 .arg(jobs_.caption(row), output));
}

void CliProgress::jobEnded(int row) {
    const RowState state = jobs_.isRow(row) ? jobs_.state(row) : RowState();
    QString text = QStringLiteral("[%1/%2] %3: %4")
                       .arg(row + 1)
                       .arg(jobs_.rowCount())
                       .arg(jobs_.caption(row), statusText(state));
    if (const std::optional<qint64> took = clock_.tookSeconds(row)) {
        text += QStringLiteral(" in %1").arg(shortTime(*took));
    }
    if (state.kind == RowState::Failed && !state.reason.isEmpty()) {
        text += QStringLiteral(" (") + state.reason + QLatin1Char(')');
    }
    if (jobs_.isRow(row) && !jobs_.row(row).note.isEmpty()) {
        text += QStringLiteral(" (") + jobs_.row(row).note + QLatin1Char(')');
    }
    if (live_) {
        cli::err(QStringLiteral("\r\033[K") + text + QLatin1Char('\n'));
        lineOpen_ = false;
    } else {
        cli::err(text + QLatin1Char('\n'));
    }
    if (row == row_) {
        row_ = -1;
    }
}

void CliProgress::progressShown(int value) {
    if (row_ < 0) {
        return;
    }
    if (!live_) {
        const int tenth = qBound(0, value / 1000, 10);
        const qint64 quiet = lastDraw_.isValid() ? lastDraw_.elapsed() : job_.elapsed();
        if (tenth > lastTenth_ || (value > 0 && quiet >= kPlainIntervalMs)) {
            lastTenth_ = qMax(lastTenth_, tenth);
            lastDraw_.start();
            cli::err(runProgressLine(jobs_, clock_.reading()) + QLatin1Char('\n'));
        }
        return;
    }
    // A terminal need not be redrawn more than a few times a second.
    if (lastDraw_.isValid() && lastDraw_.elapsed() < 200) {
        return;
    }
    drawLive();
}

void CliProgress::drawLive() {
    lastDraw_.start();
    cli::err(QStringLiteral("\r\033[K") + runProgressLine(jobs_, clock_.reading()));
    lineOpen_ = true;
}

void CliProgress::endLine() {
    if (lineOpen_) {
        cli::err(QStringLiteral("\n"));
        lineOpen_ = false;
    }
}
