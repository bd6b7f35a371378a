// Buffers of record set cells (column after column) for the engines'
// readers.
#pragma once

#include <cstddef>
#include <vector>

#include "host/variant.h"

namespace orva::tsql {

// Room for `count` cells in an empty vector (huge pages for large ones).
void ReserveCells(std::vector<Variant>& cells, std::size_t count);

// `count` null cells.
std::vector<Variant> NullCells(std::size_t count);

}  // namespace orva::tsql
