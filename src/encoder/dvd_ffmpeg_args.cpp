#include "encoder/dvd_ffmpeg_args.h"

#include <cstdio>

namespace orvex::encoder {

namespace {

std::string hex(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

}  // namespace

int ffmpegStreamNumber(int programStreamId) {
    return programStreamId >= 0xc0 && programStreamId <= 0xdf ? 0x100 + programStreamId
                                                              : programStreamId;
}

std::vector<std::string> dvdFfmpegArgs(const CommandLine& cmd, size_t input,
                                       const DvdStreamChoice& choice) {
    const std::vector<std::string>& args = cmd.args();
    const size_t at = cmd.inputPositions().at(input);  // the locator; "-i" is just before it
    const std::string in = std::to_string(input);

    std::vector<std::string> out(args.begin(), args.begin() + static_cast<long>(at - 1));
    const bool burnIn = choice.subtitleId != 0 && !cmd.hasOutputFlag("-vn");
    if (burnIn && !choice.palette.empty()) {
        out.emplace_back("-palette:s");
        out.push_back(choice.palette);
    }
    for (const char* a :
         {"-f", "mpeg", "-probesize", "40M", "-analyzeduration", "40M", "-i", "pipe:0"}) {
        out.emplace_back(a);
    }
    const size_t outputBegin = cmd.outputPartBegin();
    out.insert(out.end(), args.begin() + static_cast<long>(at + 1),
               args.begin() + static_cast<long>(outputBegin));

    // FFmpeg takes no -vf for a stream made by -filter_complex: the caller's video filters
    // (frame rate, shape) follow the overlay in its graph instead.
    std::vector<std::string> outputArgs(args.begin() + static_cast<long>(outputBegin), args.end());
    if (!cmd.hasOutputFlag("-vn")) {
        if (burnIn) {
            // The subpicture is drawn over the picture at its own size (FFmpeg sizes the canvas
            // after the video); the caller's filters and -s then shape the overlay's output.
            const auto filters = cmd.lastOutputValue({"-vf", "-filter:v"});
            if (filters) {
                const std::vector<std::string> stripped =
                    cmd.withoutOutputOptions({"-vf", "-filter:v"});
                outputArgs.assign(stripped.begin() + static_cast<long>(outputBegin),
                                  stripped.end());
            }
            out.emplace_back("-filter_complex");
            out.push_back("[" + in + ":v:0][" + in + ":i:" + hex(choice.subtitleId) + "]overlay" +
                          (filters ? "," + *filters : std::string()) + "[v]");
            out.emplace_back("-map");
            out.emplace_back("[v]");
        } else {
            out.emplace_back("-map");
            out.push_back(in + ":v:0");
        }
    }
    if (!cmd.hasOutputFlag("-an")) {
        out.emplace_back("-map");
        // "?": a title set without sound still converts.
        out.push_back(choice.audioId == 0 ? in + ":a:0?"
                                          : in + ":i:" + hex(ffmpegStreamNumber(choice.audioId)));
    }
    out.insert(out.end(), outputArgs.begin(), outputArgs.end());
    return out;
}

}  // namespace orvex::encoder
