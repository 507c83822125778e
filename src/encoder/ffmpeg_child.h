#pragma once

#include <string>
#include <vector>

#include "encoder/ffmpeg_launcher.h"
#include "platform/piped_child.h"

namespace orvex::encoder {

// FFmpeg run as a child with one pipe to us (see platform::PipedChild): SIGTERM and SIGINT sent
// to register.dat are passed on to it, so a stopped job stops FFmpeg too.
class FfmpegChild : public platform::PipedChild {
  public:
    // false with error() set when no child could be made. A child that cannot start FFmpeg
    // prints the launcher's message and exits with kCannotStartStatus.
    bool start(const FfmpegLauncher& launcher, const std::vector<std::string>& args,
               Pipe pipe = Pipe::FromStdout);
};

}  // namespace orvex::encoder
