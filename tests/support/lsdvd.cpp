#include "lsdvd.h"

#include <QMap>
#include <QRegularExpression>

#include "test_media.h"

namespace orvex::test {

static int secondsOf(const QString& hhmmss) {
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
        R"(Audio: \d+, Language: (\S+) - ([^,]+), Format: (\w+), .*Channels: (\d+))");
    const QRegularExpression chapter(R"(Chapter: \d+, Length: (\d\d:\d\d:\d\d\.\d+))");
    const QRegularExpression cell(R"(Cell: \d+, Length: (\d\d:\d\d:\d\d\.\d+))");
    const QRegularExpression subtitle(R"(Subtitle: \d+, Language: \S+ - ([^,]+),)");
    const QRegularExpression palette(R"(Palette: ((?:[0-9a-f]{6} ?)+))");
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
            titles.last().audio << m.captured(2) + " " + formats.value(m.captured(3), "?") + " " +
                                       m.captured(4) + "ch";
            titles.last().audioLanguages << m.captured(1);
        } else if ((m = chapter.match(line)).hasMatch()) {
            titles.last().chapterSeconds << secondsOf(m.captured(1));
        } else if ((m = cell.match(line)).hasMatch()) {
            titles.last().cellSeconds << secondsOf(m.captured(1));
        } else if ((m = palette.match(line)).hasMatch()) {
            titles.last().palette = m.captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        } else if ((m = subtitle.match(line)).hasMatch()) {
            titles.last().subtitles << m.captured(1);
        }
    }
    return titles;
}

}  // namespace orvex::test
