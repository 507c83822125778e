// DvdTitles: putting back the rows that a killed run left unconverted.
#include <QDir>
#include <QFileInfo>

#include "core/sources/dvd_titles.h"  // IWYU pragma: associated
#include "platform/file_system.h"

namespace {

bool isChapterRow(const JobList::Row& row) {
    return row.caption.startsWith(QLatin1Char(' '));
}

// The same title or chapter of the same title set: its place on the disc and in the title.
bool sameRow(const JobList::Row& a, const JobList::Row& b) {
    const auto* x = std::get_if<TConvertInfo>(&a.source);
    const auto* y = std::get_if<TConvertInfo>(&b.source);
    return x != nullptr && y != nullptr && isChapterRow(a) == isChapterRow(b) &&
           x->ifoPath == y->ifoPath && x->startSector == y->startSector &&
           x->endSector == y->endSector && x->chapterStart == y->chapterStart &&
           x->chapterEnd == y->chapterEnd;
}

// The IFO file itself, or the disc image whose title set it names ("disc.iso/VIDEO_TS/
// VTS_01_0.IFO"); empty when neither is there.
QString fileHolding(const QString& ifoPath) {
    for (QString path = ifoPath; !path.isEmpty();) {
        const platform::EntryKind kind = platform::entryKind(path);
        if (kind == platform::EntryKind::File) {
            return path;
        }
        const QString parent = QFileInfo(path).path();
        if (kind != platform::EntryKind::Missing || parent == path) {
            break;
        }
        path = parent;
    }
    return {};
}

}  // namespace

int DvdTitles::restoreRows(const std::vector<JobList::Row>& saved) {
    QStringList paths;
    bool chapters = false;
    for (const JobList::Row& row : saved) {
        if (const auto* info = std::get_if<TConvertInfo>(&row.source)) {
            if (!paths.contains(info->ifoPath)) {
                paths << info->ifoPath;
            }
            chapters = chapters || isChapterRow(row);
        }
    }
    if (paths.isEmpty()) {
        return 0;
    }
    beginLoad();
    titleView_ = !chapters;
    QStringList present;
    for (const QString& path : std::as_const(paths)) {
        const QString file = fileHolding(path);
        if (file.isEmpty()) {
            emit problem(QStringLiteral("%1 was not restored: it is no longer there.")
                             .arg(QDir::toNativeSeparators(path)));
        } else if (!present.contains(file)) {
            present << file;
        }
    }
    QStringList read;
    for (const TitleSetRead& set : readTitleSets(present)) {
        addTitleSet(set);
        if (set.data) {
            read << set.ifoPath;
        }
    }
    std::vector<bool> matched(saved.size());
    std::vector<bool> taken(size_t(jobs_.rowCount()));
    for (int row = 0; row < jobs_.rowCount(); ++row) {
        for (size_t s = 0; s < saved.size() && !taken[size_t(row)]; ++s) {
            if (!matched[s] && sameRow(jobs_.row(row), saved[s])) {
                matched[s] = taken[size_t(row)] = true;
                takeChoices(row, saved[s]);
            }
        }
    }
    QList<int> unmatched;  // finished, or removed before the run
    for (int row = 0; row < jobs_.rowCount(); ++row) {
        if (!taken[size_t(row)]) {
            unmatched << row;
        }
    }
    for (const QString& path : std::as_const(read)) {
        qsizetype lost = 0;
        for (size_t s = 0; s < saved.size(); ++s) {
            const auto* info = std::get_if<TConvertInfo>(&saved[s].source);
            lost += !matched[s] && info != nullptr && info->ifoPath == path ? 1 : 0;
        }
        if (lost > 0) {
            emit problem(QStringLiteral("%1: %2 of its rows were not restored: the title set "
                                        "has changed.")
                             .arg(QDir::toNativeSeparators(path))
                             .arg(lost));
        }
    }
    jobs_.setSelection(unmatched);
    dropSelectedRows();
    if (jobs_.isEmpty()) {
        resetStreamBoxes();
        return 0;
    }
    keepChecks();
    jobs_.setSelection({0});
    lvClick();
    emit loaded();
    return jobs_.rowCount();
}

void DvdTitles::takeChoices(int row, const JobList::Row& saved) {
    // Its name as the killed run had it, so its output is named as that run would have: the
    // numbering shifts when a title set before it is gone.
    jobs_.setCaption(row, saved.caption);
    jobs_.setChecked(row, saved.checked);
    const TIFOSelint* set = titleSetOfRow(row);
    if (set == nullptr) {
        return;
    }
    // The stream numbers come from the disc, not from the saved text.
    if (saved.audioChoice >= 0 && saved.audioChoice < set->audioNames.size()) {
        jobs_.setAudioChoice(row, saved.audioChoice,
                             streamNumberOf(set->audioNames.at(saved.audioChoice)));
    }
    if (saved.subtitleChoice > 0 && saved.subtitleChoice <= set->subtitleNames.size()) {
        jobs_.setSubtitleChoice(row, saved.subtitleChoice,
                                streamNumberOf(set->subtitleNames.at(saved.subtitleChoice - 1)));
    }
}
