// A writer of one exported table: a caption row, then the data rows in
// order. Writers stream: a row is written when it is given and not kept, so
// an export of any size costs the memory of one row. Every failure (a file
// that cannot be written, a full disk) raises ComError with a description
// the user can act on.
#pragma once

#include <string>
#include <vector>

#include "host/export/export_cell.h"

namespace orva {

struct ExportColumn {
    std::string caption;
    int width = 0;  // the widest the column may be shown, in characters
    ExportKind kind = ExportKind::kText;
};

class TableWriter {
  public:
    virtual ~TableWriter() = default;
    // Opens the file and writes the caption row.
    virtual void Begin(const std::string& title, const std::vector<ExportColumn>& columns) = 0;
    // One data row; missing cells are empty, extra cells are ignored.
    virtual void WriteRow(const std::vector<std::string>& cells) = 0;
    // Completes and closes the file. Until it returns the file is not whole.
    virtual void Finish() = 0;
};

}  // namespace orva
