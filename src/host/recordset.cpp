#include "orvasaleprice/recordset.h"

#include "host/base/record_store.h"
#include "host/base/text_util.h"
#include "host/recordset_filter.h"
#include "orvasaleprice/com_error.h"

namespace orva {

namespace {
char Up(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

std::string ItemNotFound(std::string_view what) {
    return "Item cannot be found in the collection corresponding to the requested name or "
           "ordinal: " +
           std::string(what);
}
}  // namespace

std::size_t Recordset::NoCaseHash::operator()(std::string_view s) const {
    std::size_t h = 1469598103934665603ull;  // FNV-1a over upper-cased bytes
    for (char c : s) {
        h ^= static_cast<unsigned char>(Up(c));
        h *= 1099511628211ull;
    }
    return h;
}

bool Recordset::NoCaseEqual::operator()(std::string_view a, std::string_view b) const {
    return EqualsNoCase(a, b);
}

void Recordset::IndexColumns() {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        index_.emplace(columns_[i], static_cast<int>(i));  // the first of equal names wins
    }
    deleted_.assign(store_->Rows(), false);
    Rebuild();
}

namespace {
std::size_t RowsOf(std::size_t width, std::size_t cells) {
    if (width == 0 ? cells != 0 : cells % width != 0) {
        throw ComError(ComError::kGeneric,
                       "A record set of " + std::to_string(width) + " columns cannot hold " +
                           std::to_string(cells) + " values.",
                       "ADODB.Recordset");
    }
    return width == 0 ? 0 : cells / width;
}
}  // namespace

Recordset::Recordset(std::vector<std::string> columns, std::vector<Variant> cells)
    : columns_(std::move(columns)),
      store_(
          std::make_unique<RecordStore>(columns_.size(), RowsOf(columns_.size(), cells.size()))) {
    const std::size_t width = columns_.size();
    const std::size_t rows = RowsOf(width, cells.size());
    for (std::size_t r = 0; r < rows; ++r)
        store_->AppendRow([&](std::size_t c) { return std::move(cells[r * width + c]); });
    IndexColumns();
}

Recordset::Recordset(ByColumn, std::vector<std::string> columns, std::vector<Variant> cells,
                     std::size_t rows)
    : columns_(std::move(columns)), store_(std::make_unique<RecordStore>(columns_.size(), 0)) {
    const std::size_t width = columns_.size();
    if (cells.size() != width * rows) {
        throw ComError(ComError::kGeneric,
                       "A record set of " + std::to_string(width) + " columns and " +
                           std::to_string(rows) + " rows cannot hold " +
                           std::to_string(cells.size()) + " values.",
                       "ADODB.Recordset");
    }
    if (width > 0)
        *store_ = RecordStore(width, std::move(cells), rows);
    IndexColumns();
}

Recordset::Recordset(std::vector<std::string> columns, RecordStore store)
    : columns_(std::move(columns)), store_(std::make_unique<RecordStore>(std::move(store))) {
    if (store_->Width() != columns_.size()) {
        throw ComError(ComError::kGeneric,
                       "A record set of " + std::to_string(columns_.size()) +
                           " columns cannot hold rows of " + std::to_string(store_->Width()) +
                           " values.",
                       "ADODB.Recordset");
    }
    IndexColumns();
}

Recordset::~Recordset() = default;

void Recordset::CheckOpen() const {
    if (!open_) {
        throw ComError(kObjectClosed, "Operation is not allowed when the object is closed.",
                       "ADODB.Recordset");
    }
}

void Recordset::NoCurrentRecord(const char* source) const {
    throw ComError(ComError::kNoCurrentRecord,
                   "Either BOF or EOF is True, or the current record has been deleted. "
                   "Requested operation requires a current record.",
                   source);
}

void Recordset::Rebuild() {
    view_.clear();
    std::size_t rows = deleted_.size();
    view_.reserve(rows);
    for (std::size_t r = 0; r < rows; ++r) {
        if (deleted_[r])
            continue;
        if (filter_ && !filter_->Matches(*store_, r))
            continue;
        view_.push_back(static_cast<std::uint32_t>(r));
    }
    pos_ = view_.empty() ? -1 : 0;
    currentDeleted_ = false;
}

bool Recordset::EOF_() const {
    CheckOpen();
    if (currentDeleted_)
        return false;
    return view_.empty() || pos_ >= static_cast<long>(view_.size());
}

bool Recordset::BOF() const {
    CheckOpen();
    if (currentDeleted_)
        return false;
    return view_.empty() || pos_ < 0;
}

long Recordset::RecordCount() const {
    CheckOpen();
    return static_cast<long>(view_.size());
}

int Recordset::ColumnIndex(std::string_view name) const {
    auto it = index_.find(name);
    return it == index_.end() ? -1 : it->second;
}

const Variant& Recordset::StoredCell(std::size_t row, int col) const {
    return store_->At(row, static_cast<std::size_t>(col));
}

const Variant& Recordset::Current(int col) const {
    if (currentDeleted_) {
        throw ComError(ComError::kNoCurrentRecord, "The current record has been deleted.",
                       "ADODB.Field");
    }
    if (view_.empty() || pos_ < 0 || pos_ >= static_cast<long>(view_.size())) {
        NoCurrentRecord("ADODB.Field");
    }
    return StoredCell(view_[static_cast<std::size_t>(pos_)], col);
}

Field Recordset::Fields(std::string_view name) const {
    CheckOpen();
    int i = ColumnIndex(name);
    if (i < 0)
        throw ComError(ComError::kItemNotFound, ItemNotFound(name), "ADODB.Fields");
    return Field(columns_[i], Current(i));
}

Field Recordset::Fields(int ordinal) const {
    CheckOpen();
    if (ordinal < 0 || ordinal >= FieldCount()) {
        throw ComError(ComError::kItemNotFound, ItemNotFound(std::to_string(ordinal)),
                       "ADODB.Fields");
    }
    return Field(columns_[ordinal], Current(ordinal));
}

const std::string& Recordset::FieldName(int ordinal) const {
    if (ordinal < 0 || ordinal >= FieldCount()) {
        throw ComError(ComError::kItemNotFound, ItemNotFound(std::to_string(ordinal)),
                       "ADODB.Fields");
    }
    return columns_[ordinal];
}

void Recordset::CheckMovable() const {
    CheckOpen();
    // A deleted current row may be left even when it was the last one.
    if (view_.empty() && !currentDeleted_)
        NoCurrentRecord("ADODB.Recordset");
}

void Recordset::MoveFirst() {
    CheckOpen();
    if (view_.empty())
        NoCurrentRecord("ADODB.Recordset");
    pos_ = 0;
    currentDeleted_ = false;
}

void Recordset::MoveLast() {
    CheckOpen();
    if (view_.empty())
        NoCurrentRecord("ADODB.Recordset");
    pos_ = static_cast<long>(view_.size()) - 1;
    currentDeleted_ = false;
}

void Recordset::MoveNext() {
    Move(1);
}
void Recordset::MovePrevious() {
    Move(-1);
}

void Recordset::Move(long n) {
    CheckMovable();
    long size = static_cast<long>(view_.size());
    long target;
    if (currentDeleted_) {
        // pos_ is where the row after the deleted one now stands.
        if (n == 0)
            NoCurrentRecord("ADODB.Recordset");
        target = n > 0 ? pos_ + n - 1 : pos_ + n;
    } else {
        bool atEof = pos_ >= size;
        bool atBof = pos_ < 0;
        if ((n >= 0 && atEof) || (n <= 0 && atBof))
            NoCurrentRecord("ADODB.Recordset");
        target = pos_ + n;
    }
    if (target < -1)
        target = -1;
    if (target > size)
        target = size;
    pos_ = target;
    currentDeleted_ = false;
}

void Recordset::Filter(std::string_view criteria) {
    CheckOpen();
    if (Trim(criteria).empty()) {
        filter_.reset();
        filterText_.clear();
    } else {
        // Compiled first: a criteria that does not parse leaves the view as it was.
        auto compiled = std::make_unique<RecordFilter>(RecordFilter::Compile(criteria, columns_));
        filter_ = std::move(compiled);
        filterText_ = std::string(criteria);
    }
    Rebuild();
}

void Recordset::Delete() {
    CheckOpen();
    if (currentDeleted_ || view_.empty() || pos_ < 0 || pos_ >= static_cast<long>(view_.size())) {
        NoCurrentRecord("ADODB.Recordset");
    }
    deleted_[view_[static_cast<std::size_t>(pos_)]] = true;
    view_.erase(view_.begin() + pos_);
    currentDeleted_ = true;
}

void Recordset::Close() {
    CheckOpen();
    open_ = false;
}

const Variant& Recordset::Cell(long viewRow, int col) const {
    if (viewRow < 0 || viewRow >= static_cast<long>(view_.size()) || col < 0 ||
        col >= FieldCount()) {
        throw ComError(ComError::kItemNotFound,
                       ItemNotFound(std::to_string(viewRow) + ", " + std::to_string(col)),
                       "ADODB.Recordset");
    }
    return StoredCell(view_[static_cast<std::size_t>(viewRow)], col);
}

}  // namespace orva
