#include "dvdsectors/disc_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace orvex::dvd {

namespace {

// The folder libdvdread reads a disc folder from: a trailing "/VIDEO_TS" (any case) is taken
// off, as libdvdread does.
std::string pathRoot(std::string root) {
    while (root.size() > 1 && root.back() == '/') {
        root.pop_back();
    }
    constexpr size_t kSuffix = 9;  // "/video_ts"
    if (root.size() > kSuffix &&
        ::strcasecmp(root.c_str() + root.size() - kSuffix, "/video_ts") == 0) {
        root.resize(root.size() - kSuffix);
    }
    return root.empty() ? std::string("/") : root;
}

std::string findIn(const std::string& folder, const std::string& name) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return {};
    }
    std::string found;
    while (const dirent* entry = ::readdir(dir)) {
        if (::strcasecmp(entry->d_name, name.c_str()) == 0) {
            found = folder + (folder.back() == '/' ? "" : "/") + entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

bool isFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string findDiscFile(const std::string& root, const std::string& name) {
    const std::string base = pathRoot(root);
    for (const std::string& folder : {base, base + "/VIDEO_TS", base + "/video_ts"}) {
        if (std::string found = findIn(folder, name); !found.empty()) {
            return found;
        }
    }
    return {};
}

std::string regularFileProblem(const std::string& path) {
    // O_NONBLOCK: a FIFO opens at once instead of waiting for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return std::strerror(errno);
    }
    struct stat st {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    return regular ? std::string() : std::string("it is not a regular file");
}

std::string discRootProblem(const std::string& root) {
    struct stat st {};
    if (::stat(root.c_str(), &st) != 0) {
        return std::strerror(errno);
    }
    if (S_ISDIR(st.st_mode) || S_ISBLK(st.st_mode)) {
        return {};
    }
    return S_ISREG(st.st_mode) ? regularFileProblem(root)
                               : std::string("it is neither a folder, a disc image nor a drive");
}

std::string titleVobsProblem(const std::string& root, int titleSet) {
    if (!isFolder(root)) {
        return {};
    }
    // libdvdread opens VTS_nn_1.VOB, VTS_nn_2.VOB ... up to the first that is missing.
    for (int part = 1; part <= 9; ++part) {
        const std::string name = titleSetFileName(titleSet, part, "VOB");
        const std::string path = findDiscFile(root, name);
        if (path.empty()) {
            return part == 1 ? name + " is missing" : std::string();
        }
        if (const std::string why = regularFileProblem(path); !why.empty()) {
            return "'" + path + "' cannot be read: " + why;
        }
    }
    return {};
}

std::string titleSetFileName(int titleSet, int part, const char* extension) {
    char name[32];
    std::snprintf(name, sizeof name, "VTS_%02d_%d.%s", titleSet, part, extension);
    return name;
}

std::string scrambledText(bool decryptionUnavailable) {
    return decryptionUnavailable
               ? "the title is scrambled (CSS copy protection) and cannot be unscrambled: "
                 "libdvdcss is not installed (on Debian, the package libdvdcss2); when it is, "
                 "it is used automatically"
               : "the title is scrambled (CSS copy protection) and libdvdcss could not "
                 "unscramble it";
}

}  // namespace orvex::dvd
