#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "platform/isolated_call.h"
#include "platform/posix/shared_posix.h"

namespace platform {

namespace {

[[noreturn]] void runChild(const std::function<std::optional<std::string>()>& work, int fd,
                           pid_t parent) {
    // A reader hung on a damaged file must not outlive a caller that was killed.
    if (!posix::prepareChild(parent)) {
        ::_exit(1);
    }
    // Whatever the child might print (a library's complaints, a crash report) would land in the
    // caller's output; the outcome is told by the exit status alone.
    if (const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC); null >= 0) {
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
    }
    int status = 1;
    try {
        if (const auto result = work();
            result && posix::writeAll(fd, result->data(), result->size())) {
            status = 0;
        }
    } catch (...) {
        status = 2;
    }
    ::_exit(status);
}

}  // namespace

bool callsAreIsolated() {
    return true;
}

std::optional<std::string> runIsolated(const std::function<std::optional<std::string>()>& work,
                                       int timeoutMs) {
    int fds[2];
    if (!posix::openPipe(fds, false)) {
        return std::nullopt;
    }
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        runChild(work, fds[1], parent);
    }
    ::close(fds[1]);
    if (pid < 0) {
        ::close(fds[0]);
        return std::nullopt;
    }

    std::string data;
    bool timedOut = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            break;
        }
        pollfd p{fds[0], POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            timedOut = ready == 0;
            break;
        }
        char buf[16384];
        const ssize_t n = ::read(fds[0], buf, sizeof buf);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        data.append(buf, static_cast<size_t>(n));
    }
    ::close(fds[0]);
    if (timedOut) {
        ::kill(pid, SIGKILL);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (timedOut || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return std::nullopt;
    }
    return data;
}

}  // namespace platform
