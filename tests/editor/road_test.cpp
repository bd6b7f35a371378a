// The editor opened for real from the browse window: the road of a typical
// request (browse "New" -> right check -> editor -> item code -> cell leave
// fills the item -> "Save" with a price per box under the floor per piece ->
// question -> insert -> the browse window's refresh shows the row), and
// modify from the ledger with navigation and audit.
#include "browse/browse_base.h"
#include "editor_fixture.h"
#include "entry/globals.h"
#include "host/controls/ledger.h"
#include "host/settings_store.h"
#include "orvasaleprice/enums.h"

namespace orva::test {
namespace {

class RoadTest : public EditorTest {
  protected:
    void SetUp() override {
        EditorTest::SetUp();
        settings = std::make_shared<MemorySettingsStore>();
        SetCurrentSettings(settings);
        g_ShowMode = showedit;
        g_CallByBill = false;
        cust = CustomerID("99");
        item = ItemID("03.01.001");
        g_SelCustID = cust;  // the browse window opens on customer 99
        g_SelICItemID = 0;
    }
    void TearDown() override {
        browse.reset();
        SetCurrentSettings(nullptr);
        g_SelCustID = 0;
        EditorTest::TearDown();
    }
    BrowseBase& OpenBrowse() {
        browse = std::make_unique<BrowseBase>();
        browse->Load();
        return *browse;
    }
    int RowOf(std::int32_t entryID) {
        Ledger& ledger = browse->ldgBase();
        for (int r = 3; r <= ledger.Rows(); ++r) {
            if (ledger.CellText(r, 1) == std::to_string(entryID))
                return r;
        }
        return 0;
    }

    // What the user does in the editor: keys through the window, typing into
    // the active cell, moving with the cell-leave check.
    static void Type(frmProperty& e, const std::string& text) {
        std::string kept;
        for (char c : text) {
            if (e.FormKeyPress(static_cast<unsigned char>(c)) != 0)
                kept += c;
        }
        e.vaSProperty().TypeText(2, e.vaSProperty().ActiveRow(), kept);
    }
    static bool Move(frmProperty& e, int row) { return e.vaSProperty().UserMoveTo(2, row); }

    std::shared_ptr<MemorySettingsStore> settings;
    std::unique_ptr<BrowseBase> browse;
    std::int32_t cust = 0;
    std::int32_t item = 0;
};

TEST_F(RoadTest, NewEntryFromTheBrowseWindowEndsInTheRefreshedLedger) {
    Exec(
        "UPDATE t_ICItem SET FSalePriceFixingType=1, FSoLowPrc=1, FSoLowPrcMnyType=1 "
        "WHERE FItemID=" +
        std::to_string(item));
    BrowseBase& w = OpenBrowse();
    ASSERT_EQ(w.tvwBase().Node(w.tvwBase().Selected()).key, "gb" + std::to_string(cust));
    const int rowsBefore = w.ldgBase().Rows();

    std::int32_t saved = 0;
    ui->OnModal<frmProperty>("frmProperty", [&](frmProperty& e) {
        EXPECT_EQ(e.OperationType(), 0);
        EXPECT_EQ(e.EntryID(), 0);
        EXPECT_EQ(e.CustID(), cust);
        EXPECT_EQ(e.vaSProperty().GetText(2, R::kRowCustNumber), "99");
        EXPECT_EQ(e.vaSProperty().ActiveRow(), R::kRowItemNumber);
        Type(e, "03.01.001");
        ASSERT_TRUE(Move(e, R::kRowUnit));
        EXPECT_EQ(e.vaSProperty().GetText(2, R::kRowItemName), "电饭煲");
        EXPECT_EQ(e.vaSProperty().GetText(2, R::kRowUnit), "个");
        EXPECT_EQ(e.vaSProperty().TypeAt(2, R::kRowPrice).decimalPlaces, 2);
        EXPECT_EQ(e.vaSProperty().TypeAt(2, R::kRowStartQty).decimalPlaces, 0);
        Type(e, "BOX");
        ASSERT_TRUE(Move(e, R::kRowPrice));
        Type(e, "9");  // 0.9 per piece, the floor is 1
        ASSERT_TRUE(Move(e, R::kRowNote));
        ui->AnswerDialog(1);  // save anyway
        EXPECT_EQ(e.FormKeyDown(frmProperty::kKeyS, frmProperty::kCtrlMask), 0);
        saved = e.EntryID();
        EXPECT_FALSE(e.Dirty());
        EXPECT_TRUE(e.TbPrice().Item(frmProperty::kBtnCheck).visible);
        e.TbPrice().Click(frmProperty::kBtnExit);
    });
    w.tbToolBar().Click("New");

    EXPECT_EQ(ui->ModalWindows(), std::vector<std::string>{"frmProperty"});
    ASSERT_GT(saved, 0);
    ASSERT_EQ(ui->Dialogs().size(), 1u);
    EXPECT_EQ(ui->Dialogs()[0].content.kind, 1);
    EXPECT_EQ(Scalar("SELECT FUnitID FROM t_CustEntry WHERE FEntryID=" + std::to_string(saved)),
              "102");
    EXPECT_EQ(Scalar("SELECT FPrice FROM t_CustEntry WHERE FEntryID=" + std::to_string(saved)),
              "9");
    EXPECT_EQ(w.ldgBase().Rows(), rowsBefore + 1);
    EXPECT_GT(RowOf(saved), 0);
    EXPECT_EQ(ui->PendingScripts(), 0u);
}

TEST_F(RoadTest, ModifyFromTheLedgerStepsAndAudits) {
    BrowseBase& w = OpenBrowse();
    ASSERT_GT(w.ldgBase().Rows(), 4);
    w.ldgBase().UserClick(3, 2);
    const std::int32_t first = std::stoi(w.ldgBase().CellText(3, 1));
    const std::int32_t second = std::stoi(w.ldgBase().CellText(4, 1));
    const std::string secondUsed =
        Scalar("SELECT FUsed FROM t_CustEntry WHERE FEntryID=" + std::to_string(second));

    ui->OnModal<frmProperty>("frmProperty", [&](frmProperty& e) {
        EXPECT_EQ(e.EntryID(), first);
        e.TbPrice().Click(frmProperty::kBtnNext);
        EXPECT_EQ(e.EntryID(), second);
        e.TbPrice().Click(frmProperty::kBtnCheck);  // flips the entry's audit state
        e.TbPrice().Click(frmProperty::kBtnExit);
    });
    w.ldgBase().UserDblClick(3, 2);

    EXPECT_EQ(ui->ModalWindows(), std::vector<std::string>{"frmProperty"});
    EXPECT_EQ(w.ldgBase().SelRow(), 4);  // the editor stepped the browse window's ledger
    EXPECT_NE(Scalar("SELECT FUsed FROM t_CustEntry WHERE FEntryID=" + std::to_string(second)),
              secondUsed);
}

TEST_F(RoadTest, BatchAddOnACustomerGroupOpensTheEditorForTheGroup) {
    Exec("UPDATE t_SystemProfile SET FValue='0' WHERE FKey='AlertSELowPrice'");
    g_SelCustID = 0;
    BrowseBase& w = OpenBrowse();
    const std::int32_t group = std::stoi(Scalar("SELECT FParentID FROM t_Item WHERE FItemID=" +
                                                std::to_string(CustomerID("01.01.001"))));
    w.tvwBase().UserExpand(w.tvwBase().Find("gc0"));
    const std::string parentKey =
        "gi" + Scalar("SELECT FParentID FROM t_Item WHERE FItemID=" + std::to_string(group));
    if (w.tvwBase().Find(parentKey) != kNoNode)
        w.tvwBase().UserExpand(w.tvwBase().Find(parentKey));
    const NodeId node = w.tvwBase().Find("gi" + std::to_string(group));
    ASSERT_NE(node, kNoNode);
    w.tvwBase().UserClick(node);

    ui->OnModal<frmProperty>("frmProperty", [&](frmProperty& e) {
        EXPECT_EQ(e.OperationType(), 8);
        EXPECT_EQ(e.CustID(), group);
        EXPECT_TRUE(e.vaSProperty().Locked(2, R::kRowCustNumber));
        Type(e, "03.01.003");
        ASSERT_TRUE(Move(e, R::kRowPrice));
        Type(e, "321");
        ASSERT_TRUE(Move(e, R::kRowNote));
        e.TbPrice().Click(frmProperty::kBtnSave);
        EXPECT_FALSE(e.Dirty());
        e.TbPrice().Click(frmProperty::kBtnExit);
    });
    w.Menus().Click("mnuBatchAdd");

    EXPECT_EQ(ui->ModalWindows(), std::vector<std::string>{"frmProperty"});
    EXPECT_GT(Count("SELECT COUNT(*) FROM t_CustEntry WHERE FPrice=321 AND FItemID=" +
                    std::to_string(ItemID("03.01.003"))),
              1);
}

}  // namespace
}  // namespace orva::test
