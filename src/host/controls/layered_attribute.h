// One property of a spread's cells (lock, kind, alignment) set for the whole
// sheet, for rows, for columns or for single cells. A cell's value is the
// most specific setting that covers it: cell, then row, then column, then
// sheet. Setting a row or a column drops the single-cell settings inside it;
// setting the sheet drops every other setting. A row setting therefore
// outlasts a later column setting (a row locked as a whole stays locked when
// its column is unlocked), and settings of a row or column also hold for
// cells that come into being when the grid grows.
#pragma once

#include <iterator>
#include <map>
#include <unordered_map>
#include <utility>

namespace orva {

template <class T>
class LayeredAttribute {
  public:
    explicit LayeredAttribute(T sheet) : sheet_(std::move(sheet)) {}

    const T& Get(int col, int row) const {
        if (!cells_.empty()) {
            if (auto it = cells_.find({row, col}); it != cells_.end())
                return it->second;
        }
        if (auto it = rows_.find(row); it != rows_.end())
            return it->second;
        if (auto it = cols_.find(col); it != cols_.end())
            return it->second;
        return sheet_;
    }

    void SetSheet(const T& v) {
        sheet_ = v;
        rows_.clear();
        cols_.clear();
        cells_.clear();
    }
    void SetRow(int row, const T& v) {
        rows_[row] = v;
        cells_.erase(cells_.lower_bound({row, 0}), cells_.lower_bound({row + 1, 0}));
    }
    void SetColumn(int col, const T& v) {
        cols_[col] = v;
        std::erase_if(cells_, [col](const auto& e) { return e.first.second == col; });
    }
    void SetCell(int col, int row, const T& v) { cells_[{row, col}] = v; }

    // Forgets settings of rows and columns beyond a shrunk grid.
    void DropBeyond(int maxCols, int maxRows) {
        std::erase_if(rows_, [maxRows](const auto& e) { return e.first > maxRows; });
        std::erase_if(cols_, [maxCols](const auto& e) { return e.first > maxCols; });
        std::erase_if(cells_, [&](const auto& e) {
            return e.first.first > maxRows || e.first.second > maxCols;
        });
    }

  private:
    T sheet_;
    std::unordered_map<int, T> rows_;
    std::unordered_map<int, T> cols_;
    std::map<std::pair<int, int>, T> cells_;  // keyed (row, col)
};

}  // namespace orva
