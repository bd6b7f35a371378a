// Client-side static record set: the whole result in memory, a true
// RecordCount, O(1) moves, Filter criteria strings, Delete of the current row,
// fields by name (case-insensitive) or by ordinal. Member names follow the
// record set interface the module's callers use.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "orvasaleprice/export.h"
#include "orvasaleprice/variant.h"

namespace orva {

// Compiled criteria and the stored values: kept inside the library, so a
// host sees only the record set's own interface.
class RecordFilter;
class RecordStore;

// One field of the current row.
class ORVA_API Field {
  public:
    Field(std::string_view name, const Variant& value) : name_(name), value_(&value) {}
    const Variant& Value() const { return *value_; }
    std::string_view Name() const { return name_; }

  private:
    std::string_view name_;
    const Variant* value_;
};

// Moves and reads follow the record set rules the module's callers rely on:
// - an empty set has BOF and EOF both true, and every move on it is an error;
// - MoveNext / Move(n > 0) at EOF and MovePrevious / Move(n < 0) at BOF are
//   errors; Move(n) past either end stops at EOF or BOF;
// - Delete removes the current row; it stays current, BOF and EOF stay
//   false and its fields cannot be read, until the next move: MoveNext then
//   lands on the row that followed it, MovePrevious on the one before;
// - Filter and clearing it move to the first row of the new view.
// Errors are ComError: kNoCurrentRecord, kItemNotFound, kBadFilter, and
// kObjectClosed after Close.
class ORVA_API Recordset {
  public:
    static constexpr std::int32_t kObjectClosed = 3704;

    // cells holds rows one after another, columns.size() values per row.
    // Throws ComError kGeneric when cells is not a whole number of rows.
    Recordset(std::vector<std::string> columns, std::vector<Variant> cells);
    // cells holds columns one after another, `rows` values per column: the
    // stored order, taken over without a copy (database readers collect by
    // column). Throws ComError kGeneric when the sizes do not agree.
    struct ByColumn {};
    Recordset(ByColumn, std::vector<std::string> columns, std::vector<Variant> cells,
              std::size_t rows);
    // Takes over the values a reader filled row by row. Throws ComError
    // kGeneric when the store's width is not the number of columns.
    Recordset(std::vector<std::string> columns, RecordStore store);
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // "EOF" is a C library macro, hence the trailing underscore.
    bool EOF_() const;
    bool BOF() const;
    // Rows in the current (filtered) view, deleted rows excluded.
    long RecordCount() const;

    // Throws ComError kItemNotFound for an unknown name or ordinal, and
    // kNoCurrentRecord at BOF/EOF or on a deleted row.
    Field Fields(std::string_view name) const;
    Field Fields(int ordinal) const;
    int FieldCount() const { return static_cast<int>(columns_.size()); }
    const std::string& FieldName(int ordinal) const;

    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    void Move(long n);
    // 0-based position in the view; -1 at BOF, RecordCount() at EOF. On a
    // deleted current row: the position of the row that followed it.
    long AbsolutePosition() const { return pos_; }

    // Criteria string ("FItemID=3 AND FName LIKE 'a*'"); "" removes the filter.
    // Moves to the first row of the result. Throws ComError kBadFilter naming
    // the criteria when it does not parse.
    void Filter(std::string_view criteria);
    const std::string& FilterText() const { return filterText_; }

    // Removes the current row from the client set; it stays current (but
    // unreadable) until the next move.
    void Delete();
    void Close();
    bool IsOpen() const { return open_; }

    // Ordinal of a column by name (case-insensitive; the first of equal
    // names), -1 when absent.
    int ColumnIndex(std::string_view name) const;
    // Direct access for fast readers (ledger painting): row of the view.
    // Throws ComError kItemNotFound outside the view or the columns.
    const Variant& Cell(long viewRow, int col) const;

  private:
    struct NoCaseHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const;
    };
    struct NoCaseEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };

    void CheckOpen() const;
    void CheckMovable() const;
    [[noreturn]] void NoCurrentRecord(const char* source) const;
    const Variant& Current(int col) const;
    void Rebuild();
    void IndexColumns();
    // A stored row regardless of filter and deletion; not checked.
    const Variant& StoredCell(std::size_t row, int col) const;

    std::vector<std::string> columns_;
    std::unordered_map<std::string, int, NoCaseHash, NoCaseEqual> index_;
    std::unique_ptr<RecordStore> store_;
    std::vector<std::uint32_t> view_;  // indices of visible rows
    std::vector<bool> deleted_;
    std::unique_ptr<RecordFilter> filter_;
    std::string filterText_;
    long pos_ = -1;
    bool currentDeleted_ = false;
    bool open_ = true;
};

using RecordsetPtr = std::shared_ptr<Recordset>;

}  // namespace orva
