// What a grid-like model (spread, ledger) tells its views. One notice names
// the parts that changed and, for cell contents, the block of cells to paint
// again. Notices raised while redraw is off are merged into one.
#pragma once

#include <algorithm>

namespace orva {

// A block of cells, 1-based and inclusive; kEvery in a dimension means every
// row (or every column), including those added later.
struct CellBlock {
    static constexpr int kEvery = -1;
    int col1 = kEvery;
    int row1 = kEvery;
    int col2 = kEvery;
    int row2 = kEvery;

    static CellBlock Cell(int col, int row) { return {col, row, col, row}; }
    static CellBlock Row(int row) { return {kEvery, row, kEvery, row}; }
    static CellBlock Rows(int row1, int row2) { return {kEvery, row1, kEvery, row2}; }
    static CellBlock Column(int col) { return {col, kEvery, col, kEvery}; }
    static CellBlock Columns(int col1, int col2) { return {col1, kEvery, col2, kEvery}; }
    static CellBlock Block(int col1, int row1, int col2, int row2) {
        return {std::min(col1, col2), std::min(row1, row2), std::max(col1, col2),
                std::max(row1, row2)};
    }
    static CellBlock All() { return {}; }

    bool EveryCol() const { return col1 == kEvery; }
    bool EveryRow() const { return row1 == kEvery; }
    bool Contains(int col, int row) const {
        return (EveryCol() || (col >= col1 && col <= col2)) &&
               (EveryRow() || (row >= row1 && row <= row2));
    }
    // The smallest block holding both.
    CellBlock Union(const CellBlock& o) const {
        CellBlock u;
        if (!EveryCol() && !o.EveryCol()) {
            u.col1 = std::min(col1, o.col1);
            u.col2 = std::max(col2, o.col2);
        }
        if (!EveryRow() && !o.EveryRow()) {
            u.row1 = std::min(row1, o.row1);
            u.row2 = std::max(row2, o.row2);
        }
        return u;
    }
    bool operator==(const CellBlock&) const = default;
};

struct GridChange {
    enum Part : unsigned {
        kContent = 1,     // texts, colours, locks, cell kinds of `cells`
        kLayout = 2,      // row or column count, hidden rows/columns, widths, merges
        kCurrent = 4,     // active cell, current row/column, selection
        kVisible = 8,     // the control was shown or hidden
        kTextlines = 16,  // the ledger's numbered text lines
        kRedraw = 32,     // sent when redraw is switched back on: the merged news
    };
    unsigned parts = 0;
    CellBlock cells;  // meaningful when parts has kContent

    bool Has(Part p) const { return (parts & p) != 0; }
    static GridChange Content(CellBlock b) { return {kContent, b}; }
    static GridChange Of(unsigned parts) { return {parts, CellBlock::All()}; }

    void Merge(const GridChange& o) {
        if (o.Has(kContent))
            cells = Has(kContent) ? cells.Union(o.cells) : o.cells;
        parts |= o.parts;
    }
};

}  // namespace orva
