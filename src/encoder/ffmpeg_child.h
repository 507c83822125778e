#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "encoder/ffmpeg_launcher.h"

namespace orvex::encoder {

// FFmpeg run as a child (fork + exec, no shell) with one pipe to us: its standard output, which
// we read, or its standard input, which we write. Its standard error (and its standard output
// when that is not the pipe) is ours. SIGTERM and SIGINT sent to register.dat are passed on to
// it, so a stopped job stops FFmpeg too. SIGPIPE is ignored in register.dat once a child runs,
// so a child that quits early shows up as a failed write.
class FfmpegChild {
  public:
    enum class Pipe { FromStdout, ToStdin };

    FfmpegChild() = default;
    ~FfmpegChild();  // stops and reaps a child still running
    FfmpegChild(const FfmpegChild&) = delete;
    FfmpegChild& operator=(const FfmpegChild&) = delete;

    // false with error() set when no child could be made. A child that cannot exec FFmpeg
    // prints the launcher's message and exits with kCannotStartStatus.
    bool start(const FfmpegLauncher& launcher, const std::vector<std::string>& args,
               Pipe pipe = Pipe::FromStdout);
    // Reads from the child's standard output: bytes read, 0 at its end, -1 on error.
    ssize_t read(unsigned char* buf, size_t size);
    // Writes all of data to the child's standard input; false when the child no longer reads
    // (it ended: EPIPE) or the write failed.
    bool write(const unsigned char* data, size_t size);
    // Closes our end of the pipe: the child's input ends, or its output goes nowhere.
    void closePipe();
    // Ends the child early (after a failure on our side).
    void stop();
    // Waits for the child; its exit status, or 128 + signal when a signal ended it.
    int wait();

    // The signal that was forwarded, 0 if none.
    static int forwardedSignal();
    const std::string& error() const { return error_; }

  private:
    pid_t pid_ = -1;
    int pipeFd_ = -1;
    std::string error_;
};

}  // namespace orvex::encoder
