// Audit and unaudit from the browse window, and AuditEntries itself: the
// state checks, the right, entries deleted meanwhile, database failures.
#include "browse_fixture.h"
#include "engine/audit_entries.h"
#include "host/db/open_database.h"
#include "orvasaleprice/com_error.h"

namespace orva {
namespace {

// A connection whose statements starting with a prefix fail, as a database
// that refuses them would.
class RefusingBackend : public DbBackend {
  public:
    RefusingBackend(std::unique_ptr<DbBackend> inner, std::string prefix)
        : inner_(std::move(inner)), prefix_(std::move(prefix)) {}
    BatchResult ExecuteBatch(std::string_view tsql) override {
        if (tsql.substr(0, prefix_.size()) == prefix_)
            throw ComError(ComError::kDatabase, "refused: " + std::string(tsql));
        return inner_->ExecuteBatch(tsql);
    }
    std::int32_t NextNumber(std::string_view key) override { return inner_->NextNumber(key); }
    std::string Describe() const override { return inner_->Describe(); }

  private:
    std::unique_ptr<DbBackend> inner_;
    std::string prefix_;
};

class BrowseAudit : public BrowseTest {
  protected:
    // A customer with unaudited and audited prices, its window open on it
    // and the row of an unaudited entry selected.
    BrowseBase& OpenOnUnaudited() {
        cust_ = static_cast<std::int32_t>(
            Scalar("SELECT TOP 1 e.FCustID FROM t_CustEntry e INNER JOIN t_ICItem t ON "
                   "t.FItemID=e.FItemID WHERE t.FErpClsID NOT IN (6,8) AND e.FUsed=0 AND "
                   "EXISTS (SELECT 1 FROM t_CustEntry a WHERE a.FCustID=e.FCustID AND "
                   "a.FUsed=1) ORDER BY e.FCustID")
                .ToInteger());
        BrowseBase& w = Open();
        ClickLeaf(w, cust_);
        for (int r = 3; r <= w.ldgBase().Rows(); ++r) {
            if (w.ldgBase().CellText(r, 16).empty()) {
                row_ = r;
                break;
            }
        }
        EXPECT_GT(row_, 3) << "an unaudited entry below the first row";
        entry_ = std::stoi(w.ldgBase().CellText(row_, 1));
        SelectRow(w, row_);
        return w;
    }
    std::int64_t Used(std::int32_t entry) {
        return Count("SELECT FUsed FROM t_CustEntry WHERE FEntryID=" + std::to_string(entry));
    }

    std::int32_t cust_ = 0;
    std::int32_t entry_ = 0;
    int row_ = 0;
};

TEST_F(BrowseAudit, AuditTwiceThenUnauditTwice) {
    BrowseBase& w = OpenOnUnaudited();
    w.Menus().Click("mnuCheck");
    EXPECT_EQ(Used(entry_), 1);
    ASSERT_EQ(ui->MessageBoxes().size(), 1u);
    EXPECT_EQ(ui->MessageBoxes()[0].text, "审核成功");
    EXPECT_EQ(ui->MessageBoxes()[0].title, "系统提示");
    EXPECT_EQ(ui->MessageBoxes()[0].icon, MsgIcon::kNone);
    // The reloaded ledger marks it and keeps it selected.
    const int row = RowOf(w, entry_);
    EXPECT_EQ(w.ldgBase().SelRow(), row);
    EXPECT_EQ(w.ldgBase().CellText(row, 16), "Y");
    EXPECT_EQ(w.CurrentEntryID(), entry_);

    w.tbToolBar().Click("Check");
    EXPECT_EQ(Used(entry_), 1);
    ASSERT_EQ(ui->Dialogs().size(), 1u);
    EXPECT_EQ(ui->Dialogs()[0].content.title, "Tesmar提示");
    EXPECT_EQ(ui->Dialogs()[0].content.details,
              std::vector<std::string>{"审核\\反审核价格资料失败：当前记录已被审核！"});
    EXPECT_EQ(ui->Dialogs()[0].content.kind, MessageDialog::kNotice);

    w.Menus().Click("mnuUnCheck");
    EXPECT_EQ(Used(entry_), 0);
    EXPECT_EQ(ui->MessageBoxes().back().text, "反审核成功");
    EXPECT_EQ(w.ldgBase().CellText(w.ldgBase().SelRow(), 16), "");
    w.Menus().Click("mnuUnCheck");
    EXPECT_EQ(ui->Dialogs().back().content.details.back(),
              "审核\\反审核价格资料失败：当前记录还未被审核！");
    EXPECT_EQ(ui->MessageBoxes().size(), 2u);
}

TEST_F(BrowseAudit, WithoutTheRightNothingChangesButTheLedgerIsRefreshed) {
    LogOn(demo::kLimitedUserId);
    BrowseBase& w = OpenOnUnaudited();
    RecordsetPtr before = w.Detail()->Records();
    w.Menus().Click("mnuCheck");
    EXPECT_EQ(Used(entry_), 0);
    ASSERT_EQ(ui->AssistantNotices().size(), 1u);
    EXPECT_EQ(ui->AssistantNotices()[0].description, "没有权限,请与系统管理员联系");
    EXPECT_TRUE(ui->MessageBoxes().empty());
    EXPECT_TRUE(ui->Dialogs().empty());  // no reason: no dialog
    EXPECT_NE(w.Detail()->Records(), before);
    // Called directly, the missing right is told apart from a refusal.
    const AuditResult direct = AuditEntries(*ctx_, false, std::to_string(entry_));
    EXPECT_EQ(direct.outcome, AuditOutcome::kNoRight);
    EXPECT_TRUE(direct.message.empty());
}

TEST_F(BrowseAudit, AnEntryDeletedByAnotherUserIsReportedNotAudited) {
    BrowseBase& w = OpenOnUnaudited();
    AppConnection other;
    other.Execute("DELETE FROM t_CustEntry WHERE FEntryID=" + std::to_string(entry_));
    w.Menus().Click("mnuCheck");
    EXPECT_TRUE(ui->MessageBoxes().empty());
    ASSERT_EQ(ui->Dialogs().size(), 1u);
    EXPECT_EQ(ui->Dialogs()[0].content.details[0],
              "审核\\反审核价格资料失败：价格资料不存在，可能已被其他用户删除！");
    EXPECT_EQ(RowOf(w, entry_), 0);  // the refresh shows the database as it is
}

TEST_F(BrowseAudit, ADatabaseFailureIsReportedAsAFailedUpdate) {
    BrowseBase& w = OpenOnUnaudited();
    ctx_->g_Connection = std::make_shared<AppConnection>(
        std::make_unique<RefusingBackend>(OpenDatabase(company_.path()), "Update t_CustEntry"));
    w.Menus().Click("mnuCheck");
    EXPECT_EQ(Used(entry_), 0);
    ASSERT_EQ(ui->Dialogs().size(), 1u);
    EXPECT_EQ(ui->Dialogs()[0].content.title, "提示");
    EXPECT_EQ(ui->Dialogs()[0].content.details, std::vector<std::string>{"更新数据不成功"});
    EXPECT_TRUE(ui->MessageBoxes().empty());
}

TEST_F(BrowseAudit, ATitleRowOrAGroupAuditsNothing) {
    BrowseBase& w = OpenOnUnaudited();
    SelectRow(w, 2);
    w.Menus().Click("mnuCheck");
    EXPECT_TRUE(ui->MessageBoxes().empty());
    EXPECT_TRUE(ui->Dialogs().empty());
    EXPECT_TRUE(ui->AssistantNotices().empty());
    ClickNode(w, "gi" + std::to_string(ParentOf(cust_)));
    EXPECT_FALSE(w.Menus().Click("mnuCheck"));  // disabled
    EXPECT_FALSE(w.tbToolBar().Click("UnCheck"));
}

TEST_F(BrowseAudit, AuditEntriesTakesListsWholeAndDropsATrailingComma) {
    RecordsetPtr rs =
        Query("SELECT TOP 3 FEntryID FROM t_CustEntry WHERE FUsed=0 ORDER BY FEntryID");
    std::vector<std::string> ids;
    for (; !rs->EOF_(); rs->MoveNext()) ids.push_back(rs->Fields(0).Value().ToText());
    ASSERT_EQ(ids.size(), 3u);

    const std::string list = ids[0] + "," + ids[1];
    EXPECT_TRUE(AuditEntries(*ctx_, false, list + ",").Done());
    EXPECT_EQ(
        Count("SELECT COUNT(*) FROM t_CustEntry WHERE FUsed=1 AND FEntryID IN (" + list + ")"), 2);

    // One of them already audited: the whole list is refused.
    AuditResult refused = AuditEntries(*ctx_, false, ids[1] + "," + ids[2]);
    EXPECT_EQ(refused.outcome, AuditOutcome::kRefused);
    EXPECT_EQ(refused.message, "当前记录已被审核！");
    EXPECT_EQ(Count("SELECT FUsed FROM t_CustEntry WHERE FEntryID=" + ids[2]), 0);

    // The reason quotes the list as given, less its trailing comma.
    const std::string injected = ids[2] + ");DELETE FROM t_Cust;--";
    refused = AuditEntries(*ctx_, false, injected + ",");
    EXPECT_EQ(refused.outcome, AuditOutcome::kRefused);
    EXPECT_EQ(refused.message, "价格资料的内码无效：" + injected);
    EXPECT_GT(Count("SELECT COUNT(*) FROM t_Cust"), 0);
}

}  // namespace
}  // namespace orva
