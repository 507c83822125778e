#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>

#include "platform/console.h"
#include "platform/posix/shared_posix.h"

namespace platform {

namespace {

int pipeFds[2] = {-1, -1};

// The handler only writes one byte into a pipe; a socket notifier on its read end hears it.
extern "C" void onSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(pipeFds[1], &byte, 1);
    errno = saved;
}

}  // namespace

InterruptNotifier::InterruptNotifier(QObject* parent) : QObject(parent) {
    if (!posix::openPipe(pipeFds, true)) {
        pipeFds[0] = pipeFds[1] = -1;
        return;
    }
    auto* notifier = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &InterruptNotifier::check);
    watcher_ = notifier;
    active_ = true;
    // A closed terminal or SSH session (SIGHUP) stops as Ctrl-C does, so the summary is
    // written (where it still can be) and no encoder is left behind. With the terminal or the
    // reader of a pipe gone, writing the summary must not kill us before the encoder is
    // stopped.
    posix::handleStopRequests(onSignal);
}

InterruptNotifier::~InterruptNotifier() {
    if (!active_) {
        return;
    }
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGTERM, SIG_DFL);
    ::signal(SIGHUP, SIG_DFL);
    delete watcher_;
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    pipeFds[0] = pipeFds[1] = -1;
}

void InterruptNotifier::check() {
    char bytes[64];
    bool any = false;
    while (::read(pipeFds[0], bytes, sizeof bytes) > 0) {
        any = true;
    }
    if (any) {
        emit interrupted();
    }
}

bool standardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

}  // namespace platform
