#include "encoder/ffmpeg_launcher.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/install/program_files.h"

namespace orvex::encoder {

FfmpegLauncher::FfmpegLauncher() {
    // An empty variable counts as unset, as most programs treat empty overrides.
    if (const char* env = std::getenv("ORVEX_FFMPEG"); env && *env) {
        program_ = env;
        lookedFor_ = std::string("ORVEX_FFMPEG=") + env;
        searchPath_ = program_.find('/') == std::string::npos;
        return;
    }
    // Our own folder: build/bin in the build tree, PREFIX/lib/orvex when installed.
    std::string folder = platform::programFiles().helpers;
    if (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    if (!folder.empty()) {
        const std::string beside = folder + "/ffmpeg";
        if (::access(beside.c_str(), X_OK) == 0) {
            program_ = beside;
            lookedFor_ = beside;
            return;
        }
    }
    program_ = "ffmpeg";
    lookedFor_ = "ffmpeg (not beside " + (folder.empty() ? std::string("register.dat") : folder) +
                 ", nor on PATH)";
    searchPath_ = true;
}

void FfmpegLauncher::exec(const std::vector<std::string>& args) const {
    std::vector<char*> argv;
    argv.reserve(args.size() + 3);
    argv.push_back(const_cast<char*>(program_.c_str()));
    static char nostdin[] = "-nostdin";
    argv.push_back(nostdin);
    for (const auto& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    if (searchPath_) {
        ::execvp(program_.c_str(), argv.data());
    } else {
        ::execv(program_.c_str(), argv.data());
    }
}

std::string FfmpegLauncher::failureMessage(int error) const {
    return "register.dat: cannot start FFmpeg: " + lookedFor_ + ": " + std::strerror(error) + "\n";
}

}  // namespace orvex::encoder
