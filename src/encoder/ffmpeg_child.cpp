#include "encoder/ffmpeg_child.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace orvex::encoder {

namespace {

volatile sig_atomic_t gChildPid = 0;
volatile sig_atomic_t gForwarded = 0;

void forwardSignal(int sig) {
    gForwarded = sig;
    if (gChildPid > 0) {
        ::kill(static_cast<pid_t>(gChildPid), sig);
    }
}

void installForwarding() {
    struct sigaction sa {};
    sa.sa_handler = forwardSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGHUP, &sa, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
}

void writeStderr(const std::string& text) {
    const char* p = text.data();
    size_t left = text.size();
    while (left > 0) {
        const ssize_t n = ::write(STDERR_FILENO, p, left);
        if (n <= 0) {
            return;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
}

}  // namespace

FfmpegChild::~FfmpegChild() {
    if (pid_ > 0) {
        stop();
        wait();
    }
    closePipe();
}

int FfmpegChild::forwardedSignal() {
    return gForwarded;
}

bool FfmpegChild::start(const FfmpegLauncher& launcher, const std::vector<std::string>& args,
                        Pipe pipe) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
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
    installForwarding();

    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Child: default dispositions, its end of the pipe, and die with register.dat.
        struct sigaction dfl {};
        dfl.sa_handler = SIG_DFL;
        ::sigaction(SIGTERM, &dfl, nullptr);
        ::sigaction(SIGINT, &dfl, nullptr);
        ::sigaction(SIGHUP, &dfl, nullptr);
        ::sigaction(SIGPIPE, &dfl, nullptr);  // an ignored signal would stay ignored across exec
        ::sigprocmask(SIG_SETMASK, &old, nullptr);
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent) {
            ::_exit(kCannotStartStatus);  // register.dat died before the line above
        }
        // dup2 clears close-on-exec on the copy.
        if (pipe == Pipe::ToStdin) {
            ::dup2(fds[0], STDIN_FILENO);
        } else {
            ::dup2(fds[1], STDOUT_FILENO);
        }
        launcher.exec(args);
        const int err = errno;
        writeStderr(launcher.failureMessage(err));
        ::_exit(kCannotStartStatus);
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

ssize_t FfmpegChild::read(unsigned char* buf, size_t size) {
    for (;;) {
        const ssize_t n = ::read(pipeFd_, buf, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        return n;
    }
}

bool FfmpegChild::write(const unsigned char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(pipeFd_, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

void FfmpegChild::closePipe() {
    if (pipeFd_ >= 0) {
        ::close(pipeFd_);
        pipeFd_ = -1;
    }
}

void FfmpegChild::stop() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
    }
    // Closing our end also ends an FFmpeg blocked on the pipe.
    closePipe();
}

int FfmpegChild::wait() {
    if (pid_ <= 0) {
        return 1;
    }
    int status = 0;
    pid_t r;
    do {
        r = ::waitpid(pid_, &status, 0);
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

}  // namespace orvex::encoder
