#include "gui/picker_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include "../../support/gui/gui_test_support.h"
#include "../../support/gui/window_test.h"
#include "../../support/qt_gtest.h"
#include "core/profiles/profile_catalog.h"
#include "gui/choice_combo.h"
#include "gui/desktop_app.h"
#include "gui/job_list_view.h"
#include "gui/main_window.h"
#include "gui/message_log.h"
#include "gui/skin/skin_object.h"
#include "platform/program_paths.h"

using namespace orvex::test;
using P = ProfilePicker;

namespace {

class PickerViewTest : public WindowTest {
  protected:
    // Lets the view draw what the picker's handlers changed.
    static void settle() { QTest::qWait(1); }
};

TEST_F(PickerViewTest, PointingAndClickingChoosesAProfile) {
    Tfm_main& w = start("orvex");
    PickerView* view = w.picker();
    QTest::mouseClick(SkinEngine::findObject(&w, "profiles"), Qt::LeftButton);
    settle();
    EXPECT_TRUE(view->panel(P::Main)->isVisible());
    EXPECT_TRUE(view->panel(P::Video1)->isVisible());
    shot(&w, "picker-open");

    QTest::mouseMove(view->category(3));
    settle();
    EXPECT_TRUE(view->panel(P::Ipod)->isVisible());
    EXPECT_FALSE(view->panel(P::Video1)->isVisible());
    QTest::mouseMove(view->entry(30));
    settle();
    EXPECT_EQ(w.session().selection().currentProfile(), 30);
    // What the pointer is over shows its highlighted picture, the rest their normal ones.
    auto shows = [&](QLabel* label, const QString& file) {
        const QImage expected(program_ + "/images/" + file);
        return !expected.isNull() &&
               label->pixmap().toImage().convertToFormat(QImage::Format_RGB32) ==
                   expected.convertToFormat(QImage::Format_RGB32);
    };
    EXPECT_TRUE(shows(view->entry(30), "sub/move/30.bmp"));
    EXPECT_TRUE(shows(view->entry(31), "sub/general/31.bmp"));
    EXPECT_TRUE(shows(view->category(3), "main/move/" + P::categoryImageName(3) + ".bmp"));
    EXPECT_TRUE(shows(view->category(1), "main/general/" + P::categoryImageName(1) + ".bmp"));
    shot(&w, "picker-ipod");
    QTest::mouseClick(view->entry(30), Qt::LeftButton);
    settle();
    EXPECT_FALSE(view->panel(P::Main)->isVisible());
    EXPECT_EQ(w.session().selection().previousProfile(), 30);
    EXPECT_EQ(w.profilesText()->text(), *ProfileCatalog::displayNameOf(30));
    EXPECT_EQ(w.cb_size()->count(), w.session().selection().sizeList().count());

    // Every category, for the eye.
    for (int k = 1; k <= P::kCategories; ++k) {
        QTest::mouseClick(SkinEngine::findObject(&w, "profiles"), Qt::LeftButton);
        QTest::mouseMove(view->category(k));
        settle();
        shot(&w, QStringLiteral("picker-category-%1").arg(k));
    }
    QTest::mouseMove(view->category(1));
    QTest::mouseMove(view->entry(4));
    settle();
    EXPECT_TRUE(view->panel(P::Mp4)->isVisible());
    shot(&w, "picker-mp4-subpanel");
    // A press on the skin closes the picker.
    QTest::mousePress(SkinEngine::findObject(&w, "title"), Qt::LeftButton);
    QTest::mouseRelease(SkinEngine::findObject(&w, "title"), Qt::LeftButton);
    settle();
    EXPECT_FALSE(view->panel(P::Main)->isVisible());
    // So does a press in the job list.
    w.session().jobs().setVisible(true);
    QTest::mouseClick(SkinEngine::findObject(&w, "profiles"), Qt::LeftButton);
    settle();
    ASSERT_TRUE(view->panel(P::Main)->isVisible());
    QTest::mousePress(w.lv()->viewport(), Qt::LeftButton);
    settle();
    EXPECT_FALSE(view->panel(P::Main)->isVisible());
}

// Space on the profile button opens the picker with the keyboard in it; the arrows and Enter
// choose, and the keyboard goes back to the button.
TEST_F(PickerViewTest, TheKeyboardChoosesAProfile) {
    Tfm_main& w = start("orvex");
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    SkinObject* profiles = SkinEngine::findObject(&w, "profiles");
    profiles->setFocus(Qt::TabFocusReason);
    QTest::keyClick(profiles, Qt::Key_Space);
    settle();
    PickerView* view = w.picker();
    ASSERT_TRUE(view->panel(P::Video1)->isVisible());
    QWidget* mark = view->focusMark();
    EXPECT_TRUE(mark->isVisible()) << "opened from the keyboard, the picker shows its place";
    // On a parent entry, the sub-panel it opens covers the mark where it covers the entry.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    settle();
    const QRect avi(view->panel(P::Avi)->mapTo(&w, QPoint(0, 0)), view->panel(P::Avi)->size());
    const QRect shown = mark->visibleRegion().boundingRect().translated(mark->mapTo(&w, QPoint()));
    EXPECT_FALSE(shown.isEmpty());
    EXPECT_FALSE(shown.intersects(avi));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    for (int key : {Qt::Key_Left, Qt::Key_Down, Qt::Key_Down, Qt::Key_Right, Qt::Key_Down}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        settle();
    }
    EXPECT_TRUE(view->panel(P::Ipod)->isVisible());
    EXPECT_EQ(w.session().selection().currentProfile(), 28);
    EXPECT_TRUE(mark->isVisible());
    EXPECT_EQ(mark->mapTo(&w, QPoint(0, 0)), view->entry(28)->mapTo(&w, QPoint(0, 0)));
    shot(&w, "picker-keyboard");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    settle();
    EXPECT_FALSE(view->panel(P::Main)->isVisible());
    EXPECT_EQ(w.session().selection().previousProfile(), 28);
    EXPECT_EQ(QApplication::focusWidget(), profiles);
}

// Highlighted pictures wear the window's accent (the brand kamzu's teal); pictures at rest keep
// the categories' own colours.
TEST_F(PickerViewTest, HighlightsWearTheBrandsAccent) {
    const struct {
        const char* program;
        int lowHue, highHue;
    } brands[] = {{"orvex", 200, 240}, {"orvex-kamzu", 150, 185}};
    for (const auto& brand : brands) {
        Tfm_main& w = start(brand.program);
        QTest::mouseClick(SkinEngine::findObject(&w, "profiles"), Qt::LeftButton);
        settle();
        const QImage lit = w.picker()->category(1)->pixmap().toImage();
        const int hue = lit.pixelColor(3, lit.height() / 2).hsvHue();
        EXPECT_GE(hue, brand.lowHue) << brand.program;
        EXPECT_LE(hue, brand.highHue) << brand.program;
        const QImage rest = w.picker()->category(2)->pixmap().toImage();
        const QImage drawn(w.session().folders().data + "images/main/general/img_audio1.bmp");
        EXPECT_EQ(rest, drawn.convertToFormat(rest.format())) << brand.program;
        // The filler's dark ground stays as drawn; its accent bar turns.
        const QImage filler = w.findChild<QLabel*>("Image3")->pixmap().toImage();
        const QImage fillerDrawn(w.session().folders().data + "images/main/filler.bmp");
        const QPoint ground(filler.width() - 2, filler.height() - 2);
        EXPECT_EQ(filler.pixelColor(ground), fillerDrawn.pixelColor(ground)) << brand.program;
    }
}

TEST_F(PickerViewTest, SinglePanelEditionsAndMissingPictures) {
    Tfm_main& ipod = start("orvex-ipod");
    QTest::mouseClick(SkinEngine::findObject(&ipod, "profiles"), Qt::LeftButton);
    settle();
    EXPECT_TRUE(ipod.picker()->panel(P::Ipod)->isVisible());
    EXPECT_FALSE(ipod.picker()->panel(P::Main)->isVisible());
    EXPECT_EQ(ipod.picker()->panel(P::Ipod)->x(), 53);
    // The last entry reaches the panel's foot, and so does its picture: no empty strip.
    QLabel* last = ipod.picker()->entry(33);
    EXPECT_EQ(last->geometry().bottom(), ipod.picker()->panel(P::Ipod)->height() - 1);
    EXPECT_EQ(last->pixmap().height(), last->height());
    shot(&ipod, "picker-ipod-edition");

    // Without its pictures the picker still works and says once what was missing.
    QFile::remove(program_ + "/images");
    Tfm_main& bare = start("orvex");
    QTest::mouseClick(SkinEngine::findObject(&bare, "profiles"), Qt::LeftButton);
    QTest::mouseMove(bare.picker()->category(7));
    QTest::mouseClick(bare.picker()->entry(57), Qt::LeftButton);
    settle();
    EXPECT_EQ(bare.session().selection().previousProfile(), 57);
    int said = 0;
    for (const QString& m : bare.messages()->messages()) {
        said += m.contains("images") ? 1 : 0;
    }
    EXPECT_EQ(said, 1);
    shot(&bare, "picker-missing-pictures");
}

}  // namespace
