#include "platform/posix/shared_posix.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include <cerrno>
#include <initializer_list>

namespace platform::posix {

bool openPipe(int fds[2], bool nonBlocking) {
#ifdef __linux__
    return ::pipe2(fds, O_CLOEXEC | (nonBlocking ? O_NONBLOCK : 0)) == 0;
#else
    // Other Unixes may lack pipe2: close-on-exec follows at once (a fork on another thread in
    // between would let a child inherit the ends).
    if (::pipe(fds) != 0) {
        return false;
    }
    for (int i = 0; i < 2; ++i) {
        ::fcntl(fds[i], F_SETFD, FD_CLOEXEC);
        if (nonBlocking) {
            ::fcntl(fds[i], F_SETFL, ::fcntl(fds[i], F_GETFL) | O_NONBLOCK);
        }
    }
    return true;
#endif
}

bool writeAll(int fd, const void* data, std::size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

void handleStopRequests(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        ::sigaction(signal, &action, nullptr);
    }
    ::signal(SIGPIPE, SIG_IGN);
}

bool prepareChild(pid_t parent) {
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        ::sigaction(signal, &dfl, nullptr);
    }
#ifdef __linux__
    // SIGKILL, not a request: FFmpeg takes SIGTERM as a wish to finish and goes on waiting in
    // open() on a pipe that has no writer, for ever. What a killed child leaves (a part file)
    // is removed by the next run into its folder, its owner's lock being gone.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
    // A parent that died before the line above left this child orphaned already.
    return ::getppid() == parent;
}

}  // namespace platform::posix
