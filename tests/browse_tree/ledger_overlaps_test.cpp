// The ledger's marks: a row whose entry overlaps another row's of the same
// customer, item, unit and currency is marked, whatever the order of the
// ledger's rows, and its note names the other entries; the cells stay as
// they are.
#include "browse/base_detail.h"
#include "host/controls/ledger.h"
#include "tree_fixture.h"

namespace orva {
namespace {

// One ledger row of customer 101's prices of item 7 (the item tree's
// statement columns that the marks read).
struct Row {
    std::int32_t entry;
    const char* unit;
    const char* currency;
    double start, end;
    const char* from;
    const char* to;
    std::int32_t cust = 101;
};

RecordsetPtr Ledger(const std::vector<Row>& rows) {
    std::vector<std::string> columns = {"FItemID",    "FCustID", "FEntryID",    "FUnitName",
                                        "FStartQty",  "FEndQty", "FPrice",      "FCyName",
                                        "FQuoteTime", "Fused",   "FExpireDate", "FNote"};
    std::vector<Variant> cells;
    for (const Row& r : rows) {
        cells.insert(cells.end(), {Variant(7), Variant(r.cust), Variant(r.entry), Variant(r.unit),
                                   Variant(r.start), Variant(r.end), Variant(12.5),
                                   Variant(r.currency), Variant(r.from),
                                   Variant(r.entry % 2 ? "Y" : " "), Variant(r.to), Variant("")});
    }
    return std::make_shared<Recordset>(std::move(columns), std::move(cells));
}

struct Case {
    const char* name;
    std::vector<Row> rows;
    std::vector<int> marked;  // ledger rows, from 3
};

class LedgerOverlapsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterHostServices();
        detail.SetLDG(&ledger);
        ledger.SetSource(&detail);
        detail.GetTitleInfo(true);
    }
    void Load(const std::vector<Row>& rows) {
        bool result = false;
        detail.TakeJournalData("", Ledger(rows), result);
    }
    test::ScopedSession session{"LANGUAGE=CHS"};
    test::TestContext ctx_;
    orva::Ledger ledger;
    BaseDetail detail{*ctx_};
};

TEST_F(LedgerOverlapsTest, MarkedRows) {
    const std::vector<Case> cases = {
        {"bands and periods intersect, audited or not",
         {{1, "PCS", "RMB", 0, 100, "2024-01-01", "2100-01-01"},
          {2, "PCS", "RMB", 50, 0, "2025-01-01", "2026-01-01"}},
         {3, 4}},
        {"one period ends the day the other begins",
         {{1, "PCS", "RMB", 0, 100, "2024-01-01", "2025-01-01"},
          {2, "PCS", "RMB", 0, 100, "2025-01-01", "2026-01-01"}},
         {}},
        {"other unit",
         {{1, "PCS", "RMB", 0, 0, "2024-01-01", "2100-01-01"},
          {2, "BOX", "RMB", 0, 0, "2024-01-01", "2100-01-01"}},
         {}},
        {"other currency",
         {{1, "PCS", "RMB", 0, 0, "2024-01-01", "2100-01-01"},
          {2, "PCS", "USD", 0, 0, "2024-01-01", "2100-01-01"}},
         {}},
        {"other customer",
         {{1, "PCS", "RMB", 0, 0, "2024-01-01", "2100-01-01"},
          {2, "PCS", "RMB", 0, 0, "2024-01-01", "2100-01-01", 102}},
         {}},
        {"rows of one unit apart in the ledger's order",
         {{1, "PCS", "RMB", 0, 10, "2024-01-01", "2100-01-01"},
          {2, "BOX", "RMB", 0, 10, "2024-01-01", "2100-01-01"},
          {3, "PCS", "RMB", 10, 20, "2024-06-01", "2024-07-01"}},
         {3, 5}},
        {"a customer's rows apart, as a sort leaves them",
         {{1, "PCS", "RMB", 0, 10, "2024-01-01", "2100-01-01"},
          {2, "PCS", "RMB", 0, 10, "2024-01-01", "2100-01-01", 102},
          {3, "PCS", "RMB", 10, 20, "2024-06-01", "2024-07-01"}},
         {3, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Load(c.rows);
        std::vector<int> marked;
        for (int r = 1; r <= ledger.Rows(); ++r) {
            if (ledger.RowMarked(r))
                marked.push_back(r);
        }
        EXPECT_EQ(marked, c.marked);
    }
}

TEST_F(LedgerOverlapsTest, NoteNamesTheOthersAndTheCellsStay) {
    const std::vector<Row> rows = {{1, "PCS", "RMB", 0, 0, "2024-01-01", "2100-01-01"},
                                   {2, "PCS", "RMB", 5, 20, "2024-03-01", "2024-04-01"},
                                   {3, "PCS", "RMB", 30, 40, "2024-03-15", "2025-01-01"}};
    Load(rows);
    EXPECT_EQ(ledger.RowNote(3),
              "与以下价格的销货量和有效期重叠：\n"
              "价格编号 2：报价 12.5，销货量 5 - 20，2024-03-01 至 2024-04-01\n"
              "价格编号 3：报价 12.5，销货量 30 - 40，2024-03-15 至 2025-01-01");
    EXPECT_EQ(ledger.RowNote(4),
              "与以下价格的销货量和有效期重叠：\n"
              "价格编号 1：报价 12.5，销货量 0 - 0，2024-01-01 至 2100-01-01");
    EXPECT_EQ(ledger.RowNote(2), "");  // title rows carry no mark
    // The cells hold what an unmarked ledger shows.
    EXPECT_EQ(ledger.CellText(3, 1), "1");
    EXPECT_EQ(ledger.CellText(3, 7), "12.5");
    // A group shown: no marks left.
    detail.ShowGroup();
    EXPECT_FALSE(ledger.RowMarked(3));
}

}  // namespace
}  // namespace orva
