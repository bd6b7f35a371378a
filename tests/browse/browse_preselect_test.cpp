// The customer or item the host preselects: the path to its node is
// expanded, the node selected and its prices listed; with both a customer
// and an item, the row of their first price entry is selected.
#include "browse_fixture.h"

namespace orva {
namespace {

using BrowsePreselect = BrowseTest;

TEST_F(BrowsePreselect, CustomerAloneExpandsItsPathAndListsItsPricesWithoutSelectingARow) {
    const std::int32_t cust = DeepCustomer(2);
    const std::int32_t region = ParentOf(cust);
    const std::int32_t top = ParentOf(region);
    ctx_->g_SelCustID = cust;
    BrowseBase& w = Open();

    Tree& t = w.tvwBase();
    EXPECT_TRUE(t.Expanded(t.Find("gc0")));
    EXPECT_TRUE(t.Expanded(t.Find("gi" + std::to_string(top))));
    EXPECT_TRUE(t.Expanded(t.Find("gi" + std::to_string(region))));
    ASSERT_NE(t.Selected(), kNoNode);
    EXPECT_EQ(t.Node(t.Selected()).key, "gb" + std::to_string(cust));
    EXPECT_EQ(w.ldgBase().Rows(),
              Count("SELECT COUNT(*) FROM t_CustEntry e INNER JOIN t_ICItem t ON "
                    "t.FItemID=e.FItemID WHERE t.FErpClsID NOT IN (6,8) AND e.FCustID=" +
                    std::to_string(cust)) +
                  2);
    EXPECT_EQ(w.ldgBase().SelRow(), 0);
    EXPECT_TRUE(w.Menus().Item("mnuEditAddItem").enabled);  // set for the leaf
    EXPECT_NE(w.SSPTitleItem().find(t.Node(t.Selected()).text), std::string::npos);
    // A click on the preselected node does not load it again.
    RecordsetPtr loaded = w.Detail()->Records();
    t.UserClick(t.Selected());
    EXPECT_EQ(w.Detail()->Records(), loaded);
}

TEST_F(BrowsePreselect, CustomerAndItemSelectTheRowOfTheirFirstEntryInEitherTree) {
    const std::int32_t cust = DeepCustomer(3);
    RecordsetPtr pair = Query(
        "SELECT TOP 1 e.FItemID FROM t_CustEntry e INNER JOIN t_ICItem t ON t.FItemID=e.FItemID "
        "WHERE t.FErpClsID NOT IN (6,8) AND e.FCustID=" +
        std::to_string(cust) + " ORDER BY t.FNumber DESC");
    const std::int32_t item = static_cast<std::int32_t>(pair->Fields(0).Value().ToInteger());
    const std::int32_t entry = static_cast<std::int32_t>(
        Scalar("SELECT FEntryID FROM t_CustEntry Where FCustID=" + std::to_string(cust) +
               " And FItemID=" + std::to_string(item))
            .ToInteger());
    ctx_->g_SelCustID = cust;
    ctx_->g_SelICItemID = item;
    {
        BrowseBase& w = Open();
        const int row = w.ldgBase().SelRow();
        ASSERT_GE(row, 3);
        EXPECT_EQ(w.ldgBase().CellText(row, 1), std::to_string(entry));
        EXPECT_EQ(RowOf(w, entry), row);
    }
    ctx_->g_CategoryByCust = false;
    BrowseBase& w = Open();
    EXPECT_EQ(w.tvwBase().Node(w.tvwBase().Selected()).key, "gb" + std::to_string(item));
    const int row = w.ldgBase().SelRow();
    ASSERT_GE(row, 3);
    EXPECT_EQ(w.ldgBase().CellText(row, 1), std::to_string(entry));
}

TEST_F(BrowsePreselect, TopLevelCustomerIsFoundUnderTheRoot) {
    const std::int32_t retail =
        static_cast<std::int32_t>(Scalar("SELECT FItemID FROM t_Organization WHERE FNumber='" +
                                         std::string(demo::kRetailCustomerNumber) + "'")
                                      .ToInteger());
    ctx_->g_SelCustID = retail;
    BrowseBase& w = Open();
    const NodeId node = w.tvwBase().Selected();
    EXPECT_EQ(w.tvwBase().Node(node).key, "gb" + std::to_string(retail));
    EXPECT_EQ(w.tvwBase().Parent(node), w.tvwBase().Find("gc0"));
}

TEST_F(BrowsePreselect, UnknownOrUnseenCustomerLeavesTheRootSelectedAndSaysNothing) {
    ctx_->g_SelCustID = 987654;
    ctx_->g_SelICItemID = 123456;
    {
        BrowseBase& w = Open();
        EXPECT_EQ(w.tvwBase().Node(w.tvwBase().Selected()).key, "gc0");
        EXPECT_EQ(w.ldgBase().Rows(), 2);
        EXPECT_EQ(w.ldgBase().SelRow(), 0);
    }
    // The group clerk sees no customer of region 03.
    LogOn(demo::kGroupClerkUserId);
    const std::int32_t hidden = static_cast<std::int32_t>(
        Scalar("SELECT TOP 1 FItemID FROM t_Organization WHERE FNumber LIKE '03.01.%' ORDER BY "
               "FNumber")
            .ToInteger());
    ASSERT_NE(hidden, 0);
    ctx_->g_SelCustID = hidden;
    ctx_->g_SelICItemID = 0;
    BrowseBase& w = Open();
    EXPECT_EQ(w.tvwBase().Find("gb" + std::to_string(hidden)), kNoNode);
    EXPECT_EQ(w.tvwBase().Node(w.tvwBase().Selected()).key, "gc0");
    EXPECT_EQ(w.ldgBase().Rows(), 2);
    EXPECT_TRUE(ui->MessageBoxes().empty());
    EXPECT_TRUE(ui->Dialogs().empty());
}

}  // namespace
}  // namespace orva
