#include "gui/window_messages.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include "core/engine/run_outcome.h"
#include "core/engine/run_status.h"
#include "gui/message_log.h"
#include "gui/status_line.h"

namespace {

QString notAddedText(const QString& path, const QString& reason) {
    return QStringLiteral("Not added: %1 (%2)").arg(QDir::toNativeSeparators(path), reason);
}

}  // namespace

WindowMessages::WindowMessages(Session& session, QWidget* window)
    : QObject(window),
      session_(session),
      window_(window),
      log_(new MessageLog(window)),
      status_(new StatusLine(*log_, window)),
      notifier_(session.isDvdEdition() ? QStringLiteral("io.orvex.DvdConverter")
                                       : QStringLiteral("io.orvex.Converter")) {
    ConversionQueue& queue = session.queue();
    connect(&session, &Session::problem, this, &WindowMessages::problem);
    connect(&session.files(), &FileSources::fileSkipped, this, &WindowMessages::fileSkipped);
    connect(&session.files(), &FileSources::batchFinished, this, &WindowMessages::batchFinished);
    connect(&queue, &ConversionQueue::jobEnded, this, &WindowMessages::jobEnded);
    connect(&queue, &ConversionQueue::runEnded, this, &WindowMessages::runEnded);
    connect(&queue, &ConversionQueue::convertingChanged, this, &WindowMessages::showRunStatus);
    connect(&session.runClock(), &RunClock::changed, this, &WindowMessages::showRunStatus);
    // A new choice of profile or quality is something else too.
    connect(&session.selection(), &ProfileSelection::choicesChanged, this,
            &WindowMessages::userActed);
}

void WindowMessages::problem(const QString& text) {
    log_->add(text);
    status_->say(text.section(QLatin1Char('\n'), 0, 0), text);
}

void WindowMessages::userActed() {
    status_->clearSaid();
}

void WindowMessages::fileSkipped(const QString& path, const QString& reason) {
    // The line names the file; the log and the tooltip give where it lies.
    const QString whole = notAddedText(path, reason);
    log_->add(whole);
    status_->say(QStringLiteral("Not added: %1 (%2)").arg(QFileInfo(path).fileName(), reason),
                 whole);
}

void WindowMessages::batchFinished(const FileSources::AddReport& report) {
    if (!report.encoderProblem.isEmpty()) {
        problem(report.encoderProblem);
        log_->showLog();
        return;
    }
    const int skipped = int(report.skipped.size());
    if (skipped > 1) {
        QStringList whole;
        for (const FileSources::Skipped& s : report.skipped) {
            whole << notAddedText(s.path, s.reason);
        }
        status_->say(report.added > 0
                         ? QStringLiteral("%1 added, %2 not added: click to see why")
                               .arg(report.added)
                               .arg(skipped)
                         : QStringLiteral("%1 files not added: click to see why").arg(skipped),
                     whole.join(QLatin1Char('\n')));
    }
}

void WindowMessages::jobEnded(int row) {
    const JobList& jobs = session_.jobs();
    if (!jobs.isRow(row) || jobs.state(row).kind != RowState::Failed) {
        return;
    }
    const RowState& state = jobs.state(row);
    QString text = jobs.caption(row).trimmed() + QStringLiteral(" failed: ") + state.reason;
    if (!state.outputTail.isEmpty()) {
        text += QStringLiteral("\n    ") + state.outputTail.join(QStringLiteral("\n    "));
    }
    problem(text);
}

void WindowMessages::runEnded(bool stopped) {
    const ConversionQueue& queue = session_.queue();
    const RunOutcome outcome = RunOutcome::of(session_.jobs(), stopped ? queue.currentJob() : -1);
    status_->say(outcome.failed > 0 ? outcome.text() + QStringLiteral(": click to see why")
                                    : outcome.text());
    if (window_ != nullptr && !window_->isActiveWindow()) {
        notifier_.notify(
            outcome.text(),
            outcome.finished > 0
                ? QStringLiteral("Saved in %1").arg(QDir::toNativeSeparators(queue.outputFolder()))
                : QString());
    }
}

void WindowMessages::showRunStatus() {
    status_->setProgress(session_.queue().converting()
                             ? runStatusLine(session_.jobs(), session_.runClock().reading())
                             : QString());
}
