// The values of a record set, filled row by row and read by row and column.
//
// Rows are kept in blocks; within a block the values are stored column after
// column, so that a filter reads each column it tests in long sequential
// runs. The first block holds a power of two of rows at least the expected
// count; every further block holds as many rows as all blocks before it. A
// reader that does not know how many rows are coming (SQLite tells only by
// stepping) therefore writes every value straight into its final place:
// nothing is moved when the set grows, and no value is constructed before
// its row is written, so the unused tail of the last block costs no memory
// that is ever touched.
//
// Large blocks are kept for reuse when a store goes away (a few, see
// record_store.cpp): loading the ledger again after a click writes into
// memory that is already mapped instead of into fresh pages the system has to
// clear first.
#pragma once

#include <bit>
#include <cstddef>
#include <new>
#include <vector>

#include "orvasaleprice/variant.h"

namespace orva {

class RecordStore {
  public:
    // `width` values per row; room for at least `expectedRows` rows before
    // the first growth.
    RecordStore(std::size_t width, std::size_t expectedRows);
    // Takes over `cells`, `rows` values per column, column after column.
    RecordStore(std::size_t width, std::vector<Variant>&& cells, std::size_t rows);
    ~RecordStore();
    RecordStore(RecordStore&& other) noexcept;
    RecordStore& operator=(RecordStore&& other) noexcept;
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;

    std::size_t Width() const { return width_; }
    std::size_t Rows() const { return rows_; }

    // Appends a row whose value in column c is cell(c). When cell throws,
    // the row is not added and the store is as it was.
    template <typename F>
    void AppendRow(F&& cell) {
        if (rows_ == capacity_)
            Grow();
        Block& b = blocks_.back();
        Variant* first = b.cells + (rows_ - b.firstRow);
        std::size_t c = 0;
        try {
            for (Variant* p = first; c < width_; ++c, p += b.rows) new (p) Variant(cell(c));
        } catch (...) {
            for (std::size_t k = 0; k < c; ++k) first[k * b.rows].~Variant();
            throw;
        }
        ++rows_;
    }

    // Not checked: row < Rows(), col < Width().
    const Variant& At(std::size_t row, std::size_t col) const {
        const Block& b = blocks_[BlockOf(row)];
        return b.cells[col * b.rows + (row - b.firstRow)];
    }

  private:
    struct Block {
        Variant* cells = nullptr;  // rows * width values, constructed for filled rows
        std::size_t rows = 0;
        std::size_t firstRow = 0;
        std::size_t bytes = 0;
    };

    // Block k (k >= 1) starts at row first << (k - 1) and holds as many rows.
    std::size_t BlockOf(std::size_t row) const {
        return static_cast<std::size_t>(std::bit_width(row >> shift_));
    }
    void Grow();
    void Release();

    std::size_t width_ = 0;
    std::size_t rows_ = 0;
    std::size_t capacity_ = 0;
    std::size_t shift_ = 0;  // the first block holds 1 << shift_ rows
    std::vector<Block> blocks_;
};

}  // namespace orva
