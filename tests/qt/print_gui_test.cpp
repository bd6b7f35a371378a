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
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QTest>
#include <QToolBar>
#include <cstdio>
#include <filesystem>

#include "browse_window_gui.h"
#include "demo/demo_company.h"
#include "entry/globals.h"
#include "host/app_connection.h"
#include "host/com_error.h"
#include "host/host_services.h"
#include "host/settings_store.h"
#include "orvasaleprice/cust_face.h"
#include "qt/browse_window.h"
#include "qt/menu_bar_binder.h"
#include "qt/modal_window_dialog.h"
#include "qt/module_views.h"
#include "qt/page_setup_dialog.h"
#include "qt/qt_export.h"
#include "qt/qt_host_ui.h"
#include "qt/qt_ledger_print.h"
#include "qt/qt_text.h"
#include "qt/toolbar_binder.h"
#include "qt_test_app.h"
#include "support/scoped_session.h"
#include "support/temp_company.h"

namespace orva::qt {
namespace {

namespace fs = std::filesystem;

// The page count pdfinfo reports, -1 when it cannot read the file.
int PdfPages(const std::string& path) {
    FILE* p = ::popen(("pdfinfo '" + path + "' 2>/dev/null").c_str(), "r");
    if (!p)
        return -1;
    char line[512];
    int pages = -1;
    while (std::fgets(line, sizeof line, p))
        if (std::sscanf(line, "Pages: %d", &pages) == 1)
            break;
    ::pclose(p);
    return pages;
}

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

TEST_F(PrintGui, PreviewOpensFromTheToolbarOnALeaf) {
    InBrowseWindow([&](BrowseWindow& w) {
        bool shown = false;
        test::WhenModal<QPrintPreviewDialog>([&](QPrintPreviewDialog& d) {
            shown = true;
            EXPECT_EQ(d.objectName(), "printPreviewDialog");
            d.reject();
        });
        QAction* preview = w.toolbarBinder()->Action("PrintView");
        ASSERT_TRUE(preview->isEnabled());
        preview->trigger();
        ASSERT_TRUE(QTest::qWaitFor([&] { return shown; }));
    });
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
    EXPECT_EQ(settings_->Read("OrvaSalePrice", "OrvaCustInfo", "PrintPaper").value_or(""), "A3");
    EXPECT_EQ(settings_->Read("OrvaSalePrice", "OrvaCustInfo", "PrintLandscape").value_or(""),
              "True");
    EXPECT_EQ(settings_->Read("OrvaSalePrice", "OrvaCustInfo", "PrintFitToWidth").value_or(""),
              "False");
}

TEST_F(PrintGui, APdfOfManyRowsHasTheLayoutsPageCountAndAFolderThatIsMissingFails) {
    Ledger ledger;
    ledger.SetCols(4);
    ledger.SetRows(2 + 500);
    for (int r = 1; r <= ledger.Rows(); ++r)
        ledger.SetRowText(r, "id|代码" + std::to_string(r) + "|名称|12.50|");
    ledger.SetTextline(1, "价格信息");
    ledger.SetTextline(7, "第&[页]页/共&[总页]页  ");
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
