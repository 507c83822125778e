#include "core/engine/run_clock.h"

#include <gtest/gtest.h>

#include "../../support/qt_gtest.h"
#include "core/engine/run_status.h"
#include "core/engine/time_value.h"

namespace {

JobList::Row fileRow(const char* caption, qint32 seconds) {
    JobList::Row row;
    row.caption = QString::fromLatin1(caption);
    row.info.duration = timeValueOfSeconds(seconds);
    return row;
}

JobList::Row dvdRow(const char* caption, qint32 seconds, bool ticked) {
    JobList::Row row = fileRow(caption, seconds);
    row.source = TConvertInfo{};
    row.checked = ticked;
    return row;
}

// A run of a 100 s file, an unticked 1000 s DVD title and a ticked 100 s one with a long
// caption, on a clock the test moves. Each step happens at its time; the reading after it is
// checked.
TEST(RunClockTest, ReadingsThroughARun) {
    JobList jobs;
    jobs.addRow(fileRow("one", 100));
    jobs.addRow(dvdRow("unticked", 1000, false));
    jobs.addRow(dvdRow("the_second_title_of_the_disc", 100, true));
    qint64 now = 0;
    RunClock clock(jobs, [&now] { return now; });
    struct Step {
        qint64 at;
        std::function<void()> event;
        int row;  // the job shown, -1 none
        std::optional<qint64> jobLeft;
        std::optional<qint64> runLeft;
        const char* line;
    };
    const Step steps[] = {
        {0, [&] { clock.runStarted(); }, -1, {}, {}, ""},
        {0, [&] { clock.jobStarted(0); }, 0, {}, {}, "Converting one (1 of 3)  00.00%"},
        // Too soon for a forecast, then too little done.
        {400,
         [&] { clock.jobProgress(0, 5000, "2x"); },
         0,
         {},
         {},
         "Converting one (1 of 3)  50.00%  \u00b7  speed 2x"},
        {1000,
         [&] { clock.jobProgress(0, 50, "2x"); },
         0,
         {},
         {},
         "Converting one (1 of 3)  00.50%  \u00b7  speed 2x"},
        // Half of 100 s in 10 s: 10 s left for it, and the 100 s still to come at the same
        // pace (the unticked title is not part of the run).
        {10000, [&] { clock.jobProgress(0, 5000, ""); }, 0, 10, 30,
         "Converting one (1 of 3)  50.00%  \u00b7  00:30 left in all, 00:10 for this file"},
        {20000, [&] { clock.jobEnded(0); }, -1, {}, {}, ""},
        {20000,
         [&] { clock.jobStarted(2); },
         2,
         {},
         {},
         "Converting the_second\u2026_disc (3 of 3)  00.00%"},
        {30000, [&] { clock.jobProgress(2, 5000, "3x"); }, 2, 10, 10,
         "Converting the_second\u2026_disc (3 of 3)  50.00%  \u00b7  00:10 left in all, 00:10 for "
         "this title  \u00b7  speed 3x"},
        {40000, [&] { clock.runEnded(); }, -1, {}, {}, ""},
    };
    for (const Step& s : steps) {
        now = s.at;
        s.event();
        const RunClock::Reading r = clock.reading();
        SCOPED_TRACE(s.at);
        EXPECT_EQ(r.runJobs, 2);
        ASSERT_EQ(r.jobs.size(), s.row < 0 ? 0u : 1u);
        if (s.row >= 0) {
            EXPECT_EQ(r.jobs[0].row, s.row);
            EXPECT_EQ(r.jobs[0].leftSeconds, s.jobLeft);
        }
        EXPECT_EQ(r.runLeftSeconds, s.runLeft);
        EXPECT_EQ(runStatusLine(jobs, r), QString::fromUtf8(s.line));
    }
    EXPECT_EQ(clock.tookSeconds(0), 20);
    EXPECT_EQ(clock.tookSeconds(1), std::nullopt) << "passed over, never run";

    // A run of one job says nothing of the run's time.
    jobs.setChecked(2, false);
    now = 0;
    clock.runStarted();
    clock.jobStarted(0);
    now = 10000;
    clock.jobProgress(0, 5000, "1.5x");
    EXPECT_EQ(runProgressLine(jobs, clock.reading()),
              "[1/3] one  50.00%  00:10 left for this file  speed 1.5x");
}

// Two jobs at once: the window's line counts the run (media time done, the time left for all,
// the speeds together), not one of them.
TEST(RunClockTest, SeveralJobsAtOnceReadAsTheRun) {
    JobList jobs;
    for (const char* caption : {"a", "b", "c"}) {
        jobs.addRow(fileRow(caption, 100));
    }
    qint64 now = 0;
    RunClock clock(jobs, [&now] { return now; });
    clock.runStarted();
    clock.jobStarted(0);
    clock.jobStarted(1);
    now = 10000;
    clock.jobProgress(0, 5000, "2.0x");
    clock.jobProgress(1, 2500, "1.5x");
    EXPECT_EQ(runStatusLine(jobs, clock.reading()),
              "Converting 2 of 3 files  25.00%  \u00b7  00:43 left in all  \u00b7  speed 3.5x");
    clock.jobProgress(1, 2500, "");  // a speed not yet known: no sum
    EXPECT_EQ(runStatusLine(jobs, clock.reading()),
              "Converting 2 of 3 files  25.00%  \u00b7  00:43 left in all");
}

TEST(RunClockTest, ShortTimes) {
    const struct {
        qint64 seconds;
        const char* text;
    } cases[] = {{-5, "00:00"},   {0, "00:00"},      {59, "00:59"},
                 {3599, "59:59"}, {3723, "1:02:03"}, {360000, "100:00:00"}};
    for (const auto& c : cases) {
        EXPECT_EQ(shortTime(c.seconds), c.text) << c.seconds;
    }
}

}  // namespace
