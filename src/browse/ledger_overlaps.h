// Which rows of the ledger overlap another row of it: two entries of the
// same customer, item, unit and currency whose bands and periods intersect
// (engine/price_overlap.h), audited or not. Worked out from the record set
// the ledger already holds, beside it, so that the ledger's statement and the
// texts of its cells (which print and export read) stay as they are.
//
// The ledger's statement names the unit and the currency, not their IDs:
// entries are of one unit and one currency here when those names are equal
// (the units of one item come from its unit group, whose names differ).
//
// The ledger is ordered by code, so the rows of one customer and item stand
// together: a row's marks are worked out when it is first asked about, for
// the rows of its customer and item only, and loading a ledger costs one
// pass that checks that order. A record set in another order (sorted by the
// find dialog) is worked out whole on the first question.
#pragma once

#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

#include "orvasaleprice/recordset.h"

namespace orva {

class LedgerOverlaps {
  public:
    // Takes the records to mark (by position in the record set's view); not
    // owned: the caller keeps them while it asks. Null, or a record set
    // without the columns the rule reads, marks nothing.
    void Reset(const Recordset* records);

    // Whether `record` overlaps another record.
    bool Marked(long record);
    // The records that `record` overlaps, in the order of the view.
    std::span<const long> Others(long record);

  private:
    struct Ordinals {
        int entry = -1, cust = -1, item = -1, unit = -1, currency = -1;
        int start = -1, end = -1, from = -1, to = -1;
    };
    bool SamePair(long a, long b) const;
    // Works out the records from `first` to `last` (included) together.
    void WorkOut(long first, long last);
    void WorkOutAround(long record);

    const Recordset* records_ = nullptr;
    Ordinals o_;
    long count_ = 0;
    bool together_ = true;  // the rows of each customer and item stand together
    std::vector<bool> done_;
    std::unordered_map<long, std::vector<long>> others_;
};

}  // namespace orva
