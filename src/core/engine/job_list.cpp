#include "core/engine/job_list.h"

#include <algorithm>

JobList::JobList(QObject* parent) : QObject(parent) {}

int JobList::addRow(Row row) {
    std::vector<Row> one;
    one.push_back(std::move(row));
    return addRows(std::move(one));
}

int JobList::addRows(std::vector<Row> rows) {
    const int first = rowCount();
    if (rows.empty()) {
        return first;
    }
    for (Row& r : rows) {
        rows_.push_back(std::move(r));
    }
    emit rowsInserted(first, rowCount() - 1);
    return first;
}

int JobList::removeSelected() {
    int lastRemovedAt = -1;
    int removed = 0;
    for (int k = 0; k < rowCount(); ++k) {
        if (rows_[static_cast<size_t>(k)].selected) {
            lastRemovedAt = k - removed;
            ++removed;
        }
    }
    if (removed == 0) {
        return -1;
    }
    // One pass keeps Remove linear even with thousands of selected rows.
    rows_.erase(std::remove_if(rows_.begin(), rows_.end(), [](const Row& r) { return r.selected; }),
                rows_.end());
    emit listReset();
    return lastRemovedAt;
}

void JobList::clear() {
    if (rows_.empty()) {
        return;
    }
    rows_.clear();
    emit listReset();
}

QString JobList::subItem(int row, int column) const {
    if (!isRow(row) || column < 0 || column >= kSubItemCount) {
        return {};
    }
    if (column == StatusColumn) {
        return statusText(this->row(row).state);
    }
    return this->row(row).texts[static_cast<size_t>(column)];
}

void JobList::setSubItem(int row, int column, const QString& text) {
    if (!isRow(row) || column < 0 || column >= StatusColumn) {
        return;
    }
    QString& cell = at(row).texts[static_cast<size_t>(column)];
    if (cell == text) {
        return;
    }
    cell = text;
    emit rowChanged(row);
}

void JobList::setColumnTexts(int column, const QStringList& texts) {
    if (column < 0 || column >= StatusColumn) {
        return;
    }
    bool changed = false;
    const int n = std::min(rowCount(), static_cast<int>(texts.size()));
    for (int r = 0; r < n; ++r) {
        QString& cell = at(r).texts[static_cast<size_t>(column)];
        if (cell != texts[r]) {
            cell = texts[r];
            changed = true;
        }
    }
    if (changed) {
        emit columnChanged(column);
    }
}

void JobList::setState(int row, RowState state) {
    if (!isRow(row) || at(row).state == state) {
        return;
    }
    at(row).state = std::move(state);
    emit rowChanged(row);
}

void JobList::setProgress(int row, int value) {
    if (!isRow(row)) {
        return;
    }
    RowState& state = at(row).state;
    if (state.kind == RowState::Running && state.progress == value) {
        return;
    }
    state.kind = RowState::Running;
    state.progress = value;
    emit rowChanged(row);
}

void JobList::setNote(int row, const QString& note) {
    if (!isRow(row) || at(row).note == note) {
        return;
    }
    at(row).note = note;
    emit rowChanged(row);
}

void JobList::setCaption(int row, const QString& caption) {
    if (!isRow(row) || at(row).caption == caption) {
        return;
    }
    at(row).caption = caption;
    emit rowChanged(row);
}

void JobList::setChecked(int row, bool checked) {
    if (!isRow(row) || at(row).checked == checked) {
        return;
    }
    at(row).checked = checked;
    emit rowChanged(row);
}

void JobList::setAllChecked(bool checked) {
    for (Row& r : rows_) {
        r.checked = checked;
    }
    if (!rows_.empty()) {
        emit listReset();
    }
}

void JobList::setSelected(int row, bool selected) {
    if (!isRow(row) || at(row).selected == selected) {
        return;
    }
    at(row).selected = selected;
    emit selectionChanged();
}

void JobList::setSelection(const QList<int>& rows) {
    std::vector<bool> wanted(rows_.size(), false);
    for (int row : rows) {
        if (isRow(row)) {
            wanted[static_cast<size_t>(row)] = true;
        }
    }
    bool changed = false;
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].selected != wanted[i]) {
            rows_[i].selected = wanted[i];
            changed = true;
        }
    }
    if (changed) {
        emit selectionChanged();
    }
}

bool JobList::hasSelection() const {
    return firstSelected() >= 0;
}

int JobList::firstSelected() const {
    const auto it =
        std::find_if(rows_.begin(), rows_.end(), [](const Row& r) { return r.selected; });
    return it == rows_.end() ? -1 : static_cast<int>(it - rows_.begin());
}

QList<int> JobList::selectedRows() const {
    QList<int> result;
    for (int k = 0; k < rowCount(); ++k) {
        if (rows_[static_cast<size_t>(k)].selected) {
            result.append(k);
        }
    }
    return result;
}

void JobList::setVisible(bool visible) {
    if (visible_ == visible) {
        return;
    }
    visible_ = visible;
    emit visibilityChanged(visible);
}

bool JobList::isDvdRow(int row) const {
    return isRow(row) && std::holds_alternative<TConvertInfo>(this->row(row).source);
}

const TConvertInfo* JobList::convertInfo(int row) const {
    return isRow(row) ? std::get_if<TConvertInfo>(&this->row(row).source) : nullptr;
}

TConvertInfo* JobList::convertInfo(int row) {
    return isRow(row) ? std::get_if<TConvertInfo>(&at(row).source) : nullptr;
}

const FileSource* JobList::fileSource(int row) const {
    return isRow(row) ? std::get_if<FileSource>(&this->row(row).source) : nullptr;
}

void JobList::setAudioChoice(int row, int itemIndex, const QString& audioStream) {
    if (!isRow(row)) {
        return;
    }
    at(row).audioChoice = itemIndex;
    if (TConvertInfo* info = convertInfo(row)) {
        info->audioStream = audioStream;
    }
}

void JobList::setSubtitleChoice(int row, int itemIndex, const QString& subtitleStream) {
    if (!isRow(row)) {
        return;
    }
    at(row).subtitleChoice = itemIndex;
    if (TConvertInfo* info = convertInfo(row)) {
        info->subtitleStream = subtitleStream;
    }
}
