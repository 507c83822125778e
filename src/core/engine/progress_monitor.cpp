#include "core/engine/progress_monitor.h"

#include "core/engine/whole_number.h"
#include "numbers/number_reader.h"

#include <QByteArrayView>
#include <algorithm>
#include <optional>

namespace {

// Beyond this a position is not a time but a broken text.
constexpr qint64 kMaxSeconds = 999'999'999'999;

bool isNameChar(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

std::optional<qint64> digitsValue(QByteArrayView digits) {
    return wholeNumber(digits, kMaxSeconds);
}

// Whole seconds of a position the encoder wrote: "12.34" (seconds) or "00:01:23.45" (FFmpeg 5,
// hh:mm:ss with hundredths). Fractions are cut off. "N/A", negatives and anything else: nullopt.
std::optional<qint64> positionSeconds(QByteArrayView token) {
    auto wholeAndFraction = [](QByteArrayView t) -> std::optional<qint64> {
        const qsizetype dot = t.indexOf('.');
        if (dot >= 0) {
            const QByteArrayView fraction = t.sliced(dot + 1);
            if (!fraction.isEmpty() && !digitsValue(fraction)) {
                return std::nullopt;
            }
            t = t.first(dot);
        }
        return digitsValue(t);
    };
    if (token.indexOf(':') < 0) {
        return wholeAndFraction(token);
    }
    const auto time =
        orvex::numbers::clockTime(std::string_view(token.data(), size_t(token.size())));
    if (!time) {
        return std::nullopt;
    }
    // Hundredths, or nothing, may follow.
    const QByteArrayView rest = token.sliced(qsizetype(time->length));
    if (!rest.isEmpty() && (rest[0] != '.' || (rest.size() > 1 && !digitsValue(rest.sliced(1))))) {
        return std::nullopt;
    }
    return time->seconds;
}

// The token after "key=" (blanks after "=" skipped), up to the next blank.
QByteArrayView valueAfter(QByteArrayView line, qsizetype keyEnd) {
    qsizetype b = keyEnd;
    while (b < line.size() && line[b] == ' ') {
        ++b;
    }
    qsizetype e = b;
    while (e < line.size() && line[e] != ' ' && line[e] != '\t') {
        ++e;
    }
    return line.sliced(b, e - b);
}

// Finds "key" in line at a word start (so "time=" does not match "out_time=").
qsizetype findKey(QByteArrayView line, QByteArrayView key, qsizetype from = 0) {
    for (qsizetype at = line.indexOf(key, from); at >= 0; at = line.indexOf(key, at + 1)) {
        if (at == 0 || !isNameChar(line[at - 1])) {
            return at;
        }
    }
    return -1;
}

// MulDiv: a * b / c with a 64-bit product, rounded half away from zero; -1 for c = 0.
qint64 mulDiv(qint64 a, qint64 b, qint64 c) {
    if (c == 0) {
        return -1;
    }
    const qint64 p = a * b;
    const bool negative = (p < 0) != (c < 0);
    const qint64 ap = p < 0 ? -p : p;
    const qint64 ac = c < 0 ? -c : c;
    const qint64 q = (ap + ac / 2) / ac;
    return negative ? -q : q;
}

struct ProgressRecord {
    qint64 seconds = 0;
    QByteArrayView speed;
};

// A progress record: "time=" with its position, and "bitrate=" after it on the same line.
std::optional<ProgressRecord> progressRecord(QByteArrayView line) {
    static constexpr QByteArrayView kTime("time=");
    static constexpr QByteArrayView kBitrate("bitrate=");
    static constexpr QByteArrayView kSpeed("speed=");
    const qsizetype t = findKey(line, kTime);
    if (t < 0 || findKey(line, kBitrate, t + kTime.size()) < 0) {
        return std::nullopt;
    }
    const auto seconds = positionSeconds(valueAfter(line, t + kTime.size()));
    if (!seconds) {
        return std::nullopt;
    }
    ProgressRecord r;
    r.seconds = *seconds;
    const qsizetype s = findKey(line, kSpeed);
    if (s >= 0) {
        r.speed = valueAfter(line, s + kSpeed.size());
    }
    return r;
}

}  // namespace

ProgressMonitor::ProgressMonitor(JobList& jobs, QObject* parent) : QObject(parent), jobs_(jobs) {
    timer2_.setInterval(100);
    timer2_.setSingleShot(false);
    connect(&timer2_, &QTimer::timeout, this, &ProgressMonitor::timer2Tick);
}

void ProgressMonitor::startRun() {
    progressBase_ = 0;
    row_ = -1;
}

void ProgressMonitor::startJob(int row, qint32 durationSeconds) {
    row_ = row;
    durationSeconds_ = durationSeconds;
}

void ProgressMonitor::parseOutput(LineBuffer& buffer) {
    // FFmpeg separates its records by CR only, so one chunk carries many of them: the last
    // complete record is the position reached now, and the only one worth showing.
    const QByteArrayView whole = buffer.completeLines();
    static constexpr QByteArrayView kTime("time=");
    std::optional<ProgressRecord> record;
    for (qsizetype at = whole.lastIndexOf(kTime); at >= 0 && !record;) {
        qsizetype lineStart = at;
        while (lineStart > 0 && !LineBuffer::isBreak(whole[lineStart - 1])) {
            --lineStart;
        }
        qsizetype lineEnd = at;
        while (lineEnd < whole.size() && !LineBuffer::isBreak(whole[lineEnd])) {
            ++lineEnd;
        }
        record = progressRecord(whole.sliced(lineStart, lineEnd - lineStart));
        at = lineStart > 0 ? whole.lastIndexOf(kTime, lineStart - 1) : -1;
    }

    if (record) {
        lastSpeed_ = record->speed == QByteArrayView("N/A")
                         ? QString()
                         : QString::fromLatin1(record->speed.data(), record->speed.size());
        const int scale = 10000 - progressBase_;
        if (timer2_.isActive()) {
            timer2_.stop();
        }
        // A duration of 0 (unknown) cannot scale a position: the bar stays at the credit
        // already shown instead of going negative.
        const qint64 value =
            durationSeconds_ > 0 ? mulDiv(record->seconds, scale, durationSeconds_) : 0;
        showProgress(static_cast<int>(std::clamp<qint64>(value, 0, 1000000)));
    }
    buffer.consumeCompleteLines();
}

void ProgressMonitor::showProgress(int value) {
    if (!timer2_.isActive()) {
        value += progressBase_;
    }
    lastValue_ = value;
    if (jobs_.isRow(row_)) {
        jobs_.setProgress(row_, value);
    }
    emit progressShown(value);
}

void ProgressMonitor::timer2Tick() {
    progressBase_ += 1;
    showProgress(progressBase_);
}
