#include "core/engine/conversion_queue.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "../../support/fake_machine.h"
#include "../../support/fake_user_interface.h"
#include "../../support/qt_gtest.h"
#include "core/engine/run_outcome.h"
#include "core/profiles/profile_catalog.h"
#include "core/shell/session.h"
#include "platform/file_system.h"

using orvex::test::waitUntil;

namespace {

// Stands in for register.dat. A probe ("-i FILE" alone) reads an output back: 1.5 s when it was
// made from a "short" input, else 4 s; measuring a source's sound ("-f null") gives 1.5 s for
// a "shortsound" input, else 4 s. A job depends on the input's name: "fail" writes a part
// and exits 3 with a complaint, "killed" writes a part and is killed, "slow" writes a part, prints
// one progress line and sleeps, "hang" sleeps without a word, "chatty" repeats one position for
// ever, "steady" advances for 2 s before it finishes, "empty" writes an empty output, "none" writes
// nothing, "wN-" takes N tenths of a second, a tenth of a second of the source in each, and notes
// the -threads it was given beside its input; any other input prints a progress line at 2 of 4
// seconds and writes its input's name into the output.
const char kFakeEncoder[] = R"sh(#!/bin/sh
if [ $# -eq 2 ]; then
  case "$(cat "$2")" in *short*) d=00:00:01.50 ;; *) d=00:00:04.00 ;; esac
  echo "  Duration: $d, start: 0.000000, bitrate: 100 kb/s"; exit 1
fi
case "$*" in *null*)
  case "$2" in *shortsound*) t=00:00:01.50 ;; *) t=00:00:04.00 ;; esac
  echo "size=N/A time=$t bitrate=N/A speed=99x"; exit 0 ;;
esac
out=""; in=""; prev=""; threads=""
for a in "$@"; do
  [ "$prev" = "-i" ] && in="$a"
  [ "$prev" = "-threads" ] && threads="$a"
  prev="$a"; out="$a"
done
case "$in" in
  *fail*) printf part > "$out"; echo "boom: cannot encode $in"; exit 3 ;;
  *killed*) printf part > "$out"; kill -9 $$ ;;
  *slow*) printf part > "$out"; echo "frame=1 time=00:00:01.00 bitrate= 1.0kbits/s"; exec sleep 30 ;;
  *hang*) exec sleep 30 ;;
  *chatty*) while :; do echo "frame=1 time=00:00:01.00 bitrate= 1.0kbits/s"; sleep 0.1; done ;;
  *steady*) for t in 10 11 12 13 14 15 16 17 18 19; do echo "time=00:00:$t.00 bitrate=N/A"; sleep 0.2; done ;;
  *empty*) : > "$out"; exit 0 ;;
  *none*) exit 0 ;;
  */w[0-9]*-*) t=${in##*/w}; t=${t%%-*}; i=0
    while [ $i -lt "$t" ]; do
      i=$((i + 1)); echo "time=00:00:0$((i / 10)).$((i % 10))0 bitrate=N/A"; sleep 0.1
    done
    [ -n "$threads" ] && printf '%s' "$threads" > "$in.threads" ;;
esac
printf 'time=00:00:02.00 bitrate= 1.0kbits/s\n'
printf '%s' "$in" > "$out"
)sh";

class ConversionQueueTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        QByteArray pop;
        for (int n = 1; n <= ProfileCatalog::kLastProfile; ++n) {
            pop += "t\n320x240 640x480\n150 250 400 600 800\n -vcodec mpeg4\n";
        }
        writeFile(dir_.filePath("profiles.pop"), pop);
        const QString encoder = dir_.filePath("register.dat");
        writeFile(encoder, kFakeEncoder);
        QFile::setPermissions(encoder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        out_ = dir_.filePath("out");

        SessionConfig config;
        config.programFileName = "orvex";
        config.folders = platform::ProgramFolders::inOne(dir_.path());
        config.choices = std::make_unique<ReadOnlyChoicesStore>(
            platform::IniFile(dir_.filePath("pro orvex.ini")));
        config.settings = Settings(platform::IniFile(dir_.filePath("orvex.ini")));
        session_ = std::make_unique<Session>(std::move(config), ui_, machine_);
        ASSERT_TRUE(session_->loadSettings(118));
        ASSERT_EQ(session_->selection().extension(), ".mp4");
        queue().setJobsAtOnce(1);
        queue().setOutputText(out_);
        QObject::connect(&queue(), &ConversionQueue::runEnded, [this](bool stopped) {
            ++runsEnded_;
            lastRunStopped_ = stopped;
        });
        QObject::connect(&queue(), &ConversionQueue::powerOffDue, [this] { ++powerOffs_; });
        QObject::connect(&session_->progress(), &ProgressMonitor::progressShown,
                         [this](int value) { shown_.push_back(value); });
    }

    ConversionQueue& queue() { return session_->queue(); }
    JobList& jobs() { return session_->jobs(); }

    static void writeFile(const QString& path, const QByteArray& data) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }

    void addFiles(const QStringList& names, bool hasAudio = true, bool hasVideo = true) {
        for (const QString& name : names) {
            JobList::Row row;
            row.caption = name.section('.', 0, -2).isEmpty() ? name : name.section('.', 0, -2);
            row.info = {dir_.filePath(name), "320x240", "00:00:04", {}, "400", "128"};
            row.source = FileSource{row.info.source, hasVideo, hasAudio};
            jobs().addRow(row);
        }
    }
    // A DVD title row of 4 seconds; checked or not.
    void addTitle(const QString& caption, bool checked, int startSector = 0) {
        JobList::Row row;
        row.caption = caption;
        row.info = {{}, "720x576", "00:00:04", {}, {}, {}};
        TConvertInfo title;
        title.startSector = startSector;
        title.endSector = startSector + 2000;
        title.ifoPath = "/discs/one/VIDEO_TS/VTS_01_0.IFO";
        row.source = title;
        row.state.kind = RowState::Ready;
        row.checked = checked;
        jobs().addRow(row);
    }

    bool waitForRunEnd(int runs = 1) {
        return waitUntil([&] { return runsEnded_ >= runs; });
    }
    bool runningAt(int row, int progress) {
        return jobs().state(row).kind == RowState::Running &&
               jobs().state(row).progress == progress;
    }
    // What the status column reads, row by row.
    QStringList statuses() {
        QStringList s;
        for (int row = 0; row < jobs().rowCount(); ++row) {
            s << jobs().status(row);
        }
        return s;
    }
    using Kinds = QList<RowState::Kind>;
    Kinds kinds() {
        Kinds k;
        for (int row = 0; row < jobs().rowCount(); ++row) {
            k << jobs().state(row).kind;
        }
        return k;
    }
    QString outName(const char* name) const { return out_ + '/' + name; }
    // Every file in the output folder, hidden ones included.
    QStringList outputFiles() const {
        return QDir(out_).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }
    static QByteArray contentOf(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
    QString out_;
    orvex::test::FakeUserInterface ui_;
    orvex::test::FakeMachine machine_;
    std::unique_ptr<Session> session_;
    int runsEnded_ = 0;
    bool lastRunStopped_ = false;
    int powerOffs_ = 0;
    std::vector<int> shown_;
};

TEST_F(ConversionQueueTest, NamesNeverCollideWithFilesOrEachOther) {
    addFiles({"clip.avi", "clip.mpg", "other.avi", "noext"});
    ASSERT_TRUE(QDir().mkdir(out_));
    writeFile(outName("other.mp4"), "old");
    queue().setFinishAction(FinishAction::OpenFolder);
    ASSERT_TRUE(queue().convert());
    EXPECT_TRUE(queue().converting());
    ASSERT_TRUE(waitForRunEnd());
    EXPECT_EQ(kinds(), (Kinds{RowState::Finished, RowState::Finished, RowState::Finished,
                              RowState::Finished}));
    QStringList names;
    for (int row = 0; row < 4; ++row) {
        names << jobs().state(row).outputName;
    }
    EXPECT_EQ(names, (QStringList{outName("clip.mp4"), outName("clip_1.mp4"),
                                  outName("other_1.mp4"), outName("noext.mp4")}));
    EXPECT_EQ(contentOf(outName("other.mp4")), "old");  // never overwritten
    EXPECT_EQ(contentOf(outName("clip_1.mp4")), dir_.filePath("clip.mpg").toUtf8());
    EXPECT_FALSE(queue().converting());
    EXPECT_FALSE(lastRunStopped_);
    EXPECT_EQ(queue().outputFolder(), out_ + '/');
    EXPECT_EQ(machine_.opened, QStringList{out_ + '/'});

    // A second run converts every row again, next to the files of the first.
    ASSERT_TRUE(queue().convert());
    ASSERT_TRUE(waitForRunEnd(2));
    EXPECT_EQ(jobs().state(0).outputName, outName("clip_2.mp4"));
}

TEST_F(ConversionQueueTest, EachJobEndReturnsTheBarToItsStart) {
    addFiles({"a.avi", "b.avi"});
    // Credit left over from an earlier run must not count in this one.
    for (int k = 0; k < 50; ++k) {
        session_->progress().timer2Tick();
    }
    shown_.clear();
    ASSERT_TRUE(queue().convert());
    ASSERT_TRUE(waitForRunEnd());
    EXPECT_EQ(shown_, (std::vector<int>{5000, 0, 5000, 0}));
}

TEST_F(ConversionQueueTest, FailedJobsAreReportedAndTheRunGoesOn) {
    addFiles({"a.avi", "fail.avi", "none.avi", "empty.avi", "short.avi", "e.avi"});
    queue().setFinishAction(FinishAction::PowerOff);
    ASSERT_TRUE(queue().convert());
    ASSERT_TRUE(waitForRunEnd());
    EXPECT_EQ(kinds(), (Kinds{RowState::Finished, RowState::Failed, RowState::Failed,
                              RowState::Failed, RowState::Failed, RowState::Finished}));
    const RowState& failed = jobs().state(1);
    EXPECT_TRUE(failed.reason.contains("code 3"));
    EXPECT_EQ(failed.outputTail, QStringList{"boom: cannot encode " + dir_.filePath("fail.avi")});
    EXPECT_TRUE(jobs().state(2).reason.contains("no output"));
    EXPECT_TRUE(jobs().state(3).reason.contains("no output"));
    // The encoder ended well, but the file it left is far shorter than its source.
    EXPECT_EQ(jobs().state(4).reason,
              "the output is 1.5 s of the 4 s source; the source may have changed or be damaged");
    // The activity log tells of each job: the failed one's command line as started, its exit
    // code and its last words.
    const QString log = session_->activityLog().lines().join('\n');
    const QString failedJob = log.section("Job 2 of 6: fail", 1).section("Job 3 of 6", 0, 0);
    EXPECT_TRUE(failedJob.contains("command: " + dir_.filePath("register.dat") + " -y -i " +
                                   dir_.filePath("fail.avi") + " -r "))
        << failedJob.toStdString();
    EXPECT_TRUE(failedJob.contains("encoder ended: exit code 3"));
    EXPECT_TRUE(failedJob.contains("| boom: cannot encode"));
    EXPECT_TRUE(log.contains("read back: the output is 1.5 s of the 4 s source;"));
    EXPECT_TRUE(log.contains("Run ended: 2 converted, 4 failed"));
    // What the failed jobs wrote is gone; nothing else was left in the folder.
    EXPECT_EQ(outputFiles(), (QStringList{"a.mp4", "e.mp4"}));
    // The run ended on its own: the power-off is due, for the front end to count down.
    EXPECT_EQ(powerOffs_, 1);
    EXPECT_EQ(machine_.powerOffs, 0) << "the core never powers off by itself";
    EXPECT_TRUE(ui_.warnings.isEmpty() && ui_.errors.isEmpty()) << "a run never asks anything";
}

TEST_F(ConversionQueueTest, RowsThatCannotBeAssembledFailWithTheirReason) {
    addFiles({"a.avi"});
    addFiles({"silent.avi"}, false);
    // Audio only: a short output is whole when the source's own sound is as short.
    addFiles({"short.avi", "shortsound.avi"});
    ASSERT_TRUE(session_->selection().selectProfile(17));  // MP3: audio only
    ASSERT_TRUE(queue().convert());
    ASSERT_TRUE(waitForRunEnd());
    EXPECT_EQ(kinds(),
              (Kinds{RowState::Finished, RowState::Failed, RowState::Failed, RowState::Finished}));
    EXPECT_EQ(jobs().state(1).reason, "the source has no audio");
    EXPECT_TRUE(jobs().state(2).reason.startsWith("the output is 1.5 s of the 4 s source"));
    while (jobs().rowCount() > 2) {
        jobs().setSelection({jobs().rowCount() - 1});
        jobs().removeSelected();
    }
    // A video profile fails a source without a picture at the start; a 320x240 picture made
    // 640x480 is said in the row.
    addFiles({"song.mp3"}, true, false);
    ASSERT_TRUE(session_->selection().selectProfile(118));
    session_->selection().sizeList().userSelect(1);
    ASSERT_TRUE(queue().convert());
    ASSERT_TRUE(waitForRunEnd(2));
    EXPECT_EQ(kinds(), (Kinds{RowState::Finished, RowState::Finished, RowState::Failed}));
    EXPECT_EQ(jobs().state(2).reason, "the source has no video");
    EXPECT_EQ(jobs().row(0).note, "the picture is enlarged from 320x240 to 640x480");

    queue().setEncoderPath(dir_.filePath("missing-encoder"));
    ASSERT_TRUE(queue().convert());
    ASSERT_TRUE(waitForRunEnd(3));
    EXPECT_EQ(kinds(), (Kinds{RowState::Failed, RowState::Failed, RowState::Failed}));
    EXPECT_TRUE(jobs().state(0).reason.contains("missing-encoder"));
}

TEST_F(ConversionQueueTest, StopInTheMiddleLeavesLaterRowsAlone) {
    addFiles({"a.avi", "slow.avi", "c.avi"});
    queue().setFinishAction(FinishAction::OpenFolder);
    QObject::connect(&queue(), &ConversionQueue::jobStarted, [this](int row) {
        if (row == 1) {
            QTimer::singleShot(100, &queue(), [this] { queue().stop(); });
        }
    });
    ASSERT_TRUE(queue().convert());
    ASSERT_TRUE(waitForRunEnd());
    EXPECT_TRUE(lastRunStopped_);
    EXPECT_EQ(kinds(), (Kinds{RowState::Finished, RowState::Stopped, RowState::New}));
    EXPECT_FALSE(queue().converting());
    // The stopped job's end arrives later and changes nothing.
    EXPECT_FALSE(
        waitUntil([this] { return kinds()[1] != RowState::Stopped || runsEnded_ > 1; }, 500));
    EXPECT_TRUE(machine_.opened.isEmpty());
    queue().stop();  // no run: nothing happens
    EXPECT_EQ(runsEnded_, 1);
    // Once the stopped encoder is gone, so is what it had written.
    ASSERT_TRUE(waitUntil([this] { return !queue().windingDown(); }));
    EXPECT_EQ(outputFiles(), QStringList{"a.mp4"});
}

TEST_F(ConversionQueueTest, AFileThatAppearsDuringAJobIsNeverReplaced) {
    addFiles({"a.avi", "b.avi"});
    ASSERT_TRUE(QDir().mkdir(out_));
    // Another run or program takes the names the jobs were given while they encode.
    QObject::connect(&queue(), &ConversionQueue::jobStarted, [this](int row) {
        const QString name = jobs().state(row).outputName;
        writeFile(name, "theirs");
        if (row == 1) {
            writeFile(outName("b_1.mp4"), "theirs too");
        }
    });
    ASSERT_TRUE(queue().convert());
    ASSERT_TRUE(waitForRunEnd());
    EXPECT_EQ(kinds(), (Kinds{RowState::Finished, RowState::Finished}));
    EXPECT_EQ(jobs().state(0).outputName, outName("a_1.mp4"));
    EXPECT_EQ(jobs().state(1).outputName, outName("b_2.mp4"));
    EXPECT_EQ(contentOf(outName("a.mp4")), "theirs");
    EXPECT_EQ(contentOf(outName("b.mp4")), "theirs");
    EXPECT_EQ(contentOf(outName("b_1.mp4")), "theirs too");
    EXPECT_EQ(contentOf(outName("b_2.mp4")), dir_.filePath("b.avi").toUtf8());
    EXPECT_EQ(outputFiles().size(), 5);
}

TEST_F(ConversionQueueTest, AnEncoderThatMakesNoProgressFailsItsJobAndTheRunGoesOn) {
    // Silent, silent after one position, and talking without getting anywhere all fail;
    // getting somewhere slowly for longer than the limit does not.
    addFiles({"hang.avi", "slow.avi", "chatty.avi", "steady.avi"});
    queue().setStallLimitMs(1500);  // shorter than "steady", long enough for a loaded machine
    ASSERT_TRUE(queue().convert());
    ASSERT_TRUE(waitForRunEnd());
    EXPECT_EQ(kinds(),
              (Kinds{RowState::Failed, RowState::Failed, RowState::Failed, RowState::Finished}));
    for (int row = 0; row < 3; ++row) {
        EXPECT_TRUE(jobs().state(row).reason.contains("made no progress"))
            << jobs().state(row).reason.toStdString();
    }
    EXPECT_EQ(outputFiles(), QStringList{"steady.mp4"});
}

TEST_F(ConversionQueueTest, QuittingDuringAJobEndsTheEncoderAndLeavesNoFile) {
    addFiles({"slow.avi"});
    ASSERT_TRUE(queue().convert());
    ASSERT_TRUE(waitUntil([this] { return runningAt(0, 2500); }));
    ASSERT_EQ(outputFiles().size(), 1);  // the temporary file, under no final name
    EXPECT_FALSE(outputFiles()[0] == "slow.mp4");
    session_.reset();  // a front end that quits without waiting
    EXPECT_TRUE(outputFiles().isEmpty());
}

TEST_F(ConversionQueueTest, StopDuringTheLastJobNeverPowersOff) {
    addFiles({"a.avi", "slow.avi"});
    queue().setFinishAction(FinishAction::PowerOff);
    QObject::connect(&queue(), &ConversionQueue::jobStarted, [this](int row) {
        if (row == 1) {
            QTimer::singleShot(100, &queue(), [this] { queue().stop(); });
        }
    });
    ASSERT_TRUE(queue().convert());
    ASSERT_TRUE(waitForRunEnd());
    EXPECT_EQ(kinds(), (Kinds{RowState::Finished, RowState::Stopped}));
    EXPECT_FALSE(waitUntil([this] { return powerOffs_ > 0; }, 300));
}

TEST_F(ConversionQueueTest, LateEndOfAStoppedJobNeverTouchesANewRun) {
    addFiles({"slow.avi"});
    ASSERT_TRUE(queue().convert());
    ASSERT_TRUE(waitUntil([this] { return runningAt(0, 2500); }));
    queue().stop();
    ASSERT_TRUE(queue().convert());  // before the stopped encoder's end has been handled
    // The killed encoder's end comes in now; the new run must go on undisturbed.
    EXPECT_FALSE(waitUntil([this] { return !queue().converting(); }, 500));
    EXPECT_EQ(jobs().state(0).kind, RowState::Running);
    queue().stop();
    EXPECT_EQ(jobs().state(0).kind, RowState::Stopped);
    EXPECT_EQ(runsEnded_, 2);
}

TEST_F(ConversionQueueTest, DvdRowsRunFromTheirLocatorAndUntickedOnesArePassedOver) {
    addTitle("Title_01", false, 0);
    addTitle("Title_02", true, 5000);
    addTitle("  Chapter_01", true, 7000);
    addTitle("Title_04", false, 9000);
    queue().setFinishAction(FinishAction::OpenFolder);
    ASSERT_TRUE(queue().convert());
    EXPECT_TRUE(session_->progress().timer2().isActive()) << "a DVD job creeps until progress";
    ASSERT_TRUE(waitForRunEnd());
    EXPECT_EQ(kinds(),
              (Kinds{RowState::Ready, RowState::Finished, RowState::Finished, RowState::Ready}));
    EXPECT_EQ(jobs().state(1).outputName, outName("Title_02.mp4"));
    EXPECT_EQ(jobs().state(2).outputName, outName("Chapter_01.mp4"));
    EXPECT_EQ(contentOf(outName("Title_02.mp4")), "vts://01*5000*7000*0*0*//discs/one");
    EXPECT_FALSE(session_->progress().timer2().isActive());
    EXPECT_EQ(machine_.opened.size(), 1);

    // Nothing ticked: every row is passed over and the run ends as usual.
    jobs().setAllChecked(false);
    ASSERT_TRUE(queue().convert());
    ASSERT_TRUE(waitForRunEnd(2));
    EXPECT_FALSE(lastRunStopped_);
    EXPECT_EQ(machine_.opened.size(), 2);
}

TEST_F(ConversionQueueTest, StopEndsTheCreep) {
    addTitle("slow_title", true);
    jobs().setState(0, RowState());  // the locator, not the caption, reaches the encoder
    ASSERT_TRUE(queue().convert());
    ASSERT_TRUE(session_->progress().timer2().isActive());
    queue().stop();
    EXPECT_FALSE(session_->progress().timer2().isActive());
    EXPECT_EQ(jobs().state(0).kind, RowState::Stopped);
}

TEST_F(ConversionQueueTest, RefusalsChangeNothing) {
    EXPECT_FALSE(queue().convert());  // empty list: nothing at all
    EXPECT_TRUE(ui_.warnings.isEmpty());

    addFiles({"a.avi"});
    bool playing = true;
    bool adding = false;
    session_->guards().setPlayingFlag([&] { return playing; });
    session_->guards().setAddingFlag([&] { return adding; });
    EXPECT_FALSE(queue().convert());
    playing = false;
    adding = true;
    EXPECT_FALSE(queue().convert());
    adding = false;
    queue().setOutputText("  ");
    EXPECT_FALSE(queue().convert());
    ASSERT_EQ(ui_.warnings.size(), 3);
    EXPECT_EQ(ui_.warnings[0], "Please first stop play!");
    EXPECT_EQ(ui_.warnings[1], CommandGuards::kBusyText);
    EXPECT_TRUE(ui_.warnings[2].contains("output folder"));
    EXPECT_EQ(kinds(), Kinds{RowState::New});
    EXPECT_FALSE(queue().converting());
    EXPECT_FALSE(QFileInfo::exists(out_));

    queue().setOutputText(out_);
    ASSERT_TRUE(queue().convert());
    EXPECT_FALSE(queue().convert());
    EXPECT_EQ(ui_.warnings.last(), "Please first stop convert!");
    ASSERT_TRUE(waitForRunEnd());
}

TEST_F(ConversionQueueTest, AnOutputFolderThatCannotBeMadeIsSaidOnce) {
    addFiles({"a.avi", "b.avi"});
    queue().setOutputText(dir_.filePath("missing/deeper"));
    QStringList problems;
    QObject::connect(session_.get(), &Session::problem,
                     [&problems](const QString& text) { problems << text; });
    ASSERT_TRUE(queue().convert());
    ASSERT_TRUE(waitForRunEnd());
    EXPECT_EQ(kinds(), (Kinds{RowState::Failed, RowState::Failed}));
    EXPECT_EQ(problems.size(), 1);  // once per run, not per job, and without a dialog
    EXPECT_TRUE(ui_.errors.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir_.filePath("missing")));
}

// Says every folder lies on an optical drive, or none does.
struct FakeDrives : platform::Drives {
    bool optical = false;
    bool isOpticalDrive(const QString&) override { return optical; }
    void queryVolume(const QString&) override {}
};

TEST_F(ConversionQueueTest, JobsAtOnceScheduleRowsInOrderAndEachEndsAlone) {
    // Encoders of known durations (tenths of a second in "wN-") on 4 cores: which rows start
    // when, how many run side by side, in which order they end, how each row ends, and the
    // encoder threads each "w" job was given ("-": the encoder's own choice).
    const struct {
        int jobsAtOnce;  // 0: Automatic
        bool optical;
        const char* files;
        int stallLimitMs;   // 0: the usual limit
        int mostAtOnce;     // the most jobs that ran side by side
        const char* order;  // s<row> started, e<row> ended
        const char* statuses;
        const char* threads;
    } cases[] = {
        {1, false, "w3-a w3-b w3-c", 0, 1, "s0 e0 s1 e1 s2 e2", "Finish Finish Finish", "- - -"},
        // The long row keeps one place; the short ones pass through the other.
        {2, false, "w25-a w3-b w3-c w3-d", 0, 2, "s0 s1 e1 s2 e2 s3 e3 e0",
         "Finish Finish Finish Finish", "2 2 2 2"},
        // Never more jobs than rows: two jobs share the four cores.
        {4, false, "w3-a w20-b", 0, 2, "s0 s1 e0 e1", "Finish Finish", "2 2"},
        // A failure, a row that cannot start (it never starts, it ends) and a hung encoder
        // each end alone. Sound alone takes no picture threads.
        {2, false, "fail w20-b silent w3-d", 0, 2, "s0 s1 e0 e2 s3 e3 e1",
         "Failed Finish Failed Finish", "- - - -"},
        {3, false, "hang w30-b w3-c w3-d", 1500, 3, "s0 s1 s2 e2 s3 e3 e0 e1",
         "Failed Finish Finish Finish", "- 1 1 1"},
        {2, false, "w10-a killed w3-c", 0, 2, "s0 s1 e1 s2 e2 e0", "Finish Failed Finish", "2 - 2"},
        // Automatic: jobs that gain nothing from a second core fill the cores; an optical drive
        // reads one at a time.
        {0, false, "w3-a w10-b w17-c", 0, 3, "s0 s1 s2 e0 e1 e2", "Finish Finish Finish", "- - -"},
        {0, true, "w3-a w3-b", 0, 1, "s0 e0 s1 e1", "Finish Finish", "- -"},
    };
    auto drives = std::make_shared<FakeDrives>();
    queue().setDrives(drives);
    queue().setCores(4);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.files);
        QStringList files = QString(c.files).split(' ');
        for (QString& f : files) {
            f += ".avi";
        }
        jobs().clear();
        // "silent" has no sound, which an audio-only profile cannot do without; Automatic runs
        // sound alone, which gains nothing from a second core whatever the measured figures.
        const bool audioOnly = files.contains("silent.avi") || c.jobsAtOnce == 0;
        ASSERT_TRUE(session_->selection().selectProfile(audioOnly ? 17 : 118));
        for (const QString& f : files) {
            addFiles({f}, f != "silent.avi");
            QFile::remove(dir_.filePath(f + ".threads"));
        }
        drives->optical = c.optical;
        queue().setJobsAtOnce(c.jobsAtOnce);
        queue().setStallLimitMs(c.stallLimitMs > 0 ? c.stallLimitMs
                                                   : ConversionQueue::kDefaultStallLimitMs);
        queue().setFinishAction(FinishAction::OpenFolder);
        QStringList order;
        int most = 0;
        const auto started = QObject::connect(&queue(), &ConversionQueue::jobStarted, [&](int row) {
            order << QStringLiteral("s%1").arg(row);
            most = std::max<int>(most, queue().runningRows().size());
        });
        const auto ended = QObject::connect(&queue(), &ConversionQueue::jobEnded, [&](int row) {
            order << QStringLiteral("e%1").arg(row);
        });
        const int runs = runsEnded_;
        const qsizetype opened = machine_.opened.size();
        ASSERT_TRUE(queue().convert());
        ASSERT_TRUE(waitForRunEnd(runs + 1));
        QObject::disconnect(started);
        QObject::disconnect(ended);
        EXPECT_EQ(order.join(' '), c.order);
        EXPECT_EQ(most, c.mostAtOnce);
        EXPECT_EQ(statuses().join(' '), c.statuses);
        QStringList threads;
        for (const QString& f : files) {
            const QByteArray given = contentOf(dir_.filePath(f + ".threads"));
            threads << (given.isEmpty() ? QStringLiteral("-") : QString::fromLatin1(given));
        }
        EXPECT_EQ(threads.join(' '), c.threads);
        EXPECT_EQ(outputFiles().filter(".part-"), QStringList()) << "an ended job leaves no part";
        EXPECT_EQ(machine_.opened.size(), opened + 1) << "the finish action, once";
        EXPECT_FALSE(waitUntil([&] { return runsEnded_ > runs + 1; }, 200));
    }
}

TEST_F(ConversionQueueTest, JobsSideBySideKeepTheirOwnProgressNamesAndOutput) {
    // Same source names, two failing encoders at once, two slow ones: each row shows its own.
    addFiles({"fail1.avi", "fail2.avi", "clip.avi", "clip.mpg", "slow1.avi", "slow2.avi"});
    queue().setJobsAtOnce(2);
    queue().setFinishAction(FinishAction::PowerOff);
    ASSERT_TRUE(queue().convert());
    ASSERT_TRUE(
        waitUntil([this] { return jobs().status(4) == "25.00%" && jobs().status(5) == "25.00%"; }));
    EXPECT_EQ(queue().runningRows(), (QList<int>{4, 5}));
    EXPECT_EQ(queue().currentJob(), 5);
    for (int row = 0; row < 2; ++row) {
        EXPECT_EQ(
            jobs().state(row).outputTail,
            QStringList{"boom: cannot encode " + dir_.filePath(jobs().caption(row) + ".avi")});
    }
    EXPECT_EQ(jobs().state(2).outputName, outName("clip.mp4"));
    EXPECT_EQ(jobs().state(3).outputName, outName("clip_1.mp4"));
    EXPECT_EQ(contentOf(outName("clip_1.mp4")), dir_.filePath("clip.mpg").toUtf8());
    // The bar counts the run: two of six jobs at a quarter, four done.
    EXPECT_EQ(shown_.back(), (4 * 4 + 2 * 1) * 10000 / 24);
    EXPECT_TRUE(std::is_sorted(shown_.begin(), shown_.end())) << "the run's bar never goes back";

    // Stop stops every running job; nothing of theirs is left, and no power-off is due.
    queue().stop();
    EXPECT_EQ(statuses(), (QStringList{"Failed", "Failed", "Finish", "Finish", "Stop", "Stop"}));
    EXPECT_EQ(runsEnded_, 1);
    EXPECT_TRUE(lastRunStopped_);
    ASSERT_TRUE(waitUntil([this] { return !queue().windingDown(); }));
    EXPECT_EQ(outputFiles(), (QStringList{"clip.mp4", "clip_1.mp4"}));
    EXPECT_EQ(powerOffs_, 0);
    EXPECT_EQ(RunOutcome::of(jobs(), queue().currentJob()).text(),
              "Stopped: 2 of 6 converted, 2 failed");
}

TEST_F(ConversionQueueTest, DvdTitlesSideBySideCreepEachOnTheirOwn) {
    addTitle("slow_a", true, 0);
    addTitle("Title_02", false, 3000);
    addTitle("slow_c", true, 5000);
    for (int row : {0, 2}) {
        jobs().setState(row, RowState());  // the locator, not the caption, reaches the encoder
    }
    queue().setJobsAtOnce(2);
    ASSERT_TRUE(queue().convert());
    EXPECT_EQ(queue().runningRows(), (QList<int>{0, 2})) << "the unticked row is passed over";
    for (int k = 0; k < 30; ++k) {
        session_->progress().timer2Tick();
    }
    EXPECT_EQ(jobs().status(0), "00.30%");
    EXPECT_EQ(jobs().status(2), "00.30%");
    queue().stop();
    EXPECT_FALSE(session_->progress().timer2().isActive());
    EXPECT_EQ(statuses(), (QStringList{"Stop", "Ready", "Stop"}));
}

TEST(OutputNamingTest, ReservesNamesAndReplacesTheExtension) {
    QTemporaryDir dir;
    const QString folder = dir.path() + '/';
    OutputNaming naming;
    EXPECT_EQ(naming.chooseName(folder, "a.b.avi", "a.b", ".mp4"), folder + "a.b.mp4");
    EXPECT_EQ(naming.chooseName(folder, "a.b.mpg", "a.b", ".mp4"), folder + "a.b_1.mp4");
    EXPECT_EQ(naming.chooseName(folder, "x y", "x y", ".mp4"), folder + "x y.mp4");
    naming.reset();
    EXPECT_EQ(naming.chooseName(folder, "a.b.avi", "a.b", ".mp4"), folder + "a.b.mp4");

    const OutputNaming::Folder relative = OutputNaming::prepareFolder("rel", false);
    EXPECT_TRUE(QDir::isAbsolutePath(relative.path));
    EXPECT_TRUE(relative.path.endsWith("/rel/"));
    EXPECT_FALSE(QFileInfo::exists(relative.path));  // not created when asked not to
    EXPECT_FALSE(OutputNaming::prepareFolder("", true).error.isEmpty());
    const OutputNaming::Folder made = OutputNaming::prepareFolder(folder + "new//", true);
    EXPECT_EQ(made.path, folder + "new/");
    EXPECT_TRUE(QFileInfo(made.path).isDir());
}

TEST(OutputNamingTest, NamesTooLongForTheFileSystemLoseTheEndOfTheirStem) {
    QTemporaryDir dir;
    const QString folder = dir.path() + '/';
    const QString a251(251, 'a');
    const QString e127 = QString(127, QChar(0xe9));                             // 254 bytes
    const QString smiles = QString::fromUtf8("\xf0\x9f\x98\x80").repeated(63);  // 252 bytes
    const struct {
        QString source;
        QString extension;
        bool takeFirst;  // the first choice exists already
        QString name;    // empty: none fits
    } cases[] = {
        {a251 + ".avi", ".mp4", false, a251 + ".mp4"},  // 255 bytes: fits as it is
        {a251 + ".avi", ".mp4", true, a251.left(249) + "_1.mp4"},
        {e127 + ".avi", ".mp4", false, e127.left(125) + ".mp4"},  // never half a character
        {smiles + ".avi", ".mp4", false, smiles.left(124) + ".mp4"},
        {"a.avi", "." + QString(300, 'x'), false, ""},
    };
    for (const auto& c : cases) {
        OutputNaming naming;
        const QString caption = QFileInfo(c.source).completeBaseName();
        if (c.takeFirst) {
            QFile f(naming.chooseName(folder, c.source, caption, c.extension));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << f.fileName().toStdString();
        }
        const QString name = naming.chooseName(folder, c.source, caption, c.extension);
        EXPECT_EQ(name, c.name.isEmpty() ? QString() : folder + c.name) << name.toStdString();
        if (!name.isEmpty()) {
            QFile f(name);
            EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << "the file system holds it";
            f.remove();
        }
    }
}

TEST(OutputFileTest, LeftoversGoOnlyOnceNobodyClaimsThem) {
    if (!platform::claimsAreSystemLocks()) {
        GTEST_SKIP() << "this platform's claims are lock files, which flock(1) does not take";
    }
    QTemporaryDir dir;
    const QString folder = dir.path() + '/';
    auto make = [&folder](const QString& name) {
        QFile f(folder + name);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        return folder + name;
    };
    // A live job of this program, and one of another program (flock(1) holds its lock).
    OutputFile::Claimed ours = OutputFile::createClaimed(folder + "mine.mp4", nullptr);
    ASSERT_FALSE(ours.path.isEmpty());
    const QString theirs = make(".theirs.part-AbC123.mkv");
    QProcess holder;
    holder.start("flock", {"-o", theirs, "cat"});  // holds it until its input ends
    ASSERT_TRUE(holder.waitForStarted());
    ASSERT_TRUE(waitUntil([&] { return !platform::claimFile(theirs); }));
    const QStringList kept{make("clip.mp4"),
                           make(".hidden.mp4"),
                           make(".x.part-12345.avi"),
                           make("x.part-abcdef.avi"),
                           theirs,
                           ours.path};
    const QStringList gone{make(".killed.part-Zz9Zz9.mp4"), make(".song.part-a1B2c3.amr"),
                           make(".song.part-a1B2c3.amr.part-QQ12ww"), make(".noext.part-000000")};
    QStringList removed = OutputFile::removeLeftovers(folder);
    removed.sort();
    QStringList expected = gone;
    expected.sort();
    EXPECT_EQ(removed, expected);
    for (const QString& path : kept) {
        EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
    }
    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished());
    EXPECT_EQ(OutputFile::removeLeftovers(folder), QStringList{theirs}) << "its owner is gone";
}

}  // namespace
