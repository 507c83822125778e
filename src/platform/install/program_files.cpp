#include "platform/install/program_files.h"

#include <filesystem>
#include <system_error>
#include <vector>

namespace platform {

namespace {

namespace fs = std::filesystem;

// The layout's folders relative to PREFIX, from the build, which installs into them.
const fs::path kHelpersFolder(ORVEX_INSTALL_HELPERS_DIR);
const fs::path kDataFolder(ORVEX_INSTALL_DATA_DIR);

std::string folderText(const fs::path& folder) {
    std::string text = folder.lexically_normal().string();
    if (text.empty() || text.back() != '/') {
        text += '/';
    }
    return text;
}

bool isFolder(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

// `folder` less `tail` when it ends with tail's components ("/opt/x/lib/orvex" less
// "lib/orvex" is "/opt/x"); empty otherwise.
fs::path withoutTail(fs::path folder, const fs::path& tail) {
    std::vector<fs::path> parts(tail.begin(), tail.end());
    for (auto it = parts.rbegin(); it != parts.rend(); ++it) {
        if (folder.filename() != *it) {
            return {};
        }
        folder = folder.parent_path();
    }
    return folder;
}

}  // namespace

ProgramFiles programFilesOf(const std::string& executablePath) {
    const fs::path folder = fs::path(executablePath).parent_path();
    fs::path prefix = withoutTail(folder, "bin");
    if (prefix.empty()) {
        prefix = withoutTail(folder, kHelpersFolder);
    }
    // Either folder of ours marks an installed tree, so a tree that lost one of them still
    // names the missing files where they belong.
    if (!prefix.empty() && (isFolder(prefix / kHelpersFolder) || isFolder(prefix / kDataFolder))) {
        return {folderText(prefix / kHelpersFolder), folderText(prefix / kDataFolder), true};
    }
    const std::string beside = folder.empty() ? std::string("./") : folderText(folder);
    return {beside, beside, false};
}

ProgramFiles programFiles() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return programFilesOf(error ? std::string() : self.string());
}

const char* version() {
    return ORVEX_VERSION;
}

}  // namespace platform
