// register.dat reading DVD locators: the sectors it feeds FFmpeg, the streams it maps, the
// subtitle it burns in, its failures and its stop, on the disc made by dvd_fixture.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <vector>

#include "../../support/dvd_fixture.h"
#include "../../support/test_media.h"
#include "core/engine/dvd_locator.h"
#include "ifoinfo/ifoinfo.h"

using namespace orvex::test;

namespace {

QStringList lines(const QByteArray& text) {
    return QString::fromUtf8(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

struct Range {
    qint32 first = 0, last = 0;
};

// Sector ranges as the core takes them from the IFO: a title's first to last cell, or one cell.
Range cellRange(const QString& ifoPath, int chain, int firstCell, int lastCell) {
    IfoInfo* h = ifoOpen(ifoPath.toUtf8().constData(), 0);
    Range r;
    if (!h) {
        return r;
    }
    const int n = ifoGetPGCIInfo(h, chain, nullptr);
    std::vector<unsigned char> cells(size_t(n) * IFOINFO_CELL_RECORD_SIZE);
    ifoGetPGCICells(h, chain, cells.data());
    ifoClose(h);
    auto int32At = [&](int cell, int offset) {
        const unsigned char* p = cells.data() + cell * IFOINFO_CELL_RECORD_SIZE + offset;
        return qint32(p[0] | p[1] << 8 | p[2] << 16 | quint32(p[3]) << 24);
    };
    if (lastCell < n) {
        r = {int32At(firstCell, 0), int32At(lastCell, 4)};
    }
    return r;
}

// The locator exactly as the core writes it for a row.
QString locatorFor(const QString& ifoPath, Range range, const QString& audio,
                   const QString& subtitle) {
    TConvertInfo row;
    row.ifoPath = ifoPath;
    row.startSector = range.first;
    row.endSector = range.last;
    row.audioStream = audio;
    row.subtitleStream = subtitle;
    return dvdLocator(row);
}

// A stand-in FFmpeg that prints its arguments and keeps what arrives on its standard input.
QString writeRecordingFfmpeg(const QString& dir) {
    const QString path = dir + "/fake-ffmpeg";
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        return {};
    }
    f.write("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done\ncat > \"$0.stdin\"\n");
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class RegisterDatDvdTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(fixture().root.isEmpty()) << fixture().error.toStdString();
    }
    static const DvdFixture& fixture() { return dvdFixture(); }
    QString path(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

// A title and a chapter converted with the second audio track and the subtitle burnt in, the
// way a profile asks: the caller's filters, size, aspect and codecs apply to the overlaid
// picture.
TEST_F(RegisterDatDvdTest, ConvertsTitleAndChapterWithChosenAudioAndBurntInSubtitle) {
    const QString ifo = fixture().ifoPath(1);
    const struct {
        const char* name;
        Range range;
        double seconds;
        double subtitleAt;  // a moment the subtitle shows, in the output's time
    } cases[] = {
        {"title", cellRange(ifo, 0, 0, 2), 9.0, 1.5},
        {"chapter", cellRange(ifo, 0, 1, 1), 3.0, 1.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_GT(c.range.last - c.range.first, 1000);
        QByteArray frames[2];
        for (const QString subtitle : {"0x20", "0"}) {
            const QString out = path(QStringLiteral("%1_%2.mp4").arg(c.name, subtitle));
            const RunResult r =
                runRegisterDat({"-y",     "-i",      locatorFor(ifo, c.range, "0xc0", subtitle),
                                "-r",     "25",      "-b",
                                "800000", "-ab",     "128000",
                                "-ac",    "2",       "-aspect",
                                "1.3333", "-s",      "320x240",
                                "-ar",    "44100",   "-vcodec",
                                "mpeg4",  "-acodec", "aac",
                                "-vf",    "fps=25",  out});
            ASSERT_EQ(r.exitCode, 0) << r.err.right(2000).constData();
            EXPECT_TRUE(r.err.contains("time=")) << "FFmpeg's progress must reach the caller";
            EXPECT_NEAR(durationOf(out), c.seconds, 0.3);
            EXPECT_EQ(probeStream(out, "v:0", "width"), "320");
            EXPECT_EQ(probeStream(out, "v:0", "height"), "240");
            EXPECT_EQ(probeStream(out, "v:0", "display_aspect_ratio"), "4:3");
            EXPECT_NEAR(toneHz(out), kFixtureToneHz[1], 20);
            frames[subtitle == "0" ? 1 : 0] = greyFrame(out, c.subtitleAt);
        }
        // The text sits at the bottom; the rest of the picture is the same in both.
        const int bottom = changedPixels(frames[0], frames[1], 180, 240);
        const int top = changedPixels(frames[0], frames[1], 0, 180);
        ASSERT_GE(top, 0);
        EXPECT_GT(bottom, 150) << "top " << top;
        EXPECT_LT(top, 20);
    }
}

// An IFO colour (0x00YYCrCb, studio range) as RGB, by BT.601.
Rgb rgbOfIfoColour(uint32_t c) {
    const double y = (int(c >> 16 & 0xff) - 16) * 255.0 / 219.0;
    const double cr = (int(c >> 8 & 0xff) - 128) * 255.0 / 224.0;
    const double cb = (int(c & 0xff) - 128) * 255.0 / 224.0;
    auto clamp = [](double v) { return int(std::lround(std::clamp(v, 0.0, 255.0))); };
    return {clamp(y + 1.402 * cr), clamp(y - 0.344 * cb - 0.714 * cr), clamp(y + 1.772 * cb)};
}

// A burnt-in subtitle has the colours the title's IFO gives it: the red bar in its white frame
// comes out red and white, not in colours the decoder guessed.
TEST_F(RegisterDatDvdTest, BurntInSubtitleHasTheIfosColours) {
    const DvdFixture& disc = multiCellDvd();
    ASSERT_FALSE(disc.root.isEmpty()) << disc.error.toStdString();
    const QString ifo = disc.ifoPath(1);
    IfoInfo* h = ifoOpen(ifo.toUtf8().constData(), 0);
    ASSERT_NE(h, nullptr);
    uint32_t palette[16];
    ASSERT_EQ(ifoGetPGCIPalette(h, 0, palette), 16);
    ifoClose(h);
    // The IFO's reddest colour and its lightest.
    const uint32_t red = *std::max_element(palette, palette + 16, [](uint32_t a, uint32_t b) {
        return (a >> 8 & 0xff) < (b >> 8 & 0xff);
    });
    const uint32_t white = *std::max_element(palette, palette + 16);
    const QString out = path("bar.mkv");
    const RunResult r =
        runRegisterDat({"-y", "-i", locatorFor(ifo, cellRange(ifo, 0, 0, 5), "0", "0x21"), "-t",
                        "2.5", "-an", "-vcodec", "ffv1", out});
    ASSERT_EQ(r.exitCode, 0) << r.err.right(2000).constData();
    EXPECT_EQ(barColourMismatches(rgbFrame(out, 2.0, 720, 576), 720, 576, rgbOfIfoColour(red),
                                  rgbOfIfoColour(white), 16)
                  .join("; ")
                  .toStdString(),
              "");
}

TEST_F(RegisterDatDvdTest, AudioStreamPicksTheTrack) {
    const struct {
        int set;
        const char* audio;
        int hz;
        bool notice;  // the chosen track is not on the disc
    } cases[] = {
        {1, "0", kFixtureToneHz[0], false},       {1, "0x80", kFixtureToneHz[0], false},
        {1, "0xc0", kFixtureToneHz[1], false},    {1, "0x81", kFixtureToneHz[0], true},
        {2, "0", kFixtureSecondSetToneHz, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.audio);
        const QString ifo = fixture().ifoPath(c.set);
        const QString out = path("sound.wav");
        const RunResult r =
            runRegisterDat({"-y", "-i", locatorFor(ifo, cellRange(ifo, 0, 0, 0), c.audio, "0"),
                            "-vn", "-acodec", "pcm_s16le", out});
        ASSERT_EQ(r.exitCode, 0) << r.err.right(2000).constData();
        EXPECT_NEAR(toneHz(out), c.hz, 20);
        EXPECT_EQ(r.err.contains("register.dat: audio stream 0x81 is not in the title"), c.notice);
    }
}

// The short chain has no subtitle packets at all; burning in its subtitle must not fail the job
// (FFmpeg would not know the stream) and must not change the picture.
TEST_F(RegisterDatDvdTest, SubtitleThatNeverShowsInTheRangeIsNoFailure) {
    const QString ifo = fixture().ifoPath(1);
    const Range range = cellRange(ifo, 1, 0, 0);
    QByteArray frames[2];
    int i = 0;
    for (const QString subtitle : {"0x20", "0"}) {
        const QString out = path(subtitle + ".mkv");
        const RunResult r = runRegisterDat({"-y", "-i", locatorFor(ifo, range, "0", subtitle),
                                            "-vcodec", "mpeg4", "-q:v", "2", "-an", out});
        ASSERT_EQ(r.exitCode, 0) << r.err.right(2000).constData();
        EXPECT_NEAR(durationOf(out), 1.0, 0.2);
        frames[i++] = greyFrame(out, 0.5);
    }
    EXPECT_EQ(changedPixels(frames[0], frames[1], 0, 240), 0);
}

// What FFmpeg gets: its arguments, and on its standard input exactly the range's sectors (after
// the one pack that announces a burnt-in subtitle).
TEST_F(RegisterDatDvdTest, FfmpegGetsThePipeTheMapsAndExactlyTheSectors) {
    const QString fake = writeRecordingFfmpeg(dir_.path());
    const QString ifo = fixture().ifoPath(1);
    const Range range = cellRange(ifo, 0, 1, 2);
    const QByteArray vob = fileBytes(fixture().vobPath(1));
    const QByteArray sectors =
        vob.mid(qsizetype(range.first) * 2048, qsizetype(range.last - range.first + 1) * 2048);
    const QStringList pipeIn{"-nostdin",         "-y",  "-f", "mpeg",  "-probesize", "40M",
                             "-analyzeduration", "40M", "-i", "pipe:0"};
    const struct {
        const char *audio, *subtitle;
        QStringList extra;  // output options given
        QStringList maps;   // what register.dat puts in front of them
    } cases[] = {
        {"0", "0", {"-s", "320x240"}, {"-map", "0:v:0", "-map", "0:a:0?"}},
        {"0xc0",
         "0x21",
         {"-s", "320x240", "-aspect", "1.7778"},
         {"-filter_complex", "[0:v:0][0:i:0x21]overlay[v]", "-map", "[v]", "-map", "0:i:0x1c0"}},
        // FFmpeg takes no -vf for the overlay's output: the filters join its graph.
        {"0",
         "0x20",
         {"-vf", "fps=25,scale=320:180,pad=320:240:0:30", "-s", "320x240"},
         {"-filter_complex", "[0:v:0][0:i:0x20]overlay,fps=25,scale=320:180,pad=320:240:0:30[v]",
          "-map", "[v]", "-map", "0:a:0?"}},
        {"0", "0", {"-vf", "fps=25"}, {"-map", "0:v:0", "-map", "0:a:0?"}},
        {"0x80", "0x20", {"-vn", "-ab", "64000"}, {"-map", "0:i:0x80"}},
        {"0x80", "0", {"-an"}, {"-map", "0:v:0"}},
        {"0", "0x3f", {"-an", "-vn"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.audio) + " " + c.subtitle);
        const QString out = path("out file.mp4");
        const QString locator = locatorFor(ifo, range, c.audio, c.subtitle);
        const RunResult r =
            runRegisterDat(QStringList{"-y", "-i", locator} + c.extra + QStringList{out}, fake);
        EXPECT_EQ(r.exitCode, 0) << r.err.constData();
        QStringList args = lines(r.out);
        // A subtitle burnt in gets the title's sixteen colours for its decoder.
        const bool burnt = QByteArray(c.subtitle) != "0" && !c.extra.contains("-vn");
        if (burnt && args.size() > 3 && args[2] == "-palette:s") {
            EXPECT_EQ(args[3].split(',').size(), 16) << args[3].toStdString();
            args.remove(2, 2);
        } else {
            EXPECT_FALSE(burnt) << "no palette given";
        }
        // A burnt-in subtitle's overlay graph takes the caller's -vf in.
        QStringList given = c.extra;
        if (QByteArray(c.subtitle) != "0" && given.contains("-vf")) {
            given.remove(given.indexOf("-vf"), 2);
        }
        EXPECT_EQ(args, pipeIn + c.maps + given + QStringList{out});
        const QByteArray fed = fileBytes(fake + ".stdin");
        if (QByteArray(c.subtitle) == "0") {
            EXPECT_TRUE(fed == sectors) << fed.size() << " bytes for " << sectors.size();
        } else {
            ASSERT_EQ(fed.size(), sectors.size() + 2048);
            EXPECT_TRUE(fed.startsWith(QByteArray::fromHex("000001ba")));
            EXPECT_TRUE(fed.mid(2048) == sectors);
        }
    }
}

// FFmpeg may stop reading early (a -t limit, a bad option): the feeding ends quietly and
// FFmpeg's status is register.dat's.
TEST_F(RegisterDatDvdTest, FfmpegThatStopsReadingEndsTheFeedingQuietly) {
    const QString quitter = dir_.filePath("quitter");
    QFile f(quitter);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\nexec 0<&-\nexit 3\n");
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString ifo = fixture().ifoPath(1);
    const RunResult r = runRegisterDat(
        {"-y", "-i", locatorFor(ifo, cellRange(ifo, 0, 0, 2), "0", "0x20"), path("x.mp4")},
        quitter);
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_TRUE(r.err.isEmpty()) << r.err.constData();

    // The real FFmpeg with -t: it ends after a second and the file is fine.
    const QString out = path("second.mp4");
    const RunResult real =
        runRegisterDat({"-y", "-i", locatorFor(ifo, cellRange(ifo, 0, 0, 2), "0", "0"), "-t", "1",
                        "-vcodec", "mpeg4", out});
    EXPECT_EQ(real.exitCode, 0) << real.err.right(2000).constData();
    EXPECT_NEAR(durationOf(out), 1.0, 0.2);
}

TEST_F(RegisterDatDvdTest, UnreadableDiscsFailWithOneLine) {
    const QString ifo = fixture().ifoPath(1);
    const Range title = cellRange(ifo, 0, 0, 2);
    // Damaged copies of the disc.
    const QString encrypted = path("encrypted"), garbage = path("garbage");
    ASSERT_TRUE(copyDvdFixture(encrypted) && copyDvdFixture(garbage));
    ASSERT_TRUE(scrambleVob(encrypted + "/VIDEO_TS/VTS_01_1.VOB"));
    {
        QFile vob(garbage + "/VIDEO_TS/VTS_01_1.VOB");
        ASSERT_TRUE(vob.open(QIODevice::ReadWrite));
        vob.write(QByteArray(int(vob.size()), '\x5a'));
    }
    const struct {
        QString locator;
        const char* reason;
    } cases[] = {
        {locatorFor(path("nowhere/VIDEO_TS/VTS_01_0.IFO"), title, "0", "0"),
         "No such file or directory"},
        {locatorFor(fixture().ifoPath(3), title, "0", "0"), "VTS_03_1.VOB is missing"},
        {locatorFor(ifo, {0, 99999}, "0", "0"), "lie beyond the"},
        {locatorFor(ifo, title, "0x20", "0"), "bad audio stream '0x20'"},
        {locatorFor(ifo, title, "0", "English"), "bad subtitle stream"},
        {locatorFor(fixture().root + "/VTS_01_0.IFO", title, "0", "0"), "names no disc folder"},
        {"vts://1/0-100", "bad DVD locator 'vts://1/0-100'"},
        {locatorFor(encrypted + "/VIDEO_TS/VTS_01_0.IFO", title, "0", "0"),
         "the title is scrambled (CSS copy protection)"},
        {locatorFor(garbage + "/VIDEO_TS/VTS_01_0.IFO", title, "0", "0"),
         "hold no MPEG-2 program stream"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locator.toStdString());
        const RunResult r =
            runRegisterDat({"-y", "-i", c.locator, "-vcodec", "mpeg4", path("out.mp4")});
        EXPECT_EQ(r.exitCode, 1);
        const QStringList errLines = lines(r.err);
        ASSERT_EQ(errLines.size(), 1) << r.err.constData();
        EXPECT_TRUE(errLines[0].startsWith("register.dat: cannot read the DVD: "));
        EXPECT_TRUE(errLines[0].contains(c.reason)) << errLines[0].toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_FALSE(QFile::exists(path("out.mp4")));
    }
}

// Children of a process, from /proc.
QList<qint64> childrenOf(qint64 pid) {
    QList<qint64> children;
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
        bool isPid = false;
        entry.toLongLong(&isPid);
        QFile stat("/proc/" + entry + "/stat");
        if (!isPid || !stat.open(QIODevice::ReadOnly)) {
            continue;
        }
        // pid (comm) state ppid ...: comm may hold blanks, so read after its ")".
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[1].toLongLong() == pid) {
            children << entry.toLongLong();
        }
    }
    return children;
}

bool waitFor(const std::function<bool()>& done, int ms) {
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QThread::msleep(20);
    }
    return true;
}

// Stop mid-run: register.dat passes SIGTERM on, stops feeding, FFmpeg finishes its file, and no
// process is left behind.
TEST_F(RegisterDatDvdTest, StopEndsReaderAndFfmpegCleanly) {
    const QString ifo = fixture().ifoPath(1);
    const QString out = path("stopped.mkv");
    QProcess p;
    p.start(registerDatPath(),
            {"-y", "-re", "-i", locatorFor(ifo, cellRange(ifo, 0, 0, 2), "0xc0", "0x20"), "-vcodec",
             "mpeg4", "-acodec", "mp2", out});
    ASSERT_TRUE(p.waitForStarted(10000));
    QByteArray err;
    ASSERT_TRUE(waitFor(
        [&] {
            p.waitForReadyRead(50);
            err += p.readAllStandardError();
            return err.contains("time=00:00:01");
        },
        30000))
        << err.constData();
    const QList<qint64> children = childrenOf(p.processId());
    ASSERT_EQ(children.size(), 1);
    p.terminate();
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_NE(p.exitCode(), 0);
    EXPECT_TRUE(
        waitFor([&] { return !QFile::exists("/proc/" + QString::number(children[0])); }, 5000));
    // FFmpeg finished the file it had begun: readable, shorter than the title.
    const double seconds = durationOf(out);
    EXPECT_GT(seconds, 0.5);
    EXPECT_LT(seconds, 8.5);
}

}  // namespace
