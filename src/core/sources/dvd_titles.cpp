#include "core/sources/dvd_titles.h"

#include <QDir>
#include <algorithm>

#include "core/engine/time_value.h"
#include "core/sources/file_sources.h"

const QString DvdTitles::kInvalidIfoText =
    QStringLiteral("The selected IFO File is invalid, please choose another one.");
const QString DvdTitles::kNoAudioText = QStringLiteral("No Audio");
const QString DvdTitles::kNoSubtitleText = QStringLiteral("No Subtitle");

DvdTitles::DvdTitles(JobList& jobs, const OutputEstimates& estimates, CommandGuards& guards,
                     UserInterface& ui, TitleSetReader& reader, bool dvdEdition, QObject* parent)
    : QObject(parent),
      jobs_(jobs),
      estimates_(estimates),
      guards_(guards),
      ui_(ui),
      reader_(reader),
      dvdEdition_(dvdEdition),
      cb_audio_({kNoAudioText}, 0),
      cb_subtitle_({kNoSubtitleText}, 0) {
    connect(&cb_audio_, &ChoiceList::userChanged, this, &DvdTitles::audioChanged);
    connect(&cb_subtitle_, &ChoiceList::userChanged, this, &DvdTitles::subtitleChanged);
}

QString DvdTitles::streamNumberOf(const QString& description) {
    const qsizetype close = description.indexOf(QLatin1Char(')'));
    if (close < 0) {
        return QStringLiteral("0");
    }
    const qsizetype from = std::max<qsizetype>(0, close - 4);
    return description.mid(from, close - from);
}

QString DvdTitles::pictureSizeOf(const QString& videoDescription) {
    const qsizetype first = videoDescription.indexOf(QLatin1Char(' '));
    const qsizetype second = first < 0 ? -1 : videoDescription.indexOf(QLatin1Char(' '), first + 1);
    return second < 0 ? QString() : videoDescription.mid(first + 1, second - first - 1);
}

PictureFacts DvdTitles::pictureOf(const QString& videoDescription) {
    PictureFacts facts;
    for (const QString& word : videoDescription.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (word == QLatin1String("PAL")) {
            facts.frameRate = {25, 1};
        } else if (word == QLatin1String("NTSC")) {
            facts.frameRate = {30000, 1001};
        } else if (word.contains(QLatin1Char(':'))) {
            facts.displayAspect = PictureFacts::aspectOfRatioText(word);
        }
    }
    return facts;
}

QString DvdTitles::twoDigits(int n) {
    return n <= 9 ? QStringLiteral("0") + QString::number(n) : QString::number(n);
}

int DvdTitles::unreadableTitleSets() const {
    return int(std::count_if(titleSets_.begin(), titleSets_.begin() + titleSetCount_,
                             [](const TIFOSelint& set) { return !set.data; }));
}

int DvdTitles::audioChoice(int row) const {
    return jobs_.isRow(row) ? jobs_.row(row).audioChoice : 0;
}

int DvdTitles::subtitleChoice(int row) const {
    return jobs_.isRow(row) ? jobs_.row(row).subtitleChoice : 0;
}

const TIFOSelint* DvdTitles::titleSetOfRow(int row) const {
    for (int i = 0; i < titleSetCount_; ++i) {
        const TIFOSelint& set = titleSets_[size_t(i)];
        if (set.firstRow <= row && row < set.endRow) {
            return &set;
        }
    }
    return nullptr;
}

std::optional<std::vector<quint8>>& DvdTitles::currentChecks() {
    return titleView_ ? titleChecks_ : chapterChecks_;
}

bool DvdTitles::refused() {
    return guards_.refusedWhileConverting() || guards_.refusedWhilePlaying() ||
           guards_.refusedWhileAdding();
}

void DvdTitles::appendRow(const QString& caption, const TConvertInfo& info, const QString& size,
                          qint32 seconds) {
    JobList::Row row;
    row.caption = caption;
    row.picture = picture_;
    row.info.dimensions = size;
    row.info.duration = timeValueOfSeconds(seconds);
    row.texts = {size, row.info.duration, estimates_.estimateFor(row.info)};
    row.state.kind = RowState::Ready;
    row.source = info;
    jobs_.addRow(std::move(row));
}

QList<TitleSetRead> DvdTitles::readTitleSets(const QStringList& paths) {
    return reader_.readAll(paths);
}

void DvdTitles::addTitleSet(const TitleSetRead& read) {
    ++titleSetCount_;
    titleSets_.resize(size_t(titleSetCount_));
    TIFOSelint& set = titleSets_.back();
    set = TIFOSelint{};
    set.ifoPath = read.ifoPath;
    if (!read.data) {
        reportUnreadable(read);
        return;
    }
    set.data = std::make_shared<const TitleSetData>(*read.data);
    set.audioNames = read.data->audioNames;
    set.audioCount = qint32(set.audioNames.size());
    set.subtitleNames = read.data->subtitleNames;
    set.subtitleCount = qint32(set.subtitleNames.size());
    appendRows(set);
}

void DvdTitles::reportUnreadable(const TitleSetRead& read) {
    emit problem(QStringLiteral("%1 cannot be read: %2")
                     .arg(QDir::toNativeSeparators(read.ifoPath), read.problem));
}

void DvdTitles::appendRows(TIFOSelint& set) {
    set.firstRow = jobs_.rowCount();
    TConvertInfo base;
    base.audioStream =
        set.audioNames.isEmpty() ? QStringLiteral("0") : streamNumberOf(set.audioNames.first());
    base.ifoPath = set.ifoPath;
    const QString size = pictureSizeOf(set.data->videoDescription);
    picture_ = pictureOf(set.data->videoDescription);
    for (const TitleSetData::Chain& chain : set.data->chains) {
        // A chain without cells has no sectors to read, whatever its playing time.
        if (chain.seconds == 0 || chain.cells.empty()) {
            continue;
        }
        TConvertInfo title = base;
        title.startSector = chain.cells.front().firstSector;
        title.endSector = chain.cells.back().lastSector;
        // The disc's sector numbers are unsigned; a damaged file's may have the top bit set.
        if (qint64(quint32(title.endSector)) - quint32(title.startSector) < kMinimumSectors) {
            continue;
        }
        title.titleSeconds = chain.seconds;
        title.chapterStart = 0;
        title.chapterEnd = chain.seconds;
        appendRow(QStringLiteral("Title_") + twoDigits(jobs_.rowCount() + 1), title, size,
                  chain.seconds);
        if (!titleView_) {
            appendChapterRows(chain, base, size);
        }
    }
    set.endRow = jobs_.rowCount();
}

// A chapter is a program of the chain: its cells together, numbered by its place in the chain.
void DvdTitles::appendChapterRows(const TitleSetData::Chain& chain, const TConvertInfo& base,
                                  const QString& size) {
    std::vector<TitleSetData::Program> programs = chain.programs;
    if (programs.empty()) {
        for (size_t j = 0; j < chain.cells.size(); ++j) {
            programs.push_back({qint32(j), 1, chain.cells[j].seconds});
        }
    }
    qint32 start = 0;  // programs passed over count too
    for (size_t p = 0; p < programs.size(); ++p) {
        const TitleSetData::Program& program = programs[p];
        const qint32 programStart = start;
        start += program.seconds;
        if (program.firstCell < 0 || program.cellCount < 1 ||
            size_t(program.firstCell) + size_t(program.cellCount) > chain.cells.size()) {
            continue;
        }
        const auto first = chain.cells.begin() + program.firstCell;
        const auto last = first + (program.cellCount - 1);
        // The sectors of its cells, which a one-cell program counts as its last minus its first.
        qint64 sectors = -1;
        for (auto cell = first; cell <= last; ++cell) {
            sectors += qint64(cell->lastSector) - cell->firstSector + 1;
        }
        if (program.seconds == 0 || sectors < kMinimumSectors) {
            continue;
        }
        TConvertInfo chapter = base;
        chapter.startSector = first->firstSector;
        chapter.endSector = last->lastSector;
        chapter.titleSeconds = program.seconds;
        chapter.chapterStart = programStart;
        chapter.chapterEnd = programStart + program.seconds;
        appendRow(QStringLiteral("  Chapter_") + twoDigits(int(p) + 1), chapter, size,
                  program.seconds);
    }
}

void DvdTitles::beginLoad() {
    titleSetCount_ = 0;
    titleSets_.clear();
    jobs_.clear();
    jobs_.setVisible(true);
    titleChecks_.reset();
    chapterChecks_.reset();
    resetStreamBoxes();
}

void DvdTitles::finishLoading() {
    if (jobs_.isEmpty()) {
        return;
    }
    currentChecks() = std::vector<quint8>(size_t(jobs_.rowCount()), 1);
    jobs_.setAllChecked(true);
    selectLargestRow();
    lvClick();
    emit loaded();
}

void DvdTitles::selectLargestRow() {
    int largest = 0;
    qint64 span = 0;
    for (int row = 0; row < jobs_.rowCount(); ++row) {
        const TConvertInfo* info = jobs_.convertInfo(row);
        const qint64 s = info ? qint64(info->endSector) - info->startSector : 0;
        if (s > span) {
            span = s;
            largest = row;
        }
    }
    jobs_.setSelection({largest});
}

void DvdTitles::keepChecks() {
    std::vector<quint8> checks(size_t(jobs_.rowCount()));
    for (int row = 0; row < jobs_.rowCount(); ++row) {
        checks[size_t(row)] = jobs_.isChecked(row) ? 1 : 0;
    }
    currentChecks() = std::move(checks);
}

void DvdTitles::lvClick() {
    if (jobs_.isEmpty() || guards_.converting() || !dvdEdition_) {
        return;
    }
    keepChecks();
    const int row = jobs_.firstSelected();
    if (row >= 0) {
        fillStreamBoxes(row);
    }
}

void DvdTitles::fillStreamBoxes(int row) {
    const TIFOSelint* set = titleSetOfRow(row);
    if (set == nullptr) {
        return;
    }
    cb_audio_.clear();
    for (const QString& name : set->audioNames) {
        cb_audio_.addItem(name);
    }
    cb_audio_.setItemIndex(audioChoice(row));
    cb_subtitle_.clear();
    cb_subtitle_.addItem(kNoSubtitleText);
    for (const QString& name : set->subtitleNames) {
        cb_subtitle_.addItem(name);
    }
    cb_subtitle_.setItemIndex(subtitleChoice(row));
}

void DvdTitles::resetStreamBoxes() {
    cb_audio_.clear();
    cb_audio_.addItem(kNoAudioText);
    cb_audio_.setItemIndex(0);
    cb_subtitle_.clear();
    cb_subtitle_.addItem(kNoSubtitleText);
    cb_subtitle_.setItemIndex(0);
}

void DvdTitles::audioChanged(int index) {
    const int row = jobs_.firstSelected();
    if (row >= 0 && jobs_.isDvdRow(row)) {
        jobs_.setAudioChoice(row, index, streamNumberOf(cb_audio_.currentText()));
    }
}

void DvdTitles::subtitleChanged(int index) {
    const int row = jobs_.firstSelected();
    if (row >= 0 && jobs_.isDvdRow(row)) {
        jobs_.setSubtitleChoice(row, index, streamNumberOf(cb_subtitle_.currentText()));
    }
}

void DvdTitles::setAllChecked(bool checked) {
    jobs_.setAllChecked(checked);
    currentChecks() = std::vector<quint8>(size_t(jobs_.rowCount()), checked ? 1 : 0);
}

void DvdTitles::switchView() {
    if (refused()) {
        return;
    }
    // The marks as they stand now, toggled by click or by key.
    if (!jobs_.isEmpty()) {
        keepChecks();
    }
    titleView_ = !titleView_;
    jobs_.clear();
    // The title sets as the load read them: the same rows in the other view, without reading
    // the disc again.
    for (TIFOSelint& set : titleSets_) {
        if (set.data) {
            appendRows(set);
        }
    }
    if (jobs_.isEmpty()) {
        return;
    }
    std::optional<std::vector<quint8>>& checks = currentChecks();
    // A mark array from before a removal no longer matches the rows: built afresh.
    if (checks && checks->size() == size_t(jobs_.rowCount())) {
        for (int row = 0; row < jobs_.rowCount(); ++row) {
            jobs_.setChecked(row, (*checks)[size_t(row)] != 0);
        }
    } else {
        setAllChecked(true);
    }
    selectLargestRow();
    lvClick();
    emit loaded();
}

void DvdTitles::openIfo() {
    if (refused()) {
        return;
    }
    const QStringList chosen = ui_.chooseIfoFiles();
    if (!chosen.isEmpty()) {
        addIfoFiles(chosen);
    }
}

bool DvdTitles::addIfoFiles(const QStringList& paths) {
    if (refused() || paths.isEmpty()) {
        return false;
    }
    beginLoad();
    for (const TitleSetRead& read : readTitleSets(paths)) {
        addTitleSet(read);
        if (jobs_.isEmpty()) {
            ui_.information(kInvalidIfoText);
            return false;
        }
        finishLoading();
    }
    return true;
}

void DvdTitles::remove() {
    // As Remove in the video edition: a preview's row must not go first.
    if (guards_.refusedWhilePlaying() || refused() || !jobs_.hasSelection()) {
        return;
    }
    // The other view's marks describe rows that are no longer all there.
    (titleView_ ? chapterChecks_ : titleChecks_).reset();
    const int last = dropSelectedRows();
    if (jobs_.isEmpty()) {
        currentChecks().reset();
        resetStreamBoxes();
        return;
    }
    jobs_.setSelected(qBound(0, last, jobs_.rowCount() - 1), true);
    lvClick();
}

int DvdTitles::dropSelectedRows() {
    const QList<int> removed = jobs_.selectedRows();
    auto shifted = [&removed](qint32 bound) {
        return bound - qint32(std::count_if(removed.begin(), removed.end(),
                                            [bound](int r) { return r < bound; }));
    };
    for (TIFOSelint& set : titleSets_) {
        set.firstRow = shifted(set.firstRow);
        set.endRow = shifted(set.endRow);
    }
    return jobs_.removeSelected();
}

void DvdTitles::clear() {
    if (guards_.refusedWhilePlaying() || refused() || jobs_.isEmpty()) {
        return;
    }
    if (ui_.confirm(FileSources::kClearQuestion)) {
        beginLoad();
    }
}
