// The cells of every row of a price list, kept once: their texts end to end
// in one buffer and the length of each, so that 100,000 rows of eight cells
// cost a few megabytes instead of a string object per cell.
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
    std::uint32_t first = 0;  // the index of the row's first cell length
    std::uint16_t width = 0;  // how many cells the row has
};

class CellTable {
  public:
    // Keeps the cells of one row and answers where they are. A cell is at
    // most 64 KB (the readers refuse longer ones well before).
    CellSpan Add(const std::vector<std::string>& cells) {
        if (cells.size() > UINT16_MAX)
            throw std::length_error("too many cells in a row");
        CellSpan span{text_.size(), static_cast<std::uint32_t>(lengths_.size()),
                      static_cast<std::uint16_t>(cells.size())};
        for (const std::string& cell : cells) {
            if (cell.size() > UINT16_MAX)
                throw std::length_error("cell too long");
            text_ += cell;
            lengths_.push_back(static_cast<std::uint16_t>(cell.size()));
        }
        return span;
    }
    // Cell `i` of the row; empty past the row's last cell.
    std::string_view Cell(CellSpan row, std::size_t i) const {
        if (i >= row.width)
            return {};
        std::size_t begin = row.offset;
        for (std::size_t k = 0; k < i; ++k) begin += lengths_[row.first + k];
        return std::string_view(text_).substr(begin, lengths_[row.first + i]);
    }
    void ShrinkToFit() {
        text_.shrink_to_fit();
        lengths_.shrink_to_fit();
    }

  private:
    std::string text_;
    std::vector<std::uint16_t> lengths_;
};

}  // namespace orva::import
