#include "import/import_rejects.h"

#include <memory>

#include "host/export/csv_writer.h"
#include "host/export/xlsx_writer.h"
#include "session/res_text.h"

namespace orva::import {
namespace {

bool IsCsv(const std::string& path) {
    return path.size() >= 4 && (path.compare(path.size() - 4, 4, ".csv") == 0 ||
                                path.compare(path.size() - 4, 4, ".CSV") == 0);
}

std::unique_ptr<TableWriter> WriterFor(const std::string& path) {
    if (IsCsv(path))
        return std::make_unique<CsvWriter>(path);
    return std::make_unique<XlsxWriter>(path);
}

}  // namespace

bool Rejected(const PlannedRow& row) {
    if (row.outcome == RowOutcome::kBelowFloor)
        return !row.writeBelowFloor;
    return !Writes(row.outcome) && row.outcome != RowOutcome::kUnchanged;
}

std::int64_t WriteRejects(const ImportPlan& plan, const std::string& path) {
    std::vector<ExportColumn> columns;
    columns.push_back({GetResText("行号"), 8, ExportKind::kText});
    std::size_t width = plan.captions.size();
    for (const PlannedRow& row : plan.rows) width = std::max<std::size_t>(width, row.cells.width);
    for (std::size_t i = 0; i < width; ++i) {
        // Cells go back as text, exactly as read: a code with leading zeros
        // or a date's serial number is not turned into something else.
        columns.push_back(
            {i < plan.captions.size() ? plan.captions[i] : std::string(), 20, ExportKind::kText});
    }
    columns.push_back({GetResText("原因"), 40, ExportKind::kText});

    auto writer = WriterFor(path);
    writer->Begin(GetResText("未引入的价格资料"), columns);
    std::int64_t count = 0;
    std::vector<std::string> cells;
    for (const PlannedRow& row : plan.rows) {
        if (!Rejected(row))
            continue;
        cells.assign(1, std::to_string(row.number));
        for (std::size_t i = 0; i < width; ++i) cells.emplace_back(plan.Cell(row, i));
        cells.push_back(plan.Reason(row));
        writer->WriteRow(cells);
        ++count;
    }
    writer->Finish();
    return count;
}

void WriteTemplate(const std::string& path) {
    std::vector<ExportColumn> columns;
    for (const std::string& caption : TemplateCaptions())
        columns.push_back({caption, 16, ExportKind::kText});
    auto writer = WriterFor(path);
    writer->Begin(GetResText("价格资料"), columns);
    writer->Finish();
}

}  // namespace orva::import
