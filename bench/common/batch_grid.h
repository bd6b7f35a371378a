// The batch editor's grid of a benchmark's batch: the group, an item, unit
// 101, band 0-100, the price in currency 1, lead time 3, effective from
// `quote` to 2100-01-01, note "bench".
#pragma once

#include <string>

#include "host/controls/spread.h"

namespace orva::bench {

void FillBatchGrid(orva::Spread& grid, int group, int item, double price, const std::string& quote);

}  // namespace orva::bench
