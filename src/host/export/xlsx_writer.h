// The XLSX writer, on libxlsxwriter in constant-memory mode (each row goes
// to the file when the next one starts, so 100,000 rows cost one row of
// memory). One sheet named after the title, which is also the workbook's
// title; the caption row bold and frozen; text cells as text (leading zeros
// kept), numbers as numbers shown with the decimals they had, dates as dates
// shown yyyy-mm-dd. Text is only ever written as a string cell, never as a
// formula, so a text like "=1+1" stays text in every spreadsheet program;
// a text reads back as it was given, CR, control characters and a literal
// "_x000D_" included.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "host/export/table_writer.h"

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace orva {

class XlsxWriter : public TableWriter {
  public:
    // Writes `path`; errors name the file as `shownAs` (the file the user
    // chose, when `path` is a temporary one), or `path` when it is empty.
    explicit XlsxWriter(std::string path, std::string shownAs = {})
        : path_(std::move(path)), shown_(shownAs.empty() ? path_ : std::move(shownAs)) {}
    ~XlsxWriter() override;

    void Begin(const std::string& title, const std::vector<ExportColumn>& columns) override;
    void WriteRow(const std::vector<std::string>& cells) override;
    void Finish() override;

    // The sheet name the title gives: characters a sheet name may not hold
    // replaced by "_", cut to 31 characters (whole UTF-8 sequences), "Sheet1"
    // when nothing is left.
    static std::string SheetName(const std::string& title);

  private:
    lxw_format* NumberFormat(int decimals);
    void Check(int error, const char* what);

    std::string path_;
    std::string shown_;
    std::string title_;
    lxw_workbook* book_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    lxw_format* bold_ = nullptr;
    lxw_format* date_ = nullptr;
    std::map<int, lxw_format*> numbers_;
    std::vector<ExportKind> kinds_;
    std::string scratch_;  // a cell's text with its escape-like sequences protected
    unsigned row_ = 0;
};

}  // namespace orva
