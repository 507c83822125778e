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

}  // namespace platform
