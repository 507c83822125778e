#pragma once

#include <string>
#include <vector>

// Plain C++ (no Qt): register.dat starts FFmpeg through it.
namespace platform {

// A program and its arguments (after its own name), passed as a list: no shell is involved.
struct ProgramCommand {
    std::string program;  // a path, or a bare name to look for on PATH when searchPath
    std::vector<std::string> arguments;
    bool searchPath = false;
};

// The exit status of a child that could not start its program, as a shell reports a missing
// command.
inline constexpr int kCannotStartStatus = 127;

// Replaces this process with the program. Returns only when it could not be started, with
// errno telling why.
void replaceProcess(const ProgramCommand& command);

// Whether path names a file this process may run.
bool isExecutableFile(const std::string& path);

}  // namespace platform
