#include "core/sources/add_batch.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <set>
#include <vector>

namespace {

// A batch whose examinations end exactly when the test says.
struct Harness {
    std::set<size_t> running;
    size_t mostRunning = 0;
    std::vector<size_t> commits;
    int cancels = 0;
    int finishes = 0;
    AddBatch batch{{[this](size_t i) {
                        running.insert(i);
                        mostRunning = std::max(mostRunning, running.size());
                    },
                    [this](size_t i) { commits.push_back(i); }, [this] { ++cancels; },
                    [this] { ++finishes; }}};

    void end(size_t i) {
        ASSERT_EQ(running.erase(i), 1u) << "item " << i << " was not being examined";
        batch.examined(i);
    }
};

TEST(AddBatchTest, CommitsInTheGivenOrderWithinTheLimit) {
    struct Case {
        const char* name;
        std::vector<bool> ready;  // items that need no examination
        int limit;
        std::vector<size_t> endOrder;
        size_t mostRunning;
    };
    const Case cases[] = {
        {"ends in reverse", {false, false, false}, 3, {2, 1, 0}, 3},
        {"limit holds", {false, false, false, false}, 2, {1, 0, 3, 2}, 2},
        {"one at a time", {false, false, false}, 1, {0, 1, 2}, 1},
        {"ready items keep their place", {true, false, true, false}, 1, {1, 3}, 1},
        {"nothing to examine", {true, true}, 2, {}, 0},
        {"empty batch", {}, 2, {}, 0},
    };
    for (const Case& c : cases) {
        Harness h;
        h.batch.setLimit(c.limit);
        h.batch.start(c.ready);
        EXPECT_TRUE(h.batch.busy()) << c.name;
        EXPECT_TRUE(h.commits.empty()) << c.name << ": nothing before the command returned";
        QCoreApplication::processEvents();
        for (const size_t i : c.endOrder) {
            h.end(i);
        }
        std::vector<size_t> inOrder(c.ready.size());
        for (size_t i = 0; i < inOrder.size(); ++i) {
            inOrder[i] = i;
        }
        EXPECT_EQ(h.commits, inOrder) << c.name;
        EXPECT_EQ(h.mostRunning, c.mostRunning) << c.name;
        EXPECT_EQ(h.finishes, 1) << c.name;
        EXPECT_FALSE(h.batch.busy()) << c.name;
    }
}

TEST(AddBatchTest, CancelAndStopCommitNothingMore) {
    for (const bool userCancel : {true, false}) {
        Harness h;
        h.batch.setLimit(2);
        h.batch.start({false, false, false});
        QCoreApplication::processEvents();
        h.end(0);
        userCancel ? h.batch.cancel() : h.batch.stop();
        EXPECT_EQ(h.cancels, 1);
        EXPECT_TRUE(h.batch.busy()) << "item 2 is still being examined";
        h.end(1);
        h.end(2);
        EXPECT_EQ(h.commits, std::vector<size_t>{0});
        EXPECT_EQ(h.finishes, 1);
        EXPECT_EQ(h.batch.cancelled(), userCancel);
    }
    // The owner has wound up when the batch says it is idle, and the next batch may start then.
    {
        Harness h;
        std::vector<int> finishesWhenIdle;
        QObject::connect(&h.batch, &AddBatch::busyChanged, [&](bool busy) {
            if (!busy) {
                finishesWhenIdle.push_back(h.finishes);
                if (finishesWhenIdle.size() == 1) {
                    h.batch.start({true});
                }
            }
        });
        h.batch.start({true, true});
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        EXPECT_EQ(finishesWhenIdle, (std::vector<int>{1, 2}));
        EXPECT_EQ(h.commits, (std::vector<size_t>{0, 1, 0}));
    }
    // Cancelled before it began: ended at once, and its deferred start does nothing.
    Harness h;
    h.batch.start({false, true});
    h.batch.cancel();
    QCoreApplication::processEvents();
    EXPECT_FALSE(h.batch.busy());
    EXPECT_EQ(h.finishes, 1);
    EXPECT_TRUE(h.commits.empty());
    EXPECT_EQ(h.mostRunning, 0u);
}

}  // namespace
