#include "encoder/ffmpeg_launcher.h"

#include <cstdlib>
#include <cstring>

namespace orvex::encoder {

FfmpegLauncher::FfmpegLauncher() {
    // An empty variable counts as unset, as most programs treat empty overrides.
    if (const char* env = std::getenv("ORVEX_FFMPEG"); env && *env) {
        program_ = env;
        lookedFor_ = std::string("ORVEX_FFMPEG=") + env;
        searchPath_ = program_.find('/') == std::string::npos;
        return;
    }
    const std::string folder = platform::executableFolder();
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
