#include <QTimer>
#include <csignal>

#include "platform/console.h"

namespace platform {

namespace {

// All a standard signal handler may do: set a flag, which a timer looks at.
volatile std::sig_atomic_t gInterrupted = 0;

extern "C" void onSignal(int signal) {
    gInterrupted = 1;
    std::signal(signal, onSignal);  // where the handler is reset after each signal
}

// SIGINT and SIGTERM are standard; SIGHUP and SIGPIPE are taken where the system has them.
constexpr int kStopSignals[] = {
    SIGINT,
    SIGTERM,
#ifdef SIGHUP
    SIGHUP,
#endif
};

// How often the flag is looked at: a stop is heard within this time.
constexpr int kCheckMs = 50;

}  // namespace

InterruptNotifier::InterruptNotifier(QObject* parent) : QObject(parent) {
    gInterrupted = 0;
    for (const int signal : kStopSignals) {
        std::signal(signal, onSignal);
    }
#ifdef SIGPIPE
    std::signal(SIGPIPE, SIG_IGN);
#endif
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &InterruptNotifier::check);
    timer->start(kCheckMs);
    watcher_ = timer;
    active_ = true;
}

InterruptNotifier::~InterruptNotifier() {
    for (const int signal : kStopSignals) {
        std::signal(signal, SIG_DFL);
    }
}

void InterruptNotifier::check() {
    if (gInterrupted != 0) {
        gInterrupted = 0;
        emit interrupted();
    }
}

// Neither Qt nor the standard library can tell; plain lines suit a terminal too.
bool standardErrorIsTerminal() {
    return false;
}

}  // namespace platform
