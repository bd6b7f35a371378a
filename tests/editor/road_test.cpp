// The editor opened for real from the browse window: the road of a typical
// request (browse "New" -> right check -> editor -> item code -> cell leave
// fills the item -> "Save" with a price per box under the floor per piece ->
// question -> insert -> the browse window's refresh shows the row), modify
// with a step and an audit, and a batch add on a customer group.
#include "browse/browse_base.h"
#include "editor_fixture.h"
#include "host/settings_store.h"
#include "orvasaleprice/enums.h"
#include "session/module_context.h"

namespace orva::test {
namespace {

class RoadTest : public EditorTest {
  protected:
    void SetUp() override {
        EditorTest::SetUp();
        ctx_->g_ShowMode = showedit;
        ctx_->g_SelCustID = CustomerID("99");  // the browse window opens on customer 99
    }
    void TearDown() override {
        browse.reset();
        EditorTest::TearDown();
    }
    BrowseBase& OpenBrowse() {
        browse = std::make_unique<BrowseBase>(*ctx_);
        browse->Load();
        return *browse;
    }
    static bool Move(frmProperty& e, int row) { return e.vaSProperty().UserMoveTo(2, row); }
    std::unique_ptr<BrowseBase> browse;
};

TEST_F(RoadTest, NewEntryFromTheBrowseWindowEndsInTheRefreshedLedger) {
    Exec(
        "UPDATE t_ICItem SET FSalePriceFixingType=1, FSoLowPrc=1, FSoLowPrcMnyType=1 "
        "WHERE FNumber='03.01.001'");
    BrowseBase& w = OpenBrowse();
    const int rowsBefore = w.ldgBase().Rows();
    std::int32_t saved = 0;
    ui->OnModal<frmProperty>("frmProperty", [&](frmProperty& e) {
        EXPECT_EQ(e.vaSProperty().GetText(2, R::kRowCustNumber), "99");
        TypeInto(e, "03.01.001");
        ASSERT_TRUE(Move(e, R::kRowUnit));
        EXPECT_EQ(e.vaSProperty().GetText(2, R::kRowItemName), "电饭煲");
        EXPECT_EQ(e.vaSProperty().GetText(2, R::kRowUnit), "个");
        EXPECT_EQ(e.vaSProperty().TypeAt(2, R::kRowStartQty).decimalPlaces, 0);
        TypeInto(e, "BOX");
        ASSERT_TRUE(Move(e, R::kRowPrice));
        TypeInto(e, "9");  // 0.9 per piece, the floor is 1
        ASSERT_TRUE(Move(e, R::kRowNote));
        ui->AnswerDialog(1);  // save anyway
        EXPECT_EQ(e.FormKeyDown(kKeyS, kCtrlMask), 0);
        saved = e.EntryID();
        e.TbPrice().Click(W::kBtnExit);
    });
    w.tbToolBar().Click("New");

    ASSERT_GT(saved, 0);
    EXPECT_EQ(ui->Dialogs().size(), 1u);
    EXPECT_EQ(Scalar("SELECT FUnitID FROM t_CustEntry WHERE FEntryID=" + std::to_string(saved)),
              "102");
    EXPECT_EQ(w.ldgBase().Rows(), rowsBefore + 1);
    bool listed = false;
    for (int r = 3; r <= w.ldgBase().Rows(); ++r)
        listed = listed || w.ldgBase().CellText(r, 1) == std::to_string(saved);
    EXPECT_TRUE(listed);
    EXPECT_EQ(ui->PendingScripts(), 0u);
}

TEST_F(RoadTest, ModifyFromTheLedgerStepsAndAudits) {
    BrowseBase& w = OpenBrowse();
    w.ldgBase().UserClick(3, 2);
    const std::string second = w.ldgBase().CellText(4, 1);
    const std::string used = "SELECT FUsed FROM t_CustEntry WHERE FEntryID=" + second;
    const std::string usedBefore = Scalar(used);
    ui->OnModal<frmProperty>("frmProperty", [&](frmProperty& e) {
        e.TbPrice().Click(W::kBtnNext);
        EXPECT_EQ(std::to_string(e.EntryID()), second);
        e.TbPrice().Click(W::kBtnCheck);
        e.TbPrice().Click(W::kBtnExit);
    });
    w.ldgBase().UserDblClick(3, 2);
    EXPECT_EQ(ui->ModalWindows(), std::vector<std::string>{"frmProperty"});
    EXPECT_EQ(w.ldgBase().SelRow(), 4);
    EXPECT_NE(Scalar(used), usedBefore);
}

TEST_F(RoadTest, BatchAddOnACustomerGroup) {
    Exec("UPDATE t_SystemProfile SET FValue='0' WHERE FKey='AlertSELowPrice'");
    ctx_->g_SelCustID = 0;
    BrowseBase& w = OpenBrowse();
    const std::string region =
        Scalar("SELECT FItemID FROM t_Item WHERE FItemClassID=1 AND FNumber='01'");
    w.tvwBase().UserExpand(w.tvwBase().Find("gc0"));
    w.tvwBase().UserClick(w.tvwBase().Find("gi" + region));
    ui->OnModal<frmProperty>("frmProperty", [&](frmProperty& e) {
        EXPECT_EQ(e.OperationType(), EditorOperation::kBatchAdd);
        EXPECT_EQ(std::to_string(e.CustID()), region);
        TypeInto(e, "03.01.003");
        ASSERT_TRUE(Move(e, R::kRowPrice));
        TypeInto(e, "321");
        ASSERT_TRUE(Move(e, R::kRowNote));
        e.TbPrice().Click(W::kBtnSave);
        e.TbPrice().Click(W::kBtnExit);
    });
    w.Menus().Click("mnuBatchAdd");
    EXPECT_GT(Count("SELECT COUNT(*) FROM t_CustEntry WHERE FPrice=321"), 1);
}

}  // namespace
}  // namespace orva::test
