#include "core/engine/output_naming.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/file_system.h"

namespace {

// stem, shortened from its end (never by half a character) until stem + tail takes at most
// limit bytes in the file system's encoding; nullopt when tail alone is too long.
std::optional<QString> fitted(QString stem, const QString& tail, int limit) {
    while (QFile::encodeName(stem + tail).size() > limit) {
        if (stem.isEmpty()) {
            return std::nullopt;
        }
        stem.chop(stem.size() >= 2 && stem.back().isLowSurrogate() ? 2 : 1);
    }
    return stem;
}

}  // namespace

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
    // A name the file system cannot hold would fail only at the end of the whole encode.
    const int limit = platform::maxFileNameBytes(folder);
    auto candidateOf = [&](const QString& stem, const QString& tail) -> QString {
        const std::optional<QString> fit = fitted(stem, tail, limit);
        return fit ? folder + *fit + tail : QString();
    };
    QString candidate = candidateOf(QFileInfo(sourceName).completeBaseName(), extension);
    for (int n = 1; !candidate.isEmpty() && isTaken(candidate); ++n) {
        candidate = candidateOf(caption, QLatin1Char('_') + QString::number(n) + extension);
    }
    if (!candidate.isEmpty()) {
        reserved_.insert(candidate);
    }
    return candidate;
}
