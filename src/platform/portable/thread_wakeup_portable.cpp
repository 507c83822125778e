#include <QTimer>

#include "platform/thread_wakeup.h"

namespace platform {

namespace {

// How often the flag is looked at. Timers fire in nested event loops too, which posted events
// do not.
constexpr int kCheckMs = 5;

}  // namespace

// Nothing but the flag: a timer looks at it.
struct ThreadWakeup::Channel {};

ThreadWakeup::ThreadWakeup(QObject* parent) : QObject(parent) {
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] {
        if (pending_.exchange(false)) {
            emit woken();
        }
    });
    timer->start(kCheckMs);
    valid_ = true;
}

ThreadWakeup::~ThreadWakeup() = default;

void ThreadWakeup::wake() {
    pending_ = true;
}

}  // namespace platform
