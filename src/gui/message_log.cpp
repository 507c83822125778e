#include "gui/message_log.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

MessageLog::MessageLog(QWidget* parent) : QDialog(parent), view_(new QPlainTextEdit(this)) {
    setWindowTitle(QStringLiteral("Messages"));
    setModal(false);
    resize(560, 320);
    view_->setReadOnly(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    close_ = buttons->button(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_);
    layout->addWidget(buttons);
}

void MessageLog::add(const QString& text) {
    QString line = text;
    line.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // A blank line between messages keeps long ones apart.
    if (!messages_.isEmpty()) {
        view_->appendPlainText(QString());
    }
    messages_ << line;
    view_->appendPlainText(QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss  ")) +
                           line);
    // What comes while the log is open is read as it comes.
    unread_ = isVisible() ? 0 : unread_ + 1;
    emit changed();
}

void MessageLog::showLog() {
    show();
    raise();
    activateWindow();
    view_->verticalScrollBar()->setValue(view_->verticalScrollBar()->maximum());
}

void MessageLog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    unread_ = 0;
    emit changed();
}
