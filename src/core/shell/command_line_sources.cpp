#include "core/shell/command_line_sources.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "core/shell/session.h"

CommandLineSources::CommandLineSources(Session& session, QObject* parent)
    : QObject(parent), session_(session) {
    // An add batch has wound up when it says it is idle, so the next may start at once. Add
    // DVD says so before its search: queued, that search ends first.
    connect(&session.files(), &FileSources::busyChanged, this, &CommandLineSources::openWaiting);
    connect(&session.dvdDiscovery(), &DvdDiscovery::busyChanged, this,
            &CommandLineSources::openWaiting, Qt::QueuedConnection);
}

QStringList CommandLineSources::absolutePaths(const QStringList& arguments,
                                              const QString& workingFolder) {
    QStringList paths;
    for (const QString& argument : arguments) {
        QString path = argument;
        if (argument.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
            const QUrl url(argument);
            if (url.isLocalFile()) {
                path = url.toLocalFile();
            }
        }
        paths << QDir::cleanPath(QDir(workingFolder).absoluteFilePath(path));
    }
    return paths;
}

void CommandLineSources::open(const QStringList& paths) {
    waiting_ << paths;
    openWaiting();
}

void CommandLineSources::openWaiting() {
    if (waiting_.isEmpty() || session_.guards().adding()) {
        return;
    }
    const QStringList paths = std::exchange(waiting_, {});
    if (session_.isDvdEdition()) {
        openInDvdEdition(paths);
    } else {
        session_.files().addPaths(paths);
    }
}

void CommandLineSources::openInDvdEdition(const QStringList& paths) {
    QString folder;
    QStringList ifoFiles;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        const bool ifo =
            info.isFile() && info.suffix().compare(QLatin1String("ifo"), Qt::CaseInsensitive) == 0;
        if (!info.exists()) {
            notAdded(path, QStringLiteral("no such file or folder"));
        } else if (!info.isDir() && !ifo) {
            notAdded(path, QStringLiteral("not a DVD folder or an IFO file"));
        } else if (!folder.isEmpty() || (info.isDir() && !ifoFiles.isEmpty())) {
            notAdded(path, QStringLiteral("the DVD edition takes one DVD folder, or IFO files"));
        } else if (info.isDir()) {
            folder = path;
        } else {
            ifoFiles << path;
        }
    }
    if (!folder.isEmpty()) {
        session_.dvdDiscovery().addDvdFolder(folder);
    } else if (!ifoFiles.isEmpty()) {
        session_.dvdTitles().addIfoFiles(ifoFiles);
    }
}

void CommandLineSources::notAdded(const QString& path, const QString& why) {
    emit session_.problem(
        QStringLiteral("Not added: %1 (%2)").arg(QDir::toNativeSeparators(path), why));
}
