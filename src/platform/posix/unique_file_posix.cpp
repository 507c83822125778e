#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/unique_file.h"

namespace platform {

std::FILE* createUniqueFile(const std::string& prefix, const std::string& suffix,
                            std::string* path) {
    std::string name = prefix + "XXXXXX" + suffix;
    const int fd = ::mkstemps(name.data(), static_cast<int>(suffix.size()));
    if (fd < 0) {
        return nullptr;
    }
    // mkstemps makes the file private; give it what a plain new file would get.
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

}  // namespace platform
