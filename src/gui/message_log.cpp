#include "gui/message_log.h"

#include <QPlainTextEdit>
#include <QVBoxLayout>

MessageLog::MessageLog(QWidget* parent) : QDialog(parent), view_(new QPlainTextEdit(this)) {
    setWindowTitle(QStringLiteral("Messages"));
    setModal(false);
    resize(560, 320);
    view_->setReadOnly(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(view_);
}

void MessageLog::add(const QString& text) {
    QString line = text;
    line.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    messages_ << line;
    view_->appendPlainText(QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss  ")) +
                           line);
}
