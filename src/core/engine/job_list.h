#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

#include "core/engine/job_records.h"
#include "core/engine/picture_facts.h"
#include "core/engine/row_state.h"

// The job list: one row per source, each with its caption, the four right-hand columns (size,
// time, output size, status), a check mark, a selection flag, its typed state and source, and
// its record. Records live inside the row, so they can never drift out of line with the rows.
class JobList : public QObject {
    Q_OBJECT
  public:
    enum Column { SizeColumn = 0, TimeColumn = 1, OutputSizeColumn = 2, StatusColumn = 3 };
    static constexpr int kSubItemCount = 4;

    struct Row {
        QString caption;
        // The texts of the size, time and output size columns; the status is rendered from
        // state.
        std::array<QString, 3> texts;
        RowState state;
        bool checked = false;
        bool selected = false;
        Toriginalinfo info;
        JobSource source;
        PictureFacts picture;  // the source's shape and frame rate, as far as known
        // What its last job did that the user may not expect ("the picture is enlarged
        // ..."); empty when nothing.
        QString note;
        // DVD rows: the item indexes chosen in cb_audio (0 = the first stream) and cb_subtitle
        // (0 = "No Subtitle"). Kept in the row so they stay with it through removals.
        int audioChoice = 0;
        int subtitleChoice = 0;
    };

    explicit JobList(QObject* parent = nullptr);

    int rowCount() const { return static_cast<int>(rows_.size()); }
    bool isEmpty() const { return rows_.empty(); }
    bool isRow(int row) const { return row >= 0 && row < rowCount(); }

    // Appends rows and returns the index of the first.
    int addRow(Row row);
    int addRows(std::vector<Row> rows);
    // Removes every selected row in one pass; returns the index the last removed row had
    // (after the removals before it), or -1 when nothing was selected.
    int removeSelected();
    void clear();

    const Row& row(int row) const { return rows_.at(static_cast<size_t>(row)); }
    const QString& caption(int row) const { return this->row(row).caption; }
    // Column texts; the status column is rendered from the row's state.
    QString subItem(int row, int column) const;
    // Sets one of the first three columns.
    void setSubItem(int row, int column, const QString& text);
    // Sets one of the first three columns of every row (texts[i] for row i) with one signal.
    void setColumnTexts(int column, const QStringList& texts);

    const RowState& state(int row) const { return this->row(row).state; }
    void setState(int row, RowState state);
    // The row is running at `value` hundredths of a percent; the rest of its state stays.
    void setProgress(int row, int value);
    void setNote(int row, const QString& note);
    void setCaption(int row, const QString& caption);
    QString status(int row) const { return subItem(row, StatusColumn); }

    bool isChecked(int row) const { return this->row(row).checked; }
    void setChecked(int row, bool checked);
    // Sets every row's check mark with one signal.
    void setAllChecked(bool checked);
    bool isSelected(int row) const { return this->row(row).selected; }
    void setSelected(int row, bool selected);
    // Selects exactly these rows, with one signal.
    void setSelection(const QList<int>& rows);
    bool hasSelection() const;
    QList<int> selectedRows() const;
    // The first selected row, or -1.
    int firstSelected() const;

    bool isVisible() const { return visible_; }
    void setVisible(bool visible);

    // The per-row records, indexed like the rows.
    const Toriginalinfo& jobInfo(int row) const { return this->row(row).info; }
    const JobSource& source(int row) const { return this->row(row).source; }
    bool isDvdRow(int row) const;
    // Whether a run converts the row: every file row, and the DVD rows with their check mark.
    bool isMeantToRun(int row) const { return !isDvdRow(row) || isChecked(row); }
    // A DVD row's TConvertInfo; nullptr for a file row or a row that does not exist.
    const TConvertInfo* convertInfo(int row) const;
    TConvertInfo* convertInfo(int row);
    // Sets a row's stream choices (item indexes) and the stream numbers they stand for.
    void setAudioChoice(int row, int itemIndex, const QString& audioStream);
    void setSubtitleChoice(int row, int itemIndex, const QString& subtitleStream);
    // A file row's probed facts; nullptr for a DVD row or a row that does not exist.
    const FileSource* fileSource(int row) const;

  signals:
    void rowsInserted(int first, int last);
    void listReset();  // many rows changed at once (clear, multi-row removal)
    void rowChanged(int row);
    void columnChanged(int column);  // one column of every row
    void selectionChanged();
    void visibilityChanged(bool visible);

  private:
    Row& at(int row) { return rows_[static_cast<size_t>(row)]; }

    std::vector<Row> rows_;
    bool visible_ = false;
};
