// The system option "OverlapSalePrice" on the editor's save: off (no row or
// 0) saves as before, 1 asks (Yes saves, No returns to the editor), 2 says
// why and saves nothing. An entry is never held against its own old state.
#include <optional>

#include "editor_fixture.h"

namespace orva::test {
namespace {

constexpr const char* kAsk = "您所录入的价格资料与以下价格的销货量和有效期重叠，是否继续保存？";
constexpr const char* kRefuse = "您所录入的价格资料与以下价格的销货量和有效期重叠，不允许保存。";
constexpr std::int32_t kStored = 9001;

class OverlapOptionTest : public EditorTest {
  protected:
    void SetUp() override {
        EditorTest::SetUp();
        cust = CustomerID("99");
        item = ItemID("03.01.001");  // customer 99 has no price for it
    }
    // The stored entry: quantities 5 to 50 of the item's base unit, in the
    // base currency, from `from` to `to`.
    void Store(const std::string& from, const std::string& to) {
        const std::string c = std::to_string(cust), i = std::to_string(item);
        Exec("INSERT INTO t_Cust (FBrNo,FItemID,FCustID,FCurrencyID,FSELowPrice) VALUES ('0'," + i +
             "," + c + ",1,0)");
        Exec(
            "INSERT INTO t_CustEntry (FBrNo,FEntryID,FCustID,FItemID,FUnitID,FStartQty,FEndQty,"
            "FPrice,FCyID,FLeadTime,FQuoteTime,FExpireDate,FUsed,FNote) SELECT '0'," +
            std::to_string(kStored) + "," + c + "," + i + ",FUnitID,5,50,7,1,0,'" + from + "','" +
            to + "',0,'' FROM t_ICItem WHERE FItemID=" + i);
    }
    void SetOption(const char* value) {
        Exec(std::string("INSERT INTO t_SystemProfile (FCategory,FKey,FValue) VALUES "
                         "('IC','OverlapSalePrice','") +
             value + "')");
    }
    long Entries() {
        return Count("SELECT COUNT(*) FROM t_CustEntry WHERE FCustID=" + std::to_string(cust));
    }
    std::int32_t cust = 0;
    std::int32_t item = 0;
};

struct Case {
    const char* name;
    const char* option;  // nullptr: no row for the option
    bool overlapping;    // the stored entry is in force today, else it ended in 2021
    bool editStored;     // the save rewrites the stored entry instead of adding one
    std::int32_t answer;
    long entries;          // entries of the customer afterwards
    const char* headline;  // the dialog shown, nullptr for none
};

TEST_F(OverlapOptionTest, TheThreeSettingsOnSave) {
    const std::vector<Case> cases = {
        {"no option row: saved as before", nullptr, true, false, 0, 2, nullptr},
        {"off", "0", true, false, 0, 2, nullptr},
        {"warn, answered No", "1", true, false, 0, 1, kAsk},
        {"warn, answered Yes", "1", true, false, 1, 2, kAsk},
        {"warn, nothing overlaps", "1", false, false, 0, 2, nullptr},
        {"refuse", "2", true, false, 1, 1, kRefuse},
        {"refuse, nothing overlaps", "2", false, false, 0, 2, nullptr},
        {"refuse, the entry edited over its own period", "2", true, true, 0, 1, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Exec("DELETE FROM t_CustEntry WHERE FCustID=" + std::to_string(cust));
        Exec("DELETE FROM t_Cust WHERE FCustID=" + std::to_string(cust));
        Exec("DELETE FROM t_SystemProfile WHERE FKey='OverlapSalePrice'");
        if (c.option)
            SetOption(c.option);
        if (c.overlapping)
            Store("2020-01-01", "2100-01-01");
        else
            Store("2020-01-01", "2021-01-01");
        if (c.editStored) {
            Open(EditorOperation::kSingle, cust, item, kStored);
            ASSERT_TRUE(Enter(R::kRowEndQty, "60"));
        } else {
            Open(EditorOperation::kSingle, cust, 0);
            ASSERT_TRUE(Enter(R::kRowItemNumber, "03.01.001"));
            ASSERT_TRUE(Enter(R::kRowEndQty, "10"));
            ASSERT_TRUE(Enter(R::kRowPrice, "250"));
        }
        ASSERT_TRUE(GoTo(R::kRowNote));
        ui->ClearRecords();
        if (c.headline)
            ui->AnswerDialog(c.answer);  // answers are queued: only for a dialog shown
        Click(W::kBtnSave);
        EXPECT_EQ(Entries(), c.entries);
        if (c.editStored) {
            EXPECT_EQ(Scalar("SELECT FEndQty FROM t_CustEntry WHERE FEntryID=9001"), "60");
        }
        if (!c.headline) {
            EXPECT_EQ(Headlines(), std::vector<std::string>{});
            continue;
        }
        ASSERT_EQ(Headlines(), std::vector<std::string>{c.headline});
        // The other entry is named: number, price, band and period.
        EXPECT_EQ(ui->Dialogs()[0].content.details,
                  std::vector<std::string>{
                      "价格编号 9001：报价 7，销货量 5 - 50，2020-01-01 至 2100-01-01"});
        // Refused or answered No: the editor stays open with the grid as typed.
        if (c.entries == 1) {
            EXPECT_TRUE(window->Dirty());
        }
    }
}

}  // namespace
}  // namespace orva::test
