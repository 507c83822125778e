#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "encoder/command_line.h"

namespace orvex::encoder {

// How many threads register.dat gives each video encoder when the command names none: the one
// place that decides it. `cores` is what the machine has for this job. 0 leaves the encoder to
// FFmpeg's own choice (libx264 threads itself; most others take FFmpeg's slice threads).
int encoderThreads(std::string_view codec, unsigned cores);

// The arguments with "-threads N" added for the command's video encoder when the table gives
// it a count and the command has no -threads of its own.
std::vector<std::string> withEncoderThreads(const CommandLine& cmd, unsigned cores);

}  // namespace orvex::encoder
