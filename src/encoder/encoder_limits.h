#pragma once

#include <string>
#include <vector>

#include "encoder/command_line.h"

namespace orvex::encoder {

// The arguments to hand to FFmpeg: the caller's, except where a choice the caller may make
// is one a Debian FFmpeg encoder refuses outright. There the nearest value it accepts is
// used, so the user gets a file instead of an error.
std::vector<std::string> fitToEncoderLimits(const CommandLine& cmd);

}  // namespace orvex::encoder
