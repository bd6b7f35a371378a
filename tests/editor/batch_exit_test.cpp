// Batch modes from the editor, and leaving the window with unsaved changes
// in each mode: what is asked, what is written, and when the window stays.
#include "editor_fixture.h"
#include "entry/globals.h"

namespace orva::test {
namespace {

constexpr std::int32_t kItemGroup0301 = 1240;  // item group 03.01 in the demo company

class BatchExitTest : public EditorTest {
  protected:
    void SetUp() override {
        EditorTest::SetUp();
        Exec("UPDATE t_SystemProfile SET FValue='0' WHERE FKey='AlertSELowPrice'");
        cust = CustomerID("99");
    }
    long EntriesQuoted(const std::string& date) {
        return Count("SELECT COUNT(*) FROM t_CustEntry WHERE FCustID=" + std::to_string(cust) +
                     " AND FQuoteTime='" + date + "'");
    }
    // The criteria of a batch by item group 03.01 for customer 99.
    void FillGroupCriteria(std::int32_t operation) {
        g_CategoryByCust = false;
        Open(operation, 0, kItemGroup0301);
        window->MarkShown();
        ASSERT_TRUE(Enter(R::kRowCustNumber, "99"));
        ASSERT_TRUE(Enter(R::kRowPrice, "55"));
        ASSERT_TRUE(Enter(R::kRowQuoteTime, "2026-06-01"));
        ASSERT_TRUE(GoTo(R::kRowNote));
    }

    std::int32_t cust = 0;
};

TEST_F(BatchExitTest, BatchAddByItemGroupNeedsNoUnit) {
    FillGroupCriteria(W::kOpBatchAdd);
    EXPECT_EQ(Text(R::kRowItemName), "家用电器");
    EXPECT_TRUE(window->vaSProperty().Locked(2, R::kRowUnit));
    window->vaSProperty().SetText(2, R::kRowUnit, "");
    Click(W::kBtnSave);
    for (const std::string& box : Boxes()) EXPECT_EQ(box.find("计量单位"), std::string::npos);
    const long added = EntriesQuoted("2026-06-01");
    EXPECT_GT(added, 0);
    // Each entry is in its item's own base unit.
    EXPECT_EQ(
        Count("SELECT COUNT(*) FROM t_CustEntry e INNER JOIN t_ICItem i ON "
              "e.FItemID=i.FItemID WHERE e.FCustID=" +
              std::to_string(cust) + " AND e.FQuoteTime='2026-06-01' AND e.FUnitID=i.FUnitID"),
        added);
    EXPECT_FALSE(window->Dirty());
}

TEST_F(BatchExitTest, ClosingBatchDeleteWithChangesAsksToDelete) {
    FillGroupCriteria(W::kOpBatchAdd);
    Click(W::kBtnSave);
    const long added = EntriesQuoted("2026-06-01");
    ASSERT_GT(added, 0);

    FillGroupCriteria(W::kOpBatchDelete);
    ui->ClearRecords();
    window->QueryClose();  // answered No: closes, deletes nothing
    EXPECT_EQ(Boxes(), std::vector<std::string>{"数据已经改变是否删除?"});
    EXPECT_FALSE(window->Visible());
    EXPECT_EQ(EntriesQuoted("2026-06-01"), added);

    FillGroupCriteria(W::kOpBatchDelete);
    ui->AnswerMessageBox(MsgResult::kYes);  // delete the changed data
    ui->AnswerMessageBox(MsgResult::kYes);  // the batch's own question
    Click(W::kBtnExit);
    EXPECT_FALSE(window->Visible());
    EXPECT_EQ(EntriesQuoted("2026-06-01"), 0);
}

TEST_F(BatchExitTest, BatchDeleteStopsOnAnIncompleteGrid) {
    FillGroupCriteria(W::kOpBatchDelete);
    ASSERT_TRUE(Enter(R::kRowPrice, "0"));
    ASSERT_TRUE(GoTo(R::kRowNote));
    Click(W::kBtnDelete);
    EXPECT_EQ(Headlines(), std::vector<std::string>{"报价不能为零."});
    EXPECT_TRUE(window->Dirty());
    EXPECT_TRUE(window->Visible());
}

TEST_F(BatchExitTest, ClosingBatchUpdateWithChangesRunsTheUpdateOnYes) {
    const std::int32_t entry = AddEntry(cust, ItemID("03.01.003"), 10, 0, 0, 0);
    FillGroupCriteria(W::kOpBatchUpdate);
    ASSERT_FALSE(Shown(W::kBtnNew));
    ui->AnswerMessageBox(MsgResult::kYes);
    Click(W::kBtnExit);
    ASSERT_FALSE(Boxes().empty());
    EXPECT_EQ(Boxes()[0], "数据已经改变是否保存?");
    EXPECT_FALSE(window->Visible());
    EXPECT_EQ(Scalar("SELECT FPrice FROM t_CustEntry WHERE FEntryID=" + std::to_string(entry)),
              "55");
}

TEST_F(BatchExitTest, ClosingASingleEntryWithChanges) {
    const std::int32_t entry = AddEntry(cust, ItemID("03.01.001"), 10);
    Open(W::kOpSingle, cust, 0, entry);
    window->MarkShown();
    ASSERT_TRUE(Enter(R::kRowPrice, "12"));
    ASSERT_TRUE(GoTo(R::kRowNote));
    window->QueryClose();  // No: closes without saving
    EXPECT_FALSE(window->Visible());
    EXPECT_FALSE(window->Dirty());
    EXPECT_EQ(Scalar("SELECT FPrice FROM t_CustEntry WHERE FEntryID=" + std::to_string(entry)),
              "10");

    Open(W::kOpSingle, cust, 0, entry);
    window->MarkShown();
    Click(W::kBtnExit);  // nothing changed: closes without a question
    EXPECT_FALSE(window->Visible());
    EXPECT_EQ(ui->UnansweredQuestions(), 1);
}

TEST_F(BatchExitTest, WindowShownModallyClosesThroughTheScriptedUser) {
    const std::int32_t entry = AddEntry(cust, ItemID("03.01.001"), 10);
    ui->OnModal<frmProperty>("frmProperty", [&](frmProperty& w) {
        EXPECT_TRUE(w.Visible());
        EXPECT_EQ(w.vaSProperty().ActiveRow(), R::kRowItemNumber);
        w.vaSProperty().UserMoveTo(2, R::kRowPrice);
        w.vaSProperty().TypeText(2, R::kRowPrice, "13");
        w.vaSProperty().UserMoveTo(2, R::kRowNote);
        ui->AnswerMessageBox(MsgResult::kYes);
    });
    frmProperty w;
    w.CustID(cust);
    w.EntryID(entry);
    w.Show();  // the scripted user closes it, saving on the question
    w.Unload();
    EXPECT_TRUE(w.RefreshOnExit);
    EXPECT_EQ(Scalar("SELECT FPrice FROM t_CustEntry WHERE FEntryID=" + std::to_string(entry)),
              "13");
}

}  // namespace
}  // namespace orva::test
