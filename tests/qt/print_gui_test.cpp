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

class PrintGui : public ::testing::Test {
  protected:
    void SetUp() override {
        test::App();
        RegisterHostServices();
        g_SessionProps.reset();
        g_CallByBill = false;
        g_CategoryByCust = true;
        settings_ = std::make_shared<MemorySettingsStore>();
        SetCurrentSettings(settings_);
        SetCurrentUi(std::make_shared<QtHostUi>());
        RegisterBrowseViews();
        RegisterQtLedgerPrint();
        session_ = std::make_unique<orva::test::ScopedSession>(company_.path(), demo::kAdminUserId,
                                                               "ic", "CHS");
        dir_ = orva::test::MakeTempDir("orva-gui-print");
    }
    void TearDown() override {
        g_Connection.reset();
        SetCurrentUi(nullptr);
        SetCurrentSettings(nullptr);
        session_.reset();
        g_SelCustID = 0;
        fs::remove_all(dir_);
    }
    void InBrowseWindow(std::function<void(BrowseWindow&)> act) {
        bool ran = false;
        test::WhenWindow("BrowseBase", [&](ModalWindowDialog& d) {
            ran = true;
            act(*qobject_cast<BrowseWindow*>(d.Body()));
            d.close();
        });
        AppConnection db;
        CustFace face;
        face.SelCustID(static_cast<std::int32_t>(
            db.Execute("SELECT TOP 1 FCustID FROM t_CustEntry GROUP BY FCustID HAVING "
                       "COUNT(*)>=3 ORDER BY FCustID")
                ->Fields(0)
                .Value()
                .ToInteger()));
        face.Show(showedit);
        EXPECT_TRUE(ran);
    }
    static void ChooseMenu(BrowseWindow& w, const std::string& menu, const std::string& item) {
        QAction* top = w.menus()->Action(menu);
        QTest::mouseClick(w.menuBar(), Qt::LeftButton, {},
                          w.menuBar()->actionGeometry(top).center());
        QMenu* popup = w.menus()->Menu(menu);
        ASSERT_TRUE(QTest::qWaitFor([&] { return popup->isVisible(); }));
        QAction* action = w.menus()->Action(item);
        ASSERT_TRUE(action->isEnabled()) << item;
        QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(action).center());
    }

    orva::test::TempCompany company_;
    std::unique_ptr<orva::test::ScopedSession> session_;
    std::shared_ptr<MemorySettingsStore> settings_;
    std::string dir_;
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
