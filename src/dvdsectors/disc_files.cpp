#include "dvdsectors/disc_files.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace orvex::dvd {

namespace fs = std::filesystem;

namespace {

bool equalsNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The folder libdvdread reads a disc folder from: a trailing "/VIDEO_TS" (any case) is taken
// off, as libdvdread does.
std::string pathRoot(std::string root) {
    while (root.size() > 1 && root.back() == '/') {
        root.pop_back();
    }
    constexpr size_t kSuffix = 9;  // "/video_ts"
    if (root.size() > kSuffix && equalsNoCase(root.substr(root.size() - kSuffix), "/video_ts")) {
        root.resize(root.size() - kSuffix);
    }
    return root.empty() ? std::string("/") : root;
}

std::string findIn(const std::string& folder, const std::string& name) {
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (equalsNoCase(it->path().filename().string(), name)) {
            return it->path().string();
        }
    }
    return {};
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
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (error) {
        return error.message();
    }
    // Opened only once it is known not to be a FIFO, which would wait for a writer.
    if (!fs::is_regular_file(status)) {
        return "it is not a regular file";
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return std::strerror(errno);
    }
    std::fclose(file);
    return {};
}

std::string discRootProblem(const std::string& root) {
    std::error_code error;
    const fs::file_status status = fs::status(root, error);
    if (error) {
        return error.message();
    }
    if (fs::is_directory(status) || fs::is_block_file(status)) {
        return {};
    }
    return fs::is_regular_file(status)
               ? regularFileProblem(root)
               : std::string("it is neither a folder, a disc image nor a drive");
}

std::string titleVobsProblem(const std::string& root, int titleSet) {
    std::error_code error;
    if (!fs::is_directory(root, error)) {
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
