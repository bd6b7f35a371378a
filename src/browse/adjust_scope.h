// The entries "Adjust prices" works on: every price entry under a node of
// the browse window's tree that the ledger would show the current user
// (the ledger's joins and data rights), then those of one unit, one
// currency and in force on one day.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "browse/tvw_builder.h"
#include "engine/price_adjust.h"
#include "session/module_context.h"

namespace orva {

// The entries under `node` of the item tree (byItem) or the customer tree:
// the root, a group (every customer or item whose code lies below the
// group's) or a leaf; codes short where the company uses them. In order of
// customer code, item code, unit, currency, band and effective date. Throws
// what the connection throws.
std::vector<AdjustEntry> AdjustScopeEntries(ModuleContext& ctx, bool byItem,
                                            const TreeNodeKey& node);

// Which of them an adjustment takes: 0 for any unit or currency; an entry
// in force on `validOn` has begun by that day and expires after it (a sales
// bill takes the same entries).
struct AdjustFilter {
    std::int32_t unitID = 0;
    std::int32_t currencyID = 0;
    std::optional<Date> validOn;
};
std::vector<AdjustEntry> FilterAdjustEntries(const std::vector<AdjustEntry>& entries,
                                             const AdjustFilter& filter);

}  // namespace orva
