#include "core/shell/saved_job_list.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "core/engine/conversion_queue.h"
#include "core/engine/job_list.h"
#include "core/profiles/output_estimates.h"
#include "core/profiles/profile_selection.h"
#include "core/shell/user_interface.h"
#include "core/sources/dvd_titles.h"
#include "platform/program_paths.h"

namespace {

const QString kListSuffix = QStringLiteral(".jobs");
const QString kLockSuffix = QStringLiteral(".lock");

QString lockOf(const QString& listPath) {
    return listPath.chopped(kListSuffix.size()) + kLockSuffix;
}

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

}  // namespace

SavedJobList::LeftBehind::~LeftBehind() {
    if (claim) {
        QFile::remove(path);
        QFile::remove(lockOf(path));
    }
}

SavedJobList::SavedJobList(QString programFileName, JobList& jobs, ProfileSelection& selection,
                           OutputEstimates& estimates, ConversionQueue& queue, DvdTitles& dvdTitles,
                           QObject* parent)
    : QObject(parent),
      program_(std::move(programFileName)),
      jobs_(jobs),
      selection_(selection),
      estimates_(estimates),
      queue_(queue),
      dvdTitles_(dvdTitles) {
    debounce_.setSingleShot(true);
    debounce_.setInterval(kDebounceMs);
    connect(&debounce_, &QTimer::timeout, this, &SavedJobList::saveNow);
}

SavedJobList::~SavedJobList() {
    removeOwn();
}

QString SavedJobList::folder() const {
    return platform::stateFolder() + QStringLiteral("jobs/") +
           (program_.isEmpty() ? QStringLiteral("orvex") : program_) + QLatin1Char('/');
}

bool SavedJobList::keep() {
    if (lock_) {
        return true;
    }
    const QString dir = folder();
    const QString base =
        dir + QStringLiteral("%1-%2")
                  .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")))
                  .arg(QCoreApplication::applicationPid());
    QFile lock(base + kLockSuffix);
    if (!QDir().mkpath(dir) || !lock.open(QIODevice::WriteOnly | QIODevice::NewOnly) ||
        !(lock_ = platform::claimFile(lock.fileName()))) {
        emit problem(QStringLiteral("The job list cannot be kept in %1 (%2); if Orvex stops "
                                    "unexpectedly, the list is lost.")
                         .arg(shown(dir), lock.errorString()));
        problemSaid_ = true;
        return false;
    }
    lockPath_ = lock.fileName();
    path_ = base + kListSuffix;
    connect(&jobs_, &JobList::rowsInserted, this, &SavedJobList::schedule);
    connect(&jobs_, &JobList::listReset, this, &SavedJobList::schedule);
    connect(&jobs_, &JobList::rowChanged, this, &SavedJobList::schedule);
    connect(&selection_, &ProfileSelection::profileSelected, this, &SavedJobList::schedule);
    connect(&selection_, &ProfileSelection::choicesChanged, this, &SavedJobList::schedule);
    connect(&queue_, &ConversionQueue::outputTextChanged, this, &SavedJobList::schedule);
    // A finished row must be on the disk before the next job starts, or a kill right after
    // would convert it again.
    connect(&queue_, &ConversionQueue::jobEnded, this, &SavedJobList::saveNow);
    connect(&queue_, &ConversionQueue::convertingChanged, this, &SavedJobList::saveNow);
    saveNow();
    return true;
}

void SavedJobList::schedule() {
    if (!debounce_.isActive()) {
        debounce_.start();
    }
}

SavedJobs SavedJobList::snapshot() const {
    SavedJobs saved;
    saved.program = program_;
    saved.profile = selection_.activeProfile();
    saved.choices = {selection_.sizeList().itemIndex(), selection_.videoList().itemIndex(),
                     selection_.audioList().itemIndex(), selection_.channelList().itemIndex()};
    saved.outputText = queue_.outputText();
    saved.rows.reserve(static_cast<size_t>(jobs_.rowCount()));
    for (int i = 0; i < jobs_.rowCount(); ++i) {
        saved.rows.push_back({jobs_.row(i), jobs_.state(i).kind == RowState::Finished});
    }
    return saved;
}

void SavedJobList::saveNow() {
    debounce_.stop();
    if (!lock_) {
        return;
    }
    // A list with nothing left to convert has nothing to restore.
    const SavedJobs saved = snapshot();
    const QByteArray text = saved.unfinished() > 0 ? saved.toJson() : QByteArray();
    if (text == written_) {
        return;
    }
    if (text.isEmpty()) {
        QFile::remove(path_);
        written_.clear();
        return;
    }
    QSaveFile out(path_);
    QString error;
    // QSaveFile syncs the new file before its rename; the folder's sync makes the rename last.
    const bool saved_ = out.open(QIODevice::WriteOnly) && out.write(text) == text.size() &&
                        out.commit() && platform::syncFolder(folder(), &error);
    if (!saved_) {
        if (!problemSaid_) {
            problemSaid_ = true;
            emit problem(QStringLiteral("The job list cannot be saved to %1 (%2); if Orvex stops "
                                        "unexpectedly, the list is lost.")
                             .arg(shown(path_), error.isEmpty() ? out.errorString() : error));
        }
        return;
    }
    written_ = text;
}

void SavedJobList::removeOwn() {
    if (!lock_) {
        return;
    }
    QFile::remove(path_);
    QFile::remove(lockPath_);
    lock_.reset();
}

std::optional<SavedJobList::LeftBehind> SavedJobList::takeLeftBehind() {
    const QFileInfoList lists = QDir(folder()).entryInfoList(
        {QLatin1Char('*') + kListSuffix}, QDir::Files | QDir::Hidden, QDir::Time);
    for (const QFileInfo& info : lists) {
        LeftBehind left;
        left.path = info.absoluteFilePath();
        if (left.path == path_) {
            continue;
        }
        // The owner holds the lock while it lives; without a lock, the list itself is claimed
        // so that two starts never both take it.
        const QString lock = lockOf(left.path);
        left.claim = platform::claimFile(QFile::exists(lock) ? lock : left.path);
        if (!left.claim) {
            continue;
        }
        QFile file(left.path);
        QString error;
        std::optional<SavedJobs> saved;
        if (file.open(QIODevice::ReadOnly)) {
            saved = SavedJobs::fromJson(file.readAll(), &error);
        } else {
            error = file.errorString();
        }
        if (!saved) {
            const QString aside = left.path + QStringLiteral(".damaged");
            QFile::remove(aside);
            QFile::rename(left.path, aside);
            emit problem(QStringLiteral("The job list %1 that Orvex left when it stopped cannot be "
                                        "read (%2); it was set aside as %3.")
                             .arg(shown(left.path), error, shown(aside)));
            continue;
        }
        if (saved->unfinished() == 0) {
            continue;  // removed as it goes out of scope
        }
        left.jobs = std::move(*saved);
        return left;
    }
    return std::nullopt;
}

int SavedJobList::restore(const SavedJobs& saved) {
    if (saved.profile != selection_.activeProfile()) {
        selection_.selectProfile(saved.profile);
    }
    ChoiceList* lists[] = {&selection_.sizeList(), &selection_.videoList(), &selection_.audioList(),
                           &selection_.channelList()};
    for (size_t i = 0; i < saved.choices.size(); ++i) {
        const int index = saved.choices[i];
        if (lists[i]->isEnabled() && index >= 0 && index < lists[i]->count() &&
            index != lists[i]->itemIndex()) {
            lists[i]->userSelect(index);
        }
    }
    if (!saved.outputText.isEmpty()) {
        queue_.setOutputText(saved.outputText);
    }
    std::vector<JobList::Row> dvdRows;
    for (const SavedJobs::Row& r : saved.rows) {
        if (!r.finished && std::holds_alternative<TConvertInfo>(r.row.source)) {
            dvdRows.push_back(r.row);
        }
    }
    int count = dvdRows.empty() ? 0 : dvdTitles_.restoreRows(dvdRows);
    std::vector<JobList::Row> rows;
    for (const SavedJobs::Row& r : saved.rows) {
        const auto* file = std::get_if<FileSource>(&r.row.source);
        if (r.finished || file == nullptr) {
            continue;
        }
        if (platform::entryKind(file->path) != platform::EntryKind::File) {
            emit problem(QStringLiteral("%1 was not restored: it is no longer there.")
                             .arg(shown(file->path)));
            continue;
        }
        JobList::Row row = r.row;
        row.selected = false;
        row.state = RowState();
        row.texts = {row.info.dimensions, row.info.duration, estimates_.estimateFor(row.info)};
        rows.push_back(std::move(row));
    }
    if (!rows.empty()) {
        count += static_cast<int>(rows.size());
        jobs_.addRows(std::move(rows));
        jobs_.setVisible(true);
    }
    // On the disk as this program's own before the list it came from goes.
    saveNow();
    return count;
}

int SavedJobList::offerLeftBehind(UserInterface& ui) {
    std::optional<LeftBehind> left = takeLeftBehind();
    if (!left) {
        return 0;
    }
    const int count = left->jobs.unfinished();
    const QString question =
        count == 1 ? QStringLiteral("Restore the file that was not converted when Orvex stopped?")
                   : QStringLiteral(
                         "Restore the %1 files that were not converted when Orvex "
                         "stopped?")
                         .arg(count);
    return ui.confirm(question) ? restore(left->jobs) : 0;
}
