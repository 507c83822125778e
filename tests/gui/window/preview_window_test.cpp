// The preview in the window: a file in the video edition and a DVD title in the DVD edition,
// played offscreen into pl_play with the time, the bar, the guards and the seek on the bar.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "../../support/dvd_fixture.h"
#include "../../support/gui/gui_test_support.h"
#include "../../support/gui/window_test.h"
#include "../../support/qt_gtest.h"
#include "../../support/test_media.h"
#include "gui/desktop_app.h"
#include "gui/main_window.h"
#include "gui/preview_panel.h"
#include "gui/skin/skin_object.h"
#include "platform/program_paths.h"

using namespace orvex::test;

namespace {

class PreviewWindowTest : public WindowTest {
  protected:
    void SetUp() override {
        qputenv("ORVEX_PREVIEW_AO", "null");
        WindowTest::SetUp();
    }
    // Runs `act` from the event loop once the next preview has started: inside its start,
    // which blocks with the event loop running.
    static void whilePlaying(Session& session, std::function<void()> act) {
        QObject::connect(
            &session.preview(), &Preview::playingChanged, &session,
            [act](bool playing) {
                if (playing) {
                    QTimer::singleShot(0, act);
                }
            },
            Qt::SingleShotConnection);
    }
    // Distinct grey levels in the panel's last frame: a blank frame has one.
    static int levels(const QImage& frame) {
        QList<int> seen;
        for (int y = 0; y < frame.height(); y += 4) {
            for (int x = 0; x < frame.width(); x += 4) {
                const int level = qGray(frame.pixel(x, y)) / 8;
                if (!seen.contains(level)) {
                    seen << level;
                }
            }
        }
        return int(seen.size());
    }
};

// Play a clip to its end: while it plays, the panel shows frames, the time counts, Convert and
// closing are refused; at its end everything resets and Convert runs.
TEST_F(PreviewWindowTest, FilePlaysInThePanelThenConverts) {
    const QString clip = dir_.filePath("clip.mp4");
    ASSERT_TRUE(makeClip(clip, 2.0, 320, 180));
    Tfm_main& w = start("orvex");
    Session& session = w.session();
    session.files().addPaths({clip});
    ASSERT_TRUE(waitUntil([&] { return !session.files().busy(); }, 60000));
    ASSERT_EQ(session.jobs().rowCount(), 1);
    session.queue().setOutputFolder(dir_.filePath("out"));

    QString timeMidway;
    int frameLevels = 0;
    bool closed = true;
    QStringList refusals;
    auto refuseNextBox = [&] {
        onNextModal([&](QWidget* box) {
            refusals << static_cast<QMessageBox*>(box)->text();
            static_cast<QMessageBox*>(box)->accept();
        });
    };
    whilePlaying(session, [&] {
        EXPECT_TRUE(session.guards().playing());
        EXPECT_TRUE(waitUntil([&] { return object(w, "play_time")->text() == "00:00:01"; }, 10000));
        timeMidway = object(w, "play_time")->text();
        frameLevels = levels(w.pl_play()->frame());
        shot(&w, "preview-playing");
        refuseNextBox();
        QTest::mouseClick(object(w, "converter"), Qt::LeftButton);
        refuseNextBox();
        closed = w.close();
    });
    QTest::mouseClick(object(w, "play"), Qt::LeftButton);  // returns when the preview ends

    EXPECT_EQ(timeMidway, "00:00:01");
    EXPECT_GT(frameLevels, 4) << "the panel shows no picture";
    EXPECT_FALSE(closed);
    EXPECT_EQ(refusals, QStringList({"Please first stop play!", "Please first stop play!"}));
    EXPECT_FALSE(session.guards().playing());
    EXPECT_EQ(object(w, "play_time")->text(), "00:00:00");
    EXPECT_EQ(object(w, "play_bar")->position(), 0);
    EXPECT_TRUE(w.pl_play()->frame().isNull());
    shot(&w, "preview-ended");

    QTest::mouseClick(object(w, "converter"), Qt::LeftButton);
    EXPECT_TRUE(session.queue().converting());
    ASSERT_TRUE(waitUntil([&] { return !session.queue().converting(); }, 120000));
    EXPECT_EQ(session.jobs().state(0).kind, RowState::Finished);
    w.hide();
}

// The DVD edition: a title plays through its locator; pressing and releasing on the middle of
// the bar seeks there; pause holds the time; stop ends the preview.
TEST_F(PreviewWindowTest, DvdTitleSeeksFromTheBar) {
    const DvdFixture& dvd = dvdFixture();
    ASSERT_FALSE(dvd.root.isEmpty()) << dvd.error.toStdString();
    Tfm_main& w = start("orvex-dvd");
    Session& session = w.session();
    JobList::Row row;
    row.caption = "Title 1";
    row.info.duration = "00:00:10";
    TConvertInfo info;
    info.ifoPath = dvd.ifoPath(1);
    info.endSector = qint32(QFileInfo(dvd.vobPath(1)).size() / 2048) - 1;
    info.audioStream = "0xc0";
    row.source = info;
    session.jobs().addRow(row);
    session.jobs().setSelected(0, true);

    SkinObject* bar = object(w, "play_bar");
    SkinObject* time = object(w, "play_time");
    QString afterSeek, paused, later;
    bool stillPlaying = false;
    whilePlaying(session, [&] {
        ASSERT_TRUE(waitUntil([&] { return time->text() == "00:00:01"; }, 10000));
        const QPoint middle(bar->width() / 2, bar->height() / 2);
        QTest::mousePress(bar, Qt::LeftButton, {}, middle);
        EXPECT_TRUE(session.preview().dragging());
        QTest::mouseRelease(bar, Qt::LeftButton, {}, middle);
        EXPECT_FALSE(session.preview().dragging());
        waitUntil([&] { return time->text() >= "00:00:05"; }, 5000);
        afterSeek = time->text();
        shot(&w, "preview-dvd-after-seek");
        QTest::mouseClick(object(w, "pause"), Qt::LeftButton);
        // The player takes the pause when it gets to it (later on a loaded machine): it has
        // once the time shown, which moves every second while playing, holds for longer.
        QString shown = time->text();
        QElapsedTimer held;
        held.start();
        waitUntil(
            [&] {
                if (time->text() != shown) {
                    shown = time->text();
                    held.restart();
                }
                return held.elapsed() > 1500;
            },
            10000);
        paused = time->text();
        stillPlaying = session.guards().playing();
        QTest::qWait(1000);
        later = time->text();
        QTest::mouseClick(object(w, "pause"), Qt::LeftButton);
        QTest::mouseClick(object(w, "stopplay"), Qt::LeftButton);
    });
    QTest::mouseClick(object(w, "play"), Qt::LeftButton);

    EXPECT_GE(afterSeek, "00:00:05") << "no seek to the middle of 10 s";
    EXPECT_TRUE(stillPlaying) << "the title played to its end instead of pausing";
    EXPECT_GE(paused, afterSeek);
    EXPECT_EQ(paused, later);
    EXPECT_FALSE(session.preview().paused());
    EXPECT_FALSE(session.guards().playing());
    EXPECT_EQ(time->text(), "00:00:00");
    w.hide();
}

}  // namespace
