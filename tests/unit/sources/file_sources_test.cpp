#include "core/sources/file_sources.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "../../support/fake_machine.h"
#include "../../support/fake_user_interface.h"
#include "../../support/qt_gtest.h"
#include "../../support/test_media.h"
#include "core/profiles/profile_catalog.h"
#include "core/shell/session.h"

using orvex::test::waitUntil;

namespace {

// The "media" files of these tests are texts that a fake encoder prints back as its probe
// output, so every probe answer can be written down exactly. A file whose name contains "slow"
// is answered after a while, one containing "hang" never.
class FileSourcesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(QFile::copy(orvex::test::profilesPopPath(), dir_.filePath("profiles.pop")));
        QDir(dir_.path()).mkdir("running");
        writeEncoder(dir_.filePath("register.dat"));
        session_ = makeSession(dir_.path() + "/");
    }

    void writeEncoder(const QString& path) {
        const QByteArray running = dir_.filePath("running").toUtf8();
        const QByteArray log = dir_.filePath("concurrency").toUtf8();
        writeFile(path,
                  "#!/bin/sh\n[ \"$1\" = -i ] || exit 9\n"
                  "touch " +
                      running +
                      "/$$\n"
                      "ls " +
                      running + " | wc -l >> " + log +
                      "\n"
                      "case \"$2\" in *slow*) sleep 0.3 ;; *hang*) sleep 30 ;; esac\n"
                      "rm -f " +
                      running + "/$$\ncat \"$2\"\nexit 1\n");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    std::unique_ptr<Session> makeSession(const QString& folder) {
        SessionConfig config;
        config.programFileName = "orvex";
        config.folders = platform::ProgramFolders::inOne(folder);
        config.choices = std::make_unique<ReadOnlyChoicesStore>(
            platform::IniFile(dir_.filePath("pro orvex.ini")));
        config.settings = Settings(platform::IniFile(dir_.filePath("orvex.ini")));
        auto session = std::make_unique<Session>(std::move(config), ui_, machine_);
        session->loadSettings(118);
        return session;
    }

    FileSources& sources() { return session_->files(); }
    JobList& jobs() { return session_->jobs(); }

    // Runs a batch to its end and returns its report.
    FileSources::AddReport add(const QStringList& paths) {
        return finish(sources().addFiles(paths));
    }
    FileSources::AddReport addFolder(const QString& folder) {
        return finish(sources().addFolder(folder));
    }
    FileSources::AddReport finish(bool started) {
        FileSources::AddReport report;
        EXPECT_TRUE(started);
        QObject::connect(&sources(), &FileSources::batchFinished, &sources(),
                         [&report](const FileSources::AddReport& r) { report = r; });
        EXPECT_TRUE(waitUntil([this] { return !sources().busy(); }));
        QObject::disconnect(&sources(), &FileSources::batchFinished, &sources(), nullptr);
        return report;
    }

    static void writeFile(const QString& path, const QByteArray& data) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }

    // A source whose probe prints these lines.
    QString source(const QString& name, const QByteArray& probeText) {
        const QString path = dir_.filePath(name);
        writeFile(path, probeText);
        return path;
    }

    static QByteArray probeText(const char* total, const char* video, const char* audio,
                                const char* size = "320x240") {
        QByteArray t = "  Duration: 00:01:00.00, start: 0.000000";
        if (total != nullptr) {
            t += QByteArray(", bitrate: ") + total + " kb/s";
        }
        t += "\n  Stream #0:0: Video: mpeg4, yuv420p, " + QByteArray(size) + ", 25 fps";
        if (video != nullptr) {
            t += QByteArray(", ") + video + " kb/s";
        }
        if (audio != nullptr) {
            t += QByteArray("\n  Stream #0:1: Audio: mp3, 44100 Hz, stereo");
            if (*audio != '\0') {
                t += QByteArray(", ") + audio + " kb/s";
            }
        }
        return t + "\nAt least one output file must be specified\n";
    }

    QTemporaryDir dir_;
    orvex::test::FakeUserInterface ui_;
    orvex::test::FakeMachine machine_;
    std::unique_ptr<Session> session_;
};

TEST_F(FileSourcesTest, FillsMissingRatesFromTheTotal) {
    struct Case {
        const char* total;
        const char* video;
        const char* audio;
        const char* videoKbps;
        const char* audioKbps;
    };
    const Case cases[] = {
        {"1152", nullptr, "", "1152", "128"},  // 1152 - 1152 = 0 -> 128
        {"1152", "1000", "", "1000", "152"},
        {"1152", nullptr, "128", "1024", "128"},
        {"1152", "900", "96", "900", "96"},
        {"100", nullptr, "128", "768", "128"},  // a negative difference is no rate
        {"1152", "N/A", "", "768", "128"},      // a rate that is not a number: fallbacks
    };
    for (const Case& c : cases) {
        const QString path = source("clip.avi", probeText(c.total, c.video, c.audio));
        ASSERT_EQ(add({path}).added, 1);
        const int row = jobs().rowCount() - 1;
        EXPECT_EQ(jobs().jobInfo(row).videoKbps, QLatin1String(c.videoKbps)) << c.total;
        EXPECT_EQ(jobs().jobInfo(row).audioKbps, QLatin1String(c.audioKbps)) << c.total;
    }
}

TEST_F(FileSourcesTest, FillsTheRowItsRecordAndItsSource) {
    const QString path = source("my.holiday.clip.avi", probeText("1152", "1000", "", "no size"));
    const QString silent = source("silent.avi", probeText("900", "900", nullptr));
    ASSERT_EQ(add({path, silent}).added, 2);
    EXPECT_EQ(jobs().caption(0), "my.holiday.clip");
    EXPECT_EQ(jobs().jobInfo(0).source, path);
    EXPECT_EQ(jobs().jobInfo(0).dimensions, "320x240");  // no size found
    EXPECT_EQ(jobs().jobInfo(0).duration, "00:01:00");
    EXPECT_EQ(jobs().subItem(0, JobList::SizeColumn), "320x240");
    EXPECT_EQ(jobs().subItem(0, JobList::TimeColumn), "00:01:00");
    EXPECT_TRUE(jobs().subItem(0, JobList::OutputSizeColumn).endsWith("MB"));
    EXPECT_EQ(jobs().state(0).kind, RowState::New);
    ASSERT_NE(jobs().fileSource(0), nullptr);
    EXPECT_TRUE(jobs().fileSource(0)->hasAudio);
    EXPECT_FALSE(jobs().fileSource(1)->hasAudio);
}

TEST_F(FileSourcesTest, RowsKeepTheGivenOrderWhateverOrderTheProbesEndIn) {
    sources().setProbeLimit(3);
    const QByteArray text = probeText("500", nullptr, "");
    const QStringList paths{source("1 slow.avi", text), source("2 fast.avi", text),
                            source("3 slow.avi", text), source("4 fast.avi", text),
                            source("5 fast.avi", text)};
    QStringList busy;
    QObject::connect(&sources(), &FileSources::busyChanged,
                     [&busy](bool b) { busy << (b ? "busy" : "idle"); });
    ASSERT_EQ(add(paths).added, 5);
    EXPECT_EQ(busy, (QStringList{"busy", "idle"}));
    for (int row = 0; row < 5; ++row) {
        EXPECT_EQ(jobs().jobInfo(row).source, paths[row]);
    }
    // Probes ran side by side, never more than the limit.
    QFile log(dir_.filePath("concurrency"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    int most = 0;
    for (const QByteArray& line : log.readAll().split('\n')) {
        most = std::max(most, line.trimmed().toInt());
    }
    EXPECT_GE(most, 2);
    EXPECT_LE(most, 3);
}

TEST_F(FileSourcesTest, CancelEndsTheBatchAndKeepsWhatWasAdded) {
    sources().setProbeLimit(1);
    const QByteArray text = probeText("500", nullptr, "");
    const QStringList paths{source("a.avi", text), source("b hang.avi", text),
                            source("c.avi", text)};
    ASSERT_TRUE(sources().addFiles(paths));
    ASSERT_TRUE(waitUntil([this] { return jobs().rowCount() == 1; }));
    FileSources::AddReport report;
    QObject::connect(&sources(), &FileSources::batchFinished,
                     [&report](const FileSources::AddReport& r) { report = r; });
    sources().cancel();
    ASSERT_TRUE(waitUntil([this] { return !sources().busy(); }));
    EXPECT_TRUE(report.cancelled);
    EXPECT_EQ(report.added, 1);
    EXPECT_EQ(jobs().rowCount(), 1);
    EXPECT_TRUE(jobs().isSelected(0));
}

TEST_F(FileSourcesTest, AnEncoderThatCannotStartIsSaidOnceAndAddsNothing) {
    auto missing = makeSession(dir_.filePath("nowhere") + "/");
    const QByteArray text = probeText("500", nullptr, "");
    QStringList paths;
    for (int i = 0; i < 20; ++i) {
        paths << source(QString("%1.avi").arg(i), text);
    }
    int skips = 0;
    QObject::connect(&missing->files(), &FileSources::fileSkipped, [&skips] { ++skips; });
    FileSources::AddReport report;
    QObject::connect(&missing->files(), &FileSources::batchFinished,
                     [&report](const FileSources::AddReport& r) { report = r; });
    ASSERT_TRUE(missing->files().addFiles(paths));
    ASSERT_TRUE(waitUntil([&] { return !missing->files().busy(); }));
    EXPECT_TRUE(report.encoderProblem.contains("nowhere/register.dat"))
        << report.encoderProblem.toStdString();
    EXPECT_EQ(skips, 0);
    EXPECT_TRUE(missing->jobs().isEmpty());
}

TEST_F(FileSourcesTest, SkipsFilesWithoutAnOverallRateAndSaysWhy) {
    const QString noRate = source("a.avi", probeText(nullptr, "10", "10"));
    const QString letters = source("b.avi", probeText("abc", "10", "10"));
    const QString broken = source("c.avi", "c.avi: Invalid data found\n");
    const QString good = source("d.avi", probeText("500", nullptr, ""));
    const FileSources::AddReport report =
        add({noRate, letters, broken, dir_.filePath("gone.avi"), good});
    EXPECT_EQ(report.added, 1);
    ASSERT_EQ(report.skipped.size(), 4);
    EXPECT_TRUE(report.skipped[2].reason.contains(QLatin1String("Invalid data found")));
    EXPECT_EQ(report.skipped[3].reason, "no such file");
    EXPECT_EQ(jobs().rowCount(), 1);
    EXPECT_EQ(jobs().caption(0), "d");
    EXPECT_TRUE(jobs().isSelected(0));
    EXPECT_TRUE(jobs().isVisible());
    EXPECT_TRUE(ui_.warnings.isEmpty());
}

// The window's command line and a second start's hand-over add as a drop does: files probed,
// folders scanned as Add Folder, what is no video said and left out. What arrives during a
// batch waits for its end instead of meeting the busy guard.
TEST_F(FileSourcesTest, CommandLineSourcesAddAsADropAndWaitForABatchUnderWay) {
    const QByteArray text = probeText("500", nullptr, "");
    const QString slow = source("1 slow.avi", text);
    QDir(dir_.path()).mkdir("folder");
    const QString inFolder = source("folder/2.mp4", text);
    source("folder/notes.txt", "not taken by Add Folder");
    const QString notVideo = source("3.avi", "3.avi: Invalid data found when processing input\n");
    QStringList skipped;
    QObject::connect(&sources(), &FileSources::fileSkipped,
                     [&skipped](const QString& path) { skipped << path; });
    CommandLineSources& commandLine = session_->commandLineSources();
    ASSERT_TRUE(sources().addFiles({slow}));
    commandLine.open(CommandLineSources::absolutePaths({"folder", "3.avi"}, dir_.path()));
    EXPECT_TRUE(ui_.warnings.isEmpty()) << "no busy refusal";
    ASSERT_TRUE(waitUntil([&] { return !sources().busy() && jobs().rowCount() == 2; }));
    ASSERT_TRUE(waitUntil([&] { return !sources().busy() && !skipped.isEmpty(); }));
    EXPECT_EQ(jobs().jobInfo(0).source, slow);
    EXPECT_EQ(jobs().jobInfo(1).source, inFolder);
    EXPECT_EQ(skipped, QStringList{notVideo});

    const struct {
        const char* argument;
        const char* path;
    } cases[] = {{"clip.mp4", "/work/clip.mp4"},
                 {"../up/./clip.mp4", "/up/clip.mp4"},
                 {"/abs/clip.mp4", "/abs/clip.mp4"},
                 {"file:///abs/a%20b.mp4", "/abs/a b.mp4"},
                 {".", "/work"}};
    for (const auto& c : cases) {
        EXPECT_EQ(CommandLineSources::absolutePaths({c.argument}, "/work"), QStringList{c.path})
            << c.argument;
    }
}

TEST_F(FileSourcesTest, AnEstimateThatCannotBeWorkedOutIsSaidOnceABatch) {
    ProfileSelection& selection = session_->selection();
    ASSERT_TRUE(selection.selectProfile(2));
    const int original = selection.sizeList().items().indexOf(ProfileCatalog::kOriginalSize);
    ASSERT_GE(original, 0) << "profile 2 offers the source's own size";
    selection.sizeList().userSelect(original);
    selection.videoList().userSelect(1);  // a quality level, whose rate follows the height
    QStringList problems;
    QObject::connect(session_.get(), &Session::problem,
                     [&problems](const QString& text) { problems << text; });
    // Heights beyond any picture: the estimate that needs them cannot be worked out.
    const QString odd = source("odd.avi", probeText("500", "400", "100", "320x999999"));
    const QString odder = source("odder.avi", probeText("500", "400", "100", "640x888888"));
    const QString good = source("good.avi", probeText("500", "400", "100"));
    EXPECT_EQ(add({odd, odder, good}).added, 3);
    EXPECT_EQ(jobs().subItem(0, JobList::OutputSizeColumn), "");
    EXPECT_NE(jobs().subItem(2, JobList::OutputSizeColumn), "");
    ASSERT_EQ(problems.size(), 1) << problems.join('\n').toStdString();
    EXPECT_TRUE(problems[0].contains("320x999999")) << problems[0].toStdString();
}

TEST_F(FileSourcesTest, FolderTakesItsFourteenExtensionsInWindowsNameOrder) {
    QDir(dir_.path()).mkdir("f");
    QDir(dir_.path()).mkdir("f/sub.avi");  // a folder is never taken
    const QByteArray text = probeText("500", nullptr, "");
    const QStringList taken{".hidden.FLV", "a.avi", "B.mpg", "c.VOB", "d.mpeg", "e.3gp",
                            "f.MP4",       "g.flv", "h.rm",  "i.m4v", "j.RmVb", "k.wmv",
                            "l.asf",       "m.qt",  "n.AsX", "o.avi"};
    for (const QString& name : taken.first(taken.size() - 1)) {
        writeFile(dir_.filePath("f/" + name), text);
    }
    ASSERT_TRUE(QFile::link(dir_.filePath("f/a.avi"), dir_.filePath("f/o.avi")));
    for (const char* name :
         {"movie.mov", "clip.mkv", "x.ts", "v.dat", "w.m2ts", "notes.txt", "noext", "avi",
          "sub.avi/inner.avi", ".a.part-Xy12Z9.avi", ".clip.part-abcdef.mp4"}) {
        writeFile(dir_.filePath("f/") + name, text);  // not videos, or a conversion's part
    }
    // Entries that look like videos but are none: each is said, none is probed.
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir_.filePath("f/pipe.avi")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(dir_.filePath("f/none"), dir_.filePath("f/gone.avi")));
    ASSERT_TRUE(QFile::link(dir_.filePath("f/loop.avi"), dir_.filePath("f/loop.avi")));
    const FileSources::FolderScan scan = FileSources::scanFolder(dir_.filePath("f"));
    QStringList names;
    for (const QString& e : scan.files) {
        names << QFileInfo(e).fileName();
    }
    EXPECT_EQ(names, taken);
    EXPECT_EQ(FileSources::folderExtensions().size(), 14);
    QStringList skipped;
    for (const FileSources::Skipped& s : scan.skipped) {
        skipped << QFileInfo(s.path).fileName() + ": " + s.reason;
    }
    EXPECT_EQ(skipped, (QStringList{"gone.avi: a link to a file that does not exist",
                                    "loop.avi: a link that leads round in a circle",
                                    "pipe.avi: not a plain file (a pipe, a device or a socket)",
                                    "sub.avi: a folder, not a file"}));

    const FileSources::AddReport report = addFolder(dir_.filePath("f"));
    EXPECT_EQ(report.added, taken.size());
    EXPECT_EQ(report.skipped.size(), 4);
    EXPECT_EQ(jobs().caption(1), "a");

    // Given by name, a pipe is refused at once, not after the probe's time limit.
    sources().setProbeTimeoutMs(60 * 1000);
    QElapsedTimer clock;
    clock.start();
    const FileSources::AddReport named = add({dir_.filePath("f/pipe.avi"), "/dev/null"});
    EXPECT_LT(clock.elapsed(), 5000);
    ASSERT_EQ(named.skipped.size(), 2);
    EXPECT_EQ(named.skipped[1].reason, "not a plain file (a pipe, a device or a socket)");
}

TEST_F(FileSourcesTest, FolderOfMovFilesAddsNothing) {
    QDir(dir_.path()).mkdir("m");
    writeFile(dir_.filePath("m/a.mov"), probeText("500", nullptr, ""));
    EXPECT_EQ(addFolder(dir_.filePath("m")).added, 0);
    EXPECT_TRUE(jobs().isEmpty());
    EXPECT_TRUE(jobs().isVisible());
    // Add Files takes the same file.
    EXPECT_EQ(add({dir_.filePath("m/a.mov")}).added, 1);
    // A folder that is not there is skipped with its reason.
    const FileSources::AddReport gone = addFolder(dir_.filePath("gone"));
    ASSERT_EQ(gone.skipped.size(), 1);
    EXPECT_EQ(gone.skipped[0].reason, "no such folder");
}

TEST_F(FileSourcesTest, RemoveKeepsRecordsWithTheirRowsAndSelectsTheNext) {
    QStringList paths;
    for (int i = 0; i < 5; ++i) {
        paths << source(QString("r%1.avi").arg(i),
                        probeText(QByteArray::number(100 + i).constData(), nullptr, ""));
    }
    ASSERT_EQ(add(paths).added, 5);
    EXPECT_TRUE(jobs().isSelected(0)) << "the first row is selected when none was";
    jobs().setSelected(0, false);
    jobs().setSelected(1, true);
    jobs().setSelected(3, true);
    sources().remove();
    ASSERT_EQ(jobs().rowCount(), 3);
    const QStringList expected{"r0", "r2", "r4"};
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(jobs().caption(row), expected[row]);
        EXPECT_EQ(FileSources::captionOf(jobs().jobInfo(row).source), expected[row]);
    }
    EXPECT_TRUE(jobs().isSelected(2));
    EXPECT_FALSE(jobs().isSelected(0));

    // Removing the last row selects the row that is now last.
    for (int row = 0; row < 3; ++row) {
        jobs().setSelected(row, row == 2);
    }
    sources().remove();
    ASSERT_EQ(jobs().rowCount(), 2);
    EXPECT_TRUE(jobs().isSelected(1));
}

TEST_F(FileSourcesTest, GuardsRefuseInTheirOrder) {
    ASSERT_EQ(add({source("a.avi", probeText("500", nullptr, ""))}).added, 1);
    jobs().setSelected(0, true);
    bool playing = true;
    bool converting = true;
    bool adding = false;
    session_->guards().setPlayingFlag([&] { return playing; });
    session_->guards().setConvertingFlag([&] { return converting; });
    session_->guards().setAddingFlag([&] { return adding; });
    sources().remove();
    sources().clear();
    playing = false;
    sources().remove();
    EXPECT_FALSE(sources().addFiles({dir_.filePath("a.avi")}));
    converting = false;
    adding = true;  // another batch under way
    sources().clear();
    EXPECT_FALSE(sources().addFolder(dir_.path()));
    sources().openFiles();
    EXPECT_EQ(ui_.warnings, (QStringList{"Please first stop play!", "Please first stop play!",
                                         "Please first stop convert!", "Please first stop convert!",
                                         CommandGuards::kBusyText, CommandGuards::kBusyText,
                                         CommandGuards::kBusyText}));
    EXPECT_EQ(jobs().rowCount(), 1);
    EXPECT_TRUE(ui_.confirmations.isEmpty());
}

TEST_F(FileSourcesTest, ClearAsksOnceAndNoKeepsTheRows) {
    sources().clear();  // empty: nothing asked
    EXPECT_TRUE(ui_.confirmations.isEmpty());
    ASSERT_EQ(add({source("a.avi", probeText("500", nullptr, ""))}).added, 1);
    ui_.confirmAnswer = false;
    sources().clear();
    EXPECT_EQ(jobs().rowCount(), 1);
    ui_.confirmAnswer = true;
    sources().clear();
    EXPECT_TRUE(jobs().isEmpty());
    EXPECT_EQ(ui_.confirmations.size(), 2);
    EXPECT_EQ(
        ui_.confirmations[0],
        "Are you sure to remove all the files from filelist?\rNot delete from your computer.");
    EXPECT_TRUE(QFile::exists(dir_.filePath("a.avi")));
}

TEST_F(FileSourcesTest, CaptionKeepsEverythingBeforeTheLastDot) {
    EXPECT_EQ(FileSources::captionOf("/v/clip"), "clip");
    EXPECT_EQ(FileSources::captionOf("/v/a.b.avi"), "a.b");
    EXPECT_EQ(FileSources::captionOf("/v.d/clip"), "clip");
}

TEST_F(FileSourcesTest, ProbeRunsTheEncoderWithTheFileAloneAndGivesUpOnSilence) {
    MediaProbe probe(dir_.filePath("register.dat"), dir_.path());
    EXPECT_EQ(probe.commandLineOf("/v/my clip.avi"),
              Quote(dir_.filePath("register.dat")) + " -i \"/v/my clip.avi\"");
    // A probe that never ends is cut off by the time limit.
    probe.setTimeoutMs(300);
    std::optional<MediaProbe::Result> result;
    QObject::connect(&probe, &MediaProbe::finished,
                     [&result](const MediaProbe::Result& r) { result = r; });
    probe.start(source("hang.avi", "x"));
    ASSERT_TRUE(waitUntil([&result] { return result.has_value(); }));
    EXPECT_TRUE(result->timedOut);
    EXPECT_FALSE(probe.isRunning());
}

}  // namespace
