// The values of a price list's cells as people and programs write them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "orvasaleprice/variant.h"

namespace orva::import {

// A number: "1234.5", "1,234.50" (thousands separated by commas), " 12 ",
// "-3". Nullopt for anything else, an empty text included.
std::optional<double> ParseNumber(std::string_view text);

// A date: "2024-03-01", "2024/3/1", "2024.03.01", "20240301",
// "2024年3月1日", any of them followed by a time, or a spreadsheet's serial
// day number (45352 is 2024-03-01), as an .xlsx file stores a date cell.
// Nullopt for anything that is no real date.
std::optional<Date> ParseDate(std::string_view text);

}  // namespace orva::import
