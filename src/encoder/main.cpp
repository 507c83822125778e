// register.dat: Orvex's encoder front end. It hands every command to FFmpeg, except for the
// outputs and inputs FFmpeg cannot handle alone (AMR-NB files, DVD locators), the choices an
// encoder refuses outright (see encoder_limits.h), what FFmpeg gets wrong for some encoder and
// container pairs (see encoder_quirks.h, rm_timestamps.h), the threads each encoder is given
// (see encoder_threads.h), and a silent track for the formats that cannot be written without
// audio (see silent_audio.h).
#include <cerrno>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "encoder/amr_conversion.h"
#include "encoder/command_line.h"
#include "encoder/dvd_input.h"
#include "encoder/encoder_limits.h"
#include "encoder/encoder_quirks.h"
#include "encoder/encoder_threads.h"
#include "encoder/ffmpeg_child.h"
#include "encoder/ffmpeg_launcher.h"
#include "encoder/frame_rate.h"
#include "encoder/rm_timestamps.h"
#include "encoder/silent_audio.h"
#include "platform/install/program_files.h"

using namespace orvex::encoder;

namespace {

// What is left to do once FFmpeg has written the file: RealMedia's audio stamps.
int finish(const CommandLine& cmd, int status) {
    if (status != 0 || !needsRealMediaRestamp(cmd)) {
        return status;
    }
    const std::string codec = cmd.lastOutputValue({"-acodec", "-c:a", "-codec:a"}).value_or("");
    const long sampleRate =
        bitsPerSecondOf(cmd.lastOutputValue({"-ar", "-ar:a"}).value_or("")).value_or(0);
    std::string why;
    if (!restampRealMediaAudio(*cmd.output(), realMediaAudioPacketSamples(codec),
                               static_cast<int>(sampleRate), &why)) {
        // The file plays as FFmpeg wrote it; only its length and seeking suffer.
        std::fprintf(stderr, "register.dat: the audio of %s keeps FFmpeg's time stamps: %s\n",
                     cmd.output()->c_str(), why.c_str());
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    // FFmpeg's own is -version; this one tells which Orvex build the front end belongs to.
    if (argc == 2 && std::string(argv[1]) == "--version") {
        std::printf("register.dat %s\n", platform::version());
        return 0;
    }
    const CommandLine given(std::vector<std::string>(argv + 1, argv + argc));
    const FfmpegLauncher launcher;
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const CommandLine fitted(fitToEncoderLimits(given));
    const CommandLine cmd(withEncoderThreads(CommandLine(withContainerFixes(fitted)), cores));

    if (const auto status = handleDvdInput(cmd, launcher)) {
        return finish(cmd, *status);
    }
    if (cmd.wantsAmr()) {
        return runAmrConversion(cmd, launcher);
    }
    const std::vector<std::string> args = withSilentAudioWhereNeeded(cmd.args(), launcher);
    if (needsRealMediaRestamp(cmd)) {
        FfmpegChild child;
        if (!child.start(launcher, args)) {
            std::fprintf(stderr, "register.dat: %s\n", child.error().c_str());
            return 1;
        }
        child.closePipe();
        return finish(cmd, child.wait());
    }
    std::fflush(nullptr);
    launcher.exec(args);
    const int err = errno;
    std::fputs(launcher.failureMessage(err).c_str(), stderr);
    return kCannotStartStatus;
}
