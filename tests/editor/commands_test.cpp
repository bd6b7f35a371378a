// The lookups behind F7 and F8, the audit command, the batch commands and
// leaving the window with unsaved changes in each mode.
#include "editor_fixture.h"
#include "session/module_context.h"

namespace orva::test {
namespace {

constexpr std::int32_t kItemGroup0301 = 1240;  // item group 03.01 of the demo company

TEST_F(EditorTest, ItemPickerFillsTheItemRowsUnitAndDecimals) {
    Open(EditorOperation::kSingle, CustomerID("99"), 0);
    auto record = std::make_shared<Dictionary>();
    record->SetValue("Detail", true);
    record->SetValue("Number", "02.02.001");
    record->SetValue("ItemID", ItemID("02.02.001"));
    record->SetValue("Name", "单片机");
    record->SetValue("FModel", "SOP-8");
    record->SetValue("FPriceDecimal", 4);  // and no quantity decimals: 2
    ui->AnswerLookup({true, record});
    PressKey(kKeyF7);
    ASSERT_EQ(ui->Lookups().size(), 1u);
    EXPECT_EQ(ui->Lookups()[0].classID, 4);
    EXPECT_EQ(ui->Lookups()[0].second, " FErpClsID<>6 AND FErpClsID<>8 ");
    EXPECT_EQ(Text(R::kRowItemNumber), "02.02.001");
    EXPECT_EQ(Value(R::kRowItemNumber), std::to_string(ItemID("02.02.001")));
    EXPECT_EQ(Text(R::kRowModel), "SOP-8");
    EXPECT_EQ(Text(R::kRowUnit), "个");
    EXPECT_EQ(window->vaSProperty().TypeAt(2, R::kRowPrice).decimalPlaces, 4);
    EXPECT_EQ(window->vaSProperty().TypeAt(2, R::kRowEndQty).decimalPlaces, 2);
    EXPECT_TRUE(window->Dirty());
    EXPECT_TRUE(GoTo(R::kRowPrice));  // the leave right after a pick checks nothing
}

TEST_F(EditorTest, ListLookupFillsFromThePickedIDOrLeavesTheRow) {
    Open(EditorOperation::kSingle, CustomerID("99"), 0);
    TypeKeys("03.01");
    list->answer = std::make_shared<Recordset>(std::vector<std::string>{"FItemID"},
                                               std::vector<Variant>{ItemID("03.01.002")});
    PressKey(kKeyF8);
    EXPECT_EQ(list->filter, "FErpClsID<4");
    EXPECT_EQ(list->keyWord, "03.01");
    EXPECT_EQ(Text(R::kRowItemNumber), "03.01.002");
    EXPECT_EQ(Text(R::kRowItemName), "电饭煲");
    list->answer =
        std::make_shared<Recordset>(std::vector<std::string>{"FItemID"}, std::vector<Variant>{});
    PressKey(kKeyF8);  // nothing matches: the row stays
    EXPECT_EQ(Text(R::kRowItemNumber), "03.01.002");

    ASSERT_TRUE(GoTo(R::kRowUnit));
    list->answer = std::make_shared<Recordset>(std::vector<std::string>{"FItemID"},
                                               std::vector<Variant>{demo::kUnitCarton});
    PressKey(kKeyF7);
    EXPECT_EQ(list->filter, "  FUnitGroupID=1");
    EXPECT_EQ(list->listCode, 7);
    EXPECT_EQ(Text(R::kRowUnit), "箱");
    EXPECT_EQ(Value(R::kRowUnit), "103");
}

TEST_F(EditorTest, KeysWithoutALookupOrOnLockedRowsDoNothing) {
    Open(EditorOperation::kSingle, CustomerID("99"), 0,
         AddEntry(CustomerID("99"), ItemID("03.01.001"), 10));
    for (int row : {R::kRowPrice, R::kRowNote, R::kRowCustNumber, R::kRowItemNumber}) {
        ASSERT_TRUE(GoTo(row));
        PressKey(kKeyF7);
        PressKey(kKeyF8);
    }
    EXPECT_TRUE(ui->Lookups().empty());
    EXPECT_EQ(list->listCode, 0);
    EXPECT_FALSE(window->Dirty());
}

TEST_F(EditorTest, AuditFlipsTheEntryAndTheGridFollows) {
    const std::int32_t entry = AddEntry(CustomerID("99"), ItemID("03.01.001"), 10);
    const std::string used =
        "SELECT FUsed FROM t_CustEntry WHERE FEntryID=" + std::to_string(entry);
    Open(EditorOperation::kSingle, CustomerID("99"), 0, entry);
    ASSERT_TRUE(Enter(R::kRowPrice, "11"));
    ASSERT_TRUE(GoTo(R::kRowNote));
    Click(W::kBtnCheck);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"审核前请先保存!"});
    EXPECT_EQ(Scalar(used), "0");

    Open(EditorOperation::kSingle, CustomerID("99"), 0, entry);
    Click(W::kBtnCheck);
    EXPECT_EQ(Scalar(used), "1");
    EXPECT_EQ(Boxes().back(), "审核成功");
    EXPECT_FALSE(Enabled(W::kBtnSave));
    EXPECT_TRUE(window->vaSProperty().Locked(2, R::kRowPrice));
    Click(W::kBtnCheck);
    EXPECT_EQ(Scalar(used), "0");
    EXPECT_TRUE(Enabled(W::kBtnSave));
    EXPECT_FALSE(window->vaSProperty().Locked(2, R::kRowPrice));

    Exec("DELETE FROM t_CustEntry WHERE FEntryID=" + std::to_string(entry));
    ui->ClearRecords();
    Click(W::kBtnCheck);  // deleted by another client: reported once
    EXPECT_EQ(ui->MessageBoxes().size(), 1u);
}

class BatchTest : public EditorTest {
  protected:
    void SetUp() override {
        EditorTest::SetUp();
        Exec("UPDATE t_SystemProfile SET FValue='0' WHERE FKey='AlertSELowPrice'");
    }
    long Quoted() {
        return Count("SELECT COUNT(*) FROM t_CustEntry WHERE FQuoteTime='2026-06-01'");
    }
    // The criteria of a batch by item group 03.01 for customer 99.
    void FillGroupCriteria(EditorOperation operation) {
        ctx_->g_CategoryByCust = false;
        Open(operation, 0, kItemGroup0301);
        window->MarkShown();
        ASSERT_TRUE(Enter(R::kRowCustNumber, "99"));
        ASSERT_TRUE(Enter(R::kRowPrice, "55"));
        ASSERT_TRUE(Enter(R::kRowQuoteTime, "2026-06-01"));
        ASSERT_TRUE(GoTo(R::kRowNote));
    }
};

TEST_F(BatchTest, AddByItemGroupNeedsNoUnitAndExitWithChangesDeletesOnYes) {
    FillGroupCriteria(EditorOperation::kBatchAdd);
    EXPECT_TRUE(window->vaSProperty().Locked(2, R::kRowUnit));
    window->vaSProperty().SetText(2, R::kRowUnit, "");
    Click(W::kBtnSave);
    const long added = Quoted();
    EXPECT_GT(added, 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM t_CustEntry e INNER JOIN t_ICItem i ON "
                    "e.FItemID=i.FItemID WHERE e.FQuoteTime='2026-06-01' AND e.FUnitID=i.FUnitID"),
              added);
    EXPECT_FALSE(window->Dirty());

    FillGroupCriteria(EditorOperation::kBatchDelete);
    window->QueryClose();  // "delete?" answered No: closes, deletes nothing
    EXPECT_EQ(Boxes().back(), "数据已经改变是否删除?");
    EXPECT_FALSE(window->Visible());
    EXPECT_EQ(Quoted(), added);

    FillGroupCriteria(EditorOperation::kBatchDelete);
    ui->AnswerMessageBox(MsgResult::kYes);  // delete the changed data
    ui->AnswerMessageBox(MsgResult::kYes);  // the batch's own question
    Click(W::kBtnExit);
    EXPECT_FALSE(window->Visible());
    EXPECT_EQ(Quoted(), 0);
}

TEST_F(BatchTest, ExitWithChangesUpdatesOnYesAndClosesOnNo) {
    const std::int32_t entry = AddEntry(CustomerID("99"), ItemID("03.01.003"), 10, 0, 0);
    FillGroupCriteria(EditorOperation::kBatchUpdate);
    ui->AnswerMessageBox(MsgResult::kYes);
    Click(W::kBtnExit);
    EXPECT_EQ(Boxes().front(), "数据已经改变是否保存?");
    EXPECT_FALSE(window->Visible());
    EXPECT_EQ(Price(entry), "55");

    ctx_->g_CategoryByCust = true;
    Open(EditorOperation::kSingle, CustomerID("99"), 0, entry);
    window->MarkShown();
    ASSERT_TRUE(Enter(R::kRowPrice, "12"));
    ASSERT_TRUE(GoTo(R::kRowNote));
    window->QueryClose();  // answered No: closes without saving
    EXPECT_FALSE(window->Visible());
    EXPECT_EQ(Price(entry), "55");
}

}  // namespace
}  // namespace orva::test
