#include "encoder/ffmpeg_launcher.h"

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
        if (platform::isExecutableFile(beside)) {
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

platform::ProgramCommand FfmpegLauncher::command(const std::vector<std::string>& args) const {
    platform::ProgramCommand c{program_, {"-nostdin"}, searchPath_};
    c.arguments.insert(c.arguments.end(), args.begin(), args.end());
    return c;
}

void FfmpegLauncher::exec(const std::vector<std::string>& args) const {
    platform::replaceProcess(command(args));
}

std::string FfmpegLauncher::failureMessage(int error) const {
    return "register.dat: cannot start FFmpeg: " + lookedFor_ + ": " + std::strerror(error) + "\n";
}

}  // namespace orvex::encoder
