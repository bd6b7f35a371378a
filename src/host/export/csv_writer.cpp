#include "host/export/csv_writer.h"

#include <cerrno>
#include <cstring>

#include "orvasaleprice/com_error.h"

namespace orva {
namespace {

constexpr std::size_t kFlushAt = 1 << 16;

std::string_view Trimmed(std::string_view s) {
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool NeedsQuotes(std::string_view text) {
    return text.find_first_of(",\"\r\n") != std::string_view::npos;
}

}  // namespace

CsvWriter::~CsvWriter() {
    if (file_)
        std::fclose(file_);
}

void CsvWriter::AppendField(std::string& line, ExportKind kind, std::string_view text) {
    const ExportValue value = ClassifyCell(kind, text);
    std::string_view out = text;
    bool guard = false;
    if (value.type == ExportValue::Type::kNumber || value.type == ExportValue::Type::kDate)
        out = Trimmed(text);
    else if (value.type == ExportValue::Type::kText)
        guard = LooksLikeFormula(text);
    const bool quote = NeedsQuotes(out);
    if (quote)
        line += '"';
    if (guard)
        line += '\'';
    for (char c : out) {
        if (c == '"')
            line += '"';
        line += c;
    }
    if (quote)
        line += '"';
}

void CsvWriter::Fail(const char* what) {
    const int err = errno;
    if (file_) {
        std::fclose(file_);
        file_ = nullptr;
    }
    throw ComError(ComError::kGeneric, std::string(what) + " " + shown_ + ": " + std::strerror(err),
                   "Export");
}

void CsvWriter::Begin(const std::string& /*title*/, const std::vector<ExportColumn>& columns) {
    file_ = std::fopen(path_.c_str(), "wb");
    if (!file_)
        Fail("Cannot create");
    buffer_ = "\xEF\xBB\xBF";
    kinds_.clear();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i)
            buffer_ += ',';
        AppendField(buffer_, ExportKind::kText, columns[i].caption);
        kinds_.push_back(columns[i].kind);
    }
    buffer_ += "\r\n";
    Flush(false);
}

void CsvWriter::WriteRow(const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < kinds_.size(); ++i) {
        if (i)
            buffer_ += ',';
        if (i < cells.size())
            AppendField(buffer_, kinds_[i], cells[i]);
    }
    buffer_ += "\r\n";
    Flush(false);
}

void CsvWriter::Flush(bool force) {
    if (!force && buffer_.size() < kFlushAt)
        return;
    if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size())
        Fail("Cannot write");
    buffer_.clear();
}

void CsvWriter::Finish() {
    Flush(true);
    if (std::fflush(file_) != 0)
        Fail("Cannot write");
    std::FILE* f = file_;
    file_ = nullptr;
    if (std::fclose(f) != 0) {
        const int err = errno;
        throw ComError(ComError::kGeneric, "Cannot write " + shown_ + ": " + std::strerror(err),
                       "Export");
    }
}

}  // namespace orva
