#pragma once

#include <QObject>
#include <atomic>
#include <memory>

namespace platform {

// Lets other threads (a library's own) wake the thread that made this object: wake() may be
// called from any thread, as often as wanted; woken() follows on this object's thread, once
// for any number of wake() calls before it. Unlike a posted event, it is also heard in an
// event loop nested inside the handling of a posted event (a call that waits there would
// otherwise starve whatever the other threads report).
class ThreadWakeup : public QObject {
    Q_OBJECT
  public:
    explicit ThreadWakeup(QObject* parent = nullptr);
    ~ThreadWakeup() override;

    // false when the system gave no means to wake (then woken() never comes).
    bool isValid() const { return valid_; }
    void wake();

  signals:
    void woken();

  private:
    struct Channel;  // how the other threads reach this one, per system

    std::unique_ptr<Channel> channel_;
    bool valid_ = false;
    std::atomic<bool> pending_{false};
};

}  // namespace platform
