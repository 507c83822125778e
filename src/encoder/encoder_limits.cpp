#include "encoder/encoder_limits.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <span>

namespace orvex::encoder {

namespace {

// What one video encoder, disc target or kind of profile allows of the frame rate.
struct FrameRateLimit {
    enum Applies { Codec, Target, Device };
    Applies applies;
    std::string_view name;  // the encoder, or the target's standard ("pal" of "pal-dvd")
    std::span<const FrameRate> steps;
    double maxFps;
};

// The frame rates of MPEG-1 and MPEG-2 video. FFmpeg 5.1's mpeg1video refuses any other ("MPEG-1/2
// does not support 15/1 fps"); its mpeg2video writes others through an extension that DVD, SVCD
// and HD players do not take.
constexpr std::array<FrameRate, 8> kMpegRates = {
    {{24000, 1001}, {24, 1}, {25, 1}, {30000, 1001}, {30, 1}, {50, 1}, {60000, 1001}, {60, 1}}};
constexpr std::array<FrameRate, 1> kPalRate = {{{25, 1}}};
constexpr std::array<FrameRate, 1> kNtscRate = {{{30000, 1001}}};
constexpr std::array<FrameRate, 1> kFilmRate = {{{24000, 1001}}};

// Every other encoder profiles.pop names (mpeg4, libxvid, libx264, msmpeg4, wmv2, flv, h263,
// rv20) writes any rate from 10 to 60 fps into its container, as measured on FFmpeg 5.1; the
// disc targets have their standard's rate; players made for pockets show at most 30 frames a
// second (and H.264 level 3.0 allows no more at 640x480).
constexpr std::array<FrameRateLimit, 6> kFrameRateLimits = {{
    {FrameRateLimit::Codec, "mpeg1video", kMpegRates, 0},
    {FrameRateLimit::Codec, "mpeg2video", kMpegRates, 0},
    {FrameRateLimit::Target, "pal", kPalRate, 0},
    {FrameRateLimit::Target, "ntsc", kNtscRate, 0},
    {FrameRateLimit::Target, "film", kFilmRate, 0},
    {FrameRateLimit::Device, "", {}, 30},
}};

// Applies `limit` on top of `rule`: only rates both allow remain.
void narrow(FrameRateRule& rule, const FrameRateLimit& limit) {
    if (!limit.steps.empty()) {
        if (rule.steps.empty()) {
            rule.steps.assign(limit.steps.begin(), limit.steps.end());
        } else {
            std::erase_if(rule.steps, [&](const FrameRate& r) {
                return std::none_of(limit.steps.begin(), limit.steps.end(),
                                    [&](const FrameRate& l) { return l.sameAs(r); });
            });
        }
    }
    if (limit.maxFps > 0 && (rule.maxFps == 0 || limit.maxFps < rule.maxFps)) {
        rule.maxFps = limit.maxFps;
    }
}

// How far apart two rates are, either way round.
double distance(const FrameRate& a, const FrameRate& b) {
    return std::fabs(std::log(a.value() / b.value()));
}

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

// RealMedia carries each video frame in one packet of at most 64 kB (FFmpeg: "Muxing packets
// larger than 64 kB is not supported"), and rv10/rv20 at their finest quantiser go beyond that
// from 1280x720 up, or at the high rates "The Original Video Quliay" takes from a DVD. A
// decoder buffer of this many bits bounds every frame (measured: at most 60 kB up to 1920x1080
// at 10 to 60 fps); the mean rate leaves half of it per frame for key frames.
constexpr long kRealVideoBufferBits = 480000;

std::optional<std::vector<std::string>> fitRealVideo(const CommandLine& cmd) {
    const auto codec = cmd.lastOutputValue({"-vcodec", "-c:v", "-codec:v"});
    if (!codec || (*codec != "rv10" && *codec != "rv20") || cmd.outputFormat() != "rm") {
        return std::nullopt;
    }
    const auto rateText = cmd.lastOutputValue({"-r", "-r:v"});
    const double fps =
        (rateText ? FrameRate::parse(*rateText) : std::nullopt).value_or(FrameRate{25, 1}).value();
    const long maxRate = std::lround(kRealVideoBufferBits * fps);
    std::vector<std::string> args = cmd.args();
    if (const std::optional<long> rate = intOption(cmd, {"-b", "-b:v", "-vb"});
        rate && *rate > maxRate / 2) {
        args = cmd.withLastOutputValue({"-b", "-b:v", "-vb"}, std::to_string(maxRate / 2));
    }
    std::vector<std::string> buffer;
    if (!cmd.lastOutputValue({"-maxrate", "-maxrate:v"})) {
        buffer = {"-maxrate", std::to_string(maxRate)};
    }
    if (!cmd.lastOutputValue({"-bufsize", "-bufsize:v"})) {
        buffer.insert(buffer.end(), {"-bufsize", std::to_string(kRealVideoBufferBits)});
    }
    return CommandLine(args).withOutputOptions(buffer);
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

// A frame rate the command's video encoder or disc target does not take becomes the nearest it
// does, as the program would have chosen it (FFmpeg would refuse MPEG-1 at 15 fps, and
// silently pick another MPEG-2 rate).
std::optional<std::vector<std::string>> fitRate(const CommandLine& cmd) {
    const auto text = cmd.lastOutputValue({"-r", "-r:v"});
    const std::optional<FrameRate> rate = text ? FrameRate::parse(*text) : std::nullopt;
    if (!rate) {
        return std::nullopt;
    }
    const std::string codec = cmd.lastOutputValue({"-vcodec", "-c:v", "-codec:v"}).value_or("");
    const std::string target = cmd.lastOutputValue({"-target"}).value_or("");
    const FrameRate fitted = fitFrameRate(frameRateRuleFor(codec, target, false), *rate);
    if (fitted.sameAs(*rate)) {
        return std::nullopt;
    }
    return cmd.withLastOutputValue({"-r", "-r:v"}, fitted.text());
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

bool FrameRateRule::allows(const FrameRate& rate) const {
    if (!rate.isValid() || (maxFps > 0 && rate.value() > maxFps * 1.0005)) {
        return false;
    }
    return steps.empty() || std::any_of(steps.begin(), steps.end(),
                                        [&](const FrameRate& s) { return s.sameAs(rate); });
}

FrameRateRule frameRateRuleFor(std::string_view codec, std::string_view target, bool device) {
    const std::string_view standard = target.substr(0, target.find('-'));
    FrameRateRule rule;
    for (const FrameRateLimit& limit : kFrameRateLimits) {
        const bool applies = (limit.applies == FrameRateLimit::Codec && limit.name == codec) ||
                             (limit.applies == FrameRateLimit::Target && !target.empty() &&
                              limit.name == standard) ||
                             (limit.applies == FrameRateLimit::Device && device);
        if (applies) {
            narrow(rule, limit);
        }
    }
    if (rule.maxFps > 0) {
        std::erase_if(rule.steps, [&](const FrameRate& r) { return !rule.allows(r); });
    }
    return rule;
}

FrameRate fitFrameRate(const FrameRateRule& rule, FrameRate source) {
    if (!source.isValid() || rule.allows(source)) {
        return source;
    }
    if (rule.steps.empty()) {
        // Only too fast: show every k-th frame when that keeps at least two thirds of the
        // allowed rate (50 -> 25, 59.94 -> 29.97); a rate that halves too far gets the limit.
        const long k = static_cast<long>(std::ceil(source.value() / rule.maxFps - 0.0005));
        const FrameRate divided{source.num, source.den * k};
        return divided.value() >= rule.maxFps * 2 / 3 ? divided
                                                      : FrameRate{std::lround(rule.maxFps), 1};
    }
    for (long k = 2; k <= 6; ++k) {
        for (const FrameRate& candidate :
             {FrameRate{source.num * k, source.den}, FrameRate{source.num, source.den * k}}) {
            if (rule.allows(candidate)) {
                for (const FrameRate& s : rule.steps) {
                    if (s.sameAs(candidate)) {
                        return s;  // written as the table writes it
                    }
                }
            }
        }
    }
    return *std::min_element(rule.steps.begin(), rule.steps.end(),
                             [&](const FrameRate& a, const FrameRate& b) {
                                 return distance(a, source) < distance(b, source);
                             });
}

std::vector<std::string> fitToEncoderLimits(const CommandLine& cmd) {
    std::vector<std::string> args = cmd.args();
    if (auto fitted = fitAudio(CommandLine(args))) {
        args = std::move(*fitted);
    }
    if (auto fitted = fitVideo(CommandLine(args))) {
        args = std::move(*fitted);
    }
    if (auto fitted = fitRate(CommandLine(args))) {
        args = std::move(*fitted);
    }
    if (auto fitted = fitRealVideo(CommandLine(args))) {
        args = std::move(*fitted);
    }
    return args;
}

}  // namespace orvex::encoder
