// What the readers of a price list hand on: the file's rows one at a time,
// each with its row number as a spreadsheet program shows it (the caption
// row is row 1), its cells as text, and the limits that keep a hostile file
// from taking the memory of the machine.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace orva::import {

struct SourceRow {
    std::int64_t number = 0;         // 1-based, as the spreadsheet program numbers it
    std::vector<std::string> cells;  // UTF-8, as read; missing trailing cells are absent
};

// Receives each row as soon as it is read; the reader keeps nothing of it.
using RowSink = std::function<void(SourceRow&& row)>;

// A cell may hold what a spreadsheet cell may hold (32,767 characters, taken
// as bytes here); anything longer is no price list.
inline constexpr std::size_t kMaxCellBytes = 32767;
// Columns a row may have: far beyond the ledger's, so that a sheet that is
// wider is refused before its cells are kept.
inline constexpr std::size_t kMaxColumns = 256;
// Data rows one import takes: each is kept for the preview, so the cap bounds
// the memory of the whole import.
inline constexpr std::int64_t kMaxDataRows = 200000;
// An .xlsx file is a zip archive; what its parts unpack to is read into
// memory, so an archive that claims more is refused before it is unpacked.
inline constexpr std::uint64_t kMaxUnpackedBytes = 256u << 20;

// A file that cannot be read as a price list: which file, at which row (0
// when the fault is not in a row), and what is wrong, in plain words.
class SourceError : public std::runtime_error {
  public:
    enum Kind {
        kCannotOpen,    // no such file, or it cannot be read
        kNotXlsx,       // named .xlsx but no spreadsheet archive
        kNotCsv,        // named .csv but a binary file (a spreadsheet archive, say)
        kUnpackedSize,  // the archive unpacks to more than the cap
        kBadArchive,    // the archive or its sheet is damaged
        kNoSheet,       // the sheet asked for is not in the workbook
        kNulByte,       // a NUL character in a text file
        kBadText,       // bytes that are not text in the file's encoding
        kCellTooLong,   // a cell longer than kMaxCellBytes
        kTooManyColumns,
        kTooManyRows,
        kMergedCells,    // merged cells: which row a value belongs to is unclear
        kEmpty,          // no caption row
        kMissingColumn,  // a column the rows need is not there (detail: its caption)
    };
    SourceError(Kind kind, std::string file, std::int64_t row, std::string detail = {});

    Kind kind() const { return kind_; }
    const std::string& file() const { return file_; }
    std::int64_t row() const { return row_; }
    const std::string& detail() const { return detail_; }

  private:
    Kind kind_;
    std::string file_;
    std::int64_t row_;
    std::string detail_;
};

}  // namespace orva::import
