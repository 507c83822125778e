#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "core/shell/session.h"
#include "gui/desktop_notifier.h"

class MessageLog;
class StatusLine;
class QWidget;

// What the main window tells of the session's work. Problems go to the message log and onto
// the status line; the line shows how a run is getting on and, once it is over, how it ended,
// until the user does something else; a run that ends while the window is not the active one
// is told to the desktop as well.
class WindowMessages : public QObject {
    Q_OBJECT
  public:
    WindowMessages(Session& session, QWidget* window);

    MessageLog* log() const { return log_; }
    StatusLine* statusLine() const { return status_; }

    // Logs `text` and says its first line.
    void problem(const QString& text);
    // The user did something else: what was said about earlier work no longer applies.
    void userActed();

  private:
    void showRunStatus();
    void fileSkipped(const QString& path, const QString& reason);
    void batchFinished(const FileSources::AddReport& report);
    void jobEnded(int row);
    void runEnded(bool stopped);

    Session& session_;
    QPointer<QWidget> window_;
    MessageLog* log_;
    StatusLine* status_;
    DesktopNotifier notifier_;
};
