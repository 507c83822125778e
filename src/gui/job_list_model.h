#pragma once

#include <QAbstractTableModel>

#include "core/engine/job_list.h"

// The job list as the table view `lv` shows it: the caption and the four sub-items, a check box
// in the first column where the layout asks for it, and a failed row's reason as its tooltip.
// It follows the list's own signals, so a change of one column of every row is one update.
class JobListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    static constexpr int kColumns = 5;

    explicit JobListModel(JobList& jobs, QObject* parent = nullptr);

    void setFirstColumnCaption(const QString& caption);
    void setCheckBoxes(bool on);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The width of each column in pixels.
    static int columnWidth(int column);

  private:
    JobList& jobs_;
    int rows_ = 0;  // the rows the view has been told about
    QString firstCaption_ = QStringLiteral("File Name");
    bool checkBoxes_ = false;
};
