#include <unistd.h>

#include <QSocketNotifier>

#include "platform/posix/shared_posix.h"
#include "platform/thread_wakeup.h"

namespace platform {

// A pipe watched by the event loop: one byte in it until it is read, however often a thread
// asks.
struct ThreadWakeup::Channel {
    ~Channel() {
        notifier.reset();  // before its descriptor closes
        for (const int fd : fds) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
    int fds[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier;
};

ThreadWakeup::ThreadWakeup(QObject* parent) : QObject(parent), channel_(new Channel) {
    if (!posix::openPipe(channel_->fds, true)) {
        channel_->fds[0] = channel_->fds[1] = -1;
        return;
    }
    channel_->notifier = std::make_unique<QSocketNotifier>(channel_->fds[0], QSocketNotifier::Read);
    connect(channel_->notifier.get(), &QSocketNotifier::activated, this, [this] {
        char bytes[64];
        while (::read(channel_->fds[0], bytes, sizeof bytes) > 0) {
        }
        pending_ = false;  // news from now on writes again
        emit woken();
    });
    valid_ = true;
}

ThreadWakeup::~ThreadWakeup() = default;

void ThreadWakeup::wake() {
    if (valid_ && !pending_.exchange(true)) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(channel_->fds[1], &byte, 1);
    }
}

}  // namespace platform
