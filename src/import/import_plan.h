// The dry run of an import: every row of a price list with what importing it
// would do. A row becomes a new entry, changes the unaudited entry that has
// its key (customer, item, unit, quantity band, currency, effective and
// expiry dates: the keys of the duplicate test), leaves an entry as it is,
// or is refused with its reason. Nothing is written here; WriteImport writes
// exactly the rows the plan says are to be written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/price_entry.h"
#include "import/column_match.h"

namespace orva {
class AppConnection;
class ModuleContext;
}  // namespace orva

namespace orva::import {

enum class RowOutcome {
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

struct PlannedRow {
    std::int64_t number = 0;         // the row number in the file
    std::vector<std::string> cells;  // as read
    RowOutcome outcome = RowOutcome::kNew;
    std::string reason;  // for a refused row, in the session's language
    PriceEntry entry;    // what is written (entryID: the entry changed)
    // The entry a change overwrites, as stored; none for a new entry.
    std::optional<PriceEntry> stored;
    bool writeBelowFloor = false;  // the user's choice for a row below the floor
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
    std::vector<PlannedRow> rows;
    bool auditNew = false;           // new entries are written audited
    bool auditRightMissing = false;  // the company asks for it, the user may not

    std::int64_t Count(RowOutcome outcome) const;
    // Rows that will be written as the plan stands (choices included).
    std::int64_t ToWrite() const;
    // Every row is written or unchanged: nothing refused.
    bool AllAccepted() const;
};

// Reads `path` (sheet `sheet`, the first when empty) and plans every row
// against the database through `db`, with the rights and options of the
// session in `ctx`. A file that cannot be read, or lacks a column it needs,
// raises SourceError.
ImportPlan PlanImport(ModuleContext& ctx, AppConnection& db, const std::string& path,
                      const std::string& sheet, const ImportLeaf& leaf);

}  // namespace orva::import
