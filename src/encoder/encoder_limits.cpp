#include "encoder/encoder_limits.h"

#include <cstdlib>

namespace orvex::encoder {

namespace {

// libvorbis sets up no mode above this for one channel at 44.1 or 48 kHz ("Higher quality"
// asks 320 kbit/s, and Mono is a choice of every profile).
constexpr long kVorbisMonoMaxBitRate = 240000;

bool isVorbisMono(const CommandLine& cmd) {
    const auto codec = cmd.lastOutputValue({"-acodec", "-c:a", "-codec:a"});
    const auto channels = cmd.lastOutputValue({"-ac", "-ac:a"});
    return codec == "libvorbis" && channels == "1";
}

}  // namespace

std::vector<std::string> fitToEncoderLimits(const CommandLine& cmd) {
    const auto rate = cmd.audioBitRate();
    if (rate && isVorbisMono(cmd)) {
        char* end = nullptr;
        const long bitsPerSecond = std::strtol(rate->c_str(), &end, 10);
        if (*end == '\0' && bitsPerSecond > kVorbisMonoMaxBitRate) {
            return cmd.withAudioBitRate(std::to_string(kVorbisMonoMaxBitRate));
        }
    }
    return cmd.args();
}

}  // namespace orvex::encoder
