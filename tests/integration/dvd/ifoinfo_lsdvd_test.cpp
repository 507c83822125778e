// ifoinfo against lsdvd, which reads the same disc folder with its own code, and the stream ids
// in the descriptions against the VOB's real program streams as FFmpeg sees them.
#include <gtest/gtest.h>

#include <QMap>
#include <QRegularExpression>
#include <QStringList>

#include "../../support/dvd_fixture.h"
#include "../../support/lsdvd.h"
#include "../../support/test_media.h"
#include "ifoinfo/ifoinfo.h"

using namespace orvex::test;

namespace {

// The description without its " (0x..)" part.
QString withoutId(const char* description) {
    return QString::fromLatin1(description).section(QStringLiteral(" ("), 0, 0);
}

// "0x80" from a description's last four characters before ")".
QString idOf(const char* description) {
    const QString text = QString::fromLatin1(description);
    const qsizetype close = text.indexOf(QLatin1Char(')'));
    return close >= 4 ? text.mid(close - 4, 4) : QString();
}

int int32At(const unsigned char* p) {
    return int(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24);
}

// Chains, cells, chapters (programs, of one cell or several), times, palettes and streams, on
// the fixture and on the disc whose chapters span several cells.
TEST(IfoinfoAgainstLsdvd, TitlesChaptersTimesAndStreamsAgree) {
    for (const DvdFixture* disc : {&dvdFixture(), &multiCellDvd()}) {
        SCOPED_TRACE(disc->root.toStdString());
        ASSERT_FALSE(disc->root.isEmpty()) << disc->error.toStdString();
        const QList<LsdvdTitle> titles = lsdvd(disc->root);
        ASSERT_FALSE(titles.isEmpty());
        for (int set = 1; set <= 2; ++set) {
            SCOPED_TRACE(set);
            IfoInfo* h = ifoOpen(disc->ifoPath(set).toUtf8().constData(), 0);
            ASSERT_NE(h, nullptr);
            QList<LsdvdTitle> ofSet;
            for (const LsdvdTitle& t : titles) {
                if (t.vts == set) {
                    ofSet << t;
                }
            }
            // dvdauthor writes one chain per title, in title order.
            ASSERT_EQ(ifoGetNumPGCI(h), ofSet.size());
            for (const LsdvdTitle& t : ofSet) {
                const int chain = t.ttn - 1;
                unsigned char time[4];
                const int cells = ifoGetPGCIInfo(h, chain, time);
                EXPECT_EQ(time[0] * 3600 + time[1] * 60 + time[2], t.seconds) << chain;
                ASSERT_EQ(cells, t.cellSeconds.size()) << chain;
                std::vector<unsigned char> table(size_t(cells) * IFOINFO_CELL_RECORD_SIZE);
                ifoGetPGCICells(h, chain, table.data());
                for (int j = 0; j < cells; ++j) {
                    const unsigned char* r = table.data() + j * IFOINFO_CELL_RECORD_SIZE;
                    EXPECT_EQ(r[13] * 3600 + r[14] * 60 + r[15], t.cellSeconds[j]) << j;
                }
                const int programs = ifoGetPGCIPrograms(h, chain, nullptr);
                ASSERT_EQ(programs, t.chapterSeconds.size()) << chain;
                std::vector<unsigned char> records(size_t(programs) * IFOINFO_PROGRAM_RECORD_SIZE);
                ifoGetPGCIPrograms(h, chain, records.data());
                int nextCell = 0;
                for (int p = 0; p < programs; ++p) {
                    const unsigned char* r = records.data() + p * IFOINFO_PROGRAM_RECORD_SIZE;
                    EXPECT_EQ(r[8] * 3600 + r[9] * 60 + r[10], t.chapterSeconds[p]) << p;
                    EXPECT_EQ(int32At(r), nextCell) << p;
                    nextCell += int32At(r + 4);
                }
                EXPECT_EQ(nextCell, cells) << "the programs cover the cells";
                uint32_t palette[16];
                ASSERT_EQ(ifoGetPGCIPalette(h, chain, palette), 16);
                QStringList colours;
                for (const uint32_t c : palette) {
                    colours << QStringLiteral("%1").arg(c, 6, 16, QLatin1Char('0'));
                }
                EXPECT_EQ(colours, t.palette);
            }
            const LsdvdTitle& first = ofSet.first();
            EXPECT_EQ(
                QString::fromLatin1(ifoGetVideoDesc(h)),
                QStringLiteral("MPEG-2 %1 %2 %3").arg(first.size, first.format, first.aspect));
            QStringList audio;
            for (int i = 0; i < ifoGetNumAudio(h); ++i) {
                audio << withoutId(ifoGetAudioDesc(h, i));
            }
            EXPECT_EQ(audio, first.audio);
            QStringList subtitles;
            for (int i = 0; i < ifoGetNumSubPic(h); ++i) {
                subtitles << withoutId(ifoGetSubPicDesc(h, i));
            }
            EXPECT_EQ(subtitles, first.subtitles);
            ifoClose(h);
        }
    }
}

// lsdvd numbers MPEG audio by track position (it would say 0xc1); the ids must be the ones the
// VOB really carries, since register.dat maps the stream by them.
TEST(IfoinfoAgainstLsdvd, StreamIdsAreTheVobsOwn) {
    const DvdFixture& fixture = dvdFixture();
    ASSERT_FALSE(fixture.root.isEmpty()) << fixture.error.toStdString();
    for (int set = 1; set <= 2; ++set) {
        QString out;
        ASSERT_EQ(runProgram(QStringLiteral("ffprobe"),
                             {"-v", "error", "-show_entries", "stream=id", "-of",
                              "default=nw=1:nk=1", fixture.vobPath(set)},
                             &out),
                  0);
        const QStringList vobIds = out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        IfoInfo* h = ifoOpen(fixture.ifoPath(set).toUtf8().constData(), 0);
        ASSERT_NE(h, nullptr);
        QStringList ids;
        for (int i = 0; i < ifoGetNumAudio(h); ++i) {
            ids << idOf(ifoGetAudioDesc(h, i));
        }
        for (int i = 0; i < ifoGetNumSubPic(h); ++i) {
            ids << idOf(ifoGetSubPicDesc(h, i));
        }
        ifoClose(h);
        const QStringList expected =
            set == 1 ? QStringList{"0x80", "0xc0", "0x20"} : QStringList{"0x80"};
        EXPECT_EQ(ids, expected);
        for (const QString& id : ids) {
            // FFmpeg shows MPEG audio with its stream id (0x1c0), private streams by substream.
            const QString asFfmpeg = id.startsWith("0xc") ? "0x1" + id.mid(2) : id;
            EXPECT_TRUE(vobIds.contains(asFfmpeg))
                << id.toStdString() << " in " << out.toStdString();
        }
    }
}

}  // namespace
