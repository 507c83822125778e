#pragma once

#include <optional>

#include "encoder/command_line.h"
#include "encoder/ffmpeg_launcher.h"

namespace orvex::encoder {

// DVD source locators ("vts://...") name sectors of a title set rather than a file FFmpeg could
// open. register.dat reads those sectors itself and feeds them to FFmpeg on a pipe, with the
// locator's audio track mapped and its subtitle burnt in (see dvd_ffmpeg_args.h).
//
// Returns register.dat's exit status when the command reads such a locator, nullopt when it
// does not (then FFmpeg handles the inputs itself). A disc that cannot be read gives one line on
// standard error and status 1; otherwise the status is FFmpeg's.
std::optional<int> handleDvdInput(const CommandLine& cmd, const FfmpegLauncher& launcher);

}  // namespace orvex::encoder
