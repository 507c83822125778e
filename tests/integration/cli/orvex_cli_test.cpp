#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include "../../support/test_media.h"
#include "../../support/test_session.h"
#include "platform/child_group.h"
#include "platform/file_system.h"

namespace {

using orvex::test::binDir;
using orvex::test::makeClip;

// A plain progress line, as written when standard error is not a terminal.
const QRegularExpression kProgressLine("\\] long  [0-9]+\\.[0-9]{2}%");

struct CliRun {
    int code = -1;
    QString out;
    QString err;
};

class OrvexCliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        config_ = dir_.filePath(QStringLiteral("config"));
        QDir().mkpath(config_ + QStringLiteral("/orvex"));
    }

    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config_);  // never the real settings
        return env;
    }

    CliRun run(const QStringList& args, const QString& program = binDir() + "/orvex-cli") {
        QProcess p;
        p.setProcessEnvironment(environment());
        p.start(program, args);
        CliRun r;
        if (!p.waitForStarted() || !p.waitForFinished(300000)) {
            return r;
        }
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

    QString path(const QString& name) const { return dir_.filePath(name); }

    // Everything in the output folder, hidden files included.
    QStringList outputFolderFiles() const {
        return QDir(path("out")).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }

    // The command lines of running processes that mention text (zombies have none).
    static QStringList processesNaming(const QString& text) {
        QStringList found;
        const QStringList pids = QDir("/proc").entryList(QDir::Dirs);
        for (const QString& pid : pids) {
            QFile f("/proc/" + pid + "/cmdline");
            if (pid.toInt() <= 0 || !f.open(QIODevice::ReadOnly)) {
                continue;
            }
            QByteArray line = f.readAll();
            line.replace('\0', ' ');
            if (line.contains(text.toUtf8())) {
                found << pid + ": " + QString::fromUtf8(line);
            }
        }
        return found;
    }

    QTemporaryDir dir_;
    QString config_;
};

TEST_F(OrvexCliTest, ConvertsAFolderWithStrangeNames) {
    const QString in = path("in");
    QDir().mkdir(in);
    const QStringList clips{"my clip.avi", "-dash \"q\".mp4", QString::fromUtf8("ünïcødé.flv")};
    for (const QString& name : clips) {
        ASSERT_TRUE(makeClip(in + "/" + name, 2.0)) << name.toStdString();
    }
    ASSERT_TRUE(makeClip(in + "/left out.mov", 1.0));  // Add Folder does not take .mov
    QFile notes(in + "/notes.avi");                    // a known extension, but no video
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("not a video\n");
    notes.close();

    const CliRun r = run({in, "--profile", "118", "-o", path("out")});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("Summary: 3 finished, 0 failed, 1 skipped")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("notes.avi"));
    for (const QString& name :
         {QString("my clip.mp4"), QString("-dash \"q\".mp4"), QString::fromUtf8("ünïcødé.mp4")}) {
        const QString out = path("out/") + name;
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(orvex::test::probeFormatName(out).contains("mp4"));
        EXPECT_FALSE(orvex::test::probeStream(out, "v:0", "width").isEmpty());
        EXPECT_TRUE(r.err.contains(out));
    }
    EXPECT_EQ(QDir(path("out")).entryList(QDir::Files).size(), 3);
    // Neither settings file was written.
    EXPECT_TRUE(QDir(config_ + "/orvex").entryList(QDir::Files).isEmpty());
}

TEST_F(OrvexCliTest, PrintedCommandsReserveNamesLikeARun) {
    ASSERT_TRUE(makeClip(path("clip.avi"), 1.0));
    ASSERT_TRUE(makeClip(path("clip.mpg"), 1.0));
    ASSERT_TRUE(makeClip(path("-lead.avi"), 1.0));
    const CliRun r = run({"-p", "118", "-o", path("out"), "--print-commands", "--",
                          path("clip.avi"), path("clip.mpg"), "-lead.avi"},
                         binDir() + "/orvex-cli");
    // "-lead.avi" is relative to the CLI's directory, which is not dir_: it is skipped.
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << r.out.toStdString();
    EXPECT_TRUE(lines[0].endsWith(path("out/clip.mp4")));
    EXPECT_TRUE(lines[1].endsWith(path("out/clip_1.mp4")));
    EXPECT_FALSE(QFileInfo::exists(path("out")));

    // --stretch squeezes a 16:9 picture into 640x480 as before, instead of bars.
    ASSERT_TRUE(makeClip(path("wide.avi"), 1.0, 320, 180));
    const CliRun wide = run({"--stretch", "-p", "118", "--print-commands", path("wide.avi")});
    EXPECT_TRUE(wide.out.contains(" -aspect 1.3333 -s 640x480 -vf fps=25 "))
        << wide.out.toStdString();

    // Given with its folder, a leading dash is just a name.
    const CliRun jobs = run({"-p", "118", "--list-jobs", "--", path("-lead.avi")});
    EXPECT_EQ(jobs.code, 0);
    EXPECT_TRUE(jobs.out.startsWith("-lead\t320x240\t00:00:01\t")) << jobs.out.toStdString();
    EXPECT_TRUE(jobs.out.trimmed().endsWith("\tStatus"));
}

TEST_F(OrvexCliTest, ExitCodesTellFailureAndUsageErrors) {
    ASSERT_TRUE(makeClip(path("clip.avi"), 1.0));
    QFile blocker(path("file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    // The output folder cannot be made under a file: the job fails, the run says so.
    const CliRun failed = run({"-p", "118", "-o", path("file/sub"), path("clip.avi")});
    EXPECT_EQ(failed.code, 1);
    EXPECT_TRUE(failed.err.contains("0 finished, 1 failed")) << failed.err.toStdString();

    const CliRun nothing = run({"-p", "118", "-o", path("out"), path("missing.avi")});
    EXPECT_EQ(nothing.code, 1);
    EXPECT_TRUE(nothing.err.contains("no source could be added"));

    // A listing that cannot be written is no success.
    for (const QStringList& args : {QStringList{"--list-profiles"}, QStringList{"--help"}}) {
        QProcess full;
        full.setProcessEnvironment(environment());
        full.setStandardOutputFile("/dev/full");
        full.start(binDir() + "/orvex-cli", args);
        ASSERT_TRUE(full.waitForFinished(30000));
        EXPECT_EQ(full.exitCode(), 1) << args.join(' ').toStdString();
        EXPECT_TRUE(full.readAllStandardError().contains(
            "cannot write to standard output: No space left on device"));
    }

    for (const QStringList& args :
         {QStringList{"--bogus", path("clip.avi")}, QStringList{"-p", "999", path("clip.avi")},
          QStringList{"-p", "118", "--size", "99", path("clip.avi")}, QStringList{"-p", "118"},
          QStringList{"--profile"}, QStringList{"--finish", "later", path("clip.avi")}}) {
        const CliRun r = run(args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    }
}

TEST_F(OrvexCliTest, ListsComeFromTheNameAndTheSettingsFileIsOnlyRead) {
    const CliRun profiles = run({"--list-profiles"});
    EXPECT_EQ(profiles.code, 0);
    EXPECT_TRUE(profiles.out.contains("\n118\t")) << profiles.out.left(200).toStdString();

    // A copy named with "avi" starts at profile 102.
    const QString link = path("orvex-avi-cli");
    ASSERT_TRUE(QFile::link(binDir() + "/orvex-cli", link));
    const CliRun byName = run({"--show-lists"}, link);
    EXPECT_EQ(byName.code, 0);
    EXPECT_TRUE(byName.out.startsWith("profile\t102\t")) << byName.out.toStdString();
    const QStringList lines = byName.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_TRUE(lines[1].startsWith("size\t"));
    EXPECT_TRUE(lines[4].startsWith("Channel\tenabled\t"));

    // A saved profile wins over the name; the file stays as it was.
    const QString settings = config_ + "/orvex/orvex-avi-cli.ini";
    const QByteArray saved = "[profiles]\nselcetsubindex=53\n";
    QFile f(settings);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(saved);
    f.close();
    const CliRun bySettings = run({"--show-lists", "--channels", "0"}, link);
    EXPECT_TRUE(bySettings.out.startsWith("profile\t53\t")) << bySettings.out.toStdString();
    EXPECT_TRUE(bySettings.out.contains("Channel\tenabled\t0\tMono|Stereo"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), saved);
    EXPECT_FALSE(QFileInfo::exists(config_ + "/orvex/pro orvex-avi-cli.ini"));
}

TEST_F(OrvexCliTest, CtrlCStopsTheRunAndExitsOne) {
    ASSERT_TRUE(makeClip(path("long.avi"), 60.0, 640, 480));
    ASSERT_TRUE(makeClip(path("next.avi"), 1.0));
    QProcess p;
    p.setProcessEnvironment(environment());
    // One job at a time: the second row is never reached.
    p.start(binDir() + "/orvex-cli",
            {"-p", "118", "-j", "1", "-o", path("out"), path("long.avi"), path("next.avi")});
    ASSERT_TRUE(p.waitForStarted());
    // Wait until the first job has started, then interrupt as a terminal would.
    QString err;
    for (int i = 0; i < 200 && !err.contains("[1/2]"); ++i) {
        p.waitForReadyRead(100);
        err += QString::fromUtf8(p.readAllStandardError());
    }
    ASSERT_TRUE(err.contains("[1/2]")) << err.toStdString();
    // Standard error is a pipe here, as in a log: plain progress lines show the job is alive.
    for (int i = 0; i < 200 && !err.contains(kProgressLine); ++i) {
        p.waitForReadyRead(100);
        err += QString::fromUtf8(p.readAllStandardError());
    }
    EXPECT_TRUE(err.contains(QRegularExpression("\n\\[1/2\\] long  [0-9]+\\.[0-9]{2}%")))
        << err.toStdString();
    ::kill(static_cast<pid_t>(p.processId()), SIGINT);
    ASSERT_TRUE(p.waitForFinished(30000));
    err += QString::fromUtf8(p.readAllStandardError());
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(err.contains("1 stopped, 1 not converted")) << err.toStdString();
    EXPECT_FALSE(err.contains("[2/2]"));
    EXPECT_TRUE(outputFolderFiles().isEmpty()) << outputFolderFiles().join(' ').toStdString();
}

// A finished file is on the disk before it gets its name, and its name is after: a power cut
// never leaves a finished job's name on an empty file.
TEST_F(OrvexCliTest, AFinishedFileIsSyncedBeforeItsNameAndItsFolderAfter) {
    if (!platform::syncReachesTheDisk()) {
        GTEST_SKIP() << "this platform cannot sync a file";
    }
    ASSERT_TRUE(makeClip(path("clip.avi"), 1.0));
    QProcess p;
    p.setProcessEnvironment(environment());
    p.start("strace",
            {"-f", "-y", "-qq", "-e", "trace=fsync,fdatasync,rename,renameat2", "-o", path("trace"),
             binDir() + "/orvex-cli", "-q", "-p", "118", "-o", path("out"), path("clip.avi")});
    ASSERT_TRUE(p.waitForFinished(120000));
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
    QFile trace(path("trace"));
    ASSERT_TRUE(trace.open(QIODevice::ReadOnly));
    QStringList calls;
    const QRegularExpression part("\\.clip\\.part-[A-Za-z0-9]{6}\\.mp4");
    for (const QString& line : QString::fromUtf8(trace.readAll()).split('\n')) {
        if (!line.contains(path("out")) || line.contains("unfinished") || line.contains("= -1")) {
            continue;
        }
        // strace pads the pid column when pids differ in width.
        const QString call = line.simplified().section(' ', 1).section('(', 0, 0);
        if (call.startsWith("rename")) {
            calls << (line.contains(path("out/clip.mp4") + "\"") ? "rename to clip.mp4" : line);
        } else {
            calls << call + (line.contains(part)                ? " part"
                             : line.contains(path("out") + ">") ? " folder"
                                                                : line);
        }
    }
    EXPECT_EQ(calls, (QStringList{"fsync part", "rename to clip.mp4", "fsync folder"}))
        << calls.join('\n').toStdString();
}

// A failed run can be looked into afterwards: its activity log names the command line that
// ran and how it ended; -v shows the lines as they come.
TEST_F(OrvexCliTest, TheActivityLogNamesWhatAFailedJobRan) {
    ASSERT_TRUE(makeClip(path("clip.avi"), 1.0));
    // An FFmpeg that probes as the real one but fails every conversion.
    ASSERT_TRUE(orvex::test::writeScript(
        path("ffmpeg"),
        "#!/bin/sh\ncase \" $* \" in *' -y '*) echo 'boom'; exit 3 ;; esac\nexec ffmpeg \"$@\"\n"));
    QProcessEnvironment env = environment();
    env.insert("ORVEX_FFMPEG", path("ffmpeg"));
    for (const bool named : {true, false}) {
        QProcess p;
        p.setProcessEnvironment(env);
        QStringList args{"-p", "118", "-o", path("out"), path("clip.avi")};
        if (named) {
            args << "--log" << path("run.log") << "-v";
        }
        p.start(binDir() + "/orvex-cli", args);
        ASSERT_TRUE(p.waitForFinished(60000));
        const QString err = QString::fromUtf8(p.readAllStandardError());
        EXPECT_EQ(p.exitCode(), 1);
        const QString logPath = err.section("Activity log: ", 1).trimmed();
        EXPECT_EQ(logPath == path("run.log"), named) << err.toStdString();
        EXPECT_EQ(err.contains("engine     command: "), named) << err.toStdString();
        QFile log(logPath);
        ASSERT_TRUE(log.open(QIODevice::ReadOnly)) << logPath.toStdString();
        const QString text = QString::fromUtf8(log.readAll());
        EXPECT_TRUE(text.contains("command: " + binDir() + "/register.dat -y -i " +
                                  path("clip.avi") + " -r "))
            << text.toStdString();
        EXPECT_TRUE(text.contains("encoder ended: exit code 3")) << text.toStdString();
        EXPECT_TRUE(text.contains("| boom"));
        EXPECT_TRUE(text.contains("Run ended: 0 converted, 1 failed"));
    }
}

// kill -9 in the middle of a 5-file run loses nothing, one job at a time or two: every running
// job leaves its part file, --resume converts the 4 files left and clears the parts, and the
// folder ends with 5 whole files; a normal end leaves nothing to resume.
TEST_F(OrvexCliTest, ResumeConvertsWhatAKilledRunLeft) {
    QStringList clips;
    for (int i = 1; i <= 5; ++i) {
        clips << path(QString("clip%1.avi").arg(i));
        ASSERT_TRUE(makeClip(clips.last(), 1.0));
    }
    // The first conversions of clip2 and clip3 hang, after writing part of their output.
    QByteArray script = R"sh(#!/bin/sh
case " $* " in *' -y '*clip[23]*)
  for a; do last=$a; done
  case "$*" in *clip2*) mark='HUNG2' ;; *) mark='HUNG3' ;; esac
  if [ ! -e "$mark" ]; then
    : > "$mark"
    printf part > "$last"
    exec sleep 60
  fi ;;
esac
exec ffmpeg "$@"
)sh";
    script.replace("HUNG", path("hung").toUtf8());
    for (const int jobs : {1, 2}) {
        SCOPED_TRACE(jobs);
        for (const char* f : {"out", "state"}) {
            QDir(path(f)).removeRecursively();
        }
        QFile::remove(path("hung2"));
        QFile::remove(path("hung3"));
        if (jobs == 1) {
            QFile(path("hung3")).open(QIODevice::WriteOnly);  // one job: only clip2 hangs
        }
        ASSERT_TRUE(orvex::test::writeScript(path("ffmpeg"), script));
        QProcessEnvironment env = environment();
        env.insert("ORVEX_FFMPEG", path("ffmpeg"));
        env.insert("XDG_STATE_HOME", path("state"));
        QProcess killed;
        killed.setProcessEnvironment(env);
        killed.start(
            binDir() + "/orvex-cli",
            QStringList{"-q", "-p", "118", "-j", QString::number(jobs), "-o", path("out")} + clips);
        ASSERT_TRUE(killed.waitForStarted());
        const QStringList marks = jobs == 1 ? QStringList{"hung2"} : QStringList{"hung2", "hung3"};
        const auto hung = [&] {
            return std::all_of(marks.begin(), marks.end(),
                               [&](const QString& m) { return QFile::exists(path(m)); });
        };
        for (int i = 0; i < 600 && !hung(); ++i) {
            killed.waitForFinished(100);
        }
        ASSERT_TRUE(hung()) << killed.readAllStandardError().toStdString();
        ::kill(static_cast<pid_t>(killed.processId()), SIGKILL);
        ASSERT_TRUE(killed.waitForFinished(30000));
        EXPECT_EQ(outputFolderFiles().filter(".part-").size(), jobs)
            << outputFolderFiles().join(' ').toStdString();

        for (int pass = 0; pass < 2; ++pass) {
            QProcess p;
            p.setProcessEnvironment(env);
            p.start(binDir() + "/orvex-cli", {"--resume"});
            ASSERT_TRUE(p.waitForFinished(120000));
            const QString err = QString::fromUtf8(p.readAllStandardError());
            if (pass == 0) {
                EXPECT_EQ(p.exitCode(), 0) << err.toStdString();
                EXPECT_TRUE(err.contains("Summary: 4 finished, 0 failed")) << err.toStdString();
            } else {
                EXPECT_EQ(p.exitCode(), 1) << err.toStdString();
                EXPECT_TRUE(err.contains("no run of orvex-cli left files unconverted"))
                    << err.toStdString();
            }
        }
        EXPECT_EQ(outputFolderFiles(),
                  (QStringList{"clip1.mp4", "clip2.mp4", "clip3.mp4", "clip4.mp4", "clip5.mp4"}));
    }
}

// A disk that fills in the middle of two jobs at once (FFmpeg 5.1 then ends with 0): the jobs it
// stops fail saying why, the file finished before stays whole and no part file is left.
TEST_F(OrvexCliTest, AFullDiskFailsItsJobsAndKeepsTheFinishedFile) {
    const QString disk = path("disk");
    QDir().mkpath(disk);
    // A small file system of its own; a machine that may not mount one cannot run this.
    if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=160k", "tmpfs", disk}) != 0) {
        GTEST_SKIP() << "no small tmpfs can be mounted here";
    }
    struct Unmount {
        QString folder;
        ~Unmount() { QProcess::execute("umount", {folder}); }
    } unmount{disk};
    // a's output (about 45 kB) fits; b's and c's (about 190 kB each) do not.
    ASSERT_TRUE(makeClip(path("a.avi"), 0.5));
    ASSERT_TRUE(makeClip(path("b.avi"), 4.0));
    ASSERT_TRUE(makeClip(path("c.avi"), 4.0));
    const CliRun r =
        run({"-p", "118", "-j", "2", "-o", disk, path("a.avi"), path("b.avi"), path("c.avi")});
    EXPECT_EQ(r.code, 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("Summary: 1 finished, 2 failed")) << r.err.toStdString();
    for (const char* name : {"b", "c"}) {
        EXPECT_TRUE(r.err.contains(QString("failed:   %1: the output could not be written whole: "
                                           "No space left on device")
                                       .arg(name)))
            << r.err.toStdString();
    }
    EXPECT_EQ(QDir(disk).entryList(QDir::Files | QDir::Hidden), QStringList{"a.mp4"});
    EXPECT_FALSE(orvex::test::probeStream(disk + "/a.mp4", "v:0", "width").isEmpty());
}

TEST_F(OrvexCliTest, TwoRunsIntoOneFolderNeverOverwriteEachOther) {
    const QString in = path("in");
    QDir().mkdir(in);
    for (const char* name : {"a.avi", "b.avi", "c.avi"}) {
        ASSERT_TRUE(makeClip(in + "/" + name, 1.0));
    }
    QProcess first;
    QProcess second;
    for (QProcess* p : {&first, &second}) {
        p->setProcessEnvironment(environment());
        p->start(binDir() + "/orvex-cli", {in, "-p", "118", "-o", path("out")});
    }
    QStringList finished;
    for (QProcess* p : {&first, &second}) {
        ASSERT_TRUE(p->waitForFinished(120000));
        const QString err = QString::fromUtf8(p->readAllStandardError());
        EXPECT_EQ(p->exitCode(), 0) << err.toStdString();
        EXPECT_TRUE(err.contains("Summary: 3 finished, 0 failed")) << err.toStdString();
        for (const QString& line : err.split('\n')) {
            if (line.startsWith("  finished: ")) {
                finished << line.mid(12);
            }
        }
    }
    finished.removeDuplicates();
    EXPECT_EQ(finished.size(), 6) << finished.join(' ').toStdString();
    EXPECT_EQ(outputFolderFiles().size(), 6) << outputFolderFiles().join(' ').toStdString();
    for (const QString& file : std::as_const(finished)) {
        EXPECT_FALSE(orvex::test::probeStream(file, "v:0", "width").isEmpty())
            << file.toStdString();
    }
}

TEST_F(OrvexCliTest, TwoJobsAtOnceWriteWholeFilesUnderTheirOwnNames) {
    // Two sources of one name: the jobs run side by side and never take the same output.
    QDir().mkpath(path("a"));
    QDir().mkpath(path("b"));
    ASSERT_TRUE(makeClip(path("a/clip.avi"), 2.0));
    ASSERT_TRUE(makeClip(path("b/clip.mkv"), 3.0));
    const CliRun r = run({path("a/clip.avi"), path("b/clip.mkv"), "-p", "122", "-j", "2", "-o",
                          path("out"), "--log", path("run.log")});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    const qsizetype secondStarted = r.err.indexOf("[2/2] clip -> ");
    const qsizetype firstEnded = r.err.indexOf("[1/2] clip: Finish");
    ASSERT_GE(secondStarted, 0) << r.err.toStdString();
    EXPECT_LT(secondStarted, firstEnded) << "the second job started before the first ended";
    EXPECT_EQ(outputFolderFiles(), (QStringList{"clip.mp4", "clip_1.mp4"}));
    const double seconds[] = {2.0, 3.0};
    for (int i = 0; i < 2; ++i) {
        const QString out = path(i == 0 ? "out/clip.mp4" : "out/clip_1.mp4");
        EXPECT_NEAR(orvex::test::durationOf(out), seconds[i], 0.2) << out.toStdString();
        EXPECT_EQ(orvex::test::probeStream(out, "v:0", "codec_name"), "h264");
    }
    // The log keeps each job's lines together although both ran at once.
    QFile log(path("run.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    QString events;
    for (const QString& line : QString::fromUtf8(log.readAll()).split('\n')) {
        events += line.contains("command: ") ? "c" : line.contains("encoder ended") ? "e" : "";
    }
    EXPECT_EQ(events, "cece");
}

// Closing the terminal, Ctrl-C, and even SIGKILL of the front end (the window's too) leave no
// encoder or probe running; a stop leaves no file (register.dat's own AMR file included). An
// encoder killed on its own fails its job, and what it left is gone before the summary says so.
TEST_F(OrvexCliTest, NoEncoderOutlivesTheFrontEnd) {
    ASSERT_TRUE(makeClip(path("long.avi"), 60.0, 640, 480));
    // AMR is quick to write: its source is long enough to be stopped on the way.
    ASSERT_EQ(orvex::test::runProgram("ffmpeg", {"-nostdin", "-y", "-f", "lavfi", "-i",
                                                 "sine=sample_rate=22050:duration=1200", "-c:a",
                                                 "mp2", "-b:a", "32k", path("long.mp2")}),
              0);
    // A plain file that sends FFmpeg's probe to a pipe nobody writes: it waits in open(),
    // where a polite SIGTERM does not end it.
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("no-writer")).constData(), 0600), 0);
    QFile list(path("waits.avi"));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("ffconcat version 1.0\nfile no-writer\n");
    list.close();
    enum class Target { FrontEnd, Encoder, FrontEndWhileProbing, WindowWhileProbing };
    struct Case {
        int signal;
        const char* profile;  // 71 runs register.dat and an FFmpeg child of its own
        Target target;
    };
    for (const Case c : {Case{SIGHUP, "118", Target::FrontEnd},
                         {SIGINT, "71", Target::FrontEnd},
                         {SIGKILL, "118", Target::FrontEnd},
                         {SIGKILL, "71", Target::FrontEnd},
                         {SIGKILL, "71", Target::Encoder},
                         {SIGKILL, "118", Target::FrontEndWhileProbing},
                         {SIGHUP, "118", Target::FrontEndWhileProbing},
                         {SIGINT, "118", Target::FrontEndWhileProbing},
                         {SIGKILL, "118", Target::WindowWhileProbing},
                         {SIGHUP, "118", Target::WindowWhileProbing}}) {
        const bool encoder = c.target == Target::Encoder;
        const bool window = c.target == Target::WindowWhileProbing;
        const bool probing = window || c.target == Target::FrontEndWhileProbing;
        // Nothing but the system can end a child whose parent was killed (the window has no
        // handler for a stop either), and only its locks tell that register.dat's own file was
        // left by a dead writer.
        if ((c.signal == SIGKILL || window) &&
            !(encoder ? platform::claimsAreSystemLocks() : platform::childrenEndWithParent())) {
            continue;
        }
        SCOPED_TRACE(std::string(strsignal(c.signal)) + " profile " + c.profile +
                     (encoder  ? " to register.dat"
                      : window ? " to the window"
                               : "") +
                     (probing ? " while probing" : ""));
        QDir(path("out")).removeRecursively();
        QProcess p;
        QProcessEnvironment env = environment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_STATE_HOME", path("state"));  // no restore offer from elsewhere
        // Nor a window of another test that would take the source instead.
        QDir().mkpath(path("run"));
        QFile::setPermissions(path("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        env.insert("XDG_RUNTIME_DIR", path("run"));
        p.setProcessEnvironment(env);
        const QString source = path(probing                      ? "waits.avi"
                                    : QString(c.profile) == "71" ? "long.mp2"
                                                                 : "long.avi");
        window ? p.start(binDir() + "/orvex", {source})
               : p.start(binDir() + "/orvex-cli", {"-p", c.profile, "-o", path("out"), source});
        ASSERT_TRUE(p.waitForStarted());
        QString err;
        // Other tests run encoders at the same time: only ours read this test's folder.
        const auto underWay = [&] {
            return probing ? !processesNaming("-i " + source).isEmpty()
                           : err.contains(kProgressLine);
        };
        for (int i = 0; i < 200 && !underWay(); ++i) {
            p.waitForReadyRead(100);
            err += QString::fromUtf8(p.readAllStandardError());
        }
        ASSERT_TRUE(underWay()) << err.toStdString();
        pid_t target = static_cast<pid_t>(p.processId());
        if (encoder) {
            // Only register.dat's AMR mode stays register.dat; the others become FFmpeg.
            const QStringList encoders = processesNaming("register.dat -y -i " + dir_.path());
            ASSERT_EQ(encoders.size(), 1) << encoders.join('\n').toStdString();
            target = encoders[0].section(':', 0, 0).toInt();
        }
        ::kill(target, c.signal);
        ASSERT_TRUE(p.waitForFinished(30000));
        err += QString::fromUtf8(p.readAllStandardError());
        QStringList left;
        // Soon, well before the encoder could have finished on its own.
        for (int i = 0; i < 15 && !(left = processesNaming(dir_.path())).isEmpty(); ++i) {
            QThread::msleep(100);
        }
        EXPECT_TRUE(left.isEmpty()) << left.join('\n').toStdString();
        if ((c.signal != SIGKILL || encoder) && !window) {
            EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(p.exitCode(), 1);
            if (!probing) {
                EXPECT_TRUE(
                    err.contains(encoder ? "Summary: 0 finished, 1 failed, 0 skipped"
                                         : "Summary: 0 finished, 0 failed, 0 skipped, 1 stopped"))
                    << err.toStdString();
            }
            EXPECT_TRUE(outputFolderFiles().isEmpty())
                << outputFolderFiles().join(' ').toStdString();
        }
        for (const QString& l : std::as_const(left)) {
            ::kill(l.section(':', 0, 0).toInt(), SIGKILL);  // so one failure is not the next's
        }
    }
}

TEST_F(OrvexCliTest, AnEncoderThatCannotStartIsReportedOnce) {
    for (const char* name : {"a.avi", "b.avi", "c.avi"}) {
        ASSERT_TRUE(makeClip(path(name), 1.0));
    }
    QProcessEnvironment env = environment();
    env.insert("ORVEX_FFMPEG", path("no-ffmpeg-here"));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(binDir() + "/orvex-cli",
            {"-p", "118", "-o", path("out"), path("a.avi"), path("b.avi"), path("c.avi")});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString err = QString::fromUtf8(p.readAllStandardError());
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_EQ(err.count("no-ffmpeg-here"), 1) << err.toStdString();
    EXPECT_TRUE(err.contains("cannot be started")) << err.toStdString();
    EXPECT_FALSE(err.contains("bit rate")) << err.toStdString();
}

TEST_F(OrvexCliTest, NamesThatAreNotUtf8AreListedAsSkipped) {
    const QString in = path("in");
    QDir().mkdir(in);
    ASSERT_TRUE(makeClip(in + "/good.avi", 1.0));
    const QByteArray folder = QFile::encodeName(in);
    for (const QByteArray& name : {QByteArray("bad\xff"
                                              "byte.avi"),
                                   QByteArray("caf\xe9.avi")}) {
        ASSERT_EQ(::link((folder + "/good.avi").constData(), (folder + "/" + name).constData()), 0);
    }
    const CliRun r = run({in, "-p", "118", "-o", path("out")});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("Summary: 1 finished, 0 failed, 2 skipped")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("  skipped:  " + in +
                               "/bad\\xffbyte.avi: the file name is not "
                               "valid UTF-8"))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(in + "/caf\\xe9.avi")) << r.err.toStdString();

    // Given by name, the bytes are lost before the program sees them; the reason says so.
    QProcess p;
    p.setProcessEnvironment(environment());
    p.start(binDir() + "/orvex-cli",
            {"-p", "118", "-o", path("out"), QString::fromLocal8Bit(folder + "/caf\xe9.avi")});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString err = QString::fromUtf8(p.readAllStandardError());
    EXPECT_TRUE(err.contains("not valid UTF-8")) << err.toStdString();
    for (const QByteArray& name : {QByteArray("bad\xff"
                                              "byte.avi"),
                                   QByteArray("caf\xe9.avi")}) {
        ::unlink((folder + "/" + name).constData());  // QTemporaryDir cannot name them
    }
}

TEST_F(OrvexCliTest, UnreadableSettingsAreSaidOnceAndTheDefaultsUsed) {
    ASSERT_TRUE(makeClip(path("clip.avi"), 1.0));
    // A folder where the files should be: unreadable even for root.
    ASSERT_TRUE(QDir().mkpath(config_ + "/orvex/orvex-cli.ini"));
    ASSERT_TRUE(QDir().mkpath(config_ + "/orvex/pro orvex-cli.ini"));
    const CliRun r = run({"--show-lists"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.err.count("Cannot read"), 2) << r.err.toStdString();
    EXPECT_EQ(r.err.count("orvex-cli.ini (it is a folder)"), 2) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("profile\t1\t")) << r.out.toStdString();
}

}  // namespace
