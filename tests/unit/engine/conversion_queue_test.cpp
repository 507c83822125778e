#include "core/engine/conversion_queue.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "../../support/fake_user_interface.h"
#include "core/profiles/profile_catalog.h"

namespace {

// Stands in for register.dat. What it does depends on the input's name: "fail" exits 3 with a
// complaint, "slow" prints one progress line and sleeps, "empty" writes an empty output,
// "none" writes nothing; any other input gives a small output file and exit code 0.
const char kFakeEncoder[] = R"(#!/bin/sh
out=""; in=""; prev=""
for a in "$@"; do
  [ "$prev" = "-i" ] && in="$a"
  prev="$a"; out="$a"
done
case "$in" in
  *fail*) echo "boom: cannot encode $in"; exit 3 ;;
  *slow*) echo "frame=1 time=00:00:01.00 bitrate= 1.0kbits/s"; exec sleep 30 ;;
  *empty*) : > "$out"; exit 0 ;;
  *none*) exit 0 ;;
esac
printf 'time=00:00:02.00 bitrate= 1.0kbits/s\n'
printf data > "$out"
)";

class FakeMachine : public platform::MachineActions {
  public:
    bool openFolder(const QString& folder) override {
        opened << folder;
        return true;
    }
    bool powerOff() override {
        ++powerOffs;
        return true;
    }
    QStringList opened;
    int powerOffs = 0;
};

class FakeBar : public ProgressView {
  public:
    void setProgressVisible(bool v) override { visible = v; }
    void setProgressPosition(int) override {}
    bool visible = false;
};

class ConversionQueueTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        QByteArray pop;
        for (int n = 1; n <= ProfileCatalog::kLastProfile; ++n) {
            pop += "t\n320x240 640x480\n150 250 400 600 800\n -vcodec mpeg4\n";
        }
        writeFile(dir_.filePath(QStringLiteral("profiles.pop")), pop);
        encoder_ = dir_.filePath(QStringLiteral("register.dat"));
        writeFile(encoder_, kFakeEncoder);
        QFile::setPermissions(encoder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        out_ = dir_.filePath(QStringLiteral("out"));

        state_.programFileName = QStringLiteral("orvex");
        selection_ = std::make_unique<ProfileSelection>(
            state_, jobs_, platform::IniFile(dir_.filePath(QStringLiteral("pro orvex.ini"))),
            dir_.filePath(QStringLiteral("profiles.pop")));
        selection_->setCurrentProfile(118);
        ASSERT_TRUE(selection_->selectProfile(118));
        ASSERT_EQ(selection_->extension(), ".mp4");
        monitor_ = std::make_unique<ProgressMonitor>(state_, jobs_);
        monitor_->setView(&bar_);
        queue_ =
            std::make_unique<ConversionQueue>(state_, jobs_, *selection_, *monitor_, ui_, machine_);
        queue_->setEncoderPath(encoder_);
        queue_->setWorkFolder(dir_.path());
        queue_->setOutputText(out_);
        queue_->setProgressView(&bar_);
        QObject::connect(queue_.get(), &ConversionQueue::runEnded, [this](bool stopped) {
            ++runsEnded_;
            lastRunStopped_ = stopped;
        });
    }

    static void writeFile(const QString& path, const QByteArray& data) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }

    void addRows(const QStringList& names) {
        for (const QString& name : names) {
            const QString source = dir_.filePath(name);
            jobs_.addRow(FileSourcesCaption(name), {"320x240", "00:00:04", {}, "Status"},
                         {source, "320x240", "00:00:04", {}, "400", "128"});
        }
    }
    static QString FileSourcesCaption(const QString& name) { return name.section('.', 0, -2); }

    // Runs the event loop until pred holds or 10 s have passed.
    template <typename Pred>
    bool waitFor(Pred pred) {
        QElapsedTimer t;
        t.start();
        while (!pred() && t.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        }
        return pred();
    }
    bool waitForRunEnd(int runs = 1) {
        return waitFor([&] { return runsEnded_ >= runs; });
    }
    QStringList statuses() const {
        QStringList s;
        for (int row = 0; row < jobs_.rowCount(); ++row) {
            s << jobs_.status(row);
        }
        return s;
    }
    QString outName(const char* name) const { return out_ + QLatin1Char('/') + name; }

    QTemporaryDir dir_;
    QString encoder_;
    QString out_;
    AppState state_;
    JobList jobs_;
    orvex::test::FakeUserInterface ui_;
    FakeMachine machine_;
    FakeBar bar_;
    std::unique_ptr<ProfileSelection> selection_;
    std::unique_ptr<ProgressMonitor> monitor_;
    std::unique_ptr<ConversionQueue> queue_;
    int runsEnded_ = 0;
    bool lastRunStopped_ = false;
};

TEST_F(ConversionQueueTest, NamesNeverCollideWithFilesOrEachOther) {
    addRows({"clip.avi", "clip.mpg", "other.avi", "noext"});
    ASSERT_TRUE(QDir().mkdir(out_));
    writeFile(outName("other.mp4"), "old");
    state_.finishAction = 1;
    ASSERT_TRUE(queue_->convert());
    EXPECT_TRUE(bar_.visible);
    ASSERT_TRUE(waitForRunEnd());
    EXPECT_EQ(statuses(), (QStringList{"Finish", "Finish", "Finish", "Finish"}));
    QStringList names;
    for (const JobResult& r : queue_->results()) {
        names << r.outputName;
        EXPECT_EQ(r.outcome, JobResult::Finished);
    }
    EXPECT_EQ(names, (QStringList{outName("clip.mp4"), outName("clip_1.mp4"),
                                  outName("other_1.mp4"), outName("noext.mp4")}));
    EXPECT_EQ(QFile(outName("other.mp4")).size(), 3);  // never overwritten
    EXPECT_FALSE(state_.converting);
    EXPECT_FALSE(bar_.visible);
    EXPECT_FALSE(lastRunStopped_);
    EXPECT_EQ(state_.outputFolder, out_ + QLatin1Char('/'));
    EXPECT_EQ(machine_.opened, QStringList{out_ + QLatin1Char('/')});

    // A second run converts every row again, next to the files of the first.
    ASSERT_TRUE(queue_->convert());
    ASSERT_TRUE(waitForRunEnd(2));
    EXPECT_EQ(queue_->results()[0].outputName, outName("clip_2.mp4"));
}

TEST_F(ConversionQueueTest, FailedJobsAreReportedAndTheRunGoesOn) {
    addRows({"a.avi", "fail.avi", "none.avi", "empty.avi", "e.avi"});
    state_.finishAction = 2;
    ASSERT_TRUE(queue_->convert());
    ASSERT_TRUE(waitForRunEnd());
    EXPECT_EQ(statuses(), (QStringList{"Finish", "Failed", "Failed", "Failed", "Finish"}));
    const JobResult& failed = queue_->results()[1];
    EXPECT_EQ(failed.outcome, JobResult::Failed);
    EXPECT_TRUE(failed.error.contains(QLatin1String("code 3")));
    EXPECT_TRUE(failed.outputTail.contains("boom: cannot encode"));
    EXPECT_TRUE(queue_->results()[2].error.contains(QLatin1String("no output")));
    EXPECT_TRUE(queue_->results()[3].error.contains(QLatin1String("empty")));
    // The run ended on its own, so the finish action is carried out (the fake records it).
    EXPECT_EQ(machine_.powerOffs, 1);
}

TEST_F(ConversionQueueTest, AnEncoderThatCannotStartFailsEveryJob) {
    addRows({"a.avi", "b.avi"});
    queue_->setEncoderPath(dir_.filePath(QStringLiteral("missing-encoder")));
    ASSERT_TRUE(queue_->convert());
    ASSERT_TRUE(waitForRunEnd());
    EXPECT_EQ(statuses(), (QStringList{"Failed", "Failed"}));
    EXPECT_FALSE(queue_->results()[0].error.isEmpty());
    EXPECT_FALSE(state_.converting);
}

TEST_F(ConversionQueueTest, StopInTheMiddleLeavesLaterRowsAlone) {
    addRows({"a.avi", "slow.avi", "c.avi"});
    state_.finishAction = 1;
    QObject::connect(queue_.get(), &ConversionQueue::jobStarted, [this](int row) {
        if (row == 1) {
            // Let the encoder start before it is stopped.
            QTimer::singleShot(200, queue_.get(), [this] { queue_->stop(); });
        }
    });
    ASSERT_TRUE(queue_->convert());
    ASSERT_TRUE(waitForRunEnd());
    EXPECT_TRUE(lastRunStopped_);
    EXPECT_EQ(statuses(), (QStringList{"Finish", "Stop", "Status"}));
    EXPECT_EQ(queue_->results()[1].outcome, JobResult::Stopped);
    EXPECT_EQ(queue_->results()[2].outcome, JobResult::NotRun);
    EXPECT_FALSE(state_.converting);
    EXPECT_FALSE(bar_.visible);
    // The stopped job's end arrives later and changes nothing.
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 300) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_EQ(statuses(), (QStringList{"Finish", "Stop", "Status"}));
    EXPECT_EQ(runsEnded_, 1);
    EXPECT_TRUE(machine_.opened.isEmpty());
    queue_->stop();  // no run: nothing happens
    EXPECT_EQ(runsEnded_, 1);
}

TEST_F(ConversionQueueTest, StopDuringTheLastJobNeverPowersOff) {
    addRows({"a.avi", "slow.avi"});
    state_.finishAction = 2;
    QObject::connect(queue_.get(), &ConversionQueue::jobStarted, [this](int row) {
        if (row == 1) {
            QTimer::singleShot(100, queue_.get(), [this] { queue_->stop(); });
        }
    });
    ASSERT_TRUE(queue_->convert());
    ASSERT_TRUE(waitForRunEnd());
    EXPECT_EQ(statuses(), (QStringList{"Finish", "Stop"}));
    QCoreApplication::processEvents(QEventLoop::AllEvents, 300);
    EXPECT_EQ(machine_.powerOffs, 0);
}

TEST_F(ConversionQueueTest, LateEndOfAStoppedJobNeverTouchesANewRun) {
    addRows({"slow.avi"});
    ASSERT_TRUE(queue_->convert());
    ASSERT_TRUE(waitFor([this] { return jobs_.status(0) != "Status"; }));
    queue_->stop();
    ASSERT_TRUE(queue_->convert());  // before the stopped encoder's end has been handled
    // The killed encoder's end comes in now; the new run must go on undisturbed.
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 500) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_TRUE(state_.converting);
    EXPECT_EQ(queue_->results()[0].outcome, JobResult::Running);
    EXPECT_NE(jobs_.status(0), "Failed");
    queue_->stop();
    EXPECT_EQ(jobs_.status(0), "Stop");
    EXPECT_EQ(runsEnded_, 2);
}

TEST_F(ConversionQueueTest, RefusalsChangeNothing) {
    EXPECT_FALSE(queue_->convert());  // empty list: nothing at all
    EXPECT_TRUE(ui_.warnings.isEmpty());
    EXPECT_FALSE(bar_.visible);

    addRows({"a.avi"});
    state_.playing = true;
    state_.converting = true;
    EXPECT_FALSE(queue_->convert());
    state_.playing = false;
    EXPECT_FALSE(queue_->convert());
    state_.converting = false;
    state_.probing = true;
    EXPECT_FALSE(queue_->convert());
    state_.probing = false;
    queue_->setOutputText(QStringLiteral("  "));
    EXPECT_FALSE(queue_->convert());
    ASSERT_EQ(ui_.warnings.size(), 4);
    EXPECT_EQ(ui_.warnings[0], "Please first stop play!");
    EXPECT_EQ(ui_.warnings[1], "Please first stop convert!");
    EXPECT_TRUE(ui_.warnings[3].contains(QLatin1String("output folder")));
    EXPECT_EQ(statuses(), QStringList{"Status"});
    EXPECT_FALSE(state_.converting);
    EXPECT_FALSE(QFileInfo::exists(out_));
}

TEST_F(ConversionQueueTest, OutputFolderIsCreatedOneLevelOnly) {
    addRows({"a.avi", "b.avi"});
    queue_->setOutputText(dir_.filePath(QStringLiteral("missing/deeper")));
    ASSERT_TRUE(queue_->convert());
    ASSERT_TRUE(waitForRunEnd());
    EXPECT_EQ(statuses(), (QStringList{"Failed", "Failed"}));
    EXPECT_EQ(ui_.errors.size(), 1);  // said once per run, not per job
    EXPECT_FALSE(QFileInfo::exists(dir_.filePath(QStringLiteral("missing"))));
}

TEST(OutputNamingTest, ReservesNamesAndReplacesTheExtension) {
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    OutputNaming naming;
    EXPECT_EQ(naming.chooseName(folder, "a.b.avi", "a.b", ".mp4"), folder + "a.b.mp4");
    EXPECT_EQ(naming.chooseName(folder, "a.b.mpg", "a.b", ".mp4"), folder + "a.b_1.mp4");
    EXPECT_EQ(naming.chooseName(folder, "x y", "x y", ".mp4"), folder + "x y.mp4");
    naming.reset();
    EXPECT_EQ(naming.chooseName(folder, "a.b.avi", "a.b", ".mp4"), folder + "a.b.mp4");

    const OutputNaming::Folder relative = OutputNaming::prepareFolder("rel", false);
    EXPECT_TRUE(QDir::isAbsolutePath(relative.path));
    EXPECT_TRUE(relative.path.endsWith(QLatin1String("/rel/")));
    EXPECT_FALSE(QFileInfo::exists(relative.path));  // not created when asked not to
    EXPECT_FALSE(OutputNaming::prepareFolder("", true).error.isEmpty());
    const OutputNaming::Folder made = OutputNaming::prepareFolder(folder + "new//", true);
    EXPECT_EQ(made.path, folder + "new/");
    EXPECT_TRUE(QFileInfo(made.path).isDir());
}

}  // namespace
