// Which records each lookup and list code shows: the class's table, its
// groups, the columns beside code and name, and the dialog's caption.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "qt/dialogs/base_data_query.h"

namespace orva::qt {

// An item class of ItemLookUp / SubMesLookup: 1 customers, 2 departments,
// 3 employees, 4 items, 5 stocks, 7 units, 8 suppliers, 9 expense items,
// 20 and above auxiliary data kept in t_Item. Nothing for other classes.
std::optional<PickerSetup> ItemClassSetup(std::int32_t itemClass);
// Units of measure, of one unit group (0: every group).
PickerSetup UnitSetup(std::int32_t unitGroupId = 0);
PickerSetup CurrencySetup();
// A list code of the list window: 4 items, 7 units, 8 customers,
// 12 currencies. Nothing for other codes.
std::optional<PickerSetup> ListCodeSetup(std::int16_t listCode);

}  // namespace orva::qt
