#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "platform/program_start.h"

// Plain C++ (no Qt): register.dat runs FFmpeg through it.
namespace platform {

// A program run as a child (no shell) with one pipe to us: its standard output, which we read,
// or its standard input, which we write. Its standard error (and its standard output when that
// is not the pipe) is ours. A request to stop that reaches this process (SIGTERM, SIGINT,
// SIGHUP) is passed on to the child, so a stopped front end stops the child too, and the child
// ends when this process dies. A child that quits early shows up as a failed write (a broken
// pipe does not end this process once a child has run).
class PipedChild {
  public:
    enum class Pipe { FromStdout, ToStdin };

    PipedChild() = default;
    ~PipedChild();  // stops and reaps a child still running
    PipedChild(const PipedChild&) = delete;
    PipedChild& operator=(const PipedChild&) = delete;

    // false with error() set when no child could be made. A child that cannot start the
    // program writes cannotStart(errno) to its standard error and exits with
    // kCannotStartStatus.
    bool start(const ProgramCommand& command, Pipe pipe,
               const std::function<std::string(int error)>& cannotStart);
    // Reads from the child's standard output: bytes read, 0 at its end, -1 on error.
    std::ptrdiff_t read(unsigned char* buf, std::size_t size);
    // Writes all of data to the child's standard input; false when the child no longer reads
    // (it ended) or the write failed.
    bool write(const unsigned char* data, std::size_t size);
    // Closes our end of the pipe: the child's input ends, or its output goes nowhere.
    void closePipe();
    // Ends the child early (after a failure on our side).
    void stop();
    // Waits for the child; its exit status, or 128 + signal when a signal ended it.
    int wait();

    // The stop request that was passed on (a signal number), 0 if none.
    static int forwardedSignal();
    const std::string& error() const { return error_; }

  private:
    long pid_ = -1;
    int pipeFd_ = -1;
    std::string error_;
};

}  // namespace platform
