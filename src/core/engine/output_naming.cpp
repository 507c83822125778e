#include "core/engine/output_naming.h"

#include <QDir>
#include <QFileInfo>

OutputNaming::Folder OutputNaming::prepareFolder(const QString& outputText, bool create) {
    Folder result;
    const QString text = outputText.trimmed();
    if (text.isEmpty()) {
        result.error = QStringLiteral("No output folder is set. Please choose an output folder.");
        return result;
    }
    QString path = QDir::fromNativeSeparators(QDir::current().absoluteFilePath(text));
    while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) {
        path.chop(1);
    }
    const QFileInfo info(path);
    if (info.exists() && !info.isDir()) {
        result.error = QStringLiteral("The output folder %1 is a file, not a folder.")
                           .arg(QDir::toNativeSeparators(path));
        return result;
    }
    // One level only: a typing error in a parent folder should not grow a whole tree.
    if (!info.exists() && create && !QDir().mkdir(path)) {
        result.error = QStringLiteral("Cannot create the output folder %1.")
                           .arg(QDir::toNativeSeparators(path));
        return result;
    }
    if (!path.endsWith(QLatin1Char('/'))) {
        path += QLatin1Char('/');
    }
    result.path = path;
    return result;
}

bool OutputNaming::isTaken(const QString& path) const {
    return reserved_.contains(path) || QFileInfo::exists(path) || QFileInfo(path).isSymLink();
}

QString OutputNaming::chooseName(const QString& folder, const QString& sourceName,
                                 const QString& caption, const QString& extension) {
    QString candidate = folder + QFileInfo(sourceName).completeBaseName() + extension;
    for (int n = 1; isTaken(candidate); ++n) {
        candidate = folder + caption + QLatin1Char('_') + QString::number(n) + extension;
    }
    reserved_.insert(candidate);
    return candidate;
}
