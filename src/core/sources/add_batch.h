#pragma once

#include <QObject>
#include <QtGlobal>
#include <functional>
#include <vector>

// The scheduling of an add batch: items are examined concurrently, at most limit() at a time,
// and committed (their rows added, or their problems reported) in the order they were given,
// whatever order the examinations end in. The batch owns the busy flag that the list commands
// ask; it knows nothing of what an item is: its owner keeps the items by index, starts and
// cancels the examinations, and commits them when told.
class AddBatch : public QObject {
    Q_OBJECT
  public:
    struct Hooks {
        // Start examining item i; its end is reported with examined(i), possibly at once.
        std::function<void(size_t i)> examine;
        // Item i is next in order and examined: add its row or report why not.
        std::function<void(size_t i)> commit;
        // End every examination under way; each still reports examined().
        std::function<void()> cancelExaminations;
        // The batch has ended: busy() is false already, busyChanged(false) follows.
        std::function<void()> finished;
    };

    explicit AddBatch(Hooks hooks, QObject* parent = nullptr);

    int limit() const { return limit_; }
    void setLimit(int limit);

    bool busy() const { return busy_; }
    // Cancelled by cancel() (not by stop()).
    bool cancelled() const { return cancelled_; }
    // Ending early: nothing more is examined or committed.
    bool stopping() const { return stopping_; }

    // Starts a batch of `ready.size()` items; those marked ready need no examination. Returns
    // at once: the first commits and the end always come after the caller has returned.
    void start(std::vector<bool> ready);
    // The examination of item i has ended.
    void examined(size_t i);
    // Ends the batch early: the examinations under way are cancelled and nothing more is
    // committed. cancel() is the user's; stop() the owner's (the examiner cannot run at all).
    void cancel();
    void stop();

  signals:
    void busyChanged(bool busy);

  private:
    void startExaminations();
    void commitReady();
    void finishIfDone();
    void finish();

    Hooks hooks_;
    int limit_ = 1;
    std::vector<bool> done_;
    size_t nextToStart_ = 0;
    size_t nextToCommit_ = 0;
    int running_ = 0;
    bool busy_ = false;
    bool cancelled_ = false;
    bool stopping_ = false;
    quint64 generation_ = 0;  // which batch a deferred start belongs to
};
