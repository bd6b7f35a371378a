// Stepping through the browse window's list: ledger rows from row 3 with the
// end-of-list messages, the save prompt before leaving a changed record, and
// the tree walk that passes over group nodes.
#include "editor_fixture.h"
#include "entry/globals.h"
#include "host/controls/ledger.h"
#include "host/controls/tree.h"

namespace orva::test {
namespace {

class NavigationTest : public EditorTest {
  protected:
    void SetUp() override {
        EditorTest::SetUp();
        cust = CustomerID("99");
        const char* items[] = {"03.01.001", "03.01.002", "03.01.003"};
        ledger.SetCols(3);
        ledger.SetRows(2 + 3);
        ledger.SetRowText(1, "ID|Item|Price|");
        ledger.SetRowText(2, "||");
        for (int i = 0; i < 3; ++i) {
            entries[i] = AddEntry(cust, ItemID(items[i]), 100 + i);
            ledger.SetRowText(3 + i, std::to_string(entries[i]) + "|" + items[i] + "|x|");
        }
    }
    // Opens the entry of ledger row `row`, as a double click does.
    void OpenRow(int row) {
        ledger.SetSelRow(row);
        window = std::make_unique<frmProperty>();
        window->EntryID(entries[row - 3]);
        window->CustID(cust);
        window->LDG(&ledger);
        window->Load();
        window->Activate();
    }

    std::int32_t cust = 0;
    std::int32_t entries[3] = {};
    Ledger ledger;
};

TEST_F(NavigationTest, StepsLoadTheSelectedRowsEntry) {
    OpenRow(3);
    EXPECT_EQ(Text(R::kRowItemNumber), "03.01.001");
    Click(W::kBtnNext);
    EXPECT_EQ(ledger.SelRow(), 4);
    EXPECT_EQ(window->EntryID(), entries[1]);
    EXPECT_EQ(Text(R::kRowItemNumber), "03.01.002");
    EXPECT_EQ(Text(R::kRowPrice), "101");
    EXPECT_FALSE(Shown(W::kBtnNew));  // after a step
    Click(W::kBtnLast);
    EXPECT_EQ(Text(R::kRowItemNumber), "03.01.003");
    Click(W::kBtnFirst);
    EXPECT_EQ(Text(R::kRowItemNumber), "03.01.001");
    PressKey(W::kKeyPageDown, W::kCtrlMask);
    EXPECT_EQ(ledger.SelRow(), 4);
    PressKey(W::kKeyPageUp, W::kAltMask);
    EXPECT_EQ(ledger.SelRow(), 3);
    EXPECT_TRUE(ui->Dialogs().empty());
}

TEST_F(NavigationTest, EndsOfTheListShowTheirMessagesAndKeepTheRecord) {
    OpenRow(3);
    Click(W::kBtnPrevious);
    ASSERT_EQ(ui->Dialogs().size(), 1u);
    EXPECT_EQ(ui->Dialogs()[0].content.title, "提示");
    EXPECT_EQ(ui->Dialogs()[0].content.headline, "已经是第一条记录了!!!");
    EXPECT_EQ(ui->Dialogs()[0].content.kind, 0);
    EXPECT_EQ(ledger.SelRow(), 3);
    EXPECT_EQ(window->EntryID(), entries[0]);

    ui->ClearRecords();
    PressKey(W::kKeyEnd, W::kShiftMask);
    Click(W::kBtnNext);
    EXPECT_EQ(Headlines(), std::vector<std::string>{"已经是最后一条记录了!!!"});
    EXPECT_EQ(ledger.SelRow(), 5);
    EXPECT_EQ(Text(R::kRowItemNumber), "03.01.003");
}

TEST_F(NavigationTest, ChangedRecordIsSavedOrDroppedBeforeTheStep) {
    OpenRow(3);
    ASSERT_TRUE(Enter(R::kRowPrice, "150"));
    ASSERT_TRUE(GoTo(R::kRowNote));
    ASSERT_TRUE(window->Dirty());
    ui->AnswerMessageBox(MsgResult::kYes);
    Click(W::kBtnNext);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"数据已经改变是否保存?"});
    EXPECT_EQ(Scalar("SELECT FPrice FROM t_CustEntry WHERE FEntryID=" + std::to_string(entries[0])),
              "150");
    EXPECT_EQ(window->EntryID(), entries[1]);
    EXPECT_FALSE(window->Dirty());

    // Answered No: the change is dropped and the step goes ahead.
    ASSERT_TRUE(Enter(R::kRowPrice, "999"));
    ASSERT_TRUE(GoTo(R::kRowNote));
    Click(W::kBtnNext);
    EXPECT_EQ(window->EntryID(), entries[2]);
    EXPECT_EQ(Scalar("SELECT FPrice FROM t_CustEntry WHERE FEntryID=" + std::to_string(entries[1])),
              "101");

    // A save that is refused keeps the record.
    ASSERT_TRUE(Enter(R::kRowPrice, "0"));
    ASSERT_TRUE(GoTo(R::kRowNote));
    ui->ClearRecords();
    ui->AnswerMessageBox(MsgResult::kYes);
    Click(W::kBtnPrevious);
    EXPECT_EQ(Headlines(), std::vector<std::string>{"报价不能为零."});
    EXPECT_EQ(window->EntryID(), entries[2]);
    EXPECT_EQ(ledger.SelRow(), 5);
    EXPECT_TRUE(window->Dirty());
}

TEST_F(NavigationTest, AuditedEntryReachedByAStepIsLocked) {
    Exec("UPDATE t_CustEntry SET FUsed=1 WHERE FEntryID=" + std::to_string(entries[1]));
    OpenRow(3);
    ASSERT_TRUE(Enabled(W::kBtnSave));
    Click(W::kBtnNext);
    EXPECT_FALSE(Enabled(W::kBtnSave));
    EXPECT_TRUE(window->vaSProperty().Locked(2, R::kRowPrice));
    Click(W::kBtnNext);
    EXPECT_TRUE(Enabled(W::kBtnSave));
    EXPECT_FALSE(window->vaSProperty().Locked(2, R::kRowPrice));
}

TEST_F(EditorTest, TreeStepsPassOverGroupNodes) {
    g_CategoryByCust = false;
    const std::int32_t a = ItemID("03.01.001");
    const std::int32_t b = ItemID("03.01.002");
    Tree tree;
    tree.Add("", "gc0", "all items");
    tree.Add("gc0", "gi1", "group one");
    tree.Add("gi1", "gb" + std::to_string(a), "03.01.001");
    tree.Add("gi1", "gb" + std::to_string(b), "03.01.002");
    tree.Add("gc0", "gi2", "group two");
    tree.Select(tree.Find("gb" + std::to_string(a)));

    window = std::make_unique<frmProperty>();
    window->ItemID(a);
    window->EntryID(AddEntry(CustomerID("99"), a, 10));
    window->LDG(&tree);
    window->Load();
    ASSERT_TRUE(Shown(W::kBtnNext));

    Click(W::kBtnNext);
    EXPECT_EQ(tree.Node(tree.Selected()).key, "gb" + std::to_string(b));
    EXPECT_EQ(window->ItemID(), b);
    EXPECT_EQ(Text(R::kRowItemNumber), "03.01.002");
    EXPECT_TRUE(window->NewRecord());  // a new entry for the item stepped to

    Click(W::kBtnNext);  // the parent's next sibling is a group: nothing happens
    EXPECT_EQ(window->ItemID(), b);
    Click(W::kBtnPrevious);
    EXPECT_EQ(window->ItemID(), a);
    Click(W::kBtnPrevious);  // no previous leaf
    EXPECT_EQ(window->ItemID(), a);
    EXPECT_TRUE(ui->Dialogs().empty());
}

}  // namespace
}  // namespace orva::test
