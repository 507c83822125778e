#include "core/sources/file_sources.h"

#include "core/shell/command_guards.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <optional>

namespace {

std::optional<qint64> decimalInteger(const QString& text) {
    if (text.isEmpty() || text.size() > 18) {
        return std::nullopt;
    }
    qsizetype i = text.at(0) == QLatin1Char('-') ? 1 : 0;
    if (i == text.size()) {
        return std::nullopt;
    }
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return std::nullopt;
        }
        value = value * 10 + (c.unicode() - '0');
    }
    return text.at(0) == QLatin1Char('-') ? -value : value;
}

// A stream rate for the record: the decimal integer written back, or the fallback when the
// text is no rate at all (not a number, or a negative difference).
QString rateOrFallback(const QString& text, const char* fallback) {
    const std::optional<qint64> value = decimalInteger(text);
    if (!value || *value < 0) {
        return QString::fromLatin1(fallback);
    }
    return QString::number(*value);
}

// total - other as decimal text; empty when either is not a decimal integer.
QString difference(const QString& total, const QString& other) {
    const std::optional<qint64> t = decimalInteger(total);
    const std::optional<qint64> o = decimalInteger(other);
    if (!t || !o) {
        return {};
    }
    return QString::number(*t - *o);
}

// Windows lists a folder by name compared in upper case.
bool windowsNameOrder(const QString& a, const QString& b) {
    const int c = QString::compare(a.toUpper(), b.toUpper(), Qt::CaseSensitive);
    return c != 0 ? c < 0 : a < b;
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

FileSources::FileSources(AppState& state, JobList& jobs, ProfileSelection& selection,
                         MediaProbe& probe, UserInterface& ui, QObject* parent)
    : QObject(parent), state_(state), jobs_(jobs), selection_(selection), probe_(probe), ui_(ui) {}

QString FileSources::captionOf(const QString& path) {
    // Everything before the last "." of the file name: "a.b.avi" gives "a.b".
    return QFileInfo(path).completeBaseName();
}

QStringList FileSources::folderEntries(const QString& folder) {
    QDir dir(folder);
    // Plain files only (hidden ones too); no folders, and no pipes or devices, which a probe
    // could wait on for ever.
    QStringList names = dir.entryList(QDir::Files | QDir::Hidden, QDir::Unsorted);
    std::sort(names.begin(), names.end(), windowsNameOrder);
    QStringList taken;
    for (const QString& name : names) {
        const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
        if (dot < 0 || !folderExtensions().contains(name.mid(dot).toLower())) {
            continue;
        }
        const QString path = dir.filePath(name);
        if (QFileInfo(path).isFile()) {
            taken << path;
        }
    }
    return taken;
}

bool FileSources::refusedWhileBusy() {
    return CommandGuards::refusedWhileConverting(state_, ui_) ||
           CommandGuards::refusedWhileProbing(state_, ui_);
}

void FileSources::selectFirstIfNone() {
    if (!jobs_.isEmpty() && !jobs_.hasSelection()) {
        jobs_.setSelected(0, true);
    }
}

std::optional<QString> FileSources::addFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return QStringLiteral("no such file");
    }
    if (info.isDir()) {
        return QStringLiteral("a folder, not a file");
    }
    const MediaProbe::Result probed = probe_.probe(path);
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
    if (!decimalInteger(v.totalKbps)) {
        QString reason = QStringLiteral("not a video the encoder can read (no overall bit rate)");
        // FFmpeg always ends a probe by asking for an output; any other last line is its
        // complaint about the file.
        if (!probed.lastLine.isEmpty() &&
            !probed.lastLine.startsWith(QLatin1String("At least one output file"))) {
            reason += QStringLiteral(": ") + probed.lastLine;
        }
        return reason;
    }

    if (v.videoKbps.isEmpty()) {
        v.videoKbps = v.audioKbps.isEmpty() ? v.totalKbps : difference(v.totalKbps, v.audioKbps);
    }
    if (v.audioKbps.isEmpty()) {
        v.audioKbps = difference(v.totalKbps, v.videoKbps);
    }
    if (v.audioKbps == QLatin1String("0")) {
        v.audioKbps = QStringLiteral("128");
    }
    if (v.size.isEmpty()) {
        v.size = QStringLiteral("320x240");
    }

    Toriginalinfo record;
    record.source = path;
    record.dimensions = v.size;
    record.videoKbps = rateOrFallback(v.videoKbps, "768");
    record.audioKbps = rateOrFallback(v.audioKbps, "128");
    record.duration = v.duration;

    const int row = jobs_.addRow(captionOf(path),
                                 {v.size, v.duration, QString(), QStringLiteral("Status")}, record);
    state_.currentJob = row;
    jobs_.setSubItem(row, JobList::OutputSizeColumn, selection_.estimateOutputSize(row));
    emit fileAdded(row);
    return std::nullopt;
}

void FileSources::addEach(const QStringList& paths, AddReport& report) {
    for (const QString& path : paths) {
        if (cancelled_) {
            break;
        }
        const std::optional<QString> reason = addFile(path);
        if (reason) {
            report.skipped.append({path, *reason});
            emit fileSkipped(path, *reason);
        } else {
            ++report.added;
        }
    }
}

FileSources::AddReport FileSources::addFiles(const QStringList& paths) {
    AddReport report;
    if (refusedWhileBusy()) {
        report.refused = true;
        return report;
    }
    cancelled_ = false;
    if (!paths.isEmpty()) {
        jobs_.setVisible(true);
    }
    addEach(paths, report);
    selectFirstIfNone();
    return report;
}

FileSources::AddReport FileSources::addFolder(const QString& folder) {
    AddReport report;
    if (refusedWhileBusy()) {
        report.refused = true;
        return report;
    }
    if (folder.isEmpty()) {
        return report;
    }
    cancelled_ = false;
    jobs_.setVisible(true);
    if (!QFileInfo(folder).isDir()) {
        report.skipped.append({folder, QStringLiteral("no such folder")});
        emit fileSkipped(folder, report.skipped.last().reason);
        return report;
    }
    addEach(folderEntries(folder), report);
    selectFirstIfNone();
    return report;
}

FileSources::AddReport FileSources::openFiles() {
    if (refusedWhileBusy()) {
        AddReport report;
        report.refused = true;
        return report;
    }
    const QStringList chosen = ui_.chooseFiles();
    if (chosen.isEmpty()) {
        selectFirstIfNone();
        return {};
    }
    return addFiles(chosen);
}

FileSources::AddReport FileSources::openFolder() {
    if (refusedWhileBusy()) {
        AddReport report;
        report.refused = true;
        return report;
    }
    return addFolder(ui_.chooseFolder(QStringLiteral("File Directory")));
}

void FileSources::remove() {
    if (CommandGuards::refusedWhilePlaying(state_, ui_) || refusedWhileBusy()) {
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
    if (CommandGuards::refusedWhilePlaying(state_, ui_) || refusedWhileBusy()) {
        return;
    }
    if (jobs_.isEmpty()) {
        return;
    }
    if (ui_.confirm(kClearQuestion)) {
        jobs_.clear();
    }
}

void FileSources::cancel() {
    cancelled_ = true;
    probe_.cancel();
}
