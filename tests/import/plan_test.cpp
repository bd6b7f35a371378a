// The dry run and the write: every outcome a row can have, the rows written
// being exactly the rows the plan showed, the per-row choice below the
// floor, rights, the automatic audit, Cancel at row k and a second run, and
// a file without the customer's column imported into a leaf.
#include <map>

#include "host/app_connection.h"
#include "import/import_rejects.h"
#include "import/import_write.h"
#include "import/table_file.h"
#include "import_fixture.h"
#include "session/module_context.h"

namespace orva::import::test {
namespace {

constexpr int kCust1 = 900001, kCust2 = 900002;
constexpr int kItem1 = 900101, kItem2 = 900102, kItem3 = 900103;

class PlanTest : public ImportTest {
  protected:
    void SetUp() override {
        ImportTest::SetUp();
        AddCustomer(kCust1, "T901");
        AddCustomer(kCust2, "T902");
        AddItem(kItem1, "I901");
        AddItem(kItem2, "I902");
        AddItem(kItem3, "I903");
    }
    ImportResult Write(ImportPlan& plan) { return WriteImport(*ctx_, *ctx_->g_Connection, plan); }
};

const char* const kHeader =
    "客户代码,物料代码,计量单位,销货量(从),销货量(到),报价,币别,生效日期,失效日期,备注\r\n";

TEST_F(PlanTest, EveryRowGetsItsOutcomeAndTheWriteDoesExactlyThat) {
    const int changed = AddEntry(kCust1, kItem1, 0, 10, 5);
    AddEntry(kCust1, kItem1, 10, 20, 6);
    AddEntry(kCust1, kItem2, 0, 0, 7, 1);
    AddEntry(kCust1, kItem2, 1, 2, 8, 1);
    SetCustomerFloor(kCust2, kItem1, 100);  // the demo company alerts below the floor
    const std::string csv = std::string(kHeader) +
                            "T901,I901,,0,10,5.5,,2024-01-01,2100-01-01,\r\n"  // 2
                            "T901,I901,,10,20,6,,2024/1/1,2100-01-01,\r\n"     // 3
                            "T901,I902,,0,0,9,,2024-01-01,2100-01-01,\r\n"     // 4
                            "T901,I902,,1,2,8.00,,2024-01-01,2100-01-01,\r\n"  // 5
                            "T901,I903,PCS,0,100,\"1,234.50\",人民币,2024-03-01,2024-12-31,n\r\n"
                            "T999,I901,,0,0,1,,,,\r\n"                               // 7
                            "T901,I999,,0,0,1,,,,\r\n"                               // 8
                            "T901,I901,KG,0,0,1,,,,\r\n"                             // 9
                            "T901,I903,,0,5,abc,,,,\r\n"                             // 10
                            "T901,I903,,0,5,1,,2024-02-30,,\r\n"                     // 11
                            "T901,I903,,0,5,1,,2024-06-01,2024-05-01,\r\n"           // 12
                            "T901,I903,,5,1,1,,,,\r\n"                               // 13
                            "T902,I901,,0,0,50,,,,\r\n"                              // 14
                            "T901,I903,个,0,100,2,RMB,20240301,2024年12月31日,\r\n"  // 15
                            "T902,I902,,0,0,3,EUR,45352,,\r\n"                       // 16
                            "T901,I903,,0,100,1,,,,\r\n";                            // 17
    ImportPlan plan = Plan(files_.Write("prices.csv", csv));
    // Each row's outcome and the reason the preview and the rejects file give.
    const std::map<std::int64_t, std::pair<RowOutcome, std::string>> expected = {
        {2, {RowOutcome::kChange, ""}},
        {3, {RowOutcome::kUnchanged, ""}},
        {4, {RowOutcome::kAudited, "价格资料已审核，不能修改。"}},
        {5, {RowOutcome::kUnchanged, ""}},
        {6, {RowOutcome::kNew, ""}},
        {7, {RowOutcome::kUnknownCode, "客户代码不存在：T999"}},
        {8, {RowOutcome::kUnknownCode, "物料代码不存在：I999"}},
        {9, {RowOutcome::kUnknownCode, "计量单位不存在：KG"}},
        {10, {RowOutcome::kBadNumber, "数值不正确：报价 abc"}},
        {11, {RowOutcome::kBadDate, "请输入有效的生效日期和失效日期。"}},
        {12, {RowOutcome::kExpiryBeforeEffective, "失效日期应大于或等于生效日期。"}},
        {13, {RowOutcome::kBadBand, "销货量(到)应大于或等于销货量(从)。"}},
        {14, {RowOutcome::kBelowFloor, "价格低于销售最低限价。"}},
        {15, {RowOutcome::kDuplicateRow, "与第6行重复。"}},
        {16, {RowOutcome::kNew, ""}},
        {17, {RowOutcome::kNew, ""}},  // today to 2100-01-01: another key than row 6
    };
    ASSERT_EQ(plan.rows.size(), expected.size());
    for (const PlannedRow& row : plan.rows) {
        const auto& [outcome, reason] = expected.at(row.number);
        EXPECT_EQ(row.outcome, outcome) << "row " << row.number << ": " << OutcomeName(row.outcome);
        EXPECT_EQ(plan.Reason(row), reason) << "row " << row.number;
    }
    EXPECT_EQ(plan.ToWrite(), 4);
    EXPECT_FALSE(plan.AllAccepted());
    const std::int64_t before = Int("SELECT COUNT(*) FROM t_CustEntry");

    // The user lets the row below the floor through, as the editor would ask.
    plan.rows[12].writeBelowFloor = true;
    const ImportResult result = Write(plan);
    EXPECT_EQ(result.added, 4);
    EXPECT_EQ(result.changed, 1);
    EXPECT_EQ(result.failed, 0);
    EXPECT_EQ(Int("SELECT COUNT(*) FROM t_CustEntry"), before + 4);
    EXPECT_EQ(Entry(kCust1, kItem1, 0, 10).entryID, changed);
    EXPECT_DOUBLE_EQ(Entry(kCust1, kItem1, 0, 10).price, 5.5);
    EXPECT_DOUBLE_EQ(Entry(kCust1, kItem2, 0, 0).price, 7);  // audited: untouched
    const Stored added = Entry(kCust1, kItem3, 0, 100);
    EXPECT_DOUBLE_EQ(added.price, 1234.5);
    EXPECT_EQ(added.note, "n");
    EXPECT_EQ(added.used, 0);
    EXPECT_DOUBLE_EQ(Entry(kCust2, kItem1, 0, 0).price, 50);
    EXPECT_EQ(Int("SELECT FCyID FROM t_CustEntry WHERE FCustID=" + std::to_string(kCust2) +
                  " AND FItemID=" + std::to_string(kItem2)),
              demo::kCurrencyEur);

    // The same file again: what was written is unchanged now.
    ImportPlan again = Plan(files_.Path("prices.csv"));
    for (std::int64_t row : {2, 6, 16, 17})
        EXPECT_EQ(again.rows[static_cast<std::size_t>(row - 2)].outcome, RowOutcome::kUnchanged)
            << "row " << row;
}

TEST_F(PlanTest, TheFloorIsComparedInTheBaseCurrencyPerBaseUnit) {
    SetCustomerFloor(kCust1, kItem1, 100);  // in RMB
    // I902's own floor for every customer: 50 USD, 355 RMB.
    Exec(
        "UPDATE t_ICItem SET FSalePriceFixingType=1,FSoLowPrc=50,FSoLowPrcMnyType=2 WHERE "
        "FItemID=" +
        std::to_string(kItem2));
    // USD multiplies by 7.1, HKD divides by 1.09; a box holds 10 pieces.
    const struct {
        const char* item;
        const char* unit;
        const char* currency;
        const char* price;
        bool below;
    } cases[] = {
        {"I901", "PCS", "USD", "14.1", false}, {"I901", "PCS", "USD", "14", true},
        {"I901", "PCS", "HKD", "110", false},  {"I901", "PCS", "HKD", "108.9", true},
        {"I901", "BOX", "RMB", "1000", false}, {"I901", "BOX", "RMB", "999", true},
        {"I902", "PCS", "RMB", "355", false},  {"I902", "PCS", "RMB", "354", true},
    };
    std::string csv = kHeader;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        csv += std::string("T901,") + cases[i].item + "," + cases[i].unit + "," +
               std::to_string(i) + "," + std::to_string(i) + "," + cases[i].price + "," +
               cases[i].currency + ",,,\r\n";
    }
    const ImportPlan plan = Plan(files_.Write("floor.csv", csv));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(plan.rows[i].outcome == RowOutcome::kBelowFloor, cases[i].below)
            << cases[i].price << " " << cases[i].currency << " per " << cases[i].unit;
    }
}

TEST_F(PlanTest, RejectsComeBackWithRowNumbersCellsAndReasons) {
    const std::string path = files_.Write(
        "r.csv", std::string(kHeader) + "T901,I903,,0,5,1,,,,\r\nT999,I901,,0,0,1,,,,x\r\n" +
                     "T901,I903,,5,1,1,,,,\r\n");
    const ImportPlan plan = Plan(path);
    EXPECT_EQ(WriteRejects(plan, files_.Path("rejects.xlsx")), 2);
    std::vector<std::vector<std::string>> rows;
    ReadTableFile(files_.Path("rejects.xlsx"), {},
                  [&](SourceRow&& row) { rows.push_back(std::move(row.cells)); });
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].front(), "行号");
    EXPECT_EQ(rows[0][1], "客户代码");
    EXPECT_EQ(rows[0].back(), "原因");
    EXPECT_EQ(rows[1], (std::vector<std::string>{"3", "T999", "I901", "", "0", "0", "1", "", "", "",
                                                 "x", "客户代码不存在：T999"}));
    EXPECT_EQ(rows[2].front(), "4");
    EXPECT_EQ(rows[2].back(), "销货量(到)应大于或等于销货量(从)。");
}

TEST_F(PlanTest, TheTemplateHoldsTheCaptionsAnImportReads) {
    for (const char* name : {"template.xlsx", "template.csv"}) {
        SCOPED_TRACE(name);
        WriteTemplate(files_.Path(name));
        std::vector<std::vector<std::string>> rows;
        ReadTableFile(files_.Path(name), {},
                      [&](SourceRow&& row) { rows.push_back(std::move(row.cells)); });
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows[0].front(), "客户代码");
        const Columns columns = MatchColumns(rows[0]);
        for (Field f : {Field::kCustNumber, Field::kItemNumber, Field::kUnit, Field::kStartQty,
                        Field::kEndQty, Field::kPrice, Field::kCurrency, Field::kDiscount,
                        Field::kLeadTime, Field::kQuoteTime, Field::kExpireDate, Field::kNote})
            EXPECT_TRUE(columns.Has(f)) << static_cast<int>(f);
        EXPECT_TRUE(Plan(files_.Path(name)).rows.empty());
    }
}

TEST_F(PlanTest, RightsDecidePerRow) {
    AddEntry(kCust1, kItem1, 0, 0, 5);
    const std::string path = files_.Write(
        "rights.csv", std::string(kHeader) + "T901,I901,,0,0,6,,2024-01-01,2100-01-01,\r\n" +
                          "T901,I902,,0,0,6,,,,\r\n" + "01.01.001,01.01.001,,0,0,99999,,,,\r\n");
    struct Case {
        int user;
        RowOutcome change, add, granted;
    };
    const Case cases[] = {
        {demo::kAdminUserId, RowOutcome::kChange, RowOutcome::kNew, RowOutcome::kNew},
        // Sees every record, may add but not modify.
        {demo::kLimitedUserId, RowOutcome::kNoFunctionRight, RowOutcome::kNew, RowOutcome::kNew},
        // Sees only the records granted to it.
        {demo::kRecordClerkUserId, RowOutcome::kNoDataRight, RowOutcome::kNoDataRight,
         RowOutcome::kNew},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.user);
        LogOn(c.user);
        const ImportPlan plan = Plan(path);
        ASSERT_EQ(plan.rows.size(), 3u);
        EXPECT_EQ(plan.rows[0].outcome, c.change) << plan.Reason(plan.rows[0]);
        EXPECT_EQ(plan.rows[1].outcome, c.add) << plan.Reason(plan.rows[1]);
        EXPECT_EQ(plan.rows[2].outcome, c.granted) << plan.Reason(plan.rows[2]);
    }
}

TEST_F(PlanTest, NewEntriesAreAuditedOnlyWithTheOptionAndTheRight) {
    SetOption("BatchAuditSalePrice", 1);
    const std::string path =
        files_.Write("audit.csv", std::string(kHeader) + "T901,I901,,0,0,6,,,,\r\n");
    for (int user : {demo::kAdminUserId, demo::kLimitedUserId}) {
        Exec("DELETE FROM t_CustEntry WHERE FCustID=" + std::to_string(kCust1));
        LogOn(user);
        ImportPlan plan = Plan(path);
        EXPECT_EQ(plan.auditNew, user == demo::kAdminUserId);
        EXPECT_EQ(plan.auditRightMissing, user != demo::kAdminUserId);
        EXPECT_EQ(Write(plan).added, 1);
        EXPECT_EQ(Entry(kCust1, kItem1, 0, 0).used, user == demo::kAdminUserId ? 1 : 0);
    }
}

TEST_F(PlanTest, CancelAtRowKKeepsExactlyKAndASecondRunWritesTheRest) {
    std::string csv = kHeader;
    for (int i = 0; i < 5; ++i)
        csv += "T901,I901,," + std::to_string(i * 10) + "," + std::to_string(i * 10 + 9) +
               ",3,,,,\r\n";
    const std::string path = files_.Write("cancel.csv", csv);
    for (int k : {0, 2, 4}) {
        SCOPED_TRACE(k);
        Exec("DELETE FROM t_CustEntry WHERE FCustID=" + std::to_string(kCust1));
        ui_->ClearRecords();
        ImportPlan plan = Plan(path);
        ui_->CancelProgressAt(k);
        const ImportResult first = Write(plan);
        EXPECT_TRUE(first.stopped);
        EXPECT_EQ(first.added, k);
        EXPECT_EQ(Entries(kCust1), k);
        // Rows are written in the file's order: the first k.
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(Entry(kCust1, kItem1, i * 10, i * 10 + 9).entryID != 0, i < k) << i;

        ImportPlan second = Plan(path);
        EXPECT_EQ(second.Count(RowOutcome::kUnchanged), k);
        EXPECT_EQ(Write(second).added, 5 - k);
        EXPECT_EQ(Entries(kCust1), 5);
    }
}

// The write trusts the dry run for what it looked up (which pairs have their
// header row, which keys are free) only as far as the database holds it: a
// pair gets exactly one header row, and an entry another user saved with a
// row's key after the dry run refuses that row alone.
TEST_F(PlanTest, AKeyTakenAfterTheDryRunFailsItsRowAloneAndEachPairGetsOneHeaderRow) {
    Exec("INSERT INTO t_Cust (FBrNo,FItemID,FCustID) VALUES ('0'," + std::to_string(kItem2) + "," +
         std::to_string(kCust1) + ")");
    const std::string path = files_.Write(
        "meanwhile.csv", std::string(kHeader) +
                             "T901,I901,,0,9,1,,2024-01-01,2100-01-01,\r\n"    // no header row yet
                             "T901,I901,,10,19,2,,2024-01-01,2100-01-01,\r\n"  // its second row
                             "T901,I902,,0,9,3,,2024-01-01,2100-01-01,\r\n"    // has its header row
                             "T901,I903,,0,9,4,,2024-01-01,2100-01-01,\r\n");  // taken meanwhile
    ImportPlan plan = Plan(path);
    ASSERT_EQ(plan.Count(RowOutcome::kNew), 4);
    AddEntry(kCust1, kItem3, 0, 9, 7);  // another user, after the dry run

    const ImportResult result = Write(plan);
    EXPECT_EQ(result.added, 3);
    EXPECT_EQ(result.failed, 1);
    EXPECT_EQ(plan.rows[3].outcome, RowOutcome::kWriteFailed);
    EXPECT_EQ(plan.Reason(plan.rows[3]), "已有相同关键字的价格资料。");
    EXPECT_DOUBLE_EQ(Entry(kCust1, kItem3, 0, 9).price, 7);
    EXPECT_EQ(Int("SELECT COUNT(*) FROM t_CustEntry WHERE FCustID=" + std::to_string(kCust1) +
                  " AND FItemID=" + std::to_string(kItem3)),
              1);
    for (int item : {kItem1, kItem2}) {
        EXPECT_EQ(Int("SELECT COUNT(*) FROM t_Cust WHERE FCustID=" + std::to_string(kCust1) +
                      " AND FItemID=" + std::to_string(item)),
                  1)
            << item;
    }
}

TEST_F(PlanTest, AFileWithoutTheCustomerColumnBelongsToTheLeaf) {
    const std::string path =
        files_.Write("leaf.csv",
                     "\xEF\xBB\xBFItem code,Unit,Quantity from,Quantity to,Price,Note\r\n"
                     "I901,PCS,0,0,4,made abroad\r\n");
    try {
        Plan(path);
        ADD_FAILURE() << "planned without a customer";
    } catch (const SourceError& e) {
        EXPECT_EQ(e.kind(), SourceError::kMissingColumn);
        EXPECT_EQ(SourceErrorText(e), "leaf.csv，第1行：缺少列：客户代码没有引入任何记录。");
    }
    ImportPlan plan = Plan(path, {kCust2, 0});
    ASSERT_EQ(plan.rows.size(), 1u);
    EXPECT_EQ(plan.rows[0].outcome, RowOutcome::kNew);
    EXPECT_EQ(Write(plan).added, 1);
    EXPECT_EQ(Entry(kCust2, kItem1, 0, 0).note, "made abroad");
}

}  // namespace
}  // namespace orva::import::test
