// How an exported cell is written: the ledger hands over display texts, and
// the column's kind decides whether a text goes out as a number, a date or
// text. A text that does not read as its column's kind is written as text,
// so nothing the user sees is lost.
#pragma once

#include <string_view>

namespace orva {

// What a column holds, as the window knows it from its ledger layout.
enum class ExportKind {
    kText,    // codes, names, notes: always text (leading zeros kept)
    kNumber,  // prices, quantities, days: numbers with their decimals
    kDate,    // yyyy-mm-dd
};

struct ExportValue {
    enum class Type { kEmpty, kText, kNumber, kDate };
    Type type = Type::kEmpty;
    std::string_view text;             // the cell's text, as given
    double number = 0;                 // kNumber
    int decimals = 0;                  // kNumber: digits after the point in the text
    int year = 0, month = 0, day = 0;  // kDate
};

// Reads a cell's text by its column's kind. A number is plain decimal
// notation ("-12.50", "3"; no exponent, no thousands separator, no leading
// zero before another digit, so a code-like "007" stays text); a date is a
// valid calendar date "yyyy-mm-dd". Blanks around the text are ignored for
// numbers and dates; an empty or all-blank cell is kEmpty.
ExportValue ClassifyCell(ExportKind kind, std::string_view text);

// True when a spreadsheet program could take the text for a formula: it
// starts with "=", "+", "-", "@", a tab or a carriage return.
bool LooksLikeFormula(std::string_view text);

}  // namespace orva
