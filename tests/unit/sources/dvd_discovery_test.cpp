#include "core/sources/dvd_discovery.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMutex>
#include <QSemaphore>
#include <QTemporaryDir>

#include "../../support/fake_machine.h"
#include "../../support/fake_user_interface.h"
#include "../../support/qt_gtest.h"
#include "../../support/test_session.h"

using namespace orvex::test;

namespace {

// Every path asked for is a title set with one title, an image (".iso") two of them, unless its
// name begins with "bad"; the file names and the batches are recorded.
class RecordingReader : public TitleSetReader {
  public:
    RecordingReader(QStringList* read, int* batches) : read_(read), batches_(batches) {}
    QList<TitleSetRead> readAll(const QStringList& paths) override {
        ++*batches_;
        QList<TitleSetRead> reads;
        TitleSetData d;
        d.chains = {TitleSetData::Chain{5, {TitleSetData::Cell{0, 2000, 5}}, {}}};
        for (const QString& path : paths) {
            const QString name = QFileInfo(path).fileName();
            *read_ << name;
            if (name.startsWith("bad")) {
                reads.append({path, std::nullopt, "it holds no DVD title set"});
            } else if (name.endsWith(".iso")) {
                reads.append({path + "/VIDEO_TS/VTS_01_0.IFO", d, {}});
                reads.append({path + "/VIDEO_TS/VTS_02_0.IFO", d, {}});
            } else {
                reads.append({path, d, {}});
            }
        }
        return reads;
    }

  private:
    QStringList* read_;
    int* batches_;
};

// A drive whose optical flag is set by the test and whose volume query waits for the test.
class FakeDrives : public platform::Drives {
  public:
    bool isOpticalDrive(const QString&) override { return optical; }
    void queryVolume(const QString&) override {
        queries.release();
        answer.acquire();
    }
    bool optical = false;
    QSemaphore queries;
    QSemaphore answer;
};

class DvdDiscoveryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(copyProfilesPop(dir_.path()));
        session_ = makeTestSession(dir_.path(), QStringLiteral("orvex-dvd"), ui_, machine_, nullptr,
                                   std::make_unique<RecordingReader>(&read_, &batches_), drives_);
    }
    // Empty files and folders under the temporary folder; names ending in "/" are folders.
    QString make(const QStringList& names, const QString& disc = QStringLiteral("disc")) {
        const QString root = dir_.filePath(disc);
        for (const QString& name : names) {
            const QString path = root + '/' + name;
            if (name.endsWith('/')) {
                EXPECT_TRUE(QDir().mkpath(path));
            } else {
                EXPECT_TRUE(QDir().mkpath(QFileInfo(path).path()));
                QFile f(path);
                EXPECT_TRUE(f.open(QIODevice::WriteOnly));
            }
        }
        return root;
    }

    QTemporaryDir dir_;
    FakeUserInterface ui_;
    FakeMachine machine_;
    QStringList read_;
    int batches_ = 0;
    std::shared_ptr<FakeDrives> drives_ = std::make_shared<FakeDrives>();
    std::unique_ptr<Session> session_;
};

// The title set IFO files of the folder and of its VIDEO_TS folder, in any case and hidden
// ones too, in name order whatever order the file system lists them in, all in one batch;
// never VIDEO_TS.IFO, never another sub-folder.
TEST_F(DvdDiscoveryTest, SearchTakesTitleSetsFromTheFolderAndItsVideoTsInNameOrder) {
    QStringList names{"VIDEO_TS/VIDEO_TS.IFO",      "VIDEO_TS/vts_02_0.ifo",
                      "VIDEO_TS/.VTS_03_0.IFO",     "VIDEO_TS/VTS_01_1.VOB",
                      "AUDIO_TS/VTS_09_0.IFO",      "VIDEO_TS/VIDEO_TS/",
                      "VIDEO_TS/other/VTS_08_0.IFO"};
    QStringList expected{".VTS_03_0.IFO", "vts_02_0.ifo"};
    for (int set = 10; set >= 4; --set) {
        names << QStringLiteral("VIDEO_TS/VTS_%1_0.IFO").arg(set, 2, 10, QLatin1Char('0'));
        expected.insert(2, names.last().mid(9));
    }
    const QString root = make(names);
    QStringList listed = QDir(root + "/VIDEO_TS").entryList({"*.IFO"}, QDir::Files, QDir::Unsorted);
    ASSERT_NE(listed, QDir(root + "/VIDEO_TS").entryList({"*.IFO"}, QDir::Files, QDir::Name))
        << "the file system lists these in name order: nothing to sort";
    for (const QString& folder : {root, root + "/VIDEO_TS"}) {
        SCOPED_TRACE(folder.toStdString());
        read_.clear();
        batches_ = 0;
        ASSERT_TRUE(session_->dvdDiscovery().addDvdFolder(folder));
        EXPECT_EQ(read_, expected);
        EXPECT_EQ(batches_, 1);
        EXPECT_EQ(session_->jobs().rowCount(), 9);
        EXPECT_EQ(session_->dvdTitles().titleSetCount(), 9);
    }
    // The view switch builds its rows from what the load read.
    session_->dvdTitles().switchView();
    EXPECT_EQ(session_->jobs().rowCount(), 18);
    EXPECT_EQ(batches_, 1);
    EXPECT_TRUE(ui_.informations.isEmpty());
}

// Entries of the chosen folder are read in name order until its VIDEO_TS folder has yielded a
// title set; those after it are not looked at.
TEST_F(DvdDiscoveryTest, SearchEndsOnceVideoTsHasYielded) {
    QStringList names{"VIDEO_TS/VTS_01_0.IFO"};
    QStringList expected;
    for (const char c : QByteArray("UKBWAL")) {
        names << QStringLiteral("VIDEO_%1.IFO").arg(QLatin1Char(c));
        if (c < 'T') {
            expected << names.last();
        }
    }
    expected.sort();
    expected << "VTS_01_0.IFO";
    ASSERT_TRUE(session_->dvdDiscovery().addDvdFolder(make(names)));
    EXPECT_EQ(read_, expected);
}

// Add DVD image: the image's title sets, named inside it; an image that holds none says why
// and that there is no disc.
TEST_F(DvdDiscoveryTest, ADiscImageGivesItsTitleSets) {
    QStringList problems;
    QObject::connect(session_.get(), &Session::problem,
                     [&problems](const QString& text) { problems << text; });
    const QString iso = make({"disc.iso"}, "images") + "/disc.iso";
    ui_.dvdImageToChoose = iso;
    session_->dvdDiscovery().openDvdImage();
    EXPECT_EQ(read_, QStringList{"disc.iso"});
    ASSERT_EQ(session_->dvdTitles().titleSetCount(), 2);
    EXPECT_EQ(session_->dvdTitles().titleSets()[1].ifoPath, iso + "/VIDEO_TS/VTS_02_0.IFO");
    EXPECT_EQ(session_->jobs().rowCount(), 2);

    const QString bad = make({"bad.iso"}, "images") + "/bad.iso";
    ASSERT_TRUE(session_->dvdDiscovery().addDvdFolder(bad));
    EXPECT_EQ(session_->jobs().rowCount(), 0);
    EXPECT_EQ(session_->dvdTitles().titleSetCount(), 0);
    EXPECT_EQ(ui_.informations, QStringList{"Can't find DVD disc."});
    EXPECT_EQ(problems, QStringList{bad + " cannot be read: it holds no DVD title set"});
}

// A folder without a title set: the message, and the list stays cleared. A "video_ts" link
// back to its own folder ends the search instead of descending for ever.
TEST_F(DvdDiscoveryTest, NoTitleSetSaysSoAndLoopsEnd) {
    const QString looped = make({"VIDEO_TS/VTS_01_0.IFO"}, "looped");
    ASSERT_TRUE(QFile::link(looped + "/VIDEO_TS", looped + "/VIDEO_TS/video_ts"));
    ASSERT_TRUE(session_->dvdDiscovery().addDvdFolder(looped));
    EXPECT_EQ(read_, QStringList{"VTS_01_0.IFO"});
    ASSERT_EQ(session_->jobs().rowCount(), 1);

    const QString empty = make({"VIDEO_TS/VIDEO_TS.IFO", "VIDEO_TS/VTS_01_0.BUP"});
    ASSERT_TRUE(session_->dvdDiscovery().addDvdFolder(empty));
    EXPECT_EQ(ui_.informations, QStringList{"Can't find DVD disc."});
    EXPECT_EQ(session_->jobs().rowCount(), 0);
}

// The folder dialog's caption; cancelling it keeps the previous load.
TEST_F(DvdDiscoveryTest, CancelledDialogKeepsTheRows) {
    const QString root = make({"VIDEO_TS/VTS_01_0.IFO"});
    ui_.folderToChoose = root;
    session_->dvdDiscovery().openDvd();
    ASSERT_EQ(session_->jobs().rowCount(), 1);
    ui_.folderToChoose.clear();
    session_->dvdDiscovery().openDvd();
    EXPECT_EQ(session_->jobs().rowCount(), 1);
    EXPECT_EQ(ui_.folderCaptions, QStringList(2, "Select DVD Directory"));
}

// On an optical drive the search waits for the drive's answer on a worker thread; meanwhile
// the event loop runs and commands that change the list or start work are refused.
TEST_F(DvdDiscoveryTest, OpticalDriveIsAwaitedWithoutBlocking) {
    const QString root = make({"VIDEO_TS/VTS_01_0.IFO"});
    drives_->optical = true;
    bool finished = false;
    QObject::connect(&session_->dvdDiscovery(), &DvdDiscovery::finished,
                     [&](bool found) { finished = found; });
    ASSERT_TRUE(session_->dvdDiscovery().addDvdFolder(root));
    ASSERT_TRUE(drives_->queries.tryAcquire(1, 5000));
    EXPECT_TRUE(session_->dvdDiscovery().busy());
    EXPECT_FALSE(session_->dvdDiscovery().addDvdFolder(root));
    EXPECT_FALSE(session_->queue().convert());
    session_->dvdTitles().switchView();
    EXPECT_TRUE(session_->dvdTitles().titleView());
    EXPECT_EQ(ui_.warnings.size(), 3);
    EXPECT_TRUE(read_.isEmpty());
    drives_->answer.release();
    ASSERT_TRUE(waitUntil([&] { return finished; }));
    EXPECT_FALSE(session_->dvdDiscovery().busy());
    EXPECT_EQ(session_->jobs().rowCount(), 1);
    EXPECT_EQ(drives_->queries.available(), 0) << "one volume query per Add DVD";
}

}  // namespace
