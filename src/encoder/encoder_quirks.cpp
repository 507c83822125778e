#include "encoder/encoder_quirks.h"

#include <algorithm>
#include <cstdlib>

namespace orvex::encoder {

namespace {

std::vector<std::string> fixXvid(const CommandLine& cmd, const std::string& format) {
    const auto text = cmd.lastOutputValue({"-bf", "-bf:v"});
    // xvidcore takes at most 4 consecutive B-frames.
    const long bframes = text ? std::clamp(std::strtol(text->c_str(), nullptr, 10), 0L, 4L) : 0;
    if (bframes <= 0) {
        return cmd.args();
    }
    if (format != "avi") {
        return cmd.withLastOutputValue({"-bf", "-bf:v"}, "0");
    }
    const CommandLine renumbered(cmd.withListItem({"-bsf:v", "-bsf"}, "setts=ts=N"));
    return renumbered.withListItem({"-vf", "-filter:v"},
                                   "tpad=stop=" + std::to_string(bframes) + ":stop_mode=clone");
}

}  // namespace

std::vector<std::string> withContainerFixes(const CommandLine& given) {
    const auto codec = given.lastOutputValue({"-vcodec", "-c:v", "-codec:v"});
    if (!codec || given.hasOutputFlag("-vn")) {
        return given.args();
    }
    const std::string format = given.outputFormat();
    CommandLine cmd = given;
    if (format == "avi" && !cmd.lastOutputValue({"-avoid_negative_ts"})) {
        cmd = CommandLine(cmd.withOutputOptions({"-avoid_negative_ts", "disabled"}));
    }
    if (*codec == "libxvid") {
        return fixXvid(cmd, format);
    }
    if (*codec == "libx264" && format == "avi" && !cmd.lastOutputValue({"-b-pyramid"})) {
        return cmd.withOutputOptions({"-b-pyramid", "none"});
    }
    return cmd.args();
}

}  // namespace orvex::encoder
