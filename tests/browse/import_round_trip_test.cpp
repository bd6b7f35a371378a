// A ledger the browse window exported, imported back into the leaf it came
// from, is the same price list: every row is unchanged and the import writes
// nothing. Both trees (a customer's ledger has no customer column, an item's
// no item column), both formats.
#include <filesystem>

#include "browse_fixture.h"
#include "host/component_registry.h"
#include "host/export/export_component.h"
#include "import/import_plan.h"
#include "import/import_write.h"

namespace orva {
namespace {

namespace fs = std::filesystem;

class ImportRoundTrip : public BrowseTest {
  protected:
    void SetUp() override {
        BrowseTest::SetUp();
        dir_ = test::MakeTempDir("orva-import-round-trip");
        ComponentRegistry::Register<ExportComponent>(ExportComponent::kProgID, [this] {
            auto c = std::make_shared<ExportComponent>();
            c->SetTarget({file_, FormatOfPath(file_).value_or(ExportFormat::kCsv)});
            return c;
        });
    }
    void TearDown() override {
        ComponentRegistry::Unregister(ExportComponent::kProgID);
        fs::remove_all(dir_);
        BrowseTest::TearDown();
    }
    // Every stored entry, one text: what an import must leave as it was.
    std::string AllEntries() {
        std::string all;
        RecordsetPtr rs = Query(
            "SELECT FEntryID,FCustID,FItemID,FUnitID,FStartQty,FEndQty,FPrice,FCyID,FDiscount,"
            "FLeadTime,FQuoteTime,FUsed,FExpireDate,FNote FROM t_CustEntry ORDER BY FEntryID");
        for (; !rs->EOF_(); rs->MoveNext()) {
            for (int i = 0; i < rs->FieldCount(); ++i) all += rs->Fields(i).Value().ToText() + "|";
            all += "\n";
        }
        return all;
    }

    std::string dir_;
    std::string file_;
};

TEST_F(ImportRoundTrip, AnExportedLedgerImportsBackUnchanged) {
    for (bool byCustomer : {true, false}) {
        for (const char* name : {"ledger.xlsx", "ledger.csv"}) {
            SCOPED_TRACE(std::string(byCustomer ? "customer " : "item ") + name);
            window_.reset();
            ctx_->g_CategoryByCust = byCustomer;
            BrowseBase& w = Open();
            const std::int32_t leaf =
                byCustomer ? DeepCustomer(3)
                           : static_cast<std::int32_t>(
                                 Count("SELECT TOP 1 e.FItemID FROM t_CustEntry e GROUP BY "
                                       "e.FItemID HAVING COUNT(*)>=3 ORDER BY e.FItemID"));
            ClickLeaf(w, leaf);
            const int shown = w.ldgBase().Rows() - 2;
            ASSERT_GE(shown, 3);
            file_ = (fs::path(dir_) / name).string();
            w.Menus().Click("mnuFileExport");
            ASSERT_TRUE(fs::exists(file_));

            const std::string before = AllEntries();
            import::ImportLeaf into;
            (byCustomer ? into.custID : into.itemID) = leaf;
            import::ImportPlan plan =
                import::PlanImport(*ctx_, *ctx_->g_Connection, file_, {}, into);
            EXPECT_EQ(static_cast<int>(plan.rows.size()), shown);
            for (const import::PlannedRow& row : plan.rows) {
                EXPECT_EQ(row.outcome, import::RowOutcome::kUnchanged)
                    << "row " << row.number << ": " << import::OutcomeName(row.outcome) << " "
                    << plan.Reason(row);
            }
            EXPECT_EQ(plan.ToWrite(), 0);
            const import::ImportResult result =
                import::WriteImport(*ctx_, *ctx_->g_Connection, plan);
            EXPECT_EQ(result.added + result.changed, 0);
            EXPECT_EQ(AllEntries(), before);
        }
    }
}

}  // namespace
}  // namespace orva
