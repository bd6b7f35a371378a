// The browse window's price history: off, with the status bar saying why, on
// a company without it; on a company with it, the selected entry's changes
// (who, what, old → new, audits as events), and with no entry selected the
// changes of the entries the ledger shows, and no other.
#include "browse_fixture.h"
#include "host/db/price_history.h"

namespace orva::test {
namespace {

class BrowseHistory : public BrowseTest {
  protected:
    // A customer with at least two entries, its window open on it.
    BrowseBase& OpenOnCustomer() {
        cust_ = static_cast<std::int32_t>(
            Scalar("SELECT TOP 1 FCustID FROM t_CustEntry GROUP BY FCustID HAVING COUNT(*)>=2 "
                   "ORDER BY FCustID")
                .ToInteger());
        BrowseBase& w = Open();
        ClickLeaf(w, cust_);
        return w;
    }
    void Upgrade() {
        ASSERT_TRUE(UpgradePriceHistory(ctx_->g_Connection->Backend()));
        ctx_->historyUser = demo::kAdminUserId;
        ctx_->g_Connection->Backend().SetHistoryUser(ctx_->historyUser);
    }
    std::int32_t cust_ = 0;
};

TEST_F(BrowseHistory, ACompanyWithoutItHasTheCommandOffAndSaysWhy) {
    BrowseBase& w = OpenOnCustomer();
    EXPECT_FALSE(w.Menus().Item("mnuHistory").enabled);
    EXPECT_FALSE(w.tbToolBar().Item("History").enabled);
    EXPECT_EQ(w.sbStatusBar().Panel(BrowseBase::kHistoryPanel).text,
              "本公司未记录价格历史（orva-sql --upgrade）");
    w.Menus().Click("mnuHistory");
    EXPECT_TRUE(ui->Dialogs().empty());
    EXPECT_TRUE(ui->MessageBoxes().empty());
}

TEST_F(BrowseHistory, AWindowOpenedOnTheHostsLeafHasTheCommandsOn) {
    Upgrade();
    ctx_->g_SelCustID = static_cast<std::int32_t>(
        Scalar("SELECT TOP 1 FCustID FROM t_CustEntry ORDER BY FCustID").ToInteger());
    BrowseBase& w = Open();
    EXPECT_TRUE(w.Menus().Item("mnuHistory").enabled);
    EXPECT_TRUE(w.Menus().Item("mnuAsOf").enabled);
    EXPECT_TRUE(w.tbToolBar().Item("History").enabled);
}

TEST_F(BrowseHistory, ListsTheSelectedEntrysChangesThenThoseTheLedgerShows) {
    Upgrade();
    BrowseBase& w = OpenOnCustomer();
    ASSERT_TRUE(w.Menus().Item("mnuHistory").enabled);
    EXPECT_EQ(w.sbStatusBar().Panel(BrowseBase::kHistoryPanel).text, "");
    const std::string first = w.ldgBase().CellText(3, 1);
    const std::string second = w.ldgBase().CellText(4, 1);
    ctx_->g_Connection->Execute("UPDATE t_CustEntry SET FPrice=77.5,FNote='n' WHERE FEntryID=" +
                                first);
    ctx_->g_Connection->Execute("UPDATE t_CustEntry SET FUsed=1-FUsed WHERE FEntryID=" + first);
    ctx_->g_Connection->Execute("UPDATE t_CustEntry SET FLeadTime=9 WHERE FEntryID=" + second);
    // Another customer's change is never listed here.
    ctx_->g_Connection->Execute(
        "UPDATE t_CustEntry SET FLeadTime=8 WHERE FEntryID=(SELECT MIN(FEntryID) FROM "
        "t_CustEntry WHERE FCustID<>" +
        std::to_string(cust_) + ")");

    SelectRow(w, 3);
    w.Menus().Click("mnuHistory");
    ASSERT_EQ(ui->Dialogs().size(), 1u);
    const MessageDialogContent& one = ui->Dialogs()[0].content;
    EXPECT_EQ(one.title, "价格历史");
    ASSERT_EQ(one.details.size(), 2u);
    EXPECT_NE(one.details[0].find("administrator  价格编号 " + first + "  修改: 报价 "),
              std::string::npos)
        << one.details[0];
    EXPECT_NE(one.details[0].find(" → 77.5; 备注 "), std::string::npos) << one.details[0];
    EXPECT_NE(one.details[1].find("审核"), std::string::npos) << one.details[1];
    EXPECT_EQ(one.details[1].find("→"), std::string::npos) << "an audit is an event";

    SelectRow(w, 1);  // a title row: the leaf's entries
    w.tbToolBar().Click("History");
    ASSERT_EQ(ui->Dialogs().size(), 2u);
    const auto& all = ui->Dialogs()[1].content.details;
    ASSERT_EQ(all.size(), 3u);
    EXPECT_NE(all[2].find("价格编号 " + second + "  修改: 销货提前期 "), std::string::npos)
        << all[2];
}

}  // namespace
}  // namespace orva::test
