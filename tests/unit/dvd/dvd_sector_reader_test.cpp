#include "dvdsectors/dvd_sector_reader.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <string>
#include <vector>

#include "../../support/dvd_fixture.h"

using orvex::dvd::DvdSectorReader;
using orvex::test::dvdFixture;

namespace {

constexpr int64_t kSector = DvdSectorReader::kSectorBytes;

std::string locator(int set, int64_t start, int64_t end, const QString& root) {
    return "vts://0" + std::to_string(set) + "*" + std::to_string(start) + "*" +
           std::to_string(end) + "*0*0*/" + root.toStdString();
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray readAll(DvdSectorReader& reader, size_t chunk) {
    QByteArray out;
    std::vector<char> buf(chunk);
    for (;;) {
        const int64_t n = reader.read(buf.data(), buf.size());
        if (n <= 0) {
            EXPECT_EQ(n, 0) << reader.error();
            return out;
        }
        out.append(buf.data(), static_cast<qsizetype>(n));
    }
}

class DvdSectorReaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(dvdFixture().root.isEmpty()) << dvdFixture().error.toStdString();
        vob_ = fileBytes(dvdFixture().vobPath(1));
        ASSERT_GT(vob_.size(), 3000 * kSector);
    }
    QByteArray vob_;
};

// Every range and every way of reading it yields exactly the VOB's bytes of that range,
// whether reads are smaller than a sector, straddle sectors and batches, or are large and
// aligned (read straight into the caller's buffer).
TEST_F(DvdSectorReaderTest, ReadsExactlyTheRangesBytes) {
    const int64_t last = vob_.size() / kSector - 1;
    const struct {
        int64_t start, end;
    } ranges[] = {{0, last}, {0, 0}, {last, last}, {1000, 1700}, {3, 3 + 512 * 2}};
    const size_t chunks[] = {1, 2047, 2049, 1 << 20, (1 << 20) + 3, 5 << 20};
    for (const auto& r : ranges) {
        for (size_t chunk : chunks) {
            SCOPED_TRACE(std::to_string(r.start) + "-" + std::to_string(r.end) + " by " +
                         std::to_string(chunk));
            if (chunk == 1 && r.end - r.start > 10) {
                continue;  // byte by byte only where it stays quick
            }
            DvdSectorReader reader;
            ASSERT_TRUE(reader.open(locator(1, r.start, r.end, dvdFixture().root)))
                << reader.error();
            EXPECT_EQ(reader.size(), (r.end - r.start + 1) * kSector);
            const QByteArray got = readAll(reader, chunk);
            EXPECT_TRUE(got == vob_.mid(r.start * kSector, (r.end - r.start + 1) * kSector));
            EXPECT_EQ(reader.position(), reader.size());
        }
    }
}

// A disc image reads as its folder does.
TEST_F(DvdSectorReaderTest, ReadsTheSameSectorsFromADiscImage) {
    const orvex::test::DvdFixture& image = orvex::test::dvdImage();
    ASSERT_FALSE(image.root.isEmpty()) << image.error.toStdString();
    DvdSectorReader reader;
    ASSERT_TRUE(reader.open(locator(1, 100, 2100, image.root))) << reader.error();
    EXPECT_TRUE(readAll(reader, 1 << 20) == vob_.mid(100 * kSector, 2001 * kSector));
}

TEST_F(DvdSectorReaderTest, SeeksByByteOffsetWithinTheRange) {
    const int64_t start = 500, end = 2600;
    DvdSectorReader reader;
    ASSERT_TRUE(reader.open(locator(1, start, end, dvdFixture().root))) << reader.error();
    const QByteArray range = vob_.mid(start * kSector, (end - start + 1) * kSector);
    // Forwards, backwards, inside the batch just read, far away, mid-sector, at the end.
    const int64_t offsets[] = {0, 3 * kSector + 17, 5, 1500 * kSector - 1, 100, reader.size() - 3};
    std::vector<char> buf(3 * kSector);
    for (int64_t offset : offsets) {
        ASSERT_TRUE(reader.seek(offset));
        EXPECT_EQ(reader.position(), offset);
        const int64_t n = reader.read(buf.data(), buf.size());
        const int64_t expected = std::min<int64_t>(buf.size(), reader.size() - offset);
        ASSERT_EQ(n, expected) << offset;
        EXPECT_TRUE(QByteArray(buf.data(), n) == range.mid(offset, n)) << offset;
    }
    ASSERT_TRUE(reader.seek(reader.size()));
    EXPECT_EQ(reader.read(buf.data(), buf.size()), 0);
    EXPECT_FALSE(reader.seek(reader.size() + 1));
    EXPECT_FALSE(reader.seek(-1));
    EXPECT_EQ(reader.position(), reader.size());
}

TEST_F(DvdSectorReaderTest, FailuresSayWhatAndWhere) {
    const QString root = dvdFixture().root;
    const int64_t sectors = vob_.size() / kSector;
    const struct {
        std::string locator;
        std::string reason;
    } cases[] = {
        {"vts://01*0*10*0*0*//no/such/disc", "No such file or directory"},
        {locator(3, 0, 10, root), "VTS_03_1.VOB is missing (title set 03"},
        {locator(1, 0, sectors, root), "beyond the " + std::to_string(sectors) + " sectors"},
        {locator(1, sectors, sectors, root), "beyond"},
        {"vts://01*0*10*0*0", "bad DVD locator 'vts://01*0*10*0*0': "},
    };
    for (const auto& c : cases) {
        DvdSectorReader reader;
        EXPECT_FALSE(reader.open(c.locator)) << c.locator;
        EXPECT_NE(reader.error().find(c.reason), std::string::npos)
            << c.locator << " -> " << reader.error();
        EXPECT_FALSE(reader.isOpen());
        EXPECT_EQ(reader.size(), 0);
        char byte;
        EXPECT_EQ(reader.read(&byte, 1), -1);
    }
}

// A VOB or disc that cannot be read is named with the reason, at once: a FIFO in its place would
// otherwise be waited on for good.
TEST_F(DvdSectorReaderTest, UnreadableVobsAndDiscsSayWhy) {
    QTemporaryDir dir;
    ASSERT_TRUE(orvex::test::copyDvdFixture(dir.path()));
    const QString vob = dir.path() + QStringLiteral("/VIDEO_TS/VTS_01_1.VOB");
    const QString kept = dir.path() + QStringLiteral("/kept.vob");
    ASSERT_TRUE(QFile::rename(vob, kept));
    const QByteArray vobName = QFile::encodeName(vob);
    const struct {
        const char* what;
        std::function<bool()> make;
        std::string reason;
    } cases[] = {
        {"fifo", [&] { return ::mkfifo(vobName.constData(), 0600) == 0; },
         "VTS_01_1.VOB' cannot be read: it is not a regular file"},
        {"folder", [&] { return QDir().mkdir(vob); }, "it is not a regular file"},
        {"link loop", [&] { return QFile::link(vob, vob); }, "Too many levels of symbolic links"},
        {"no permission", [&] { return QFile::copy(kept, vob) && QFile::setPermissions(vob, {}); },
         ::geteuid() == 0 ? "" : "Permission denied"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(c.make());
        DvdSectorReader reader;
        if (!c.reason.empty()) {  // root reads whatever the permissions say
            EXPECT_FALSE(reader.open(locator(1, 0, 10, dir.path())));
            EXPECT_NE(reader.error().find(c.reason), std::string::npos) << reader.error();
            EXPECT_NE(reader.error().find("title set 01"), std::string::npos) << reader.error();
        }
        ASSERT_TRUE(QFile::remove(vob) || QDir().rmdir(vob));
    }
    const QString fifoDisc = dir.path() + QStringLiteral("/disc.iso");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifoDisc).constData(), 0600), 0);
    DvdSectorReader reader;
    EXPECT_FALSE(reader.open(locator(1, 0, 10, fifoDisc)));
    EXPECT_NE(reader.error().find("neither a folder, a disc image nor a drive"), std::string::npos)
        << reader.error();
}

// A VOB that loses its end after the range was opened: the bytes up to the damage arrive, then
// the read fails with the sector it failed at.
TEST_F(DvdSectorReaderTest, ReadErrorNamesTheSector) {
    QTemporaryDir dir;
    ASSERT_TRUE(orvex::test::copyDvdFixture(dir.path()));
    const QString vob = dir.path() + QStringLiteral("/VIDEO_TS/VTS_01_1.VOB");
    DvdSectorReader reader;
    ASSERT_TRUE(reader.open(locator(1, 0, 2999, dir.path()))) << reader.error();
    ASSERT_TRUE(QFile::resize(vob, 2000 * kSector));

    std::vector<char> buf(700 * kSector);
    int64_t total = 0;
    int64_t n;
    while ((n = reader.read(buf.data(), buf.size())) > 0) {
        total += n;
    }
    EXPECT_EQ(n, -1);
    EXPECT_LE(total, 2000 * kSector);
    EXPECT_NE(reader.error().find("read error at sector 2"), std::string::npos) << reader.error();
    EXPECT_NE(reader.error().find("title set 01"), std::string::npos) << reader.error();
}

}  // namespace
