#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "encoder/command_line.h"
#include "encoder/frame_rate.h"

namespace orvex::encoder {

// The arguments to hand to FFmpeg: the caller's, except where a choice the caller may make
// is one a Debian FFmpeg encoder refuses outright, or one that breaks a limit the same command
// sets. There the nearest value it accepts is used, so the user gets a file instead of an
// error. "The Original Audio Quliay" copies whatever the source had (12.2 kbit/s from a phone,
// 1536 kbit/s from a WAV), so any audio rate can arrive here.
std::vector<std::string> fitToEncoderLimits(const CommandLine& cmd);

// The audio bit rate (bits per second) that `codec` takes nearest to `bitsPerSecond` for
// `channels` channels at `sampleRate` Hz; the rate itself when the codec takes it or is not
// one we know limits of.
long fitAudioBitRate(std::string_view codec, int channels, int sampleRate, long bitsPerSecond);

// The frame rates an output can carry: exactly the listed ones, or any rate up to maxFps.
struct FrameRateRule {
    std::vector<FrameRate> steps;  // empty: any rate
    double maxFps = 0;             // 0: no upper limit
    bool allows(const FrameRate& rate) const;
};

// What a video encoder (its FFmpeg name), a disc target ("pal-dvd", "ntsc-vcd") and a profile
// made for a portable device allow together. Empty names ask nothing of that kind.
FrameRateRule frameRateRuleFor(std::string_view codec, std::string_view target, bool device);

// The rate to write for a source of `source` under `rule`: the source's own when allowed; else
// an allowed whole multiple or divisor of it, so every frame is shown equally long (15 -> 30
// for MPEG, 50 -> 25 and 60 -> 30 for a device); else the nearest allowed rate.
FrameRate fitFrameRate(const FrameRateRule& rule, FrameRate source);

}  // namespace orvex::encoder
