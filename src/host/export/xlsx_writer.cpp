#include "host/export/xlsx_writer.h"

#include <xlsxwriter.h>

#include <algorithm>

#include "host/export/xlsx_check.h"
#include "orvasaleprice/com_error.h"

namespace orva {
namespace {

// Display width of a UTF-8 text in spreadsheet characters: CJK and other
// wide characters count two.
int DisplayWidth(const std::string& text) {
    int width = 0;
    for (unsigned char c : text) {
        if ((c & 0xC0) == 0x80)
            continue;  // continuation byte
        width += c >= 0xE0 ? 2 : 1;
    }
    return width;
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// "_x" followed by four hex digits and "_" at `i`.
bool EscapeAt(const std::string& text, std::size_t i) {
    if (i + 7 > text.size() || text[i] != '_' || (text[i + 1] != 'x' && text[i + 1] != 'X') ||
        text[i + 6] != '_')
        return false;
    return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(i) + 2,
                       text.begin() + static_cast<std::ptrdiff_t>(i) + 6, IsHexDigit);
}

// A spreadsheet program reads "_xHHHH_" in a cell's text as the character
// of that code: libxlsxwriter writes CR and the other control characters
// so. A text that holds such a sequence itself has its "_" written as
// "_x005F_", so that it reads back as it was typed. The text itself when
// it holds none.
const char* CellText(const std::string& text, std::string& scratch) {
    std::size_t i = text.find('_');
    if (i == std::string::npos)
        return text.c_str();
    scratch.assign(text, 0, i);
    for (; i < text.size(); ++i) {
        if (EscapeAt(text, i))
            scratch += "_x005F_";
        else
            scratch += text[i];
    }
    return scratch.c_str();
}

}  // namespace

XlsxWriter::~XlsxWriter() {
    if (book_) {
        // Abandoned before Finish: libxlsxwriter only frees by closing, which
        // writes the file; the caller removes what it wrote.
        workbook_close(book_);
    }
}

std::string XlsxWriter::SheetName(const std::string& title) {
    std::string name;
    int chars = 0;
    for (std::size_t i = 0; i < title.size() && chars < 31;) {
        const unsigned char c = static_cast<unsigned char>(title[i]);
        const std::size_t len = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (len == 1 && std::string_view("[]:*?/\\").find(title[i]) != std::string_view::npos)
            name += '_';
        else
            name.append(title, i, len);
        i += len;
        ++chars;
    }
    if (!name.empty() && (name.front() == '\'' || name.back() == '\''))
        std::replace(name.begin(), name.end(), '\'', '_');
    return name.empty() ? "Sheet1" : name;
}

void XlsxWriter::Check(int error, const char* what) {
    if (error == LXW_NO_ERROR)
        return;
    throw ComError(
        ComError::kGeneric,
        std::string(what) + " " + shown_ + ": " + lxw_strerror(static_cast<lxw_error>(error)),
        "Export");
}

lxw_format* XlsxWriter::NumberFormat(int decimals) {
    decimals = std::min(decimals, 15);
    auto it = numbers_.find(decimals);
    if (it != numbers_.end())
        return it->second;
    lxw_format* format = workbook_add_format(book_);
    const std::string code = decimals == 0 ? "0" : "0." + std::string(decimals, '0');
    format_set_num_format(format, code.c_str());
    numbers_.emplace(decimals, format);
    return format;
}

void XlsxWriter::Begin(const std::string& title, const std::vector<ExportColumn>& columns) {
    title_ = title;
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;
    book_ = workbook_new_opt(path_.c_str(), &options);
    if (!book_)
        throw ComError(ComError::kGeneric, "Cannot create " + shown_, "Export");
    lxw_doc_properties properties = {};
    properties.title = title_.data();
    Check(workbook_set_properties(book_, &properties), "Cannot write");
    const std::string sheetName = SheetName(title);
    sheet_ = workbook_add_worksheet(book_, sheetName.c_str());
    if (!sheet_)
        throw ComError(ComError::kGeneric, "Cannot add the sheet to " + shown_, "Export");
    bold_ = workbook_add_format(book_);
    format_set_bold(bold_);
    date_ = workbook_add_format(book_);
    format_set_num_format(date_, "yyyy-mm-dd");

    kinds_.clear();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const ExportColumn& column = columns[i];
        kinds_.push_back(column.kind);
        int width =
            std::max(DisplayWidth(column.caption) + 2, column.kind == ExportKind::kDate ? 12 : 10);
        if (column.width > 0)
            width = std::min(width, column.width);
        const auto col = static_cast<lxw_col_t>(i);
        Check(worksheet_set_column(sheet_, col, col, width, nullptr), "Cannot write");
    }
    worksheet_freeze_panes(sheet_, 1, 0);
    for (std::size_t i = 0; i < columns.size(); ++i)
        Check(worksheet_write_string(sheet_, 0, static_cast<lxw_col_t>(i),
                                     CellText(columns[i].caption, scratch_), bold_),
              "Cannot write");
    row_ = 1;
}

void XlsxWriter::WriteRow(const std::vector<std::string>& cells) {
    if (row_ >= LXW_ROW_MAX)
        throw ComError(ComError::kGeneric,
                       "Too many rows for one sheet (at most 1,048,575 rows): " + shown_, "Export");
    const auto row = static_cast<lxw_row_t>(row_);
    const std::size_t count = std::min(cells.size(), kinds_.size());
    for (std::size_t i = 0; i < count; ++i) {
        const ExportValue value = ClassifyCell(kinds_[i], cells[i]);
        const auto col = static_cast<lxw_col_t>(i);
        int error = LXW_NO_ERROR;
        switch (value.type) {
            case ExportValue::Type::kEmpty:
                continue;
            case ExportValue::Type::kText:
                error =
                    worksheet_write_string(sheet_, row, col, CellText(cells[i], scratch_), nullptr);
                break;
            case ExportValue::Type::kNumber:
                error = worksheet_write_number(sheet_, row, col, value.number,
                                               NumberFormat(value.decimals));
                break;
            case ExportValue::Type::kDate: {
                lxw_datetime when = {value.year, value.month, value.day, 0, 0, 0};
                error = worksheet_write_datetime(sheet_, row, col, &when, date_);
                break;
            }
        }
        Check(error, "Cannot write");
    }
    ++row_;
}

void XlsxWriter::Finish() {
    lxw_workbook* book = book_;
    book_ = nullptr;
    Check(workbook_close(book), "Cannot write");
    CheckXlsxSheet(path_, shown_, row_);
}

}  // namespace orva
