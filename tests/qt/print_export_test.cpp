// Export and column show/hide in the real browse window, worked with the
// menus as a clerk does: the file dialog, the replace question, the column
// dialog.
#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "browse/browse_base.h"
#include "demo/demo_company.h"
#include "entry/globals.h"
#include "host/app_connection.h"
#include "host/host_services.h"
#include "host/settings_store.h"
#include "orvasaleprice/cust_face.h"
#include "qt/browse_window.h"
#include "qt/column_visibility_dialog.h"
#include "qt/menu_bar_binder.h"
#include "qt/modal_window_dialog.h"
#include "qt/module_views.h"
#include "qt/qt_export.h"
#include "qt/qt_host_ui.h"
#include "qt/qt_text.h"
#include "qt_test_app.h"
#include "support/scoped_session.h"
#include "support/temp_company.h"

namespace orva::qt {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

class PrintExportGui : public ::testing::Test {
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
        RegisterQtExportComponents();
        session_ = std::make_unique<orva::test::ScopedSession>(company_.path(), demo::kAdminUserId,
                                                               "ic", "CHS");
        dir_ = orva::test::MakeTempDir("orva-gui-export");
    }
    void TearDown() override {
        g_Connection.reset();
        SetCurrentUi(nullptr);
        SetCurrentSettings(nullptr);
        session_.reset();
        g_SelCustID = 0;
        fs::remove_all(dir_);
    }

    std::int32_t Customer() {
        AppConnection db;
        return static_cast<std::int32_t>(
            db.Execute("SELECT TOP 1 e.FCustID FROM t_CustEntry e GROUP BY e.FCustID "
                       "HAVING COUNT(*)>=3 ORDER BY e.FCustID")
                ->Fields(0)
                .Value()
                .ToInteger());
    }
    // Runs `act` in the browse window opened on a customer.
    void InBrowseWindow(std::function<void(BrowseWindow&)> act) {
        bool ran = false;
        test::WhenWindow("BrowseBase", [&](ModalWindowDialog& d) {
            ran = true;
            act(*qobject_cast<BrowseWindow*>(d.Body()));
            d.close();
        });
        CustFace face;
        face.SelCustID(Customer());
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
    // Chooses the filter and the file in the dialog and waits until the
    // dialog has settled on it (its folder model loads in the background).
    // Chooses the filter and types the file's full path, as a user may.
    static void Select(QFileDialog& f, const QString& path, const QString& filter) {
        f.selectNameFilter(filter);
        auto* edit = f.findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(edit, nullptr);
        edit->setText(path);
        EXPECT_EQ(f.selectedFiles().value(0), path);
    }
    // Answers the export file dialog with a name and a filter.
    static void AnswerFileDialog(const QString& path, const QString& filter) {
        test::WhenModal<QFileDialog>([path, filter](QFileDialog& f) {
            EXPECT_EQ(f.objectName(), QtExport::kDialogName);
            Select(f, path, filter);
            static_cast<QDialog&>(f).accept();
        });
    }

    orva::test::TempCompany company_;
    std::unique_ptr<orva::test::ScopedSession> session_;
    std::shared_ptr<MemorySettingsStore> settings_;
    std::string dir_;
};

TEST_F(PrintExportGui, ExportAsksForTheFileAndAsksBeforeReplacingOne) {
    const std::string base = (fs::path(dir_) / "prices").string();
    const std::string csv = base + ".csv";
    { std::ofstream(csv) << "old"; }
    InBrowseWindow([&](BrowseWindow& w) {
        const int rows = w.logic().ldgBase().Rows() - 2;
        // No extension typed: the XLSX filter names the file.
        AnswerFileDialog(Q(base), QtExport::XlsxFilter());
        ChooseMenu(w, "mnuFile", "mnuFileExport");
        ASSERT_TRUE(QTest::qWaitFor([&] { return fs::exists(base + ".xlsx"); }));
        EXPECT_EQ(ReadFile(base + ".xlsx").substr(0, 2), "PK");

        // An existing CSV: "No" goes back to the dialog, which is then
        // cancelled; the file stays as it was.
        bool cancelled = false;
        test::WhenModal<QFileDialog>([&](QFileDialog& f) {
            Select(f, Q(csv), QtExport::CsvFilter());
            test::WhenModal<QMessageBox>([&](QMessageBox& box) {
                EXPECT_TRUE(box.text().contains(Q(csv)));
                test::WhenModal<QFileDialog>([&](QFileDialog& again) {
                    again.reject();
                    cancelled = true;
                });
                box.button(QMessageBox::No)->click();
            });
            static_cast<QDialog&>(f).accept();
        });
        ChooseMenu(w, "mnuFile", "mnuFileExport");
        ASSERT_TRUE(QTest::qWaitFor([&] { return cancelled; }));
        QTest::qWait(50);
        EXPECT_EQ(ReadFile(csv), "old");

        // "Yes" replaces it.
        int step = 0;
        test::WhenModal<QFileDialog>([&](QFileDialog& f) {
            step = 1;
            Select(f, Q(csv), QtExport::CsvFilter());
            test::WhenModal<QMessageBox>([&](QMessageBox& box) {
                step = 2;
                box.button(QMessageBox::Yes)->click();
            });
            static_cast<QDialog&>(f).accept();
        });
        ChooseMenu(w, "mnuFile", "mnuFileExport");
        ASSERT_TRUE(QTest::qWaitFor([&] { return step == 2; })) << step;
        ASSERT_TRUE(QTest::qWaitFor([&] { return ReadFile(csv) != "old"; }));
        const std::string text = ReadFile(csv);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), rows + 1);
    });
}

TEST_F(PrintExportGui, ColumnShowHideHidesTheColumnInTheLedgerAndSavesIt) {
    InBrowseWindow([&](BrowseWindow& w) {
        test::WhenModal<ColumnVisibilityDialog>([](ColumnVisibilityDialog& d) {
            QListWidget* list = d.List();
            ASSERT_GT(list->count(), 2);
            EXPECT_EQ(list->item(1)->text(), "物料名称");
            list->item(1)->setCheckState(Qt::Unchecked);
            d.accept();
        });
        ChooseMenu(w, "mnuview", "mnuHideCol");
        EXPECT_TRUE(w.logic().ldgBase().ColHidden(3));
    });
    EXPECT_EQ(settings_->Read("OrvaSalePrice", "OrvaCustInfo", "3CustColHide").value_or(""),
              "True");
}

}  // namespace
}  // namespace orva::qt
