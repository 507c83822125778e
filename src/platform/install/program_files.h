#pragma once

#include <string>

// Where the program's files are. Plain C++ without Qt, so register.dat decides the same way as
// the front ends.
namespace platform {

struct ProgramFiles {
    // register.dat and orvex-preview.so (and an FFmpeg put beside register.dat); ends with '/'.
    std::string helpers;
    // profiles.pop, skn.skn and images/; ends with '/'.
    std::string data;
    // The installed layout rather than the build tree.
    bool installed = false;
};

// The build tree keeps everything beside the executables (build/bin). An installed tree keeps
// the programs in PREFIX/bin, the helpers in PREFIX/lib/orvex and the data in
// PREFIX/share/orvex, where PREFIX is found from the executable's own folder (a program in
// PREFIX/bin, or a helper in PREFIX/lib/orvex), so the tree works wherever it was put.
// `executablePath` is the real path of the running executable, symlinks resolved.
ProgramFiles programFilesOf(const std::string& executablePath);

// The same for this process; everything in the current folder when the running executable
// cannot be found.
ProgramFiles programFiles();

// The version of this build, as the project declares it.
const char* version();

}  // namespace platform
