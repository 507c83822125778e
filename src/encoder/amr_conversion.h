#pragma once

#include "encoder/command_line.h"
#include "encoder/ffmpeg_launcher.h"

namespace orvex::encoder {

// An ".amr" output: Debian's FFmpeg has no AMR-NB encoder, so FFmpeg only decodes to 8 kHz mono
// PCM and we encode with libopencore-amrnb. Returns the exit status for register.dat: FFmpeg's
// status, or non-zero when the output could not be written (no file is left then).
int runAmrConversion(const CommandLine& cmd, const FfmpegLauncher& launcher);

}  // namespace orvex::encoder
