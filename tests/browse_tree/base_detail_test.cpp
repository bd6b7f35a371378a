// The ledger data source: column layouts, title rows and merges, row texts
// read from the record set, loading from a statement, and the virtual rows.
#include "browse/base_detail.h"
#include "browse/tvw_builder.h"
#include "host/controls/ledger.h"
#include "host/controls/tree.h"
#include "tree_fixture.h"

namespace orva {
namespace {

// Cells of a row text "a|b||": {"a", "b", ""}.
std::vector<std::string> Cells(const std::string& text) {
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (std::size_t bar; (bar = text.find('|', start)) != std::string::npos; start = bar + 1)
        cells.push_back(text.substr(start, bar - start));
    EXPECT_EQ(start, text.size()) << "the text must end with the separator: " << text;
    return cells;
}

// Price entries as the item tree's ledger statement returns them.
RecordsetPtr ItemLedgerRows(int count) {
    std::vector<std::string> columns = {"FItemID",  "FCustID",    "FEntryID",    "FName",
                                        "FNumber",  "FUnitName",  "FStartQty",   "FEndQty",
                                        "FPrice",   "FCyName",    "FDiscount",   "FLeadTime",
                                        "FSELCyID", "FSELCyName", "FSELowPrice", "FQuoteTime",
                                        "Fused",    "FNote",      "FExpireDate"};
    std::vector<Variant> cells;
    for (int i = 1; i <= count; ++i) {
        cells.insert(cells.end(), {Variant(7), Variant(100 + i), Variant(5000 + i),
                                   Variant("  Customer " + std::to_string(i) + " "),
                                   Variant("01.00" + std::to_string(i)), Variant("PCS"),
                                   Variant(0.0), Variant(i * 10.0), Variant(12.5), Variant("RMB"),
                                   Variant(0.0), Variant(3), Variant(1), Variant("RMB"),
                                   Variant(9.75), Variant("2024-01-01"), Variant(i % 2 ? "Y" : " "),
                                   i == 2 ? Variant() : Variant("note"), Variant("2100-01-01")});
    }
    return std::make_shared<Recordset>(std::move(columns), std::move(cells));
}

class BaseDetailTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterHostServices();  // captions come through the text loader
        detail.SetLDG(&ledger);
        ledger.SetSource(&detail);
    }
    std::string Row(int row) {
        std::string text;
        if (row <= 2)
            detail.TRowData(row, text);
        else
            detail.DRowData(row, 0, text);
        return text;
    }
    test::ScopedSession session{"LANGUAGE=CHS"};
    test::TestContext ctx_;
    Ledger ledger;
    BaseDetail detail{*ctx_};
};

TEST_F(BaseDetailTest, ItemLayoutTitleRowsMergesAndHiddenColumns) {
    detail.GetTitleInfo(true);
    EXPECT_EQ(ledger.Cols(), 17);
    std::vector<std::string> row1 = Cells(Row(1));
    ASSERT_EQ(row1.size(), 17u);
    EXPECT_EQ(row1[0], "");
    EXPECT_EQ(row1[1], "客户代码");
    EXPECT_EQ(std::vector<std::string>(row1.begin() + 7, row1.end()),
              (std::vector<std::string>{"币别", "提前期(天)", "内码", "币别内码", "最低限价", "",
                                        "生效日期", "审核状态", "失效日期", "备注"}));
    std::vector<std::string> row2 = Cells(Row(2));
    ASSERT_EQ(row2.size(), 17u);
    for (int c = 1; c <= 17; ++c) {
        std::string expected = c == 12 ? "币别" : c == 13 ? "金额" : "";
        EXPECT_EQ(row2[c - 1], expected) << "column " << c;
    }
    // Numbers right-aligned: start and end quantity, price, lead time, the
    // two ids and the minimum price.
    for (int c = 1; c <= 17; ++c) {
        bool numeric = c == 5 || c == 6 || c == 7 || c == 9 || c == 10 || c == 11 || c == 13;
        EXPECT_EQ(ledger.ColAlignment(c), numeric ? Ledger::kAlignRight : Ledger::kAlignLeft)
            << "column " << c;
    }

    detail.MergeAction();
    // The minimum-price title spans its two cells in row 1; the price column
    // keeps two title cells; every other column's two title rows are one.
    EXPECT_EQ(ledger.MergeAt(1, 12), (LedgerMerge{1, 12, 1, 13}));
    EXPECT_EQ(ledger.MergeAt(2, 12), std::nullopt);
    EXPECT_EQ(ledger.MergeAt(2, 13), std::nullopt);
    EXPECT_EQ(ledger.MergeAt(2, 2), (LedgerMerge{1, 2, 2, 2}));
    EXPECT_EQ(ledger.MergeAt(1, 17), (LedgerMerge{1, 17, 2, 17}));
    EXPECT_EQ(ledger.Merges().size(), 16u);
    for (int c = 1; c <= 17; ++c)
        EXPECT_EQ(ledger.ColHidden(c), c == 1 || c == 10 || c == 11) << "column " << c;
    EXPECT_EQ(ledger.ColAlignment(17), Ledger::kAlignRight);

    // Any other title row: a blank cell per column.
    EXPECT_EQ(Cells(Row(0)), std::vector<std::string>(17, " "));
}

TEST_F(BaseDetailTest, CustomerLayoutKeepsTheItemIdVisible) {
    detail.GetTitleInfo(true);
    Row(1);
    detail.GetTitleInfo(false);
    Row(1);
    // Aligned as a ledger that never showed the item layout: the item
    // layout's numeric columns (unit, currency here) do not stay right.
    Ledger fresh;
    BaseDetail freshDetail{*ctx_};
    freshDetail.SetLDG(&fresh);
    fresh.SetSource(&freshDetail);
    freshDetail.GetTitleInfo(false);
    std::string text;
    freshDetail.TRowData(1, text);
    for (int c = 1; c <= 18; ++c)
        EXPECT_EQ(ledger.ColAlignment(c), fresh.ColAlignment(c)) << "column " << c;

    EXPECT_EQ(ledger.Cols(), 18);
    std::vector<std::string> row1 = Cells(Row(1));
    EXPECT_EQ(std::vector<std::string>(row1.begin() + 10, row1.begin() + 14),
              (std::vector<std::string>{"内码", "币别内码", "最低限价", ""}));
    detail.MergeAction();
    for (int c = 1; c <= 18; ++c)
        EXPECT_EQ(ledger.ColHidden(c), c == 1 || c == 12) << "column " << c;
}

TEST_F(BaseDetailTest, DataRowsShowRecordsInOrderAndTheLastBeyondThem) {
    detail.GetTitleInfo(true);
    bool result = true;
    detail.TakeJournalData("", ItemLedgerRows(5), result);
    EXPECT_TRUE(result);  // left as passed
    EXPECT_EQ(ledger.Rows(), 7);
    EXPECT_EQ(ctx_->g_LedgerRecords.get(), detail.Records());  // a record set given is shown too

    std::vector<std::string> first = Cells(Row(3));
    ASSERT_EQ(first.size(), 17u);
    EXPECT_EQ(first[0], "5001");
    EXPECT_EQ(first[1], "01.001");
    EXPECT_EQ(first[2], "Customer 1");  // trimmed
    EXPECT_EQ(first[6], "12.5");        // numbers as the record set gives them
    EXPECT_EQ(first[13], "2024-01-01");
    EXPECT_EQ(first[14], "Y");  // the statement's Fused column
    EXPECT_EQ(first[16], "note");

    std::vector<std::string> second = Cells(Row(4));
    EXPECT_EQ(second[14], "");  // a blank audit mark
    EXPECT_EQ(second[16], "");  // a Null note

    EXPECT_EQ(Cells(Row(7))[0], "5005");
    EXPECT_EQ(Cells(Row(9))[0], "5005");  // beyond the records: the last one
    EXPECT_EQ(Cells(Row(1000000))[0], "5005");

    // The ledger asks for a row's text only when the row is shown.
    EXPECT_EQ(ledger.SourceFetches(), 0u);
    EXPECT_EQ(ledger.CellText(5, 1), "5003");
    EXPECT_EQ(ledger.CellText(1, 2), "客户代码");
    EXPECT_EQ(ledger.SourceFetches(), 2u);
    EXPECT_EQ(ledger.RowBkColor(5), kWhite);
}

class BaseDetailOnCompanyTest : public CompanyTest {
  protected:
    void SetUp() override {
        CompanyTest::SetUp();
        detail.SetLDG(&ledger);
    }
    Ledger ledger;
    BaseDetail detail{*ctx_};
};

TEST_F(BaseDetailOnCompanyTest, StatementsLoadTheLedgerAndFailuresLeaveTheTitleRows) {
    Tree tree;
    tvwBuilder builder{*ctx_};
    builder.SetTvwGroup(&tree);
    builder.SetCategoryByItem(true);
    builder.SetTreeView(-1);
    detail.GetTitleInfo(true);

    std::string item =
        Scalar("select top 1 FItemID from t_CustEntry group by FItemID order by count(*) desc")
            .ToText();
    bool result = false;
    detail.TakeJournalData(builder.GetDetailSql(item), nullptr, result);
    EXPECT_EQ(ctx_->g_LedgerRecords.get(), detail.Records());
    const long count = detail.Records()->RecordCount();
    ASSERT_GT(count, 1);
    EXPECT_EQ(ledger.Rows(), count + 2);
    std::string text;
    detail.DRowData(3, 0, text);
    EXPECT_EQ(Cells(text)[0], Query(builder.GetDetailSql(item))->Fields(2).Value().ToText());

    // A statement that fails: an empty record set, also in g_LedgerRecords.
    detail.TakeJournalData(builder.GetDetailSql(item), nullptr, result);
    detail.TakeJournalData("select nothing from t_NoSuchTable", nullptr, result);
    EXPECT_EQ(ledger.Rows(), 2);
    ASSERT_TRUE(detail.Records());
    EXPECT_EQ(detail.Records()->RecordCount(), 0);
    EXPECT_EQ(ctx_->g_LedgerRecords.get(), detail.Records());
    EXPECT_EQ(detail.Dict().Count(), 0);
}

}  // namespace
}  // namespace orva
