#include "host/controls/spread.h"

#include <algorithm>

#include "orvasaleprice/com_error.h"

namespace orva {
namespace {
const std::string kNoText;

void CheckCount(int n, const char* what) {
    if (n < 0) {
        throw ComError(ComError::kGeneric,
                       std::string("Invalid procedure call: negative ") + what + " count");
    }
}
}  // namespace

Spread::Spread() : types_(CellType::Text()), aligns_(HAlign::kDefault), locks_(false) {}

void Spread::Resize(int cols, int rows) {
    if (cols == maxCols_ && rows == maxRows_)
        return;
    if (cols == maxCols_) {
        texts_.resize(static_cast<std::size_t>(rows) * cols);
    } else {
        std::vector<std::string> texts(static_cast<std::size_t>(rows) * cols);
        const int keepRows = std::min(rows, maxRows_);
        const int keepCols = std::min(cols, maxCols_);
        for (int r = 1; r <= keepRows; ++r) {
            for (int c = 1; c <= keepCols; ++c) {
                texts[static_cast<std::size_t>(r - 1) * cols + (c - 1)] =
                    std::move(texts_[Index(c, r)]);
            }
        }
        texts_ = std::move(texts);
    }
    maxCols_ = cols;
    maxRows_ = rows;
    rowHidden_.resize(rows, false);
    colHidden_.resize(cols, false);
    colWidths_.resize(cols, kDefaultColWidth);
    types_.DropBeyond(cols, rows);
    aligns_.DropBeyond(cols, rows);
    locks_.DropBeyond(cols, rows);
    activeCol_ = std::clamp(activeCol_, 1, std::max(cols, 1));
    activeRow_ = std::clamp(activeRow_, 1, std::max(rows, 1));
    if (selection_) {
        const CellBlock& s = *selection_;
        if ((!s.EveryCol() && s.col1 > cols) || (!s.EveryRow() && s.row1 > rows)) {
            selection_.reset();
        }
    }
    Notify(GridChange::Of(GridChange::kLayout | GridChange::kCurrent));
}

void Spread::SetMaxRows(int rows) {
    CheckCount(rows, "row");
    Resize(maxCols_, rows);
}

void Spread::SetMaxCols(int cols) {
    CheckCount(cols, "column");
    Resize(cols, maxRows_);
}

const std::string& Spread::GetText(int col, int row) const {
    return IsCell(col, row) ? texts_[Index(col, row)] : kNoText;
}

bool Spread::SetText(int col, int row, std::string_view text) {
    if (!IsCell(col, row))
        return false;
    std::string& cell = texts_[Index(col, row)];
    if (cell != text) {
        cell.assign(text);
        Notify(GridChange::Content(CellBlock::Cell(col, row)));
    }
    return true;
}

bool Spread::Editable(int col, int row) const {
    return IsCell(col, row) && !rowHidden_[row - 1] && !colHidden_[col - 1] && !Locked(col, row) &&
           TypeAt(col, row).kind != CellKind::kStaticText;
}

bool Spread::TypeText(int col, int row, std::string_view text) {
    if (!Editable(col, row))
        return false;
    std::optional<std::string> kept = TypeAt(col, row).Accept(text);
    if (!kept)
        return false;
    std::string& cell = texts_[Index(col, row)];
    if (cell == *kept)
        return true;
    cell = std::move(*kept);
    Notify(GridChange::Content(CellBlock::Cell(col, row)));
    changed_.Emit(col, row);
    return true;
}

std::string Spread::DisplayText(int col, int row) const {
    return IsCell(col, row) ? TypeAt(col, row).Display(texts_[Index(col, row)]) : std::string();
}

void Spread::ClearBlock(const CellBlock& block) {
    const int c1 = block.EveryCol() ? 1 : std::max(block.col1, 1);
    const int c2 = block.EveryCol() ? maxCols_ : std::min(block.col2, maxCols_);
    const int r1 = block.EveryRow() ? 1 : std::max(block.row1, 1);
    const int r2 = block.EveryRow() ? maxRows_ : std::min(block.row2, maxRows_);
    bool changed = false;
    for (int r = r1; r <= r2; ++r) {
        for (int c = c1; c <= c2; ++c) {
            std::string& cell = texts_[Index(c, r)];
            changed = changed || !cell.empty();
            cell.clear();
        }
    }
    if (changed)
        Notify(GridChange::Content(block));
}

template <class T>
void Spread::ApplyToBlock(LayeredAttribute<T>& attr, const CellBlock& block, const T& value) {
    if (block.EveryCol() && block.EveryRow()) {
        attr.SetSheet(value);
    } else if (block.EveryCol()) {
        for (int r = block.row1; r <= block.row2; ++r) attr.SetRow(r, value);
    } else if (block.EveryRow()) {
        for (int c = block.col1; c <= block.col2; ++c) attr.SetColumn(c, value);
    } else {
        for (int r = block.row1; r <= block.row2; ++r) {
            for (int c = block.col1; c <= block.col2; ++c) attr.SetCell(c, r, value);
        }
    }
    Notify(GridChange::Content(block));
}

void Spread::SetCellType(const CellBlock& block, const CellType& type) {
    ApplyToBlock(types_, block, type);
}

HAlign Spread::AlignmentAt(int col, int row) const {
    const HAlign a = aligns_.Get(col, row);
    return a == HAlign::kDefault ? TypeAt(col, row).NaturalAlignment() : a;
}

void Spread::SetAlignment(const CellBlock& block, HAlign align) {
    ApplyToBlock(aligns_, block, align);
}

void Spread::SetLock(const CellBlock& block, bool locked) {
    ApplyToBlock(locks_, block, locked);
}

void Spread::SetLockBackColor(Color color) {
    if (color == lockBackColor_)
        return;
    lockBackColor_ = color;
    Notify(GridChange::Content(CellBlock::All()));
}

void Spread::SetBackColor(Color color) {
    if (color == backColor_)
        return;
    backColor_ = color;
    Notify(GridChange::Content(CellBlock::All()));
}

bool Spread::RowHidden(int row) const {
    return row >= 1 && row <= maxRows_ && rowHidden_[row - 1];
}

void Spread::SetRowHidden(int row, bool hidden) {
    if (row < 1 || row > maxRows_ || rowHidden_[row - 1] == hidden)
        return;
    rowHidden_[row - 1] = hidden;
    Notify(GridChange::Of(GridChange::kLayout));
}

bool Spread::ColHidden(int col) const {
    return col >= 1 && col <= maxCols_ && colHidden_[col - 1];
}

void Spread::SetColHidden(int col, bool hidden) {
    if (col < 1 || col > maxCols_ || colHidden_[col - 1] == hidden)
        return;
    colHidden_[col - 1] = hidden;
    Notify(GridChange::Of(GridChange::kLayout));
}

int Spread::ColWidth(int col) const {
    return col >= 1 && col <= maxCols_ ? colWidths_[col - 1] : 0;
}

void Spread::SetColWidth(int col, int twips) {
    if (col < 1 || col > maxCols_ || colWidths_[col - 1] == std::max(twips, 0))
        return;
    colWidths_[col - 1] = std::max(twips, 0);
    Notify(GridChange::Of(GridChange::kLayout));
}

bool Spread::SetActiveCell(int col, int row) {
    if (!IsCell(col, row))
        return false;
    if (col != activeCol_ || row != activeRow_) {
        activeCol_ = col;
        activeRow_ = row;
        Notify(GridChange::Of(GridChange::kCurrent));
    }
    return true;
}

void Spread::SetSelection(const CellBlock& block) {
    selection_ = block;
    Notify(GridChange::Of(GridChange::kCurrent));
}

void Spread::ClearSelection() {
    if (!selection_)
        return;
    selection_.reset();
    Notify(GridChange::Of(GridChange::kCurrent));
}

void Spread::SetVisible(bool visible) {
    if (visible == visible_)
        return;
    visible_ = visible;
    Notify(GridChange::Of(GridChange::kVisible));
}

bool Spread::UserMoveTo(int col, int row) {
    if (!IsCell(col, row) || RowHidden(row) || ColHidden(col))
        return false;
    if (col == activeCol_ && row == activeRow_)
        return true;
    bool cancel = false;
    leaveCell_.Emit(activeCol_, activeRow_, col, row, cancel);
    return !cancel && SetActiveCell(col, row);
}

int Spread::UserKeyDown(int keyCode, int shift) {
    keyDown_.Emit(keyCode, shift);
    return keyCode;
}

}  // namespace orva
