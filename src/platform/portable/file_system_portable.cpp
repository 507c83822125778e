#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <filesystem>

#include "platform/file_system.h"

namespace platform {

namespace {

// A claim is a lock file naming its owner's process, kept in the temporary folder under a
// name made from the claimed file's path (the output folder holds nothing but outputs); one
// whose owner is gone counts as no claim. Without an age limit: a job may hold it for hours.
QString lockFileName(const QString& path) {
    const QByteArray key = QCryptographicHash::hash(
        QFile::encodeName(QFileInfo(path).absoluteFilePath()), QCryptographicHash::Sha1);
    return QDir::tempPath() + QStringLiteral("/orvex-claim-") + QString::fromLatin1(key.toHex()) +
           QStringLiteral(".lock");
}

std::unique_ptr<QLockFile> lockFileFor(const QString& path) {
    auto lock = std::make_unique<QLockFile>(lockFileName(path));
    lock->setStaleLockTime(0);
    return lock;
}

class LockFileClaim : public FileClaim {
  public:
    LockFileClaim(QString path, std::unique_ptr<QLockFile> lock)
        : path_(std::move(path)), lock_(std::move(lock)) {}
    const QString& path() const override { return path_; }
    bool sync(QString* error) override { return syncFile(path_, error); }

  private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;  // unlocked (its file removed) when the claim goes
};

bool checkExists(const QString& path, QString* error) {
    if (QFileInfo::exists(path)) {
        return true;
    }
    if (error != nullptr) {
        *error = QStringLiteral("cannot write %1 to the disk: it does not exist").arg(path);
    }
    return false;
}

}  // namespace

// The standard library tells what Qt does not: a loop of links from a link to nothing.
EntryKind entryKind(const QString& path) {
    namespace fs = std::filesystem;
    const fs::path name(QFile::encodeName(path).toStdString());
    std::error_code error;
    const fs::file_status status = fs::status(name, error);
    if (error == std::errc::too_many_symbolic_link_levels) {
        return EntryKind::LinkLoop;
    }
    switch (status.type()) {
        case fs::file_type::regular:
            return EntryKind::File;
        case fs::file_type::directory:
            return EntryKind::Folder;
        case fs::file_type::not_found:
        case fs::file_type::none:
            return fs::is_symlink(fs::symlink_status(name, error)) ? EntryKind::BrokenLink
                                                                   : EntryKind::Missing;
        default:
            return EntryKind::Special;
    }
}

// Qt does not tell the file system's limit; 255 is that of nearly every one in use.
int maxFileNameBytes(const QString& /*folder*/) {
    return 255;
}

// Qt offers no way to force an existing file to the disk (QSaveFile does it only for what it
// writes itself); the system writes it back in its own time. A port calls its system's flush
// (Windows: FlushFileBuffers).
bool syncReachesTheDisk() {
    return false;
}

bool syncFile(const QString& path, QString* error) {
    return checkExists(path, error);
}

bool syncFolder(const QString& folder, QString* error) {
    return checkExists(folder, error);
}

bool claimsAreSystemLocks() {
    return false;
}

std::unique_ptr<FileClaim> claimFile(const QString& path) {
    auto lock = lockFileFor(path);
    if (!QFileInfo(path).isFile() || !lock->tryLock(0)) {
        return nullptr;
    }
    if (!QFileInfo(path).isFile()) {
        return nullptr;  // removed before the lock took hold (unlocked as it goes)
    }
    return std::make_unique<LockFileClaim>(path, std::move(lock));
}

bool removeIfUnclaimed(const QString& path) {
    // No lock file: whoever made the file is not known (register.dat cannot leave one).
    if (!QFileInfo::exists(lockFileName(path))) {
        return false;
    }
    const auto lock = lockFileFor(path);
    if (!lock->tryLock(0)) {
        return false;  // a live owner
    }
    return QFile::remove(path);  // the lock file goes when `lock` does
}

}  // namespace platform
