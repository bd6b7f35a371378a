// The CSV writer: UTF-8 with a byte-order mark (spreadsheet programs then
// read Chinese text as such), CRLF line ends, fields quoted as RFC 4180 says
// (when they hold a comma, a quote, CR or LF; quotes doubled). Numbers and
// dates go out as plain text in their own notation ("12.50", "2024-01-31").
// A text cell a spreadsheet could run as a formula gets a leading
// apostrophe, which spreadsheet programs take as "this is text".
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "host/export/table_writer.h"

namespace orva {

class CsvWriter : public TableWriter {
  public:
    // Writes `path`; errors name the file as `shownAs` (the file the user
    // chose, when `path` is a temporary one), or `path` when it is empty.
    explicit CsvWriter(std::string path, std::string shownAs = {})
        : path_(std::move(path)), shown_(shownAs.empty() ? path_ : std::move(shownAs)) {}
    ~CsvWriter() override;

    void Begin(const std::string& title, const std::vector<ExportColumn>& columns) override;
    void WriteRow(const std::vector<std::string>& cells) override;
    void Finish() override;

    // The field as it is written in the file, quoted when needed.
    static void AppendField(std::string& line, ExportKind kind, std::string_view text);

  private:
    void Flush(bool force);
    [[noreturn]] void Fail(const char* what);

    std::string path_;
    std::string shown_;
    std::FILE* file_ = nullptr;
    std::vector<ExportKind> kinds_;
    std::string buffer_;
};

}  // namespace orva
