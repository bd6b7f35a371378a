// Reads a price list saved as CSV, row by row: UTF-8 with or without its
// byte-order mark or GB18030 (told apart by the first 64 KiB), fields
// separated by a comma, a semicolon or a tab (whichever the caption row holds
// most of), quoted as RFC 4180 says, CRLF or LF line ends. A text the
// export guarded against being run as a formula ("'=...") reads back without
// its apostrophe.
#pragma once

#include <string>

#include "import/source_rows.h"

namespace orva::import {

// Reads `path` and hands every row to `sink`; `shownAs` names the file in
// errors. A fault raises SourceError naming the row.
void ReadCsv(const std::string& path, const std::string& shownAs, const RowSink& sink);

// The separator the caption row uses: ',', ';' or '\t' (',' when none).
char DetectSeparator(std::string_view firstLine);

}  // namespace orva::import
