#include "host/recordset.h"

#include "host/com_error.h"
#include "host/recordset_filter.h"
#include "host/text_util.h"

namespace orva {

Recordset::Recordset(std::vector<std::string> columns, std::vector<Variant> cells)
    : columns_(std::move(columns)), cells_(std::move(cells)) {
    std::size_t rows = columns_.empty() ? 0 : cells_.size() / columns_.size();
    deleted_.assign(rows, false);
    Rebuild();
}

Recordset::~Recordset() = default;

void Recordset::CheckOpen() const {
    if (!open_) {
        throw ComError(3704, "Operation is not allowed when the object is closed.", "ADODB.Recordset");
    }
}

void Recordset::Rebuild() {
    view_.clear();
    std::size_t rows = deleted_.size();
    view_.reserve(rows);
    for (std::size_t r = 0; r < rows; ++r) {
        if (deleted_[r]) continue;
        if (filter_ && !filter_->Matches(*this, r)) continue;
        view_.push_back(static_cast<std::uint32_t>(r));
    }
    pos_ = view_.empty() ? -1 : 0;
    currentDeleted_ = false;
}

bool Recordset::EOF_() const {
    CheckOpen();
    return view_.empty() || pos_ >= static_cast<long>(view_.size());
}

bool Recordset::BOF() const {
    CheckOpen();
    return view_.empty() || pos_ < 0;
}

long Recordset::RecordCount() const {
    CheckOpen();
    return static_cast<long>(view_.size());
}

int Recordset::ColumnIndex(std::string_view name) const {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (EqualsNoCase(columns_[i], name)) return static_cast<int>(i);
    }
    return -1;
}

const Variant& Recordset::Current(int col) const {
    CheckOpen();
    if (currentDeleted_) {
        throw ComError(ComError::kNoCurrentRecord, "The current record has been deleted.",
                       "ADODB.Field");
    }
    if (BOF() || EOF_()) {
        throw ComError(ComError::kNoCurrentRecord,
                       "Either BOF or EOF is True, or the current record has been deleted. "
                       "Requested operation requires a current record.",
                       "ADODB.Field");
    }
    return cells_[static_cast<std::size_t>(view_[pos_]) * columns_.size() + col];
}

Field Recordset::Fields(std::string_view name) const {
    int i = ColumnIndex(name);
    if (i < 0) {
        throw ComError(ComError::kItemNotFound,
                       "Item cannot be found in the collection corresponding to the requested "
                       "name or ordinal: " + std::string(name),
                       "ADODB.Fields");
    }
    return Field(columns_[i], Current(i));
}

Field Recordset::Fields(int ordinal) const {
    if (ordinal < 0 || ordinal >= FieldCount()) {
        throw ComError(ComError::kItemNotFound,
                       "Item cannot be found in the collection corresponding to the requested "
                       "name or ordinal: " + std::to_string(ordinal),
                       "ADODB.Fields");
    }
    return Field(columns_[ordinal], Current(ordinal));
}

const std::string& Recordset::FieldName(int ordinal) const { return columns_.at(ordinal); }

void Recordset::CheckMovable() const {
    CheckOpen();
    if (view_.empty()) {
        throw ComError(ComError::kNoCurrentRecord,
                       "Either BOF or EOF is True, or the current record has been deleted. "
                       "Requested operation requires a current record.",
                       "ADODB.Recordset");
    }
}

void Recordset::MoveFirst() {
    CheckMovable();
    pos_ = 0;
    currentDeleted_ = false;
}

void Recordset::MoveLast() {
    CheckMovable();
    pos_ = static_cast<long>(view_.size()) - 1;
    currentDeleted_ = false;
}

void Recordset::MoveNext() { Move(1); }
void Recordset::MovePrevious() { Move(-1); }

void Recordset::Move(long n) {
    CheckMovable();
    if ((n > 0 && EOF_() && !currentDeleted_) || (n < 0 && BOF())) {
        throw ComError(ComError::kNoCurrentRecord,
                       "Either BOF or EOF is True, or the current record has been deleted. "
                       "Requested operation requires a current record.",
                       "ADODB.Recordset");
    }
    long size = static_cast<long>(view_.size());
    long target = pos_ + n;
    if (target < -1) target = -1;
    if (target > size) target = size;
    pos_ = target;
    currentDeleted_ = false;
}

void Recordset::Filter(std::string_view criteria) {
    CheckOpen();
    std::string_view c = Trim(criteria);
    if (c.empty()) {
        filter_.reset();
        filterText_.clear();
    } else {
        filter_ = std::make_unique<RecordFilter>(RecordFilter::Compile(c, columns_));
        filterText_ = std::string(criteria);
    }
    Rebuild();
}

void Recordset::Delete() {
    CheckOpen();
    if (BOF() || EOF_() || currentDeleted_) {
        throw ComError(ComError::kNoCurrentRecord,
                       "Either BOF or EOF is True, or the current record has been deleted. "
                       "Requested operation requires a current record.",
                       "ADODB.Recordset");
    }
    std::uint32_t row = view_[pos_];
    deleted_[row] = true;
    // The row leaves the view; it stays current (unreadable) until the next
    // move, which continues from where it stood.
    view_.erase(view_.begin() + pos_);
    currentDeleted_ = true;
    --pos_;
}

void Recordset::Close() {
    CheckOpen();
    open_ = false;
}

const Variant& Recordset::Cell(long viewRow, int col) const {
    return cells_[static_cast<std::size_t>(view_.at(viewRow)) * columns_.size() + col];
}

const Variant& Recordset::RawCell(std::size_t row, int col) const {
    return cells_[row * columns_.size() + col];
}

}  // namespace orva
