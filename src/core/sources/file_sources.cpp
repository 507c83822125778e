#include "core/sources/file_sources.h"

#include <dirent.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QThread>
#include <algorithm>
#include <utility>

#include "core/engine/output_file.h"
#include "core/engine/whole_number.h"
#include "core/sources/name_order.h"
#include "platform/file_system.h"

namespace {

// Rates beyond this are no believable rates but broken text.
constexpr qint64 kMaxKbps = 10'000'000;

// A stream rate for the record: the number written back, or the fallback when the text is no
// rate at all (not a number, or a negative difference).
QString rateOrFallback(const std::optional<qint64>& value, const char* fallback) {
    return value ? QString::number(*value) : QString::fromLatin1(fallback);
}

std::optional<qint64> kbps(const QString& text) {
    return wholeNumber(text, kMaxKbps);
}

// total - other; nullopt when either is not a rate or the difference is negative.
std::optional<qint64> difference(const std::optional<qint64>& total,
                                 const std::optional<qint64>& other) {
    if (!total || !other || *other > *total) {
        return std::nullopt;
    }
    return *total - *other;
}

}  // namespace

const QString FileSources::kClearQuestion =
    QStringLiteral("Are you sure to remove all the files from filelist?") + QLatin1Char('\r') +
    QStringLiteral("Not delete from your computer.");

const QStringList& FileSources::folderExtensions() {
    static const QStringList extensions{
        QStringLiteral(".avi"),  QStringLiteral(".mpg"), QStringLiteral(".vob"),
        QStringLiteral(".mpeg"), QStringLiteral(".3gp"), QStringLiteral(".mp4"),
        QStringLiteral(".flv"),  QStringLiteral(".rm"),  QStringLiteral(".m4v"),
        QStringLiteral(".rmvb"), QStringLiteral(".wmv"), QStringLiteral(".asf"),
        QStringLiteral(".qt"),   QStringLiteral(".asx")};
    return extensions;
}

FileSources::FileSources(JobList& jobs, const OutputEstimates& estimates, CommandGuards& guards,
                         UserInterface& ui, QString encoderPath, QString workFolder,
                         QObject* parent)
    : QObject(parent),
      jobs_(jobs),
      estimates_(estimates),
      guards_(guards),
      ui_(ui),
      encoderPath_(std::move(encoderPath)),
      workFolder_(std::move(workFolder)),
      batch_({[this](size_t i) { startProbe(i); }, [this](size_t i) { commit(i); },
              [this] { cancelProbes(); }, [this] { finishBatch(); }}) {
    batch_.setLimit(QThread::idealThreadCount());
    connect(&batch_, &AddBatch::busyChanged, this, &FileSources::busyChanged);
}

FileSources::~FileSources() = default;

void FileSources::setProbeLimit(int limit) {
    batch_.setLimit(limit);
}

QString FileSources::captionOf(const QString& path) {
    // Everything before the last "." of the file name: "a.b.avi" gives "a.b".
    return QFileInfo(path).completeBaseName();
}

QString FileSources::notAFileReason(const QString& path) {
    switch (platform::entryKind(path)) {
        case platform::EntryKind::File:
            return {};
        case platform::EntryKind::Missing:
            // A name that came in as bytes that are not UTF-8 has lost those bytes.
            return path.contains(QChar::ReplacementCharacter)
                       ? QStringLiteral("no such file, or ") + kUndecodableReason
                       : QStringLiteral("no such file");
        case platform::EntryKind::Folder:
            return QStringLiteral("a folder, not a file");
        case platform::EntryKind::Special:
            // A probe would wait on it for a writer that may never come.
            return QStringLiteral("not a plain file (a pipe, a device or a socket)");
        case platform::EntryKind::BrokenLink:
            return QStringLiteral("a link to a file that does not exist");
        case platform::EntryKind::LinkLoop:
            return QStringLiteral("a link that leads round in a circle");
    }
    return {};
}

FileSources::FolderScan FileSources::scanFolder(const QString& folder) {
    FolderScan scan;
    QDir dir(folder);
    QStringList names = dir.entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    std::sort(names.begin(), names.end(), windowsNameOrder);
    for (const QString& name : names) {
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        if (dot < 0 || !folderExtensions().contains(name.mid(dot).toLower()) ||
            OutputFile::isPartName(name)) {
            continue;
        }
        const QString path = dir.filePath(name);
        const QString why = notAFileReason(path);
        if (why.isEmpty()) {
            scan.files << path;
        } else if (!name.contains(QChar::ReplacementCharacter)) {
            scan.skipped.append({path, why});
        }  // else a name that is not UTF-8: said below with its bytes
    }
    const QList<Skipped> undecodable = undecodableEntries(folder);
    for (const Skipped& s : undecodable) {
        scan.skipped.append(s);
    }
    return scan;
}

const QString FileSources::kUndecodableReason =
    QStringLiteral("the file name is not valid UTF-8, which cannot be converted; rename the file");

QList<FileSources::Skipped> FileSources::undecodableEntries(const QString& folder) {
    QList<Skipped> found;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (dir == nullptr) {
        return found;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray raw(entry->d_name);
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString decoded = utf8(raw);
        const qsizetype dot = decoded.lastIndexOf(QLatin1Char('.'));
        if (!utf8.hasError() || dot < 0 ||
            !folderExtensions().contains(decoded.mid(dot).toLower())) {
            continue;
        }
        QString shown;
        for (const char c : raw) {
            const auto byte = static_cast<unsigned char>(c);
            shown += byte < 0x80 ? QString(QLatin1Char(c))
                                 : QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0'));
        }
        found.append({QDir(folder).filePath(shown), kUndecodableReason});
    }
    ::closedir(dir);
    std::sort(found.begin(), found.end(),
              [](const Skipped& a, const Skipped& b) { return windowsNameOrder(a.path, b.path); });
    return found;
}

bool FileSources::refusedWhileBusy() {
    return guards_.refusedWhileConverting() || guards_.refusedWhileAdding();
}

void FileSources::selectFirstIfNone() {
    if (!jobs_.isEmpty() && !jobs_.hasSelection()) {
        jobs_.setSelected(0, true);
    }
}

void FileSources::openFiles() {
    if (refusedWhileBusy()) {
        return;
    }
    const QStringList chosen = ui_.chooseFiles();
    if (chosen.isEmpty()) {
        selectFirstIfNone();
        return;
    }
    addFiles(chosen);
}

void FileSources::openFolder() {
    if (refusedWhileBusy()) {
        return;
    }
    const QString folder = ui_.chooseFolder(QStringLiteral("File Directory"));
    if (!folder.isEmpty()) {
        addFolder(folder);
    }
}

bool FileSources::addFiles(const QStringList& paths) {
    if (refusedWhileBusy()) {
        return false;
    }
    if (!paths.isEmpty()) {
        jobs_.setVisible(true);
    }
    startBatch(paths, {});
    return true;
}

bool FileSources::addFolder(const QString& folder) {
    if (refusedWhileBusy()) {
        return false;
    }
    jobs_.setVisible(true);
    if (!QFileInfo(folder).isDir()) {
        startBatch({}, {{folder, QStringLiteral("no such folder")}});
        return true;
    }
    const FolderScan scan = scanFolder(folder);
    startBatch(scan.files, scan.skipped);
    return true;
}

bool FileSources::addPaths(const QStringList& paths) {
    if (refusedWhileBusy()) {
        return false;
    }
    QStringList files;
    QList<Skipped> known;
    for (const QString& path : paths) {
        if (!QFileInfo(path).isDir()) {
            files << path;
            continue;
        }
        const FolderScan scan = scanFolder(path);
        if (scan.files.isEmpty() && scan.skipped.isEmpty()) {
            known.append({path, QStringLiteral("a folder without files Add Folder takes")});
        }
        known.append(scan.skipped);
        files << scan.files;
    }
    if (!paths.isEmpty()) {
        jobs_.setVisible(true);
    }
    startBatch(files, known);
    return true;
}

void FileSources::startBatch(const QStringList& paths, const QList<Skipped>& known) {
    report_ = AddReport();
    estimateProblem_.clear();
    pending_.clear();
    probing_.clear();
    std::vector<bool> ready;
    for (const Skipped& s : known) {
        pending_.push_back({s.path, std::nullopt, s.reason});
    }
    pending_.reserve(pending_.size() + static_cast<size_t>(paths.size()));
    for (const QString& path : paths) {
        Pending p;
        p.path = path;
        p.skipReason = notAFileReason(path);
        pending_.push_back(std::move(p));
    }
    for (const Pending& p : pending_) {
        ready.push_back(!p.skipReason.isEmpty());
    }
    batch_.start(std::move(ready));
}

void FileSources::startProbe(size_t index) {
    MediaProbe* probe = nullptr;
    for (MediaProbe* candidate : std::as_const(probes_)) {
        if (!candidate->isRunning()) {
            probe = candidate;
            break;
        }
    }
    if (probe == nullptr) {
        probe = new MediaProbe(encoderPath_, workFolder_, this);
        connect(probe, &MediaProbe::finished, this,
                [this, probe](const MediaProbe::Result& r) { probeFinished(probe, r); });
        probes_.append(probe);
    }
    probe->setTimeoutMs(probeTimeoutMs_);
    probing_.insert(probe, index);
    probe->start(pending_[index].path);
}

void FileSources::probeFinished(MediaProbe* probe, const MediaProbe::Result& result) {
    const auto it = probing_.constFind(probe);
    if (it == probing_.constEnd()) {
        return;
    }
    const size_t index = *it;
    probing_.erase(it);
    if (index < pending_.size()) {
        pending_[index].result = result;
    }
    if (!result.started && !result.cancelled && report_.encoderProblem.isEmpty()) {
        // Every other file would fail the same way: say it once and end the batch.
        report_.encoderProblem =
            QStringLiteral("The encoder cannot be started (%1): %2")
                .arg(QDir::toNativeSeparators(encoderPath_), result.errorText.isEmpty()
                                                                 ? QStringLiteral("unknown error")
                                                                 : result.errorText);
        batch_.stop();
    }
    batch_.examined(index);
}

void FileSources::cancelProbes() {
    for (MediaProbe* running : std::as_const(probes_)) {
        running->cancel();
    }
}

void FileSources::commit(size_t index) {
    const Pending& p = pending_[index];
    QString reason = p.skipReason;
    JobList::Row row;
    if (reason.isEmpty()) {
        QString estimateError;
        const std::optional<QString> why = rowOf(*p.result, row, &estimateError);
        if (!why && estimateProblem_.isEmpty()) {
            estimateProblem_ = estimateError;
        }
        if (why) {
            reason = *why;
        }
    }
    if (!reason.isEmpty()) {
        report_.skipped.append({p.path, reason});
        emit fileSkipped(p.path, reason);
        return;
    }
    const int added = jobs_.addRow(std::move(row));
    ++report_.added;
    emit rowAdded(added);
}

void FileSources::finishBatch() {
    // Everything of this batch is dropped before it is reported: a listener may start the next.
    pending_.clear();
    probing_.clear();
    AddReport report = std::exchange(report_, AddReport());
    report.cancelled = batch_.cancelled();
    const QString estimateProblem = std::exchange(estimateProblem_, QString());
    selectFirstIfNone();
    if (!estimateProblem.isEmpty()) {
        emit problem(estimateProblem);
    }
    emit batchFinished(report);
}

std::optional<QString> FileSources::rowOf(const MediaProbe::Result& probed, JobList::Row& row,
                                          QString* estimateError) const {
    if (probed.cancelled) {
        return QStringLiteral("adding was cancelled");
    }
    if (!probed.started) {
        return probed.errorText.isEmpty() ? QStringLiteral("the encoder could not be started")
                                          : probed.errorText;
    }
    if (probed.timedOut) {
        return QStringLiteral("the encoder gave no answer in time");
    }
    ProbeValues v = probed.values;
    const std::optional<qint64> total = kbps(v.totalKbps);
    if (!total) {
        QString reason = QStringLiteral("not a video the encoder can read (no overall bit rate)");
        // FFmpeg always ends a probe by asking for an output; any other last line is its
        // complaint about the file.
        if (!probed.lastLine.isEmpty() &&
            !probed.lastLine.startsWith(QLatin1String("At least one output file"))) {
            reason += QStringLiteral(": ") + probed.lastLine;
        }
        return reason;
    }

    // Fill what the probe did not find from the overall rate.
    std::optional<qint64> video = kbps(v.videoKbps);
    std::optional<qint64> audio = kbps(v.audioKbps);
    if (v.videoKbps.isEmpty()) {
        video = v.audioKbps.isEmpty() ? total : difference(total, audio);
    }
    if (v.audioKbps.isEmpty()) {
        audio = difference(total, video);
    }
    if (audio == 0) {
        audio = 128;
    }
    if (v.size.isEmpty()) {
        v.size = QStringLiteral("320x240");
    }

    Toriginalinfo& record = row.info;
    record.source = probed.path;
    record.dimensions = v.size;
    record.videoKbps = rateOrFallback(video, "768");
    record.audioKbps = rateOrFallback(audio, "128");
    record.duration = v.duration;

    row.caption = captionOf(probed.path);
    row.texts = {v.size, v.duration, estimates_.estimateFor(record, estimateError)};
    row.state = RowState();
    row.source = FileSource{probed.path, v.hasVideo, v.hasAudio};
    row.picture.displayAspect = PictureFacts::aspectOfRatioText(v.displayAspect);
    row.picture.frameRate = orvex::encoder::FrameRate::parse(v.frameRate.toStdString())
                                .value_or(orvex::encoder::FrameRate{});
    return std::nullopt;
}

void FileSources::remove() {
    if (guards_.refusedWhilePlaying() || refusedWhileBusy()) {
        return;
    }
    if (!jobs_.hasSelection()) {
        return;
    }
    const int last = jobs_.removeSelected();
    if (jobs_.isEmpty()) {
        return;
    }
    jobs_.setSelected(qBound(0, last, jobs_.rowCount() - 1), true);
}

void FileSources::clear() {
    if (guards_.refusedWhilePlaying() || refusedWhileBusy()) {
        return;
    }
    if (jobs_.isEmpty()) {
        return;
    }
    if (ui_.confirm(kClearQuestion)) {
        jobs_.clear();
    }
}
