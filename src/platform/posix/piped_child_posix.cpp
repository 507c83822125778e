#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/piped_child.h"
#include "platform/posix/shared_posix.h"

namespace platform {

namespace {

volatile sig_atomic_t gChildPid = 0;
volatile sig_atomic_t gForwarded = 0;

void forwardSignal(int sig) {
    gForwarded = sig;
    if (gChildPid > 0) {
        ::kill(static_cast<pid_t>(gChildPid), sig);
    }
}

// In the child, between fork and exec.
[[noreturn]] void runChild(const ProgramCommand& command, PipedChild::Pipe pipe, const int fds[2],
                           const sigset_t& mask, pid_t parent,
                           const std::function<std::string(int)>& cannotStart) {
    // Default dispositions, death with the parent, and its end of the pipe.
    if (!posix::prepareChild(parent)) {
        ::_exit(kCannotStartStatus);
    }
    ::sigprocmask(SIG_SETMASK, &mask, nullptr);
    // dup2 clears close-on-exec on the copy.
    if (pipe == PipedChild::Pipe::ToStdin) {
        ::dup2(fds[0], STDIN_FILENO);
    } else {
        ::dup2(fds[1], STDOUT_FILENO);
    }
    replaceProcess(command);
    const std::string message = cannotStart(errno);
    posix::writeAll(STDERR_FILENO, message.data(), message.size());
    ::_exit(kCannotStartStatus);
}

}  // namespace

PipedChild::~PipedChild() {
    if (pid_ > 0) {
        stop();
        wait();
    }
    closePipe();
}

int PipedChild::forwardedSignal() {
    return gForwarded;
}

bool PipedChild::start(const ProgramCommand& command, Pipe pipe,
                       const std::function<std::string(int)>& cannotStart) {
    int fds[2];
    if (!posix::openPipe(fds, false)) {
        error_ = std::string("cannot create a pipe: ") + std::strerror(errno);
        return false;
    }
    // Block the forwarded signals across fork so the child pid is known before any arrives.
    sigset_t block, old;
    sigemptyset(&block);
    sigaddset(&block, SIGTERM);
    sigaddset(&block, SIGINT);
    sigaddset(&block, SIGHUP);
    ::sigprocmask(SIG_BLOCK, &block, &old);
    posix::handleStopRequests(forwardSignal);

    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        runChild(command, pipe, fds, old, parent, cannotStart);
    }
    const int forkErr = errno;
    const int ours = pipe == Pipe::ToStdin ? fds[1] : fds[0];
    ::close(pipe == Pipe::ToStdin ? fds[0] : fds[1]);
    if (pid < 0) {
        ::close(ours);
        ::sigprocmask(SIG_SETMASK, &old, nullptr);
        error_ = std::string("cannot start a process: ") + std::strerror(forkErr);
        return false;
    }
    pid_ = pid;
    pipeFd_ = ours;
    gChildPid = pid;
    ::sigprocmask(SIG_SETMASK, &old, nullptr);
    // A signal that came before the child existed still has to reach it.
    if (gForwarded != 0) {
        ::kill(pid, gForwarded);
    }
    return true;
}

std::ptrdiff_t PipedChild::read(unsigned char* buf, std::size_t size) {
    for (;;) {
        const ssize_t n = ::read(pipeFd_, buf, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return n;
    }
}

bool PipedChild::write(const unsigned char* data, std::size_t size) {
    return posix::writeAll(pipeFd_, data, size);
}

void PipedChild::closePipe() {
    if (pipeFd_ >= 0) {
        ::close(pipeFd_);
        pipeFd_ = -1;
    }
}

void PipedChild::stop() {
    if (pid_ > 0) {
        ::kill(static_cast<pid_t>(pid_), SIGTERM);
    }
    // Closing our end also ends a child blocked on the pipe.
    closePipe();
}

int PipedChild::wait() {
    if (pid_ <= 0) {
        return 1;
    }
    int status = 0;
    pid_t r;
    do {
        r = ::waitpid(static_cast<pid_t>(pid_), &status, 0);
    } while (r < 0 && errno == EINTR);
    pid_ = -1;
    gChildPid = 0;
    if (r < 0) {
        return 1;
    }
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : 1;
}

}  // namespace platform
