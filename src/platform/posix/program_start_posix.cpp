#include <unistd.h>

#include <climits>

#include "platform/program_start.h"

namespace platform {

void replaceProcess(const ProgramCommand& command) {
    std::vector<char*> argv;
    argv.reserve(command.arguments.size() + 2);
    argv.push_back(const_cast<char*>(command.program.c_str()));
    for (const auto& a : command.arguments) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    if (command.searchPath) {
        ::execvp(command.program.c_str(), argv.data());
    } else {
        ::execv(command.program.c_str(), argv.data());
    }
}

std::string executableFolder() {
#ifdef __linux__
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) {
        return {};
    }
    std::string path(buf, static_cast<size_t>(n));
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
#else
    return {};  // other Unixes have no common way; the caller falls back to PATH
#endif
}

bool isExecutableFile(const std::string& path) {
    return ::access(path.c_str(), X_OK) == 0;
}

}  // namespace platform
