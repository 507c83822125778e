#include "ifoinfo/ifoinfo.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "../../support/dvd_fixture.h"
#include "ifoinfo/stream_descriptions.h"
#include "platform/isolated_call.h"

using orvex::test::dvdFixture;

namespace {

struct Cell {
    int32_t first, last;
    int hours, minutes, seconds;
};

int32_t int32At(const unsigned char* p) {
    return static_cast<int32_t>(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 |
                                uint32_t{p[3]} << 24);
}

// Reads a chain the way the caller of the contract does: cell count and time, then the cells
// into a table of exactly that many records.
std::vector<Cell> cellsOf(const IfoInfo* h, int chain, unsigned char time[4]) {
    const int32_t n = ifoGetPGCIInfo(h, chain, time);
    std::vector<unsigned char> table(static_cast<size_t>(n) * IFOINFO_CELL_RECORD_SIZE);
    EXPECT_EQ(ifoGetPGCICells(h, chain, table.data()), n);
    std::vector<Cell> cells;
    for (int32_t j = 0; j < n; ++j) {
        const unsigned char* r = table.data() + j * IFOINFO_CELL_RECORD_SIZE;
        cells.push_back({int32At(r), int32At(r + 4), r[13], r[14], r[15]});
    }
    return cells;
}

// Calls everything the contract offers, with indexes in and out of range; under the
// sanitizers this is what finds a bad read.
void useEverything(const IfoInfo* h) {
    const int32_t chains = ifoGetNumPGCI(h);
    for (int32_t c = -1; c <= chains; ++c) {
        unsigned char time[4];
        cellsOf(h, c, time);
    }
    std::string all = ifoGetVideoDesc(h);
    for (int32_t i = -1; i <= ifoGetNumAudio(h); ++i) {
        all += ifoGetAudioDesc(h, i);
    }
    for (int32_t i = -1; i <= ifoGetNumSubPic(h); ++i) {
        all += ifoGetSubPicDesc(h, i);
    }
    for (char ch : all) {
        EXPECT_TRUE(ch >= 0x20 && ch < 0x7f) << all;
    }
}

TEST(IfoInfo, ReadsTheFixturesTitleSets) {
    ASSERT_FALSE(dvdFixture().root.isEmpty()) << dvdFixture().error.toStdString();
    IfoInfo* h = ifoOpen(dvdFixture().ifoPath(1).toUtf8().constData(), 0);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(ifoGetNumPGCI(h), 2);
    EXPECT_STREQ(ifoGetVideoDesc(h), "MPEG-2 720x576 PAL 4:3");
    ASSERT_EQ(ifoGetNumAudio(h), 2);
    EXPECT_STREQ(ifoGetAudioDesc(h, 0), "English AC-3 2ch (0x80)");
    // The IFO's stream map, not the track's position: FFmpeg muxed it as 0xc0.
    EXPECT_STREQ(ifoGetAudioDesc(h, 1), "Francais MPEG-1 2ch (0xc0)");
    ASSERT_EQ(ifoGetNumSubPic(h), 1);
    EXPECT_STREQ(ifoGetSubPicDesc(h, 0), "Deutsch (0x20)");

    unsigned char time[4] = {9, 9, 9, 9};
    const std::vector<Cell> title = cellsOf(h, 0, time);
    EXPECT_EQ((std::vector<int>{time[0], time[1], time[2]}), (std::vector<int>{0, 0, 9}));
    ASSERT_EQ(title.size(), 3u);
    EXPECT_EQ(title[0].first, 0);
    for (size_t j = 0; j < title.size(); ++j) {
        EXPECT_EQ(title[j].seconds, 3) << j;
        EXPECT_EQ(title[j].hours + title[j].minutes, 0) << j;
        EXPECT_GT(title[j].last - title[j].first, 1000) << j;
        if (j > 0) {
            EXPECT_EQ(title[j].first, title[j - 1].last + 1) << j;
        }
    }
    // dvdauthor makes each chapter a program of one cell; the palette is the subtitle's.
    ASSERT_EQ(ifoGetPGCIPrograms(h, 0, nullptr), 3);
    unsigned char programs[3 * IFOINFO_PROGRAM_RECORD_SIZE];
    ifoGetPGCIPrograms(h, 0, programs);
    for (int p = 0; p < 3; ++p) {
        const unsigned char* r = programs + p * IFOINFO_PROGRAM_RECORD_SIZE;
        EXPECT_EQ((std::vector<int>{int32At(r), int32At(r + 4), r[8] * 3600 + r[9] * 60 + r[10]}),
                  (std::vector<int>{p, 1, 3}));
    }
    uint32_t palette[16] = {};
    EXPECT_EQ(ifoGetPGCIPalette(h, 0, palette), 16);
    EXPECT_EQ(palette[0], 0x00eb8080u) << "white, as spumux draws text";
    EXPECT_EQ(ifoGetPGCIPalette(h, 2, palette), 0);
    const std::vector<Cell> shortChain = cellsOf(h, 1, time);
    EXPECT_EQ(time[2], 1);
    ASSERT_EQ(shortChain.size(), 1u);
    EXPECT_EQ(shortChain[0].first, title.back().last + 1);
    EXPECT_LT(shortChain[0].last - shortChain[0].first, 1000);
    // The cells end where the title set's VOBs end.
    EXPECT_EQ((int64_t{shortChain[0].last} + 1) * 2048, QFile(dvdFixture().vobPath(1)).size());
    useEverything(h);
    ifoClose(h);

    h = ifoOpen(dvdFixture().ifoPath(2).toUtf8().constData(), 0);
    ASSERT_NE(h, nullptr);
    EXPECT_STREQ(ifoGetVideoDesc(h), "MPEG-2 720x576 PAL 16:9");
    ASSERT_EQ(ifoGetNumAudio(h), 1);
    EXPECT_STREQ(ifoGetAudioDesc(h, 0), "Espanol AC-3 2ch (0x80)");
    EXPECT_EQ(ifoGetNumSubPic(h), 0);
    ASSERT_EQ(ifoGetNumPGCI(h), 1);
    EXPECT_EQ(ifoGetPGCIInfo(h, 0, time), 1);
    EXPECT_EQ(time[2], 4);
    ifoClose(h);
}

TEST(IfoInfo, NoHandleAndIndexesOutOfRangeGiveZeroAndEmptyTexts) {
    useEverything(nullptr);
    EXPECT_EQ(ifoGetNumPGCI(nullptr), 0);
    unsigned char time[4] = {1, 2, 3, 4};
    EXPECT_EQ(ifoGetPGCIInfo(nullptr, 0, time), 0);
    EXPECT_EQ((std::vector<int>{time[0], time[1], time[2], time[3]}), std::vector<int>(4, 0));
    EXPECT_EQ(ifoGetPGCICells(nullptr, 0, nullptr), 0);
    EXPECT_STREQ(ifoGetAudioDesc(nullptr, 0), "");
    ifoClose(nullptr);

    ASSERT_FALSE(dvdFixture().root.isEmpty()) << dvdFixture().error.toStdString();
    IfoInfo* h = ifoOpen(dvdFixture().ifoPath(1).toUtf8().constData(), 0);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(ifoGetPGCIInfo(h, 0, nullptr), 3);  // no time wanted
    EXPECT_EQ(ifoGetPGCICells(h, 0, nullptr), 0);
    EXPECT_EQ(ifoGetPGCIInfo(h, 2, time), 0);
    EXPECT_STREQ(ifoGetSubPicDesc(h, 1), "");
    ifoClose(h);
}

// A disc image stands for its title sets, named inside it; they read as the folder's do. A file
// that is no disc image says so.
TEST(IfoInfo, ReadsTheTitleSetsOfADiscImage) {
    const orvex::test::DvdFixture& image = orvex::test::dvdImage();
    ASSERT_FALSE(image.root.isEmpty()) << image.error.toStdString();
    const QByteArray iso = image.root.toUtf8();
    const QByteArray notAnImage = dvdFixture().vobPath(2).toUtf8().replace(".VOB", ".vob.iso");
    ASSERT_TRUE(QFile::copy(dvdFixture().vobPath(2), QString::fromUtf8(notAnImage)));
    const char* paths[] = {iso.constData(), notAnImage.constData()};
    IfoBatch* batch = ifoOpenBatch(paths, 2, 0);
    ASSERT_EQ(ifoBatchCount(batch), 3);
    for (int set = 1; set <= 2; ++set) {
        SCOPED_TRACE(set);
        EXPECT_EQ(QString::fromUtf8(ifoBatchPath(batch, set - 1)), image.ifoPath(set));
        IfoInfo* inImage = ifoBatchTake(batch, set - 1);
        IfoInfo* inFolder = ifoOpen(dvdFixture().ifoPath(set).toUtf8().constData(), 0);
        ASSERT_NE(inImage, nullptr);
        ASSERT_NE(inFolder, nullptr);
        EXPECT_EQ(ifoGetNumPGCI(inImage), ifoGetNumPGCI(inFolder));
        EXPECT_STREQ(ifoGetAudioDesc(inImage, 0), ifoGetAudioDesc(inFolder, 0));
        unsigned char time[4];
        EXPECT_EQ(cellsOf(inImage, 0, time).back().last, cellsOf(inFolder, 0, time).back().last);
        ifoClose(inImage);
        ifoClose(inFolder);
    }
    EXPECT_STREQ(ifoBatchPath(batch, 2), notAnImage.constData());
    EXPECT_STREQ(ifoBatchError(batch, 2), "it holds no DVD title set");
    ifoBatchClose(batch);
    IfoInfo* one = ifoOpen(image.ifoPath(2).toUtf8().constData(), 0);
    EXPECT_NE(one, nullptr) << "an IFO named inside the image";
    ifoClose(one);
    EXPECT_EQ(ifoOpen(iso.constData(), 0), nullptr) << "the image is more than one title set";
    QFile::remove(QString::fromUtf8(notAnImage));
}

class DamagedIfoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(orvex::test::copyDvdFixture(dir_.path())) << dvdFixture().error.toStdString();
    }
    QString file(const QString& name) const { return dir_.path() + "/VIDEO_TS/" + name; }
    IfoInfo* open(const QString& path) const { return ifoOpen(path.toUtf8().constData(), 0); }
    QTemporaryDir dir_;
};

TEST_F(DamagedIfoTest, PathsThatNameNoTitleSetGiveNoHandle) {
    QDir().mkpath(dir_.path() + "/VIDEO_TS/VTS_05_0.IFO.d");
    const QString cases[] = {
        file("VTS_03_0.IFO"),       // no such file
        file("VIDEO_TS.IFO"),       // the disc's menu IFO, not a title set
        file("VTS_01_1.VOB"),       // a VOB
        file("VTS_00_0.IFO"),       // no title set 0
        dir_.path() + "/VIDEO_TS",  // a folder
        file("VTS_05_0.IFO.d"),     // a folder with an IFO-like name
        "",                         //
        "VTS_01_0.IFO",             // relative, where there is none
    };
    for (const QString& path : cases) {
        EXPECT_EQ(open(path), nullptr) << path.toStdString();
    }
    EXPECT_EQ(ifoOpen(nullptr, 0), nullptr);
    EXPECT_EQ(ifoOpen(file("VTS_01_0.IFO").toUtf8().constData(), 1), nullptr);  // flags
}

TEST_F(DamagedIfoTest, ABrokenIfoFallsBackToItsBackup) {
    QFile ifo(file("VTS_01_0.IFO"));
    ASSERT_TRUE(ifo.resize(100));
    IfoInfo* h = open(file("VTS_01_0.IFO"));
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(ifoGetNumPGCI(h), 2);
    EXPECT_STREQ(ifoGetAudioDesc(h, 1), "Francais MPEG-1 2ch (0xc0)");
    ifoClose(h);

    // Without the backup the title set cannot be read.
    ASSERT_TRUE(QFile::remove(file("VTS_01_0.BUP")));
    EXPECT_EQ(open(file("VTS_01_0.IFO")), nullptr);
}

// A batch names each file that cannot be read with its reason, refusing files that are not
// regular files unread (a FIFO would be waited on for good), and still reads the rest.
TEST_F(DamagedIfoTest, BatchSaysWhatIsWrongWithWhichFile) {
    auto fifo = [](const QString& path) {
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    };
    ASSERT_TRUE(QFile(file("VTS_01_0.IFO")).resize(100));
    ASSERT_TRUE(QFile::remove(file("VTS_01_0.BUP")));
    ASSERT_TRUE(QFile::remove(file("VTS_02_0.BUP")) && fifo(file("VTS_02_0.BUP")));
    ASSERT_TRUE(fifo(file("VTS_04_0.IFO")));
    const struct {
        QString path;
        const char* error;
    } cases[] = {
        {file("VTS_01_0.IFO"), "it is damaged and has no backup VTS_01_0.BUP"},
        {file("VTS_02_0.IFO"), "VTS_02_0.BUP cannot be read: it is not a regular file"},
        {file("VTS_03_0.IFO"), "No such file or directory"},
        {file("VTS_04_0.IFO"), "it is not a regular file"},
        {file("VIDEO_TS.IFO"),
         "it is neither a title set's IFO file (VTS_nn_0.IFO) nor a DVD image"},
        {dvdFixture().ifoPath(2), ""},
    };
    std::vector<QByteArray> names;
    std::vector<const char*> paths;
    for (const auto& c : cases) {
        names.push_back(c.path.toUtf8());
    }
    for (const QByteArray& n : names) {
        paths.push_back(n.constData());
    }
    IfoBatch* batch = ifoOpenBatch(paths.data(), int32_t(paths.size()), 0);
    ASSERT_EQ(ifoBatchCount(batch), int32_t(std::size(cases)));
    for (int32_t i = 0; i < ifoBatchCount(batch); ++i) {
        SCOPED_TRACE(cases[i].path.toStdString());
        EXPECT_STREQ(ifoBatchPath(batch, i), paths[size_t(i)]);
        EXPECT_STREQ(ifoBatchError(batch, i), cases[i].error);
        IfoInfo* h = ifoBatchTake(batch, i);
        EXPECT_EQ(h != nullptr, *cases[i].error == 0);
        EXPECT_EQ(ifoBatchTake(batch, i), nullptr) << "handed over once";
        ifoClose(h);
    }
    EXPECT_STREQ(ifoBatchError(batch, 6), "");
    EXPECT_EQ(ifoBatchTake(batch, -1), nullptr);
    ifoBatchClose(batch);
    EXPECT_EQ(ifoOpenBatch(nullptr, 1, 0), nullptr);
    EXPECT_EQ(ifoBatchCount(nullptr), 0);
}

// Truncations every 256 bytes and seeded random damage to the IFO (its backup gone): any
// handle that comes back must answer every call without reading out of bounds.
TEST_F(DamagedIfoTest, DamagedFilesNeverCrash) {
    if (!platform::callsAreIsolated()) {
        GTEST_SKIP() << "this platform reads IFO files in-process, where libdvdread can crash";
    }
    ASSERT_TRUE(QFile::remove(file("VTS_01_0.BUP")));
    const QString path = file("VTS_01_0.IFO");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray good = f.readAll();
    f.close();

    auto tryWith = [&](const QByteArray& bytes) {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(bytes);
        out.close();
        IfoInfo* h = open(path);
        useEverything(h);
        ifoClose(h);
    };
    for (qsizetype size = 0; size < good.size(); size += 256) {
        tryWith(good.left(size));
    }
    QRandomGenerator random(20240611);
    for (int round = 0; round < 150; ++round) {
        QByteArray bytes = good;
        const int changes = 1 + random.bounded(40);
        for (int k = 0; k < changes; ++k) {
            // Mostly the header and tables at the front, where the counts and offsets are.
            const int at = random.bounded(round % 2 ? static_cast<int>(good.size()) : 1024);
            bytes[at] = static_cast<char>(random.bounded(256));
        }
        tryWith(bytes);
    }
}

TEST(StreamDescriptions, NamesLanguagesAndPictures) {
    using namespace orvex::ifoinfo;
    const struct {
        uint16_t code;
        const char* name;
    } languages[] = {{0x6465, "Deutsch"}, {0x454e, "English"}, {0x7878, "xx"},
                     {0x0000, "Unknown"}, {0xffff, "Unknown"}, {0x6531, "Unknown"}};
    for (const auto& l : languages) {
        EXPECT_EQ(languageName(l.code), l.name) << l.code;
    }
    EXPECT_EQ(videoDescription(1, 0, 0, 0), "MPEG-2 720x480 NTSC 4:3");
    EXPECT_EQ(videoDescription(1, 1, 3, 1), "MPEG-2 704x576 PAL 16:9");
    EXPECT_EQ(videoDescription(0, 1, 0, 3), "MPEG-1 352x288 PAL 4:3");
    EXPECT_EQ(videoDescription(2, 2, 1, 2), "MPEG-? 352x480 ? ?");
    EXPECT_EQ(audioDescription("English", 0, 6, 0x81), "English AC-3 6ch (0x81)");
    EXPECT_EQ(audioDescription("Deutsch", 6, 6, 0x88), "Deutsch DTS 6ch (0x88)");
    EXPECT_EQ(audioDescription("Unknown", 1, 2, 0), "Unknown ? 2ch");
    EXPECT_EQ(subpictureDescription("Deutsch", 0x21), "Deutsch (0x21)");
    EXPECT_EQ(audioStreamBase(4), 0xa0);
    EXPECT_EQ(audioStreamBase(3), 0xc0);
}

}  // namespace
