// Auditing from the editor: the entry's state flips, the grid and toolbar
// follow it, and a changed or vanished entry is not audited.
#include "editor_fixture.h"

namespace orva::test {
namespace {

class AuditTest : public EditorTest {
  protected:
    void SetUp() override {
        EditorTest::SetUp();
        entry = AddEntry(CustomerID("99"), ItemID("03.01.001"), 10);
        Open(W::kOpSingle, CustomerID("99"), 0, entry);
    }
    std::string Used() {
        return Scalar("SELECT FUsed FROM t_CustEntry WHERE FEntryID=" + std::to_string(entry));
    }
    std::int32_t entry = 0;
};

TEST_F(AuditTest, AuditingTwiceAuditsThenUnaudits) {
    Click(W::kBtnCheck);
    EXPECT_EQ(Used(), "1");
    ASSERT_EQ(ui->MessageBoxes().size(), 1u);
    EXPECT_EQ(ui->MessageBoxes()[0].text, "审核成功");
    EXPECT_EQ(ui->MessageBoxes()[0].title, "系统提示");
    // The editor shows the audited entry: locked, nothing to save.
    EXPECT_EQ(Text(R::kRowUsed), "Y");
    EXPECT_FALSE(Enabled(W::kBtnSave));
    for (int row = 1; row <= R::kRowCount; ++row)
        EXPECT_TRUE(window->vaSProperty().Locked(2, row)) << row;
    EXPECT_EQ(window->EntryID(), entry);

    Click(W::kBtnCheck);
    EXPECT_EQ(Used(), "0");
    EXPECT_EQ(ui->MessageBoxes().back().text, "反审核成功");
    EXPECT_TRUE(Enabled(W::kBtnSave));
    EXPECT_FALSE(window->vaSProperty().Locked(2, R::kRowPrice));
}

TEST_F(AuditTest, ChangedEntryMustBeSavedFirst) {
    ASSERT_TRUE(Enter(R::kRowPrice, "11"));
    ASSERT_TRUE(GoTo(R::kRowNote));
    Click(W::kBtnCheck);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"审核前请先保存!"});
    EXPECT_EQ(Used(), "0");
    EXPECT_TRUE(window->Dirty());
}

TEST_F(AuditTest, EntryAuditedElsewhereIsReported) {
    Exec("UPDATE t_CustEntry SET FUsed=1 WHERE FEntryID=" + std::to_string(entry));
    Click(W::kBtnCheck);  // the grid still shows it unaudited: audit is refused
    EXPECT_EQ(Boxes(), std::vector<std::string>{"当前记录已被审核！"});
    // The window reloads and now shows the entry's real state.
    EXPECT_EQ(Text(R::kRowUsed), "Y");
    EXPECT_FALSE(Enabled(W::kBtnSave));
}

TEST_F(AuditTest, EntryDeletedElsewhereIsReportedOnce) {
    Exec("DELETE FROM t_CustEntry WHERE FEntryID=" + std::to_string(entry));
    Click(W::kBtnCheck);
    EXPECT_EQ(ui->MessageBoxes().size(), 1u) << testing::PrintToString(Boxes());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM t_CustEntry WHERE FEntryID=" + std::to_string(entry)), 0);
}

TEST_F(AuditTest, AuditNeedsTheRight) {
    LogOn(demo::kLimitedUserId);
    Click(W::kBtnCheck);
    EXPECT_EQ(Used(), "0");
    EXPECT_EQ(ui->AssistantNotices().size(), 1u);
    EXPECT_TRUE(ui->MessageBoxes().empty());
}

}  // namespace
}  // namespace orva::test
