// Batch update: the current unaudited entry of each member that matches the
// grid's unit, band, currency and expiry date gets the grid's price, lead
// time, effective date and note; audited entries and the discount never change.
#include "batch_fixture.h"
#include "model/sql_values.h"
#include "session/module_context.h"

namespace orva::batchtest {
namespace {

constexpr int kGroup = 900100;
constexpr int kItem = 900301;

class BatchUpdateTest : public BatchTest {
  protected:
    void SetUp() override {
        BatchTest::SetUp();
        AddCustomerGroup(kGroup, "T9", 0);
        for (int i = 1; i <= 8; ++i) AddCustomer(Cust(i), "T9.00" + std::to_string(i), kGroup);
        AddItemGroup(900300, "I9", 0);
        AddItem(kItem, "I9.001", 900300);
    }

    static int Cust(int i) { return 900110 + i; }

    // An entry of the grid's unit, band, currency and expiry date.
    int Matching(int cust, const std::string& quote, int used = 0, int unit = demo::kUnitPiece,
                 int item = kItem) {
        Entry e;
        e.cust = cust;
        e.item = item;
        e.unit = unit;
        e.endQty = 100;
        e.price = 10;
        e.discount = 5;
        e.leadTime = 3;
        e.quote = quote;
        e.used = used;
        e.note = "old";
        return AddEntry(e);
    }

    GridValues Values() {
        GridValues g;
        g.cust = kGroup;
        g.item = kItem;
        g.endQty = 100;
        g.price = 12;
        g.leadTime = 7;
        g.quote = "2025-06-01";
        g.note = "new; it's";
        return g;
    }

    std::int32_t Run(std::int16_t alert = 0, double basePrice = 12) {
        return engine_.BatchUpdate(alert, basePrice);
    }

    void ExpectUpdated(int entry, const std::string& quote = "2025-06-01") {
        Stored s = Read(entry);
        EXPECT_DOUBLE_EQ(s.price, 12) << entry;
        EXPECT_EQ(s.leadTime, 7) << entry;
        EXPECT_EQ(s.quote, quote) << entry;
        EXPECT_EQ(s.note, "new; it's") << entry;
        EXPECT_EQ(s.expire, "2100-01-01") << entry;
        EXPECT_DOUBLE_EQ(s.discount, 5) << entry;
    }
    void ExpectUntouched(int entry) {
        Stored s = Read(entry);
        EXPECT_DOUBLE_EQ(s.price, 10) << entry;
        EXPECT_EQ(s.leadTime, 3) << entry;
        EXPECT_EQ(s.note, "old") << entry;
    }
};

TEST_F(BatchUpdateTest, EachMemberGetsItsCurrentUnauditedEntryChanged) {
    const int single = Matching(Cust(1), "2024-01-01");
    const int audited = Matching(Cust(2), "2024-01-01", 1);
    const int old3 = Matching(Cust(3), "2023-01-01");
    const int mid3 = Matching(Cust(3), "2024-01-01");
    const int latest3 = Matching(Cust(3), "2024-06-01");
    const int otherUnit = Matching(Cust(4), "2024-01-01", 0, demo::kUnitBox);
    const int old5 = Matching(Cust(5), "2024-01-01");
    const int gridDate5 = Matching(Cust(5), "2025-06-01");
    const int gridDate6 = Matching(Cust(6), "2025-06-01");
    const int later6 = Matching(Cust(6), "2026-01-01");
    const int auditedGridDate7 = Matching(Cust(7), "2025-06-01", 1);
    const int unaudited7 = Matching(Cust(7), "2024-01-01");
    const int audited8 = Matching(Cust(8), "2024-01-01", 1);
    const int unaudited8 = Matching(Cust(8), "2024-06-01");

    Fill(Values());
    EXPECT_EQ(Run(), 4);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"此次共修改4条记录！"});
    EXPECT_EQ(ui_->MessageBoxes()[0].icon, MsgIcon::kInformation);

    ExpectUpdated(single);
    EXPECT_EQ(Read(single).unit, demo::kUnitPiece);
    ExpectUntouched(audited);
    // Of three unaudited entries only the latest.
    ExpectUntouched(old3);
    ExpectUntouched(mid3);
    ExpectUpdated(latest3);
    ExpectUntouched(otherUnit);
    // The grid's dates are the latest: that entry.
    ExpectUntouched(old5);
    ExpectUpdated(gridDate5);
    // The grid's dates are older than the latest entry, or taken by an
    // audited one: nothing.
    ExpectUntouched(gridDate6);
    ExpectUntouched(later6);
    ExpectUntouched(auditedGridDate7);
    ExpectUntouched(unaudited7);
    // One audited, one unaudited: the unaudited one.
    ExpectUntouched(audited8);
    ExpectUpdated(unaudited8);
}

TEST_F(BatchUpdateTest, EntriesSharingTheLatestDateAreNarrowedByExpiry) {
    // A company database without the unique key may hold an entry twice.
    RawExec("DROP INDEX ux_CustEntry_Key");
    const int older = Matching(Cust(1), "2024-01-01");
    const int twinA = Matching(Cust(1), "2024-06-01");
    const int twinB = Matching(Cust(1), "2024-06-01");
    Fill(Values());
    EXPECT_EQ(Run(), 1);
    ExpectUntouched(older);
    ExpectUpdated(twinA);
    ExpectUpdated(twinB);
}

TEST_F(BatchUpdateTest, ByItemGroupMatchesEachItemsBaseUnit) {
    ctx_->g_CategoryByCust = false;
    AddItemGroup(900400, "I8", 0);
    AddItem(900401, "I8.001", 900400, demo::kUnitKilogram);
    AddItem(900402, "I8.002", 900400, 0);
    const int base = Matching(Cust(1), "2024-01-01", 0, demo::kUnitKilogram, 900401);
    const int ton = Matching(Cust(1), "2024-01-01", 0, demo::kUnitTon, 900401);
    const int noUnit = Matching(Cust(1), "2024-01-01", 0, 0, 900402);

    GridValues g = Values();
    g.cust = Cust(1);
    g.item = 900400;
    g.unit = demo::kUnitTon;  // not used by item group
    Fill(g);
    std::int16_t alert = 0;
    double price = 12;
    EXPECT_EQ(engine_.BatchUpdate_Item(alert, price), 2);
    ExpectUpdated(base);
    ExpectUntouched(ton);
    ExpectUpdated(noUnit);
}

TEST_F(BatchUpdateTest, DecliningTheMinimumPriceQuestionKeepsTheEntry) {
    const int asked = Matching(Cust(1), "2024-01-01");
    const int free = Matching(Cust(2), "2024-01-01");
    SetCustomerFloor(Cust(1), kItem, 20, demo::kCurrencyRmb);
    Fill(Values());
    ui_->AnswerMessageBox(MsgResult::kNo);
    EXPECT_EQ(Run(1, 12), 1);
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{
                              "T9.001(NT9.001)的价格资料已经低于设定的销售最低限价，是否继续保存？",
                              "此次共修改1条记录！"}));
    ExpectUntouched(asked);
    ExpectUpdated(free);
}

TEST_F(BatchUpdateTest, ExpiryBeforeEffectiveDateChangesNothing) {
    const int entry = Matching(Cust(1), "2024-01-01");
    GridValues g = Values();
    g.expire = "2025-05-31";
    Fill(g);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"失效日期必须大于生效日期"});
    ExpectUntouched(entry);
}

TEST_F(BatchUpdateTest, AFailureChangesNoMemberAtAll) {
    const int first = Matching(Cust(1), "2024-01-01");
    const int second = Matching(Cust(2), "2024-01-01");
    RawExec("CREATE TRIGGER refuse_update BEFORE UPDATE ON t_CustEntry WHEN NEW.FCustID=" +
            std::to_string(Cust(2)) + " BEGIN SELECT RAISE(ABORT, 'refused'); END");
    Fill(Values());
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"批量修改出错！"});
    ExpectUntouched(first);
    ExpectUntouched(second);
}

}  // namespace
}  // namespace orva::batchtest
