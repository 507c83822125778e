#include "encoder/ffmpeg_child.h"

namespace orvex::encoder {

bool FfmpegChild::start(const FfmpegLauncher& launcher, const std::vector<std::string>& args,
                        Pipe pipe) {
    return PipedChild::start(launcher.command(args), pipe,
                             [&launcher](int error) { return launcher.failureMessage(error); });
}

}  // namespace orvex::encoder
