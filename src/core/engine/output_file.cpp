#include "core/engine/output_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

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

OutputFile::Claimed OutputFile::createClaimed(const QString& finalName, QString* error) {
    // A cleanup that found the new file before its claim took hold has removed it: another name.
    for (int attempt = 0; attempt < 10; ++attempt) {
        Claimed made;
        made.path = createTemporary(finalName, error);
        if (made.path.isEmpty()) {
            return {};
        }
        made.claim = platform::claimFile(made.path);
        if (made.claim) {
            return made;
        }
        QFile::remove(made.path);
    }
    if (error != nullptr) {
        *error = QStringLiteral("cannot claim a temporary file beside %1").arg(finalName);
    }
    return {};
}

bool OutputFile::isPartName(const QString& fileName) {
    static const QRegularExpression kPart(
        QStringLiteral("^\\..+\\.part-[A-Za-z0-9]{6}(\\.[^.]*)?(\\.part-[A-Za-z0-9]{6})?$"),
        QRegularExpression::DotMatchesEverythingOption);
    return kPart.match(fileName).hasMatch();
}

namespace {

// The files in folder whose names are temporary names and begin with prefix.
QStringList partFilesIn(const QString& folder, const QString& prefix) {
    QStringList found;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name.startsWith(prefix) && OutputFile::isPartName(name)) {
            found << dir.filePath(name);
        }
    }
    return found;
}

}  // namespace

QStringList OutputFile::removeLeftovers(const QString& folder) {
    QStringList removed;
    for (const QString& path : partFilesIn(folder, QStringLiteral("."))) {
        if (platform::removeIfUnclaimed(path)) {
            removed << path;
        }
    }
    return removed;
}

QStringList OutputFile::discard(const QString& path) {
    QStringList left;
    if (path.isEmpty()) {
        return left;
    }
    QFile::remove(path);
    const QFileInfo info(path);
    for (const QString& inner :
         partFilesIn(info.path(), info.fileName() + QStringLiteral(".part-"))) {
        if (!platform::removeIfUnclaimed(inner) && QFileInfo::exists(inner)) {
            left << inner;
        }
    }
    return left;
}
