#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "encoder/command_line.h"

namespace orvex::encoder {

// How many threads a video encoder is given: the one place that decides it. `cores` is what
// the machine has for this job: register.dat passes every core when the command names no
// -threads; a queue running several jobs at once passes each its share and puts
// "-threads N" into the job's command, which register.dat then keeps. 0 leaves the encoder to
// FFmpeg's own choice (libx264 threads itself; most others take FFmpeg's slice threads).
int encoderThreads(std::string_view codec, unsigned cores);

// The threads of a job that shares the machine with others, `share` cores being its part: the
// table's count for the share, else the share itself (left to FFmpeg, an encoder would count
// every core and crowd the jobs beside it).
int sharedEncoderThreads(std::string_view codec, unsigned share);

// The arguments with "-threads N" added for the command's video encoder when the table gives
// it a count and the command has no -threads of its own.
std::vector<std::string> withEncoderThreads(const CommandLine& cmd, unsigned cores);

}  // namespace orvex::encoder
