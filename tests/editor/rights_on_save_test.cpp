// Rights asked again when saving: the check of the active cell runs on a
// locked cell too (rights withdrawn since the entry was opened refuse the
// save, and an accepted check leaves the loaded grid as it was), and the
// modify right is asked for any grid that is not a new record, a batch add
// not started with "New" among them.
#include "editor_fixture.h"
#include "session/module_context.h"

namespace orva::test {
namespace {

constexpr std::int32_t kItemGroup0301 = 1240;  // item group 03.01 of the demo company

class RightsOnSaveTest : public EditorTest {
  protected:
    void SetUp() override {
        EditorTest::SetUp();
        Exec("UPDATE t_SystemProfile SET FValue='0' WHERE FKey='AlertSELowPrice'");
        cust = CustomerID("01.01.001");
        item = ItemID("01.01.001");
        entry = AddEntry(cust, item, 10);
        // Stored in a unit other than the item's base unit: a check that
        // filled the grid would put the base unit back.
        Exec(
            "UPDATE t_CustEntry SET FUnitID=(SELECT TOP 1 m.FMeasureUnitID FROM t_MeasureUnit m "
            "INNER JOIN t_ICItem i ON m.FUnitGroupID=i.FUnitGroupID WHERE i.FItemID=" +
            std::to_string(item) +
            " AND m.FMeasureUnitID<>i.FUnitID ORDER BY m.FMeasureUnitID) WHERE FEntryID=" +
            std::to_string(entry));
        LogOn(demo::kRecordClerkUserId);  // rights granted record by record
    }
    std::string Unit() {
        return Scalar("SELECT FUnitID FROM t_CustEntry WHERE FEntryID=" + std::to_string(entry));
    }
    std::int32_t cust = 0, item = 0, entry = 0;
};

TEST_F(RightsOnSaveTest, LockedCellIsCheckedWhenSaving) {
    // A right is withdrawn by handing its row to user -U, and given back.
    struct Case {
        const char* what;
        int activeRow;
        const char* table;      // nullptr withdraws nothing
        std::string condition;  // the withdrawn right's row
        const char* refusal;    // nullptr: the save goes through
    };
    const std::string itemRight = "FTypeID=4 AND FItemID=" + std::to_string(item);
    const Case cases[] = {
        {"item code", R::kRowItemNumber, "t_ItemRight", itemRight, "物料不存在或需要数据授权！"},
        {"item name, through the item code", R::kRowItemName, "t_ItemRight", itemRight,
         "物料不存在或需要数据授权！"},
        {"item base data", R::kRowItemNumber, "t_OrvaAccessRight", "FObjectID=3 AND FIndex=4",
         "基础资料很有可能没有授权！"},
        {"customer code", R::kRowCustNumber, "t_ItemRight",
         "FTypeID=1 AND FItemID=" + std::to_string(cust), "客户不存在或需要数据授权！"},
        {"item model, rights intact", R::kRowModel, nullptr, "", nullptr},
        {"item code, rights intact", R::kRowItemNumber, nullptr, "", nullptr},
    };
    const std::string user = std::to_string(demo::kRecordClerkUserId);
    auto handOver = [&](const Case& c, const std::string& from) {
        if (c.table)
            Exec(std::string("UPDATE ") + c.table + " SET FUserID=-FUserID WHERE FUserID=" + from +
                 " AND " + c.condition);
    };
    const std::string unit = Unit();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Open(EditorOperation::kSingle, cust, item, entry);
        ASSERT_TRUE(Enter(R::kRowPrice, "12"));
        ASSERT_TRUE(GoTo(c.activeRow));
        ASSERT_TRUE(window->vaSProperty().Locked(2, c.activeRow));
        const std::string before = Text(c.activeRow);
        TypeKeys("X");  // a locked cell takes no typing
        EXPECT_EQ(Text(c.activeRow), before);
        const std::string shownUnit = Text(R::kRowUnit);
        handOver(c, user);  // withdrawn while the entry is open
        ui->ClearRecords();
        Click(W::kBtnSave);
        if (c.refusal) {
            EXPECT_EQ(Boxes(), std::vector<std::string>{c.refusal});
            EXPECT_EQ(Price(entry), "10");
            EXPECT_TRUE(window->Dirty());
        } else {
            EXPECT_EQ(Boxes(), std::vector<std::string>{});
            EXPECT_EQ(Price(entry), "12");
            EXPECT_EQ(Unit(), unit);  // the loaded unit, not the item's base unit
            EXPECT_EQ(Text(R::kRowUnit), shownUnit);
            Exec("UPDATE t_CustEntry SET FPrice=10 WHERE FEntryID=" + std::to_string(entry));
        }
        handOver(c, "-" + user);
    }
}

// A new entry grouped by item: its locked customer-name row is checked
// through the customer typed in the code row. When the right on that
// customer is withdrawn meanwhile, leaving the name row or saving on it is
// refused and takes the clerk to the code row (never kept in a row that takes
// no typing), where another customer is typed and saved.
TEST_F(RightsOnSaveTest, ARefusedCustomerNameRowLeadsToTheCustomerCode) {
    ctx_->g_CategoryByCust = false;
    const std::string refusal = "客户不存在或需要数据授权！";
    // The right is withdrawn by handing it to user -U, and given back.
    auto handOver = [this](int from) {
        Exec("UPDATE t_ItemRight SET FUserID=-FUserID WHERE FTypeID=1 AND FItemID=" +
             std::to_string(cust) + " AND FUserID=" + std::to_string(from));
    };
    for (bool save : {false, true}) {
        SCOPED_TRACE(save ? "save" : "leave");
        Open(EditorOperation::kSingle, 0, item);
        ASSERT_TRUE(Enter(R::kRowCustNumber, "01.01.001"));
        ASSERT_TRUE(Enter(R::kRowPrice, "12"));
        ASSERT_TRUE(GoTo(R::kRowCustName));
        ASSERT_TRUE(window->vaSProperty().Locked(2, R::kRowCustName));
        handOver(demo::kRecordClerkUserId);
        ui->ClearRecords();
        if (save)
            Click(W::kBtnSave);
        else
            EXPECT_FALSE(GoTo(R::kRowNote));
        EXPECT_EQ(Boxes(), std::vector<std::string>{refusal});
        EXPECT_EQ(window->vaSProperty().ActiveRow(), R::kRowCustNumber);
        EXPECT_EQ(Text(R::kRowCustNumber), "01.01.001");

        TypeKeys("01.01.002");
        ASSERT_TRUE(GoTo(R::kRowCustName));
        ui->ClearRecords();
        Click(W::kBtnSave);
        EXPECT_EQ(Boxes(), std::vector<std::string>{});
        EXPECT_EQ(Scalar("SELECT FCustID FROM t_CustEntry WHERE FEntryID=" +
                         std::to_string(window->EntryID())),
                  std::to_string(CustomerID("01.01.002")));
        handOver(-demo::kRecordClerkUserId);
        Exec("DELETE FROM t_CustEntry WHERE FEntryID=" + std::to_string(window->EntryID()));
    }
}

// A batch add's grid is never a new record unless "New" made it one, so its
// save asks the modify right as well as the add right the window was opened
// with. The limited user holds only the add right.
TEST_F(RightsOnSaveTest, BatchAddAsksTheModifyRightUnlessStartedWithNew) {
    LogOn(demo::kLimitedUserId);
    ctx_->g_CategoryByCust = false;
    const std::string added = "SELECT COUNT(*) FROM t_CustEntry WHERE FQuoteTime='2026-06-01'";
    auto fill = [this] {
        ASSERT_TRUE(Enter(R::kRowCustNumber, "99"));
        ASSERT_TRUE(Enter(R::kRowPrice, "55"));
        ASSERT_TRUE(Enter(R::kRowQuoteTime, "2026-06-01"));
        ASSERT_TRUE(GoTo(R::kRowItemNumber));  // the locked group row: not a record to check
    };
    Open(EditorOperation::kBatchAdd, 0, kItemGroup0301);
    fill();
    Click(W::kBtnSave);
    EXPECT_EQ(ui->AssistantNotices().size(), 1u);
    EXPECT_EQ(Count(added), 0);

    Click(W::kBtnNew);  // asks the add right, which the user holds
    ASSERT_TRUE(window->NewRecord());
    fill();
    ui->ClearRecords();
    Click(W::kBtnSave);
    EXPECT_TRUE(ui->AssistantNotices().empty());
    EXPECT_GT(Count(added), 0);
}

}  // namespace
}  // namespace orva::test
