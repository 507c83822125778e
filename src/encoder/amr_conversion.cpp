#include "encoder/amr_conversion.h"

#include <cstdio>
#include <filesystem>

#include "encoder/amr_file_writer.h"
#include "encoder/ffmpeg_child.h"

namespace orvex::encoder {

namespace {

int report(const std::string& text, int status) {
    std::fprintf(stderr, "register.dat: %s\n", text.c_str());
    return status;
}

}  // namespace

int runAmrConversion(const CommandLine& cmd, const FfmpegLauncher& launcher) {
    const std::string output = *cmd.output();
    const auto rate = cmd.audioBitRate();
    const auto mode = amrModeFor(rate);
    if (!mode) {
        return report("invalid audio bit rate '" + rate.value_or("") + "'", 1);
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
