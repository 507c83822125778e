#include "core/engine/encoder_runner.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <csignal>
#include <optional>
#include <vector>

#include <sys/types.h>

#include "../../support/qt_gtest.h"

using orvex::test::waitUntil;

namespace {

// Collects everything one job reports.
struct Watcher {
    explicit Watcher(EncoderJob& job) {
        QObject::connect(&job, &EncoderJob::ended, [this, &job](const JobEnd& end) {
            ends.push_back(end);
            bufferAtEnd = job.buffer().text();
        });
        QObject::connect(&job, &EncoderJob::chunkArrived, [this] { ++chunks; });
    }
    // Runs the event loop until the job has ended (or the time is up), then until every event
    // queued by then has been handled, so that a second, wrong end would be seen.
    void waitForEnd(int timeoutMs = 10000) {
        waitUntil([this] { return !ends.empty(); }, timeoutMs);
        drain();
    }
    static void drain() {
        bool reached = false;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [&reached] { reached = true; }, Qt::QueuedConnection);
        waitUntil([&reached] { return reached; });
    }
    std::vector<JobEnd> ends;
    QByteArray bufferAtEnd;
    int chunks = 0;
};

class EncoderJobTest : public ::testing::Test {};

TEST_F(EncoderJobTest, ExitStatusIsReportedOnce) {
    const struct {
        const char* program;
        QStringList args;
        int exitCode;
    } cases[] = {
        {"true", {}, 0},
        {"false", {}, 1},
        {"sh", {"-c", "exit 7"}, 7},
    };
    for (const auto& c : cases) {
        EncoderJob job;
        Watcher w(job);
        job.launch(c.program, c.args, QDir::tempPath());
        w.waitForEnd();
        ASSERT_EQ(w.ends.size(), 1u) << c.program;
        EXPECT_TRUE(w.ends[0].started);
        EXPECT_FALSE(w.ends[0].crashed);
        EXPECT_EQ(w.ends[0].exitCode, c.exitCode);
        EXPECT_EQ(w.ends[0].succeeded(), c.exitCode == 0);
        EXPECT_TRUE(job.hasEnded());
        EXPECT_FALSE(job.isRunning());
    }
}

TEST_F(EncoderJobTest, AMissingProgramEndsOnceAsAFailureAfterLaunchReturns) {
    EncoderJob job;
    Watcher w(job);
    job.launch("/nonexistent/register.dat", {"-y"}, QDir::tempPath());
    EXPECT_TRUE(w.ends.empty()) << "the end must not arrive inside launch()";
    job.terminate();  // a Stop right after: still one end only
    w.waitForEnd();
    ASSERT_EQ(w.ends.size(), 1u);
    EXPECT_FALSE(w.ends[0].started);
    EXPECT_FALSE(w.ends[0].succeeded());
    EXPECT_TRUE(w.ends[0].errorText.contains("/nonexistent/register.dat"))
        << w.ends[0].errorText.toStdString();
    job.terminate();
    Watcher::drain();
    EXPECT_EQ(w.ends.size(), 1u);
}

TEST_F(EncoderJobTest, OutputIsMergedAndDrainedBeforeTheEnd) {
    EncoderJob job;
    Watcher w(job);
    // Standard output and error interleaved, then a quick exit: every byte must reach the
    // buffer before ended() so that the last progress lines are not lost.
    job.launch("sh", {"-c", "seq 1 20000; echo to-stderr >&2; printf last"}, QDir::tempPath());
    w.waitForEnd();
    ASSERT_EQ(w.ends.size(), 1u);
    EXPECT_TRUE(w.bufferAtEnd.endsWith("20000\nto-stderr\nlast"));
    EXPECT_TRUE(w.bufferAtEnd.startsWith("1\n2\n3\n"));
    EXPECT_GT(w.chunks, 1) << "handed over in bounded pieces";
    const QByteArray& tail = w.ends[0].outputTail;
    EXPECT_EQ(tail.size(), EncoderJob::kTailBytes);
    EXPECT_TRUE(tail.endsWith("to-stderr\nlast"));
}

TEST_F(EncoderJobTest, ANulCutsTheRestOfItsChunk) {
    EncoderJob job;
    Watcher w(job);
    job.launch("printf", {"ab\\000cd\\n"}, QDir::tempPath());
    w.waitForEnd();
    ASSERT_EQ(w.ends.size(), 1u);
    EXPECT_EQ(w.bufferAtEnd, QByteArray("ab"));
    EXPECT_EQ(w.ends[0].outputTail, QByteArray("ab\0cd\n", 6)) << "the tail keeps raw bytes";
}

TEST_F(EncoderJobTest, ArgumentsReachTheProgramWholeInItsWorkFolder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EncoderJob job;
    Watcher w(job);
    const QStringList args = {"%s|", "a b", "$HOME", ";", "&&", "\"q\"", "-x", "ü日"};
    job.launch("printf", args, dir.path());
    w.waitForEnd();
    ASSERT_EQ(w.ends.size(), 1u);
    EXPECT_EQ(QString::fromUtf8(w.bufferAtEnd), "a b|$HOME|;|&&|\"q\"|-x|ü日|");

    EncoderJob pwd;
    Watcher wp(pwd);
    pwd.launch("pwd", {}, dir.path());
    wp.waitForEnd();
    EXPECT_EQ(QString::fromUtf8(wp.bufferAtEnd).trimmed(), QDir(dir.path()).canonicalPath());
}

TEST_F(EncoderJobTest, StandardInputStaysOpenAndUnwritten) {
    // cat ends at once when its input is closed; with an open, unwritten pipe it waits.
    EncoderJob job;
    Watcher w(job);
    job.launch("cat", {}, QDir::tempPath());
    EXPECT_FALSE(waitUntil([&w] { return !w.ends.empty(); }, 300)) << "cat saw its input end";
    EXPECT_TRUE(job.isRunning());
    EXPECT_TRUE(w.ends.empty());
    job.terminate();
    w.waitForEnd();
    ASSERT_EQ(w.ends.size(), 1u);
    EXPECT_TRUE(w.ends[0].started);
    EXPECT_TRUE(w.ends[0].crashed) << "a stopped job is not a success";
    EXPECT_FALSE(w.ends[0].succeeded());
}

TEST_F(EncoderJobTest, RunUsesTheRecordsProgramAndArguments) {
    intputrec rec;
    rec.encoderPath = "echo";
    rec.workFolder = QDir::tempPath();
    rec.inputName = "in put";
    rec.outputName = "/o/out.mp4";
    rec.channelOption = " -ac 2";
    EncoderJob job;
    Watcher w(job);
    job.run(rec);
    w.waitForEnd();
    ASSERT_EQ(w.ends.size(), 1u);
    EXPECT_EQ(w.bufferAtEnd, "-y -i in put -ac 2 /o/out.mp4\n");
}

TEST_F(EncoderJobTest, DestroyingARunningJobReapsItAndStaysSilent) {
    qint64 pid = 0;
    bool heard = false;
    {
        auto* job = new EncoderJob;
        QObject::connect(job, &EncoderJob::ended, [&heard](const JobEnd&) { heard = true; });
        job->launch("sleep", {"30"}, QDir::tempPath());
        auto* process = job->findChild<QProcess*>();
        ASSERT_NE(process, nullptr);
        ASSERT_TRUE(waitUntil([process] { return process->state() == QProcess::Running; }));
        pid = process->processId();
        ASSERT_GT(pid, 0);
        QElapsedTimer t;
        t.start();
        delete job;
        EXPECT_LT(t.elapsed(), 3000);
    }
    Watcher::drain();
    EXPECT_FALSE(heard);
    // Reaped: not even a zombie is left under that number.
    EXPECT_EQ(::kill(static_cast<pid_t>(pid), 0), -1);
}

TEST_F(EncoderJobTest, OneJobRunsOneProcess) {
    EncoderJob job;
    Watcher w(job);
    job.launch("true", {}, QDir::tempPath());
    job.launch("false", {}, QDir::tempPath());
    w.waitForEnd();
    ASSERT_EQ(w.ends.size(), 1u);
    EXPECT_EQ(w.ends[0].exitCode, 0);
}

}  // namespace
