#include "core/engine/progress_monitor.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <vector>

#include "../../support/qt_gtest.h"

namespace {

// Records captured from Debian's FFmpeg 5.1 converting a 3-second clip to H.264 + AAC: records
// are separated by CR, the last one ends with LF and the summary follows.
const char kFfmpegTail[] =
    "      encoder         : Lavc59.37.100 aac\n"
    "frame=    1 fps=0.0 q=0.0 size=       0kB time=00:00:00.06 bitrate=   5.5kbits/s "
    "speed=15.4x    \r"
    "frame=   76 fps=0.0 q=-1.0 Lsize=      45kB time=00:00:03.04 bitrate= 120.9kbits/s dup=1 "
    "drop=0 speed=6.92x    \n"
    "video:15kB audio:26kB subtitle:0kB other streams:0kB global headers:0kB muxing overhead: "
    "8.837661%\n"
    "[libx264 @ 0x55eca22f13c0] kb/s:39.45\n";
const char kFfmpegRunning[] =
    "frame=   45 fps=0.0 q=28.0 size=       0kB time=00:00:01.56 bitrate=   0.2kbits/s "
    "speed=3.07x    \r"
    "frame=  179 fps=0.0 q=28.0 size=       0kB time=00:00:04.17 bitrate=   0.1kbits/s "
    "speed=8.23x    \r"
    "frame=  301 fps=297 q=28.0 size=     256kB time=00:00:09.08 bitrate= 230.9kbits/s "
    "speed=8.97x    \r";
const char kAudioOnly[] =
    "size=     128kB time=00:01:02.02 bitrate=  16.9kbits/s speed=  16x    \r";

// The progress bar: every value shown.
struct FakeBar {
    std::vector<int> positions;
};

class ProgressMonitorTest : public ::testing::Test {
  protected:
    ProgressMonitorTest() : monitor(jobs) {
        JobList::Row row;
        row.caption = "clip";
        jobs.addRow(row);
        QObject::connect(&monitor, &ProgressMonitor::progressShown,
                         [this](int value) { view.positions.push_back(value); });
        monitor.startRun();
        monitor.startJob(0, 10);
    }
    // Feeds one chunk as the reader hands it over.
    void feed(const QByteArray& chunk) {
        buffer.append(chunk);
        monitor.parseOutput(buffer);
    }

    JobList jobs;
    FakeBar view;
    ProgressMonitor monitor;
    LineBuffer buffer;
};

TEST_F(ProgressMonitorTest, ReadsPositionsInSecondsAndInHoursMinutesSeconds) {
    const struct {
        const char* line;
        int duration;
        int shown;  // -1: nothing shown
    } cases[] = {
        {"time=5.00 bitrate=\r", 10, 5000},
        {"time=5.99 bitrate=  1.0kbits/s\n", 10, 5000},  // whole seconds, truncated
        {"time=00:00:05.99 bitrate=N/A\r", 10, 5000},
        {"time=01:00:00.00 bitrate=1k\r", 7200, 5000},
        {"time=12 bitrate=\r", 24, 5000},
        {"time=10.05 bitrate=\r", 10, 10000},
        {"time=00:03:21.00 bitrate=\r", 200, 10050},  // beyond: not clipped
        {"time=00:00:01.00 bitrate=\r", 3, 3333},     // rounded to nearest
        {"time=00:00:02.00 bitrate=\r", 3, 6667},
        {"bitrate=5 time=5.00\r", 10, -1},  // bitrate before time
        {"time=5.00 speed=1x\r", 10, -1},   // no bitrate
        {"time=N/A bitrate=N/A speed=N/A\r", 10, -1},
        {"time=-00:00:00.04 bitrate=N/A\r", 10, -1},
        {"time=00:61:00.00 bitrate=\r", 10, -1},
        {"out_time=00:00:05.00 bitrate=1\r", 10, -1},  // -progress keys are not records
        {"time=5.00 bitrate=", 10, -1},                // no line break yet
    };
    for (const auto& c : cases) {
        jobs.setState(0, RowState());
        view.positions.clear();
        buffer.clear();
        monitor.startJob(0, c.duration);
        feed(c.line);
        if (c.shown < 0) {
            EXPECT_TRUE(view.positions.empty()) << c.line;
            EXPECT_EQ(jobs.state(0).kind, RowState::New) << c.line;
        } else {
            EXPECT_EQ(view.positions, std::vector<int>{c.shown}) << c.line;
            EXPECT_EQ(jobs.state(0), RowState::running(c.shown)) << c.line;
        }
    }
}

TEST_F(ProgressMonitorTest, ProgressIsAPositionBeyondEveryEarlierOne) {
    // One job's chunks in order: only a position past the furthest so far is progress, to
    // the hundredth; lines without a position, repeats and steps back are not.
    const struct {
        const char* chunk;
        bool advanced;
    } steps[] = {
        {"Stream mapping:\n  Stream #0:0 -> #0:0 (mpeg4 (native) -> h264 (libx264))\n", false},
        {"frame=    0 fps=0.0 q=0.0 size=       0kB time=N/A bitrate=N/A speed=N/A\r", false},
        {"frame=    1 fps=0.0 q=0.0 size=       0kB time=00:00:00.00 bitrate=N/A\r", true},
        {"frame=    1 fps=0.0 q=0.0 size=       0kB time=00:00:00.00 bitrate=N/A\r", false},
        {"time=00:00:00.04 bitrate=N/A\r", true},
        {"time=00:00:00.02 bitrate=N/A\r", false},
        {"[mp4 @ 0x1] a warning every 30 s, but no progress\n", false},
        {"time=0.045 bitrate=N/A\r", false},  // 4.5 hundredths count as 4: no progress
        {"time=00:00:01.5 bitrate=N/A\r", true},
        {"time=999999999999:00:00.00 bitrate=N/A\r", true},  // absurd, but no overflow
    };
    monitor.startJob(0, 10);
    for (const auto& step : steps) {
        buffer.append(step.chunk);
        EXPECT_EQ(monitor.parseOutput(buffer), step.advanced) << step.chunk;
    }
    EXPECT_EQ(view.positions.back(), 1000000);
    // A new job starts from nothing.
    monitor.startJob(0, 10);
    buffer.append("time=00:00:00.04 bitrate=N/A\r");
    EXPECT_TRUE(monitor.parseOutput(buffer));
}

TEST_F(ProgressMonitorTest, ShowsTheLastRecordOfAChunk) {
    // Three records in one hand-over: the position now is the last one, not the first.
    feed(kFfmpegRunning);
    EXPECT_EQ(view.positions, std::vector<int>{9000});
    EXPECT_EQ(jobs.state(0), RowState::running(9000));
    EXPECT_EQ(monitor.lastSpeed(), "8.97x");
    EXPECT_TRUE(buffer.isEmpty());

    // The final record is followed by the summary, which has no record of its own.
    monitor.startJob(0, 3);
    feed(kFfmpegTail);
    EXPECT_EQ(view.positions.back(), 10000);
    EXPECT_EQ(monitor.lastSpeed(), "6.92x");

    monitor.startJob(0, 124);
    feed(kAudioOnly);
    EXPECT_EQ(view.positions.back(), 5000);
    EXPECT_EQ(monitor.lastSpeed(), "16x");
}

TEST_F(ProgressMonitorTest, ChunksSplitMidLineAreJoined) {
    const QByteArray all = kFfmpegRunning;
    // Every split point of the real records gives the same final answer.
    for (qsizetype cut = 1; cut < all.size(); cut += 7) {
        buffer.clear();
        view.positions.clear();
        feed(all.left(cut));
        feed(all.mid(cut));
        ASSERT_FALSE(view.positions.empty()) << cut;
        EXPECT_EQ(view.positions.back(), 9000) << cut;
        EXPECT_TRUE(buffer.isEmpty()) << cut;
    }
    buffer.clear();
    feed("frame= 1 time=00:00:0");
    EXPECT_EQ(buffer.text(), "frame= 1 time=00:00:0") << "an unfinished line waits for the rest";
    feed("3.00 bitrate=N/A\r");
    EXPECT_EQ(view.positions.back(), 3000);
}

TEST_F(ProgressMonitorTest, LineBreaksAreCrLfOrCrLf) {
    feed("time=1.00 bitrate=\r\ntime=2.00 bitrate=\ntime=3.00 bitrate=\rtail");
    EXPECT_EQ(buffer.text(), "tail");
    EXPECT_EQ(view.positions.back(), 3000);
    buffer.clear();
    feed("a\r\n");
    EXPECT_TRUE(buffer.isEmpty()) << "CR LF is consumed once, leaving nothing behind";
    feed("b\r");
    feed("\nc");  // the LF of a CR LF split across chunks is an empty line, harmless
    EXPECT_EQ(buffer.text(), "c");
}

TEST_F(ProgressMonitorTest, ZeroDurationNeverShowsANegativeValue) {
    monitor.startJob(0, 0, true);
    for (int k = 0; k < 120; ++k) {
        monitor.timer2Tick();
    }
    view.positions.clear();
    feed("time=00:00:04.00 bitrate=N/A\r");
    EXPECT_EQ(view.positions, std::vector<int>{120});
    EXPECT_EQ(jobs.state(0), RowState::running(120));
}

TEST_F(ProgressMonitorTest, Timer2CreepsUntilTheFirstRecord) {
    EXPECT_FALSE(monitor.timer2().isActive());
    EXPECT_EQ(monitor.timer2().interval(), 100);
    std::vector<int> shown;
    QObject::connect(&monitor, &ProgressMonitor::progressShown,
                     [&shown](int value) { shown.push_back(value); });
    monitor.startJob(0, 10, true);
    EXPECT_TRUE(monitor.timer2().isActive());
    for (int k = 0; k < 250; ++k) {
        monitor.timer2Tick();
    }
    EXPECT_EQ(monitor.progressBase(), 250);
    EXPECT_EQ(view.positions.back(), 250) << "nothing is added twice while the timer runs";
    EXPECT_EQ(jobs.state(0), RowState::running(250));

    // The first record stops the creep; its credit stays and the encoder fills the rest.
    feed("time=00:00:05.00 bitrate=N/A\r");
    EXPECT_FALSE(monitor.timer2().isActive());
    EXPECT_EQ(view.positions.back(), 250 + 5 * (10000 - 250) / 10);
    EXPECT_EQ(monitor.lastValue(), view.positions.back());
    EXPECT_EQ(shown.size(), 251u);
    EXPECT_EQ(shown.back(), monitor.lastValue());

    monitor.showProgress(0);  // a job end returns the bar to the credit
    EXPECT_EQ(view.positions.back(), 250);
}

TEST_F(ProgressMonitorTest, NoRowMeansBarOnly) {
    monitor.startJob(1, 10);
    feed("time=5.00 bitrate=\r");
    EXPECT_EQ(view.positions, std::vector<int>{5000});
    EXPECT_EQ(jobs.state(0).kind, RowState::New);
}

TEST_F(ProgressMonitorTest, ANewRunStartsWithoutTheLastRunsCredit) {
    monitor.startJob(0, 10, true);
    for (int k = 0; k < 30; ++k) {
        monitor.timer2Tick();
    }
    monitor.endJob(0);
    monitor.startJob(0, 10);  // the next job of the same run keeps the credit
    feed("time=0.00 bitrate=\r");
    EXPECT_EQ(view.positions.back(), 30);
    monitor.startRun();
    monitor.startJob(0, 10);
    feed("time=0.00 bitrate=\r");
    EXPECT_EQ(view.positions.back(), 0);
}

TEST_F(ProgressMonitorTest, OutputWithoutLineBreaksDoesNotGrowWithoutLimit) {
    const QByteArray noise(10 * 1024, 'x');
    for (int k = 0; k < 100; ++k) {
        feed(noise);
    }
    EXPECT_LE(buffer.text().size(), LineBuffer::kMaxPendingBytes);
    feed("\rtime=1.00 bitrate=\r");
    EXPECT_EQ(view.positions.back(), 1000);
}

}  // namespace
