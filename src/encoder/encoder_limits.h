#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "encoder/command_line.h"

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

}  // namespace orvex::encoder
