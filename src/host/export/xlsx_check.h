// A check of a written XLSX file. libxlsxwriter keeps rows in temporary
// files whose write errors it does not report, so on a disk that fills up it
// can close a workbook that silently lacks rows. The check reads the first
// sheet back from the file and confirms that it is whole and ends with the
// row expected last.
#pragma once

#include <string>

namespace orva {

// Raises ComError ("Cannot write <shownAs>: ...") unless the first sheet's
// XML in the file inflates whole and its last row is `lastRow` (1-based).
void CheckXlsxSheet(const std::string& path, const std::string& shownAs, unsigned lastRow);

}  // namespace orva
