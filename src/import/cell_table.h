// The cells of every row of a price list, kept once: their texts end to end
// in one buffer and where each ends within its row, so that 100,000 rows of
// eight cells cost a few megabytes instead of a string object per cell, and
// any cell is found at once.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace orva::import {

// Where one row's cells are in a CellTable.
struct CellSpan {
    std::size_t offset = 0;   // where the row's first cell starts in the text
    std::uint32_t first = 0;  // the index of the row's first cell end
    std::uint16_t width = 0;  // how many cells the row has
};

class CellTable {
  public:
    // Keeps the cells of one row and answers where they are. A row is at
    // most 4 GB (the readers refuse far less).
    CellSpan Add(const std::vector<std::string>& cells) {
        if (cells.size() > UINT16_MAX)
            throw std::length_error("too many cells in a row");
        CellSpan span{text_.size(), static_cast<std::uint32_t>(ends_.size()),
                      static_cast<std::uint16_t>(cells.size())};
        for (const std::string& cell : cells) {
            text_ += cell;
            if (text_.size() - span.offset > UINT32_MAX)
                throw std::length_error("row too long");
            ends_.push_back(static_cast<std::uint32_t>(text_.size() - span.offset));
        }
        return span;
    }
    // Cell `i` of the row; empty past the row's last cell.
    std::string_view Cell(CellSpan row, std::size_t i) const {
        if (i >= row.width)
            return {};
        const std::size_t begin = i == 0 ? 0 : ends_[row.first + i - 1];
        return std::string_view(text_).substr(row.offset + begin, ends_[row.first + i] - begin);
    }
    void ShrinkToFit() {
        text_.shrink_to_fit();
        ends_.shrink_to_fit();
    }

  private:
    std::string text_;
    std::vector<std::uint32_t> ends_;  // each cell's end, from its row's start
};

}  // namespace orva::import
