#include "encoder/amr_conversion.h"

#include <cstdio>
#include <filesystem>
#include <optional>

#include "encoder/amr_file_writer.h"
#include "encoder/ffmpeg_child.h"

namespace orvex::encoder {

namespace {

int report(const std::string& text, int status) {
    std::fprintf(stderr, "register.dat: %s\n", text.c_str());
    return status;
}

// The input that is the output file itself, under its own name or another (a hard link, a
// symbolic link, "./name"): writing the output would destroy what is being read.
std::optional<size_t> inputThatIsTheOutput(const CommandLine& cmd, const std::string& output) {
    for (size_t i = 0; i < cmd.inputs().size(); ++i) {
        std::error_code error;  // a name that leads nowhere is no file at all
        if (std::filesystem::equivalent(cmd.inputs()[i], output, error)) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace

int runAmrConversion(const CommandLine& cmd, const FfmpegLauncher& launcher) {
    const std::string output = *cmd.output();
    const auto rate = cmd.audioBitRate();
    const auto mode = amrModeFor(rate);
    if (!mode) {
        return report("invalid audio bit rate '" + rate.value_or("") + "'", 1);
    }
    // Refused as FFmpeg refuses it, but by the file, not by its name.
    if (const std::optional<size_t> input = inputThatIsTheOutput(cmd, output)) {
        std::fprintf(stderr,
                     "Output %s same as Input #%zu - exiting\n"
                     "FFmpeg cannot edit existing files in-place.\n",
                     output.c_str(), *input);
        return 1;
    }
    std::error_code error;
    if (!cmd.overwrite() && std::filesystem::exists(output, error)) {
        return report(
            "File '" + output + "' already exists (use -y to overwrite). Not overwriting.", 1);
    }

    AmrFileWriter writer(output, *mode);
    if (!writer.open()) {
        return report(writer.error(), 1);
    }
    FfmpegChild child;
    if (!child.start(launcher, cmd.pcmDecodeArgs())) {
        return report(child.error(), 1);
    }

    unsigned char buf[16 * 1024];
    bool writeFailed = false;
    for (;;) {
        const auto n = child.read(buf, sizeof buf);
        if (n == 0) {
            break;
        }
        if (n < 0 || !writer.write(buf, static_cast<size_t>(n))) {
            writeFailed = true;
            child.stop();
            break;
        }
    }
    const int status = child.wait();
    if (writeFailed) {
        return report(writer.error().empty() ? "reading FFmpeg's output failed" : writer.error(),
                      1);
    }
    if (const int sig = FfmpegChild::forwardedSignal(); sig != 0) {
        // Stopped from outside: no output, and end as the signal asked (the writer's temp file
        // goes with its destructor first).
        return 128 + sig;
    }
    if (status != 0) {
        return status;
    }
    if (!writer.commit()) {
        return report(writer.error(), 1);
    }
    return 0;
}

}  // namespace orvex::encoder
