// The dry run of an import: every row of a price list with what importing it
// would do. A row becomes a new entry, changes the unaudited entry that has
// its key (customer, item, unit, quantity band, currency, effective and
// expiry dates: the keys of the duplicate test), leaves an entry as it is,
// or is refused with its reason. Nothing is written here; WriteImport writes
// exactly the rows the plan says are to be written.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/price_entry.h"
#include "import/cell_table.h"
#include "import/column_match.h"
#include "orvasaleprice/variant.h"

namespace orva {
class AppConnection;
class ModuleContext;
}  // namespace orva

namespace orva::import {

enum class RowOutcome : std::uint8_t {
    kNew,        // a new entry
    kChange,     // changes the unaudited entry with the row's key
    kUnchanged,  // the entry with the row's key holds the row's values
    // Refused:
    kAudited,          // the entry with the row's key is audited
    kUnknownCode,      // a customer, item, unit or currency that is not there
    kNoDataRight,      // there, but outside the user's data rights
    kNoFunctionRight,  // the user may not add (or change) entries
    kBadNumber,        // a quantity, price, discount or lead time that is no number
    kBadDate,          // a date that is no date
    kExpiryBeforeEffective,
    kBadBand,       // the band ends before it starts
    kBelowFloor,    // below the minimum price; written only when chosen
    kDuplicateRow,  // an earlier row of the file has the same key
    kWriteFailed,   // refused by the database when written
    kCount
};

// The outcome's name as the preview and the summary show it (localised).
std::string OutcomeName(RowOutcome outcome);
// Whether rows of the outcome are written (a row below the floor only when
// the user chose so).
bool Writes(RowOutcome outcome);

// Why a row is refused, finer than its outcome: the reason's text is built
// from it (with the row's cells) when it is shown, not kept per row.
enum class Refusal : std::uint8_t {
    kNone,
    kCustomerUnknown,  // the customer's code: detail none
    kCustomerHidden,
    kLeafCustomerHidden,  // the customer the import runs on
    kItemUnknown,
    kItemHidden,
    kLeafItemHidden,
    kItemClass,  // a planning or feature item
    kUnitUnknown,
    kCurrencyUnknown,
    kCurrencyHidden,
    kBadNumber,  // detail: which number (0 from, 1 to, 2 price, 3 discount, 4 lead time)
    kBadDate,
    kExpiryBeforeEffective,
    kBadBand,
    kDuplicateRow,  // detail: the row number of the earlier row
    kAudited,
    kNoFunctionRight,
    kBelowFloor,
    kWriteDuplicate,  // the database already held the key when written
    kWriteAudited,
    kWriteNoNumber,
    kWriteError,  // detail: the index of the database's words in ImportPlan::errors
};

// The values a row writes, as numbers: rendered into a PriceEntry only when
// the row is written.
struct PlannedValues {
    std::int32_t custID = 0, itemID = 0, unitID = 0, currencyID = 0;
    double startQty = 0, endQty = 0, price = 0, discount = 0, leadTime = 0;
    std::int32_t quoteTime = 0, expireDate = 0;  // PackDate
};

// A date in four bytes, yyyymmdd, ordered as the dates are; 0 is none.
inline std::int32_t PackDate(const Date& d) {
    return d.year * 10000 + d.month * 100 + d.day;
}
inline Date UnpackDate(std::int32_t packed) {
    return Date{packed / 10000, packed / 100 % 100, packed % 100};
}

// What a change overwrites: the stored entry's number and the values that
// may differ from the row's (its key is the row's).
struct StoredValues {
    std::int32_t entryID = 0;
    double price = 0, discount = 0, leadTime = 0;
    bool used = false;
    std::string note;
};

struct PlannedRow {
    std::int64_t number = 0;  // the row number in the file
    CellSpan cells;           // as read, in ImportPlan::cells
    RowOutcome outcome = RowOutcome::kNew;
    Refusal refusal = Refusal::kNone;
    bool writeBelowFloor = false;  // the user's choice for a row below the floor
    std::int32_t stored = -1;      // a change: its index in ImportPlan::stored
    std::int64_t detail = 0;       // see Refusal
    PlannedValues values;          // a row with an entry: what is written
};

// The customer or item a file without that column belongs to: the leaf the
// import runs on (0: none).
struct ImportLeaf {
    std::int32_t custID = 0;
    std::int32_t itemID = 0;
};

struct ImportPlan {
    std::string file;                   // the base name, as messages name it
    std::vector<std::string> captions;  // the caption row, as read
    Columns columns;
    ImportLeaf leaf;
    std::deque<PlannedRow> rows;       // grows without copying what it holds
    CellTable cells;                   // every row's cells
    std::vector<StoredValues> stored;  // the entries the changes overwrite
    std::vector<std::string> errors;   // the database's words for rows it refused
    bool auditNew = false;             // new entries are written audited
    bool auditRightMissing = false;    // the company asks for it, the user may not

    std::int64_t Count(RowOutcome outcome) const;
    // Rows that will be written as the plan stands (choices included).
    std::int64_t ToWrite() const;
    // Every row is written or unchanged: nothing refused.
    bool AllAccepted() const;

    // Cell `i` of the row as read; empty past its last cell.
    std::string_view Cell(const PlannedRow& row, std::size_t i) const {
        return cells.Cell(row.cells, i);
    }
    // The cell of a field, without blanks at either end; empty when absent.
    std::string_view FieldCell(const PlannedRow& row, Field f) const;
    // Why the row is refused, in the session's language ("" when it is not).
    std::string Reason(const PlannedRow& row) const;
    // The entry the row writes (entryID: the entry changed), and for a change
    // the entry as stored.
    PriceEntry Entry(const PlannedRow& row) const;
    std::optional<PriceEntry> Stored(const PlannedRow& row) const;
};

// Reads `path` (sheet `sheet`, the first when empty) and plans every row
// against the database through `db`, with the rights and options of the
// session in `ctx`. A file that cannot be read, or lacks a column it needs,
// raises SourceError.
ImportPlan PlanImport(ModuleContext& ctx, AppConnection& db, const std::string& path,
                      const std::string& sheet, const ImportLeaf& leaf);

}  // namespace orva::import
