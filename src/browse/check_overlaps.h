// "Check overlaps": every pair of overlapping price entries (engine/
// price_overlap.h) under a node of the browse window's tree, among the
// entries the ledger would show the current user.
//
// Statements read the entries in the order of the key index (item,
// customer, unit), with the ledger's own joins and data-rights fragments, a
// few tens of thousands of rows at a time and always whole runs of one item
// and customer; a sweep over each such read then finds its pairs, so the
// database never joins the entries with themselves and the memory a check
// takes does not grow with the company. The codes and names of the customers, items,
// units and currencies the pairs name are read afterwards, by ID, and held
// once beside the pairs (a company can hold hundreds of thousands of pairs).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "browse/tvw_builder.h"
#include "session/module_context.h"

namespace orva {

// One entry of an overlapping pair as the list shows it.
struct OverlapSide {
    std::int32_t entryID = 0;
    double startQty = 0;
    double endQty = 0;  // 0: no upper end
    double price = 0;
    Date quoteTime;
    Date expireDate;
    bool audited = false;
};

// Two entries of one customer, item, unit and currency that overlap; `first`
// takes effect no later than `second`.
struct OverlapRow {
    std::int32_t custID = 0;
    std::int32_t itemID = 0;
    std::int32_t unitID = 0;
    std::int32_t currencyID = 0;
    OverlapSide first;
    OverlapSide second;
};

// Code and name of a customer, item, unit or currency.
struct RecordName {
    std::string number;  // short code where the company uses short codes
    std::string name;
};

// The pairs, with the codes and names of what they name, each held once.
struct OverlapList {
    std::vector<OverlapRow> rows;
    std::unordered_map<std::int32_t, RecordName> customers, items, units, currencies;

    // The record's code and name; empty ones for an ID not read.
    static const RecordName& Of(const std::unordered_map<std::int32_t, RecordName>& names,
                                std::int32_t id);
};

// The statement for the tree (item tree when byItem) and a condition on the
// scope ("" for the whole company; else a condition on u1, v1 or t1 that
// begins with "AND "), for the user `rights` describes: the columns the rule
// needs, with price and audit flag, in order of item, customer and unit.
// With `top`, only that many rows first.
std::string CheckOverlapsSql(bool byItem, const std::string& scope,
                             const tvwBuilder::RightsContext& rights, std::size_t top = 0);

// Rows one statement of the check reads at most (beyond them, the rows of
// one item and customer whose run is longer).
inline constexpr std::size_t kOverlapRowsPerRead = 32768;

// The pairs under `node` of the customer tree or the item tree: the root
// (the whole company), a group (every customer or item whose code lies below
// the group's code) or a leaf (one customer or item), with the current
// user's data rights. In order of customer, item, unit, currency and dates
// (by ID; codes short where the company uses them). Throws
// what the connection throws.
OverlapList CheckOverlaps(ModuleContext& ctx, bool byItem, const TreeNodeKey& node,
                          std::size_t rowsPerRead = kOverlapRowsPerRead);

}  // namespace orva
