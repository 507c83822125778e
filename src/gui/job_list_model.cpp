#include "gui/job_list_model.h"

#include <array>

namespace {

const std::array<int, JobListModel::kColumns> kWidths{150, 100, 80, 80, 98};

QString tooltipOf(const JobList& jobs, int row) {
    const RowState& state = jobs.state(row);
    if (state.kind != RowState::Failed) {
        QStringList lines;
        if (state.kind == RowState::Finished) {
            lines << state.outputName;
        }
        if (const QString& note = jobs.row(row).note; !note.isEmpty()) {
            lines << QStringLiteral("Note: ") + note;
        }
        return lines.join(QLatin1Char('\n'));
    }
    QString text = state.reason;
    if (!state.outputTail.isEmpty()) {
        const QStringList last =
            state.outputTail.mid(qMax<qsizetype>(0, state.outputTail.size() - 4));
        text += QStringLiteral("\n\n") + last.join(QLatin1Char('\n'));
    }
    return text + QStringLiteral("\n\n(double-click for details)");
}

}  // namespace

JobListModel::JobListModel(JobList& jobs, QObject* parent)
    : QAbstractTableModel(parent), jobs_(jobs), rows_(jobs.rowCount()) {
    connect(&jobs, &JobList::rowsInserted, this, [this](int first, int last) {
        beginInsertRows({}, first, last);
        rows_ = jobs_.rowCount();
        endInsertRows();
    });
    connect(&jobs, &JobList::listReset, this, [this] {
        beginResetModel();
        rows_ = jobs_.rowCount();
        endResetModel();
    });
    connect(&jobs, &JobList::rowChanged, this, [this](int row) {
        if (row < rows_) {
            emit dataChanged(index(row, 0), index(row, kColumns - 1));
        }
    });
    connect(&jobs, &JobList::columnChanged, this, [this](int column) {
        if (rows_ > 0) {
            emit dataChanged(index(0, column + 1), index(rows_ - 1, column + 1));
        }
    });
}

void JobListModel::setFirstColumnCaption(const QString& caption) {
    firstCaption_ = caption;
    emit headerDataChanged(Qt::Horizontal, 0, 0);
}

void JobListModel::setCheckBoxes(bool on) {
    if (checkBoxes_ == on) {
        return;
    }
    checkBoxes_ = on;
    if (rows_ > 0) {
        emit dataChanged(index(0, 0), index(rows_ - 1, 0));
    }
}

int JobListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int JobListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant JobListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !jobs_.isRow(index.row())) {
        return {};
    }
    const int row = index.row();
    switch (role) {
        case Qt::DisplayRole:
            return index.column() == 0 ? jobs_.caption(row)
                                       : jobs_.subItem(row, index.column() - 1);
        case Qt::CheckStateRole:
            if (checkBoxes_ && index.column() == 0) {
                return jobs_.isChecked(row) ? Qt::Checked : Qt::Unchecked;
            }
            return {};
        case Qt::ToolTipRole:
            return tooltipOf(jobs_, row);
        default:
            return {};
    }
}

bool JobListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !checkBoxes_ || index.column() != 0 ||
        !jobs_.isRow(index.row())) {
        return false;
    }
    jobs_.setChecked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags JobListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (checkBoxes_ && index.column() == 0) {
        f |= Qt::ItemIsUserCheckable;
    }
    return f;
}

QVariant JobListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    switch (section) {
        case 0:
            return firstCaption_;
        case 1:
            return QStringLiteral("Width * Height");
        case 2:
            return QStringLiteral("Time");
        case 3:
            return QStringLiteral("Output Size");
        case 4:
            return QStringLiteral("Status");
        default:
            return {};
    }
}

int JobListModel::columnWidth(int column) {
    return column >= 0 && column < kColumns ? kWidths[static_cast<size_t>(column)] : 0;
}
