// How values are written into T-SQL text. Every statement the module builds
// goes through these helpers so that the same value is always written the
// same way:
//   - IDs and flags unquoted in decimal;
//   - numbers (quantities, prices, rates, discounts) unquoted, in the shortest
//     text that reads back to the same double, always in the C locale;
//   - dates between single quotes as 'yyyy-mm-dd';
//   - text between single quotes with every single quote doubled, so a value
//     such as O'Brien or "a';DROP" stays one literal;
//   - FBrNo is always '0';
//   - long statements are joined with CR LF and end without a terminator.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "orvasaleprice/variant.h"

namespace orva {

// Line break between the fragments of a longer statement.
inline constexpr std::string_view kCrLf = "\r\n";
// The literal written for FBrNo in every row and condition.
inline constexpr std::string_view kFBrNo = "'0'";

// 42 -> "42", -7 -> "-7".
std::string SqlId(std::int64_t id);
// 0 or 1, unquoted.
std::string SqlFlag(bool on);
// 12.5 -> "12.5", 80.0 -> "80", 0.1 -> "0.1"; never a decimal comma.
// Infinity and NaN have no T-SQL literal: ComError kOverflow.
std::string SqlNumber(double value);
// Date{2024,3,1} -> "'2024-03-01'".
std::string SqlDate(const Date& date);
// A date held as text ("2024-3-1", "2024/03/01", "2024-03-01 00:00:00")
// -> "'2024-03-01'"; a text that is not a real date: ComError kTypeMismatch.
std::string SqlDate(std::string_view text);
// The current date, as SqlDate writes it.
std::string SqlToday();
// O'Brien -> "'O''Brien'".
std::string SqlText(std::string_view text);
// Fragments joined with CR LF, no trailing break.
std::string SqlLines(std::initializer_list<std::string_view> fragments);

}  // namespace orva
