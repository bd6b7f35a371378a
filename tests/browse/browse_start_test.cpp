// The browse window's start: menus and toolbar by mode, the grouping chosen
// from the host's value and the saved setting, the tree and the empty ledger
// of the root, the preselected customer or item.
#include "browse/browse_settings.h"
#include "browse_fixture.h"

namespace orva {
namespace {

namespace bs = browse_settings;

using BrowseStart = BrowseTest;

bool Enabled(const CommandSet& set, const char* name) {
    return set.Item(name).enabled;
}

TEST_F(BrowseStart, MaintenanceModeEnablesBatchForTheRootAndEditingForALeaf) {
    BrowseBase& w = Open();
    EXPECT_EQ(w.Caption(), "系统基本资料(客户价格管理)");
    ASSERT_GT(w.tvwBase().Count(), 0);
    EXPECT_EQ(w.tvwBase().Node(w.tvwBase().Selected()).key, "gc0");
    EXPECT_EQ(w.ldgBase().Rows(), 2);
    EXPECT_EQ(w.ldgBase().Cols(), BaseDetail::kCustomerLayoutCols);
    EXPECT_EQ(w.ldgBase().CellText(1, 2), "物料代码");
    EXPECT_TRUE(w.Menus().Item("mnuVBaseSalePrice").checked);
    EXPECT_FALSE(w.Menus().Item("mnuVBaseICItem").checked);

    // The root: batch commands only.
    for (const char* m : {"mnuEditAddItem", "mnuEditDelete", "mnuEditModify", "mnuEditLowPrice",
                          "mnuCheck", "mnuUnCheck"})
        EXPECT_FALSE(Enabled(w.Menus(), m)) << m;
    for (const char* b : {"New", "Modify", "Delete", "SELowPrice", "Check", "UnCheck"})
        EXPECT_FALSE(Enabled(w.tbToolBar(), b)) << b;
    for (const char* m : {"mnuBatchOperate", "mnuBatchAdd", "mnuBatchUpdate", "mnuBatchDelete"})
        EXPECT_TRUE(Enabled(w.Menus(), m)) << m;
    EXPECT_TRUE(w.Menus().Item("mnuEdit").visible);
    EXPECT_TRUE(w.tbToolBar().Item("New").visible);

    // A leaf: the other way round.
    ClickLeaf(w, DeepCustomer(1));
    for (const char* m : {"mnuEditAddItem", "mnuEditDelete", "mnuEditModify", "mnuEditLowPrice",
                          "mnuCheck", "mnuUnCheck"})
        EXPECT_TRUE(Enabled(w.Menus(), m)) << m;
    for (const char* b : {"New", "Modify", "Delete", "SELowPrice", "Check", "UnCheck"})
        EXPECT_TRUE(Enabled(w.tbToolBar(), b)) << b;
    EXPECT_FALSE(Enabled(w.Menus(), "mnuBatchOperate"));
}

TEST_F(BrowseStart, SelectionModeHidesEditingAndDisablesEverySelectionDrivenCommand) {
    ctx_->g_ShowMode = ShowSelect;
    BrowseBase& w = Open();
    EXPECT_FALSE(w.Menus().Item("mnuEdit").visible);
    EXPECT_FALSE(w.Menus().Item("mnuEditAddItem").visible);
    EXPECT_FALSE(w.Menus().Item("mnuEditDelete").visible);
    for (const char* b : {"New", "Modify", "sp1", "Delete", "Check", "UnCheck"})
        EXPECT_FALSE(w.tbToolBar().Item(b).visible) << b;
    EXPECT_TRUE(w.tbToolBar().Item("SELowPrice").visible);

    ClickLeaf(w, DeepCustomer(1));
    EXPECT_FALSE(Enabled(w.tbToolBar(), "SELowPrice"));
    EXPECT_FALSE(Enabled(w.Menus(), "mnuBatchOperate"));
    EXPECT_FALSE(w.Menus().Available("mnuEditModify"));
    // What Enter and Delete do in the ledger in this mode: browse_selection_test.
}

TEST_F(BrowseStart, CalledFromABillKeepsTheHostsGroupingAndDisablesTheAuditButtons) {
    settings_->Set(bs::CategoryByCust(true), false);  // the user last chose items
    ctx_->g_CallByBill = true;
    ctx_->g_CategoryByCust = true;
    BrowseBase& w = Open();
    EXPECT_TRUE(ctx_->g_CategoryByCust);
    EXPECT_FALSE(w.ItemTree());
    ClickLeaf(w, DeepCustomer(1));
    EXPECT_FALSE(Enabled(w.tbToolBar(), "Check"));
    EXPECT_FALSE(Enabled(w.tbToolBar(), "UnCheck"));
    EXPECT_TRUE(Enabled(w.Menus(), "mnuCheck"));  // the menu items keep their state
    EXPECT_TRUE(Enabled(w.tbToolBar(), "Delete"));
}

TEST_F(BrowseStart, SavedGroupingReplacesTheHostsUnlessAbsentOrGarbage) {
    ctx_->g_CategoryByCust = true;
    settings_->Set(bs::CategoryByCust(true), false);
    {
        BrowseBase& w = Open();
        EXPECT_FALSE(ctx_->g_CategoryByCust);
        EXPECT_TRUE(w.ItemTree());
        EXPECT_EQ(w.ldgBase().Cols(), BaseDetail::kItemLayoutCols);
        EXPECT_EQ(w.tvwBase().Node(w.tvwBase().NodeAt(1)).text, "物料");
    }
    settings_->Write(bs::kApp, bs::kSection, "CategoryByCust", "maybe");
    ctx_->g_CategoryByCust = true;
    EXPECT_FALSE(Open().ItemTree());
    settings_->Remove(bs::kApp, bs::kSection, "CategoryByCust");
    ctx_->g_CategoryByCust = false;
    EXPECT_TRUE(Open().ItemTree());
}

TEST_F(BrowseStart, CloseSavesGroupingNodeKeysSelectedRowAndColumnsPerTree) {
    BrowseBase& w = Open();
    std::int32_t cust = DeepCustomer(2);
    ClickLeaf(w, cust);
    SelectRow(w, 4);
    w.ldgBase().SetColWidth(3, 2500);
    w.ldgBase().SetColHidden(5, true);
    w.Unload();

    EXPECT_EQ(settings_->Read(bs::kApp, bs::kSection, "tvwKey101"), "gb" + std::to_string(cust));
    EXPECT_EQ(settings_->Read(bs::kApp, bs::kSection, "tvwKey101_Parent"),
              "gi" + std::to_string(ParentOf(cust)));
    EXPECT_EQ(settings_->Read(bs::kApp, bs::kSection, "LdgSelRow"), "4");
    EXPECT_EQ(settings_->Read(bs::kApp, bs::kSection, "CategoryByCust"), "True");
    EXPECT_EQ(settings_->Get(bs::ColWidth(false, 3)), 2500);
    EXPECT_TRUE(settings_->Get(bs::ColHidden(false, 5)));
    EXPECT_FALSE(settings_->Read(bs::kApp, bs::kSection, "3ICItemCol"));

    // The next window restores them; the fixed hidden columns stay hidden.
    BrowseBase& again = Open();
    EXPECT_EQ(again.ldgBase().ColWidth(3), 2500);
    EXPECT_TRUE(again.ldgBase().ColHidden(5));
    EXPECT_FALSE(again.ldgBase().ColHidden(4));
    EXPECT_TRUE(again.ldgBase().ColHidden(11));
    EXPECT_EQ(again.ldgBase().ColWidth(12), 0);
}

TEST_F(BrowseStart, GarbageColumnSettingsFallBackToTheDefaults) {
    settings_->Write(bs::kApp, bs::kSection, "3CustCol", "wide");
    settings_->Write(bs::kApp, bs::kSection, "4CustCol", "-50");
    settings_->Write(bs::kApp, bs::kSection, "5CustColHide", "perhaps");
    settings_->Write(bs::kApp, bs::kSection, "6CustCol", "900");
    BrowseBase& w = Open();
    EXPECT_EQ(w.ldgBase().ColWidth(3), 1200);
    EXPECT_EQ(w.ldgBase().ColWidth(4), 1200);
    EXPECT_FALSE(w.ldgBase().ColHidden(5));
    EXPECT_EQ(w.ldgBase().ColWidth(6), 900);

    w.Menus().Click("mnuRecoverCol");
    EXPECT_EQ(w.ldgBase().ColWidth(6), 1200);
    EXPECT_EQ(w.ldgBase().ColWidth(11), 0);  // the fixed hidden columns keep theirs
}

}  // namespace
}  // namespace orva
