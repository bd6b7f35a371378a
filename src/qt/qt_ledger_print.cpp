#include "qt/qt_ledger_print.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <optional>

#include "host/com_error.h"
#include "host/component_registry.h"
#include "host/progress.h"
#include "qt/ledger_page_painter.h"
#include "qt/page_setup_dialog.h"
#include "qt/qt_host_ui.h"
#include "qt/qt_text.h"
#include "resources/res_text.h"

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

    const int pages =
        LedgerPagePainter(ledger, printer, ledger.PrintPageSetup().fitToWidth).PageCount();
    if (pages > kAskPreviewPages) {
        const QString text =
            Q(GetResText("预览共有 %1 页，需要较长时间和较多内存。是否继续？")).arg(pages);
        if (QMessageBox::question(DialogParent(), Q(GetResText("Tesmar提示")), text,
                                  QMessageBox::Yes | QMessageBox::No,
                                  QMessageBox::No) != QMessageBox::Yes)
            return;
    }
    QPrintPreviewDialog dialog(&printer, DialogParent());
    dialog.setObjectName("printPreviewDialog");
    dialog.setWindowTitle(Q(GetResText("打印预览")));
    // The preview asks for the pages again whenever the user changes the
    // page layout in it, so the layout is worked out anew each time.
    // A failure may not pass through Qt's event loop: it is kept, the
    // preview closed and the failure raised once the dialog has returned.
    std::optional<ComError> failure;
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [this, &ledger, &failure, &dialog](QPrinter* target) {
                         try {
                             PrintAll(ledger, *target);
                         } catch (const ComError& e) {
                             failure = e;
                             dialog.reject();
                         }
                     });
    dialog.resize(900, 700);
    dialog.exec();
    if (failure)
        throw *failure;
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
