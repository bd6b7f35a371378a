// Printing a ledger of 20,000 rows (Qt face, offscreen): layout and painting
// of every page to a PDF file against a floor of the same number of pages
// written to a PDF with only their footer text; and the print preview's first
// page on screen (the dialog opened, laid out and page 1 painted in its
// view) against a floor of the layout and page 1 rendered to an image.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <cstdio>
#include <filesystem>

#include "common/offscreen_app.h"
#include "host/controls/ledger.h"
#include "qt/print/ledger_page_painter.h"
#include "qt/print/ledger_preview_dialog.h"
#include "qt/print/page_setup_dialog.h"
#include "qt/print/preview_page_view.h"
#include "qt/print/qt_ledger_print.h"

namespace {

constexpr int kRows = 20000;

void Setup() {
    orva::bench::StartOffscreenApp("bench_print");
}

// A ledger as the browse window fills it: 13 visible columns, two title rows.
orva::Ledger& BigLedger() {
    static orva::Ledger l;
    static bool filled = false;
    if (!filled) {
        filled = true;
        l.SetCols(14);
        l.SetColHidden(1, true);
        l.SetRows(kRows + 2);
        l.SetRowText(1,
                     "|物料代码|物料名称|规格型号|计量单位|销货量(从)|销货量(到)|报价|币别|提前期("
                     "天)|生效日期|审核状态|失效日期|备注|");
        l.SetRowText(2, "||||||||||||||");
        for (int r = 3; r <= kRows + 2; ++r)
            l.SetRowText(r, std::to_string(r) + "|01.01." + std::to_string(100000 + r) + "|物料" +
                                std::to_string(r) + "|M-1|PCS|0|100|" + std::to_string(r % 1000) +
                                ".50|人民币|7|2024-01-15|Y|2100-01-01|note|");
        l.SetTextline(1, "客户价格信息");
        l.SetTextlineFontSize(1, 14);
        l.SetTextlineFontBold(1, true);
        l.SetTextline(3, "2026-12-06");
        l.SetTextline(7, "第&[页]页/共&[总页]页  ");
    }
    return l;
}

std::string Pdf(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

void BM_PrintToPdf(benchmark::State& state) {
    Setup();
    const std::string path = Pdf("orva-bench-print.pdf");
    int pages = 0;
    for (auto _ : state) {
        orva::qt::QtLedgerPrint print(path);
        print.Ldg4Print(BigLedger(), false);
        pages = print.PagesPrinted();
    }
    state.counters["pages"] = pages;
    std::remove(path.c_str());
}

// The floor: as many pages, each with only its footer text.
void BM_EmptyPagesToPdf(benchmark::State& state) {
    Setup();
    const std::string path = Pdf("orva-bench-floor.pdf");
    QPrinter probe(QPrinter::HighResolution);
    probe.setPageLayout(orva::qt::PageLayoutOf(BigLedger().PrintPageSetup()));
    const int pages = orva::qt::LedgerPagePainter(BigLedger(), probe, true).PageCount();
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(path));
        QPainter painter(&printer);
        for (int p = 1; p <= pages; ++p) {
            if (p > 1)
                printer.newPage();
            painter.drawText(100, 100, QString::number(p));
        }
        painter.end();
    }
    state.counters["pages"] = pages;
    std::remove(path.c_str());
}

// The floor of the preview: the layout and page 1 rendered to an image at
// the size the preview shows it.
void BM_FirstPageImage(benchmark::State& state) {
    Setup();
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageLayout(orva::qt::PageLayoutOf(BigLedger().PrintPageSetup()));
        orva::qt::LedgerPagePainter pages(BigLedger(), printer, true);
        const double scale = 850.0 / pages.SheetSize().width();
        QImage image = pages.PageImage(1, scale);
        benchmark::DoNotOptimize(image.bits());
    }
}

// The preview as the user opens it: from creating the dialog to page 1
// painted in its view.
void BM_PreviewFirstPageOnScreen(benchmark::State& state) {
    Setup();
    int pages = 0;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageLayout(orva::qt::PageLayoutOf(BigLedger().PrintPageSetup()));
        orva::qt::LedgerPreviewDialog dialog(BigLedger(), printer, nullptr);
        dialog.show();
        while (dialog.Pages().RenderLog().empty()) QCoreApplication::processEvents();
        QCoreApplication::processEvents();  // the painted view reaches the screen
        pages = dialog.PageCount();
        state.PauseTiming();
        dialog.close();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["pages"] = pages;
}

BENCHMARK(BM_EmptyPagesToPdf)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PrintToPdf)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_FirstPageImage)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_PreviewFirstPageOnScreen)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
