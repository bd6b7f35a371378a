// The import preview in the real browse window: File → Import… with the
// mouse opens the preview of the chosen price list; the user ticks the row
// below the minimum price, filters the list and presses Import; exactly the
// rows the preview shows are written and the ledger is read again.
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <fstream>

#include "browse/import_preview.h"
#include "browse_window_gui.h"
#include "host/component_registry.h"
#include "model/sql_values.h"
#include "qt/windows/import_preview_view.h"

namespace orva::qt {
namespace {

class PresetFiles : public ImportFiles {
  public:
    explicit PresetFiles(std::string source) : source_(std::move(source)) {}
    std::optional<std::string> ChooseSource() override { return source_; }
    std::optional<std::string> ChooseTarget(const std::string&) override { return std::nullopt; }
    std::optional<std::string> ChooseSheet(const std::vector<std::string>& sheets) override {
        return sheets.front();
    }

  private:
    std::string source_;
};

class ImportPreviewGui : public test::BrowseWindowGui {
  protected:
    ImportPreviewGui()
        : BrowseWindowGui("orva-gui-import", [this] {
              ComponentRegistry::Register<ImportFiles>(
                  ImportFiles::kProgID, [this] { return std::make_shared<PresetFiles>(source_); });
          }) {}
    void TearDown() override {
        ComponentRegistry::Unregister(ImportFiles::kProgID);
        BrowseWindowGui::TearDown();
    }
    std::string source_;
};

TEST_F(ImportPreviewGui, TheUserTicksARowBelowTheFloorAndImports) {
    {
        AppConnection db;
        db.Execute(
            "UPDATE t_ICItem SET FSalePriceFixingType=1,FSoLowPrc=100,FSoLowPrcMnyType=1 "
            "WHERE FNumber='01.01.002'");
    }
    source_ = dir_ + "/prices.csv";
    std::ofstream(source_, std::ios::binary) << "物料代码,销货量(从),销货量(到),报价\r\n"
                                                "01.01.001,7000,7999,500\r\n"
                                                "01.01.002,7000,7999,50\r\n"
                                                "01.01.002,8000,8999,40\r\n";
    const std::int32_t cust = Customer();
    int ledgerBefore = 0, ledgerAfter = 0;
    bool previewed = false;
    InBrowseWindow([&](BrowseWindow& w) {
        ledgerBefore = w.logic().ldgBase().Rows();
        test::WhenWindow(ImportPreview::kWindowName, [&](ModalWindowDialog& d) {
            previewed = true;
            auto* view = qobject_cast<ImportPreviewView*>(d.Body());
            ASSERT_NE(view, nullptr);
            EXPECT_EQ(view->model()->rowCount(), 3);
            EXPECT_EQ(view->countsLine()->text(), QStringLiteral("新增 1  低于最低限价 2"));
            // Only the rows below the floor, then the first of them ticked.
            view->filterBox()->setCurrentIndex(view->filterBox()->findText("低于最低限价"));
            ASSERT_EQ(view->model()->rowCount(), 2);
            const QModelIndex tick = view->model()->index(0, ImportRowsModel::kWrite);
            EXPECT_TRUE(view->model()->flags(tick) & Qt::ItemIsUserCheckable);
            view->model()->setData(tick, Qt::Checked, Qt::CheckStateRole);
            EXPECT_EQ(view->model()->data(tick, Qt::CheckStateRole).toInt(), Qt::Checked);
            // The closing message is answered, then the preview closed.
            test::WhenModal<QMessageBox>([](QMessageBox& box) { box.accept(); });
            QTest::mouseClick(view->importButton(), Qt::LeftButton);
            EXPECT_FALSE(view->importButton()->isEnabled());
            d.close();
        });
        ChooseMenu(w, "mnuFile", "mnuFileImport");
        ledgerAfter = w.logic().ldgBase().Rows();
    });
    EXPECT_TRUE(previewed);
    AppConnection db;
    const std::string pair = " AND FCustID=" + SqlId(cust);
    EXPECT_EQ(db.Execute("SELECT COUNT(*) FROM t_CustEntry WHERE FStartQty=7000" + pair)
                  ->Fields(0)
                  .Value()
                  .ToInteger(),
              2);
    EXPECT_EQ(db.Execute("SELECT COUNT(*) FROM t_CustEntry WHERE FStartQty=8000" + pair)
                  ->Fields(0)
                  .Value()
                  .ToInteger(),
              0);
    EXPECT_EQ(ledgerAfter, ledgerBefore + 2);
}

}  // namespace
}  // namespace orva::qt
