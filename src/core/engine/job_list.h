#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

#include "core/engine/job_records.h"

// The job list: one row per source, each with its caption, the four right-hand columns
// (size, time, output size, status), a check mark, a selection flag, and the row's records.
// Records live inside the row, so they can never drift out of line with the rows.
class JobList : public QObject {
    Q_OBJECT
public:
    enum Column { SizeColumn = 0, TimeColumn = 1, OutputSizeColumn = 2, StatusColumn = 3 };
    static constexpr int kSubItemCount = 4;

    struct Row {
        QString caption;
        std::array<QString, kSubItemCount> subItems;
        bool checked = false;
        bool selected = false;
        Toriginalinfo info;
        TConvertInfo convert;  // meaningful in the DVD edition only
    };

    explicit JobList(QObject* parent = nullptr);

    int rowCount() const { return static_cast<int>(rows_.size()); }
    bool isEmpty() const { return rows_.empty(); }
    bool isRow(int row) const { return row >= 0 && row < rowCount(); }

    // Appends a row and returns its index.
    int addRow(const QString& caption, const std::array<QString, kSubItemCount>& subItems,
               const Toriginalinfo& info, const TConvertInfo& convert = {});
    // Removes every selected row in one pass; returns the index the last removed row had
    // (after the removals before it), or -1 when nothing was selected.
    int removeSelected();
    void removeRow(int row);
    void clear();

    const Row& row(int row) const { return rows_.at(static_cast<size_t>(row)); }
    const QString& caption(int row) const { return this->row(row).caption; }
    QString subItem(int row, int column) const;
    void setSubItem(int row, int column, const QString& text);
    QString status(int row) const { return subItem(row, StatusColumn); }
    void setStatus(int row, const QString& text) { setSubItem(row, StatusColumn, text); }

    bool isChecked(int row) const { return this->row(row).checked; }
    void setChecked(int row, bool checked);
    bool isSelected(int row) const { return this->row(row).selected; }
    void setSelected(int row, bool selected);
    bool hasSelection() const;
    QList<int> selectedRows() const;

    bool isVisible() const { return visible_; }
    void setVisible(bool visible);

    // The per-row records, indexed like the rows.
    const Toriginalinfo& jobInfo(int row) const { return this->row(row).info; }
    Toriginalinfo& jobInfo(int row) { return rows_.at(static_cast<size_t>(row)).info; }
    const TConvertInfo& convertInfo(int row) const { return this->row(row).convert; }
    TConvertInfo& convertInfo(int row) { return rows_.at(static_cast<size_t>(row)).convert; }

signals:
    void rowsInserted(int first, int last);
    void rowsRemoved(int first, int last);
    void listReset();  // many rows changed at once (clear, multi-row removal)
    void rowChanged(int row);
    void visibilityChanged(bool visible);

private:
    std::vector<Row> rows_;
    bool visible_ = false;
};
