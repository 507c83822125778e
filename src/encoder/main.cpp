// register.dat: Orvex's encoder front end. It hands every command to FFmpeg unchanged, except
// for the outputs and inputs FFmpeg cannot handle alone (AMR-NB files, DVD locators) and the
// few choices an encoder refuses outright (see encoder_limits.h), and a silent track for the
// formats that cannot be written without audio (see silent_audio.h).
#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "encoder/amr_conversion.h"
#include "encoder/command_line.h"
#include "encoder/dvd_input.h"
#include "encoder/encoder_limits.h"
#include "encoder/ffmpeg_launcher.h"
#include "encoder/silent_audio.h"
#include "platform/install/program_files.h"

using namespace orvex::encoder;

int main(int argc, char** argv) {
    // FFmpeg's own is -version; this one tells which Orvex build the front end belongs to.
    if (argc == 2 && std::string(argv[1]) == "--version") {
        std::printf("register.dat %s\n", platform::version());
        return 0;
    }
    const CommandLine cmd(std::vector<std::string>(argv + 1, argv + argc));
    const FfmpegLauncher launcher;

    if (const auto status = handleDvdInput(cmd, launcher)) {
        return *status;
    }
    if (cmd.wantsAmr()) {
        return runAmrConversion(cmd, launcher);
    }
    std::fflush(nullptr);
    launcher.exec(withSilentAudioWhereNeeded(fitToEncoderLimits(cmd), launcher));
    const int err = errno;
    std::fputs(launcher.failureMessage(err).c_str(), stderr);
    return kCannotStartStatus;
}
