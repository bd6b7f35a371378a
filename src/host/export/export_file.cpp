#include "host/export/export_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "host/export/csv_writer.h"
#include "host/export/xlsx_writer.h"
#include "orvasaleprice/com_error.h"

namespace orva {
namespace {

namespace fs = std::filesystem;

// Rows between two progress reports.
constexpr std::int64_t kProgressStep = 256;

bool EndsWithNoCase(const std::string& s, std::string_view suffix) {
    if (s.size() < suffix.size())
        return false;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        char c = s[s.size() - suffix.size() + i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i])
            return false;
    }
    return true;
}

[[noreturn]] void FailErrno(const std::string& what, const std::string& path) {
    throw ComError(ComError::kGeneric, what + " " + path + ": " + std::strerror(errno), "Export");
}

// A new empty file beside `path`, only ours; its name.
std::string CreateTemporaryBeside(const std::string& path) {
    const fs::path target(path);
    fs::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        throw ComError(
            ComError::kGeneric,
            "Cannot write " + path + ": the folder " + folder.string() + " does not exist",
            "Export");
    if (fs::is_directory(target, ec))
        throw ComError(ComError::kGeneric, "Cannot write " + path + ": it is a folder", "Export");
    std::string name = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(name.data());
    if (fd < 0)
        FailErrno("Cannot write", path);
    ::close(fd);
    return name;
}

}  // namespace

std::optional<ExportFormat> FormatOfPath(const std::string& path) {
    if (EndsWithNoCase(path, ".xlsx"))
        return ExportFormat::kXlsx;
    if (EndsWithNoCase(path, ".csv"))
        return ExportFormat::kCsv;
    return std::nullopt;
}

std::unique_ptr<TableWriter> MakeTableWriter(ExportFormat format, const std::string& path,
                                             const std::string& shownAs) {
    if (format == ExportFormat::kCsv)
        return std::make_unique<CsvWriter>(path, shownAs);
    return std::make_unique<XlsxWriter>(path, shownAs);
}

void WriteExportFile(const ExportTarget& target, const std::string& title,
                     const std::vector<ExportColumn>& columns, std::int64_t rows,
                     const ExportRowSource& source, const ExportProgress& progress) {
    const std::string temporary = CreateTemporaryBeside(target.path);
    try {
        {
            std::unique_ptr<TableWriter> writer =
                MakeTableWriter(target.format, temporary, target.path);
            writer->Begin(title, columns);
            std::vector<std::string> cells;
            for (std::int64_t row = 1; row <= rows; ++row) {
                if (progress && (row - 1) % kProgressStep == 0 && !progress(row - 1, rows))
                    throw ExportCancelled{};
                cells.assign(columns.size(), std::string());
                source(row, cells);
                writer->WriteRow(cells);
            }
            writer->Finish();
        }
        // mkstemp made the file private to its owner; give it the mode a new
        // file of the user's gets.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::chmod(temporary.c_str(), 0666 & ~mask);
        if (std::rename(temporary.c_str(), target.path.c_str()) != 0)
            FailErrno("Cannot replace", target.path);
    } catch (...) {
        std::remove(temporary.c_str());
        throw;
    }
}

}  // namespace orva
