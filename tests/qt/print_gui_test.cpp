// Print, preview and print setup in the real browse window: the print dialog
// printing to a PDF file whose pages are counted, the preview dialog, the
// page setup dialog and its choice kept for the next start.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QToolBar>
#include <cstdio>
#include <filesystem>
#include <set>

#include "browse_window_gui.h"
#include "demo/demo_company.h"
#include "host/app_connection.h"
#include "host/host_services.h"
#include "host/settings_store.h"
#include "orvasaleprice/com_error.h"
#include "orvasaleprice/cust_face.h"
#include "qt/controls/menu_bar_binder.h"
#include "qt/controls/qt_text.h"
#include "qt/controls/toolbar_binder.h"
#include "qt/dialogs/modal_window_dialog.h"
#include "qt/hostapp/qt_host_ui.h"
#include "qt/print/ledger_page_painter.h"
#include "qt/print/ledger_preview_dialog.h"
#include "qt/print/page_setup_dialog.h"
#include "qt/print/preview_page_view.h"
#include "qt/print/qt_export.h"
#include "qt/print/qt_ledger_print.h"
#include "qt/windows/browse_window.h"
#include "qt/windows/module_views.h"
#include "qt_test_app.h"
#include "session/module_context.h"
#include "support/file_text.h"
#include "support/scoped_session.h"
#include "support/temp_company.h"

namespace orva::qt {
namespace {

namespace fs = std::filesystem;

using orva::test::PdfPages;

class PrintGui : public test::BrowseWindowGui {
  protected:
    PrintGui() : BrowseWindowGui("orva-gui-print", [] { RegisterQtLedgerPrint(); }) {}
};

TEST_F(PrintGui, PrintGoesThroughThePrintDialogToAPdfOfTheLedger) {
    const std::string pdf = (fs::path(dir_) / "ledger.pdf").string();
    InBrowseWindow([&](BrowseWindow& w) {
        bool asked = false;
        test::WhenModal<QPrintDialog>([&](QPrintDialog& d) {
            asked = true;
            // With no printer installed the dialog offers printing to a file.
            auto* file = d.findChild<QLineEdit*>("filename");
            ASSERT_NE(file, nullptr);
            file->setText(Q(pdf));
            static_cast<QDialog&>(d).accept();
        });
        ChooseMenu(w, "mnuFile", "mnuFilePrint");
        ASSERT_TRUE(QTest::qWaitFor([&] { return asked && fs::exists(pdf); }));
        EXPECT_EQ(w.logic().ldgBase().PrintSetting(), -1);
    });
    EXPECT_EQ(PdfPages(pdf), 1);
}

TEST_F(PrintGui, PreviewOpensFromMenuAndToolbarAndKeepsATurnedPage) {
    InBrowseWindow([&](BrowseWindow& w) {
        int shown = 0;
        test::WhenModal<LedgerPreviewDialog>([&](LedgerPreviewDialog& d) {
            ++shown;
            EXPECT_EQ(d.CurrentPage(), 1);
            EXPECT_GE(d.PageCount(), 1);
            d.reject();
        });
        ChooseMenu(w, "mnuFile", "mnuFilePreview");
        ASSERT_TRUE(QTest::qWaitFor([&] { return shown == 1; }));
        EXPECT_EQ(w.logic().ldgBase().PrintSetting(), -1);

        test::WhenModal<LedgerPreviewDialog>([&](LedgerPreviewDialog& d) {
            ++shown;
            d.Command("landscape")->trigger();
            d.reject();
        });
        QAction* preview = w.toolbarBinder()->Action("PrintView");
        ASSERT_TRUE(preview->isEnabled());
        preview->trigger();
        ASSERT_TRUE(QTest::qWaitFor([&] { return shown == 2; }));
        EXPECT_TRUE(w.logic().ldgBase().PrintPageSetup().landscape);
    });
    EXPECT_EQ(settings_->Read("OrvaSalePrice", "BrowseBase", "PrintLandscape").value_or(""),
              "True");
}

TEST_F(PrintGui, PrintSetupChangesThePageAndIsSaved) {
    InBrowseWindow([&](BrowseWindow& w) {
        test::WhenModal<PageSetupDialog>([](PageSetupDialog& d) {
            d.Paper()->setCurrentText("A3");
            d.Landscape()->setChecked(true);
            d.FitToWidth()->setChecked(false);
            d.accept();
        });
        ChooseMenu(w, "mnuFile", "mnuFilePrintSetup");
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return w.logic().ldgBase().PrintPageSetup().landscape; }));
        EXPECT_EQ(w.logic().ldgBase().PrintPageSetup().paper, "A3");
    });
    EXPECT_EQ(settings_->Read("OrvaSalePrice", "BrowseBase", "PrintPaper").value_or(""), "A3");
    EXPECT_EQ(settings_->Read("OrvaSalePrice", "BrowseBase", "PrintLandscape").value_or(""),
              "True");
    EXPECT_EQ(settings_->Read("OrvaSalePrice", "BrowseBase", "PrintFitToWidth").value_or(""),
              "False");
}

// A ledger of `rows` data rows and three printed columns.
void FillLedger(Ledger& ledger, int rows) {
    ledger.SetCols(4);
    ledger.SetRows(2 + rows);
    for (int r = 1; r <= ledger.Rows(); ++r)
        ledger.SetRowText(r, "id|代码" + std::to_string(r) + "|名称|12.50|");
    ledger.SetTextline(1, "价格信息");
    ledger.SetTextline(7, "第&[页]页/共&[总页]页  ");
}

// The distinct pages the preview has rendered.
std::set<int> Rendered(const LedgerPreviewDialog& d) {
    const std::vector<int>& log = d.Pages().RenderLog();
    return {log.begin(), log.end()};
}

TEST_F(PrintGui, PreviewRendersOnlyThePagesItShowsAndPagesThrough) {
    Ledger ledger;
    FillLedger(ledger, 3000);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(PageLayoutOf(ledger.PrintPageSetup()));
    const int pages = LedgerPagePainter(ledger, printer, true).PageCount();
    ASSERT_GT(pages, 20);

    LedgerPreviewDialog d(ledger, printer, nullptr);
    d.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !d.Pages().RenderLog().empty(); }));
    EXPECT_EQ(d.PageCount(), pages);
    EXPECT_EQ(d.CurrentPage(), 1);
    EXPECT_EQ(d.PageBox()->text(), QString("1 / %1").arg(pages));
    EXPECT_EQ(Rendered(d), std::set<int>{1});  // fitted to the width, page 1 fills the view
    EXPECT_FALSE(d.Command("previous")->isEnabled());

    d.Command("next")->trigger();
    QTest::qWait(50);
    EXPECT_EQ(d.CurrentPage(), 2);
    d.Command("last")->trigger();
    QTest::qWait(50);
    EXPECT_EQ(d.CurrentPage(), pages);
    EXPECT_EQ(d.PageBox()->value(), pages);
    EXPECT_FALSE(d.Command("next")->isEnabled());
    // Page 1, what showed of page 2 and 3 while stepping, and the last ones.
    const std::set<int> seen = Rendered(d);
    EXPECT_LE(seen.size(), 6u);
    EXPECT_TRUE(seen.count(pages));
    EXPECT_LE(d.Pages().CachedPages(), PreviewPageView::kCachedPages + 2);

    // A typed page number goes there; zooming out shows several pages at once.
    d.PageBox()->setValue(10);
    d.Command("fitPage")->trigger();
    QTest::qWait(50);
    EXPECT_EQ(d.CurrentPage(), 10);
    const double fitted = d.Pages().Zoom();
    d.Command("zoomOut")->trigger();
    d.Command("zoomOut")->trigger();
    EXPECT_NEAR(d.Pages().Zoom(), fitted / 1.25 / 1.25, 1e-6);
    const std::size_t before = d.Pages().RenderLog().size();
    d.Pages().viewport()->repaint();
    EXPECT_GT(d.Pages().RenderLog().size(), before + 1);

    // Landscape holds fewer rows a page: the pages are laid out again.
    d.Command("landscape")->trigger();
    EXPECT_TRUE(ledger.PrintPageSetup().landscape);
    EXPECT_GT(d.PageCount(), pages);
    EXPECT_EQ(d.PageBox()->suffix(), QString(" / %1").arg(d.PageCount()));
}

TEST_F(PrintGui, PrintFromThePreviewWritesEveryPageThroughThePrintDialog) {
    Ledger ledger;
    FillLedger(ledger, 300);
    const std::string pdf = (fs::path(dir_) / "from-preview.pdf").string();
    QtLedgerPrint print;
    test::WhenModal<LedgerPreviewDialog>([&](LedgerPreviewDialog& d) {
        test::WhenModal<QPrintDialog>([&](QPrintDialog& p) {
            auto* file = p.findChild<QLineEdit*>("filename");
            ASSERT_NE(file, nullptr);
            file->setText(Q(pdf));
            static_cast<QDialog&>(p).accept();
        });
        d.Command("print")->trigger();
    });
    print.Ldg4Print(ledger, true);  // returns when the preview has closed after printing
    ASSERT_GT(print.PagesPrinted(), 1);
    EXPECT_EQ(PdfPages(pdf), print.PagesPrinted());
}

TEST_F(PrintGui, APdfOfManyRowsHasTheLayoutsPageCountAndAFolderThatIsMissingFails) {
    Ledger ledger;
    FillLedger(ledger, 500);
    const std::string pdf = (fs::path(dir_) / "many.pdf").string();
    QtLedgerPrint print(pdf);
    print.Ldg4Print(ledger, false);
    EXPECT_GT(print.PagesPrinted(), 5);
    EXPECT_EQ(PdfPages(pdf), print.PagesPrinted());

    QtLedgerPrint nowhere((fs::path(dir_) / "no" / "x.pdf").string());
    EXPECT_THROW(nowhere.Ldg4Print(ledger, false), ComError);
}

}  // namespace
}  // namespace orva::qt
