// Which rows of the ledger overlap another row of it: two entries of the
// same customer, item, unit and currency whose bands and periods intersect
// (engine/price_overlap.h), audited or not. Worked out from the record set
// the ledger already holds, beside it, so that the ledger's statement and the
// texts of its cells (which print and export read) stay as they are.
//
// The ledger's statement names the unit and the currency, not their IDs:
// entries are of one unit and one currency here when those names are equal
// (the units of one item come from its unit group, whose names differ).
#pragma once

#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

#include "orvasaleprice/recordset.h"

namespace orva {

class LedgerOverlaps {
  public:
    // Marks the records (by position in the record set's view) that overlap
    // another of them. A record set without the columns the rule reads gets
    // no marks.
    void Mark(const Recordset& records);
    void Clear() { others_.clear(); }

    bool Marked(long record) const { return others_.count(record) != 0; }
    // The records that `record` overlaps, in the order of the view.
    std::span<const long> Others(long record) const;
    std::size_t MarkedCount() const { return others_.size(); }

  private:
    std::unordered_map<long, std::vector<long>> others_;
};

}  // namespace orva
