#include "core/preview/preview.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "../../support/fake_machine.h"
#include "../../support/fake_preview_player.h"
#include "../../support/fake_user_interface.h"
#include "../../support/qt_gtest.h"
#include "../../support/test_session.h"
#include "core/shell/command_dispatch.h"

using namespace orvex::test;

namespace {

// "play_time" and "play_bar" as the preview writes them; the bar's position can be set as the
// user's drag would.
struct RecordingSkin : SkinText, SkinBar {
    void setText(const QString& text) override { texts << text; }
    void setPosition(int value) override {
        positions << value;
        position_ = value;
    }
    int position() const override { return position_; }
    void redraw() override { ++redraws; }

    QStringList texts;
    QList<int> positions;
    int position_ = 0;
    int redraws = 0;
};

class PreviewTest : public ::testing::Test {
  protected:
    void open(bool dvd, bool kamzu = false) {
        preview_ = std::make_unique<Preview>(jobs_, guards_, player_, dvd, kamzu);
        preview_->setPanel(&panel_, 176, 137);
        preview_->setSkinObjects(&skin_, &skin_);
        guards_.setPlayingFlag([this] { return preview_->playing(); });
        guards_.setConvertingFlag([this] { return converting_; });
    }
    void addFileRow(const QString& source, const QString& duration) {
        JobList::Row row;
        row.caption = source;
        row.info.source = source;
        row.info.duration = duration;
        row.source = FileSource{source};
        jobs_.addRow(row);
    }
    void addDvdRow(const QString& duration) {
        JobList::Row row;
        row.caption = "Title 1";
        row.info.duration = duration;
        TConvertInfo info;
        info.ifoPath = "/media/dvd/VIDEO_TS/VTS_02_0.IFO";
        info.startSector = 10;
        info.endSector = 5000;
        row.source = info;
        jobs_.addRow(row);
    }
    void report(double seconds) { player_.report(seconds); }

    JobList jobs_;
    FakeUserInterface ui_;
    CommandGuards guards_{ui_};
    FakePreviewPlayer player_;
    RecordingSkin skin_;
    int panel_ = 0;
    bool converting_ = false;
    std::unique_ptr<Preview> preview_;
};

// A file that plays to its end stops by itself: the report after the shown position reached
// the duration arms Timer1, whose tick (not the callback) calls Stop; then the display resets
// and `playing` clears.
TEST_F(PreviewTest, FileRunsToItsEndAndStopsFromTheTimer) {
    open(false);
    addFileRow("/videos/clip.mp4", "00:00:03");
    jobs_.setSelected(0, true);
    QList<bool> playingChanges;
    QObject::connect(preview_.get(), &Preview::playingChanged,
                     [&](bool playing) { playingChanges << playing; });
    QStringList callsWhenCallbackReturned;
    player_.script = [&] {
        EXPECT_TRUE(guards_.playing());
        for (double p : {0.0, 0.04, 1.0, 1.2, 2.0, 3.0, 3.04}) {
            report(p);
        }
        callsWhenCallbackReturned = player_.calls;
        EXPECT_TRUE(preview_->Timer1().isActive());
    };
    preview_->play();

    EXPECT_EQ(player_.calls,
              QStringList({"Init 176x137", "Callback", "Seek 0", "Play /videos/clip.mp4", "Stop"}));
    EXPECT_FALSE(callsWhenCallbackReturned.contains("Stop"));
    EXPECT_EQ(player_.lastHandle, &panel_);
    EXPECT_EQ(skin_.texts, QStringList({"00:00:01", "00:00:02", "00:00:03", "00:00:00"}));
    EXPECT_EQ(skin_.positions, QList<int>({3333, 6667, 10000, 0}));
    EXPECT_FALSE(preview_->playing());
    EXPECT_FALSE(preview_->Timer1().isActive());
    EXPECT_EQ(playingChanges, QList<bool>({true, false}));
    EXPECT_EQ(preview_->previewJobIndex(), 0);
}

// Commands given while Play runs: a second play, pause and play, pause then stop then play.
TEST_F(PreviewTest, CommandsDuringPlayback) {
    struct Case {
        const char* name;
        std::function<void(Preview&)> during;  // inside the first Play
        std::function<void(Preview&)> after;   // once it returned
        QStringList calls;
        bool paused;
    };
    const QStringList start = {"Init 176x137", "Callback", "Seek 0", "Play /v/a.avi"};
    const Case cases[] = {
        {"play twice keeps one playback",
         [](Preview& p) {
             p.play();
             p.stopPlay();
         },
         nullptr, start + QStringList{"Stop"}, false},
        {"pause then play resumes",
         [](Preview& p) {
             p.pauseToggle();
             p.play();
             p.stopPlay();
         },
         nullptr, start + QStringList{"Pause", "Pause", "Stop"}, false},
        {"pause, stop, play: the new start first calls Pause once",
         [](Preview& p) {
             p.pauseToggle();
             p.stopPlay();
         },
         [](Preview& p) { p.play(); },
         start + QStringList{"Pause", "Stop", "Pause"} + start + QStringList{"Stop"}, false},
        {"pause while idle stays set until the next play", [](Preview& p) { p.stopPlay(); },
         [](Preview& p) { p.pauseToggle(); }, start + QStringList{"Stop", "Pause"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        jobs_.clear();
        player_.calls.clear();
        open(false);
        addFileRow("/v/a.avi", "00:10:00");
        jobs_.setSelected(0, true);
        int depth = 0;
        int plays = 0;
        player_.script = [&] {
            depth = std::max(depth, player_.depth);
            if (++plays == 1) {
                c.during(*preview_);
            } else {
                player_.Stop();  // a later start: stop it at once
            }
        };
        preview_->play();
        if (c.after) {
            c.after(*preview_);
        }
        EXPECT_EQ(depth, 1);
        EXPECT_EQ(player_.calls, c.calls);
        EXPECT_EQ(preview_->paused(), c.paused);
        EXPECT_FALSE(preview_->playing());
    }
}

// A DVD title whose clock starts at 3600.4 s: the offset is taken from the first positive
// report, the time counts from there, and a release at 5000 of 10000 on a 7200-second title
// seeks to 3600 + 3600. The locator carries the row's stream choice.
TEST_F(PreviewTest, DvdStartOffsetDragAndSeek) {
    open(true);
    addDvdRow("02:00:00");
    jobs_.setSelected(0, true);
    preview_->setStreamChoice([](int row) {
        EXPECT_EQ(row, 0);
        return Preview::StreamChoice{"0x81", "0x21"};
    });
    player_.script = [&] {
        report(0.0);
        report(3600.4);
        EXPECT_EQ(preview_->startOffset(), 3600);
        EXPECT_TRUE(skin_.texts.isEmpty());  // still 0 seconds in
        report(3602.0);
        preview_->pressOn("play_bar");
        EXPECT_TRUE(preview_->dragging());
        report(3603.0);  // the time moves, the bar stays where the user holds it
        skin_.position_ = 5000;
        preview_->releaseOn("play_bar");
        EXPECT_FALSE(preview_->dragging());
        report(7201.0);
        preview_->stopPlay();
    };
    preview_->play();

    ASSERT_EQ(player_.calls.size(), 5);
    EXPECT_EQ(player_.calls.mid(0, 2), QStringList({"Init 176x137", "Callback"}));
    EXPECT_EQ(player_.calls[2], "Play vts://02*10*5000*0x81*0x21*//media/dvd");
    EXPECT_EQ(player_.calls[3], "Seek 7200");
    EXPECT_EQ(skin_.texts, QStringList({"00:00:02", "00:00:03", "01:00:01", "00:00:00"}));
    // 2 s of 7200 give 2.78 -> 3; the report during the drag moves no bar.
    EXPECT_EQ(skin_.positions, QList<int>({3, 5001, 0}));
}

// A press on the bar whose release comes after the preview ended leaves no drag behind: the
// next preview's bar moves.
TEST_F(PreviewTest, DragCutShortByTheEndDoesNotFreezeTheNextBar) {
    open(true);
    addDvdRow("00:00:10");
    jobs_.setSelected(0, true);
    player_.script = [&] {
        preview_->pressOn("play_bar");
        preview_->stopPlay();
    };
    preview_->play();
    preview_->releaseOn("play_bar");  // too late: nothing plays
    skin_.positions.clear();
    player_.script = [&] {
        report(5.0);
        report(7.0);
        preview_->stopPlay();
    };
    preview_->play();
    EXPECT_EQ(skin_.positions, QList<int>({2000, 0}));
}

// A DVD preview after a longer one was shown to a later position plays on: the end check looks
// at this title's own position, not at the one the last preview left.
TEST_F(PreviewTest, DvdPreviewAfterALongerOneDoesNotStopItself) {
    open(true);
    addDvdRow("00:01:40");
    addDvdRow("00:00:30");
    jobs_.setSelected(0, true);
    player_.script = [&] {
        report(0.5);
        report(60.5);
        preview_->stopPlay();
    };
    preview_->play();
    jobs_.setSelection({1});
    player_.script = [&] {
        report(0.5);
        report(1.5);
        EXPECT_FALSE(preview_->Timer1().isActive()) << "the 30 s title would stop at once";
        preview_->stopPlay();
    };
    player_.calls.clear();
    preview_->play();
    EXPECT_EQ(player_.calls.filter("Stop").size(), 1);
}

TEST_F(PreviewTest, OffsetRoundsHalvesToEven) {
    const struct {
        double first;
        qint32 offset;
    } cases[] = {{3600.4, 3600}, {3600.5, 3600}, {3601.5, 3602}, {0.5, 0}, {1.5, 2}, {0.6, 1}};
    open(true);
    addDvdRow("02:00:00");
    jobs_.setSelected(0, true);
    for (const auto& c : cases) {
        player_.script = [&] {
            report(-1.0);  // reports of 0 or less leave the first-position flag set
            report(c.first);
            report(c.first + 100);  // no longer the first
            preview_->stopPlay();
        };
        preview_->play();
        EXPECT_EQ(preview_->startOffset(), c.offset) << c.first;
    }
}

// Bar positions: 64-bit products, halves away from zero, -1 for a zero duration; the seek on
// release the same way plus the start offset.
TEST_F(PreviewTest, BarAndSeekArithmetic) {
    const struct {
        const char* duration;
        double position;  // reported after a first report that sets the offset to 0
        int bar;
    } bars[] = {
        {"00:00:03", 2, 6667}, {"00:00:02", 1, 5000},       {"05:33:20", 1, 1},  // 0.5 -> 1
        {"05:33:20", 3, 2},    {"138:53:20", 250000, 5000},  // 2.5e9 overflows 32 bits
        {"00:00:00", 1, -1},   {"garbage", 1, -1},
    };
    open(false);  // the file start resets the shown position to 0
    for (const auto& c : bars) {
        jobs_.clear();
        addFileRow("/v/a.avi", c.duration);
        jobs_.setSelected(0, true);
        skin_.positions.clear();
        player_.script = [&] {
            report(0.4);
            report(c.position);
            preview_->stopPlay();
        };
        preview_->play();
        ASSERT_FALSE(skin_.positions.isEmpty());
        EXPECT_EQ(skin_.positions.first(), c.bar) << c.duration << " at " << c.position;
    }
    open(true);
    const struct {
        const char* duration;
        int bar;
        double offset;
        QString seek;
    } seeks[] = {{"02:00:00", 5000, 3600.4, "Seek 7200"},
                 {"00:00:01", 5000, 0.4, "Seek 1"},  // 0.5 -> 1
                 {"138:53:20", 10000, 0.4, "Seek 500000"},
                 {"00:00:00", 7000, 10.0, "Seek 10"}};
    for (const auto& c : seeks) {
        jobs_.clear();
        addDvdRow(c.duration);
        jobs_.setSelected(0, true);
        player_.calls.clear();
        player_.script = [&] {
            report(c.offset);
            skin_.position_ = c.bar;
            preview_->pressOn("play_bar");
            preview_->releaseOn("play_bar");
            preview_->stopPlay();
        };
        preview_->play();
        EXPECT_TRUE(player_.calls.contains(c.seek))
            << c.duration << ": " << player_.calls.join(", ").toStdString();
    }
}

// A zero duration (or one that does not parse) stops right after the first report.
TEST_F(PreviewTest, ZeroDurationStopsAfterTheFirstReport) {
    open(false);
    addFileRow("/v/a.avi", "");
    jobs_.setSelected(0, true);
    player_.script = [&] { report(0.5); };
    preview_->play();
    EXPECT_FALSE(player_.calls.contains("Play timed out"));
    EXPECT_EQ(player_.calls.last(), "Stop");
    EXPECT_FALSE(preview_->playing());

    // Stopped by the user before the armed stop ticked: that stop dies with the playback
    // instead of ending the next one.
    player_.script = [&] {
        report(0.5);
        preview_->stopPlay();
    };
    preview_->play();
    EXPECT_FALSE(preview_->Timer1().isActive());
}

// Where a press or release on the bar does nothing: the video edition, another object,
// while converting, and while nothing plays.
TEST_F(PreviewTest, BarIgnoredOutsideADvdPreview) {
    struct Case {
        const char* name;
        bool dvd;
        const char* object;
        bool convertingDuringPlay;
    };
    const Case cases[] = {{"video edition", false, "play_bar", false},
                          {"other object", true, "play_time", false},
                          {"converting", true, "play_bar", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        jobs_.clear();
        player_.calls.clear();
        open(c.dvd);
        c.dvd ? addDvdRow("00:10:00") : addFileRow("/v/a.avi", "00:10:00");
        jobs_.setSelected(0, true);
        player_.script = [&] {
            report(1.0);
            converting_ = c.convertingDuringPlay;
            skin_.position_ = 5000;
            preview_->pressOn(c.object);
            EXPECT_FALSE(preview_->dragging());
            preview_->releaseOn(c.object);
            converting_ = false;
            preview_->stopPlay();
        };
        preview_->play();
        EXPECT_EQ(player_.calls.filter("Seek").size(), c.dvd ? 0 : 1);  // the file start's Seek 0
    }
    preview_->pressOn("play_bar");
    preview_->releaseOn("play_bar");
    EXPECT_FALSE(preview_->dragging());
    EXPECT_TRUE(player_.calls.filter("Seek").isEmpty());
}

TEST_F(PreviewTest, StartGuards) {
    open(false, true);
    int panelShown = 0;
    QObject::connect(preview_.get(), &Preview::playPanelShown, [&] { ++panelShown; });
    player_.script = [&] { preview_->stopPlay(); };
    preview_->play();  // no rows
    addFileRow("/v/a.avi", "00:10:00");
    addFileRow("/v/b.avi", "00:10:00");
    preview_->play();  // none selected
    EXPECT_TRUE(player_.calls.isEmpty());
    converting_ = true;
    jobs_.setSelection({1, 0});
    preview_->play();
    EXPECT_EQ(ui_.warnings, QStringList({"Please first stop convert!"}));
    EXPECT_TRUE(player_.calls.isEmpty());
    EXPECT_EQ(panelShown, 0);
    converting_ = false;
    preview_->play();
    EXPECT_TRUE(player_.calls.contains("Play /v/a.avi"));  // the first selected row
    EXPECT_EQ(panelShown, 1);
}

// The session's guards ask the preview: while it plays, Convert and the close request are
// refused; once it ended they go on.
TEST(PreviewSessionTest, PlayingGuardsConvertAndClose) {
    QTemporaryDir dir;
    ASSERT_TRUE(copyProfilesPop(dir.path()));
    FakeUserInterface ui;
    FakeMachine machine;
    auto owned = std::make_unique<FakePreviewPlayer>();
    FakePreviewPlayer& player = *owned;
    std::unique_ptr<Session> session =
        makeTestSession(dir.path(), "orvex-kamzu", ui, machine, std::move(owned));
    struct NoWindow : WindowShell {
        void popUpMenu(ShellMenu, QPoint) override {}
        void requestClose() override {}
        void showAbout() override {}
    } window;
    CommandDispatch dispatch(*session, window);
    JobList::Row row;
    row.info.source = "/v/a.avi";
    row.info.duration = "00:00:05";
    row.checked = true;
    session->jobs().addRow(row);
    session->jobs().setSelected(0, true);
    session->picker().openPicker(session->selection().previousProfile());
    ASSERT_FALSE(session->picker().playPanelVisible());
    player.script = [&] {
        EXPECT_TRUE(session->picker().playPanelVisible());
        EXPECT_FALSE(dispatch.closeRequest());
        dispatch.skinClick("converter");
        EXPECT_FALSE(session->queue().converting());
        dispatch.skinClick("pause");
        dispatch.skinClick("stopplay");
    };
    ASSERT_TRUE(dispatch.skinClick("play"));
    EXPECT_EQ(player.calls.filter("Play").size(), 1);
    EXPECT_EQ(player.calls.mid(4), QStringList({"Pause", "Stop"}));
    EXPECT_EQ(ui.informations, QStringList({"Please first stop play!"}));
    EXPECT_EQ(ui.warnings, QStringList({"Please first stop play!"}));
    EXPECT_FALSE(session->guards().playing());
    EXPECT_TRUE(dispatch.closeRequest());
}

}  // namespace
