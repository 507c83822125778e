#pragma once

#include <QDateTime>
#include <QDialog>
#include <QStringList>

class QPlainTextEdit;
class QPushButton;

// Problems that came up while the program worked (a file that was not added, an output folder
// that could not be made, a failed job's output): kept so they stay readable after the status
// line has moved on, and shown in a window that does not block anything.
class MessageLog : public QDialog {
    Q_OBJECT
  public:
    explicit MessageLog(QWidget* parent = nullptr);

    void add(const QString& text);
    const QStringList& messages() const { return messages_; }
    // How many messages came since the log was last shown.
    int unread() const { return unread_; }
    // Shows the log in front, its newest message in view.
    void showLog();
    QPushButton* closeButton() const { return close_; }

  signals:
    // A message came, or the log was read.
    void changed();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QPlainTextEdit* view_;
    QPushButton* close_;
    QStringList messages_;
    int unread_ = 0;
};
