// Stepping through the browse window's list: ledger rows from row 3 with the
// end-of-list messages and the save prompt, and the tree walk that passes
// over group nodes.
#include "editor_fixture.h"
#include "host/controls/ledger.h"
#include "host/controls/tree.h"
#include "session/module_context.h"

namespace orva::test {
namespace {

class NavigationTest : public EditorTest {
  protected:
    void SetUp() override {
        EditorTest::SetUp();
        const char* items[] = {"03.01.001", "03.01.002", "03.01.003"};
        ledger.SetCols(2);
        ledger.SetRows(5);
        for (int i = 0; i < 3; ++i) {
            entries[i] = AddEntry(CustomerID("99"), ItemID(items[i]), 100 + i);
            ledger.SetRowText(3 + i, std::to_string(entries[i]) + "|" + items[i] + "|");
        }
        ledger.SetSelRow(3);
        window = std::make_unique<frmProperty>(*ctx_);
        window->EntryID(entries[0]);
        window->CustID(CustomerID("99"));
        window->LDG(&ledger);
        window->Load();
    }
    std::int32_t entries[3] = {};
    Ledger ledger;
};

TEST_F(NavigationTest, StepsLoadTheSelectedRowsEntry) {
    Click(W::kBtnNext);
    EXPECT_EQ(ledger.SelRow(), 4);
    EXPECT_EQ(window->EntryID(), entries[1]);
    EXPECT_EQ(Text(R::kRowItemNumber), "03.01.002");
    EXPECT_EQ(Text(R::kRowPrice), "101");
    EXPECT_FALSE(Shown(W::kBtnNew));
    PressKey(kKeyEnd, kShiftMask);
    EXPECT_EQ(Text(R::kRowItemNumber), "03.01.003");
    PressKey(kKeyPageUp, kAltMask);
    EXPECT_EQ(ledger.SelRow(), 4);
    PressKey(kKeyHome, kCtrlMask);
    EXPECT_EQ(Text(R::kRowItemNumber), "03.01.001");
    EXPECT_TRUE(ui->Dialogs().empty());
}

TEST_F(NavigationTest, EndsOfTheListShowTheirMessagesAndKeepTheRecord) {
    Click(W::kBtnPrevious);
    ASSERT_EQ(ui->Dialogs().size(), 1u);
    EXPECT_EQ(ui->Dialogs()[0].content.title, "提示");
    EXPECT_EQ(ui->Dialogs()[0].content.headline, "已经是第一条记录了!!!");
    EXPECT_EQ(window->EntryID(), entries[0]);
    Click(W::kBtnLast);
    Click(W::kBtnNext);
    EXPECT_EQ(Headlines().back(), "已经是最后一条记录了!!!");
    EXPECT_EQ(ledger.SelRow(), 5);
    EXPECT_EQ(window->EntryID(), entries[2]);
}

TEST_F(NavigationTest, ChangedRecordIsSavedOrDroppedBeforeTheStep) {
    ASSERT_TRUE(Enter(R::kRowPrice, "150"));
    ASSERT_TRUE(GoTo(R::kRowNote));
    ui->AnswerMessageBox(MsgResult::kYes);
    Click(W::kBtnNext);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"数据已经改变是否保存?"});
    EXPECT_EQ(Price(entries[0]), "150");
    EXPECT_EQ(window->EntryID(), entries[1]);
    EXPECT_FALSE(window->Dirty());

    ASSERT_TRUE(Enter(R::kRowPrice, "999"));
    ASSERT_TRUE(GoTo(R::kRowNote));
    Click(W::kBtnNext);  // answered No: dropped
    EXPECT_EQ(window->EntryID(), entries[2]);
    EXPECT_EQ(Price(entries[1]), "101");

    ASSERT_TRUE(Enter(R::kRowPrice, "0"));
    ASSERT_TRUE(GoTo(R::kRowNote));
    ui->AnswerMessageBox(MsgResult::kYes);
    Click(W::kBtnPrevious);  // the save is refused: no step
    EXPECT_EQ(Headlines(), std::vector<std::string>{"报价不能为零."});
    EXPECT_EQ(ledger.SelRow(), 5);
    EXPECT_TRUE(window->Dirty());
}

TEST_F(EditorTest, TreeStepsPassOverGroupNodes) {
    ctx_->g_CategoryByCust = false;
    const std::int32_t a = ItemID("03.01.001");
    const std::int32_t b = ItemID("03.01.002");
    Tree tree;
    tree.Add("", "gc0", "all items");
    tree.Add("gc0", "gi1", "group one");
    tree.Add("gi1", "gb" + std::to_string(a), "03.01.001");
    tree.Add("gi1", "gb" + std::to_string(b), "03.01.002");
    tree.Add("gc0", "gi2", "group two");
    tree.Select(tree.Find("gb" + std::to_string(a)));
    window = std::make_unique<frmProperty>(*ctx_);
    window->ItemID(a);
    window->EntryID(AddEntry(CustomerID("99"), a, 10));
    window->LDG(&tree);
    window->Load();
    EXPECT_FALSE(Shown(W::kBtnFirst));
    EXPECT_FALSE(Shown(W::kBtnLast));

    Click(W::kBtnNext);
    EXPECT_EQ(tree.Selected(), tree.Find("gb" + std::to_string(b)));
    EXPECT_EQ(Text(R::kRowItemNumber), "03.01.002");
    EXPECT_TRUE(window->NewRecord());  // a new entry for the item stepped to
    Click(W::kBtnNext);                // the parent's next sibling is a group
    EXPECT_EQ(window->ItemID(), b);
    Click(W::kBtnPrevious);
    EXPECT_EQ(window->ItemID(), a);
    Click(W::kBtnPrevious);  // nothing before the first leaf
    EXPECT_EQ(window->ItemID(), a);
}

}  // namespace
}  // namespace orva::test
