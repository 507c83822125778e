#include "encoder/encoder_limits.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <span>

namespace orvex::encoder {

namespace {

enum class SampleRates { Any, Below32k, From32k };

// What one audio encoder accepts for a channel count (0: any) and a class of sample rates.
// Either a range (a bound of 0 is open) or, when `steps` is not empty, exactly those rates.
struct AudioRateLimit {
    std::string_view codec;
    int channels;
    SampleRates sampleRates;
    long minRate;
    long maxRate;
    std::span<const long> steps;
};

// The rate tables of MPEG audio layer II: MPEG-1 (32, 44.1, 48 kHz) and MPEG-2 LSF (16, 22.05,
// 24 kHz). FFmpeg's mp2 refuses anything else.
constexpr std::array<long, 14> kMp2Rates = {32000,  48000,  56000,  64000,  80000,  96000,  112000,
                                            128000, 160000, 192000, 224000, 256000, 320000, 384000};
constexpr std::array<long, 14> kMp2LowRates = {8000,  16000, 24000, 32000,  40000,  48000,  56000,
                                               64000, 80000, 96000, 112000, 128000, 144000, 160000};

// Every audio encoder profiles.pop names, as FFmpeg 5.1 (Debian 12) takes it. Measured: an
// encoder refuses a rate outside its entry ("bitrate too low", "unsupported bitrate") or
// quietly clamps it (the entries for libmp3lame and ac3 make that clamp visible in the command
// line). aac takes any rate; pcm and real_144 ignore the rate; AMR-NB has its mode table
// (amrModeFor).
constexpr std::array<AudioRateLimit, 9> kAudioRateLimits = {{
    {"wmav2", 0, SampleRates::Any, 24000, 0, {}},
    {"libvorbis", 1, SampleRates::Below32k, 16000, 88000, {}},
    {"libvorbis", 1, SampleRates::From32k, 32000, 240000, {}},
    {"libvorbis", 2, SampleRates::Below32k, 32000, 180000, {}},
    {"libvorbis", 2, SampleRates::From32k, 48000, 500000, {}},
    {"mp2", 0, SampleRates::Below32k, 0, 0, kMp2LowRates},
    {"mp2", 0, SampleRates::From32k, 0, 0, kMp2Rates},
    {"libmp3lame", 0, SampleRates::Any, 8000, 320000, {}},
    {"ac3", 0, SampleRates::Any, 32000, 640000, {}},
}};

bool matches(const AudioRateLimit& limit, std::string_view codec, int channels, int sampleRate) {
    if (limit.codec != codec || (limit.channels != 0 && limit.channels != channels)) {
        return false;
    }
    switch (limit.sampleRates) {
        case SampleRates::Below32k:
            return sampleRate < 32000;
        case SampleRates::From32k:
            return sampleRate >= 32000;
        case SampleRates::Any:
            break;
    }
    return true;
}

long nearestStep(std::span<const long> steps, long rate) {
    long best = steps.front();
    for (const long step : steps) {
        if (std::labs(step - rate) < std::labs(best - rate)) {
            best = step;
        }
    }
    return best;
}

std::optional<long> intOption(const CommandLine& cmd,
                              std::initializer_list<std::string_view> names) {
    const auto text = cmd.lastOutputValue(names);
    if (!text) {
        return std::nullopt;
    }
    return bitsPerSecondOf(*text);
}

// The audio bit rate brought into its encoder's range.
std::optional<std::vector<std::string>> fitAudio(const CommandLine& cmd) {
    const auto rateText = cmd.audioBitRate();
    const auto codec = cmd.lastOutputValue({"-acodec", "-c:a", "-codec:a"});
    if (!rateText || !codec) {
        return std::nullopt;
    }
    const std::optional<long> rate = bitsPerSecondOf(*rateText);
    if (!rate) {
        return std::nullopt;  // FFmpeg reports a text it cannot read better than we could
    }
    // Without -ac or -ar FFmpeg keeps the source's; stereo at 44.1 kHz is what most have.
    const int channels = static_cast<int>(intOption(cmd, {"-ac", "-ac:a"}).value_or(2));
    const int sampleRate = static_cast<int>(intOption(cmd, {"-ar", "-ar:a"}).value_or(44100));
    const long fitted = fitAudioBitRate(*codec, channels, sampleRate, *rate);
    if (fitted == *rate) {
        return std::nullopt;
    }
    return cmd.withAudioBitRate(std::to_string(fitted));
}

// A video bit rate above the same command's -maxrate (a device's VBV limit) is lowered to it:
// the encoder would otherwise give up on the buffer or write a stream the device cannot play.
std::optional<std::vector<std::string>> fitVideo(const CommandLine& cmd) {
    const std::optional<long> rate = intOption(cmd, {"-b", "-b:v", "-vb"});
    const std::optional<long> maxRate = intOption(cmd, {"-maxrate", "-maxrate:v"});
    if (!rate || !maxRate || *rate <= *maxRate) {
        return std::nullopt;
    }
    return cmd.withLastOutputValue({"-b", "-b:v", "-vb"}, std::to_string(*maxRate));
}

}  // namespace

long fitAudioBitRate(std::string_view codec, int channels, int sampleRate, long bitsPerSecond) {
    for (const AudioRateLimit& limit : kAudioRateLimits) {
        if (!matches(limit, codec, channels, sampleRate)) {
            continue;
        }
        if (!limit.steps.empty()) {
            return nearestStep(limit.steps, bitsPerSecond);
        }
        long fitted = bitsPerSecond;
        if (limit.minRate > 0) {
            fitted = std::max(fitted, limit.minRate);
        }
        if (limit.maxRate > 0) {
            fitted = std::min(fitted, limit.maxRate);
        }
        return fitted;
    }
    return bitsPerSecond;
}

std::vector<std::string> fitToEncoderLimits(const CommandLine& cmd) {
    std::vector<std::string> args = cmd.args();
    if (auto fitted = fitAudio(CommandLine(args))) {
        args = std::move(*fitted);
    }
    if (auto fitted = fitVideo(CommandLine(args))) {
        args = std::move(*fitted);
    }
    return args;
}

}  // namespace orvex::encoder
