// Adjusting the prices under a tree node through the adjustment dialog's
// logic: the rounding of new prices, the two ways on audited and unaudited
// entries, the floor question, a Cancel part way, and the input refused
// before anything is written.
#include <cmath>

#include "batch_fixture.h"
#include "browse/frm_adjust_prices.h"
#include "model/sql_values.h"
#include "session/module_context.h"

namespace orva::batchtest {
namespace {

constexpr int kGroup = 900700;  // customer group "T8"
constexpr int kItem = 900790;
constexpr int kCustomers = 5;

int Cust(int i) {
    return kGroup + i;
}

TEST(AdjustedPrice, RoundsToTheStepHalvesAwayFromZero) {
    struct Case {
        PriceChange::Kind kind;
        double value, roundTo, price, expected;
    };
    const Case cases[] = {
        {PriceChange::kPercent, 5, 0.01, 10, 10.5},
        {PriceChange::kPercent, 3, 0.01, 9.99, 10.29},     // 10.2897
        {PriceChange::kPercent, 0.05, 0.01, 10, 10.01},    // 10.005: the half goes up
        {PriceChange::kPercent, 3, 0.1, 9.99, 10.3},       // 10.2897
        {PriceChange::kPercent, 3, 1, 9.99, 10},           // 10.2897
        {PriceChange::kPercent, 10, 5, 96, 105},           // 105.6
        {PriceChange::kPercent, 10, 5, 95, 105},           // 104.5
        {PriceChange::kPercent, -10, 0.01, 19.99, 17.99},  // 17.991
        {PriceChange::kAmount, 2.5, 0.01, 10, 12.5},
        {PriceChange::kAmount, -0.333, 0.1, 10, 9.7},  // 9.667
        {PriceChange::kAmount, 1, 0.05, 2.12, 3.1},    // 3.12
    };
    for (const Case& c : cases) {
        PriceChange change{c.kind, c.value, c.roundTo};
        EXPECT_EQ(SqlNumber(AdjustedPrice(change, c.price)), SqlNumber(c.expected))
            << c.value << (c.kind == PriceChange::kPercent ? "% " : " ") << "of " << c.price
            << " to " << c.roundTo;
    }
}

class PriceAdjustTest : public BatchTest {
  protected:
    void SetUp() override {
        BatchTest::SetUp();
        AddCustomerGroup(kGroup, "T8", 0);
        for (int i = 1; i <= kCustomers; ++i)
            AddCustomer(Cust(i), "T8.00" + std::to_string(i), kGroup, "商行" + std::to_string(i));
        AddItem(kItem, "I8.001", 0);
    }

    // An entry of customer i with its header row (which the ledger joins).
    int Seed(int i, double price, int used = 0, const std::string& quote = "2024-01-01",
             int currency = demo::kCurrencyRmb) {
        if (!HeaderExists(Cust(i), kItem))
            SetCustomerFloor(Cust(i), kItem, 0, demo::kCurrencyRmb);
        Entry e;
        e.cust = Cust(i);
        e.item = kItem;
        e.price = price;
        e.used = used;
        e.quote = quote;
        e.currency = currency;
        e.note = "年价";
        return AddEntry(e);
    }

    // The dialog over the group, loaded, with the inputs set by `set`.
    std::unique_ptr<frmAdjustPrices> Dialog(
        const std::function<void(frmAdjustPrices::Inputs&)>& set) {
        auto dialog = std::make_unique<frmAdjustPrices>(
            *ctx_, false, TreeNodeKey{TreeNodeKey::kGroup, kGroup}, "T8");
        dialog->Load();
        dialog->In().value = "10";
        dialog->In().validOn = "2025-06-01";
        dialog->In().effective = "2025-07-01";
        set(dialog->In());
        return dialog;
    }
    // OK pressed, the count confirmed.
    AdjustResult Run(const std::function<void(frmAdjustPrices::Inputs&)>& set) {
        auto dialog = Dialog(set);
        ui_->AnswerMessageBox(MsgResult::kYes);
        dialog->CmdOKClick();
        return dialog->Result();
    }
    std::int64_t Entries() {
        return Int("SELECT COUNT(*) FROM t_CustEntry WHERE FItemID=" + SqlId(kItem));
    }
};

TEST_F(PriceAdjustTest, TheTwoWaysOnAuditedAndUnauditedEntries) {
    struct Case {
        AdjustWay way;
        int used;
        double oldPrice;        // the entry's price afterwards
        std::string oldExpire;  // its expiry date afterwards
        bool successor;         // a new entry at 110 from 2025-07-01
    };
    const Case cases[] = {
        {AdjustWay::kInPlace, 0, 110, "2100-01-01", false},
        {AdjustWay::kInPlace, 1, 100, "2100-01-01", false},
        {AdjustWay::kNewFromDay, 0, 100, "2025-07-01", true},
        {AdjustWay::kNewFromDay, 1, 100, "2100-01-01", false},
    };
    for (const Case& c : cases) {
        Exec("DELETE FROM t_CustEntry WHERE FItemID=" + SqlId(kItem));
        const int id = Seed(1, 100, c.used);
        const AdjustResult result = Run([&](frmAdjustPrices::Inputs& in) { in.way = c.way; });
        const std::string label =
            std::to_string(static_cast<int>(c.way)) + "/" + std::to_string(c.used);
        EXPECT_EQ(result.written, c.used ? 0u : 1u) << label;
        const Stored old = Read(id);
        EXPECT_EQ(old.price, c.oldPrice) << label;
        EXPECT_EQ(old.expire, c.oldExpire) << label;
        EXPECT_EQ(old.used, c.used) << label;
        ASSERT_EQ(Entries(), c.successor ? 2 : 1) << label;
        if (c.successor) {
            const int next =
                static_cast<int>(Int("SELECT FEntryID FROM t_CustEntry WHERE FEntryID<>" +
                                     SqlId(id) + " AND FItemID=" + SqlId(kItem)));
            const Stored s = Read(next);
            EXPECT_EQ(s.price, 110);
            EXPECT_EQ(s.quote, "2025-07-01");
            EXPECT_EQ(s.expire, "2100-01-01");
            EXPECT_EQ(s.used, 0);
            EXPECT_EQ(s.note, "年价");
        }
    }
}

TEST_F(PriceAdjustTest, AnEntryAuditedAfterThePreviewIsLeftByBothWays) {
    for (const AdjustWay way : {AdjustWay::kInPlace, AdjustWay::kNewFromDay}) {
        Exec("DELETE FROM t_CustEntry WHERE FItemID=" + SqlId(kItem));
        const int audited = Seed(1, 100);
        const int open = Seed(2, 100);
        auto dialog = Dialog([&](frmAdjustPrices::Inputs& in) { in.way = way; });
        ASSERT_TRUE(dialog->Preview());
        Exec("UPDATE t_CustEntry SET FUsed=1 WHERE FEntryID=" + SqlId(audited));  // another clerk
        ui_->AnswerMessageBox(MsgResult::kYes);
        dialog->CmdOKClick();
        EXPECT_EQ(dialog->Result().written, 1u);
        EXPECT_EQ(dialog->Result().skipped, 1u);
        EXPECT_EQ(Read(audited).price, 100);
        EXPECT_EQ(Read(audited).expire, "2100-01-01");
        EXPECT_EQ(EntryCount(Cust(1), kItem), 1);
        EXPECT_EQ(EntryCount(Cust(2), kItem), way == AdjustWay::kInPlace ? 1 : 2);
        EXPECT_EQ(Read(open).price, way == AdjustWay::kInPlace ? 110 : 100);
    }
}

TEST_F(PriceAdjustTest, PreviewListsEveryEntryWithItsActionAndTheScopeFilters) {
    Seed(1, 100);
    Seed(2, 50, 1);
    Seed(3, 70, 0, "2025-08-01");                      // not yet in force on 2025-06-01
    Seed(4, 80, 0, "2024-01-01", demo::kCurrencyUsd);  // another currency
    auto dialog = Dialog([](frmAdjustPrices::Inputs& in) { in.currencyID = demo::kCurrencyRmb; });
    ASSERT_TRUE(dialog->Preview());
    const AdjustPlan& plan = dialog->Plan();
    ASSERT_EQ(plan.rows.size(), 2u);
    EXPECT_EQ(plan.rows[0].entry.custID, Cust(1));
    EXPECT_EQ(plan.rows[0].newPrice, 110);
    EXPECT_EQ(plan.rows[0].action, AdjustRow::kChange);
    EXPECT_EQ(plan.rows[1].action, AdjustRow::kLeftAudited);
    EXPECT_EQ(dialog->CountsText(),
              "共 2 条价格：调整 1 条，已审核保留不变 1 条，低于最低限价 0 条。");
}

TEST_F(PriceAdjustTest, BelowTheFloorIsMarkedAndAskedAboutWhenTheOptionIsOn) {
    struct Case {
        int alert;
        MsgResult answer;
        double price;  // customer 1's afterwards; customer 2 is above the floor
        int questions;
    };
    const Case cases[] = {
        {1, MsgResult::kNo, 100, 1},
        {1, MsgResult::kYes, 90, 1},
        {0, MsgResult::kYes, 90, 0},
    };
    for (const Case& c : cases) {
        Exec("DELETE FROM t_CustEntry WHERE FItemID=" + SqlId(kItem));
        const int low = Seed(1, 100);
        const int high = Seed(2, 200);
        SetCustomerFloor(Cust(1), kItem, 95, demo::kCurrencyRmb);
        SetOption("AlertSELowPrice", c.alert);
        ui_->ClearRecords();
        auto dialog = Dialog([](frmAdjustPrices::Inputs& in) { in.value = "-10"; });
        ASSERT_TRUE(dialog->Preview());
        EXPECT_EQ(dialog->Plan().BelowFloor(), 1u);
        EXPECT_TRUE(dialog->Plan().rows[0].belowFloor);
        ui_->AnswerMessageBox(MsgResult::kYes);  // the count
        if (c.questions)
            ui_->AnswerMessageBox(c.answer);
        dialog->CmdOKClick();
        EXPECT_EQ(Read(low).price, c.price) << c.alert;
        EXPECT_EQ(Read(high).price, 180) << c.alert;
        int asked = 0;
        for (const std::string& text : BoxTexts())
            asked += text == "T8.001(商行1)的价格资料已经低于设定的销售最低限价，是否继续保存？";
        EXPECT_EQ(asked, c.questions) << c.alert;
    }
}

TEST_F(PriceAdjustTest, TheFloorIsComparedPerBaseUnitInTheBaseCurrency) {
    // A box holds 10 pieces: 90 a box is 9 a piece, below a floor of 9.5.
    SetCustomerFloor(Cust(1), kItem, 9.5, demo::kCurrencyRmb);
    Entry e;
    e.cust = Cust(1);
    e.item = kItem;
    e.unit = demo::kUnitBox;
    e.price = 100;
    AddEntry(e);
    e.unit = demo::kUnitPiece;
    e.price = 11;  // 9.9 a piece: above
    AddEntry(e);
    auto dialog = Dialog([](frmAdjustPrices::Inputs& in) { in.value = "-10"; });
    ASSERT_TRUE(dialog->Preview());
    ASSERT_EQ(dialog->Plan().rows.size(), 2u);
    for (const AdjustRow& row : dialog->Plan().rows)
        EXPECT_EQ(row.belowFloor, row.entry.unitID == demo::kUnitBox) << row.entry.unitName;
}

TEST_F(PriceAdjustTest, CancelAtMemberKKeepsExactlyTheFirstK) {
    for (const int k : {0, 2, 4}) {
        Exec("DELETE FROM t_CustEntry WHERE FItemID=" + SqlId(kItem));
        std::vector<int> ids;
        for (int i = 1; i <= kCustomers; ++i) ids.push_back(Seed(i, 100));
        ui_->CancelProgressAt(k);
        const AdjustResult result =
            Run([](frmAdjustPrices::Inputs& in) { in.way = AdjustWay::kNewFromDay; });
        EXPECT_TRUE(result.stopped);
        EXPECT_EQ(result.written, static_cast<std::size_t>(k));
        for (int i = 0; i < kCustomers; ++i) {
            EXPECT_EQ(Read(ids[i]).expire, i < k ? "2025-07-01" : "2100-01-01") << k << " " << i;
            EXPECT_EQ(EntryCount(Cust(i + 1), kItem), i < k ? 2 : 1) << k << " " << i;
        }
        EXPECT_NE(BoxTexts().back().find("此次共调整" + std::to_string(k) + "条记录！"),
                  std::string::npos);
    }
}

TEST_F(PriceAdjustTest, BadInputIsRefusedBeforeAnythingIsWritten) {
    struct Case {
        const char* what;
        std::function<void(frmAdjustPrices::Inputs&)> set;
        const char* message;  // the refusal begins with it
    };
    const Case cases[] = {
        {"-100 %", [](auto& in) { in.value = "-100"; }, "调整百分比必须大于-100%。"},
        {"-150 %", [](auto& in) { in.value = "-150"; }, "调整百分比必须大于-100%。"},
        {"rounded to 0",
         [](auto& in) {
             in.value = "-60";
             in.roundTo = "5";
         },
         "调整和舍入后的价格必须大于零：\nT8.002(商行2)"},
        {"amount below 0", [](auto& in) { in.kind = PriceChange::kAmount, in.value = "-5"; },
         "调整和舍入后的价格必须大于零："},
        {"step 0", [](auto& in) { in.roundTo = "0"; }, "舍入单位必须大于零。"},
        {"day before the start",
         [](auto& in) {
             in.way = AdjustWay::kNewFromDay;
             in.effective = "2023-12-31";
         },
         "新价格的生效日期必须晚于原价格的生效日期，并早于其失效日期："},
        {"day on the start",
         [](auto& in) {
             in.way = AdjustWay::kNewFromDay;
             in.effective = "2024-01-01";
         },
         "新价格的生效日期必须晚于原价格的生效日期，并早于其失效日期："},
        {"empty scope", [](auto& in) { in.unitID = demo::kUnitBox; }, "没有符合条件的价格"},
        {"nothing in force", [](auto& in) { in.validOn = "2023-01-01"; }, "没有符合条件的价格"},
    };
    const int first = Seed(1, 12);
    const int second = Seed(2, 4);
    for (const Case& c : cases) {
        ui_->ClearRecords();
        auto dialog = Dialog(c.set);
        dialog->CmdOKClick();
        ASSERT_EQ(BoxTexts().size(), 1u) << c.what << ": refused, nothing asked";
        EXPECT_EQ(BoxTexts()[0].rfind(c.message, 0), 0u) << c.what << ": " << BoxTexts()[0];
        EXPECT_TRUE(dialog->Plan().rows.empty()) << c.what;
        EXPECT_EQ(Read(first).price, 12) << c.what;
        EXPECT_EQ(Read(second).price, 4) << c.what;
        EXPECT_EQ(Entries(), 2) << c.what;
    }
}

}  // namespace
}  // namespace orva::batchtest
