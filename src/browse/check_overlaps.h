// "Check overlaps": every pair of overlapping price entries (engine/
// price_overlap.h) under a node of the browse window's tree, among the
// entries the ledger would show the current user.
//
// One statement reads the entries in order of customer, item, unit, currency
// and effective date, with the ledger's own joins and data-rights fragments;
// a sweep over that order then finds the pairs, so the database never joins
// the entries with themselves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "browse/tvw_builder.h"
#include "session/module_context.h"

namespace orva {

// One entry of an overlapping pair as the list shows it.
struct OverlapSide {
    std::int32_t entryID = 0;
    double startQty = 0;
    double endQty = 0;
    double price = 0;
    std::string quoteTime;   // yyyy-mm-dd
    std::string expireDate;  // yyyy-mm-dd
    bool audited = false;
};

// Two entries that overlap; `first` takes effect no later than `second`.
struct OverlapRow {
    std::int32_t custID = 0;
    std::int32_t itemID = 0;
    std::int32_t unitID = 0;
    std::int32_t currencyID = 0;
    std::string custNumber;  // short codes where the company uses them
    std::string custName;
    std::string itemNumber;
    std::string itemName;
    std::string unitName;
    std::string currencyName;
    OverlapSide first;
    OverlapSide second;
};

// The statement for the tree (item tree when byItem) and a condition on the
// scope ("" for the whole company; else a condition on u1, v1 or t1 that
// begins with "AND "), for the user `rights` describes.
std::string CheckOverlapsSql(bool byItem, bool shortNumber, const std::string& scope,
                             const tvwBuilder::RightsContext& rights);

// The pairs under `node` of the customer tree or the item tree: the root
// (the whole company), a group (every customer or item whose code lies below
// the group's code) or a leaf (one customer or item), with the current
// user's data rights. In order of customer, item, unit and currency. Throws
// what the connection throws.
std::vector<OverlapRow> CheckOverlaps(ModuleContext& ctx, bool byItem, const TreeNodeKey& node);

}  // namespace orva
