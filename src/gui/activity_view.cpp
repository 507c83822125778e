#include "gui/activity_view.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

#include "core/shell/activity_log.h"
#include "core/shell/machine_requests.h"

ActivityView::ActivityView(ActivityLog& log, MachineRequests& machine, QWidget* parent)
    : QDialog(parent),
      log_(log),
      machine_(machine),
      view_(new QTextEdit(this)),
      where_(new QLabel(this)),
      openFolder_(new QPushButton(QStringLiteral("Open Log Folder"), this)) {
    setWindowTitle(QStringLiteral("Activity"));
    setModal(false);
    resize(760, 420);
    view_->setReadOnly(true);
    view_->setAcceptRichText(false);
    view_->setLineWrapMode(QTextEdit::WidgetWidth);
    view_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view_->document()->setMaximumBlockCount(ActivityLog::kKeptLines);
    // A hanging indent: the first line from the left edge, the lines it wraps into under its
    // text.
    const qreal column =
        QFontMetricsF(view_->font())
            .horizontalAdvance(QString(ActivityLog::kTextColumn, QLatin1Char(' ')));
    hanging_.setLeftMargin(column);
    hanging_.setTextIndent(-column);
    view_->setAccessibleName(QStringLiteral("Activity log"));
    where_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    where_->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(openFolder_, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(openFolder_, &QPushButton::clicked, this, &ActivityView::openFolder);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_);
    layout->addWidget(where_);
    layout->addWidget(buttons);
    for (const QString& line : log.lines()) {
        appendLine(line);
    }
    connect(&log, &ActivityLog::lineAdded, this, [this](const QString& line) {
        // Follows the end unless the user has scrolled back to read.
        QScrollBar* bar = view_->verticalScrollBar();
        const bool atEnd = bar->value() == bar->maximum();
        appendLine(line);
        if (atEnd) {
            bar->setValue(bar->maximum());
        }
    });
}

void ActivityView::showLog() {
    where_->setText(
        log_.fileProblem().isEmpty()
            ? QStringLiteral("This run's log: %1").arg(QDir::toNativeSeparators(log_.path()))
            : log_.fileProblem());
    show();
    raise();
    activateWindow();
    view_->verticalScrollBar()->setValue(view_->verticalScrollBar()->maximum());
}

void ActivityView::appendLine(const QString& line) {
    QTextCursor cursor(view_->document());
    cursor.movePosition(QTextCursor::End);
    if (view_->document()->isEmpty()) {
        cursor.setBlockFormat(hanging_);
    } else {
        cursor.insertBlock(hanging_);
    }
    cursor.insertText(line);
}

void ActivityView::openFolder() {
    // When nothing can open it, the machine's requests say so with the folder's name.
    const QString folder = QFileInfo(log_.path()).absolutePath();
    QDir().mkpath(folder);
    machine_.openFolder(folder);
}
