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

void ProgressMonitor::startRun(qint64 totalSeconds, bool wholeRun) {
    progressBase_ = 0;
    row_ = -1;
    running_.clear();
    wholeRun_ = wholeRun;
    runSeconds_ = totalSeconds;
    doneSeconds_ = 0;
}

void ProgressMonitor::startJob(int row, qint32 durationSeconds, bool creep) {
    row_ = row;
    Job job;
    job.durationSeconds = durationSeconds;
    job.creeping = creep;
    // One job at a time: the credit grows across the jobs of the run. Jobs side by side each
    // creep on their own.
    job.credit = wholeRun_ ? 0 : progressBase_;
    job.value = job.credit;
    running_[row] = job;
    if (creep && !timer2_.isActive()) {
        timer2_.start();
    }
}

void ProgressMonitor::endJob(int row) {
    const auto it = running_.find(row);
    if (it == running_.end()) {
        return;
    }
    if (!wholeRun_) {
        showProgress(row, 0);
    } else {
        doneSeconds_ += weight(it->second);
    }
    running_.erase(it);
    stopTimer2UnlessCreeping();
    if (wholeRun_) {
        showBar(0);
    }
}

void ProgressMonitor::stopTimer2UnlessCreeping() {
    if (std::none_of(running_.begin(), running_.end(),
                     [](const auto& r) { return r.second.creeping; })) {
        timer2_.stop();
    }
}

qint32 ProgressMonitor::durationSeconds() const {
    const auto it = running_.find(row_);
    return it == running_.end() ? 0 : it->second.durationSeconds;
}

int ProgressMonitor::value(int row) const {
    const auto it = running_.find(row);
    return it == running_.end() ? 0 : it->second.value;
}

QString ProgressMonitor::speed(int row) const {
    const auto it = running_.find(row);
    return it == running_.end() ? QString() : it->second.speed;
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

bool ProgressMonitor::parseOutput(int row, LineBuffer& buffer) {
    // FFmpeg separates its records by CR only, so one chunk carries many of them: the last
    // complete record is the position reached now, and the only one worth showing.
    const std::optional<ProgressRecord> record = lastRecord(buffer.completeLines());
    bool advanced = false;
    const auto it = running_.find(row);
    if (record && it != running_.end()) {
        Job& job = it->second;
        advanced = record->hundredths > job.furthest;
        job.furthest = std::max(job.furthest, record->hundredths);
        job.speed = record->speed == QByteArrayView("N/A")
                        ? QString()
                        : QString::fromLatin1(record->speed.data(), record->speed.size());
        lastSpeed_ = job.speed;
        if (job.creeping) {
            job.creeping = false;
            stopTimer2UnlessCreeping();
        }
        const int scale = 10000 - job.credit;
        // A duration of 0 (unknown) cannot scale a position: the bar stays at the credit
        // already shown instead of going negative. Whole seconds scale the bar (fractions are
        // cut off); a position far beyond any duration is cut down first, against overflow.
        const qint64 seconds = std::min<qint64>(record->hundredths / 100, kMaxPositionSeconds);
        const qint64 value =
            job.durationSeconds > 0 ? mulDiv(seconds, scale, job.durationSeconds) : 0;
        showProgress(row, static_cast<int>(std::clamp<qint64>(value, 0, 1000000)));
    }
    buffer.consumeCompleteLines();
    return advanced;
}

void ProgressMonitor::showProgress(int row, int value) {
    const auto it = running_.find(row);
    if (it == running_.end()) {
        // No job of this run: only the bar moves.
        showBar(value + progressBase_);
        return;
    }
    Job& job = it->second;
    if (!job.creeping) {
        value += job.credit;
    }
    job.value = value;
    if (jobs_.isRow(row)) {
        jobs_.setProgress(row, value);
    }
    emit jobProgress(row, value, job.speed);
    showBar(value);
}

int ProgressMonitor::runValue() const {
    if (runSeconds_ <= 0) {
        return 0;
    }
    double done = static_cast<double>(doneSeconds_);
    for (const auto& [row, job] : running_) {
        done += std::clamp(job.value, 0, 10000) / 10000.0 * weight(job);
    }
    return static_cast<int>(std::min<double>(10000.0, done * 10000.0 / runSeconds_));
}

void ProgressMonitor::showBar(int jobValue) {
    lastValue_ = wholeRun_ ? runValue() : jobValue;
    emit progressShown(lastValue_);
}

void ProgressMonitor::timer2Tick() {
    progressBase_ += 1;
    for (auto& [row, job] : running_) {
        if (job.creeping) {
            job.credit += 1;
            showProgress(row, job.credit);
        }
    }
}
