#pragma once

#include <QDateTime>
#include <QDialog>
#include <QStringList>

class QPlainTextEdit;

// Problems that came up while the program worked (a file that was not added, an output folder
// that could not be made, a failed job's output): kept so they stay readable after the status
// line has moved on, and shown in a window that does not block anything.
class MessageLog : public QDialog {
    Q_OBJECT
  public:
    explicit MessageLog(QWidget* parent = nullptr);

    void add(const QString& text);
    const QStringList& messages() const { return messages_; }

  private:
    QPlainTextEdit* view_;
    QStringList messages_;
};
