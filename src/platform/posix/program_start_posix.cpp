#include <unistd.h>

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

bool isExecutableFile(const std::string& path) {
    return ::access(path.c_str(), X_OK) == 0;
}

}  // namespace platform
