// The import preview in the real browse window: File → Import… with the
// mouse opens the preview of the chosen price list; the user ticks the row
// below the minimum price, filters the list and presses Import; exactly the
// rows the preview shows are written and the ledger is read again. Cancel in
// the import's progress window keeps exactly the rows written before it, and
// the same file imported again writes the rest.
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>
#include <fstream>

#include "browse/import_preview.h"
#include "browse_window_gui.h"
#include "host/component_registry.h"
#include "model/sql_values.h"
#include "qt/dialogs/progress_window.h"
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

TEST_F(ImportPreviewGui, CancelInTheProgressWindowKeepsTheRowsBeforeItAndARerunWritesTheRest) {
    ProgressWindow::SetShowAfter(std::chrono::milliseconds(0));
    struct Restore {
        ~Restore() { ProgressWindow::SetShowAfter(std::chrono::milliseconds(500)); }
    } restore;
    constexpr int kRows = 3000;  // long enough for the window to show several steps
    source_ = dir_ + "/many.csv";
    {
        std::ofstream csv(source_, std::ios::binary);
        csv << "物料代码,销货量(从),销货量(到),报价\r\n";
        for (int i = 0; i < kRows; ++i)
            csv << "01.01.001," << 100000 + i * 10 << "," << 100000 + i * 10 + 9 << ",500\r\n";
    }
    const std::string pair = " AND FCustID=" + SqlId(Customer()) + " AND FStartQty>=100000";
    auto count = [&](const std::string& what) {
        AppConnection db;
        return db
            .Execute("SELECT " + what +
                     " FROM t_CustEntry WHERE FItemID IN (SELECT FItemID "
                     "FROM t_ICItem WHERE FNumber='01.01.001')" +
                     pair)
            ->Fields(0)
            .Value()
            .ToInteger();
    };
    // Opens the preview from the File menu, checks its counts and presses
    // Import; `whileWriting` acts on the progress window.
    auto importOnce = [&](BrowseWindow& w, const QString& counts,
                          std::function<bool(QProgressDialog&)> whileWriting) {
        bool previewed = false;
        test::WhenWindow(ImportPreview::kWindowName, [&](ModalWindowDialog& d) {
            previewed = true;
            auto* view = qobject_cast<ImportPreviewView*>(d.Body());
            ASSERT_NE(view, nullptr);
            EXPECT_EQ(view->countsLine()->text(), counts);
            if (whileWriting) {
                test::WhenModalWidget(
                    [&](QWidget* modal) {
                        auto* p = qobject_cast<QProgressDialog*>(modal);
                        return p && whileWriting(*p);
                    },
                    20000);
            }
            test::WhenModal<QMessageBox>([](QMessageBox& box) { box.accept(); }, 30000);
            QTest::mouseClick(view->importButton(), Qt::LeftButton);
            EXPECT_FALSE(view->importButton()->isEnabled());
            d.close();
        });
        ChooseMenu(w, "mnuFile", "mnuFileImport");
        EXPECT_TRUE(previewed);
    };

    std::int64_t k = -1;  // the rows the window said were written when Cancel was pressed
    InBrowseWindow([&](BrowseWindow& w) {
        importOnce(w, QStringLiteral("新增 %1").arg(kRows), [&](QProgressDialog& p) {
            if (p.value() < 1)
                return false;
            k = p.value();
            QTest::mouseClick(p.findChild<QPushButton*>(), Qt::LeftButton);
            return true;
        });
    });
    ASSERT_GT(k, 0);
    ASSERT_LT(k, kRows);
    EXPECT_EQ(count("COUNT(*)"), k);

    InBrowseWindow([&](BrowseWindow& w) {
        importOnce(w, QStringLiteral("新增 %1  无变化 %2").arg(kRows - k).arg(k), nullptr);
    });
    EXPECT_EQ(count("COUNT(*)"), kRows);
    EXPECT_EQ(count("COUNT(DISTINCT FStartQty)"), kRows);
}

}  // namespace
}  // namespace orva::qt
