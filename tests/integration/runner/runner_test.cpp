#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "../../support/qt_gtest.h"
#include "../../support/test_media.h"
#include "core/engine/encoder_runner.h"
#include "core/engine/invocation.h"
#include "core/engine/job_list.h"
#include "core/engine/progress_monitor.h"

namespace {

// One conversion through the real register.dat, wired as the queue wires it: every chunk is
// parsed at once, the end is recorded.
struct Conversion {
    Conversion() : monitor(jobs) {
        JobList::Row row;
        row.caption = "clip";
        jobs.addRow(row);
        QObject::connect(&job, &EncoderJob::chunkArrived,
                         [this] { monitor.parseOutput(job.buffer()); });
        QObject::connect(&monitor, &ProgressMonitor::progressShown,
                         [this](int v) { shown.push_back(v); });
        QObject::connect(&job, &EncoderJob::ended, [this](const JobEnd& e) { ends.push_back(e); });
    }

    void run(const QString& input, const QString& output, const QString& profileArgs,
             qint32 seconds) {
        intputrec rec;
        rec.encoderPath = orvex::test::registerDatPath();
        rec.workFolder = orvex::test::binDir();
        rec.inputName = input;
        rec.outputName = output;
        rec.sizeOption = " -s 320x240";
        rec.audioOption = " -ab 64000";
        rec.rateOption = " -ar 44100 ";
        rec.channelOption = " -ac 2";
        rec.profileArgs = profileArgs;
        rec.durationSeconds = seconds;
        monitor.startRun();
        monitor.startJob(0, seconds);
        job.run(rec);
        orvex::test::waitUntil([this] { return !ends.empty(); }, 120000);
        // A second, wrong end would show up among the events queued by then.
        bool drained = false;
        QMetaObject::invokeMethod(
            &job, [&drained] { drained = true; }, Qt::QueuedConnection);
        orvex::test::waitUntil([&drained] { return drained; });
    }

    JobList jobs;
    ProgressMonitor monitor;
    EncoderJob job;
    std::vector<int> shown;
    std::vector<JobEnd> ends;
};

class RunnerIntegration : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        clip_ = dir_.filePath("clip.avi");
        ASSERT_TRUE(orvex::test::makeClip(clip_, 3.0));
    }
    QTemporaryDir dir_;
    QString clip_;
};

TEST_F(RunnerIntegration, ProgressRisesToTheEndAndTheJobEndsOnce) {
    Conversion c;
    const QString out = dir_.filePath("out.mp4");
    // The realtime filter stretches the run to about a second and a half, so FFmpeg writes
    // several progress records while it runs, as it does on real-length sources.
    c.run(clip_, out, " -vf realtime=speed=2 -vcodec libx264 -preset ultrafast -acodec aac", 3);

    ASSERT_EQ(c.ends.size(), 1u);
    EXPECT_TRUE(c.ends[0].started);
    EXPECT_EQ(c.ends[0].exitCode, 0) << c.ends[0].outputTail.toStdString();
    EXPECT_TRUE(c.ends[0].succeeded());
    EXPECT_TRUE(QFile::exists(out));
    EXPECT_EQ(orvex::test::probeStream(out, "v:0", "width"), "320");

    ASSERT_GE(c.shown.size(), 2u) << "progress is shown while the encoder runs";
    for (size_t k = 1; k < c.shown.size(); ++k) {
        EXPECT_GE(c.shown[k], c.shown[k - 1]) << "progress never goes back";
    }
    EXPECT_GE(c.shown.back(), 9900);
    EXPECT_LE(c.shown.back(), 10200);
    EXPECT_EQ(c.jobs.status(0), percentText(c.shown.back()));
    EXPECT_FALSE(c.monitor.lastSpeed().isEmpty());

    // The records the parser relies on, as this FFmpeg writes them.
    const QByteArray& tail = c.ends[0].outputTail;
    EXPECT_TRUE(tail.contains("time=00:00:0")) << tail.toStdString();
    EXPECT_TRUE(tail.contains(" bitrate="));
    EXPECT_TRUE(tail.contains('\r'));
}

TEST_F(RunnerIntegration, AMissingFfmpegEndsTheJobOnceAsAFailure) {
    const QByteArray saved = qgetenv("ORVEX_FFMPEG");
    qputenv("ORVEX_FFMPEG", "/nonexistent/ffmpeg");  // the child inherits it
    Conversion c;
    const QString out = dir_.filePath("never.mp4");
    c.run(clip_, out, " -vcodec mpeg4 -acodec aac", 3);
    if (saved.isNull()) {
        qunsetenv("ORVEX_FFMPEG");
    } else {
        qputenv("ORVEX_FFMPEG", saved);
    }
    ASSERT_EQ(c.ends.size(), 1u);
    EXPECT_FALSE(c.ends[0].succeeded());
    EXPECT_NE(c.ends[0].exitCode, 0);
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_FALSE(c.ends[0].outputTail.isEmpty()) << "the user gets a reason to read";
}

TEST_F(RunnerIntegration, StrangeFileNamesConvert) {
    const QStringList names = {
        "my clip with blanks",
        "say \"cheese\" & 'smile'; $HOME",
        "-starts with a dash",
        "Grüße 日本語 ñ",
    };
    for (const QString& name : names) {
        const QString input = dir_.filePath(name + ".avi");
        ASSERT_TRUE(QFile::copy(clip_, input)) << name.toStdString();
        const QString out = dir_.filePath(name + ".mp4");
        Conversion c;
        c.run(input, out, " -vcodec mpeg4 -acodec aac", 3);
        ASSERT_EQ(c.ends.size(), 1u) << name.toStdString();
        EXPECT_TRUE(c.ends[0].succeeded()) << name.toStdString() << "\n"
                                           << c.ends[0].outputTail.toStdString();
        EXPECT_EQ(orvex::test::probeStream(out, "v:0", "width"), "320") << name.toStdString();
        EXPECT_FALSE(c.shown.empty());
    }
}

TEST_F(RunnerIntegration, StopEndsTheJobOnceAsNotSucceeded) {
    Conversion c;
    // Slowed to real time so the job is still running when it is stopped.
    QObject::connect(&c.monitor, &ProgressMonitor::progressShown, [&c](int) {
        if (c.job.isRunning()) {
            c.job.terminate();
        }
    });
    c.run(clip_, dir_.filePath("stopped.mp4"), " -vf realtime -vcodec mpeg4 -acodec aac", 3);
    ASSERT_EQ(c.ends.size(), 1u);
    EXPECT_TRUE(c.ends[0].started);
    EXPECT_FALSE(c.ends[0].succeeded());
}

// register.dat writes AMR itself behind an FFmpeg child of its own; Stop must end both and leave
// neither the output nor register.dat's half-written temp file behind.
TEST_F(RunnerIntegration, StoppedAmrJobLeavesNoFileBehind) {
    Conversion c;
    QObject::connect(&c.monitor, &ProgressMonitor::progressShown, [&c](int) {
        if (c.job.isRunning()) {
            c.job.terminate();
        }
    });
    c.run(clip_, dir_.filePath("stopped.amr"), " -af arealtime", 3);
    ASSERT_EQ(c.ends.size(), 1u);
    EXPECT_FALSE(c.ends[0].succeeded());
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"clip.avi"});
}

}  // namespace
