// The print preview of a ledger: its pages as they will print, laid out once
// on the window's printer and rendered only as they come into view, so the
// first page shows at once on a ledger of thousands of rows. The toolbar
// pages through (first, previous, next, last, or a number typed in the
// "n / N" box), zooms (fit width, fit page, in, out), turns the paper,
// opens the page setup (the ledger keeps the choice) and prints through the
// print dialog.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "host/controls/ledger.h"
#include "orvasaleprice/com_error.h"
#include "qt/print/ledger_page_painter.h"

class QAction;
class QLabel;
class QPrinter;
class QSpinBox;

namespace orva::qt {

class PreviewPageView;

class LedgerPreviewDialog : public QDialog {
    Q_OBJECT

  public:
    // Prints the ledger on a printer the print dialog has set up; false when
    // the user cancelled it. May raise ComError.
    using PrintFn = std::function<bool(QPrinter&)>;

    LedgerPreviewDialog(Ledger& ledger, QPrinter& printer, PrintFn print,
                        QWidget* parent = nullptr);
    ~LedgerPreviewDialog() override;

    int PageCount() const;
    int CurrentPage() const;
    PreviewPageView& Pages() const { return *pages_; }
    // The toolbar's commands by name: "first", "previous", "next", "last",
    // "fitWidth", "fitPage", "zoomIn", "zoomOut", "portrait", "landscape",
    // "pageSetup", "print".
    QAction* Command(const char* name) const;
    QSpinBox* PageBox() const { return pageBox_; }

    // A print started here that failed: the dialog closes and the caller
    // raises it (a failure may not pass through Qt's event loop).
    const std::optional<ComError>& Failure() const { return failure_; }

  private:
    QAction* AddCommand(const char* name, const char* text, const QKeySequence& key);
    void BuildToolBar();
    // Lays the ledger out again on the printer's page setup.
    void Relayout();
    void SetLandscape(bool landscape);
    void EditPageSetup();
    void Print();
    void UpdateCommands();

    Ledger& ledger_;
    QPrinter& printer_;
    PrintFn print_;
    std::optional<LedgerPagePainter> painter_;
    PreviewPageView* pages_;
    QSpinBox* pageBox_ = nullptr;
    QLabel* zoomLabel_ = nullptr;
    std::optional<ComError> failure_;
};

}  // namespace orva::qt
