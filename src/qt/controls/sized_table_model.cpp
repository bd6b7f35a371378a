#include "qt/controls/sized_table_model.h"

#include <algorithm>

namespace orva::qt {

SizedTableModel::SizedTableModel(int rows, int cols, QObject* parent)
    : QAbstractTableModel(parent), rows_(std::max(0, rows)), cols_(std::max(0, cols)) {}

int SizedTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int SizedTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cols_;
}

void SizedTableModel::ResizeTo(int rows, int cols) {
    rows = std::max(0, rows);
    cols = std::max(0, cols);
    if (rows > rows_) {
        beginInsertRows({}, rows_, rows - 1);
        rows_ = rows;
        endInsertRows();
    } else if (rows < rows_) {
        beginRemoveRows({}, rows, rows_ - 1);
        rows_ = rows;
        endRemoveRows();
    }
    if (cols > cols_) {
        beginInsertColumns({}, cols_, cols - 1);
        cols_ = cols;
        endInsertColumns();
    } else if (cols < cols_) {
        beginRemoveColumns({}, cols, cols_ - 1);
        cols_ = cols;
        endRemoveColumns();
    }
}

}  // namespace orva::qt
