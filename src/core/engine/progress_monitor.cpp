#include "core/engine/progress_monitor.h"

#include "core/engine/time_value.h"

#include <QByteArrayView>
#include <algorithm>
#include <optional>

namespace {

bool isNameChar(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
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
    qint64 hundredths = 0;
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
    const auto hundredths = hundredthsOfPosition(valueAfter(line, t + kTime.size()));
    if (!hundredths) {
        return std::nullopt;
    }
    ProgressRecord r;
    r.hundredths = *hundredths;
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
    furthest_ = -1;
}

namespace {

// The last progress record of whole lines of output.
std::optional<ProgressRecord> lastRecord(QByteArrayView whole) {
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
    return record;
}

}  // namespace

std::optional<qint64> ProgressMonitor::lastPosition(QByteArrayView lines) {
    const std::optional<ProgressRecord> record = lastRecord(lines);
    return record ? std::optional<qint64>(record->hundredths) : std::nullopt;
}

bool ProgressMonitor::parseOutput(LineBuffer& buffer) {
    // FFmpeg separates its records by CR only, so one chunk carries many of them: the last
    // complete record is the position reached now, and the only one worth showing.
    const std::optional<ProgressRecord> record = lastRecord(buffer.completeLines());
    bool advanced = false;
    if (record) {
        advanced = record->hundredths > furthest_;
        furthest_ = std::max(furthest_, record->hundredths);
        lastSpeed_ = record->speed == QByteArrayView("N/A")
                         ? QString()
                         : QString::fromLatin1(record->speed.data(), record->speed.size());
        const int scale = 10000 - progressBase_;
        if (timer2_.isActive()) {
            timer2_.stop();
        }
        // A duration of 0 (unknown) cannot scale a position: the bar stays at the credit
        // already shown instead of going negative. Whole seconds scale the bar (fractions are
        // cut off); a position far beyond any duration is cut down first, against overflow.
        const qint64 seconds = std::min<qint64>(record->hundredths / 100, kMaxPositionSeconds);
        const qint64 value = durationSeconds_ > 0 ? mulDiv(seconds, scale, durationSeconds_) : 0;
        showProgress(static_cast<int>(std::clamp<qint64>(value, 0, 1000000)));
    }
    buffer.consumeCompleteLines();
    return advanced;
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
