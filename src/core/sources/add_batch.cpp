#include "core/sources/add_batch.h"

#include <QMetaObject>
#include <algorithm>
#include <utility>

AddBatch::AddBatch(Hooks hooks, QObject* parent) : QObject(parent), hooks_(std::move(hooks)) {}

void AddBatch::setLimit(int limit) {
    limit_ = std::max(1, limit);
}

void AddBatch::start(std::vector<bool> ready) {
    done_ = std::move(ready);
    nextToStart_ = 0;
    nextToCommit_ = 0;
    running_ = 0;
    cancelled_ = false;
    stopping_ = false;
    ++generation_;
    if (!busy_) {
        busy_ = true;
        emit busyChanged(true);
    }
    // Everything reported stays in order, and the end always comes after the command has
    // returned, so a front end can listen for it once the command has started.
    QMetaObject::invokeMethod(
        this,
        [this, generation = generation_] {
            if (generation != generation_ || !busy_) {
                return;  // cancelled before it began
            }
            commitReady();
            startExaminations();
            finishIfDone();
        },
        Qt::QueuedConnection);
}

void AddBatch::startExaminations() {
    while (running_ < limit_ && nextToStart_ < done_.size() && !stopping_) {
        const size_t i = nextToStart_++;
        if (done_[i]) {
            continue;
        }
        ++running_;
        hooks_.examine(i);
    }
}

void AddBatch::examined(size_t i) {
    if (!busy_ || i >= done_.size() || done_[i]) {
        return;
    }
    done_[i] = true;
    --running_;
    // The next examination starts before this item is committed, so the examiner works
    // meanwhile.
    startExaminations();
    commitReady();
    finishIfDone();
}

void AddBatch::commitReady() {
    while (nextToCommit_ < done_.size() && done_[nextToCommit_]) {
        const size_t i = nextToCommit_++;
        if (!stopping_) {
            hooks_.commit(i);
        }
    }
}

void AddBatch::finishIfDone() {
    if (running_ == 0 && (nextToCommit_ == done_.size() || stopping_)) {
        finish();
    }
}

void AddBatch::cancel() {
    if (!busy_) {
        return;
    }
    cancelled_ = true;
    stop();
}

void AddBatch::stop() {
    if (!busy_ || stopping_) {
        return;
    }
    stopping_ = true;
    if (running_ == 0) {
        finish();
        return;
    }
    hooks_.cancelExaminations();
}

void AddBatch::finish() {
    if (!busy_) {
        return;
    }
    done_.clear();
    nextToStart_ = 0;
    nextToCommit_ = 0;
    busy_ = false;
    // The owner winds up and reports first, so whoever hears that the batch is idle may start
    // the next one at once; if the report's listeners already did, the batch is busy again.
    hooks_.finished();
    if (!busy_) {
        emit busyChanged(false);
    }
}
