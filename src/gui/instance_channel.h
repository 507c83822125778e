#pragma once

#include <QLocalServer>
#include <QObject>
#include <QStringList>

// One window per user, display and edition: the first start of the program listens on a local
// socket named after the user (the runtime folder is the user's own), the display and the
// program's file name; a
// later start with files hands them over through it and ends, as file managers start one process
// for each "Open with".
class InstanceChannel : public QObject {
    Q_OBJECT
  public:
    // The socket of the program named `programFileName` (each name is an edition with its own
    // settings) on `display`, in the user's runtime folder. Without XDG_RUNTIME_DIR two sessions
    // of one user share that folder, and a start on one screen must not open files on the other.
    static QString socketPathFor(const QString& programFileName, const QString& display);

    explicit InstanceChannel(QString socketPath, QObject* parent = nullptr);

    // Hands `paths` (absolute) to the program listening; false when none took them in time.
    bool handOver(const QStringList& paths, int timeoutMs = 3000) const;
    // Starts listening, replacing a socket that a program which ended without closing it left
    // behind; false when another program listens (or the socket cannot be made).
    bool listen();

  signals:
    // Paths handed over by a later start of the program.
    void pathsReceived(const QStringList& paths);

  private:
    void readFrom(class QLocalSocket* socket);

    QString path_;
    QLocalServer server_;
};
