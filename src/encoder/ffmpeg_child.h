#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "encoder/ffmpeg_launcher.h"

namespace orvex::encoder {

// FFmpeg run as a child (fork + exec, no shell) whose standard output is a pipe to us and whose
// standard error is ours. SIGTERM and SIGINT sent to register.dat are passed on to it, so a
// stopped job stops FFmpeg too.
class FfmpegChild {
  public:
    FfmpegChild() = default;
    ~FfmpegChild();  // stops and reaps a child still running
    FfmpegChild(const FfmpegChild&) = delete;
    FfmpegChild& operator=(const FfmpegChild&) = delete;

    // false with error() set when no child could be made. A child that cannot exec FFmpeg
    // prints the launcher's message and exits with kCannotStartStatus.
    bool start(const FfmpegLauncher& launcher, const std::vector<std::string>& args);
    // Reads from the child's standard output: bytes read, 0 at its end, -1 on error.
    ssize_t read(unsigned char* buf, size_t size);
    // Ends the child early (after a failure on our side).
    void stop();
    // Waits for the child; its exit status, or 128 + signal when a signal ended it.
    int wait();

    // The signal that was forwarded, 0 if none.
    static int forwardedSignal();
    const std::string& error() const { return error_; }

  private:
    pid_t pid_ = -1;
    int readFd_ = -1;
    std::string error_;
};

}  // namespace orvex::encoder
