// What search all needs of the company database, beyond the criteria: which
// customers or items the user may see have price entries matching them, in
// the tree's code order; the ledger of one of them as the browse window
// loads it; its own code, name (and model); and the groups above it. The
// browse window's side supplies it, since it owns the statements and the
// data-rights fragments of the tree and the ledger.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "host/find/find_criteria.h"
#include "orvasaleprice/recordset.h"

namespace orva {

struct SearchAllRequest {
    bool itemTree = false;     // items (SearchOption 10), else customers (20)
    bool shortNumber = false;  // codes are short codes
    std::int32_t userID = 0;
    bool checkRights = false;  // add the data-rights joins for userID
    const CheckedCriteria* criteria = nullptr;
};

// A column of the customer or item itself (not of its price entries), for
// the fields of search all: the code, the name and the model.
bool IsLeafColumn(std::string_view column);

// Which rows of one customer's or item's ledger match, as search all tests
// them after its statement picked the customer or item: a criterion on its
// own fields (IsLeafColumn) is decided once on `own`, its record (nothing or
// an empty set: no match), and every ledger row takes that answer; the
// others are tested on each row. 1-based positions, in ledger order.
std::vector<long> MatchLeafLedger(const CheckedCriteria& criteria, const Recordset& ledger,
                                  const Recordset* own);

class SearchAllSource {
  public:
    virtual ~SearchAllSource() = default;
    // Ids of the visible customers or items with at least one price entry
    // that may match, in code order. Throws on a database error.
    virtual std::vector<std::int32_t> MatchingLeaves(const SearchAllRequest& request) = 0;
    // The first visible customer or item, in code order, whose own fields
    // match the criteria on them (nothing when no criterion is on them).
    virtual std::optional<std::int32_t> LeafMatchingOwnFields(const SearchAllRequest& request) = 0;
    // The leaf's ledger records, as the browse window loads them.
    virtual RecordsetPtr LeafLedger(bool itemTree, std::int32_t id) = 0;
    // One record of the leaf's own columns: FItemID, FNumber, FName (and
    // FModel for an item), FNumber the short code when asked for.
    virtual RecordsetPtr LeafRecord(const SearchAllRequest& request, std::int32_t id) = 0;
    // The ids of the groups above the leaf, the top-level group first.
    virtual std::vector<std::int32_t> GroupPath(std::int32_t id) = 0;
};

}  // namespace orva
