// Batches stopped by the user: one progress step per member naming it, and
// once the Cancel is taken nothing more written. A batch add keeps the
// members it wrote before the Cancel; a batch update and a batch delete,
// which write in one text at the end, write nothing. The closing message
// says which, and a second run completes the rest without writing anything
// twice. Also a database error in the middle.
#include <functional>

#include "batch_fixture.h"
#include "model/sql_values.h"
#include "session/module_context.h"

namespace orva::batchtest {
namespace {

constexpr int kCustGroup = 900500;
constexpr int kItemGroup = 900600;
constexpr int kMembers = 6;
constexpr int kCust = 900510;  // a customer outside the group, for the item groups
constexpr int kItem = 900610;  // an item outside the group, for the customer groups
// The closing messages' second line when the user stopped.
const char* const kAddKept = "\n操作已被用户中止：已新增的记录保留，其余成员没有新增。";
const char* const kAddNone = "\n操作已被用户中止：没有新增任何记录。";
const char* const kUpdateNone = "\n操作已被用户中止：没有修改任何记录。";
const char* const kDeleteNone = "\n操作已被用户中止：没有删除任何记录。";

int Cust(int i) {
    return kCustGroup + i;
}
int Item(int i) {
    return kItemGroup + i;
}

class BatchCancelTest : public BatchTest {
  protected:
    void SetUp() override {
        BatchTest::SetUp();
        AddCustomerGroup(kCustGroup, "T7", 0);
        AddItemGroup(kItemGroup, "I7", 0);
        for (int i = 1; i <= kMembers; ++i) {
            AddCustomer(Cust(i), "T7.00" + std::to_string(i), kCustGroup,
                        "商行" + std::to_string(i));
            AddItem(Item(i), "I7.00" + std::to_string(i), kItemGroup);
        }
        AddCustomer(kCust, "T6.001", 0, "独立客户");
        AddItem(kItem, "I6.001", 0);
    }

    // The grid of a batch over the customer group (one item) or over the
    // item group (one customer).
    GridValues Values(bool byItem) {
        ctx_->g_CategoryByCust = !byItem;
        GridValues g;
        g.cust = byItem ? kCust : kCustGroup;
        g.item = byItem ? kItemGroup : kItem;
        g.endQty = 100;
        g.price = 15;
        g.quote = "2025-06-01";
        return g;
    }
    // The pair of member i.
    std::pair<int, int> Pair(bool byItem, int i) {
        return byItem ? std::pair{kCust, Item(i)} : std::pair{Cust(i), kItem};
    }
    // One entry per member, quantities 0 to 100, at `price` from `quote`.
    void SeedMembers(bool byItem, double price, const char* quote) {
        for (int i = 1; i <= kMembers; ++i) {
            Entry e;
            std::tie(e.cust, e.item) = Pair(byItem, i);
            e.endQty = 100;
            e.price = price;
            e.quote = quote;
            AddEntry(e);
        }
    }
    std::int64_t Entries(bool byItem, int i) {
        auto [c, it] = Pair(byItem, i);
        return EntryCount(c, it);
    }
    double PriceOf(bool byItem, int i) {
        auto [c, it] = Pair(byItem, i);
        return static_cast<double>(Int("SELECT FPrice FROM t_CustEntry WHERE FCustID=" + SqlId(c) +
                                       " AND FItemID=" + SqlId(it)));
    }

    std::int32_t Add(bool byItem) {
        std::int16_t alert = 0;
        double base = 15;
        return byItem ? engine_.BatchAdd_Item(alert, base) : engine_.BatchAdd(alert, base);
    }
    std::int32_t Update(bool byItem) {
        std::int16_t alert = 0;
        double base = 15;
        return byItem ? engine_.BatchUpdate_Item(alert, base) : engine_.BatchUpdate(alert, base);
    }

    // The last progress: its caption, total and the member named at each
    // step (a last step past the members reports them all done), then closed
    // before the closing message.
    void ExpectProgress(const std::string& caption, bool byItem, std::size_t steps) {
        ASSERT_FALSE(ui_->Progresses().empty());
        const ScriptedUi::ProgressRun& run = ui_->Progresses().back();
        EXPECT_EQ(run.caption, caption);
        EXPECT_EQ(run.total, kMembers);
        EXPECT_TRUE(run.ended);
        ASSERT_EQ(run.steps.size(), steps);
        for (std::size_t s = 0; s < steps && s < kMembers; ++s) {
            const int i = static_cast<int>(s) + 1;
            EXPECT_EQ(run.steps[s].done, static_cast<std::int64_t>(s));
            EXPECT_EQ(run.steps[s].text,
                      byItem ? "I7.00" + std::to_string(i) + "(NI7.00" + std::to_string(i) + ")"
                             : "T7.00" + std::to_string(i) + "(商行" + std::to_string(i) + ")");
        }
        ASSERT_FALSE(ui_->MessageBoxes().empty());
        EXPECT_FALSE(ui_->MessageBoxes().back().overProgress);
    }
};

TEST_F(BatchCancelTest, AddStoppedAtMemberKWritesExactlyKAndASecondRunTheRest) {
    for (bool byItem : {false, true}) {
        for (int k : {0, 2, kMembers - 1}) {
            SCOPED_TRACE((byItem ? "by item, k=" : "by customer, k=") + std::to_string(k));
            Exec("DELETE FROM t_CustEntry");
            ui_->ClearRecords();
            Fill(Values(byItem));
            ui_->CancelProgressAt(k);
            EXPECT_EQ(Add(byItem), k);
            EXPECT_EQ(BoxTexts(),
                      std::vector<std::string>{"此次共新增" + std::to_string(k) + "条记录！" +
                                               (k > 0 ? kAddKept : kAddNone)});
            ExpectProgress("批量新增", byItem, static_cast<std::size_t>(k) + 1);
            for (int i = 1; i <= kMembers; ++i)
                EXPECT_EQ(Entries(byItem, i), i <= k ? 1 : 0) << "member " << i;

            ui_->ClearRecords();
            EXPECT_EQ(Add(byItem), kMembers - k);
            EXPECT_EQ(BoxTexts(), std::vector<std::string>{
                                      "此次共新增" + std::to_string(kMembers - k) + "条记录！"});
            ExpectProgress("批量新增", byItem, kMembers);
            for (int i = 1; i <= kMembers; ++i) EXPECT_EQ(Entries(byItem, i), 1) << "member " << i;
        }
    }
}

// The whole update is one text sent at the end: stopped at any member, or
// after the last one was looked at (k = kMembers, the step that reports them
// all done), it changes nothing.
TEST_F(BatchCancelTest, UpdateStoppedAnywhereChangesNothingAndASecondRunChangesAll) {
    for (bool byItem : {false, true}) {
        for (int k : {0, 3, kMembers}) {
            SCOPED_TRACE((byItem ? "by item, k=" : "by customer, k=") + std::to_string(k));
            Exec("DELETE FROM t_CustEntry");
            ui_->ClearRecords();
            SeedMembers(byItem, 9, "2025-01-01");
            Fill(Values(byItem));
            ui_->CancelProgressAt(k, 2);  // pressed twice: stops once
            EXPECT_EQ(Update(byItem), 0);
            EXPECT_EQ(BoxTexts(),
                      std::vector<std::string>{std::string("此次共修改0条记录！") + kUpdateNone});
            ExpectProgress("批量修改", byItem, static_cast<std::size_t>(k) + 1);
            for (int i = 1; i <= kMembers; ++i) EXPECT_EQ(PriceOf(byItem, i), 9) << "member " << i;

            ui_->ClearRecords();
            EXPECT_EQ(Update(byItem), kMembers);
            EXPECT_EQ(BoxTexts(), std::vector<std::string>{"此次共修改" + std::to_string(kMembers) +
                                                           "条记录！"});
            for (int i = 1; i <= kMembers; ++i) {
                EXPECT_EQ(Entries(byItem, i), 1);
                EXPECT_EQ(PriceOf(byItem, i), 15);
            }
        }
    }
}

// Stopped while counting (k = 0) or after the count (k = kMembers, before
// the question): nothing is asked and nothing deleted.
TEST_F(BatchCancelTest, DeleteStoppedWhileCountingDeletesNothingAndAsksNothing) {
    for (bool byItem : {false, true}) {
        for (int k : {0, kMembers}) {
            SCOPED_TRACE((byItem ? "by item, k=" : "by customer, k=") + std::to_string(k));
            Exec("DELETE FROM t_CustEntry");
            ui_->ClearRecords();
            SeedMembers(byItem, 15, "2025-06-01");
            Fill(Values(byItem));
            ui_->CancelProgressAt(k);
            EXPECT_EQ(byItem ? engine_.BatchDelete_Item() : engine_.BatchDelete(), 0);
            EXPECT_EQ(BoxTexts(),
                      std::vector<std::string>{std::string("此次共删除0条记录！") + kDeleteNone});
            EXPECT_FALSE(ui_->MessageBoxes().back().overProgress);
            for (int i = 1; i <= kMembers; ++i) EXPECT_EQ(Entries(byItem, i), 1);

            ui_->ClearRecords();
            ui_->AnswerMessageBox(MsgResult::kYes);
            EXPECT_EQ(byItem ? engine_.BatchDelete_Item() : engine_.BatchDelete(), kMembers);
            EXPECT_EQ(ui_->Progresses().back().caption, "批量删除");
            // The question comes after the counting, with the progress closed.
            ASSERT_EQ(ui_->MessageBoxes().size(), 2u);
            EXPECT_FALSE(ui_->MessageBoxes()[0].overProgress);
            for (int i = 1; i <= kMembers; ++i) EXPECT_EQ(Entries(byItem, i), 0);
        }
    }
}

TEST_F(BatchCancelTest, TheMinimumPriceQuestionComesOverTheProgressAndCancelFollowsIt) {
    SetItemFloor(kItem, 50, demo::kCurrencyRmb);
    Fill(Values(false));
    ui_->AnswerMessageBox(MsgResult::kYes);  // member 1
    ui_->AnswerMessageBox(MsgResult::kNo);   // member 2: passed over
    ui_->AnswerMessageBox(MsgResult::kYes);  // member 3
    ui_->CancelProgressAt(3);
    std::int16_t alert = 1;
    double base = 15;
    EXPECT_EQ(engine_.BatchAdd(alert, base), 2);
    ASSERT_EQ(ui_->MessageBoxes().size(), 4u);
    for (int q = 0; q < 3; ++q) EXPECT_TRUE(ui_->MessageBoxes()[q].overProgress);
    EXPECT_EQ(ui_->MessageBoxes()[3].text, std::string("此次共新增2条记录！") + kAddKept);
    EXPECT_FALSE(ui_->MessageBoxes()[3].overProgress);
    EXPECT_EQ(Entries(false, 1), 1);
    EXPECT_EQ(Entries(false, 2), 0);
    EXPECT_EQ(Entries(false, 3), 1);
    EXPECT_EQ(Entries(false, 4), 0);
}

TEST_F(BatchCancelTest, ADatabaseErrorInTheMiddleKeepsWhatWasWrittenAndARerunCompletes) {
    RawExec("CREATE TRIGGER refuse_fourth BEFORE INSERT ON t_CustEntry WHEN NEW.FCustID=" +
            std::to_string(Cust(4)) + " BEGIN SELECT RAISE(ABORT, 'disk full'); END");
    Fill(Values(false));
    EXPECT_EQ(Add(false), 0);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"批量新增出错！"});
    EXPECT_TRUE(ui_->Progresses().back().ended);
    EXPECT_EQ(ui_->Progresses().back().steps.size(), 4u);
    EXPECT_FALSE(ui_->MessageBoxes().back().overProgress);
    for (int i = 1; i <= kMembers; ++i) EXPECT_EQ(Entries(false, i), i < 4 ? 1 : 0);

    RawExec("DROP TRIGGER refuse_fourth");
    ui_->ClearRecords();
    EXPECT_EQ(Add(false), 3);
    for (int i = 1; i <= kMembers; ++i) EXPECT_EQ(Entries(false, i), 1);
}

}  // namespace
}  // namespace orva::batchtest
