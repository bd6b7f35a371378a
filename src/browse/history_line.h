// One line of the price history as the browse window lists it: the time,
// who (the module's user by name, else the database login), the entry, what
// happened and each changed field's old → new value.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "host/db/price_history.h"

namespace orva {

std::string HistoryLine(const HistoryRow& row, const std::map<std::int32_t, std::string>& users);

}  // namespace orva
