#include <QFileInfo>
#include <QLockFile>

#include "platform/file_claim.h"

namespace platform {

namespace {

// A lock file beside the claimed one ("name.lock") that names its owner's process; a lock
// file whose owner is gone counts as no claim and is removed by the next look. Without an
// age limit: a job may hold its claim for hours.
std::unique_ptr<QLockFile> lockFileFor(const QString& path) {
    auto lock = std::make_unique<QLockFile>(path + QStringLiteral(".lock"));
    lock->setStaleLockTime(0);
    return lock;
}

class LockFileClaim : public FileClaim {
  public:
    explicit LockFileClaim(std::unique_ptr<QLockFile> lock) : lock_(std::move(lock)) {}

  private:
    std::unique_ptr<QLockFile> lock_;  // unlocks (removes the lock file) when destroyed
};

}  // namespace

std::unique_ptr<FileClaim> FileClaim::claim(const QString& path, QString* error) {
    auto lock = lockFileFor(path);
    if (!QFileInfo::exists(path) || !lock->tryLock(0)) {
        if (error != nullptr) {
            *error = QStringLiteral("cannot claim %1").arg(path);
        }
        return nullptr;
    }
    return std::make_unique<LockFileClaim>(std::move(lock));
}

bool FileClaim::isClaimed(const QString& path) {
    auto lock = lockFileFor(path);
    if (lock->tryLock(0)) {
        return false;  // unlocked again when it goes
    }
    return lock->error() == QLockFile::LockFailedError;
}

}  // namespace platform
