#pragma once

#include <QObject>
#include <QStringList>

class Session;

// Files and folders named on the window's command line, or handed over by a second start of the
// program, added as if dropped on the window: the video edition adds a file as Add Files does
// and scans a folder as Add Folder does; the DVD edition takes one DVD folder (as Add DVD) or
// IFO files (as Add IFO). Whatever cannot be added is said through the session's problem(), as
// "Not added: PATH (why)". Paths that arrive while an add batch is under way wait for its end:
// a file manager's next "Open with" must not be lost to the busy guard.
class CommandLineSources : public QObject {
    Q_OBJECT
  public:
    explicit CommandLineSources(Session& session, QObject* parent = nullptr);

    // The arguments as absolute paths: relative ones are taken from `workingFolder`, file:
    // addresses become their paths.
    static QStringList absolutePaths(const QStringList& arguments, const QString& workingFolder);

    // Adds absolute paths; returns at once.
    void open(const QStringList& paths);

  private:
    void openWaiting();
    void openInDvdEdition(const QStringList& paths);
    void notAdded(const QString& path, const QString& why);

    Session& session_;
    QStringList waiting_;
};
