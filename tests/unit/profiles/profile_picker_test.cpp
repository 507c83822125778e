#include "core/profiles/profile_picker.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "../../support/fake_machine.h"
#include "../../support/fake_user_interface.h"
#include "../../support/qt_gtest.h"
#include "../../support/test_session.h"
#include "core/profiles/profile_catalog.h"

using namespace orvex::test;
using P = ProfilePicker;

namespace {

class ProfilePickerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(copyProfilesPop(dir_.path()));
        start("orvex");
    }
    void start(const QString& program) {
        session_ = makeTestSession(dir_.path(), program, ui_, machine_);
        session_->guards().setConvertingFlag([this] { return converting_; });
        session_->guards().setPlayingFlag([this] { return playing_; });
        ASSERT_TRUE(session_->loadSettings());
    }
    ProfilePicker& picker() { return session_->picker(); }

    QList<P::Panel> visible() {
        QList<P::Panel> panels;
        for (int p = 0; p < P::PanelCount; ++p) {
            if (picker().panel(P::Panel(p)).visible) {
                panels << P::Panel(p);
            }
        }
        return panels;
    }
    QList<int> highlightedEntries() {
        QList<int> entries;
        for (int n = 1; n <= P::kEntries; ++n) {
            if (picker().entryHighlighted(n)) {
                entries << n;
            }
        }
        return entries;
    }

    QTemporaryDir dir_;
    FakeUserInterface ui_;
    FakeMachine machine_;
    std::unique_ptr<Session> session_;
    bool converting_ = false;
    bool playing_ = false;
};

TEST_F(ProfilePickerTest, OpensWhereTheLastSelectedProfileLives) {
    const struct {
        int previous;
        QList<P::Panel> panels;
        int category;  // -2: unchanged
    } cases[] = {
        {1, {P::Main, P::Video1}, 1},
        {8, {P::Main, P::Video2}, 1},
        {14, {P::Main, P::Video2}, 1},
        {21, {P::Main, P::Audio1}, 2},
        {26, {P::Main, P::Audio2}, 2},
        {27, {P::Main, P::Ipod}, 3},
        {39, {P::Main, P::Iphone}, 4},
        {44, {P::Main, P::Gphone}, 5},
        {51, {P::Main, P::AppleTv}, 6},
        {58, {P::Main, P::Psp}, 7},
        {66, {P::Main, P::Xbox}, 8},
        {73, {P::Main, P::Phone}, 9},
        {81, {P::Main, P::Win}, 10},
        {89, {P::Main, P::Pmp}, 11},
        {97, {P::Main, P::Hd}, 12},
        {100, {P::Main, P::Animation}, 13},
        {105, {P::Main, P::Video1, P::Avi}, 1},
        {117, {P::Main, P::Video1, P::Mpeg}, 1},
        {124, {P::Main, P::Video1, P::Mp4}, 1},
        {131, {P::Main, P::Video1, P::Mkv}, 1},
        {33, {P::Main}, -2},
        {101, {P::Main}, -2},
        {67, {P::Main}, -2},
        {90, {P::Main}, -2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.previous);
        picker().hidePicker();
        picker().setCurrentCategory(12);
        picker().restoreCategory(12);
        picker().openPicker(c.previous);
        EXPECT_EQ(visible(), c.panels);
        EXPECT_EQ(picker().currentCategory(), c.category == -2 ? 12 : c.category);
        if (c.category > 0) {
            EXPECT_TRUE(picker().categoryHighlighted(c.category));
        }
    }
    // A sub-panel opens over pl_video1, the sub-panel offset to the right, in front of it.
    picker().hidePicker();
    picker().openPicker(105);
    EXPECT_EQ(picker().panel(P::Avi).position, picker().panel(P::Video1).position + QPoint(220, 0));
    EXPECT_GT(picker().panel(P::Avi).z, picker().panel(P::Video1).z);
    // The page flags are neither read nor changed by opening.
    picker().clickPaging(P::Paging::Image94);
    picker().openPicker(3);
    EXPECT_TRUE(picker().panel(P::Video1).visible);
    EXPECT_FALSE(picker().videoFirstPage());
}

TEST_F(ProfilePickerTest, ParentEntriesAndTheirSubPanels) {
    picker().openPicker(1);
    picker().moveOverEntry(2);
    EXPECT_TRUE(picker().panel(P::Avi).visible);
    EXPECT_EQ(highlightedEntries(), QList<int>({2}));
    // Into the sub-panel: the parent keeps its highlight and the sub-panel stays open.
    picker().moveOverEntry(102);
    EXPECT_EQ(highlightedEntries(), QList<int>({2, 102}));
    EXPECT_TRUE(picker().panel(P::Avi).visible);
    picker().moveOverEntry(105);
    EXPECT_EQ(highlightedEntries(), QList<int>({2, 105}));
    // To entry 1: the sub-panel closes, its parent is restored, the sub-panel's entry keeps
    // its highlighted picture.
    const struct {
        int parent;
        int entry;
        P::Panel panel;
    } subPanels[] = {{2, 105, P::Avi}, {3, 112, P::Mpeg}, {4, 120, P::Mp4}, {5, 131, P::Mkv}};
    for (const auto& sub : subPanels) {
        SCOPED_TRACE(sub.parent);
        picker().moveOverEntry(sub.parent);
        picker().moveOverEntry(sub.entry);
        picker().moveOverEntry(1);
        EXPECT_FALSE(picker().panel(sub.panel).visible);
        EXPECT_TRUE(highlightedEntries().contains(sub.entry));
        EXPECT_FALSE(picker().entryHighlighted(sub.parent));
        EXPECT_TRUE(picker().entryHighlighted(1));
    }
    EXPECT_EQ(highlightedEntries(), QList<int>({1, 105, 112, 120, 131}));

    // Back from a sub-panel entry onto its parent: the sub-panel closes and reopens only once
    // the pointer has left the parent and come back.
    picker().moveOverEntry(3);
    picker().moveOverEntry(112);
    picker().moveOverEntry(3);
    EXPECT_FALSE(picker().panel(P::Mpeg).visible);
    EXPECT_TRUE(picker().entryHighlighted(3));
    picker().moveOverEntry(3);
    EXPECT_FALSE(picker().panel(P::Mpeg).visible);
    picker().moveOverEntry(1);
    picker().moveOverEntry(3);
    EXPECT_TRUE(picker().panel(P::Mpeg).visible);
}

// The keyboard goes where the pointer would: through a panel, into a parent's sub-panel and
// back, out to the categories, across a two-page panel, and Enter chooses.
TEST_F(ProfilePickerTest, ArrowKeysAndEnter) {
    using K = P::Key;
    const struct Step {
        K key;
        int times;
        int current;  // the current profile, or with `inCategories` the current category
        bool inCategories;
        QList<P::Panel> shown;
    } steps[] = {
        {K::Down, 1, 2, false, {P::Main, P::Video1, P::Avi}},
        {K::Right, 1, 102, false, {P::Main, P::Video1, P::Avi}},
        {K::Down, 1, 103, false, {P::Main, P::Video1, P::Avi}},
        {K::Left, 1, 2, false, {P::Main, P::Video1}},
        {K::Enter, 1, 102, false, {P::Main, P::Video1, P::Avi}},  // a parent's Enter opens
        {K::Left, 2, 1, true, {P::Main, P::Video1}},
        {K::Down, 1, 2, true, {P::Main, P::Audio1}},
        {K::Right, 1, 15, false, {P::Main, P::Audio1}},
        {K::Up, 1, 15, false, {P::Main, P::Audio1}},
        {K::Down, 7, 22, false, {P::Main, P::Audio2}},  // past 21 onto the next page
        {K::Up, 1, 21, false, {P::Main, P::Audio1}},
        {K::Enter, 1, 21, false, {}},
    };
    picker().openPicker(1);
    EXPECT_FALSE(picker().keyInCategories());
    for (const Step& step : steps) {
        for (int i = 0; i < step.times; ++i) {
            EXPECT_TRUE(picker().pressKey(step.key));
        }
        const int at = step.inCategories ? picker().currentCategory() : picker().currentProfile();
        EXPECT_EQ(at, step.current) << int(step.key) << " x" << step.times;
        EXPECT_EQ(picker().keyInCategories(), step.inCategories) << step.current;
        EXPECT_EQ(visible(), step.shown) << step.current;
    }
    EXPECT_EQ(session_->selection().previousProfile(), 21);
    EXPECT_FALSE(picker().pressKey(K::Down)) << "a closed picker leaves the keys alone";
    picker().openPicker(21);
    EXPECT_TRUE(picker().pressKey(K::Escape));
    EXPECT_FALSE(picker().isOpen());
    EXPECT_EQ(session_->selection().previousProfile(), 21);
}

TEST_F(ProfilePickerTest, HoveringMovesTheCurrentProfileWhichIsSavedAtExit) {
    picker().openPicker(1);
    picker().moveOverCategory(3);
    picker().moveOverEntry(29);
    EXPECT_EQ(picker().currentProfile(), 29);
    EXPECT_EQ(session_->selection().activeProfile(), 1) << "sizing follows the selected one";
    picker().hidePicker();
    ASSERT_TRUE(session_->saveSettings());
    start("orvex");
    EXPECT_EQ(session_->selection().currentProfile(), 29);
    EXPECT_EQ(picker().currentCategory(), 3);
}

TEST_F(ProfilePickerTest, CategoriesShowTheirPanelsAndTheChosenPage) {
    picker().openPicker(27);
    picker().moveOverCategory(1);
    EXPECT_EQ(visible(), QList<P::Panel>({P::Main, P::Video1}));
    picker().clickPaging(P::Paging::Image94);
    EXPECT_EQ(visible(), QList<P::Panel>({P::Main, P::Video2}));
    picker().moveOverCategory(2);
    picker().clickPaging(P::Paging::Image2);
    EXPECT_EQ(visible(), QList<P::Panel>({P::Main, P::Audio2}));
    EXPECT_FALSE(picker().audioFirstPage());
    picker().moveOverCategory(1);  // the video page flag is false now
    EXPECT_EQ(visible(), QList<P::Panel>({P::Main, P::Video2}));
    EXPECT_TRUE(picker().categoryHighlighted(1));
    EXPECT_FALSE(picker().categoryHighlighted(2));
    picker().clickPaging(P::Paging::Image93);
    EXPECT_TRUE(picker().videoFirstPage());
    picker().moveOverCategory(1);  // already current: nothing
    EXPECT_EQ(visible(), QList<P::Panel>({P::Main, P::Video1}));
    picker().moveOverCategory(2);
    EXPECT_EQ(visible(), QList<P::Panel>({P::Main, P::Audio2}));
    picker().clickPaging(P::Paging::Image5);
    EXPECT_EQ(visible(), QList<P::Panel>({P::Main, P::Audio1}));
    EXPECT_TRUE(picker().audioFirstPage());
}

TEST_F(ProfilePickerTest, EveryEntryClickSelectsItsOwnProfileOrNothing) {
    for (int n = 1; n <= P::kEntries; ++n) {
        SCOPED_TRACE(n);
        const int before = session_->selection().previousProfile();
        picker().openPicker(before);
        picker().moveOverEntry(n);
        picker().clickEntry(n);
        const P::EntryKind kind = P::entryKind(n);
        if (kind == P::EntryKind::Selectable) {
            EXPECT_EQ(session_->selection().previousProfile(), n);
            EXPECT_FALSE(picker().isOpen());
            if (const auto name = ProfileCatalog::displayNameOf(n)) {
                EXPECT_EQ(session_->selection().currentDisplayName(), *name);
            }
        } else {
            EXPECT_EQ(session_->selection().previousProfile(), before);
            EXPECT_TRUE(picker().isOpen());
            EXPECT_EQ(picker().entryHighlighted(n), kind == P::EntryKind::HoverOnly);
        }
    }
    // Exactly the table's entries are hover-only and inert.
    QList<int> hover, inert;
    for (int n = 1; n <= P::kEntries; ++n) {
        if (P::entryKind(n) == P::EntryKind::HoverOnly) {
            hover << n;
        } else if (P::entryKind(n) == P::EntryKind::Inert) {
            inert << n;
        }
    }
    EXPECT_EQ(hover, QList<int>({2, 3, 4, 5, 109, 124}));
    EXPECT_EQ(inert, QList<int>({13, 14, 98, 101, 117, 132}));
}

TEST_F(ProfilePickerTest, SinglePanelEditions) {
    const struct {
        const char* program;
        QList<P::Panel> panels;
        int left;
        bool flat;
    } cases[] = {
        {"orvex-iphone", {P::Iphone}, 53, true},
        {"Kamzu-IPHONE", {P::Iphone}, 88, true},
        {"orvex-ipod-psp", {P::Ipod}, 53, true},
        {"orvex-psp-iphone", {P::Psp}, 53, true},
        {"orvex-3gp", {P::Phone}, 53, true},
        {"orvex-gphone", {P::Gphone}, 53, true},
        {"orvex-audio", {P::Audio1}, 53, true},
        {"orvex-avi", {P::Avi}, 53, false},
        {"orvex-mp4", {P::Mp4}, 53, false},
        {"orvex-kamzu-mkv", {P::Mkv}, 88, false},
        {"orvex-wmv", {}, 0, false},
        {"format-converter", {}, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program);
        start(QString::fromLatin1(c.program));
        picker().openPicker(1);
        EXPECT_EQ(visible(), c.panels);
        if (!c.panels.isEmpty()) {
            const P::PanelState& state = picker().panel(c.panels[0]);
            EXPECT_EQ(state.position.x(), c.left);
            EXPECT_EQ(state.flat, c.flat);
            EXPECT_EQ(picker().entryRect(c.panels[0], 0).top(), c.flat ? -1 : 0);
            EXPECT_EQ(picker().entryRect(c.panels[0], 1).top(), c.flat ? 52 : 53);
            EXPECT_EQ(picker().entryRect(c.panels[0], 2).top(), c.flat ? 100 : 101);
        }
    }
    // The audio edition pages by flattening the other page.
    start("orvex-mp3");
    picker().openPicker(1);
    picker().clickPaging(P::Paging::Image2);
    EXPECT_EQ(visible(), QList<P::Panel>({P::Audio2}));
    EXPECT_TRUE(picker().panel(P::Audio2).flat);
    EXPECT_TRUE(picker().audioFirstPage()) << "the page flag is left alone";
}

TEST_F(ProfilePickerTest, ConvertingRefusesToOpenAndKamzuHidesThePreviewPanel) {
    converting_ = true;
    picker().openPicker(1);
    EXPECT_FALSE(picker().isOpen());
    EXPECT_EQ(ui_.warnings, QStringList{"Please first stop convert!"});
    converting_ = false;

    start("orvex-kamzu");
    picker().openPicker(1);
    EXPECT_FALSE(picker().playPanelVisible());
    picker().hidePicker();
    EXPECT_FALSE(picker().playPanelVisible()) << "closing does not show it again";
    picker().openPicker(1);
    picker().moveOverEntry(4);
    EXPECT_TRUE(picker().playPanelVisible());
    playing_ = true;
    picker().hidePicker();
    picker().openPicker(1);
    EXPECT_TRUE(picker().playPanelVisible()) << "a playing preview keeps its panel";
    start("orvex");
    picker().openPicker(1);
    EXPECT_TRUE(picker().playPanelVisible());
}

TEST_F(ProfilePickerTest, LayoutVariants) {
    struct Place {
        const char* control;
        QRect rect;
    };
    const struct {
        bool dvd;
        bool kamzu;
        int offset;
        QList<Place> places;
    } cases[] = {
        {false,
         true,
         180,
         {{"ed_output", {94, 483, 187, 14}},
          {"Panel1", {96, 451, 16, 16}},
          {"pl_main", {88, 90, 153, 358}},
          {"entry panels", {241, 90, 310, 358}},
          {"cb_size", {554, 121, 168, 22}},
          {"cb_channel", {554, 244, 168, 22}},
          {"pl_play", {546, 296, 176, 137}},
          {"ProgressBar1", {15, 503, 722, 12}},
          {"lv", {8, 121, 509, 316}}}},
        {false,
         false,
         220,
         {{"ed_output", {422, 66, 187, 14}},
          {"Panel1", {62, 64, 16, 16}},
          {"pl_main", {53, 81, 153, 358}},
          {"entry panels", {206, 81, 310, 358}},
          {"cb_audiobitrate", {576, 210, 149, 22}},
          {"pl_play", {559, 294, 176, 137}},
          {"ProgressBar1", {15, 496, 722, 12}},
          {"lv", {12, 89, 535, 356}}}},
        {true,
         true,
         180,
         {{"ed_output", {94, 483, 187, 14}},
          {"Panel1", {96, 429, 16, 16}},
          {"pl_main", {90, 71, 153, 358}},
          {"entry panels", {243, 71, 310, 358}},
          {"lv", {8, 121, 509, 298}},
          {"cb_audio", {90, 453, 177, 22}},
          {"cb_subtitle", {336, 453, 177, 22}}}},
        {true,
         false,
         220,
         {{"ed_output", {82, 470, 187, 14}},
          {"Panel1", {62, 64, 16, 16}},
          {"cb_videobitrate", {576, 169, 149, 22}},
          {"lv", {12, 89, 535, 333}},
          {"cb_audio", {400, 61, 148, 22}},
          {"cb_subtitle", {596, 61, 144, 22}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("dvd %1 kamzu %2").arg(c.dvd).arg(c.kamzu).toStdString());
        const LayoutVariant v = layoutVariantOf(c.dvd, c.kamzu);
        EXPECT_EQ(v.subPanelOffset, c.offset);
        for (const Place& p : c.places) {
            EXPECT_EQ(v.rectOf(QLatin1String(p.control)), p.rect) << p.control;
        }
        EXPECT_EQ(v.isVisible("cb_audio"), c.dvd);
        EXPECT_EQ(v.checkBoxes, c.dvd);
        EXPECT_EQ(v.firstColumnCaption, c.dvd ? "Title" : "File Name");
    }
}

}  // namespace
