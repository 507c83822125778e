// register.dat against the real FFmpeg, and against small stand-in FFmpeg scripts that show
// exactly which arguments arrive.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <thread>

#include "../../support/test_media.h"

using namespace orvex::test;

namespace {

// A stand-in FFmpeg: prints each argument on its own line to `stream` and exits with `status`.
QString writeArgvScript(const QString& dir, const QString& stream, int status) {
    const QString path = dir + QStringLiteral("/fake-ffmpeg");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        return {};
    }
    f.write(
        QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >&%1; done\nexit %2\n")
            .arg(stream == QStringLiteral("stderr") ? 2 : 1)
            .arg(status)
            .toUtf8());
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QStringList lines(const QByteArray& text) {
    QStringList l = QString::fromUtf8(text).split(QLatin1Char('\n'));
    if (!l.isEmpty() && l.last().isEmpty()) {
        l.removeLast();
    }
    return l;
}

// Number of AMR frames as FFmpeg reads them back (each holds 20 ms).
int amrPacketCount(const QString& file) {
    QString out;
    if (runProgram(QStringLiteral("ffprobe"),
                   {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-count_packets"),
                    QStringLiteral("-show_entries"), QStringLiteral("stream=nb_read_packets"),
                    QStringLiteral("-of"), QStringLiteral("default=nw=1:nk=1"), file},
                   &out) != 0) {
        return -1;
    }
    return out.trimmed().toInt();
}

// Frame type of the first AMR frame: its header carries the mode in bits 3..6.
int firstFrameMode(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray data = f.readAll();
    if (data.size() < 7 || !data.startsWith("#!AMR\n")) {
        return -1;
    }
    return (static_cast<unsigned char>(data[6]) >> 3) & 0x0F;
}

class RegisterDatTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        clipDir_ = new QTemporaryDir;
        clip_ = clipDir_->path() + QStringLiteral("/clip.avi");
        ASSERT_TRUE(makeClip(clip_, 2.0, 160, 120));
    }
    static void TearDownTestSuite() {
        delete clipDir_;
        clipDir_ = nullptr;
    }
    QString path(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }
    // Nothing of a job may be left in the work folder but what is listed.
    QStringList leftovers() const { return QDir(dir_.path()).entryList(QDir::Files); }

    static QTemporaryDir* clipDir_;
    static QString clip_;
    QTemporaryDir dir_;
};

QTemporaryDir* RegisterDatTest::clipDir_ = nullptr;
QString RegisterDatTest::clip_;

TEST_F(RegisterDatTest, VersionIsFfmpegs) {
    const RunResult r = runRegisterDat({QStringLiteral("-version")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.startsWith("ffmpeg version")) << r.out.left(200).constData();
}

TEST_F(RegisterDatTest, ProbeOutputReachesTheCaller) {
    const RunResult r = runRegisterDat({QStringLiteral("-i"), clip_});
    EXPECT_NE(r.exitCode, 0);  // FFmpeg's complaint about the missing output
    EXPECT_TRUE(r.err.contains("Duration: 00:00:02")) << r.err.constData();
    EXPECT_TRUE(r.err.contains("Video:"));
    EXPECT_TRUE(r.err.contains("Audio:"));
}

TEST_F(RegisterDatTest, MissingFfmpegGivesOneLineAndStatus127) {
    const QString nowhere = path(QStringLiteral("nowhere/ffmpeg"));
    for (const QStringList& args :
         {QStringList{QStringLiteral("-version")},
          QStringList{QStringLiteral("-y"), QStringLiteral("-i"), clip_, path("out.amr")}}) {
        const RunResult r = runRegisterDat(args, nowhere);
        EXPECT_EQ(r.exitCode, 127) << args.join(' ').toStdString();
        const QStringList errLines = lines(r.err);
        ASSERT_EQ(errLines.size(), 1) << r.err.constData();
        EXPECT_TRUE(errLines[0].startsWith(QStringLiteral("register.dat: cannot start FFmpeg: ")));
        EXPECT_TRUE(errLines[0].contains(QStringLiteral("ORVEX_FFMPEG=") + nowhere));
        EXPECT_TRUE(errLines[0].contains(QStringLiteral("No such file or directory")));
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(' ').toStdString();
}

TEST_F(RegisterDatTest, ArgumentsPassThroughUnchanged) {
    const QString fake = writeArgvScript(dir_.path(), QStringLiteral("stdout"), 0);
    const QStringList args{QStringLiteral("-y"),
                           QStringLiteral("-i"),
                           QStringLiteral("my clip (1).avi"),
                           QStringLiteral("it's \"quoted\""),
                           QStringLiteral("-leading-dash"),
                           QStringLiteral("--"),
                           QStringLiteral("-"),
                           QStringLiteral(""),
                           QStringLiteral("  two  blanks  "),
                           QStringLiteral("$HOME;*?|&>x`id`"),
                           QStringLiteral("naïve Grüße 日本.mp4")};
    const RunResult r = runRegisterDat(args, fake);
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(lines(r.out), QStringList{QStringLiteral("-nostdin")} + args);
}

TEST_F(RegisterDatTest, FfmpegStatusIsPassedOn) {
    const QString fake = writeArgvScript(dir_.path(), QStringLiteral("stdout"), 3);
    EXPECT_EQ(runRegisterDat({QStringLiteral("-i"), clip_, path("x.mp4")}, fake).exitCode, 3);
}

TEST_F(RegisterDatTest, AmrJobDecodesWithoutTheCallersOutputOptions) {
    // The stand-in prints to stderr (stdout is the PCM pipe) and fails, so no file may appear.
    const QString fake = writeArgvScript(dir_.path(), QStringLiteral("stderr"), 4);
    const RunResult r = runRegisterDat({QStringLiteral("-y"),
                                        QStringLiteral("-i"),
                                        QStringLiteral("in put.avi"),
                                        QStringLiteral("-r"),
                                        QStringLiteral("25"),
                                        QStringLiteral("-b"),
                                        QStringLiteral("300000"),
                                        QStringLiteral("-ab"),
                                        QStringLiteral("7400"),
                                        QStringLiteral("-ac"),
                                        QStringLiteral("2"),
                                        QStringLiteral("-aspect"),
                                        QStringLiteral("1.3333"),
                                        QStringLiteral("-s"),
                                        QStringLiteral("320x240"),
                                        QStringLiteral("-ar"),
                                        QStringLiteral("8000"),
                                        QStringLiteral("-acodec"),
                                        QStringLiteral("libopencore_amrnb"),
                                        QStringLiteral("-vn"),
                                        QStringLiteral("-f"),
                                        QStringLiteral("amr"),
                                        QStringLiteral("-t"),
                                        QStringLiteral("1.5"),
                                        path("out.AMR")},
                                       fake);
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(lines(r.err), (QStringList{"-nostdin", "-y", "-i", "in put.avi", "-t", "1.5", "-vn",
                                         "-sn", "-dn", "-f", "s16le", "-acodec", "pcm_s16le", "-ar",
                                         "8000", "-ac", "1", "pipe:1"}));
    EXPECT_TRUE(leftovers().contains(QStringLiteral("fake-ffmpeg")));
    EXPECT_EQ(leftovers().size(), 1) << leftovers().join(' ').toStdString();
}

TEST_F(RegisterDatTest, AmrOutputIsReadableAtTheRequestedMode) {
    struct Case {
        const char* rate;  // nullptr: no -ab
        int mode;          // MR475 = 0 .. MR122 = 7
    };
    const Case cases[] = {{"12200", 7}, {nullptr, 7}, {"10200", 6}, {"10199", 5}, {"7.4k", 4},
                          {"5900", 2},  {"4750", 0},  {"1000", 0},  {"320000", 7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rate ? c.rate : "no -ab");
        const QString out = path(QStringLiteral("song.amr"));
        QStringList args{QStringLiteral("-y"), QStringLiteral("-i"), clip_};
        if (c.rate) {
            args << QStringLiteral("-ab") << QString::fromLatin1(c.rate);
        }
        args << QStringLiteral("-ar") << QStringLiteral("44100") << QStringLiteral("-ac")
             << QStringLiteral("2") << out;
        const RunResult r = runRegisterDat(args);
        ASSERT_EQ(r.exitCode, 0) << r.err.constData();
        EXPECT_TRUE(r.err.contains("time=")) << "FFmpeg's progress must reach the caller";
        EXPECT_EQ(probeFormatName(out), QStringLiteral("amr"));
        EXPECT_EQ(probeStream(out, QStringLiteral("a:0"), QStringLiteral("codec_name")),
                  QStringLiteral("amr_nb"));
        EXPECT_EQ(probeStream(out, QStringLiteral("a:0"), QStringLiteral("sample_rate")),
                  QStringLiteral("8000"));
        EXPECT_EQ(probeStream(out, QStringLiteral("a:0"), QStringLiteral("channels")),
                  QStringLiteral("1"));
        EXPECT_EQ(firstFrameMode(out), c.mode);
        // 2 s of input in 20 ms frames; the last partial frame is padded.
        EXPECT_NEAR(amrPacketCount(out), 100, 2);
        EXPECT_EQ(leftovers(), QStringList{QStringLiteral("song.amr")});
    }
}

TEST_F(RegisterDatTest, AmrProbeIsNotAnAmrJob) {
    const QString amr = path(QStringLiteral("in.amr"));
    ASSERT_EQ(runRegisterDat({QStringLiteral("-i"), clip_, amr}).exitCode, 0);
    const RunResult r = runRegisterDat({QStringLiteral("-i"), amr});
    EXPECT_TRUE(r.err.contains("Audio: amr_nb")) << r.err.constData();
}

TEST_F(RegisterDatTest, AmrFailuresLeaveNoFile) {
    // FFmpeg cannot read the input.
    RunResult r = runRegisterDat(
        {QStringLiteral("-y"), QStringLiteral("-i"), path("missing.avi"), path("out.amr")});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(' ').toStdString();

    // An input without audio.
    const QString silent = path(QStringLiteral("silent.avi"));
    ASSERT_TRUE(makeClip(silent, 1.0, 160, 120, false));
    r = runRegisterDat({QStringLiteral("-y"), QStringLiteral("-i"), silent, path("out.amr")});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(leftovers(), QStringList{QStringLiteral("silent.avi")});

    // A folder that does not exist: one line, and FFmpeg is not even started.
    r = runRegisterDat(
        {QStringLiteral("-y"), QStringLiteral("-i"), clip_, path("no/such/folder/out.amr")});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(lines(r.err).size(), 1) << r.err.constData();
    EXPECT_TRUE(r.err.startsWith("register.dat: "));

    // A bit rate that is not one.
    r = runRegisterDat({QStringLiteral("-y"), QStringLiteral("-i"), clip_, QStringLiteral("-ab"),
                        QStringLiteral("fast"), path("out.amr")});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(leftovers(), QStringList{QStringLiteral("silent.avi")});
}

TEST_F(RegisterDatTest, AmrRespectsOverwriteChoice) {
    const QString out = path(QStringLiteral("keep.amr"));
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("precious");
    f.close();

    for (const QStringList& args : {QStringList{QStringLiteral("-i"), clip_, out},
                                    QStringList{QStringLiteral("-y"), QStringLiteral("-n"),
                                                QStringLiteral("-i"), clip_, out}}) {
        const RunResult r = runRegisterDat(args);
        EXPECT_NE(r.exitCode, 0);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), QByteArray("precious"));
        f.close();
    }

    const RunResult r = runRegisterDat({QStringLiteral("-y"), QStringLiteral("-i"), clip_, out});
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(firstFrameMode(out), 7);
    EXPECT_EQ(leftovers(), QStringList{QStringLiteral("keep.amr")});

    // Even with -y, the input is never the output, under whatever name it is given.
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray amr = f.readAll();
    f.close();
    ASSERT_TRUE(QFile::link(out, path("link.amr")));
    ASSERT_EQ(
        ::link(QFile::encodeName(out).constData(), QFile::encodeName(path("hard.amr")).constData()),
        0);
    for (const QString& input :
         {out, path("link.amr"), path("hard.amr"), dir_.path() + "/./keep.amr"}) {
        const RunResult same = runRegisterDat({QStringLiteral("-y"), QStringLiteral("-i"), input,
                                               QStringLiteral("-ab"), QStringLiteral("4750"), out});
        EXPECT_EQ(same.exitCode, 1) << input.toStdString();
        EXPECT_TRUE(same.err.contains("same as Input #0")) << same.err.constData();
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), amr) << input.toStdString();
        f.close();
    }
    EXPECT_EQ(leftovers(), (QStringList{"hard.amr", "keep.amr", "link.amr"}));
}

TEST_F(RegisterDatTest, StopEndsFfmpegAndLeavesNoFile) {
    const QString out = path(QStringLiteral("long.amr"));
    QProcess p;
    p.start(registerDatPath(), {QStringLiteral("-y"), QStringLiteral("-re"), QStringLiteral("-f"),
                                QStringLiteral("lavfi"), QStringLiteral("-i"),
                                QStringLiteral("sine=duration=60"), out});
    ASSERT_TRUE(p.waitForStarted(10000));
    // Wait until FFmpeg runs and frames are being written.
    QByteArray err;
    for (int i = 0; i < 100 && !err.contains("time="); ++i) {
        p.waitForReadyRead(100);
        err += p.readAllStandardError();
    }
    ASSERT_TRUE(err.contains("time=")) << err.constData();
    p.terminate();  // SIGTERM, as a stopped job gets
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(' ').toStdString();
}

TEST_F(RegisterDatTest, DvdLocatorIsReportedNotPassedOn) {
    const RunResult r = runRegisterDat({QStringLiteral("-y"), QStringLiteral("-i"),
                                        QStringLiteral("vts://1/0-100"), path("out.mp4")});
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(lines(r.err).size(), 1) << r.err.constData();
    EXPECT_TRUE(leftovers().isEmpty());
}

// "The Original Audio Quliay" passes on whatever the source had, and "Higher quality" asks
// 320 kbit/s even of mono Vorbis: each encoder gets the nearest rate it takes for its channels
// and sample rate, a video rate no higher than the command's own -maxrate, a frame rate it
// takes, the mending its container needs and its threads; everything else reaches FFmpeg as
// given.
TEST_F(RegisterDatTest, ChoicesAreBroughtIntoWhatTheEncoderTakes) {
    const QString fake = writeArgvScript(dir_.path(), QStringLiteral("stdout"), 0);
    const QString cores = QString::number(std::max(1u, std::thread::hardware_concurrency()));
    struct Case {
        QStringList options;
        QStringList expected;  // option, value: the last of each option has this value
        int added = 0;         // arguments register.dat adds
    };
    const Case cases[] = {
        {{"-acodec", "wmav2", "-ab", "12000", "-ac", "1", "-ar", "22050"}, {"-ab", "24000"}},
        {{"-acodec", "wmav2", "-ab", "1536000", "-ac", "2", "-ar", "48000"}, {"-ab", "1536000"}},
        {{"-acodec", "libvorbis", "-ab", "320000", "-ac", "1", "-ar", "48000"}, {"-ab", "240000"}},
        {{"-acodec", "libvorbis", "-ab", "192000", "-ac", "1", "-ar", "48000"}, {"-ab", "192000"}},
        {{"-acodec", "libvorbis", "-ab", "128k", "-ac", "1", "-ar", "22050"}, {"-ab", "88000"}},
        {{"-acodec", "libvorbis", "-ab", "8000", "-ac", "2", "-ar", "22050"}, {"-ab", "32000"}},
        {{"-acodec", "libvorbis", "-ab", "1536000", "-ac", "2", "-ar", "48000"}, {"-ab", "500000"}},
        {{"-acodec", "mp2", "-ab", "100000", "-ac", "2", "-ar", "44100"}, {"-ab", "96000"}},
        {{"-acodec", "mp2", "-ab", "12000", "-ac", "1", "-ar", "22050"}, {"-ab", "8000"}},
        {{"-acodec", "mp2", "-ab", "12000", "-ac", "1", "-ar", "48000"}, {"-ab", "32000"}},
        {{"-acodec", "libmp3lame", "-ab", "1536000", "-ac", "2", "-ar", "48000"},
         {"-ab", "320000"}},
        {{"-acodec", "aac", "-ab", "12200", "-ac", "1", "-ar", "8000"}, {"-ab", "12200"}},
        {{"-ab", "8000", "-acodec", "ac3", "-ar", "48000"}, {"-ab", "32000"}},
        {{"-b", "50000000", "-vcodec", "libx264", "-maxrate", "2500k"}, {"-b", "2500000"}},
        {{"-b", "1000000", "-vcodec", "libx264", "-maxrate", "2500k"}, {"-b", "1000000"}},
        {{"-b", "50000000", "-vcodec", "mpeg4"}, {"-b", "50000000", "-threads", cores}, 2},
        {{"-vcodec", "mpeg4", "-threads", "1"}, {"-threads", "1"}},
        // MPEG-1/2 take their standard frame rates.
        {{"-r", "15", "-vcodec", "mpeg1video"}, {"-r", "30"}},
        {{"-r", "12.5", "-vcodec", "mpeg2video"}, {"-r", "25"}},
        // RealMedia holds no video packet over 64 kB.
        {{"-r", "25", "-b", "20000000", "-vcodec", "rv20", "-f", "rm"},
         {"-b", "6000000", "-maxrate", "12000000", "-bufsize", "480000"},
         4},
        // libxvid's B-frames: renumbered in AVI, none where presentation times are kept.
        {{"-vcodec", "libxvid", "-bf", "2", "-f", "avi"},
         {"-bsf:v", "setts=ts=N", "-avoid_negative_ts", "disabled", "-vf",
          "tpad=stop=2:stop_mode=clone", "-threads", cores},
         8},
        {{"-vf", "fps=25", "-vcodec", "libxvid", "-bf", "1", "-f", "avi"},
         {"-vf", "fps=25,tpad=stop=1:stop_mode=clone"},
         6},
        {{"-vcodec", "libxvid", "-bf", "2", "-f", "matroska"}, {"-bf", "0"}, 2},
        {{"-vcodec", "libx264", "-f", "avi"},
         {"-b-pyramid", "none", "-avoid_negative_ts", "disabled"},
         4},
        {{"-vcodec", "libx264", "-f", "mp4"}, {}},
    };
    for (const Case& c : cases) {
        const QStringList args =
            QStringList{"-y", "-i", clip_} + c.options + QStringList{path("o")};
        const QStringList seen = lines(runRegisterDat(args, fake).out);
        const std::string trace = c.options.join(' ').toStdString();
        for (qsizetype i = 0; i + 1 < c.expected.size(); i += 2) {
            const qsizetype at = seen.lastIndexOf(c.expected[i]);
            ASSERT_GE(at, 0) << trace << ": no " << c.expected[i].toStdString();
            EXPECT_EQ(seen.value(at + 1).toStdString(), c.expected[i + 1].toStdString()) << trace;
        }
        EXPECT_EQ(seen.size(), args.size() + 1 + c.added) << trace;  // and -nostdin
        EXPECT_EQ(seen.last(), path("o")) << trace;
    }
    // And the real encoders take what they used to refuse.
    for (const auto& [codec, rate, file] :
         {std::tuple{"libvorbis", "320000", "m.ogg"}, std::tuple{"wmav2", "12000", "m.wma"}}) {
        const RunResult r = runRegisterDat({"-y", "-i", clip_, "-ab", rate, "-ac", "1", "-ar",
                                            "48000", "-vn", "-acodec", codec, path(file)});
        EXPECT_EQ(r.exitCode, 0) << r.err.constData();
        EXPECT_EQ(probeStream(path(file), "a:0", "channels"), "1");
    }
}

// FFmpeg's RealMedia muxer stamps RealAudio 14.4 (and AAC, see the picture tests) packets all at
// 0: register.dat stamps them afresh, so the file has its length and players can seek.
TEST_F(RegisterDatTest, RealAudioHasItsTimes) {
    const QString out = path(QStringLiteral("o.ra"));
    const RunResult r = runRegisterDat({"-y", "-i", clip_, "-vn", "-acodec", "real_144", "-ar",
                                        "8000", "-ac", "1", "-f", "rm", out});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_NEAR(probeStream(out, "a:0", "duration").toDouble(), 2.0, 0.1);
    QString times;
    runProgram("ffprobe",
               {"-v", "error", "-show_entries", "packet=pts_time", "-of", "csv=p=0", out}, &times);
    EXPECT_NEAR(times.split('\n', Qt::SkipEmptyParts).last().toDouble(), 2.0, 0.1);
}

// The PSP muxer refuses a file without audio: a silent source gets a silent track as long as
// the video, a source with audio keeps its own and only that.
TEST_F(RegisterDatTest, PspOutputAlwaysHasOneAudioStream) {
    const QString silent = path(QStringLiteral("silent.avi"));
    ASSERT_TRUE(makeClip(silent, 1.0, 160, 120, false));
    for (const QString& source : {silent, clip_}) {
        SCOPED_TRACE(source.toStdString());
        const QString out = path(QStringLiteral("psp.mp4"));
        const RunResult r =
            runRegisterDat({"-y", "-i", source, "-ab", "64000", "-ac", "1", "-ar", "22050",
                            "-vcodec", "mpeg4", "-acodec", "aac", "-f", "psp", out});
        ASSERT_EQ(r.exitCode, 0) << r.err.constData();
        EXPECT_EQ(probeStream(out, "a:0", "channels"), "1");
        EXPECT_EQ(probeStream(out, "a:0", "sample_rate"), "22050");
        EXPECT_TRUE(probeStream(out, "a:1", "codec_name").isEmpty()) << "a second audio stream";
        const double video = probeStream(out, "v:0", "duration").toDouble();
        const double audio = probeStream(out, "a:0", "duration").toDouble();
        EXPECT_GT(video, 0.5);
        EXPECT_LT(audio, video + 0.25) << "the silent track outlasts the video";
        QFile::remove(out);
    }
}

}  // namespace
