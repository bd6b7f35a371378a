// Batch add: one entry per member, existing entries passed over, header rows
// created where missing, the minimum-price question per member, auto audit.
#include <functional>

#include "batch_fixture.h"
#include "host/app_connection.h"
#include "host/component_registry.h"
#include "host/db/open_database.h"
#include "host/host_services.h"
#include "model/sql_values.h"
#include "session/module_context.h"

namespace orva::batchtest {
namespace {

constexpr int kGroup = 900100;
constexpr int kCust1 = 900111;
constexpr int kCust2 = 900112;
constexpr int kCust3 = 900113;
constexpr int kItem = 900301;

// The batch's own connection, with a hook that runs just before a text goes
// to the database (another client writing at that moment).
class HookedBackend : public DbBackend {
  public:
    HookedBackend(std::unique_ptr<DbBackend> inner, std::function<void(std::string_view)> before)
        : inner_(std::move(inner)), before_(std::move(before)) {}
    BatchResult ExecuteBatch(std::string_view tsql) override {
        before_(tsql);
        return inner_->ExecuteBatch(tsql);
    }
    std::int32_t NextNumber(std::string_view key) override { return inner_->NextNumber(key); }
    std::string Describe() const override { return inner_->Describe(); }

  private:
    std::unique_ptr<DbBackend> inner_;
    std::function<void(std::string_view)> before_;
};

class BatchAddTest : public BatchTest {
  protected:
    void SetUp() override {
        BatchTest::SetUp();
        AddCustomerGroup(kGroup, "T9", 0);
        AddCustomer(kCust1, "T9.001", kGroup, "甲商行");
        AddCustomer(kCust2, "T9.002", kGroup, "乙商行");
        AddCustomer(kCust3, "T9.003", kGroup, "丙商行");
        AddItemGroup(900300, "I9", 0);
        AddItem(kItem, "I9.001", 900300);
    }

    GridValues Values() {
        GridValues g;
        g.cust = kGroup;
        g.item = kItem;
        g.endQty = 100;
        g.price = 12.5;
        g.leadTime = 3;
        g.quote = "2025-03-01";
        return g;
    }

    std::int32_t Run(std::int16_t alert, double basePrice) {
        return engine_.BatchAdd(alert, basePrice);
    }

    // The only entry of the pair.
    int EntryOf(int cust, int item) {
        return static_cast<int>(Int("SELECT FEntryID FROM t_CustEntry WHERE FCustID=" +
                                    SqlId(cust) + " AND FItemID=" + SqlId(item)));
    }
};

TEST_F(BatchAddTest, SkipsAMemberThatHasTheEntryAndWritesMissingHeaders) {
    Entry existing;
    existing.cust = kCust2;
    existing.item = kItem;
    existing.endQty = 100;
    existing.price = 8;
    existing.quote = "2025-03-01";
    AddEntry(existing);
    SetCustomerFloor(kCust1, kItem, 0, demo::kCurrencyUsd);  // a header of its own

    GridValues g = Values();
    g.note = "O'Brien; DROP TABLE t_Cust --";
    Fill(g);
    EXPECT_EQ(Run(0, 12.5), 2);

    ASSERT_EQ(ui_->MessageBoxes().size(), 1u);
    const auto& box = ui_->MessageBoxes()[0];
    EXPECT_EQ(box.text, "此次共新增2条记录！");
    EXPECT_EQ(box.title, "Tesmar提示");
    EXPECT_EQ(box.icon, MsgIcon::kInformation);

    for (int cust : {kCust1, kCust3}) {
        ASSERT_EQ(EntryCount(cust, kItem), 1);
        Stored s = Read(EntryOf(cust, kItem));
        EXPECT_EQ(s.unit, demo::kUnitPiece);
        EXPECT_DOUBLE_EQ(s.price, 12.5);
        EXPECT_EQ(s.leadTime, 3);
        EXPECT_EQ(s.quote, "2025-03-01");
        EXPECT_EQ(s.expire, "2100-01-01");
        EXPECT_EQ(s.used, 0);
        EXPECT_EQ(s.note, "O'Brien; DROP TABLE t_Cust --");
    }
    EXPECT_NE(EntryOf(kCust1, kItem), EntryOf(kCust3, kItem));
    EXPECT_EQ(EntryCount(kCust2, kItem), 1);
    EXPECT_DOUBLE_EQ(Read(EntryOf(kCust2, kItem)).price, 8);

    // The existing header keeps its currency; the new one has currency 1, floor 0;
    // the skipped member gets none.
    EXPECT_EQ(Int("SELECT FCurrencyID FROM t_Cust WHERE FCustID=" + SqlId(kCust1) +
                  " AND FItemID=" + SqlId(kItem)),
              demo::kCurrencyUsd);
    EXPECT_EQ(Int("SELECT COUNT(*) FROM t_Cust WHERE FCustID=" + SqlId(kCust3) +
                  " AND FItemID=" + SqlId(kItem) + " AND FCurrencyID=1 AND FSELowPrice=0"),
              1);
    EXPECT_FALSE(HeaderExists(kCust2, kItem));

    // A second run finds every entry in place.
    ui_->ClearRecords();
    EXPECT_EQ(Run(0, 12.5), 0);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"此次共新增0条记录！"});
}

TEST_F(BatchAddTest, DecliningTheMinimumPriceQuestionSkipsOnlyThatMember) {
    ctx_->g_UseShortNumber = true;
    SetCustomerFloor(kCust1, kItem, 20, demo::kCurrencyRmb);
    SetCustomerFloor(kCust2, kItem, 2, demo::kCurrencyUsd);  // 14.2 in the base currency
    // 120 per box of 10 pieces: 12 per piece, below both floors.
    GridValues g = Values();
    g.unit = demo::kUnitBox;
    g.price = 120;
    Fill(g);
    ui_->AnswerMessageBox(MsgResult::kNo);
    ui_->AnswerMessageBox(MsgResult::kYes);
    EXPECT_EQ(Run(1, 120), 2);

    const auto& boxes = ui_->MessageBoxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, "ST9.001(甲商行)的价格资料已经低于设定的销售最低限价，是否继续保存？");
    EXPECT_EQ(boxes[0].buttons, MsgButtons::kYesNo);
    EXPECT_EQ(boxes[0].icon, MsgIcon::kQuestion);
    EXPECT_EQ(boxes[1].text, "ST9.002(乙商行)的价格资料已经低于设定的销售最低限价，是否继续保存？");
    EXPECT_EQ(boxes[2].text, "此次共新增2条记录！");
    EXPECT_EQ(EntryCount(kCust1, kItem), 0);
    EXPECT_EQ(EntryCount(kCust2, kItem), 1);
    EXPECT_EQ(EntryCount(kCust3, kItem), 1);
    EXPECT_DOUBLE_EQ(Read(EntryOf(kCust2, kItem)).price, 120);  // as entered, not converted

    // At or above the floor per base unit nobody is asked.
    ui_->ClearRecords();
    Exec("DELETE FROM t_CustEntry WHERE FItemID=" + SqlId(kItem));
    g.price = 200;  // 20 per piece
    Fill(g);
    EXPECT_EQ(Run(1, 200), 3);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"此次共新增3条记录！"});
}

// The overlap option per member: member 2 holds a price of quantities 50 to
// 200 from 2025-01-01 that the batch's 0 to 100 from 2025-03-01 would overlap.
TEST_F(BatchAddTest, OverlapOptionAsksOrPassesTheOverlappingMemberOver) {
    struct Case {
        const char* name;
        std::int16_t option;
        MsgResult answer;  // to the question, when one is asked
        int added;
        std::vector<std::string> boxes;
    };
    const std::string ask =
        "T9.002(乙商行)的价格资料与已有价格的销货量和有效期重叠，是否继续保存？";
    const std::vector<Case> cases = {
        {"off", 0, MsgResult::kNo, 3, {"此次共新增3条记录！"}},
        {"warn, answered No", 1, MsgResult::kNo, 2, {ask, "此次共新增2条记录！"}},
        {"warn, answered Yes", 1, MsgResult::kYes, 3, {ask, "此次共新增3条记录！"}},
        {"refuse",
         2,
         MsgResult::kYes,
         2,
         {"此次共新增2条记录！", "有 1 个成员的价格与已有价格的销货量和有效期重叠，没有新增。"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Exec("DELETE FROM t_CustEntry WHERE FItemID=" + SqlId(kItem));
        Entry existing;
        existing.cust = kCust2;
        existing.item = kItem;
        existing.startQty = 50;
        existing.endQty = 200;
        existing.quote = "2025-01-01";
        AddEntry(existing);
        Fill(Values());
        ui_->ClearRecords();
        if (c.option == 1)
            ui_->AnswerMessageBox(c.answer);
        engine_.OverlapOption = c.option;
        EXPECT_EQ(Run(0, 12.5), c.added);
        EXPECT_EQ(BoxTexts(), c.boxes);
        EXPECT_EQ(EntryCount(kCust2, kItem), c.added == 3 ? 2 : 1);
    }
}

TEST_F(BatchAddTest, ByItemGroupEachItemTakesItsBaseUnit) {
    ctx_->g_CategoryByCust = false;
    AddItemGroup(900400, "I8", 0);
    AddItem(900401, "I8.001", 900400, demo::kUnitKilogram);
    AddItem(900402, "I8.002", 900400, 0);  // no base unit
    AddItem(900403, "I8.003", 900400, demo::kUnitPiece);
    Entry existing;  // the third item already has the entry in its base unit
    existing.cust = kCust1;
    existing.item = 900403;
    existing.quote = "2025-03-01";
    AddEntry(existing);
    SetItemFloor(900401, 50, demo::kCurrencyRmb);

    GridValues g = Values();
    g.cust = kCust1;
    g.item = 900400;
    g.unit = demo::kUnitBox;  // not used by item group
    g.endQty = 0;
    g.price = 20;
    Fill(g);
    ui_->AnswerMessageBox(MsgResult::kYes);
    std::int16_t alert = 1;
    double base = 20;
    EXPECT_EQ(engine_.BatchAdd_Item(alert, base), 2);

    ASSERT_EQ(ui_->MessageBoxes().size(), 2u);
    EXPECT_EQ(ui_->MessageBoxes()[0].text,
              "I8.001(NI8.001)的价格资料已经低于设定的销售最低限价，是否继续保存？");
    EXPECT_EQ(Read(EntryOf(kCust1, 900401)).unit, demo::kUnitKilogram);
    EXPECT_EQ(Read(EntryOf(kCust1, 900402)).unit, 0);
    EXPECT_EQ(EntryCount(kCust1, 900403), 1);
    EXPECT_TRUE(HeaderExists(kCust1, 900401));
    EXPECT_TRUE(HeaderExists(kCust1, 900402));
    EXPECT_FALSE(HeaderExists(kCust1, 900403));
}

TEST_F(BatchAddTest, AutoAuditNeedsTheOptionAndTheAuditRight) {
    SetOption("BatchAuditSalePrice", 1);
    Fill(Values());
    EXPECT_EQ(Run(0, 12.5), 3);
    EXPECT_EQ(BoxTexts(),
              (std::vector<std::string>{"此次共新增3条记录！", "本次新增记录都已自动审核！"}));
    EXPECT_EQ(
        Int("SELECT COUNT(*) FROM t_CustEntry WHERE FItemID=" + SqlId(kItem) + " AND FUsed=1"), 3);
    EXPECT_TRUE(ui_->AssistantNotices().empty());

    // wangfang sees every customer but may not audit.
    Exec("DELETE FROM t_CustEntry WHERE FItemID=" + SqlId(kItem));
    LogOn(demo::kLimitedUserId);
    ui_->ClearRecords();
    EXPECT_EQ(Run(0, 12.5), 3);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"此次共新增3条记录！"});
    ASSERT_EQ(ui_->AssistantNotices().size(), 1u);
    EXPECT_EQ(ui_->AssistantNotices()[0].description, "没有权限,不能自动审核。请与系统管理员联系!");
    EXPECT_EQ(
        Int("SELECT COUNT(*) FROM t_CustEntry WHERE FItemID=" + SqlId(kItem) + " AND FUsed=0"), 3);

    // With the option off nothing is said about auditing.
    Exec("DELETE FROM t_CustEntry WHERE FItemID=" + SqlId(kItem));
    SetOption("BatchAuditSalePrice", 0);
    ui_->ClearRecords();
    EXPECT_EQ(Run(0, 12.5), 3);
    EXPECT_TRUE(ui_->AssistantNotices().empty());
}

TEST_F(BatchAddTest, ExpiryBeforeEffectiveDateWritesNothing) {
    GridValues g = Values();
    g.expire = "2025-02-28";
    Fill(g);
    EXPECT_EQ(Run(0, 12.5), 0);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"失效日期必须大于生效日期"});
    EXPECT_EQ(Int("SELECT COUNT(*) FROM t_CustEntry WHERE FItemID=" + SqlId(kItem)), 0);

    // The same day is accepted.
    ui_->ClearRecords();
    g.expire = g.quote;
    Fill(g);
    EXPECT_EQ(Run(0, 12.5), 3);
}

TEST_F(BatchAddTest, AnErrorStopsTheRunAndKeepsWhatWasWritten) {
    RawExec("CREATE TRIGGER refuse_second BEFORE INSERT ON t_CustEntry WHEN NEW.FCustID=" +
            std::to_string(kCust2) + " BEGIN SELECT RAISE(ABORT, 'refused'); END");
    Fill(Values());
    EXPECT_EQ(Run(0, 12.5), 0);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"批量新增出错！"});
    EXPECT_EQ(EntryCount(kCust1, kItem), 1);
    // The member's header and entry went in one text: neither was written.
    EXPECT_EQ(EntryCount(kCust2, kItem), 0);
    EXPECT_FALSE(HeaderExists(kCust2, kItem));
    EXPECT_EQ(EntryCount(kCust3, kItem), 0);
}

// Another client writes a member's header row, or its entry, between the
// batch's look-ups and its write of that member: the member is handled as if
// the row had been there at the look-up, and the batch goes on.
TEST_F(BatchAddTest, RowsAnotherClientWritesMeanwhileAreTakenAsFound) {
    const std::string theirHeader =
        "INSERT INTO t_Cust (FBrNo,FItemID,FCustID,FCurrencyID) "
        "VALUES ('0'," +
        SqlId(kItem) + "," + SqlId(kCust2) + ",2)";
    const std::string theirEntry =
        "INSERT INTO t_CustEntry (FBrNo,FEntryID,FCustID,FItemID,FUnitID,FStartQty,FEndQty,"
        "FPrice,FCyID,FQuoteTime,FExpireDate) VALUES ('0',890001," +
        SqlId(kCust2) + "," + SqlId(kItem) + "," + SqlId(demo::kUnitPiece) +
        ",0,100,8,1,'2025-03-01','2100-01-01')";
    struct Case {
        const char* what;
        bool headerBefore;  // the member's header row exists at the look-up
        std::vector<std::string> theirWrites;
        std::int32_t count;
        double price;  // of the member's entry afterwards
    };
    const Case cases[] = {
        {"its header row", false, {theirHeader}, 3, 12.5},
        {"its header row and entry", false, {theirHeader, theirEntry}, 2, 8},
        {"its entry, the header being there", true, {theirEntry}, 2, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Exec("DELETE FROM t_CustEntry WHERE FItemID=" + SqlId(kItem));
        Exec("DELETE FROM t_Cust WHERE FItemID=" + SqlId(kItem));
        if (c.headerBefore)
            Exec(theirHeader);
        bool written = false;
        auto before = [&](std::string_view sql) {
            if (written || sql.rfind("INSERT INTO t_Cust", 0) != 0 ||
                sql.find("," + SqlId(kCust2)) == std::string_view::npos)
                return;
            written = true;
            for (const std::string& write : c.theirWrites) RawExec(write);
        };
        const std::string path = company_.path();
        ComponentRegistry::Register<AppConnection>(AppConnection::kProgID, [path, before] {
            return std::make_shared<AppConnection>(
                std::make_unique<HookedBackend>(OpenDatabase(path), before));
        });
        ui_->ClearRecords();
        Fill(Values());
        EXPECT_EQ(Run(0, 12.5), c.count);
        RegisterHostServices();
        EXPECT_TRUE(written);
        EXPECT_EQ(BoxTexts(),
                  std::vector<std::string>{"此次共新增" + std::to_string(c.count) + "条记录！"});
        for (int cust : {kCust1, kCust2, kCust3}) {
            EXPECT_EQ(EntryCount(cust, kItem), 1);
            EXPECT_TRUE(HeaderExists(cust, kItem));
        }
        EXPECT_DOUBLE_EQ(Read(EntryOf(kCust2, kItem)).price, c.price);
        EXPECT_EQ(Int("SELECT FCurrencyID FROM t_Cust WHERE FCustID=" + SqlId(kCust2) +
                      " AND FItemID=" + SqlId(kItem)),
                  2);  // theirs
    }
}

}  // namespace
}  // namespace orva::batchtest
