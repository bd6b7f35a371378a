// Writing an export file safely: the table goes to a temporary file beside
// the chosen one and replaces it in one rename only when it is complete, so
// a failed or cancelled export leaves whatever was under the chosen name
// before (or nothing) and never a half-written file.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/export/table_writer.h"

namespace orva {

enum class ExportFormat { kXlsx, kCsv };

struct ExportTarget {
    std::string path;
    ExportFormat format = ExportFormat::kXlsx;
};

// The format a file name asks for by its extension (".xlsx" or ".csv", any
// case); nothing for any other name.
std::optional<ExportFormat> FormatOfPath(const std::string& path);

// A writer of the format to `path`, naming the file `shownAs` in its errors.
std::unique_ptr<TableWriter> MakeTableWriter(ExportFormat format, const std::string& path,
                                             const std::string& shownAs = {});

// Raised when the user cancels a running export.
struct ExportCancelled {};

// Fills row `row` (1-based) of the export: cell k at index k - 1.
using ExportRowSource = std::function<void(std::int64_t row, std::vector<std::string>& cells)>;
// Told how many rows are written out of how many, before every 256th row;
// false cancels the export.
using ExportProgress = std::function<bool(std::int64_t done, std::int64_t total)>;

// Writes the caption row and `rows` data rows pulled from `source` to the
// target. Raises ComError when the file cannot be written (the folder does
// not exist or is read-only, the disk is full) and ExportCancelled when
// `progress` says so; in both cases the temporary file is removed and the
// target is as it was.
void WriteExportFile(const ExportTarget& target, const std::string& title,
                     const std::vector<ExportColumn>& columns, std::int64_t rows,
                     const ExportRowSource& source, const ExportProgress& progress = {});

}  // namespace orva
