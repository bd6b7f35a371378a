#include "host/controls/ledger.h"

#include <algorithm>

#include "orvasaleprice/com_error.h"

namespace orva {
namespace {
const std::vector<std::string> kNoCells;

[[noreturn]] void Invalid(const std::string& what) {
    throw ComError(ComError::kGeneric, "Invalid procedure call: " + what);
}
}  // namespace

void Ledger::SetSource(LedgerSource* source) {
    source_ = source;
    fetched_.clear();
    Notify(GridChange::Content(CellBlock::All()));
}

bool Ledger::RowMarked(int row) const {
    return source_ && row >= 1 && row <= rows_ && source_->RowMarked(row);
}

std::string Ledger::RowNote(int row) const {
    if (!source_ || row < 1 || row > rows_)
        return {};
    return source_->RowNote(row);
}

void Ledger::SetRows(int rows) {
    if (rows < 0)
        Invalid("negative row count");
    if (rows == rows_)
        return;
    if (rows < rows_) {
        auto beyond = [rows](const auto& e) { return e.first > rows; };
        std::erase_if(own_, beyond);
        std::erase_if(fetched_, beyond);
        std::erase_if(rowColors_, beyond);
        std::erase_if(merges_, [rows](const LedgerMerge& m) { return m.row1 > rows; });
        row_ = std::min(row_, rows);
        if (selRow_ > rows)
            selRow_ = 0;
    }
    rows_ = rows;
    Notify(GridChange::Of(GridChange::kLayout | GridChange::kCurrent));
}

void Ledger::SetCols(int cols) {
    if (cols < 0)
        Invalid("negative column count");
    if (cols == cols_)
        return;
    cols_ = cols;
    colHidden_.resize(cols, false);
    colWidths_.resize(cols, kDefaultColWidth);
    colAlign_.resize(cols, kAlignLeft);
    std::erase_if(merges_, [cols](const LedgerMerge& m) { return m.col1 > cols; });
    col_ = std::min(col_, cols);
    Notify(GridChange::Of(GridChange::kLayout | GridChange::kCurrent));
}

void Ledger::CheckRow(int row) const {
    if (row < 1 || row > rows_) {
        Invalid("row " + std::to_string(row) + " is outside the ledger's " + std::to_string(rows_) +
                " rows");
    }
}

void Ledger::CheckCol(int col) const {
    if (col < 1 || col > cols_) {
        Invalid("column " + std::to_string(col) + " is outside the ledger's " +
                std::to_string(cols_) + " columns");
    }
}

void Ledger::SetRow(int row) {
    if (row != 0)
        CheckRow(row);
    if (row == row_)
        return;
    row_ = row;
    Notify(GridChange::Of(GridChange::kCurrent));
}

void Ledger::SetCol(int col) {
    if (col != 0)
        CheckCol(col);
    if (col == col_)
        return;
    col_ = col;
    Notify(GridChange::Of(GridChange::kCurrent));
}

std::string Ledger::Text() {
    return CellText(row_, col_);
}

void Ledger::SetText(std::string_view text) {
    SetCellText(row_, col_, text);
}

Ledger::Cells Ledger::SplitRow(std::string_view joined) {
    Cells cells;
    std::size_t start = 0;
    while (start < joined.size()) {
        const std::size_t bar = joined.find('|', start);
        if (bar == std::string_view::npos) {
            cells.emplace_back(joined.substr(start));
            break;
        }
        cells.emplace_back(joined.substr(start, bar - start));
        start = bar + 1;
    }
    return cells;
}

const std::vector<std::string>& Ledger::RowCells(int row) {
    if (row < 1 || row > rows_)
        return kNoCells;
    if (auto it = own_.find(row); it != own_.end())
        return it->second;
    if (auto it = fetched_.find(row); it != fetched_.end())
        return it->second;
    if (!source_)
        return kNoCells;
    Cells cells = SplitRow(source_->RowText(row));
    ++fetches_;
    if (fetched_.size() >= kRowCacheLimit)
        fetched_.clear();
    return fetched_.insert_or_assign(row, std::move(cells)).first->second;
}

std::string Ledger::CellText(int row, int col) {
    if (col < 1 || col > cols_)
        return std::string();
    const Cells& cells = RowCells(row);
    return static_cast<std::size_t>(col) <= cells.size() ? cells[col - 1] : std::string();
}

void Ledger::SetRowText(int row, std::string_view joined) {
    CheckRow(row);
    fetched_.erase(row);
    own_[row] = SplitRow(joined);
    Notify(GridChange::Content(CellBlock::Row(row)));
}

void Ledger::SetCellText(int row, int col, std::string_view text) {
    CheckRow(row);
    CheckCol(col);
    auto it = own_.find(row);
    if (it == own_.end()) {
        Cells cells = RowCells(row);  // keep what the row showed
        fetched_.erase(row);
        it = own_.emplace(row, std::move(cells)).first;
    }
    Cells& cells = it->second;
    if (cells.size() < static_cast<std::size_t>(col))
        cells.resize(col);
    cells[col - 1].assign(text);
    Notify(GridChange::Content(CellBlock::Cell(col, row)));
}

void Ledger::SetSelRow(int row) {
    if (row != 0)
        CheckRow(row);
    if (row == selRow_)
        return;
    selRow_ = row;
    Notify(GridChange::Of(GridChange::kCurrent));
}

bool Ledger::ColHidden(int col) const {
    return col >= 1 && col <= cols_ && colHidden_[col - 1];
}

void Ledger::SetColHidden(int col, bool hidden) {
    CheckCol(col);
    if (colHidden_[col - 1] == hidden)
        return;
    colHidden_[col - 1] = hidden;
    Notify(GridChange::Of(GridChange::kLayout));
}

int Ledger::ColWidth(int col) const {
    return col >= 1 && col <= cols_ ? colWidths_[col - 1] : 0;
}

void Ledger::SetColWidth(int col, int twips) {
    CheckCol(col);
    twips = std::max(twips, 0);
    if (colWidths_[col - 1] == twips)
        return;
    colWidths_[col - 1] = twips;
    Notify(GridChange::Of(GridChange::kLayout));
}

int Ledger::ColAlignment(int col) const {
    return col >= 1 && col <= cols_ ? colAlign_[col - 1] : kAlignLeft;
}

void Ledger::SetColAlignment(int col, int alignment) {
    CheckCol(col);
    if (alignment < kAlignLeft || alignment > kAlignCenter) {
        Invalid("alignment " + std::to_string(alignment));
    }
    if (colAlign_[col - 1] == alignment)
        return;
    colAlign_[col - 1] = alignment;
    Notify(GridChange::Content(CellBlock::Column(col)));
}

Color Ledger::RowBkColor(int row) const {
    auto it = rowColors_.find(row);
    return it == rowColors_.end() ? kWhite : it->second;
}

void Ledger::SetRowBkColor(int row, Color color) {
    CheckRow(row);
    auto [it, added] = rowColors_.try_emplace(row, color);
    if (!added) {
        if (it->second == color)
            return;
        it->second = color;
    }
    Notify(GridChange::Content(CellBlock::Row(row)));
}

void Ledger::Merge(int row1, int col1, int row2, int col2) {
    if (row1 < 1 || col1 < 1 || row2 < row1 || col2 < col1) {
        Invalid("merge of rows " + std::to_string(row1) + "-" + std::to_string(row2) +
                ", columns " + std::to_string(col1) + "-" + std::to_string(col2));
    }
    if (row1 == row2 && col1 == col2)
        return;
    const LedgerMerge m{row1, col1, row2, col2};
    if (std::find(merges_.begin(), merges_.end(), m) != merges_.end())
        return;
    std::erase_if(merges_, [&m](const LedgerMerge& old) { return old.Overlaps(m); });
    merges_.push_back(m);
    Notify(GridChange::Of(GridChange::kLayout));
}

std::optional<LedgerMerge> Ledger::MergeAt(int row, int col) const {
    for (const LedgerMerge& m : merges_) {
        if (m.Contains(row, col))
            return m;
    }
    return std::nullopt;
}

void Ledger::CheckTextline(int line) {
    if (line < 1 || line > kTextlines)
        Invalid("text line " + std::to_string(line));
}

LedgerTextline& Ledger::TextlineRef(int line) {
    CheckTextline(line);
    return textlines_[line - 1];
}

const LedgerTextline& Ledger::Textline(int line) const {
    CheckTextline(line);
    return textlines_[line - 1];
}

void Ledger::SetTextline(int line, std::string_view text) {
    TextlineRef(line).text.assign(text);
    Notify(GridChange::Of(GridChange::kTextlines));
}

void Ledger::SetTextlineFontName(int line, std::string_view name) {
    TextlineRef(line).fontName.assign(name);
    Notify(GridChange::Of(GridChange::kTextlines));
}

void Ledger::SetTextlineFontCharset(int line, int charset) {
    TextlineRef(line).fontCharset = charset;
    Notify(GridChange::Of(GridChange::kTextlines));
}

void Ledger::SetTextlineFontSize(int line, int points) {
    TextlineRef(line).fontSize = points;
    Notify(GridChange::Of(GridChange::kTextlines));
}

void Ledger::SetTextlineFontBold(int line, bool bold) {
    TextlineRef(line).fontBold = bold;
    Notify(GridChange::Of(GridChange::kTextlines));
}

void Ledger::ForceRefresh() {
    fetched_.clear();
    Notify(GridChange::Content(CellBlock::All()));
}

void Ledger::Clear() {
    own_.clear();
    fetched_.clear();
    rowColors_.clear();
    merges_.clear();
    selRow_ = 0;
    Notify(GridChange::Of(GridChange::kContent | GridChange::kLayout | GridChange::kCurrent));
}

void Ledger::UserClick(int row, int col) {
    SetRow(row);
    SetCol(col);
    SetSelRow(row);
}

void Ledger::UserDblClick(int row, int col) {
    UserClick(row, col);
    dblClick_.Emit();
}

int Ledger::UserKeyDown(int keyCode, int shift) {
    keyDown_.Emit(keyCode, shift);
    return keyCode;
}

}  // namespace orva
