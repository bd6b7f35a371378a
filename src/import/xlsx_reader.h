// Reads a price list saved as .xlsx, row by row, with liborcus (the
// spreadsheet import library Debian packages and office suites use): its zip
// archive reader unpacks the parts and its SAX parser reads their XML, and
// the cells leave this reader as soon as their row is complete, so no
// document model is built. The package's parts are found through its
// relationships, relative or absolute (openpyxl writes absolute ones, which
// the library's own workbook filter skips). A formula cell gives the value
// the program that saved the file computed (it is never evaluated here);
// numbers come as the file writes them, dates saved as serial numbers as
// those numbers (the column that expects a date reads them).
#pragma once

#include <string>
#include <vector>

#include "import/source_rows.h"

namespace orva::import {

// Reads sheet `sheet` of `path` (the first when empty) and hands every row
// with any cell to `sink`. Merged cells raise SourceError kMergedCells after
// the rows (the caller writes nothing before the whole file is read); an
// archive over kMaxUnpackedBytes is refused before it is unpacked.
void ReadXlsx(const std::string& path, const std::string& shownAs, const std::string& sheet,
              const RowSink& sink);

// The names of the workbook's sheets, in their order. Refuses what ReadXlsx
// refuses before it reads a sheet.
std::vector<std::string> XlsxSheetNames(const std::string& path, const std::string& shownAs);

}  // namespace orva::import
