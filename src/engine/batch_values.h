// What the batch operations (add, update, delete over a group) share: the
// grid values they read, the member list of a group, their own connection
// and their message boxes.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/price_entry.h"
#include "host/host_ui.h"
#include "orvasaleprice/recordset.h"
#include "session/module_context.h"

namespace orva {

class AppConnection;
class Spread;

namespace batch {

// The number in column 3 of the row (the stored value), 0 when it holds none.
double StoredNumber(const Spread& grid, std::int32_t row);
// The same as a 32-bit ID.
std::int32_t StoredId(const Spread& grid, std::int32_t row);
// The cell's text as a date, "yyyy-mm-dd"; ComError kTypeMismatch when the
// text is not a real date.
std::string CellDate(const Spread& grid, std::int32_t col, std::int32_t row);

// The entry a batch writes for every member: the grid's stored values
// (column 3), with the expiry date and the note as the grid shows them
// (column 2).
PriceEntry BatchEntry(const Spread& grid);

// The member IDs of a detail query's record set (column FItemID), in its
// order; none for a missing or empty set.
std::vector<std::int32_t> MemberIDs(const RecordsetPtr& members);

// A connection of the operation's own, created by ProgID.
std::shared_ptr<AppConnection> NewConnection(ModuleContext& ctx);

// A message box titled "Tesmar提示" (localised); text is shown as given.
MsgResult Notice(ModuleContext& ctx, const std::string& text, MsgButtons buttons = MsgButtons::kOK,
                 MsgIcon icon = MsgIcon::kNone);
// "<prefix><count><suffix>", prefix and suffix already localised.
std::string CountText(const std::string& prefix, std::int64_t count, const std::string& suffix);

}  // namespace batch
}  // namespace orva
