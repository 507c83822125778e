#include "gui/main_window.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>
#include <QTreeView>
#include <functional>

#include "../../support/fake_machine.h"
#include "../../support/gui/gui_test_support.h"
#include "../../support/gui/window_test.h"
#include "../../support/qt_gtest.h"
#include "../../support/test_media.h"
#include "core/engine/jobs_at_once.h"
#include "core/profiles/profile_catalog.h"
#include "core/shell/brand.h"
#include "core/shell/machine_requests.h"
#include "gui/about_dialog.h"
#include "gui/activity_view.h"
#include "gui/choice_combo.h"
#include "gui/desktop_app.h"
#include "gui/dir_dialog.h"
#include "gui/job_list_view.h"
#include "gui/message_log.h"
#include "gui/settings_dialog.h"
#include "gui/skin/skin_object.h"
#include "gui/status_line.h"
#include "platform/program_paths.h"

using namespace orvex::test;

namespace {

class MainWindowTest : public WindowTest {
  protected:
    // A folder of two one-second clips; empty when they cannot be made.
    QString twoClips() {
        const QString clips = dir_.filePath("clips");
        QDir().mkpath(clips);
        const bool made = makeClip(clips + "/one.avi", 1.0) && makeClip(clips + "/two.mpg", 1.0);
        return made ? clips : QString();
    }
};

TEST_F(MainWindowTest, ShowsItsSkinAndControlsAsTheProgramStarts) {
    Tfm_main& w = start();
    EXPECT_EQ(w.windowTitle(), "Orvex Video Converter");
    EXPECT_EQ(w.size(), QSize(781, 558));
    for (const RequiredSkinObject& required : SkinEngine::requiredObjects()) {
        EXPECT_NE(object(w, required.name.toLatin1().constData()), nullptr)
            << required.name.toStdString();
    }
    EXPECT_FALSE(w.lv()->isVisible()) << "hidden until the first source";
    EXPECT_FALSE(w.ProgressBar1()->isVisible());
    EXPECT_EQ(w.ProgressBar1()->maximum(), 10000);
    EXPECT_EQ(w.cb_size()->geometry().topLeft(), QPoint(576, 128));
    EXPECT_EQ(w.ed_output()->geometry(), QRect(422, 66, 187, 14));
    // The saved profile (none yet: the name default, 1) is selected and shown.
    EXPECT_EQ(w.profilesText()->text(), *ProfileCatalog::displayNameOf(1));
    EXPECT_EQ(w.cb_videobitrate()->currentText(), "The Original Video Quliay");
    EXPECT_TRUE(w.ed_output()->text().endsWith('/'));
    EXPECT_TRUE(w.skin().problem().isEmpty());
    shot(&w, "window-empty");

    Tfm_main& dvd = start("Orvex-DVD");
    EXPECT_EQ(dvd.lv()->geometry(), QRect(12, 89, 535, 333));
    EXPECT_EQ(dvd.lv()->jobModel()->headerData(0, Qt::Horizontal, Qt::DisplayRole), "Title");
    EXPECT_EQ(dvd.ed_output()->geometry().topLeft(), QPoint(82, 470));
    EXPECT_FALSE(object(dvd, "openfiles")->isVisible());
    EXPECT_TRUE(object(dvd, "dvdopen")->isVisible());
    shot(&dvd, "window-dvd");

    Tfm_main& kamzu = start("orvex-kamzu");
    EXPECT_EQ(kamzu.cb_size()->geometry(), QRect(554, 121, 168, 22));
    EXPECT_EQ(kamzu.lv()->geometry(), QRect(8, 121, 509, 316));
    shot(&kamzu, "window-kamzu");
}

// A log line too long for the Activity window wraps under its text, clear of the time and
// category column, on the window's own dark surfaces.
TEST_F(MainWindowTest, ActivityLinesWrapUnderTheirText) {
    Tfm_main& w = start();
    w.session().activityLog().write(ActivityLog::Category::Run, QString("word ").repeated(60));
    ActivityView* activity = w.activity();
    activity->resize(500, 300);
    activity->showLog();
    QCoreApplication::processEvents();
    const QTextLayout* layout = activity->view()->document()->lastBlock().layout();
    ASSERT_GE(layout->lineCount(), 2);
    const qreal column = QFontMetricsF(activity->view()->font())
                             .horizontalAdvance(QString(ActivityLog::kTextColumn, ' '));
    EXPECT_NEAR(layout->lineAt(1).x() - layout->lineAt(0).x(), column, 1.0);
    EXPECT_EQ(activity->view()->palette().color(QPalette::Base), w.palette().color(QPalette::Base));
    shot(activity, "activity-wrapped");
}

TEST_F(MainWindowTest, ASkinClickRunsItsCommandAndTheSettingsDialogAnswers) {
    Tfm_main& w = start();
    ConversionQueue& queue = w.session().queue();
    // Cancel after changing the choice keeps the finish action.
    onNextModal([](QWidget* dialog) {
        auto* set = qobject_cast<Tfm_set*>(dialog);
        ASSERT_NE(set, nullptr);
        EXPECT_EQ(set->windowTitle(), "Settings");
        EXPECT_EQ(set->items()->button(2)->text(),
                  "Automatically shutdown after converting finished");
        EXPECT_EQ(set->cb_jobs()->currentText(), "Automatic");
        EXPECT_EQ(set->cb_jobs()->count(), 1 + JobsAtOnce::cores());
        EXPECT_EQ(set->cb_stretch()->text(), "Stretch the picture to the chosen size");
        EXPECT_FALSE(set->cb_stretch()->isChecked());
        set->items()->button(2)->click();
        set->cb_stretch()->click();
        set->cb_jobs()->setCurrentIndex(1);
        set->Button2()->click();
    });
    QTest::mouseClick(object(w, "settings"), Qt::LeftButton);
    EXPECT_EQ(queue.finishAction(), FinishAction::Nothing);
    onNextModal([](QWidget* dialog) {
        auto* set = qobject_cast<Tfm_set*>(dialog);
        ASSERT_NE(set, nullptr);
        EXPECT_TRUE(set->items()->button(0)->isChecked());
        EXPECT_EQ(set->cb_jobs()->currentIndex(), 0) << "Cancel keeps Automatic";
        EXPECT_FALSE(set->cb_stretch()->isChecked()) << "Cancel keeps the stretch as it was";
        set->items()->button(1)->click();
        set->cb_stretch()->click();
        set->cb_jobs()->setCurrentIndex(1);
        set->Button1()->click();
    });
    QTest::mouseClick(object(w, "settings"), Qt::LeftButton);
    EXPECT_EQ(queue.finishAction(), FinishAction::OpenFolder);
    EXPECT_EQ(queue.jobsAtOnce(), 1);
    EXPECT_TRUE(queue.stretch());
}

// The folder dialog opens at the folder given (else home), its path follows the tree and a
// typed path is taken; no folder, or a path that is none, keeps it open; Cancel gives nothing.
TEST_F(MainWindowTest, FolderDialogOpensWhereAskedAndTakesATypedPath) {
    start();
    Tfm_dir& dialog = app_->folderDialog();
    const QString typed = dir_.filePath("typed");
    QDir().mkpath(typed + "/Movies");
    QDir().mkpath(typed + "/music");
    QDir().mkpath(typed + "/Maps");
    const auto current = [&] {
        const auto* model = qobject_cast<QFileSystemModel*>(dialog.ShellTreeView1()->model());
        return model->filePath(dialog.ShellTreeView1()->currentIndex());
    };
    struct Case {
        const char* title;
        QString start;
        std::function<void()> act;  // what the user does before the dialog is checked
        QString opensAt;
        QString result;
    } cases[] = {
        {"File Directory", QString(),
         [&] {
             dialog.ShellTreeView1()->setCurrentIndex({});  // no folder: Ok keeps it open
             EXPECT_TRUE(dialog.ed_path()->text().isEmpty());
             dialog.btn_ok()->click();
             EXPECT_TRUE(dialog.isVisible());
             QTest::keyClicks(dialog.ed_path(), dir_.filePath("missing"));
             dialog.btn_ok()->click();  // no such folder: said, and still open
             EXPECT_TRUE(dialog.isVisible());
             EXPECT_TRUE(dialog.lbl_problem()->isVisibleTo(&dialog));
             dialog.btn_cancel()->click();
         },
         QDir::homePath(), QString()},
        {"Output Directory", dir_.path(),
         [&] {
             dialog.ed_path()->clear();
             QTest::keyClicks(dialog.ed_path(), typed + "/");
             EXPECT_EQ(current(), typed) << "the tree follows a typed folder";
             EXPECT_EQ(dialog.ed_path()->text(), typed + "/") << "and leaves the typing alone";
             // Type-ahead looks beside the current folder, in any case, and steps on.
             auto* model = qobject_cast<QFileSystemModel*>(dialog.ShellTreeView1()->model());
             ASSERT_TRUE(waitUntil([&] { return model->rowCount(model->index(typed)) == 3; }));
             dialog.ShellTreeView1()->setCurrentIndex(model->index(typed + "/Maps"));
             dialog.ShellTreeView1()->keyboardSearch("m");
             EXPECT_EQ(current(), typed + "/Movies");
             dialog.ShellTreeView1()->keyboardSearch("m");
             EXPECT_EQ(current(), typed + "/music");
             dialog.ed_path()->setText(typed);
             QTest::keyClick(dialog.ed_path(), Qt::Key_Return);  // Enter is Ok
         },
         dir_.path(), QDir::toNativeSeparators(typed)},
    };
    for (Case& c : cases) {
        onNextModal([&](QWidget* modal) {
            ASSERT_EQ(modal, &dialog);
            EXPECT_EQ(dialog.windowTitle(), c.title);
            EXPECT_EQ(current(), c.opensAt) << c.title;
            EXPECT_EQ(dialog.ed_path()->text(), QDir::toNativeSeparators(c.opensAt));
            EXPECT_EQ(dialog.places().first().path, QDir::homePath());
            c.act();
        });
        EXPECT_EQ(dialog.choose(c.title, c.start), c.result) << c.title;
    }
}

// Tab walks the controls in reading order, and each has a name and a role for screen readers.
TEST_F(MainWindowTest, TabOrderAndAccessibleNames) {
    const struct Stop {
        const char* object;
        const char* name;
        QAccessible::Role role;
    } video[] = {
        {"minimize", "Minimise", QAccessible::Button},
        {"close", "Close", QAccessible::Button},
        {"file", "File", QAccessible::Button},
        {"settings", "Settings", QAccessible::Button},
        {"help", "Help", QAccessible::Button},
        {"profiles", "Choose a profile", QAccessible::Button},
        {"ed_output", "Output folder", QAccessible::EditableText},
        {"browse", "Choose the output folder", QAccessible::Button},
        {"open", "Open the output folder", QAccessible::Button},
        {"openfiles", "Add Files", QAccessible::Button},
        {"openfolder", "Add Folder", QAccessible::Button},
        {"remove", "Remove", QAccessible::Button},
        {"clear", "Clear", QAccessible::Button},
        {"cb_size", "Picture size", QAccessible::ComboBox},
        {"cb_videobitrate", "Video quality", QAccessible::ComboBox},
        {"cb_audiobitrate", "Audio quality", QAccessible::ComboBox},
        {"cb_channel", "Channels", QAccessible::ComboBox},
        {"play", "Preview play", QAccessible::Button},
        {"pause", "Preview pause", QAccessible::Button},
        {"stopplay", "Preview stop", QAccessible::Button},
        {"play_bar", "Preview position", QAccessible::Slider},
        {"activityButton", "Activity", QAccessible::Button},
        // Stop and Convert come here once they can act; with an empty list they cannot.
        {"minimize", "Minimise", QAccessible::Button},
    };
    // The other layouts put the list, its tools, the profile and the output elsewhere.
    const struct {
        const char* program;
        QStringList order;
    } layouts[] = {
        {"orvex-dvd",
         {"minimize", "close", "dvdfile", "settings", "help", "profiles", "cb_audio", "cb_subtitle",
          "lv", "dvdopen", "ifoopen", "chapter", "remove", "clear", "ed_output"}},
        {"orvex-kamzu",
         {"minimize", "close", "file", "settings", "help", "openfiles", "openfolder", "remove",
          "clear", "lv", "profiles", "ed_output", "browse", "open", "cb_size"}},
    };
    Tfm_main& w = start();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_EQ(QApplication::focusWidget(), &w) << "no control holds the keyboard at first";
    for (const Stop& stop : video) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        EXPECT_EQ(focus->objectName(), stop.object);
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(focus);
        ASSERT_NE(a, nullptr);
        // On Linux Qt names a combo box by its current text; its own name stays the widget's.
        EXPECT_EQ(stop.role == QAccessible::ComboBox ? focus->accessibleName()
                                                     : a->text(QAccessible::Name),
                  stop.name)
            << stop.object;
        EXPECT_EQ(a->role(), stop.role) << stop.object;
    }
    // The keyboard presses a skin button: Space runs its command.
    bool settingsShown = false;
    onNextModal([&](QWidget* dialog) {
        settingsShown = true;
        qobject_cast<QDialog*>(dialog)->reject();
    });
    object(w, "settings")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(object(w, "settings"), Qt::Key_Space);
    EXPECT_TRUE(settingsShown);
    const QStringList actions = QAccessible::queryAccessibleInterface(object(w, "openfiles"))
                                    ->actionInterface()
                                    ->actionNames();
    EXPECT_TRUE(actions.contains(QAccessibleActionInterface::pressAction()));

    for (const auto& layout : layouts) {
        Tfm_main& other = start(layout.program);
        other.lv()->show();  // as once a source is added
        other.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
        QStringList walked;
        for (qsizetype i = 0; i < layout.order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            walked << QApplication::focusWidget()->objectName();
        }
        EXPECT_EQ(walked, layout.order) << layout.program;
    }
}

TEST_F(MainWindowTest, ADamagedSkinFileStillGivesAUsableWindow) {
    QFile::remove(program_ + "/skn.skn");
    QFile junk(program_ + "/skn.skn");
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(4096, 'x'));
    junk.close();
    Tfm_main& w = start();
    for (const RequiredSkinObject& required : SkinEngine::requiredObjects()) {
        EXPECT_NE(object(w, required.name.toLatin1().constData()), nullptr);
    }
    ASSERT_EQ(w.messages()->messages().size(), 1);
    EXPECT_TRUE(w.messages()->messages()[0].contains(program_ + "/skn.skn"));
    EXPECT_TRUE(w.statusLine()->text().contains("skn.skn"));
    shot(&w, "window-damaged-skin");
}

// Stop ends every running job at once; the line then says how the run ended and keeps saying
// it after the stopped jobs' ends come in.
TEST_F(MainWindowTest, StopSaysHowTheRunEnded) {
    const QString clips = twoClips();
    ASSERT_FALSE(clips.isEmpty());
    Tfm_main& w = start();
    Session& session = w.session();
    ASSERT_TRUE(session.files().addFolder(clips));
    ASSERT_TRUE(waitUntil([&] { return !session.files().busy(); }, 60000));
    w.ed_output()->clear();
    QTest::keyClicks(w.ed_output(), dir_.filePath("out"));
    QTest::mouseClick(object(w, "converter"), Qt::LeftButton);
    ASSERT_TRUE(session.queue().converting());
    QTest::mouseClick(object(w, "stopconverter"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return !session.queue().converting(); }, 30000));
    QTest::qWait(1500);
    EXPECT_EQ(w.statusLine()->text(), "Stopped: 0 of 2 converted");
}

TEST_F(MainWindowTest, ConvertsTwoClipsAndKeepsItsSettingsForTheNextStart) {
    const QString clips = twoClips();
    ASSERT_FALSE(clips.isEmpty());
    Tfm_main& w = start();
    Session& session = w.session();
    session.selection().setCurrentProfile(118);
    ASSERT_TRUE(session.selection().selectProfile(118));
    emit w.cb_size()->activated(0);  // what a person's choice in the list sends
    EXPECT_EQ(session.selection().sizeList().itemIndex(), 0);
    const QString width = session.selection().sizeList().currentText().section('x', 0, 0);

    ASSERT_TRUE(session.files().addFolder(clips));
    ASSERT_TRUE(waitUntil([&] { return !session.files().busy(); }, 60000));
    ASSERT_EQ(session.jobs().rowCount(), 2);
    EXPECT_TRUE(w.lv()->isVisible());
    EXPECT_EQ(w.lv()->model()->rowCount(), 2);
    EXPECT_TRUE(w.lv()->selectionModel()->isRowSelected(0, {}));

    const QString out = dir_.filePath("out");
    w.ed_output()->clear();
    QTest::keyClicks(w.ed_output(), out);
    EXPECT_EQ(session.queue().outputText(), out);
    emit session.problem("An earlier problem");
    SkinObject* convert = object(w, "converter");
    SkinObject* stop = object(w, "stopconverter");
    EXPECT_TRUE(convert->isEnabled());
    EXPECT_FALSE(stop->isEnabled()) << "nothing runs";
    QTest::mouseClick(convert, Qt::LeftButton);
    EXPECT_TRUE(w.ProgressBar1()->isVisible());
    EXPECT_FALSE(convert->isEnabled()) << "a run is on";
    EXPECT_TRUE(stop->isEnabled());
    shot(&w, "window-converting");
    ASSERT_TRUE(waitUntil([&] { return !session.queue().converting(); }, 120000));
    // How the run ended stays on the line, in place of what was said before it.
    EXPECT_EQ(w.statusLine()->text(), "2 of 2 converted");
    EXPECT_TRUE(convert->isEnabled());
    EXPECT_FALSE(stop->isEnabled());
    EXPECT_EQ(session.jobs().state(0).kind, RowState::Finished);
    EXPECT_EQ(session.jobs().state(1).kind, RowState::Finished);
    EXPECT_EQ(w.lv()->model()->data(w.lv()->model()->index(1, 4)).toString(), "Finish");
    EXPECT_FALSE(w.ProgressBar1()->isVisible());
    for (const char* name : {"one.mp4", "two.mp4"}) {
        EXPECT_EQ(probeStream(out + '/' + name, "v:0", "width"), width) << name;
    }
    shot(&w, "window-finished");

    w.close();
    EXPECT_FALSE(w.isVisible());
    Tfm_main& again = start();
    EXPECT_EQ(again.session().selection().currentProfile(), 118);
    EXPECT_EQ(again.session().selection().sizeList().itemIndex(), 0) << "the size chosen";
    EXPECT_EQ(again.ed_output()->text(), out + '/');
    SkinObject* idle = object(again, "converter");
    EXPECT_FALSE(idle->isEnabled()) << "an empty list";
    // It also looks it: no colour left that would read as a command ready to act.
    const QImage look = idle->grab().toImage();
    int coloured = 0;
    for (int y = 0; y < look.height(); ++y) {
        for (int x = 0; x < look.width(); ++x) {
            const QRgb p = look.pixel(x, y);
            const int chroma =
                std::max({qRed(p), qGreen(p), qBlue(p)}) - std::min({qRed(p), qGreen(p), qBlue(p)});
            coloured += chroma > 24;  // the dark window behind shows a trace of blue
        }
    }
    EXPECT_EQ(coloured, 0);
}

// The About box of the kamzu brand: "Visit our web" turns red under the pointer and opens the
// brand's site; "Contact us " opens the other site's contact page whatever the brand.
TEST(AboutBoxTest, LinksAndTheirHoverColours) {
    FakeMachine machine;
    MachineRequests requests(machine);
    Tfm_about about(QStringLiteral("orvex-kamzu"), requests);
    about.show();
    QLabel* web = about.lbl_web();
    EXPECT_EQ(web->text(), "Visit our web");
    // A blue link, red under the pointer (shades light enough for the dark dialog).
    auto colour = [web] { return web->palette().color(QPalette::WindowText); };
    const QColor normal = colour();
    EXPECT_GT(normal.blue(), normal.red());
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QApplication::sendEvent(web, &enter);
    EXPECT_GT(colour().red(), colour().blue());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(web, &leave);
    EXPECT_EQ(colour(), normal);
    QTest::mouseClick(web, Qt::LeftButton);
    EXPECT_EQ(about.btn_contact()->text(), "Contact us ");
    about.btn_contact()->click();
    EXPECT_EQ(machine.urls,
              (QStringList{brand::kKamzuSite, brand::kOrvexSite + brand::kOrvexContactPath}));
}

}  // namespace
