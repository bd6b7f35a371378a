#include "import/table_file.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "import/csv_reader.h"
#include "import/xlsx_reader.h"
#include "session/res_text.h"

namespace orva::import {
namespace {

bool EndsWithNoCase(std::string_view name, std::string_view suffix) {
    if (name.size() < suffix.size())
        return false;
    return std::equal(suffix.begin(), suffix.end(), name.end() - suffix.size(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

bool StartsAsZip(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    char head[4] = {};
    const std::size_t got = std::fread(head, 1, sizeof head, file);
    std::fclose(file);
    return got == 4 && std::string_view(head, 4) == std::string_view("PK\x03\x04", 4);
}

const char* KindText(SourceError::Kind kind) {
    switch (kind) {
        case SourceError::kCannotOpen:
            return "Cannot read the file";
        case SourceError::kNotXlsx:
            return "Not an .xlsx workbook";
        case SourceError::kNotCsv:
            return "Not a CSV text file";
        case SourceError::kUnpackedSize:
            return "The workbook unpacks to more than the limit";
        case SourceError::kBadArchive:
            return "The workbook is damaged";
        case SourceError::kNoSheet:
            return "No such sheet";
        case SourceError::kNulByte:
            return "A NUL character";
        case SourceError::kBadText:
            return "Bytes that are no text";
        case SourceError::kCellTooLong:
            return "A cell longer than 32767 bytes";
        case SourceError::kTooManyColumns:
            return "Too many columns";
        case SourceError::kTooManyRows:
            return "Too many rows";
        case SourceError::kMergedCells:
            return "Merged cells";
        case SourceError::kEmpty:
            return "No caption row";
        case SourceError::kMissingColumn:
            return "A column is missing";
    }
    return "";
}

}  // namespace

SourceError::SourceError(Kind kind, std::string file, std::int64_t row, std::string detail)
    : std::runtime_error(file + (row > 0 ? ", row " + std::to_string(row) : std::string()) + ": " +
                         KindText(kind) + (detail.empty() ? "" : " (" + detail + ")")),
      kind_(kind),
      file_(std::move(file)),
      row_(row),
      detail_(std::move(detail)) {}

std::vector<std::string> TableSheets(const std::string& path) {
    const std::string shown = std::filesystem::path(path).filename().string();
    const bool zip = StartsAsZip(path);
    if (EndsWithNoCase(path, ".xlsx") && !zip)
        throw SourceError(SourceError::kNotXlsx, shown, 0);
    if (!zip)
        return {};
    if (!EndsWithNoCase(path, ".xlsx"))
        throw SourceError(SourceError::kNotCsv, shown, 0);
    return XlsxSheetNames(path, shown);
}

void ReadTableFile(const std::string& path, const std::string& sheet, const RowSink& sink) {
    const std::string shown = std::filesystem::path(path).filename().string();
    std::int64_t rows = 0;
    const RowSink counted = [&](SourceRow&& row) {
        if (++rows > kMaxDataRows + 1)
            throw SourceError(SourceError::kTooManyRows, shown, row.number);
        sink(std::move(row));
    };
    const bool zip = StartsAsZip(path);
    if (EndsWithNoCase(path, ".xlsx") && !zip)
        throw SourceError(SourceError::kNotXlsx, shown, 0);
    if (zip) {
        if (!EndsWithNoCase(path, ".xlsx"))
            throw SourceError(SourceError::kNotCsv, shown, 0);
        ReadXlsx(path, shown, sheet, counted);
    } else {
        ReadCsv(path, shown, counted);
    }
    if (rows == 0)
        throw SourceError(SourceError::kEmpty, shown, 0);
}

std::string SourceErrorText(const SourceError& error) {
    std::string what;
    switch (error.kind()) {
        case SourceError::kCannotOpen:
            what = GetResText("文件无法读取。");
            break;
        case SourceError::kNotXlsx:
            what = GetResText("文件不是 xlsx 工作簿。");
            break;
        case SourceError::kNotCsv:
            what = GetResText("文件不是 CSV 文本文件。");
            break;
        case SourceError::kUnpackedSize:
            what = GetResText("工作簿解压后超过允许的大小。");
            break;
        case SourceError::kBadArchive:
            what = GetResText("工作簿已损坏。");
            break;
        case SourceError::kNoSheet:
            what = GetResText("工作簿中没有这个工作表：") + error.detail();
            break;
        case SourceError::kNulByte:
            what = GetResText("含有空字符(NUL)。");
            break;
        case SourceError::kBadText:
            what = GetResText("含有无法识别的文字编码。");
            break;
        case SourceError::kCellTooLong:
            what = GetResText("单元格超过32767个字节。");
            break;
        case SourceError::kTooManyColumns:
            what = GetResText("列数过多。");
            break;
        case SourceError::kTooManyRows:
            what = GetResText("行数超过20万行。");
            break;
        case SourceError::kMergedCells:
            what = GetResText("含有合并单元格。");
            break;
        case SourceError::kEmpty:
            what = GetResText("没有标题行。");
            break;
        case SourceError::kMissingColumn:
            what = GetResText("缺少列：") + error.detail();
            break;
    }
    std::string text = error.file();
    if (error.row() > 0)
        text += GetResText("，第") + std::to_string(error.row()) + GetResText("行：");
    else
        text += GetResText("：");
    return text + what + GetResText("没有引入任何记录。");
}

}  // namespace orva::import
