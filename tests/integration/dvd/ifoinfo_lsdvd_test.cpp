// ifoinfo against lsdvd, which reads the same disc folder with its own code, and the stream ids
// in the descriptions against the VOB's real program streams as FFmpeg sees them.
#include <gtest/gtest.h>

#include <QMap>
#include <QRegularExpression>
#include <QStringList>

#include "../../support/dvd_fixture.h"
#include "../../support/test_media.h"
#include "ifoinfo/ifoinfo.h"

using namespace orvex::test;

namespace {

struct LsdvdTitle {
    int vts = 0, ttn = 0;
    int seconds = 0;  // length, cut to whole seconds
    QList<int> cellSeconds;
    QString size, format, aspect;  // "720x576", "PAL", "4:3"
    QStringList audio;             // "English AC-3 2ch" as ifoinfo writes it, without the id
    QStringList subtitles;         // "Deutsch"
};

int secondsOf(const QString& hhmmss) {
    const QStringList p = hhmmss.split(QLatin1Char(':'));
    return p.size() == 3 ? p[0].toInt() * 3600 + p[1].toInt() * 60 + int(p[2].toDouble()) : -1;
}

QList<LsdvdTitle> lsdvd(const QString& root) {
    QString out;
    if (runProgram(QStringLiteral("lsdvd"), {QStringLiteral("-x"), root}, &out) != 0) {
        return {};
    }
    const QMap<QString, QString> formats{{"ac3", "AC-3"},
                                         {"mpeg1", "MPEG-1"},
                                         {"mpeg2", "MPEG-2"},
                                         {"lpcm", "LPCM"},
                                         {"dts", "DTS"}};
    QList<LsdvdTitle> titles;
    const QRegularExpression title(R"(^Title: \d+, Length: (\d\d:\d\d:\d\d\.\d+))");
    const QRegularExpression vts(
        R"(VTS: (\d+), TTN: (\d+), .*Format: (\w+), Aspect ratio: (\d+)/(\d+), Width: (\d+), Height: (\d+))");
    const QRegularExpression audio(
        R"(Audio: \d+, Language: \S+ - ([^,]+), Format: (\w+), .*Channels: (\d+))");
    const QRegularExpression cell(R"(Cell: \d+, Length: (\d\d:\d\d:\d\d\.\d+))");
    const QRegularExpression subtitle(R"(Subtitle: \d+, Language: \S+ - ([^,]+),)");
    for (const QString& line : out.split(QLatin1Char('\n'))) {
        QRegularExpressionMatch m;
        if ((m = title.match(line)).hasMatch()) {
            titles.append(LsdvdTitle{});
            titles.last().seconds = secondsOf(m.captured(1));
        } else if (titles.isEmpty()) {
            continue;
        } else if ((m = vts.match(line)).hasMatch()) {
            LsdvdTitle& t = titles.last();
            t.vts = m.captured(1).toInt();
            t.ttn = m.captured(2).toInt();
            t.format = m.captured(3);
            t.aspect = m.captured(4) + ":" + m.captured(5);
            t.size = m.captured(6) + "x" + m.captured(7);
        } else if ((m = audio.match(line)).hasMatch()) {
            titles.last().audio << m.captured(1) + " " + formats.value(m.captured(2), "?") + " " +
                                       m.captured(3) + "ch";
        } else if ((m = cell.match(line)).hasMatch()) {
            titles.last().cellSeconds << secondsOf(m.captured(1));
        } else if ((m = subtitle.match(line)).hasMatch()) {
            titles.last().subtitles << m.captured(1);
        }
    }
    return titles;
}

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

TEST(IfoinfoAgainstLsdvd, TitlesChaptersTimesAndStreamsAgree) {
    const DvdFixture& fixture = dvdFixture();
    ASSERT_FALSE(fixture.root.isEmpty()) << fixture.error.toStdString();
    const QList<LsdvdTitle> titles = lsdvd(fixture.root);
    ASSERT_EQ(titles.size(), 3);

    for (int set = 1; set <= 2; ++set) {
        SCOPED_TRACE(set);
        IfoInfo* h = ifoOpen(fixture.ifoPath(set).toUtf8().constData(), 0);
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
                EXPECT_EQ(r[13] * 3600 + r[14] * 60 + r[15], t.cellSeconds[j]) << chain << "/" << j;
            }
        }
        const LsdvdTitle& first = ofSet.first();
        EXPECT_EQ(QString::fromLatin1(ifoGetVideoDesc(h)),
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
