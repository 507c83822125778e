#include "core/engine/output_file.h"

#include <QFile>
#include <QFileInfo>

QString OutputFile::createTemporary(const QString& finalName, QString* error) {
    const QFileInfo info(finalName);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    QString stem = info.fileName().left(info.fileName().size() - suffix.size());
    // The temporary name is longer than the final one; a name near the file system's limit
    // gives up some of its stem rather than fail.
    while (QFile::encodeName(stem).size() > 200) {
        stem.chop(1);
    }
    QString why;
    const QString name = platform::createUniqueFile(
        info.path() + QStringLiteral("/.") + stem + QStringLiteral(".part-"), suffix, &why);
    if (name.isEmpty() && error != nullptr) {
        *error = QStringLiteral("cannot create a file in %1: %2").arg(info.path(), why);
    }
    return name;
}

void OutputFile::discard(const QString& path) {
    if (!path.isEmpty()) {
        QFile::remove(path);
    }
}
