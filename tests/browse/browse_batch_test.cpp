// New entry, batch add, update and delete, and the minimum price dialog,
// opened from the browse window on the tree selection and the ledger row.
#include "browse_fixture.h"
#include "minprice/frm_se_low_price.h"

namespace orva {
namespace {

using BrowseBatch = BrowseTest;

TEST_F(BrowseBatch, BatchCommandsPassTheRootAsZeroAndAGroupAsItsId) {
    BrowseBase& w = Open();
    w.Menus().Click("mnuBatchAdd");
    const std::int32_t cust = DeepCustomer(1);
    const std::int32_t group = ParentOf(cust);
    ClickLeaf(w, cust);
    ClickNode(w, "gi" + std::to_string(group));
    w.Menus().Click("mnuBatchUpdate");
    w.Menus().Click("mnuBatchDelete");

    ASSERT_EQ(editorCalls_.size(), 3u);
    EXPECT_EQ(editorCalls_[0].request.operationType, EditorOperation::kBatchAdd);
    EXPECT_EQ(editorCalls_[0].request.custID, 0);
    EXPECT_EQ(editorCalls_[1].request.operationType, EditorOperation::kBatchUpdate);
    EXPECT_EQ(editorCalls_[1].request.custID, group);
    EXPECT_EQ(editorCalls_[2].request.operationType, EditorOperation::kBatchDelete);
    EXPECT_EQ(editorCalls_[2].request.custID, group);
    for (const EditorCall& c : editorCalls_) {
        EXPECT_EQ(c.request.itemID, 0);
        EXPECT_EQ(c.request.entryID, 0);
        EXPECT_EQ(c.request.ldg, &w.ldgBase());
    }
    EXPECT_EQ(ui->ModalWindows().size(), 3u);

    // In the item tree the group is an item group.
    w.Menus().Click("mnuVBaseICItem");
    w.tvwBase().UserExpand(w.tvwBase().Find("gc0"));
    const NodeId itemGroup = w.tvwBase().FirstChild(w.tvwBase().Find("gc0"));
    w.tvwBase().UserClick(itemGroup);
    w.Menus().Click("mnuBatchAdd");
    ASSERT_EQ(editorCalls_.size(), 4u);
    EXPECT_EQ("gi" + std::to_string(editorCalls_[3].request.itemID),
              w.tvwBase().Node(itemGroup).key);
    EXPECT_EQ(editorCalls_[3].request.custID, 0);
}

TEST_F(BrowseBatch, EachCommandChecksItsOwnRight) {
    LogOn(demo::kLimitedUserId);  // may add, may not modify or delete
    BrowseBase& w = Open();
    w.Menus().Click("mnuBatchUpdate");
    w.Menus().Click("mnuBatchDelete");
    EXPECT_TRUE(editorCalls_.empty());
    EXPECT_EQ(ui->AssistantNotices().size(), 2u);
    w.Menus().Click("mnuBatchAdd");
    EXPECT_EQ(editorCalls_.size(), 1u);

    ClickLeaf(w, DeepCustomer(1));
    SelectRow(w, 3);
    w.tbToolBar().Click("SELowPrice");
    EXPECT_EQ(ui->AssistantNotices().size(), 3u);
    EXPECT_TRUE(ui->ModalWindows().size() == 1u);  // no minimum price dialog
}

TEST_F(BrowseBatch, NewEntryOpensAnEmptyRecordForTheLeafOfEitherTree) {
    BrowseBase& w = Open();
    const std::int32_t cust = DeepCustomer(1);
    ClickLeaf(w, cust);
    w.tbToolBar().Click("New");
    ASSERT_EQ(editorCalls_.size(), 1u);
    EXPECT_EQ(editorCalls_[0].request.operationType, EditorOperation::kSingle);
    EXPECT_EQ(editorCalls_[0].request.entryID, 0);
    EXPECT_EQ(editorCalls_[0].request.custID, cust);
    EXPECT_EQ(editorCalls_[0].request.itemID, 0);

    ctx_->g_CategoryByCust = false;
    const std::int32_t item = static_cast<std::int32_t>(
        Scalar("SELECT TOP 1 FItemID FROM t_ICItem WHERE FErpClsID NOT IN (6,8) AND FParentID<>0 "
               "ORDER BY FNumber")
            .ToInteger());
    ctx_->g_SelICItemID = item;
    BrowseBase& items = Open();
    items.Menus().Click("mnuEditAddItem");
    ASSERT_EQ(editorCalls_.size(), 2u);
    EXPECT_EQ(editorCalls_[1].request.itemID, item);
    EXPECT_EQ(editorCalls_[1].request.custID, 0);
}

TEST_F(BrowseBatch, MinimumPriceWithoutADataRowSaysSoForTheTreeShown) {
    const std::int32_t bare = static_cast<std::int32_t>(
        Scalar("SELECT TOP 1 o.FItemID FROM t_Organization o WHERE NOT EXISTS (SELECT 1 FROM "
               "t_CustEntry e WHERE e.FCustID=o.FItemID) ORDER BY o.FNumber")
            .ToInteger());
    ASSERT_NE(bare, 0);
    ctx_->g_SelCustID = bare;
    BrowseBase& w = Open();
    ASSERT_EQ(w.ldgBase().Rows(), 2);
    w.Menus().Click("mnuEditLowPrice");
    ASSERT_EQ(ui->MessageBoxes().size(), 1u);
    EXPECT_EQ(ui->MessageBoxes()[0].text, "当前客户无记录或者未选中限价物料！");
    EXPECT_EQ(ui->MessageBoxes()[0].icon, MsgIcon::kInformation);
    EXPECT_EQ(ui->MessageBoxes()[0].title, "Tesmar提示");

    w.Menus().Click("mnuVBaseICItem");
    ClickLeaf(w, static_cast<std::int32_t>(
                     Scalar("SELECT TOP 1 e.FItemID FROM t_CustEntry e INNER JOIN t_ICItem t ON "
                            "t.FItemID=e.FItemID WHERE t.FErpClsID NOT IN (6,8) ORDER BY "
                            "e.FItemID")
                         .ToInteger()));
    ASSERT_GT(w.ldgBase().Rows(), 2);
    EXPECT_EQ(w.ldgBase().SelRow(), 0);  // data rows, none selected
    w.Menus().Click("mnuEditLowPrice");
    EXPECT_EQ(ui->MessageBoxes().back().text, "当前物料无记录或者未选中限价客户！");
    EXPECT_TRUE(ui->ModalWindows().empty());
}

TEST_F(BrowseBatch, MinimumPriceDialogGetsTheOtherPartyAndPriceFromTheTreesColumns) {
    // A customer-level minimum price to recognise.
    RecordsetPtr pair = Query(
        "SELECT TOP 1 e.FCustID, e.FItemID FROM t_CustEntry e INNER JOIN t_ICItem t ON "
        "t.FItemID=e.FItemID WHERE t.FErpClsID NOT IN (6,8) AND "
        "ISNULL(t.FSalePriceFixingType,0)=0 ORDER BY e.FCustID, e.FItemID");
    const std::int32_t cust = static_cast<std::int32_t>(pair->Fields(0).Value().ToInteger());
    const std::int32_t item = static_cast<std::int32_t>(pair->Fields(1).Value().ToInteger());
    const std::string where =
        " WHERE FCustID=" + std::to_string(cust) + " AND FItemID=" + std::to_string(item);
    ctx_->g_Connection->Execute("UPDATE t_Cust SET FSELowPrice=12.25, FCurrencyID=2" + where);
    const std::string custText =
        Scalar("SELECT FNumber FROM t_Organization WHERE FItemID=" + std::to_string(cust))
            .ToText() +
        "(" +
        Scalar("SELECT FName FROM t_Organization WHERE FItemID=" + std::to_string(cust)).ToText() +
        ")";
    const std::string itemText =
        Scalar("SELECT FNumber FROM t_ICItem WHERE FItemID=" + std::to_string(item)).ToText() +
        "(" + Scalar("SELECT FName FROM t_ICItem WHERE FItemID=" + std::to_string(item)).ToText() +
        ")";
    const std::string usd = Scalar("SELECT FName FROM t_Currency WHERE FCurrencyID=2").ToText();

    auto expectDialog = [&] {
        ui->OnModal<frmSELowPrice>("frmSELowPrice", [&](frmSELowPrice& d) {
            EXPECT_EQ(d.TxtCust(), custText);
            EXPECT_EQ(d.TxtItem(), itemText);
            EXPECT_EQ(d.TxtCurrency(), usd);
            EXPECT_EQ(d.CurrencyID(), 2);
            EXPECT_DOUBLE_EQ(std::stod(d.vsSELowPrice().GetText(1, 1)), 12.25);
            const std::string sql = d.SaveSql();
            EXPECT_NE(sql.find("FItemID=" + std::to_string(item)), std::string::npos) << sql;
            EXPECT_NE(sql.find("FCustID=" + std::to_string(cust)), std::string::npos) << sql;
            d.CmdCancelClick();
        });
    };

    ctx_->g_SelCustID = cust;
    ctx_->g_SelICItemID = item;
    {
        BrowseBase& w = Open();  // customer tree: item in column 11, price in 14
        ASSERT_GE(w.ldgBase().SelRow(), 3);
        expectDialog();
        w.tbToolBar().Click("SELowPrice");
        EXPECT_EQ(ui->ModalWindows(), std::vector<std::string>{"frmSELowPrice"});
    }
    ctx_->g_CategoryByCust = false;
    BrowseBase& w = Open();  // item tree: customer in column 10, price in 13
    ASSERT_GE(w.ldgBase().SelRow(), 3);
    expectDialog();
    w.Menus().Click("mnuEditLowPrice");
    EXPECT_EQ(ui->ModalWindows().size(), 2u);
    EXPECT_EQ(ui->PendingScripts(), 0u);
}

}  // namespace
}  // namespace orva
