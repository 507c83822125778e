#include "encoder/encoder_threads.h"

#include <algorithm>
#include <array>

namespace orvex::encoder {

namespace {

// Threads per encoder, as a share of the cores. Measured on FFmpeg 5.1 with 2 cores (see
// bench/quality_bench): libxvid runs single-threaded unless told (FFmpeg hands it 0, "auto",
// which xvidcore takes as none) and its motion search scales with threads at an unchanged
// picture; FFmpeg's mpeg4 takes slice threads, one slice per thread, which it also gets by
// default, so the entry only makes the count explicit here.
struct ThreadRule {
    std::string_view codec;
    bool allCores;
};

constexpr std::array<ThreadRule, 2> kThreadRules = {{
    {"libxvid", true},
    {"mpeg4", true},
}};

}  // namespace

int encoderThreads(std::string_view codec, unsigned cores) {
    for (const ThreadRule& rule : kThreadRules) {
        if (rule.codec == codec) {
            return rule.allCores ? static_cast<int>(std::clamp(cores, 1u, 16u)) : 1;
        }
    }
    return 0;
}

int sharedEncoderThreads(std::string_view codec, unsigned share) {
    const int threads = encoderThreads(codec, share);
    return threads > 0 ? threads : static_cast<int>(std::clamp(share, 1u, 16u));
}

std::vector<std::string> withEncoderThreads(const CommandLine& cmd, unsigned cores) {
    const auto codec = cmd.lastOutputValue({"-vcodec", "-c:v", "-codec:v"});
    if (!codec || cmd.lastOutputValue({"-threads", "-threads:v"})) {
        return cmd.args();
    }
    const int threads = encoderThreads(*codec, cores);
    if (threads <= 0) {
        return cmd.args();
    }
    return cmd.withOutputOptions({"-threads", std::to_string(threads)});
}

}  // namespace orvex::encoder
