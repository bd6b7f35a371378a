// Export of 100,000 ledger rows: through the export component to XLSX and
// to CSV, against libxlsxwriter alone writing the same cells (constant-memory
// mode, same formats) in the same run as the floor.
#include <benchmark/benchmark.h>
#include <xlsxwriter.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "host/export/export_component.h"

namespace {

constexpr int kRows = 100000;

const std::vector<orva::ExportColumn>& Columns() {
    static const std::vector<orva::ExportColumn> columns = {
        {"物料代码", 255, orva::ExportKind::kText},
        {"物料名称", 255, orva::ExportKind::kText},
        {"规格型号", 255, orva::ExportKind::kText},
        {"计量单位", 255, orva::ExportKind::kText},
        {"销货量(从)", 255, orva::ExportKind::kNumber},
        {"销货量(到)", 255, orva::ExportKind::kNumber},
        {"报价", 255, orva::ExportKind::kNumber},
        {"币别", 255, orva::ExportKind::kText},
        {"提前期(天)", 255, orva::ExportKind::kNumber},
        {"生效日期", 255, orva::ExportKind::kDate},
        {"审核状态", 255, orva::ExportKind::kText},
        {"失效日期", 255, orva::ExportKind::kDate},
        {"备注", 255, orva::ExportKind::kText},
    };
    return columns;
}

// The cells of ledger row r, as the ledger shows them.
void Row(int r, std::vector<std::string>& cells) {
    cells[0] = "01.01." + std::to_string(100000 + r);
    cells[1] = "物料" + std::to_string(r);
    cells[2] = "M-" + std::to_string(r % 97);
    cells[3] = "PCS";
    cells[4] = std::to_string(r % 10);
    cells[5] = std::to_string(r % 10 + 100);
    cells[6] = std::to_string(r % 1000) + ".50";
    cells[7] = "人民币";
    cells[8] = std::to_string(r % 30);
    cells[9] = "2024-01-15";
    cells[10] = r % 3 ? "" : "Y";
    cells[11] = "2100-01-01";
    cells[12] = r % 5 ? "" : "note " + std::to_string(r);
}

std::string Target(const char* ext) {
    return (std::filesystem::temp_directory_path() / (std::string("orva-bench-export.") + ext))
        .string();
}

void Export(benchmark::State& state, orva::ExportFormat format, const char* ext) {
    const std::string path = Target(ext);
    for (auto _ : state) {
        orva::ExportComponent c;
        c.SetCols(static_cast<int>(Columns().size()));
        for (int k = 1; k <= c.Cols(); ++k) {
            c.SetColCaption(k, Columns()[k - 1].caption);
            c.SetColWidth(k, 255);
            c.SetColKind(k, Columns()[k - 1].kind);
        }
        c.SetRows(kRows);
        orva::Subscription s = c.OnLoadData([](std::int64_t r, orva::ExportRow& d) {
            static std::vector<std::string> cells(13);
            Row(static_cast<int>(r), cells);
            for (int k = 0; k < 13; ++k) d.SetCell(k + 1, cells[k]);
        });
        c.SetTarget({path, format});
        if (!c.Export("价格资料"))
            state.SkipWithError("export failed");
    }
    std::remove(path.c_str());
}

void BM_ExportXlsx(benchmark::State& state) {
    Export(state, orva::ExportFormat::kXlsx, "xlsx");
}

void BM_ExportCsv(benchmark::State& state) {
    Export(state, orva::ExportFormat::kCsv, "csv");
}

// The floor: libxlsxwriter alone writing the same typed cells.
void BM_LibxlsxwriterAlone(benchmark::State& state) {
    const std::string path = Target("floor.xlsx");
    std::vector<std::string> cells(13);
    for (auto _ : state) {
        lxw_workbook_options options = {};
        options.constant_memory = LXW_TRUE;
        lxw_workbook* book = workbook_new_opt(path.c_str(), &options);
        lxw_worksheet* sheet = workbook_add_worksheet(book, "价格资料");
        lxw_format* bold = workbook_add_format(book);
        format_set_bold(bold);
        lxw_format* date = workbook_add_format(book);
        format_set_num_format(date, "yyyy-mm-dd");
        lxw_format* n0 = workbook_add_format(book);
        format_set_num_format(n0, "0");
        lxw_format* n2 = workbook_add_format(book);
        format_set_num_format(n2, "0.00");
        worksheet_freeze_panes(sheet, 1, 0);
        for (lxw_col_t c = 0; c < 13; ++c)
            worksheet_write_string(sheet, 0, c, Columns()[c].caption.c_str(), bold);
        for (int r = 1; r <= kRows; ++r) {
            Row(r, cells);
            const lxw_row_t row = static_cast<lxw_row_t>(r);
            for (lxw_col_t c : {0, 1, 2, 3, 7, 10, 12})
                if (!cells[c].empty())
                    worksheet_write_string(sheet, row, c, cells[c].c_str(), nullptr);
            worksheet_write_number(sheet, row, 4, r % 10, n0);
            worksheet_write_number(sheet, row, 5, r % 10 + 100, n0);
            worksheet_write_number(sheet, row, 6, r % 1000 + 0.5, n2);
            worksheet_write_number(sheet, row, 8, r % 30, n0);
            lxw_datetime from = {2024, 1, 15, 0, 0, 0}, to = {2100, 1, 1, 0, 0, 0};
            worksheet_write_datetime(sheet, row, 9, &from, date);
            worksheet_write_datetime(sheet, row, 11, &to, date);
        }
        if (workbook_close(book) != LXW_NO_ERROR)
            state.SkipWithError("libxlsxwriter failed");
    }
    std::remove(path.c_str());
}

BENCHMARK(BM_LibxlsxwriterAlone)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ExportXlsx)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ExportCsv)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
