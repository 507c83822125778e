#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/unique_file.h"

namespace platform {

namespace {

bool namesFile(int fd, const std::string& name) {
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::stat(name.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

enum class Claim { Held, Lost, Impossible };

// Locked, and still the file of that name: a cleanup that found the new file unclaimed before
// the lock took hold has removed it (Lost: try another name). A file system without locks
// gets no file left behind.
Claim claim(int fd, const std::string& name) {
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int lockError = errno;
        if (namesFile(fd, name)) {
            ::unlink(name.c_str());
        }
        errno = lockError;
        return lockError == EWOULDBLOCK || lockError == EINTR ? Claim::Lost : Claim::Impossible;
    }
    return namesFile(fd, name) ? Claim::Held : Claim::Lost;
}

}  // namespace

std::FILE* createUniqueFile(const std::string& prefix, const std::string& suffix, std::string* path,
                            bool claimed) {
    for (int attempt = 0; attempt < 10; ++attempt) {
        std::string name = prefix + "XXXXXX" + suffix;
        // Not inherited by children: a lock held on in a long-lived child would keep a
        // leftover for ever.
        const int fd = ::mkostemps(name.data(), static_cast<int>(suffix.size()), O_CLOEXEC);
        if (fd < 0) {
            return nullptr;
        }
        const Claim held = claimed ? claim(fd, name) : Claim::Held;
        if (held != Claim::Held) {
            const int error = errno;
            ::close(fd);
            if (held == Claim::Impossible) {
                errno = error;
                return nullptr;
            }
            continue;  // another name
        }
        // mkostemps makes the file private; give it what a plain new file would get.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
        std::FILE* file = ::fdopen(fd, "wb");
        if (file == nullptr) {
            ::close(fd);
            ::unlink(name.c_str());
            return nullptr;
        }
        *path = name;
        return file;
    }
    errno = EEXIST;
    return nullptr;
}

}  // namespace platform
