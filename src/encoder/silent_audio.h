#pragma once

#include <string>
#include <vector>

#include "encoder/command_line.h"
#include "encoder/ffmpeg_launcher.h"

namespace orvex::encoder {

// The arguments with a silent audio track added when the output format cannot be written
// without one (the PSP flavour of MP4 wants exactly one video and one audio stream) and the
// first input has no audio: FFmpeg's anullsrc at the command's sample rate and channel count,
// as long as the video. Otherwise `args` unchanged. Asks FFmpeg whether the input has audio
// only for such formats.
std::vector<std::string> withSilentAudioWhereNeeded(const std::vector<std::string>& args,
                                                    const FfmpegLauncher& launcher);

}  // namespace orvex::encoder
