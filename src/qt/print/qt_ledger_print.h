// The ledger print component in Qt ("Pagino.clsPrint"): prints a ledger to a
// printer chosen in the print dialog, shows its print preview
// (ledger_preview_dialog.h), or
// writes it to a PDF file given beforehand (the command line's --print-pdf),
// on the ledger's page setup; and the ledger's print setup dialog. Pages are
// painted by LedgerPagePainter; printing reports each page as progress, and
// the user may cancel it.
#pragma once

#include <string>

#include "host/print/ledger_print.h"

class QPrinter;

namespace orva::qt {

class QtLedgerPrint : public LedgerPrint {
  public:
    QtLedgerPrint() = default;
    // Prints to this PDF file instead of asking for a printer.
    explicit QtLedgerPrint(std::string pdfFile) : pdfFile_(std::move(pdfFile)) {}

    void Ldg4Print(Ledger& ledger, bool preview) override;
    bool PrintSetup(Ledger& ledger) override;

    // Pages written by the last print (0 when it was cancelled).
    int PagesPrinted() const { return pagesPrinted_; }

  private:
    // Paints every page on the printer; false when the user cancelled.
    bool PrintAll(Ledger& ledger, QPrinter& printer);

    std::string pdfFile_;
    int pagesPrinted_ = 0;
};

// Registers QtLedgerPrint as "Pagino.clsPrint".
void RegisterQtLedgerPrint();

}  // namespace orva::qt
