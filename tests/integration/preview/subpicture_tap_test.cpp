// The preview's gathering of subtitle units from the sectors the player reads: reads of any
// size and seeks give whole units, the same ones a single read gives.
#include "previewlib/subpicture_tap.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "../../support/dvd_fixture.h"

using namespace orvex::test;
using orvex::preview::SubpictureTap;
using orvex::preview::SubpictureUnit;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::vector<SubpictureUnit> gathered(const QByteArray& vob, const std::vector<int64_t>& reads) {
    SubpictureTap tap(0x20);
    for (size_t i = 0; i + 1 < reads.size(); i += 2) {
        tap.feed(reads[i], reinterpret_cast<const unsigned char*>(vob.constData()) + reads[i],
                 size_t(reads[i + 1] - reads[i]));
    }
    return tap.take();
}

TEST(SubpictureTap, ReadsOfAnySizeAndSeeksGiveWholeUnits) {
    ASSERT_FALSE(dvdFixture().root.isEmpty()) << dvdFixture().error.toStdString();
    const QByteArray vob = fileBytes(dvdFixture().vobPath(1));
    const int64_t size = vob.size();
    const std::vector<SubpictureUnit> whole = gathered(vob, {0, size});
    ASSERT_EQ(whole.size(), 3u) << "FIRST, SECOND and THIRD";
    for (size_t u = 1; u < whole.size(); ++u) {
        EXPECT_NEAR(double(whole[u].pts - whole[u - 1].pts) / 90000, 3.0, 0.1);
    }
    // Odd sizes straddling sectors and packets.
    std::vector<int64_t> odd;
    for (int64_t at = 0, step = 7; at < size; step = step * 3 % 65521 + 1) {
        odd.push_back(at);
        at = std::min(size, at + step);
        odd.push_back(at);
    }
    // A seek back into the middle of a sector, then to the end.
    const int64_t half = size / 2;
    const std::vector<std::pair<const char*, std::vector<int64_t>>> cases = {
        {"odd sizes", odd},
        {"seek back", {0, half, 2048 * 5 + 17, size}},
    };
    for (const auto& [what, reads] : cases) {
        SCOPED_TRACE(what);
        const std::vector<SubpictureUnit> units = gathered(vob, reads);
        for (const SubpictureUnit& w : whole) {
            EXPECT_TRUE(std::any_of(units.begin(), units.end(), [&](const SubpictureUnit& u) {
                return u.pts == w.pts && u.bytes == w.bytes;
            })) << w.pts;
        }
        for (const SubpictureUnit& u : units) {
            EXPECT_TRUE(std::any_of(
                whole.begin(), whole.end(),
                [&](const SubpictureUnit& w) { return u.pts == w.pts && u.bytes == w.bytes; }))
                << "a unit pieced together wrongly at " << u.pts;
        }
    }

    QTemporaryDir dir;
    ASSERT_TRUE(copyDvdFixture(dir.path()));
    const QString copy = dir.path() + "/VIDEO_TS/VTS_01_1.VOB";
    ASSERT_TRUE(scrambleVob(copy, 100));
    const QByteArray scrambled = fileBytes(copy);
    SubpictureTap tap(0x20);
    tap.feed(0, reinterpret_cast<const unsigned char*>(scrambled.constData()), 2048 * 100);
    EXPECT_EQ(tap.scrambledPackets(), 0);
    tap.feed(2048 * 100, reinterpret_cast<const unsigned char*>(scrambled.constData()) + 2048 * 100,
             2048);
    EXPECT_GT(tap.scrambledPackets(), 0);
}

}  // namespace
