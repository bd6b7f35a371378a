// Delete from the browse window: the question, audited entries, the header
// row of a pair's last entry, rights and keys.
#include "browse_fixture.h"

namespace orva {
namespace {

class BrowseDelete : public BrowseTest {
  protected:
    // An unaudited entry of a customer-item pair that has `siblings` entries
    // in all, none audited; the window open on its customer with its row
    // selected.
    BrowseBase& OpenOnPair(int siblings) {
        RecordsetPtr rs = Query(
            "SELECT TOP 1 e.FCustID, e.FItemID FROM t_CustEntry e INNER JOIN t_ICItem t ON "
            "t.FItemID=e.FItemID WHERE t.FErpClsID NOT IN (6,8) GROUP BY e.FCustID, e.FItemID "
            "HAVING COUNT(*)=" +
            std::to_string(siblings) + " AND MAX(e.FUsed)=0 ORDER BY e.FCustID, e.FItemID");
        EXPECT_FALSE(rs->EOF_()) << "a pair with " << siblings << " entries";
        cust_ = static_cast<std::int32_t>(rs->Fields("FCustID").Value().ToInteger());
        item_ = static_cast<std::int32_t>(rs->Fields("FItemID").Value().ToInteger());
        ctx_->g_SelCustID = cust_;
        ctx_->g_SelICItemID = item_;
        BrowseBase& w = Open();
        entry_ = std::stoi(w.ldgBase().CellText(w.ldgBase().SelRow(), 1));
        rows_ = w.ldgBase().Rows();
        return w;
    }
    std::string Pair() const {
        return " WHERE FCustID=" + std::to_string(cust_) + " AND FItemID=" + std::to_string(item_);
    }

    std::int32_t cust_ = 0, item_ = 0, entry_ = 0;
    int rows_ = 0;
};

TEST_F(BrowseDelete, DeletingThePairsLastEntryAlsoDeletesItsHeaderRow) {
    BrowseBase& w = OpenOnPair(1);
    ui->AnswerMessageBox(MsgResult::kYes);
    w.Menus().Click("mnuEditDelete");
    ASSERT_EQ(ui->MessageBoxes().size(), 1u);
    EXPECT_EQ(ui->MessageBoxes()[0].text, "是否要删除当前的价格资料");
    EXPECT_EQ(ui->MessageBoxes()[0].buttons, MsgButtons::kYesNo);
    EXPECT_EQ(ui->MessageBoxes()[0].icon, MsgIcon::kQuestion);
    EXPECT_EQ(ui->MessageBoxes()[0].title, "Tesmar提示");
    EXPECT_EQ(Count("SELECT COUNT(*) FROM t_CustEntry WHERE FEntryID=" + std::to_string(entry_)),
              0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM t_Cust" + Pair()), 0);
    EXPECT_EQ(w.ldgBase().Rows(), rows_ - 1);
    EXPECT_EQ(RowOf(w, entry_), 0);
    EXPECT_TRUE(ui->Dialogs().empty());
}

TEST_F(BrowseDelete, DeletingOneOfTwoKeepsTheHeaderRowAndItsMinimumPrice) {
    BrowseBase& w = OpenOnPair(2);
    ui->AnswerMessageBox(MsgResult::kYes);
    w.ldgBase().UserKeyDown(kKeyDelete, 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM t_CustEntry" + Pair()), 1);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM t_Cust" + Pair()), 1);
    EXPECT_EQ(w.ldgBase().Rows(), rows_ - 1);
}

TEST_F(BrowseDelete, AnAuditedEntryStaysAndTheRefusalIsShown) {
    BrowseBase& w = OpenOnPair(1);
    ctx_->g_Connection->Execute("UPDATE t_CustEntry SET FUsed=1 WHERE FEntryID=" +
                                std::to_string(entry_));
    ui->AnswerMessageBox(MsgResult::kYes);
    w.tbToolBar().Click("Delete");
    ASSERT_EQ(ui->Dialogs().size(), 1u);
    EXPECT_EQ(ui->Dialogs()[0].content.title, "提示");
    EXPECT_EQ(ui->Dialogs()[0].content.details,
              std::vector<std::string>{"删除数据不成功.  价格资料已审核."});
    EXPECT_EQ(Count("SELECT COUNT(*) FROM t_CustEntry" + Pair()), 1);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM t_Cust" + Pair()), 1);
    EXPECT_GE(RowOf(w, entry_), 3);
    EXPECT_EQ(w.ldgBase().Rows(), rows_);
}

TEST_F(BrowseDelete, NoAnswerNoRightModifierKeysOrATitleRowChangeNothing) {
    BrowseBase& w = OpenOnPair(1);
    ui->AnswerMessageBox(MsgResult::kNo);
    w.Menus().Click("mnuEditDelete");
    EXPECT_EQ(ui->MessageBoxes().size(), 1u);
    for (int shift : {1, 2, 4}) w.ldgBase().UserKeyDown(kKeyDelete, shift);
    EXPECT_EQ(ui->MessageBoxes().size(), 1u);
    SelectRow(w, 1);
    w.Menus().Click("mnuEditDelete");
    EXPECT_EQ(ui->MessageBoxes().size(), 1u);  // not even asked
    EXPECT_EQ(Count("SELECT COUNT(*) FROM t_CustEntry" + Pair()), 1);

    for (int user : {demo::kLimitedUserId, demo::kRecordClerkUserId}) {
        LogOn(user);
        ui->ClearRecords();
        w.Menus().Click("mnuEditDelete");
        EXPECT_TRUE(ui->MessageBoxes().empty()) << user;
        EXPECT_EQ(ui->AssistantNotices().size(), 1u) << user;
    }
    EXPECT_EQ(Count("SELECT COUNT(*) FROM t_CustEntry" + Pair()), 1);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM t_Cust" + Pair()), 1);
}

TEST_F(BrowseDelete, AnEntryAnotherUserDeletedLeavesTheLedgerAsTheDatabaseIs) {
    BrowseBase& w = OpenOnPair(2);
    AppConnection other;
    other.Execute("DELETE FROM t_CustEntry WHERE FEntryID=" + std::to_string(entry_));
    ui->AnswerMessageBox(MsgResult::kYes);
    w.Menus().Click("mnuEditDelete");
    EXPECT_TRUE(ui->Dialogs().empty());
    EXPECT_EQ(RowOf(w, entry_), 0);
    EXPECT_EQ(w.ldgBase().Rows(), rows_ - 1);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM t_CustEntry" + Pair()), 1);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM t_Cust" + Pair()), 1);
}

}  // namespace
}  // namespace orva
