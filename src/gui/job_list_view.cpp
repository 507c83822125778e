#include "gui/job_list_view.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QSignalBlocker>

JobListView::JobListView(JobList& jobs, QWidget* parent)
    : QTableView(parent), jobs_(jobs), model_(new JobListModel(jobs, this)) {
    setModel(model_);
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    // Tab leaves the list for the next control; rows are walked with the arrow keys.
    setTabKeyNavigation(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(20);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    for (int column = 0; column < JobListModel::kColumns; ++column) {
        setColumnWidth(column, JobListModel::columnWidth(column));
    }
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &JobListView::selectionToList);
    connect(&jobs, &JobList::selectionChanged, this, &JobListView::selectionFromList);
    connect(&jobs, &JobList::listReset, this, &JobListView::selectionFromList);
    connect(this, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit rowActivated(index.row()); });
}

void JobListView::selectionToList() {
    if (syncing_) {
        return;
    }
    QList<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows()) {
        rows << index.row();
    }
    syncing_ = true;
    jobs_.setSelection(rows);
    syncing_ = false;
}

void JobListView::selectionFromList() {
    if (syncing_) {
        return;
    }
    syncing_ = true;
    QItemSelection selection;
    for (int row : jobs_.selectedRows()) {
        selection.select(model_->index(row, 0), model_->index(row, JobListModel::kColumns - 1));
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    syncing_ = false;
}

void JobListView::mousePressEvent(QMouseEvent* event) {
    emit pressedInList();
    QTableView::mousePressEvent(event);
}

void JobListView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete) {
        emit deletePressed();
        return;
    }
    // Space ticks or unticks the row wherever its cell cursor stands, not only in the first
    // column.
    const QModelIndex tick = model_->index(currentIndex().row(), 0);
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier && tick.isValid() &&
        (model_->flags(tick) & Qt::ItemIsUserCheckable)) {
        const bool checked = tick.data(Qt::CheckStateRole).toInt() == Qt::Checked;
        model_->setData(tick, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
        return;
    }
    QTableView::keyPressEvent(event);
}
