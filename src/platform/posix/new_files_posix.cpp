#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>

#include "platform/new_files.h"

namespace platform {

namespace {

QString errorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

}  // namespace

MoveResult moveWithoutReplacing(const QString& from, const QString& to, QString* error) {
    auto failed = [error, &from, &to](int e) {
        if (error != nullptr) {
            *error = QStringLiteral("cannot rename %1 to %2: %3").arg(from, to, errorText(e));
        }
        return MoveResult::Failed;
    };
    const QByteArray src = QFile::encodeName(from);
    const QByteArray dst = QFile::encodeName(to);
#ifdef Q_OS_LINUX
    if (::renameat2(AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE) == 0) {
        return MoveResult::Moved;
    }
    if (errno == EEXIST) {
        return MoveResult::Taken;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        return failed(errno);
    }
#endif
    // The file system cannot rename without replacing: a hard link fails as well when the
    // name exists.
    if (::link(src.constData(), dst.constData()) == 0) {
        ::unlink(src.constData());
        return MoveResult::Moved;
    }
    if (errno == EEXIST) {
        return MoveResult::Taken;
    }
    if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP) {
        return failed(errno);
    }
    // No hard links either (FAT): claim the name with an exclusive create; the rename then
    // replaces only that empty file of ours.
    const int fd = ::open(dst.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return errno == EEXIST ? MoveResult::Taken : failed(errno);
    }
    ::close(fd);
    if (::rename(src.constData(), dst.constData()) != 0) {
        const int e = errno;
        ::unlink(dst.constData());
        return failed(e);
    }
    return MoveResult::Moved;
}

}  // namespace platform
