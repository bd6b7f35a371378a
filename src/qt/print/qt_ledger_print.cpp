#include "qt/print/qt_ledger_print.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include "host/component_registry.h"
#include "host/progress.h"
#include "orvasaleprice/com_error.h"
#include "qt/controls/qt_text.h"
#include "qt/dialogs/dialog_parent.h"
#include "qt/print/ledger_page_painter.h"
#include "qt/print/ledger_preview_dialog.h"
#include "qt/print/page_setup_dialog.h"
#include "session/res_text.h"

namespace orva::qt {
namespace {

// A printer set up as the ledger asks: its page setup and, while a print
// job runs, the resolution of its print setting.
void Prepare(QPrinter& printer, const Ledger& ledger) {
    if (ledger.PrintSetting() > 0)
        printer.setResolution(ledger.PrintSetting());
    printer.setPageLayout(PageLayoutOf(ledger.PrintPageSetup()));
    printer.setDocName(Q(ledger.Textline(1).text));
}

}  // namespace

bool QtLedgerPrint::PrintAll(Ledger& ledger, QPrinter& printer) {
    pagesPrinted_ = 0;
    LedgerPagePainter pages(ledger, printer, ledger.PrintPageSetup().fitToWidth);
    QPainter painter;
    if (!painter.begin(&printer)) {
        const QString where =
            printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
        throw ComError(ComError::kGeneric, U(Q(GetResText("无法开始打印：%1")).arg(where)),
                       "Pagino.clsPrint");
    }
    ProgressScope progress(GetResText("打印"), pages.PageCount());
    for (int page = 1; page <= pages.PageCount(); ++page) {
        if (!progress.Step(page - 1)) {
            printer.abort();
            painter.end();
            return false;
        }
        if (page > 1 && !printer.newPage())
            throw ComError(ComError::kGeneric, U(Q(GetResText("打印机出错，打印未完成。"))),
                           "Pagino.clsPrint");
        pages.PaintPage(painter, page);
    }
    if (!painter.end())
        throw ComError(ComError::kGeneric, U(Q(GetResText("打印机出错，打印未完成。"))),
                       "Pagino.clsPrint");
    pagesPrinted_ = pages.PageCount();
    return true;
}

void QtLedgerPrint::Ldg4Print(Ledger& ledger, bool preview) {
    QPrinter printer(QPrinter::HighResolution);
    Prepare(printer, ledger);
    if (!pdfFile_.empty()) {
        const QFileInfo info(Q(pdfFile_));
        if (!info.absoluteDir().exists())
            throw ComError(ComError::kGeneric,
                           "Cannot write " + pdfFile_ + ": the folder does not exist",
                           "Pagino.clsPrint");
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(Q(pdfFile_));
        PrintAll(ledger, printer);
        return;
    }
    if (!preview) {
        QPrintDialog dialog(&printer, DialogParent());
        if (dialog.exec() != QDialog::Accepted)
            return;
        PrintAll(ledger, printer);
        return;
    }

    // Pages are laid out once and painted as the user comes to them, so a
    // long ledger previews at once and holds only a few pages in memory.
    LedgerPreviewDialog dialog(
        ledger, printer, [this, &ledger](QPrinter& target) { return PrintAll(ledger, target); },
        DialogParent());
    dialog.exec();
    if (dialog.Failure())
        throw *dialog.Failure();
}

bool QtLedgerPrint::PrintSetup(Ledger& ledger) {
    PageSetupDialog dialog(ledger.PrintPageSetup(), DialogParent());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    ledger.PrintPageSetup() = dialog.Setup();
    return true;
}

void RegisterQtLedgerPrint() {
    ComponentRegistry::Register<LedgerPrint>(LedgerPrint::kProgID,
                                             [] { return std::make_shared<QtLedgerPrint>(); });
}

}  // namespace orva::qt
