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
#include "browse_window_gui.h"
#include "demo/demo_company.h"
#include "host/app_connection.h"
#include "host/host_services.h"
#include "host/settings_store.h"
#include "orvasaleprice/cust_face.h"
#include "qt/controls/menu_bar_binder.h"
#include "qt/controls/qt_text.h"
#include "qt/dialogs/column_visibility_dialog.h"
#include "qt/dialogs/modal_window_dialog.h"
#include "qt/hostapp/qt_host_ui.h"
#include "qt/print/qt_export.h"
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

using orva::test::ReadFile;

class PrintExportGui : public test::BrowseWindowGui {
  protected:
    PrintExportGui() : BrowseWindowGui("orva-gui-export", [] { RegisterQtExportComponents(); }) {}
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
        // The command has ended once the browse window is the top modal window again.
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return QApplication::activeModalWidget() == w.window(); }));
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
