#include <gtest/gtest.h>

#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include "../../support/dvd_fixture.h"
#include "../../support/gui/gui_test_support.h"
#include "../../support/gui/window_test.h"
#include "../../support/qt_gtest.h"
#include "gui/choice_combo.h"
#include "gui/desktop_app.h"
#include "gui/dir_dialog.h"
#include "gui/job_list_view.h"
#include "gui/main_window.h"
#include "gui/skin/skin_object.h"
#include "platform/program_paths.h"

using namespace orvex::test;

namespace {

class DvdWindowTest : public WindowTest {
  protected:
    void SetUp() override {
        ASSERT_FALSE(dvdFixture().root.isEmpty()) << dvdFixture().error.toStdString();
        WindowTest::SetUp();
        if (!HasFatalFailure()) {
            start(QStringLiteral("orvex-dvd"));
        }
    }

    Tfm_main& window() { return app_->mainWindow(); }
    JobList& jobs() { return window().session().jobs(); }
    void skinClick(const char* name) {
        SkinObject* o = SkinEngine::findObject(&window(), QLatin1String(name));
        ASSERT_NE(o, nullptr) << name;
        QTest::mouseClick(o, Qt::LeftButton);
    }
    void clickRow(int row) {
        JobListView* lv = window().lv();
        const QRect cell = lv->visualRect(lv->model()->index(row, 1));
        QTest::mouseClick(lv->viewport(), Qt::LeftButton, {}, cell.center());
    }
    QStringList captions() {
        QStringList c;
        for (int r = 0; r < jobs().rowCount(); ++r) {
            c << jobs().caption(r);
        }
        return c;
    }
};

// Add DVD through its folder dialog; each row shows its own title set's streams in cb_audio
// and cb_subtitle and keeps the choices made there; the view switch keeps each view's ticks.
TEST_F(DvdWindowTest, AddDvdStreamBoxesAndViewSwitch) {
    Tfm_main& w = window();
    ASSERT_TRUE(w.cb_audio()->isVisible());
    EXPECT_EQ(w.cb_audio()->currentText(), "No Audio");
    EXPECT_EQ(w.cb_subtitle()->currentText(), "No Subtitle");
    Tfm_dir& folders = app_->folderDialog();
    onNextModal([&](QWidget*) {
        EXPECT_EQ(folders.windowTitle(), "Select DVD Directory");
        auto* model = qobject_cast<QFileSystemModel*>(folders.ShellTreeView1()->model());
        ASSERT_NE(model, nullptr);
        folders.ShellTreeView1()->setCurrentIndex(model->index(dvdFixture().root));
        folders.btn_ok()->click();
    });
    skinClick("dvdopen");
    ASSERT_EQ(captions(), (QStringList{"Title_01", "Title_02"}));
    EXPECT_TRUE(w.lv()->isVisible());
    EXPECT_TRUE(jobs().isChecked(0) && jobs().isChecked(1));
    EXPECT_EQ(jobs().selectedRows(), QList<int>{0});  // the largest title
    EXPECT_EQ(w.cb_audio()->count(), 2);
    EXPECT_EQ(w.cb_subtitle()->count(), 2);
    shot(&w, "window-dvd-titles");

    // Down in each box chooses its second item for the selected row.
    QTest::keyClick(w.cb_audio(), Qt::Key_Down);
    QTest::keyClick(w.cb_subtitle(), Qt::Key_Down);
    EXPECT_EQ(jobs().convertInfo(0)->audioStream, "0xc0");
    EXPECT_EQ(jobs().convertInfo(0)->subtitleStream, "0x20");
    clickRow(1);
    EXPECT_EQ(w.cb_audio()->count(), 1);
    EXPECT_TRUE(w.cb_audio()->currentText().endsWith("(0x80)"));
    EXPECT_EQ(w.cb_subtitle()->count(), 1);
    QTest::keyClick(w.lv(), Qt::Key_Up);  // the keyboard moves the boxes along too
    EXPECT_EQ(w.cb_audio()->currentIndex(), 1);
    EXPECT_EQ(w.cb_subtitle()->currentIndex(), 1);

    auto* model = w.lv()->model();
    QTest::keyClick(w.lv(), Qt::Key_Down);
    QTest::keyClick(w.lv(), Qt::Key_Space);  // unticks the row, whichever cell is current
    EXPECT_FALSE(jobs().isChecked(1));
    skinClick("chapter");
    EXPECT_EQ(jobs().rowCount(), 6);
    shot(&w, "window-dvd-chapters");
    skinClick("chapter");
    ASSERT_EQ(jobs().rowCount(), 2);
    EXPECT_TRUE(jobs().isChecked(0));
    EXPECT_FALSE(jobs().isChecked(1));
    EXPECT_EQ(model->data(model->index(1, 0), Qt::CheckStateRole).toInt(), Qt::Unchecked);
}

// Add IFO's dialog takes IFO files, several at once.
TEST_F(DvdWindowTest, AddIfoDialog) {
    onNextModal([](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFiles);
        EXPECT_TRUE(dialog->nameFilters().join(';').startsWith("IFO Files(*.ifo)"));
        dialog->setDirectory(QFileInfo(dvdFixture().ifoPath(2)).path());
        // selectFile leaves a focused name field alone, so type the name as a user would.
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        name->setText(QFileInfo(dvdFixture().ifoPath(2)).fileName());
        static_cast<QDialog*>(dialog)->accept();
    });
    skinClick("ifoopen");
    EXPECT_EQ(captions(), QStringList{"Title_01"});
    EXPECT_EQ(jobs().convertInfo(0)->ifoPath, dvdFixture().ifoPath(2));
}

}  // namespace
