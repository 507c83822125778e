#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>

#include "platform/file_system.h"

namespace platform {

namespace {

QString errorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Opens without following a last link and without waiting on a pipe.
int openForLock(const QByteArray& name) {
    int fd;
    do {
        fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool syncDescriptor(int fd, const QString& path, QString* error) {
    int r;
    do {
        r = ::fsync(fd);
    } while (r != 0 && errno == EINTR);
    // A folder on a file system that cannot sync folders says EINVAL: nothing more can be done.
    if (r != 0 && errno != EINVAL) {
        if (error != nullptr) {
            *error = QStringLiteral("cannot write %1 to the disk: %2").arg(path, errorText(errno));
        }
        return false;
    }
    return true;
}

bool syncPath(const QString& path, int flags, QString* error) {
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (fd < 0) {
        if (error != nullptr) {
            *error = QStringLiteral("cannot open %1: %2").arg(path, errorText(errno));
        }
        return false;
    }
    const bool synced = syncDescriptor(fd, path, error);
    ::close(fd);
    return synced;
}

class PosixFileClaim : public FileClaim {
  public:
    PosixFileClaim(QString path, int fd) : path_(std::move(path)), fd_(fd) {}
    ~PosixFileClaim() override { ::close(fd_); }
    const QString& path() const override { return path_; }
    bool sync(QString* error) override { return syncDescriptor(fd_, path_, error); }

  private:
    QString path_;
    int fd_;
};

}  // namespace

EntryKind entryKind(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) == 0) {
        if (S_ISREG(st.st_mode)) {
            return EntryKind::File;
        }
        return S_ISDIR(st.st_mode) ? EntryKind::Folder : EntryKind::Special;
    }
    if (errno == ELOOP) {
        return EntryKind::LinkLoop;
    }
    struct stat link {};
    if (::lstat(name.constData(), &link) == 0 && S_ISLNK(link.st_mode)) {
        return EntryKind::BrokenLink;
    }
    return EntryKind::Missing;
}

int maxFileNameBytes(const QString& folder) {
    const long limit = ::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    return limit > 0 && limit < 65536 ? static_cast<int>(limit) : 255;
}

bool syncReachesTheDisk() {
    return true;
}

bool claimsAreSystemLocks() {
    return true;
}

bool syncFile(const QString& path, QString* error) {
    return syncPath(path, O_RDONLY, error);
}

bool syncFolder(const QString& folder, QString* error) {
    return syncPath(folder, O_RDONLY | O_DIRECTORY, error);
}

std::unique_ptr<FileClaim> claimFile(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    // Not inherited by the children this process starts: they die with it, and a lock that
    // outlived it in some long-lived child would keep a leftover for ever.
    const int fd = openForLock(name);
    if (fd < 0) {
        return nullptr;
    }
    struct stat held {};
    struct stat now {};
    // Whoever removed the file between its creation and this lock (a cleanup that found it
    // unclaimed) has the name now pointing elsewhere or nowhere: this claim would guard nothing.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &held) != 0 ||
        ::stat(name.constData(), &now) != 0 || !sameFile(held, now)) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<PosixFileClaim>(path, fd);
}

bool removeIfUnclaimed(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    const int fd = openForLock(name);
    if (fd < 0) {
        return false;
    }
    struct stat held {};
    struct stat now {};
    bool removed = false;
    // Removed only while holding the lock, and only the very file that was locked.
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) &&
        ::lstat(name.constData(), &now) == 0 && sameFile(held, now)) {
        removed = ::unlink(name.constData()) == 0;
    }
    ::close(fd);
    return removed;
}

}  // namespace platform
