#include "dvdsectors/program_stream_census.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <set>

#include "../../support/dvd_fixture.h"

using orvex::dvd::ProgramStreamCensus;
using orvex::test::dvdFixture;

namespace {

QByteArray vob(int titleSet) {
    QFile f(dvdFixture().vobPath(titleSet));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

ProgramStreamCensus censusOf(const QByteArray& data) {
    ProgramStreamCensus census;
    census.add(reinterpret_cast<const unsigned char*>(data.constData()),
               static_cast<size_t>(data.size()));
    return census;
}

TEST(ProgramStreamCensus, FindsTheFixturesStreamsAndTime) {
    ASSERT_FALSE(dvdFixture().root.isEmpty()) << dvdFixture().error.toStdString();
    const QByteArray first = vob(1);
    const ProgramStreamCensus census = censusOf(first);
    EXPECT_EQ(census.sectors(), first.size() / 2048);
    EXPECT_EQ(census.packs(), census.sectors());
    EXPECT_EQ(census.scrambledPackets(), 0);
    // Navigation, video, AC-3, MP2 (as 0x1c0), subpictures.
    EXPECT_EQ(census.streams(), (std::set<int>{0x20, 0x80, 0x1bf, 0x1c0, 0x1e0}));
    // Both chains of the title set, 9 s and 1 s; the clock starts again for the second.
    EXPECT_NEAR(census.seconds(), 10.0, 1.0);
    ASSERT_TRUE(census.firstVideoPts());
    ASSERT_TRUE(census.firstScr());
    EXPECT_GE(*census.firstVideoPts(), *census.firstScr());

    EXPECT_EQ(censusOf(vob(2)).streams(), (std::set<int>{0x80, 0x1bf, 0x1e0}));

    // A trailing partial sector is left alone.
    EXPECT_EQ(censusOf(first.left(2048 * 3 + 100)).sectors(), 3);
}

TEST(ProgramStreamCensus, TellsScrambledAndForeignDataApart) {
    ASSERT_FALSE(dvdFixture().root.isEmpty()) << dvdFixture().error.toStdString();
    QTemporaryDir dir;
    ASSERT_TRUE(orvex::test::copyDvdFixture(dir.path()));
    const QString copy = dir.path() + QStringLiteral("/VIDEO_TS/VTS_01_1.VOB");
    ASSERT_TRUE(orvex::test::scrambleVob(copy, 100));
    QFile f(copy);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray part = f.read(2048 * 200);
    EXPECT_EQ(censusOf(part.left(2048 * 100)).scrambledPackets(), 0);
    const ProgramStreamCensus css = censusOf(part);
    EXPECT_GT(css.scrambledPackets(), 90);
    EXPECT_EQ(css.packs(), 200);
    EXPECT_EQ(css.streams(), censusOf(vob(1).left(2048 * 200)).streams());

    for (const QByteArray& foreign : {QByteArray(2048 * 10, '\0'), QByteArray(2048 * 10, '\xff'),
                                      QByteArray(2048 * 10, '\x01')}) {
        const ProgramStreamCensus c = censusOf(foreign);
        EXPECT_EQ(c.sectors(), 10);
        EXPECT_EQ(c.packs(), 0);
        EXPECT_TRUE(c.streams().empty());
        EXPECT_EQ(c.seconds(), 0.0);
    }
    // Packet lengths that run off the sector end must not be followed.
    QByteArray bent = part.left(2048 * 20);
    for (qsizetype s = 0; s < bent.size(); s += 2048) {
        bent[s + 18] = '\xff';
        bent[s + 19] = '\xff';
    }
    EXPECT_EQ(censusOf(bent).packs(), 20);
}

}  // namespace
