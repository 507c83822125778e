#include "core/engine/job_list.h"

#include <algorithm>

JobList::JobList(QObject* parent) : QObject(parent) {}

int JobList::addRow(const QString& caption, const std::array<QString, kSubItemCount>& subItems,
                    const Toriginalinfo& info, const TConvertInfo& convert) {
    Row r;
    r.caption = caption;
    r.subItems = subItems;
    r.info = info;
    r.convert = convert;
    rows_.push_back(std::move(r));
    const int index = rowCount() - 1;
    emit rowsInserted(index, index);
    return index;
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

void JobList::removeRow(int row) {
    if (!isRow(row)) {
        return;
    }
    rows_.erase(rows_.begin() + row);
    emit rowsRemoved(row, row);
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
    return rows_[static_cast<size_t>(row)].subItems[static_cast<size_t>(column)];
}

void JobList::setSubItem(int row, int column, const QString& text) {
    if (!isRow(row) || column < 0 || column >= kSubItemCount) {
        return;
    }
    QString& cell = rows_[static_cast<size_t>(row)].subItems[static_cast<size_t>(column)];
    if (cell == text) {
        return;
    }
    cell = text;
    emit rowChanged(row);
}

void JobList::setChecked(int row, bool checked) {
    if (!isRow(row) || rows_[static_cast<size_t>(row)].checked == checked) {
        return;
    }
    rows_[static_cast<size_t>(row)].checked = checked;
    emit rowChanged(row);
}

void JobList::setSelected(int row, bool selected) {
    if (!isRow(row) || rows_[static_cast<size_t>(row)].selected == selected) {
        return;
    }
    rows_[static_cast<size_t>(row)].selected = selected;
    emit rowChanged(row);
}

bool JobList::hasSelection() const {
    return std::any_of(rows_.begin(), rows_.end(), [](const Row& r) { return r.selected; });
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
