// The save command: the checks in order with their boundaries, the
// minimum-price question, the first save inserting and the next updating,
// and saves the database refuses or that find the entry gone.
#include "editor_fixture.h"

namespace orva::test {
namespace {

class SaveTest : public EditorTest {
  protected:
    void SetUp() override {
        EditorTest::SetUp();
        cust = CustomerID("99");
        item = ItemID("03.01.001");  // customer 99 has no price for it
    }
    // A new entry of customer 99 for item 03.01.001, typed as the user would.
    void FillNewEntry(const std::string& price = "250") {
        Open(EditorOperation::kSingle, cust, 0);
        ASSERT_TRUE(Enter(R::kRowItemNumber, "03.01.001"));
        ASSERT_TRUE(Enter(R::kRowEndQty, "10"));
        ASSERT_TRUE(Enter(R::kRowPrice, price));
        ASSERT_TRUE(GoTo(R::kRowNote));
    }
    // Type, leave, save; returns the message box texts and dialog headlines.
    std::vector<std::string> SaveWith(int row, const std::string& text) {
        ui->ClearRecords();
        EXPECT_TRUE(Enter(row, text));
        EXPECT_TRUE(GoTo(R::kRowNote));
        Click(W::kBtnSave);
        std::vector<std::string> shown = Boxes();
        for (const auto& h : Headlines()) shown.push_back(h);
        return shown;
    }
    long Entries() {
        return Count("SELECT COUNT(*) FROM t_CustEntry WHERE FCustID=" + std::to_string(cust) +
                     " AND FItemID=" + std::to_string(item));
    }
    using Texts = std::vector<std::string>;
    std::int32_t cust = 0;
    std::int32_t item = 0;
};

TEST_F(SaveTest, FirstSaveInsertsAndTheSecondUpdates) {
    FillNewEntry();
    EXPECT_EQ(Text(R::kRowItemName), "电饭煲");
    EXPECT_EQ(Text(R::kRowUnit), "个");
    Click(W::kBtnSave);
    ASSERT_EQ(Entries(), 1);
    const std::int32_t entry = window->EntryID();
    EXPECT_EQ(Price(entry), "250");
    EXPECT_FALSE(window->NewRecord());
    EXPECT_FALSE(window->Dirty());
    // Shown again as a stored entry: audit and navigation, customer locked.
    EXPECT_TRUE(Shown(W::kBtnCheck));
    EXPECT_TRUE(Shown(W::kBtnNext));
    EXPECT_TRUE(window->vaSProperty().Locked(2, R::kRowCustNumber));

    EXPECT_EQ(SaveWith(R::kRowPrice, "260"), Texts{});
    EXPECT_EQ(Entries(), 1);
    EXPECT_EQ(window->EntryID(), entry);
    EXPECT_EQ(Price(entry), "260");
}

TEST_F(SaveTest, EveryRequiredCellEmptyStopsAtTheFirstCheck) {
    Open(EditorOperation::kSingle, 0, 0);
    window->vaSProperty().SetActiveCell(2, R::kRowNote);
    Click(W::kBtnSave);
    ASSERT_EQ(ui->Dialogs().size(), 1u);
    EXPECT_EQ(ui->Dialogs()[0].content.title, "提示");
    EXPECT_EQ(ui->Dialogs()[0].content.headline, "客户不能为空.");
    EXPECT_EQ(ui->Dialogs()[0].content.details, Texts{"请输入客户."});
    EXPECT_EQ(SaveWith(R::kRowCustNumber, "99"), Texts{"物料不能为空."});
    EXPECT_TRUE(window->Dirty());
}

TEST_F(SaveTest, BandDatesAndPriceBoundaries) {
    FillNewEntry();
    ASSERT_TRUE(Enter(R::kRowStartQty, "1"));
    EXPECT_EQ(SaveWith(R::kRowEndQty, "0"), Texts{"销货量(到)应大于或等于销货量(从)。"});
    ASSERT_TRUE(Enter(R::kRowStartQty, "0"));
    ASSERT_TRUE(Enter(R::kRowQuoteTime, "2026-03-01"));
    EXPECT_EQ(SaveWith(R::kRowExpireDate, "2026-02-28"), Texts{"失效日期应大于或等于生效日期。"});
    EXPECT_EQ(SaveWith(R::kRowExpireDate, ""), Texts{"请输入有效的生效日期和失效日期。"});
    ASSERT_TRUE(Enter(R::kRowExpireDate, "2026-03-01"));
    EXPECT_EQ(SaveWith(R::kRowPrice, "0"), Texts{"报价不能为零."});
    EXPECT_EQ(SaveWith(R::kRowPrice, "0.00"), Texts{"报价不能为零."});
    EXPECT_EQ(ui->Dialogs()[0].content.title, "");
    EXPECT_EQ(Entries(), 0);
    // Equal band and equal dates pass.
    EXPECT_EQ(SaveWith(R::kRowPrice, "1"), Texts{});
    EXPECT_EQ(Scalar("SELECT FEndQty FROM t_CustEntry WHERE FEntryID=" +
                     std::to_string(window->EntryID())),
              "0");
}

TEST_F(SaveTest, PriceBelowTheFloorPerBaseUnitAsksFirst) {
    Exec(
        "UPDATE t_ICItem SET FSalePriceFixingType=1, FSoLowPrc=1, FSoLowPrcMnyType=1 "
        "WHERE FItemID=" +
        std::to_string(item));
    FillNewEntry("9");
    ASSERT_TRUE(Enter(R::kRowUnit, "BOX"));  // 9 per box of 10: 0.9 per piece
    const Texts question{
        "对于当前客户和当前物料，您所录入的价格资料已经低于设定的销售最低限价，是否继续保存？"};
    EXPECT_EQ(SaveWith(R::kRowPrice, "9"), question);  // answered No
    EXPECT_EQ(ui->Dialogs()[0].content.kind, 1);
    EXPECT_EQ(Entries(), 0);
    ui->AnswerDialog(1);
    EXPECT_EQ(SaveWith(R::kRowPrice, "9"), question);
    EXPECT_EQ(Entries(), 1);
    EXPECT_EQ(SaveWith(R::kRowPrice, "10"), Texts{});  // 1 per piece is not below

    Exec("UPDATE t_SystemProfile SET FValue='0' WHERE FKey='AlertSELowPrice'");
    window->Activate();  // the option is read on every activation
    EXPECT_EQ(SaveWith(R::kRowPrice, "0.5"), Texts{});
    EXPECT_EQ(Price(window->EntryID()), "0.5");
}

TEST_F(SaveTest, CellLeaveRefusalsKeepTheUserInTheCell) {
    Open(EditorOperation::kSingle, cust, 0);
    EXPECT_FALSE(GoTo(R::kRowPrice));
    EXPECT_EQ(Boxes(), Texts{"物料代码不能为空"});
    TypeKeys("NO.SUCH.ITEM");
    EXPECT_FALSE(GoTo(R::kRowPrice));
    EXPECT_EQ(Boxes().back(), "物料不存在或需要数据授权！");
    EXPECT_EQ(window->vaSProperty().ActiveRow(), R::kRowItemNumber);
    EXPECT_EQ(window->vaSProperty().Selection(),
              CellBlock::Block(2, R::kRowItemNumber, 2, R::kRowUnit));
    ui->ClearRecords();
    Click(W::kBtnSave);  // the save checks the active cell first
    EXPECT_EQ(Boxes(), Texts{"物料不存在或需要数据授权！"});

    // A unit of another group is refused silently: prompted with ChkError,
    // let through without it.
    FillNewEntry();
    ASSERT_TRUE(Enter(R::kRowUnit, "KG"));
    EXPECT_FALSE(GoTo(R::kRowNote));
    EXPECT_EQ(Headlines().back(), "输入的数据在基础资料中不存在.");
    window->ChkError().UserClick();
    EXPECT_TRUE(GoTo(R::kRowNote));
}

TEST_F(SaveTest, FailedUpdateKeepsTheRowAndTheDirtyFlag) {
    const std::int32_t entry = AddEntry(cust, item, 10);
    Open(EditorOperation::kSingle, cust, 0, entry);
    window->MarkShown();
    backend->failPrefix = "Update t_CustEntry";
    SaveWith(R::kRowPrice, "11");
    ASSERT_EQ(ui->Dialogs().size(), 1u);
    EXPECT_EQ(ui->Dialogs()[0].content.headline, "网络冲突：");
    EXPECT_EQ(Price(entry), "10");
    EXPECT_TRUE(window->Dirty());
    EXPECT_EQ(Text(R::kRowPrice), "11");

    ui->AnswerMessageBox(MsgResult::kYes);  // close, saving: fails again, stays open
    Click(W::kBtnExit);
    EXPECT_TRUE(window->Visible());
    backend->failPrefix.clear();
    ui->AnswerMessageBox(MsgResult::kYes);
    Click(W::kBtnExit);
    EXPECT_FALSE(window->Visible());
    EXPECT_EQ(Price(entry), "11");
}

TEST_F(SaveTest, EntryDeletedByAnotherClientIsOfferedAsNew) {
    const std::int32_t entry = AddEntry(cust, item, 10);
    Open(EditorOperation::kSingle, cust, 0, entry);
    Exec("DELETE FROM t_CustEntry WHERE FEntryID=" + std::to_string(entry));
    EXPECT_EQ(SaveWith(R::kRowPrice, "12"),
              Texts{"该价格资料已被其他用户删除，是否作为新记录保存？"});
    EXPECT_EQ(Entries(), 0);
    EXPECT_TRUE(window->Dirty());
    ui->AnswerMessageBox(MsgResult::kYes);
    Click(W::kBtnSave);
    ASSERT_EQ(Entries(), 1);
    EXPECT_EQ(Price(window->EntryID()), "12");
    EXPECT_FALSE(window->Dirty());
}

TEST_F(SaveTest, ClearAfterAddPreparesTheNextEntry) {
    FillNewEntry();
    window->ChkClear().UserClick();
    Click(W::kBtnSave);
    ASSERT_EQ(Entries(), 1);
    EXPECT_TRUE(window->NewRecord());
    EXPECT_EQ(Text(R::kRowItemNumber), "");
    EXPECT_EQ(Text(R::kRowCustNumber), "99");
    item = ItemID("03.01.003");
    ASSERT_TRUE(Enter(R::kRowItemNumber, "03.01.003"));
    EXPECT_EQ(SaveWith(R::kRowPrice, "300"), Texts{});
    EXPECT_EQ(Entries(), 1);
}

}  // namespace
}  // namespace orva::test
