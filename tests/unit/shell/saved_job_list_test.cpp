#include "core/shell/saved_job_list.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "../../support/fake_machine.h"
#include "../../support/fake_user_interface.h"
#include "../../support/test_session.h"

using namespace orvex::test;

namespace {

class SavedJobListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(copyProfilesPop(dir_.path()));
        live_ = makeTestSession(dir_.path(), "orvex", ui_, machine_);
        ASSERT_TRUE(live_->loadSettings(118));
    }
    QString path(const QString& name) const { return dir_.filePath(name); }
    void addRow(Session& s, const QString& name) {
        QFile(path(name)).open(QIODevice::WriteOnly);
        JobList::Row row;
        row.caption = name;
        row.info.source = path(name);
        row.info.duration = "00:00:04";
        row.source = FileSource{path(name), true, true};
        row.picture = {16.0 / 9, {30000, 1001}};
        row.checked = true;
        s.jobs().addRow(row);
    }
    QStringList listFiles(Session& s) const {
        return QDir(s.savedJobs().folder()).entryList(QDir::Files | QDir::Hidden);
    }

    QTemporaryDir dir_;
    FakeUserInterface ui_;
    FakeMachine machine_;
    std::unique_ptr<Session> live_;
};

// A live run's list is never taken; what a killed run left is offered with its unfinished
// rows only, restored with its profile, choices and output folder, then removed; a normal end
// removes the list.
TEST_F(SavedJobListTest, OnlyWhatAKilledRunLeftUnconvertedComesBack) {
    SavedJobList& saved = live_->savedJobs();
    ASSERT_TRUE(saved.keep());
    for (const char* name : {"done.avi", "b.avi", "gone.avi", "c.avi"}) {
        addRow(*live_, name);
    }
    live_->selection().videoList().userSelect(1);
    live_->queue().setOutputText(path("out"));
    RowState finished;
    finished.kind = RowState::Finished;
    live_->jobs().setState(0, finished);
    saved.saveNow();
    QFile::remove(path("gone.avi"));

    FakeUserInterface ui;
    auto next = makeTestSession(dir_.path(), "orvex", ui, machine_);
    ASSERT_TRUE(next->loadSettings(1));
    EXPECT_EQ(next->savedJobs().offerLeftBehind(ui), 0) << "its owner still runs";
    EXPECT_TRUE(ui.confirmations.isEmpty());

    // A kill leaves the list without a live owner.
    ASSERT_TRUE(QFile::copy(saved.path(), saved.folder() + "killed.jobs"));
    QStringList problems;
    QObject::connect(next.get(), &Session::problem, [&](const QString& t) { problems << t; });
    ui.confirmAnswer = false;
    EXPECT_EQ(next->savedJobs().offerLeftBehind(ui), 0);
    EXPECT_EQ(ui.confirmations,
              QStringList("Restore the 3 files that were not converted when Orvex stopped?"));
    EXPECT_FALSE(QFile::exists(saved.folder() + "killed.jobs")) << "declined: removed";

    ASSERT_TRUE(QFile::copy(saved.path(), saved.folder() + "killed.jobs"));
    ui.confirmAnswer = true;
    EXPECT_EQ(next->savedJobs().offerLeftBehind(ui), 2);
    EXPECT_EQ(problems,
              QStringList(path("gone.avi") + " was not restored: it is no longer there."));
    ASSERT_EQ(next->jobs().rowCount(), 2);
    EXPECT_TRUE(next->jobs().isVisible());
    EXPECT_EQ(next->jobs().caption(0), "b.avi");
    EXPECT_EQ(next->jobs().caption(1), "c.avi");
    EXPECT_FALSE(next->jobs().subItem(1, JobList::OutputSizeColumn).isEmpty());
    // Not probed again: the shape and rate its output keeps come with it.
    EXPECT_NEAR(next->jobs().row(1).picture.displayAspect, 16.0 / 9, 1e-9);
    EXPECT_EQ(next->jobs().row(1).picture.frameRate.text(), "30000/1001");
    EXPECT_EQ(next->selection().activeProfile(), 118);
    EXPECT_EQ(next->selection().videoList().itemIndex(), 1);
    EXPECT_EQ(next->queue().outputText(), path("out"));
    EXPECT_FALSE(QFile::exists(saved.folder() + "killed.jobs"));
    EXPECT_EQ(listFiles(*live_).size(), 2) << "the live list and its lock";

    live_.reset();
    EXPECT_TRUE(listFiles(*next).isEmpty()) << listFiles(*next).join(' ').toStdString();
}

TEST_F(SavedJobListTest, ADamagedListIsSetAsideAndSaid) {
    SavedJobList& saved = live_->savedJobs();
    ASSERT_TRUE(QDir().mkpath(saved.folder()));
    for (const QByteArray& junk : {QByteArray("\x00\xff{", 3), QByteArray("{\"format\":99}"),
                                   QByteArray("{\"format\":1,\"rows\":[{\"source\":{}}]}")}) {
        QFile f(saved.folder() + "x.jobs");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(junk);
        f.close();
        QStringList problems;
        auto c = QObject::connect(&saved, &SavedJobList::problem,
                                  [&](const QString& t) { problems << t; });
        EXPECT_FALSE(saved.takeLeftBehind());
        QObject::disconnect(c);
        ASSERT_EQ(problems.size(), 1) << junk.toStdString();
        EXPECT_TRUE(problems[0].contains("it was set aside as")) << problems[0].toStdString();
        EXPECT_EQ(listFiles(*live_), QStringList("x.jobs.damaged"));
    }
}

}  // namespace
