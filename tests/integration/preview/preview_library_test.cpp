// The preview library over real libmpv, with no display and no sound: generated clips and the
// DVD fixture played through the six calls, and through the preview logic.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSize>
#include <QTemporaryDir>
#include <QTimer>

#include "../../support/dvd_fixture.h"
#include "../../support/fake_user_interface.h"
#include "../../support/qt_gtest.h"
#include "../../support/test_media.h"
#include "core/engine/dvd_locator.h"
#include "core/preview/library_preview_player.h"
#include "core/preview/preview.h"
#include "previewlib/preview.h"
#include "previewlib/preview_diagnostics.h"
#include "previewlib/preview_surface.h"

using namespace orvex::test;

namespace {

struct RecordingSurface : PreviewSurface {
    void showFrame(const unsigned char* pixels, int width, int height, int stride) override {
        ++frames;
        size = {width, height};
        // How many distinct grey levels the frame has: a blank frame has one.
        QList<int> levels;
        for (int y = 0; y < height; y += 4) {
            for (int x = 0; x < width; x += 4) {
                const unsigned char* p = pixels + y * stride + x * 4;
                const int level = (p[0] + p[1] + p[2]) / 24;
                if (!levels.contains(level)) {
                    levels << level;
                }
            }
        }
        richestFrame = std::max(richestFrame, int(levels.size()));
        last.resize(size_t(width) * 3 * size_t(height));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                std::copy_n(pixels + y * stride + x * 4, 3, last.begin() + (y * width + x) * 3);
            }
        }
    }
    void clearFrame() override { ++clears; }

    int frames = 0;
    int clears = 0;
    int richestFrame = 0;
    QSize size;
    std::vector<unsigned char> last;  // the last frame, RGB
};

// The locator of title set 1's first title with these streams.
QByteArray firstTitle(const DvdFixture& dvd, const char* audio, const char* subtitle) {
    TConvertInfo info;
    info.ifoPath = dvd.ifoPath(1);
    info.startSector = 0;
    info.endSector = qint32(QFileInfo(dvd.vobPath(1)).size() / 2048) - 1;
    info.audioStream = audio;
    info.subtitleStream = subtitle;
    return dvdLocator(info).toUtf8();
}

std::vector<double>* reports = nullptr;
void record(double seconds) {
    reports->push_back(seconds);
}

class PreviewLibraryTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        qputenv("ORVEX_PREVIEW_AO", "null");
        clip_ = new QTemporaryDir;
        ASSERT_TRUE(makeClip(clip_->filePath("clip.mp4"), 3.0, 320, 180));
    }
    static void TearDownTestSuite() {
        delete clip_;
        clip_ = nullptr;
    }
    void SetUp() override {
        reports = &positions_;
        InitPreviewWindow(&surface_, 176, 137);
        SetEventFuntion(record);
    }
    void TearDown() override {
        SetEventFuntion(nullptr);
        reports = nullptr;
    }
    // Plays `source`; the milliseconds Play took.
    qint64 play(const QByteArray& source) {
        QElapsedTimer t;
        t.start();
        Play(source.constData());
        return t.elapsed();
    }
    static QByteArray clipPath() { return clip_->filePath("clip.mp4").toUtf8(); }

    static QTemporaryDir* clip_;
    RecordingSurface surface_;
    std::vector<double> positions_;
};
QTemporaryDir* PreviewLibraryTest::clip_ = nullptr;

TEST_F(PreviewLibraryTest, ClipPlaysToItsEndInThePanel) {
    const qint64 ms = play(clipPath());
    EXPECT_GT(ms, 2000);
    EXPECT_LT(ms, 8000);
    ASSERT_FALSE(positions_.empty());
    EXPECT_TRUE(std::is_sorted(positions_.begin(), positions_.end()));
    EXPECT_GT(positions_.back(), 2.5);
    EXPECT_GT(surface_.frames, 10);
    EXPECT_EQ(surface_.size, QSize(176, 137));
    EXPECT_GT(surface_.richestFrame, 4) << "the frames are blank";
    EXPECT_EQ(surface_.clears, 1);
}

TEST_F(PreviewLibraryTest, StopAndPauseFromTheEventLoop) {
    // Stop after 0.8 s.
    QTimer::singleShot(800, [] { Stop(); });
    EXPECT_LT(play(clipPath()), 2000);
    ASSERT_FALSE(positions_.empty());
    EXPECT_LT(positions_.back(), 1.5);

    // Paused from 0.5 s to 1.5 s: the position stands still, then the clip plays on to its end.
    positions_.clear();
    double atPause = 0, beforeResume = 0;
    QTimer::singleShot(500, [] { Pause(); });
    QTimer::singleShot(800, [&] { atPause = positions_.empty() ? -1 : positions_.back(); });
    QTimer::singleShot(1500, [&] {
        beforeResume = positions_.empty() ? -1 : positions_.back();
        Pause();
    });
    const qint64 ms = play(clipPath());
    EXPECT_GT(atPause, 0.2);
    EXPECT_NEAR(beforeResume, atPause, 0.1);
    EXPECT_GT(ms, 3500);
    EXPECT_GT(positions_.back(), 2.5);
}

// Qt holds back events posted while a posted event is handled, also from processEvents called
// there (a wait in a queued call, a callback that waits): the player must still be heard.
TEST_F(PreviewLibraryTest, PlayerHeardWhileAQueuedCallWaits) {
    bool advanced = false;
    QTimer::singleShot(0, [&] {
        advanced = waitUntil([&] { return !positions_.empty() && positions_.back() > 1.0; }, 5000);
        Stop();
    });
    play(clipPath());
    EXPECT_TRUE(advanced);
    EXPECT_GT(surface_.frames, 0);
}

// What the library cannot play ends Play at once with nothing shown; a scrambled title is
// never shown as garbage.
TEST_F(PreviewLibraryTest, UnplayableSourcesEndPromptly) {
    QTemporaryDir dir;
    QFile text(dir.filePath("notes.avi"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("this is not a video\n");
    text.close();
    DvdFixture scrambled;
    scrambled.root = dir.filePath("scrambled");
    ASSERT_TRUE(copyDvdFixture(scrambled.root) && scrambleVob(scrambled.vobPath(1)));
    const QByteArray sources[] = {
        firstTitle(scrambled, "0", "0"),
        dir.filePath("notes.avi").toUtf8(),
        dir.filePath("missing.mp4").toUtf8(),
        "vts://01*0*100*0x80*0*/" + dir.path().toUtf8(),  // no disc there
        "vts://garbage",
        "",
    };
    for (const QByteArray& source : sources) {
        SCOPED_TRACE(source.constData());
        EXPECT_LT(play(source), 2000);
        EXPECT_EQ(surface_.frames, 0);
    }
}

// A DVD title through the "vts" protocol, with its second audio track and its subtitle.
TEST_F(PreviewLibraryTest, DvdTitlePlaysWithTheChosenStreams) {
    const DvdFixture& dvd = dvdFixture();
    ASSERT_FALSE(dvd.root.isEmpty()) << dvd.error.toStdString();
    QTimer::singleShot(1500, [] { Stop(); });
    EXPECT_LT(play(firstTitle(dvd, "0xc0", "0x20")), 3000);
    ASSERT_FALSE(positions_.empty());
    EXPECT_GT(positions_.back(), 0.5);
    EXPECT_GT(surface_.richestFrame, 4);
    EXPECT_EQ(previewLastTracks().audioId, 0xc0);
    EXPECT_EQ(previewLastTracks().subtitleId, 0x20);
}

// A subtitle shows in the colours the title's IFO gives it, as the conversion burns it in: the
// red bar in its white frame is red and white, not grey guesses.
TEST_F(PreviewLibraryTest, DvdSubtitleShowsInTheTitlesColours) {
    const DvdFixture& dvd = multiCellDvd();
    ASSERT_FALSE(dvd.root.isEmpty()) << dvd.error.toStdString();
    constexpr int kWidth = 384, kHeight = 288;  // the picture's 4:3, no bars
    InitPreviewWindow(&surface_, kWidth, kHeight);
    QTimer::singleShot(2000, [] { Stop(); });
    play(firstTitle(dvd, "0", "0x21"));
    ASSERT_FALSE(positions_.empty());
    ASSERT_GT(positions_.back(), 0.8) << "the bar shows from 0.5 s";
    EXPECT_EQ(previewLastTracks().subtitleId, 0x21);
    const QByteArray frame(reinterpret_cast<const char*>(surface_.last.data()),
                           qsizetype(surface_.last.size()));
    // The IFO's red (51ef5b) and white (eb8080).
    EXPECT_EQ(barColourMismatches(frame, kWidth, kHeight, {253, 0, 1}, {255, 255, 255}, 24)
                  .join("; ")
                  .toStdString(),
              "");
}

// The preview logic over the library: the end of a file stops the preview by itself, the
// display resets, and `playing` clears.
TEST_F(PreviewLibraryTest, PreviewOfAFileEndsByItself) {
    JobList jobs;
    FakeUserInterface ui;
    CommandGuards guards(ui);
    LibraryPreviewPlayer player(LibraryPreviewPlayer::defaultPath(binDir() + QLatin1Char('/')));
    Preview preview(jobs, guards, player, false, false);
    struct Texts : SkinText {
        void setText(const QString& t) override { texts << t; }
        void redraw() override {}
        QStringList texts;
    } time;
    preview.setPanel(&surface_, 176, 137);
    preview.setSkinObjects(&time, nullptr);
    JobList::Row row;
    row.info.source = QString::fromUtf8(clipPath());
    row.info.duration = "00:00:03";
    jobs.addRow(row);
    jobs.setSelected(0, true);
    QElapsedTimer t;
    t.start();
    preview.play();
    EXPECT_LT(t.elapsed(), 8000);
    EXPECT_FALSE(preview.playing());
    EXPECT_EQ(time.texts.mid(0, 2), QStringList({"00:00:01", "00:00:02"}));
    EXPECT_EQ(time.texts.last(), "00:00:00");
    EXPECT_GT(surface_.frames, 10);
}

// Without its library the player plays nothing, returns at once and says why once.
TEST_F(PreviewLibraryTest, AMissingLibraryPlaysNothingAndIsSaidOnce) {
    QStringList said;
    LibraryPreviewPlayer player(QStringLiteral("/nonexistent/orvex-preview.so"),
                                [&](const QString& why) { said << why; });
    player.InitPreviewWindow(nullptr, 176, 137);
    player.Play(clipPath());
    player.Pause();
    player.Stop();
    player.Play(clipPath());
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said.first().contains(QStringLiteral("orvex-preview.so")))
        << qPrintable(said.first());
}

}  // namespace
