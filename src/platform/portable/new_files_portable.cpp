#include <QFile>
#include <QFileInfo>

#include "platform/new_files.h"

namespace platform {

// QFile::rename never replaces an existing file (on Linux it even renames without replacing,
// atomically); the check before it also keeps folders and links, dangling ones included, in
// place on every system.
MoveResult moveWithoutReplacing(const QString& from, const QString& to, QString* error) {
    const auto taken = [&to] {
        const QFileInfo target(to);
        return target.exists() || target.isSymLink();
    };
    if (taken()) {
        return MoveResult::Taken;
    }
    QFile file(from);
    if (file.rename(to)) {
        return MoveResult::Moved;
    }
    if (taken()) {
        return MoveResult::Taken;
    }
    if (error != nullptr) {
        *error = QStringLiteral("cannot rename %1 to %2: %3").arg(from, to, file.errorString());
    }
    return MoveResult::Failed;
}

// Qt offers no way to force an existing file to the disk (QSaveFile does it only for what it
// writes itself); the system writes it back in its own time. A port calls its system's
// flush (Windows: FlushFileBuffers).
bool syncFileAndFolder(const QString& path, QString* error) {
    if (QFileInfo::exists(path)) {
        return true;
    }
    if (error != nullptr) {
        *error = QStringLiteral("cannot write %1 to the disk: it does not exist").arg(path);
    }
    return false;
}

}  // namespace platform
