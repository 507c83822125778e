#include "core/sources/probe_parser.h"

#include <QStringList>

#include "core/engine/time_value.h"

namespace {

const QString kDuration = QStringLiteral("Duration:");
const QString kBitrate = QStringLiteral("bitrate:");
const QString kVideo = QStringLiteral("Video:");
const QString kAudio = QStringLiteral("Audio:");
const QString kStream = QStringLiteral("Stream #");
const QString kOutput = QStringLiteral("Output #");
const QString kKbps = QStringLiteral(" kb/s");

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}
bool isAlnum(QChar c) {
    return c.isLetterOrNumber();
}

}  // namespace

void ProbeParser::reset() {
    *this = ProbeParser();
}

void ProbeParser::parse(LineBuffer& buffer) {
    LineBuffer::forEachLine(buffer.completeLines(), [this](QByteArrayView line) {
        parseLine(QString::fromLatin1(line.data(), line.size()));
    });
    buffer.consumeCompleteLines();
}

void ProbeParser::finish(LineBuffer& buffer) {
    parse(buffer);
    if (!buffer.isEmpty()) {
        parseLine(QString::fromLatin1(buffer.text()));
        buffer.clear();
    }
}

void ProbeParser::parseLine(const QString& line) {
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(kOutput)) {
        outputSection_ = true;
    }
    if (outputSection_) {
        return;
    }
    if (trimmed.startsWith(kDuration)) {
        if (durationLineSeen_) {
            return;
        }
        durationLineSeen_ = true;
        // "Duration: 00:01:23.45, start: ..." -> "00:01:23"; "Duration: N/A, ..." -> "N/A".
        QString duration = trimmed.mid(kDuration.size() + 1, 8);
        const qsizetype comma = duration.indexOf(QLatin1Char(','));
        if (comma >= 0) {
            duration.truncate(comma);
        }
        values_.duration = duration.trimmed();
        const QString exact = trimmed.mid(kDuration.size()).section(QLatin1Char(','), 0, 0);
        values_.durationHundredths = hundredthsOfPosition(exact.trimmed().toLatin1()).value_or(-1);
        const qsizetype bitrate = trimmed.indexOf(kBitrate);
        if (bitrate >= 0) {
            values_.totalKbps = rateBeforeKbps(trimmed.mid(bitrate));
        }
        return;
    }
    if (!trimmed.startsWith(kStream)) {
        return;
    }
    const qsizetype video = trimmed.indexOf(kVideo);
    const qsizetype audio = trimmed.indexOf(kAudio);
    if (video >= 0 && (audio < 0 || video < audio)) {
        // A cover picture (an MP3's album art) is a still, not a video to convert; the first
        // moving picture counts, else the first picture for its size.
        const bool still = trimmed.contains(QLatin1String("(attached pic)"));
        if (!values_.hasVideo && (!still || !stillSeen_)) {
            const QString rest = trimmed.mid(video);
            values_.videoKbps = rateBeforeKbps(rest);
            values_.size = sizeToken(rest);
            values_.displayAspect = displayAspectOf(rest);
            values_.frameRate = valueBefore(rest, QLatin1String(" fps"));
            if (values_.frameRate.isEmpty()) {
                values_.frameRate = valueBefore(rest, QLatin1String(" tbr"));
            }
            values_.hasVideo = !still;
            stillSeen_ = stillSeen_ || still;
        }
    } else if (audio >= 0 && !values_.hasAudio) {
        values_.hasAudio = true;
        values_.audioKbps = rateBeforeKbps(trimmed.mid(audio));
    }
}

QString ProbeParser::rateBeforeKbps(const QString& line) {
    const qsizetype p = line.indexOf(kKbps);
    if (p < 0) {
        return {};
    }
    for (qsizetype i = 1; i <= 10 && p - i >= 0; ++i) {
        if (line.at(p - i) == QLatin1Char(' ')) {
            return line.mid(p - i + 1, i - 1);
        }
    }
    return line.mid(qMax<qsizetype>(0, p - 10), qMin<qsizetype>(p, 10));
}

QString ProbeParser::valueBefore(const QString& line, QLatin1String unit) {
    for (const QString& part : line.split(QLatin1Char(','))) {
        const QString t = part.trimmed();
        const QString value = t.left(t.size() - unit.size());
        if (t.endsWith(unit) && !value.isEmpty() && !value.contains(QLatin1Char(' '))) {
            return value;
        }
    }
    return {};
}

QString ProbeParser::displayAspectOf(const QString& line) {
    const qsizetype at = line.indexOf(QLatin1String("DAR "));
    if (at < 0) {
        return {};
    }
    qsizetype end = at + 4;
    while (end < line.size() && (line.at(end).isDigit() || line.at(end) == QLatin1Char(':'))) {
        ++end;
    }
    return line.mid(at + 4, end - at - 4);
}

QString ProbeParser::sizeToken(const QString& line) {
    const qsizetype start = line.indexOf(kVideo);
    if (start < 0) {
        return {};
    }
    const qsizetype n = line.size();
    for (qsizetype p = line.indexOf(QLatin1Char('x'), start); p >= 0;
         p = line.indexOf(QLatin1Char('x'), p + 1)) {
        qsizetype left = p;
        while (left > start && isDigit(line.at(left - 1))) {
            --left;
        }
        qsizetype right = p + 1;
        while (right < n && isDigit(line.at(right))) {
            ++right;
        }
        const bool hasWidth = left < p && line.at(left) != QLatin1Char('0');
        const bool hasHeight = right > p + 1 && line.at(p + 1) != QLatin1Char('0');
        const bool leftClear = left == 0 || !isAlnum(line.at(left - 1));
        const bool rightClear = right == n || !isAlnum(line.at(right));
        if (hasWidth && hasHeight && leftClear && rightClear) {
            return line.mid(left, right - left);
        }
    }
    return {};
}
