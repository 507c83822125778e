#pragma once

#include <string>
#include <vector>

#include "platform/program_start.h"

namespace orvex::encoder {

// Where FFmpeg is taken from, in order: $ORVEX_FFMPEG, an `ffmpeg` beside register.dat, `ffmpeg`
// on PATH. The first that applies is used, even when it then fails to start: a wrong
// ORVEX_FFMPEG is an error to report, not a reason to quietly run some other FFmpeg.
class FfmpegLauncher {
  public:
    FfmpegLauncher();

    // FFmpeg with -nostdin and then args unchanged.
    platform::ProgramCommand command(const std::vector<std::string>& args) const;
    // Replaces this process with command(args). Returns only when FFmpeg could not be started;
    // errno tells why.
    void exec(const std::vector<std::string>& args) const;

    // The single line to print when exec() returned: what was looked for and why it failed.
    std::string failureMessage(int error) const;

    // What exec() will start, for messages.
    const std::string& program() const { return program_; }

  private:
    std::string program_;    // path (or bare name when searchPath_)
    std::string lookedFor_;  // how the program was found, for the failure message
    bool searchPath_ = false;
};

// Exit status when FFmpeg cannot be started, as a shell reports a missing command.
using platform::kCannotStartStatus;

}  // namespace orvex::encoder
