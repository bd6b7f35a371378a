#include "import/csv_reader.h"

#include <array>
#include <cstdio>
#include <memory>

#include "import/text_encoding.h"

namespace orva::import {
namespace {

constexpr std::size_t kChunk = 64 * 1024;

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

bool StartsWithBom(std::string_view s) {
    return s.size() >= 3 && s.substr(0, 3) == "\xEF\xBB\xBF";
}

// The export writes "'" before a text a spreadsheet would run as a formula.
void DropFormulaGuard(std::string& cell) {
    if (cell.size() >= 2 && cell[0] == '\'') {
        switch (cell[1]) {
            case '=':
            case '+':
            case '-':
            case '@':
            case '\t':
            case '\r':
                cell.erase(0, 1);
                break;
            default:
                break;
        }
    }
}

// Splits the bytes into fields and rows; the fields are decoded when a row
// is complete.
class CsvParser {
  public:
    CsvParser(const std::string& shownAs, TextEncoding encoding, char separator,
              const RowSink& sink)
        : shown_(shownAs), decoder_(encoding), separator_(separator), sink_(sink) {}

    void Feed(std::string_view bytes) {
        for (char c : bytes) {
            if (c == '\0')
                throw SourceError(SourceError::kNulByte, shown_, row_.number);
            Take(c);
        }
    }

    void End() {
        if (inQuotes_ || fieldStarted_ || !row_.cells.empty())
            EndRow();
    }

  private:
    void Take(char c) {
        if (inQuotes_) {
            if (quotePending_) {
                quotePending_ = false;
                if (c == '"') {
                    Append(c);  // a doubled quote
                    return;
                }
                inQuotes_ = false;  // the closing quote: c is read outside
            } else if (c == '"') {
                quotePending_ = true;
                return;
            } else {
                Append(c);
                return;
            }
        }
        if (carriageReturn_) {
            carriageReturn_ = false;
            if (c == '\n') {
                EndRow();
                return;
            }
            Append('\r');  // a CR alone is part of the text
        }
        if (c == '\r') {
            carriageReturn_ = true;
        } else if (c == separator_) {
            EndField();
        } else if (c == '\n') {
            EndRow();
        } else if (c == '"' && !fieldStarted_) {
            inQuotes_ = true;
            quotedField_ = true;
            fieldStarted_ = true;
        } else {
            Append(c);
        }
    }

    void Append(char c) {
        fieldStarted_ = true;
        if (field_.size() >= kMaxCellBytes)
            throw SourceError(SourceError::kCellTooLong, shown_, row_.number);
        field_ += c;
    }

    void EndField() {
        if (row_.cells.size() >= kMaxColumns)
            throw SourceError(SourceError::kTooManyColumns, shown_, row_.number);
        std::optional<std::string> text = decoder_.ToUtf8(field_);
        if (!text)
            throw SourceError(SourceError::kBadText, shown_, row_.number);
        DropFormulaGuard(*text);
        row_.cells.push_back(std::move(*text));
        field_.clear();
        fieldStarted_ = false;
        quotedField_ = false;
    }

    void EndRow() {
        // A quoted field that runs to the end of the file is the rest of it.
        inQuotes_ = quotePending_ = carriageReturn_ = false;
        EndField();
        // A line with nothing on it is no row, but keeps its number.
        const bool blank = row_.cells.size() == 1 && row_.cells[0].empty();
        const std::int64_t number = row_.number;
        if (!blank)
            sink_(std::move(row_));
        row_ = SourceRow{};
        row_.number = number + 1;
    }

    const std::string& shown_;
    TextDecoder decoder_;
    char separator_;
    const RowSink& sink_;
    SourceRow row_{1, {}};
    std::string field_;
    bool inQuotes_ = false;
    bool quotePending_ = false;
    bool quotedField_ = false;
    bool fieldStarted_ = false;
    bool carriageReturn_ = false;  // a CR outside quotes, perhaps the first half of CRLF
};

}  // namespace

char DetectSeparator(std::string_view firstLine) {
    std::array<std::size_t, 3> counts{};
    constexpr std::array<char, 3> kSeparators{',', ';', '\t'};
    bool quoted = false;
    for (char c : firstLine) {
        if (c == '"')
            quoted = !quoted;
        if (c == '\n' && !quoted)
            break;
        for (std::size_t i = 0; i < kSeparators.size(); ++i) {
            if (!quoted && c == kSeparators[i])
                ++counts[i];
        }
    }
    std::size_t best = 0;
    for (std::size_t i = 1; i < counts.size(); ++i) {
        if (counts[i] > counts[best])
            best = i;
    }
    return kSeparators[best];
}

void ReadCsv(const std::string& path, const std::string& shownAs, const RowSink& sink) {
    File file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file)
        throw SourceError(SourceError::kCannotOpen, shownAs, 0);
    std::string chunk(kChunk, '\0');
    std::size_t got = std::fread(chunk.data(), 1, chunk.size(), file.get());
    chunk.resize(got);
    if (chunk.size() >= 4 && chunk.compare(0, 4, "PK\x03\x04") == 0)
        throw SourceError(SourceError::kNotCsv, shownAs, 0);

    std::string_view head(chunk);
    if (StartsWithBom(head))
        head.remove_prefix(3);
    CsvParser parser(shownAs, DetectEncoding(head), DetectSeparator(head), sink);
    parser.Feed(head);
    while (got == kChunk) {
        chunk.resize(kChunk);
        got = std::fread(chunk.data(), 1, chunk.size(), file.get());
        chunk.resize(got);
        parser.Feed(chunk);
    }
    if (std::ferror(file.get()))
        throw SourceError(SourceError::kCannotOpen, shownAs, 0);
    parser.End();
}

}  // namespace orva::import
