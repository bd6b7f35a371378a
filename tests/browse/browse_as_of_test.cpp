// As of Date in the browse window: the leaf's ledger as it stood at the end
// of a day, titled with it and read-only until another load; a clerk sees in
// it, as in the history, only what the clerk's data rights show; a day that
// is no day or out of range and a history table dropped by hand are told
// and leave the ledger as it was.
#include <algorithm>
#include <chrono>

#include "browse_fixture.h"
#include "host/db/price_history.h"
#include "host/key_codes.h"

namespace orva::test {
namespace {

std::string Yesterday() {
    using namespace std::chrono;
    const Date t = Date::Today();
    const year_month_day d{sys_days{year{t.year} / t.month / t.day} - days{1}};
    return Date{int(d.year()), int(unsigned(d.month())), int(unsigned(d.day()))}.ToText();
}

class BrowseAsOf : public BrowseTest {
  protected:
    void SetUp() override {
        BrowseTest::SetUp();
        ASSERT_TRUE(UpgradePriceHistory(ctx_->g_Connection->Backend()));
    }
    // The first record clerk's customer with prices in currency 1 and in
    // another (which the clerk may not see).
    std::int32_t ClerkCustomer() {
        return static_cast<std::int32_t>(
            Scalar("SELECT TOP 1 e.FCustID FROM t_CustEntry e INNER JOIN t_Item i ON "
                   "i.FItemID=e.FCustID WHERE i.FNumber IN ('01.01.001','01.01.002','02.01.001',"
                   "'02.01.003') AND EXISTS (SELECT 1 FROM t_CustEntry x WHERE "
                   "x.FCustID=e.FCustID AND x.FCyID<>1) GROUP BY e.FCustID HAVING "
                   "SUM(CASE WHEN e.FCyID=1 THEN 1 ELSE 0 END)>=2 ORDER BY e.FCustID")
                .ToInteger());
    }
    std::int32_t EntryOf(std::int32_t cust, const char* currency) {
        return static_cast<std::int32_t>(Scalar("SELECT MIN(FEntryID) FROM t_CustEntry WHERE "
                                                "FCustID=" +
                                                std::to_string(cust) + " AND FCyID" + currency)
                                             .ToInteger());
    }
    // The ledger's rows, sorted: rows of one code have no order of their own.
    static std::vector<std::string> Rows(BrowseBase& w) {
        std::vector<std::string> rows;
        for (int r = 3; r <= w.ldgBase().Rows(); ++r) rows.push_back(w.RowText(r));
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    void AsOf(BrowseBase& w, std::optional<std::string> typed) {
        ui->AnswerText(std::move(typed));
        w.Menus().Click("mnuAsOf");
    }
};

TEST_F(BrowseAsOf, ShowsTheDaysLedgerTitledAndReadOnlyUntilAnotherLoad) {
    const std::int32_t cust = ClerkCustomer();
    ASSERT_NE(cust, 0);
    BrowseBase& w = Open();
    ClickLeaf(w, cust);
    const std::vector<std::string> before = Rows(w);
    const std::int32_t changed = EntryOf(cust, "=1");
    Query("UPDATE t_CustEntry SET FPrice=FPrice+1,FNote='x' WHERE FEntryID=" +
          std::to_string(changed));
    Query("DELETE FROM t_CustEntry WHERE FEntryID=" + std::to_string(EntryOf(cust, "<>1")));
    w.Menus().Click("mnuViewRefresh");
    const std::vector<std::string> now = Rows(w);
    ASSERT_NE(now, before);

    ASSERT_TRUE(w.Menus().Item("mnuAsOf").enabled);
    ASSERT_TRUE(w.Menus().Item("mnuFileImport").enabled);
    AsOf(w, Yesterday());
    EXPECT_EQ(w.AsOfDay(), Yesterday());
    EXPECT_EQ(Rows(w), before);
    EXPECT_NE(w.ldgBase().Textline(1).text.find("截至 " + Yesterday()), std::string::npos);
    EXPECT_NE(w.SSPTitleItem().find("截至 " + Yesterday()), std::string::npos);
    // Nothing changes an entry of the day's ledger.
    for (const char* menu : {"mnuEditModify", "mnuEditDelete", "mnuCheck", "mnuEditAddItem"})
        EXPECT_FALSE(w.Menus().Item(menu).enabled) << menu;
    EXPECT_FALSE(w.tbToolBar().Item("Delete").enabled);
    EXPECT_FALSE(w.Menus().Item("mnuFileImport").enabled);
    w.ldgBase().UserDblClick(RowOf(w, changed), 2);
    w.ldgBase().UserKeyDown(kKeyDelete, 0);
    w.tbToolBar().Click("Modify");
    EXPECT_TRUE(editorCalls_.empty());
    EXPECT_TRUE(ui->MessageBoxes().empty());
    EXPECT_EQ(Count("SELECT COUNT(*) FROM t_CustEntry WHERE FEntryID=" + std::to_string(changed)),
              1);

    // The ledger as of today is the ledger; a refresh goes back to it.
    AsOf(w, Date::Today().ToText());
    EXPECT_EQ(Rows(w), now);
    w.Menus().Click("mnuViewRefresh");
    EXPECT_EQ(w.AsOfDay(), "");
    // Every command it turned off is on again.
    EXPECT_TRUE(w.Menus().Item("mnuEditModify").enabled);
    EXPECT_TRUE(w.Menus().Item("mnuFileImport").enabled);
    EXPECT_TRUE(w.tbToolBar().Item("Delete").enabled);
}

TEST_F(BrowseAsOf, AClerkSeesOnlyWhatTheClerksRightsShow) {
    const std::int32_t cust = ClerkCustomer();
    ASSERT_NE(cust, 0);
    const std::int32_t hidden = EntryOf(cust, "<>1");
    const std::int32_t shown = EntryOf(cust, "=1");
    LogOn(demo::kRecordClerkUserId);
    BrowseBase& w = Open();
    ClickLeaf(w, cust);
    ASSERT_EQ(RowOf(w, hidden), 0);
    ASSERT_NE(RowOf(w, shown), 0);
    const std::vector<std::string> before = Rows(w);
    for (std::int32_t e : {hidden, shown})
        Query("UPDATE t_CustEntry SET FLeadTime=FLeadTime+3 WHERE FEntryID=" + std::to_string(e));
    Query("DELETE FROM t_CustEntry WHERE FEntryID=" + std::to_string(hidden));

    AsOf(w, Yesterday());
    EXPECT_EQ(Rows(w), before);
    EXPECT_EQ(RowOf(w, hidden), 0);

    // The history of the title row: the shown entry's change alone.
    SelectRow(w, 1);
    w.Menus().Click("mnuHistory");
    ASSERT_EQ(ui->Dialogs().size(), 1u);
    const auto& lines = ui->Dialogs()[0].content.details;
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("价格编号 " + std::to_string(shown)), std::string::npos) << lines[0];
}

TEST_F(BrowseAsOf, ABadDayOrAMissingHistoryIsToldAndTheLedgerStays) {
    const std::int32_t cust = ClerkCustomer();
    BrowseBase& w = Open();
    ClickLeaf(w, cust);
    const std::vector<std::string> before = Rows(w);
    struct Case {
        std::optional<std::string> typed;
        const char* told;  // the start of the message, nullptr for none
    } cases[] = {
        {std::nullopt, nullptr},  // cancelled
        {"2025-02-30", "日期无效或超出范围（1900-01-01 至今天）：2025-02-30"},
        {"1899-12-31", "日期无效或超出范围（1900-01-01 至今天）：1899-12-31"},
        {"9999-01-01", "日期无效或超出范围（1900-01-01 至今天）：9999-01-01"},
        {"last week", "日期无效或超出范围（1900-01-01 至今天）：last week"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.value_or("(cancel)"));
        ui->ClearRecords();
        AsOf(w, c.typed);
        EXPECT_EQ(w.AsOfDay(), "");
        EXPECT_EQ(Rows(w), before);
        ASSERT_EQ(ui->MessageBoxes().size(), c.told ? 1u : 0u);
        if (c.told) {
            EXPECT_EQ(ui->MessageBoxes()[0].text, c.told);
        }
    }

    // Dropped by another program while the window is open.
    Query("DROP TABLE t_CustEntryHistory");
    ui->ClearRecords();
    AsOf(w, Yesterday());
    EXPECT_EQ(w.AsOfDay(), "");
    EXPECT_EQ(Rows(w), before);
    ASSERT_EQ(ui->MessageBoxes().size(), 1u);
    EXPECT_EQ(ui->MessageBoxes()[0].text.rfind("价格历史无法读取，不能显示截至该日的价格资料。", 0),
              0u)
        << ui->MessageBoxes()[0].text;
}

}  // namespace
}  // namespace orva::test
