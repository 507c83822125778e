#include "cli/cli_progress.h"

#include <QFileInfo>
#include <cstdio>

#include "core/engine/time_value.h"

namespace {

void print(const QString& text) {
    std::fputs(text.toUtf8().constData(), stderr);
    std::fflush(stderr);
}

}  // namespace

CliProgress::CliProgress(const JobList& jobs, const ProgressMonitor& monitor, bool live,
                         QObject* parent)
    : QObject(parent), jobs_(jobs), monitor_(monitor), live_(live) {}

QString CliProgress::shortTime(qint64 seconds) {
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

qint64 CliProgress::rowSeconds(int row) const {
    return jobs_.isRow(row) ? secondsOfTimeValue(jobs_.jobInfo(row).duration) : 0;
}

void CliProgress::jobStarted(int row) {
    if (!run_.isValid()) {
        run_.start();
        totalSeconds_ = 0;
        for (int r = 0; r < jobs_.rowCount(); ++r) {
            totalSeconds_ += rowSeconds(r);
        }
    }
    row_ = row;
    job_.start();
    lastDraw_.invalidate();
    lastTenth_ = 0;
    if (live_) {
        drawLive(0);
        return;
    }
    const QString output = jobs_.isRow(row) ? jobs_.state(row).outputName : QString();
    print(QStringLiteral("[%1/%2] %3 -> %4\n")
              .arg(row + 1)
              .arg(jobs_.rowCount())
              .arg(jobs_.caption(row), output));
}

void CliProgress::jobEnded(int row) {
    doneSeconds_ += rowSeconds(row);
    const RowState state = jobs_.isRow(row) ? jobs_.state(row) : RowState();
    QString text = QStringLiteral("[%1/%2] %3: %4")
                       .arg(row + 1)
                       .arg(jobs_.rowCount())
                       .arg(jobs_.caption(row), statusText(state));
    if (job_.isValid() && row == row_) {
        text += QStringLiteral(" in %1").arg(shortTime(job_.elapsed() / 1000));
    }
    if (state.kind == RowState::Failed && !state.reason.isEmpty()) {
        text += QStringLiteral(" (") + state.reason + QLatin1Char(')');
    }
    if (live_) {
        print(QStringLiteral("\r\033[K") + text + QLatin1Char('\n'));
        lineOpen_ = false;
    } else {
        print(text + QLatin1Char('\n'));
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
            print(progressLine(value) + QLatin1Char('\n'));
        }
        return;
    }
    // A terminal need not be redrawn more than a few times a second.
    if (lastDraw_.isValid() && lastDraw_.elapsed() < 200) {
        return;
    }
    drawLive(value);
}

void CliProgress::drawLive(int value) {
    lastDraw_.start();
    print(QStringLiteral("\r\033[K") + progressLine(value));
    lineOpen_ = true;
}

QString CliProgress::progressLine(int value) const {
    QString line = QStringLiteral("[%1/%2] %3  %4")
                       .arg(row_ + 1)
                       .arg(jobs_.rowCount())
                       .arg(jobs_.caption(row_), percentText(value));
    if (!monitor_.lastSpeed().isEmpty()) {
        line += QStringLiteral("  speed ") + monitor_.lastSpeed();
    }
    const double fraction = qBound(0.0, value / 10000.0, 1.0);
    if (fraction > 0.005 && job_.elapsed() > 500) {
        const double jobElapsed = job_.elapsed() / 1000.0;
        const double jobLeft = jobElapsed * (1.0 - fraction) / fraction;
        // The run's pace so far: wall seconds per media second.
        const double mediaDone = doneSeconds_ + fraction * rowSeconds(row_);
        const double pace = mediaDone > 0 ? run_.elapsed() / 1000.0 / mediaDone : 0.0;
        const double runLeft = jobLeft + pace * (totalSeconds_ - doneSeconds_ - rowSeconds(row_));
        line += QStringLiteral("  left %1, run %2")
                    .arg(shortTime(qRound64(jobLeft)), shortTime(qRound64(runLeft)));
    }
    return line;
}

void CliProgress::endLine() {
    if (lineOpen_) {
        print(QStringLiteral("\n"));
        lineOpen_ = false;
    }
}
