#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <csignal>
#include <cstdlib>
#include <thread>

#include "../../support/qt_gtest.h"
#include "platform/console.h"
#include "platform/isolated_call.h"
#include "platform/thread_wakeup.h"

using orvex::test::waitUntil;

namespace {

TEST(IsolatedCall, ResultsComeBackAndFailuresComeBackEmpty) {
    int touched = 0;
    const struct {
        const char* what;
        std::function<std::optional<std::string>()> work;
        std::optional<std::string> result;
        bool needsIsolation;
    } cases[] = {
        {"bytes", [] { return std::string("a\0b", 3); }, std::string("a\0b", 3), false},
        {"large", [] { return std::string(1 << 20, 'x'); }, std::string(1 << 20, 'x'), false},
        {"nothing", [] { return std::nullopt; }, std::nullopt, false},
        {"throws", []() -> std::optional<std::string> { throw 1; }, std::nullopt, false},
        {"crashes", []() -> std::optional<std::string> { std::abort(); }, std::nullopt, true},
        {"hangs",
         []() -> std::optional<std::string> {
             std::this_thread::sleep_for(std::chrono::seconds(30));
             return "late";
         },
         std::nullopt, true},
        {"changes the caller",
         [&touched]() -> std::optional<std::string> {
             touched = 1;
             return "x";
         },
         "x", true},
    };
    for (const auto& c : cases) {
        if (c.needsIsolation && !platform::callsAreIsolated()) {
            continue;
        }
        SCOPED_TRACE(c.what);
        QElapsedTimer t;
        t.start();
        EXPECT_EQ(platform::runIsolated(c.work, 1000), c.result);
        EXPECT_LT(t.elapsed(), 5000);
    }
    EXPECT_EQ(touched, 0) << "the child's memory is its own";
}

TEST(InterruptNotifier, StopRequestsBecomeOneSignalEach) {
    platform::InterruptNotifier notifier;
    ASSERT_TRUE(notifier.isActive());
    int heard = 0;
    QObject::connect(&notifier, &platform::InterruptNotifier::interrupted, [&heard] { ++heard; });
    for (const int signal : {SIGINT, SIGTERM}) {
        const int before = heard;
        std::raise(signal);
        EXPECT_TRUE(waitUntil([&] { return heard > before; }, 2000)) << signal;
    }
    EXPECT_EQ(heard, 2);
}

// The other thread's news must arrive even while a posted event's handler waits in a nested
// loop, where posted events would not.
TEST(ThreadWakeup, HeardInsideAWaitingHandlerAndCoalesced) {
    platform::ThreadWakeup wakeup;
    ASSERT_TRUE(wakeup.isValid());
    int woken = 0;
    QObject::connect(&wakeup, &platform::ThreadWakeup::woken, [&woken] { ++woken; });
    bool heardInside = false;
    bool ran = false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [&] {
            std::thread other([&wakeup] {
                for (int i = 0; i < 1000; ++i) {
                    wakeup.wake();
                }
            });
            other.join();
            QEventLoop nested;
            QTimer::singleShot(2000, &nested, &QEventLoop::quit);
            QObject::connect(&wakeup, &platform::ThreadWakeup::woken, &nested, &QEventLoop::quit);
            nested.exec();
            heardInside = woken > 0;
            ran = true;
        },
        Qt::QueuedConnection);
    ASSERT_TRUE(waitUntil([&ran] { return ran; }, 5000));
    EXPECT_TRUE(heardInside);
    EXPECT_EQ(woken, 1) << "a thousand wakes before it was heard are one";
}

}  // namespace
