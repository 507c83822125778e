#include "core/engine/output_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QString>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

QString errorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

}  // namespace

QString OutputFile::createTemporary(const QString& finalName, QString* error) {
    const QFileInfo info(finalName);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    QString stem = info.fileName().left(info.fileName().size() - suffix.size());
    // The temporary name is longer than the final one; a name near the file system's limit
    // gives up some of its stem rather than fail.
    while (QFile::encodeName(stem).size() > 200) {
        stem.chop(1);
    }
    const QString pattern =
        info.path() + QStringLiteral("/.") + stem + QStringLiteral(".part-XXXXXX") + suffix;
#ifdef Q_OS_UNIX
    QByteArray bytes = QFile::encodeName(pattern);
    const int fd = ::mkstemps(bytes.data(), static_cast<int>(QFile::encodeName(suffix).size()));
    if (fd < 0) {
        if (error != nullptr) {
            *error =
                QStringLiteral("cannot create a file in %1: %2").arg(info.path(), errorText(errno));
        }
        return {};
    }
    // mkstemps makes the file private; the output gets what any new file would get.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    ::close(fd);
    return QFile::decodeName(bytes);
#else
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString name = pattern;
        name.replace(QStringLiteral("XXXXXX"), QString::number(std::rand() % 1000000));
        QFile f(name);
        if (f.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            return name;
        }
    }
    if (error != nullptr) {
        *error = QStringLiteral("cannot create a file in %1").arg(info.path());
    }
    return {};
#endif
}

OutputFile::Move OutputFile::moveNoReplace(const QString& from, const QString& to, QString* error) {
    auto failed = [error, &from, &to](int e) {
        if (error != nullptr) {
            *error = QStringLiteral("cannot rename %1 to %2: %3").arg(from, to, errorText(e));
        }
        return Move::Failed;
    };
#ifdef Q_OS_UNIX
    const QByteArray src = QFile::encodeName(from);
    const QByteArray dst = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE) == 0) {
        return Move::Moved;
    }
    if (errno == EEXIST) {
        return Move::Taken;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
        return failed(errno);
    }
    // The file system cannot rename without replacing: a hard link fails as well when the
    // name exists.
    if (::link(src.constData(), dst.constData()) == 0) {
        ::unlink(src.constData());
        return Move::Moved;
    }
    if (errno == EEXIST) {
        return Move::Taken;
    }
    if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP) {
        return failed(errno);
    }
    // No hard links either (FAT): claim the name with an exclusive create; the rename then
    // replaces only that empty file of ours.
    const int fd = ::open(dst.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return errno == EEXIST ? Move::Taken : failed(errno);
    }
    ::close(fd);
    if (::rename(src.constData(), dst.constData()) != 0) {
        const int e = errno;
        ::unlink(dst.constData());
        return failed(e);
    }
    return Move::Moved;
#else
    if (QFileInfo::exists(to)) {
        return Move::Taken;
    }
    return QFile::rename(from, to) ? Move::Moved : failed(EIO);
#endif
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
