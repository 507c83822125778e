#include "cli/interrupt_notifier.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>

namespace {

int pipeFds[2] = {-1, -1};

extern "C" void onSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(pipeFds[1], &byte, 1);
    errno = saved;
}

}  // namespace

InterruptNotifier::InterruptNotifier(QObject* parent) : QObject(parent) {
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        pipeFds[0] = pipeFds[1] = -1;
        return;
    }
    notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &InterruptNotifier::drain);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    // A closed terminal or SSH session: stop as on Ctrl-C, so the summary is written (where
    // it still can be) and no encoder is left behind.
    ::sigaction(SIGHUP, &action, nullptr);
    // With the terminal or the reader of a pipe gone, writing the summary must not kill us
    // before the encoder is stopped.
    ::signal(SIGPIPE, SIG_IGN);
}

InterruptNotifier::~InterruptNotifier() {
    if (notifier_ == nullptr) {
        return;
    }
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGTERM, SIG_DFL);
    ::signal(SIGHUP, SIG_DFL);
    delete notifier_;
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    pipeFds[0] = pipeFds[1] = -1;
}

void InterruptNotifier::drain() {
    char bytes[64];
    bool any = false;
    while (::read(pipeFds[0], bytes, sizeof bytes) > 0) {
        any = true;
    }
    if (any) {
        emit interrupted();
    }
}
