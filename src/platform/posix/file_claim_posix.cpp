#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>

#include "platform/file_claim.h"

namespace platform {

namespace {

// An exclusive lock on the file itself: the system drops it when the process ends however it
// ends, and a second descriptor, even in this process, conflicts with it.
class LockedFile : public FileClaim {
  public:
    explicit LockedFile(int fd) : fd_(fd) {}
    ~LockedFile() override { ::close(fd_); }

  private:
    int fd_;
};

int openLocked(const QString& path, int operation) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    if (::flock(fd, operation | LOCK_NB) != 0) {
        const int e = errno;
        ::close(fd);
        errno = e;
        return -1;
    }
    return fd;
}

}  // namespace

std::unique_ptr<FileClaim> FileClaim::claim(const QString& path, QString* error) {
    const int fd = openLocked(path, LOCK_EX);
    if (fd < 0) {
        if (error != nullptr) {
            *error = QStringLiteral("cannot claim %1: %2")
                         .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        }
        return nullptr;
    }
    return std::make_unique<LockedFile>(fd);
}

bool FileClaim::isClaimed(const QString& path) {
    const int fd = openLocked(path, LOCK_SH);
    if (fd >= 0) {
        ::close(fd);
        return false;
    }
    return errno == EWOULDBLOCK;
}

}  // namespace platform
