// The save command from the toolbar: the checks in their order with their
// boundaries, the minimum-price question, the first save inserting and the
// next updating, and saves the database refuses.
#include "editor_fixture.h"
#include "entry/globals.h"

namespace orva::test {
namespace {

class SaveTest : public EditorTest {
  protected:
    void SetUp() override {
        EditorTest::SetUp();
        cust = CustomerID("99");
        item = ItemID("03.01.001");
    }
    // A new entry of customer 99 for item 03.01.001 (a pair without prices),
    // typed as the user would: item code, band, price.
    void FillNewEntry(const std::string& price = "250") {
        Open(W::kOpSingle, cust, 0);
        ASSERT_TRUE(Enter(R::kRowItemNumber, "03.01.001"));
        ASSERT_TRUE(Enter(R::kRowStartQty, "1"));
        ASSERT_TRUE(Enter(R::kRowEndQty, "10"));
        ASSERT_TRUE(Enter(R::kRowPrice, price));
        ASSERT_TRUE(GoTo(R::kRowNote));
    }
    long Entries() {
        return Count("SELECT COUNT(*) FROM t_CustEntry WHERE FCustID=" + std::to_string(cust) +
                     " AND FItemID=" + std::to_string(item));
    }
    std::string Column(std::int32_t entry, const std::string& column) {
        return Scalar("SELECT " + column +
                      " FROM t_CustEntry WHERE FEntryID=" + std::to_string(entry));
    }
    // The item's floor: 1 per piece for every customer.
    void FloorOfOnePerPiece() {
        Exec(
            "UPDATE t_ICItem SET FSalePriceFixingType=1, FSoLowPrc=1, FSoLowPrcMnyType=1 "
            "WHERE FItemID=" +
            std::to_string(item));
    }

    std::int32_t cust = 0;
    std::int32_t item = 0;
};

TEST_F(SaveTest, FirstSaveInsertsAndTheSecondUpdates) {
    FillNewEntry();
    EXPECT_TRUE(window->Dirty());
    EXPECT_EQ(Text(R::kRowItemName), "电饭煲");
    EXPECT_EQ(Text(R::kRowUnit), "个");
    Click(W::kBtnSave);
    ASSERT_EQ(Entries(), 1) << testing::PrintToString(Boxes());
    const std::int32_t entry = window->EntryID();
    EXPECT_GT(entry, 0);
    EXPECT_FALSE(window->NewRecord());
    EXPECT_FALSE(window->Dirty());
    EXPECT_EQ(Column(entry, "FPrice"), "250");
    EXPECT_EQ(Column(entry, "FUsed"), "0");
    // Shown again as a stored entry: audit and navigation, customer locked.
    EXPECT_TRUE(Shown(W::kBtnCheck));
    EXPECT_TRUE(Shown(W::kBtnNext));
    EXPECT_TRUE(window->vaSProperty().Locked(2, R::kRowCustNumber));
    EXPECT_EQ(Text(R::kRowPrice), "250");

    ASSERT_TRUE(Enter(R::kRowPrice, "260"));
    ASSERT_TRUE(GoTo(R::kRowNote));
    PressKey(W::kKeyS, W::kCtrlMask);
    EXPECT_EQ(Entries(), 1);
    EXPECT_EQ(window->EntryID(), entry);
    EXPECT_EQ(Column(entry, "FPrice"), "260");
    EXPECT_FALSE(window->Dirty());
    EXPECT_TRUE(ui->Dialogs().empty());
}

TEST_F(SaveTest, EveryRequiredCellEmptyStopsAtTheFirstCheck) {
    Open(W::kOpSingle, 0, 0);  // no customer, no item
    window->vaSProperty().SetActiveCell(2, R::kRowNote);
    Click(W::kBtnSave);
    ASSERT_EQ(ui->Dialogs().size(), 1u);
    EXPECT_EQ(ui->Dialogs()[0].content.title, "提示");
    EXPECT_EQ(ui->Dialogs()[0].content.headline, "客户不能为空.");
    EXPECT_EQ(ui->Dialogs()[0].content.details, std::vector<std::string>{"请输入客户."});
    EXPECT_TRUE(window->NewRecord());

    ui->ClearRecords();
    ASSERT_TRUE(Enter(R::kRowCustNumber, "99"));
    ASSERT_TRUE(GoTo(R::kRowNote));
    Click(W::kBtnSave);
    EXPECT_EQ(Headlines(), std::vector<std::string>{"物料不能为空."});
    EXPECT_EQ(Count("SELECT COUNT(*) FROM t_CustEntry WHERE FCustID=" + std::to_string(cust)), 67);
}

TEST_F(SaveTest, BandAndDatesMayBeEqualButNotReversed) {
    FillNewEntry();
    ASSERT_TRUE(Enter(R::kRowEndQty, "0"));
    ASSERT_TRUE(GoTo(R::kRowNote));
    Click(W::kBtnSave);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"销货量(到)应大于或等于销货量(从)。"});
    EXPECT_EQ(Entries(), 0);

    ui->ClearRecords();
    ASSERT_TRUE(Enter(R::kRowEndQty, "1"));
    ASSERT_TRUE(Enter(R::kRowQuoteTime, "2026-03-01"));
    ASSERT_TRUE(Enter(R::kRowExpireDate, "2026-02-28"));
    ASSERT_TRUE(GoTo(R::kRowNote));
    Click(W::kBtnSave);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"失效日期应大于或等于生效日期。"});
    EXPECT_EQ(Entries(), 0);
    EXPECT_TRUE(window->Dirty());

    ui->ClearRecords();
    ASSERT_TRUE(Enter(R::kRowExpireDate, "2026-03-01"));
    ASSERT_TRUE(GoTo(R::kRowNote));
    Click(W::kBtnSave);
    EXPECT_TRUE(Boxes().empty());
    ASSERT_EQ(Entries(), 1);
    EXPECT_EQ(Column(window->EntryID(), "FEndQty"), "1");
    EXPECT_EQ(Column(window->EntryID(), "FExpireDate"), "2026-03-01");
}

TEST_F(SaveTest, EmptiedDateIsRefusedWithAClearMessage) {
    FillNewEntry();
    ASSERT_TRUE(Enter(R::kRowExpireDate, ""));
    ASSERT_TRUE(GoTo(R::kRowNote));
    Click(W::kBtnSave);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"请输入有效的生效日期和失效日期。"});
    EXPECT_EQ(Entries(), 0);
}

TEST_F(SaveTest, PriceOfZeroIsRefusedHoweverTyped) {
    for (const char* zero : {"0", "0.00"}) {
        ui->ClearRecords();
        FillNewEntry(zero);
        Click(W::kBtnSave);
        ASSERT_EQ(ui->Dialogs().size(), 1u) << zero;
        EXPECT_EQ(ui->Dialogs()[0].content.headline, "报价不能为零.");
        EXPECT_EQ(ui->Dialogs()[0].content.title, "");
        EXPECT_EQ(Entries(), 0);
    }
}

TEST_F(SaveTest, PriceBelowTheFloorPerBaseUnitAsksFirst) {
    FloorOfOnePerPiece();
    FillNewEntry("9");
    ASSERT_TRUE(Enter(R::kRowUnit, "BOX"));  // 10 pieces: 0.9 per piece
    ASSERT_TRUE(GoTo(R::kRowNote));
    ASSERT_EQ(Value(R::kRowUnit), "102");

    ui->AnswerDialog(0);  // No: nothing is written
    Click(W::kBtnSave);
    ASSERT_EQ(ui->Dialogs().size(), 1u);
    EXPECT_EQ(ui->Dialogs()[0].content.kind, 1);
    EXPECT_EQ(ui->Dialogs()[0].content.headline,
              "对于当前客户和当前物料，您所录入的价格资料已经低于设定的销售最低限价，"
              "是否继续保存？");
    EXPECT_EQ(Entries(), 0);
    EXPECT_TRUE(window->Dirty());

    ui->AnswerDialog(1);
    Click(W::kBtnSave);
    EXPECT_EQ(Entries(), 1);

    // 10 per box is 1 per piece: not below, no question.
    ui->ClearRecords();
    ASSERT_TRUE(Enter(R::kRowPrice, "10"));
    ASSERT_TRUE(Enter(R::kRowEndQty, "20"));
    ASSERT_TRUE(GoTo(R::kRowNote));
    Click(W::kBtnSave);
    EXPECT_TRUE(ui->Dialogs().empty());
    EXPECT_EQ(Column(window->EntryID(), "FPrice"), "10");
}

TEST_F(SaveTest, NoQuestionWithTheAlertOptionOff) {
    FloorOfOnePerPiece();
    Exec("UPDATE t_SystemProfile SET FValue='0' WHERE FKey='AlertSELowPrice'");
    FillNewEntry("0.5");
    Click(W::kBtnSave);
    EXPECT_TRUE(ui->Dialogs().empty());
    EXPECT_EQ(Entries(), 1);
}

TEST_F(SaveTest, CellLeaveRefusalsKeepTheUserInTheCell) {
    Open(W::kOpSingle, cust, 0);
    // An empty item code may not be left.
    EXPECT_FALSE(GoTo(R::kRowPrice));
    EXPECT_EQ(Boxes(), std::vector<std::string>{"物料代码不能为空"});
    EXPECT_EQ(ui->MessageBoxes()[0].icon, MsgIcon::kInformation);

    ui->ClearRecords();
    TypeKeys("NO.SUCH.ITEM");
    EXPECT_FALSE(GoTo(R::kRowPrice));
    EXPECT_EQ(Boxes(), std::vector<std::string>{"物料不存在或需要数据授权！"});
    EXPECT_EQ(window->vaSProperty().ActiveRow(), R::kRowItemNumber);
    EXPECT_EQ(window->vaSProperty().Selection(),
              CellBlock::Block(2, R::kRowItemNumber, 2, R::kRowUnit));

    // Save checks the active cell first and stops there.
    ui->ClearRecords();
    Click(W::kBtnSave);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"物料不存在或需要数据授权！"});
    EXPECT_EQ(Entries(), 0);

    ui->ClearRecords();
    TypeKeys("03.01.001");
    EXPECT_TRUE(GoTo(R::kRowPrice));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(SaveTest, WrongUnitIsRefusedOnlyWhenErrorsArePrompted) {
    FillNewEntry();
    ASSERT_TRUE(GoTo(R::kRowUnit));
    TypeKeys("KG");  // a unit of another group: refused without a message
    EXPECT_FALSE(GoTo(R::kRowNote));
    EXPECT_EQ(Headlines(), std::vector<std::string>{"输入的数据在基础资料中不存在."});

    ui->ClearRecords();
    window->ChkError().UserClick();  // errors not prompted: the user may go on
    EXPECT_TRUE(GoTo(R::kRowNote));
    Click(W::kBtnSave);
    EXPECT_TRUE(ui->Dialogs().empty());
    EXPECT_EQ(Entries(), 1);
}

TEST_F(SaveTest, FailedUpdateKeepsTheRowAndTheDirtyFlag) {
    const std::int32_t entry = AddEntry(cust, item, 10);
    Open(W::kOpSingle, cust, 0, entry);
    ASSERT_TRUE(Enter(R::kRowPrice, "11"));
    ASSERT_TRUE(GoTo(R::kRowNote));
    backend->failPrefix = "Update t_CustEntry";
    Click(W::kBtnSave);
    ASSERT_EQ(ui->Dialogs().size(), 1u);
    EXPECT_EQ(ui->Dialogs()[0].content.title, "添加失败");
    EXPECT_EQ(ui->Dialogs()[0].content.headline, "网络冲突：");
    EXPECT_EQ(Column(entry, "FPrice"), "10");
    EXPECT_TRUE(window->Dirty());
    EXPECT_EQ(Text(R::kRowPrice), "11");  // the user's input stays

    // Closing asks; answering Yes retries the save, which fails again, so
    // the window stays open.
    ui->ClearRecords();
    ui->AnswerMessageBox(MsgResult::kYes);
    window->MarkShown();
    Click(W::kBtnExit);
    EXPECT_TRUE(window->Visible());
    EXPECT_EQ(Boxes(), std::vector<std::string>{"数据已经改变是否保存?"});

    backend->failPrefix.clear();
    ui->AnswerMessageBox(MsgResult::kYes);
    Click(W::kBtnExit);
    EXPECT_FALSE(window->Visible());
    EXPECT_EQ(Column(entry, "FPrice"), "11");
}

TEST_F(SaveTest, EntryDeletedByAnotherClientIsOfferedAsNew) {
    const std::int32_t entry = AddEntry(cust, item, 10);
    Open(W::kOpSingle, cust, 0, entry);
    ASSERT_TRUE(Enter(R::kRowPrice, "12"));
    ASSERT_TRUE(GoTo(R::kRowNote));
    Exec("DELETE FROM t_CustEntry WHERE FEntryID=" + std::to_string(entry));

    Click(W::kBtnSave);  // the question is answered No
    EXPECT_EQ(Boxes(),
              std::vector<std::string>{"该价格资料已被其他用户删除，是否作为新记录保存？"});
    EXPECT_EQ(Entries(), 0);
    EXPECT_TRUE(window->Dirty());

    ui->AnswerMessageBox(MsgResult::kYes);
    Click(W::kBtnSave);
    ASSERT_EQ(Entries(), 1);
    EXPECT_NE(window->EntryID(), entry);
    EXPECT_EQ(Column(window->EntryID(), "FPrice"), "12");
    EXPECT_FALSE(window->Dirty());
}

TEST_F(SaveTest, ModifyNeedsTheRightAddDoesNot) {
    LogOn(demo::kLimitedUserId);  // may add, may not modify
    const std::int32_t entry = AddEntry(cust, item, 10);
    Open(W::kOpSingle, cust, 0, entry);
    ASSERT_TRUE(Enter(R::kRowPrice, "11"));
    ASSERT_TRUE(GoTo(R::kRowNote));
    Click(W::kBtnSave);
    EXPECT_EQ(ui->AssistantNotices().size(), 1u);
    EXPECT_EQ(Column(entry, "FPrice"), "10");

    ui->ClearRecords();
    item = ItemID("03.01.003");
    Open(W::kOpSingle, cust, 0);
    ASSERT_TRUE(Enter(R::kRowItemNumber, "03.01.003"));
    ASSERT_TRUE(Enter(R::kRowPrice, "300"));
    ASSERT_TRUE(GoTo(R::kRowNote));
    Click(W::kBtnSave);
    EXPECT_TRUE(ui->AssistantNotices().empty());
    EXPECT_EQ(Entries(), 1);
}

TEST_F(SaveTest, ClearAfterAddPreparesTheNextEntry) {
    FillNewEntry();
    window->ChkClear().UserClick();
    Click(W::kBtnSave);
    ASSERT_EQ(Entries(), 1);
    EXPECT_TRUE(window->NewRecord());
    EXPECT_EQ(window->EntryID(), 0);
    EXPECT_EQ(Text(R::kRowItemNumber), "");
    EXPECT_EQ(Text(R::kRowCustNumber), "99");
    EXPECT_FALSE(Shown(W::kBtnCheck));

    item = ItemID("03.01.003");
    ASSERT_TRUE(Enter(R::kRowItemNumber, "03.01.003"));
    ASSERT_TRUE(Enter(R::kRowPrice, "300"));
    ASSERT_TRUE(GoTo(R::kRowNote));
    Click(W::kBtnSave);
    EXPECT_EQ(Entries(), 1);
}

}  // namespace
}  // namespace orva::test
