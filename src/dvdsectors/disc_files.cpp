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

std::string upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

}  // namespace

DiscFolder::DiscFolder(const std::string& root) {
    const std::string base = pathRoot(root);
    for (const std::string& folder : {base, base + "/VIDEO_TS", base + "/video_ts"}) {
        std::error_code error;
        for (fs::directory_iterator it(folder, error), end; !error && it != end;
             it.increment(error)) {
            files_.emplace(upper(it->path().filename().string()), it->path().string());
        }
    }
}

std::string DiscFolder::find(const std::string& name) const {
    const auto it = files_.find(upper(name));
    return it == files_.end() ? std::string() : it->second;
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
    return fs::is_directory(root, error) ? DiscFolder(root).titleVobsProblem(titleSet)
                                         : std::string();
}

std::string DiscFolder::titleVobsProblem(int titleSet) const {
    // libdvdread opens VTS_nn_1.VOB, VTS_nn_2.VOB ... up to the first that is missing.
    for (int part = 1; part <= 9; ++part) {
        const std::string name = titleSetFileName(titleSet, part, "VOB");
        const std::string path = find(name);
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
