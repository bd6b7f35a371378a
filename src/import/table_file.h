// Opens a price list by what it is, not only by its name: a file that
// starts as a zip archive is read as .xlsx, anything else as CSV; a name
// that says otherwise is refused, so that a renamed file is caught before
// its bytes are taken for prices.
#pragma once

#include <string>
#include <vector>

#include "import/source_rows.h"

namespace orva::import {

// Reads `path` (sheet `sheet` of a workbook, the first when empty) and hands
// its rows to `sink`, at most kMaxDataRows after the caption row. Errors
// name the file by its base name.
void ReadTableFile(const std::string& path, const std::string& sheet, const RowSink& sink);

// The sheets of a workbook, in their order; none for a CSV file. Refuses
// what ReadTableFile refuses before it reads a row.
std::vector<std::string> TableSheets(const std::string& path);

// The user's words for a SourceError: the file, the row and what is wrong,
// in the session's language.
std::string SourceErrorText(const SourceError& error);

}  // namespace orva::import
