// The kind of a spread cell and its limits, and the checks a cell makes on
// what the user types into it. Text set by code is never checked.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orva {

enum class CellKind {
    kText,        // free text, optionally with a maximum length
    kStaticText,  // caption: shown, never edited by the user
    kDecimal,     // number with a fixed count of decimal places and a range
    kInteger,     // whole number with a range
    kDate,        // year-month-day with a four-digit year, within a range
};

enum class HAlign { kDefault, kLeft, kRight, kCenter };

struct CellType {
    CellKind kind = CellKind::kText;
    int maxLength = 0;      // text: most characters the user may type, 0 = no limit
    int decimalPlaces = 0;  // decimal
    double min = 0;         // decimal and integer, inclusive
    double max = 0;
    std::string minDate;  // date, "yyyy-mm-dd", inclusive
    std::string maxDate;

    static CellType Text(int maxLength = 0);
    static CellType StaticText();
    static CellType Decimal(int places, double min, double max);
    static CellType Integer(long long min, long long max);
    static CellType Date(std::string_view minDate = "1900-01-01",
                         std::string_view maxDate = "9999-01-01");

    bool IsNumeric() const { return kind == CellKind::kDecimal || kind == CellKind::kInteger; }
    // Numbers right, everything else left.
    HAlign NaturalAlignment() const { return IsNumeric() ? HAlign::kRight : HAlign::kLeft; }

    // What a cell of this type keeps when the user types `typed`, or nothing
    // when the cell refuses it: letters or a second point in a number, more
    // decimals than the places, a value outside the range, an impossible or
    // out-of-range date, text over the maximum length, any text in a static
    // cell. Numbers are kept in plain form ("+007.50" keeps "7.50"), dates as
    // "yyyy-mm-dd" ("2026-2-3" and "2026/02/03" keep "2026-02-03"); text as
    // typed. An empty entry empties any editable cell.
    std::optional<std::string> Accept(std::string_view typed) const;

    // How a stored text is shown: decimals with exactly their places (rounded
    // half away from zero), everything else as stored. Text that is not a
    // number is shown as it stands.
    std::string Display(std::string_view stored) const;

    bool operator==(const CellType&) const = default;
};

// "yyyy-mm-dd" (also with "/" or "." and one-digit month or day) to the
// normalised "yyyy-mm-dd", or nothing when it is no real calendar date.
std::optional<std::string> NormaliseDate(std::string_view text);

// Characters (not bytes) of a UTF-8 text.
std::size_t Utf8Length(std::string_view text);

}  // namespace orva
