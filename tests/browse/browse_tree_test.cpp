// Tree events of the browse window: node clicks with the busy flag, the
// load timing and the titles, the batch pop-up, switching trees.
#include <deque>
#include <functional>

#include "browse/browse_settings.h"
#include "browse_fixture.h"
#include "support/language_scope.h"

namespace orva {
namespace {

using BrowseTree = BrowseTest;

TEST(PassTime, MillisecondsUpToOneSecondThenSeconds) {
    test::LanguageScope chinese("CHS");
    EXPECT_EQ(PassTimeText(0.25), "250.00毫秒");
    EXPECT_EQ(PassTimeText(1.0), "1000.00毫秒");
    EXPECT_EQ(PassTimeText(2.5), "2.50 秒");
    EXPECT_EQ(PassTimeText(61.125), "61.13 秒");
    EXPECT_EQ(PassTimeText(0.0004), ".40毫秒");  // "#.00" has no digit before the point
    EXPECT_EQ(PassTimeText(0), ".00毫秒");
}

// A clock that returns the queued times in turn.
std::function<double()> Clock(std::deque<double> times) {
    return [times = std::move(times)]() mutable {
        double t = times.front();
        if (times.size() > 1)
            times.pop_front();
        return t;
    };
}

TEST_F(BrowseTree, ClickingALeafLoadsItsPricesOnceWithTimingAndTitles) {
    BrowseBase& w = Open();
    const std::int32_t cust = DeepCustomer(2);
    const std::int64_t prices = Count(
        "SELECT COUNT(*) FROM t_CustEntry e INNER JOIN t_ICItem t ON t.FItemID=e.FItemID "
        "WHERE t.FErpClsID NOT IN (6,8) AND e.FCustID=" +
        std::to_string(cust));
    w.SetClock(Clock({100.0, 100.25}));
    NodeId leaf = ClickLeaf(w, cust);
    const std::string text = w.tvwBase().Node(leaf).text;

    EXPECT_EQ(w.ldgBase().Rows(), prices + 2);
    EXPECT_EQ(w.sbStatusBar().Panel("Passtime").text, "取数据时间: 250.00毫秒");
    EXPECT_EQ(w.SSPTitleItem(),
              "对[" + text + "]  的售价信息--共计：" + std::to_string(prices) + "条记录");
    const std::string name = text.substr(text.find('(') + 1, text.size() - text.find('(') - 2);
    EXPECT_EQ(w.ldgBase().Textline(1).text, name + "价格信息");
    EXPECT_EQ(w.LastNodeKey(), "gb" + std::to_string(cust));
    EXPECT_FALSE(w.Busy());
    EXPECT_EQ(w.MousePointer(), PointerShape::kDefault);
    EXPECT_EQ(ctx_->g_LedgerRecords.get(), w.Detail()->Records());

    // The same node again: nothing is reloaded, not even the timing.
    RecordsetPtr loaded = w.Detail()->Records();
    w.SetClock(Clock({200.0, 203.0}));
    w.tvwBase().UserClick(leaf);
    EXPECT_EQ(w.Detail()->Records(), loaded);
    EXPECT_EQ(w.sbStatusBar().Panel("Passtime").text, "取数据时间: 250.00毫秒");

    // Another node and back: reloaded, and slow loads report seconds.
    ClickNode(w, "gc0");
    w.SetClock(Clock({300.0, 302.5}));
    w.tvwBase().UserClick(leaf);
    EXPECT_NE(w.Detail()->Records(), loaded);
    EXPECT_EQ(w.sbStatusBar().Panel("Passtime").text, "取数据时间: 2.50 秒");
}

TEST_F(BrowseTree, AGroupShowsTitleRowsOnlyAndACountOfZero) {
    BrowseBase& w = Open();
    ClickLeaf(w, DeepCustomer(1));
    ASSERT_GT(w.ldgBase().Rows(), 2);
    const std::int32_t group = ParentOf(DeepCustomer(1));
    NodeId node = ClickNode(w, "gi" + std::to_string(group));
    EXPECT_EQ(w.ldgBase().Rows(), 2);
    EXPECT_EQ(ctx_->g_LedgerRecords.get(), nullptr);
    EXPECT_EQ(w.SSPTitleItem(),
              "对[" + w.tvwBase().Node(node).text + "]  的售价信息--共计：0条记录");
    EXPECT_EQ(w.ldgBase().CellText(1, 3), "物料名称");  // title rows repainted
}

TEST_F(BrowseTree, AClickWhileALoadRunsIsIgnored) {
    BrowseBase& w = Open();
    const std::int32_t cust = DeepCustomer(1);
    ClickLeaf(w, cust);
    ClickNode(w, "gc0");
    const NodeId leaf = w.tvwBase().Find("gb" + std::to_string(cust));
    const NodeId group = w.tvwBase().Find("gi" + std::to_string(ParentOf(cust)));
    bool nested = false;
    // The clock is read as the load starts: let a second click arrive then,
    // as pending window events would.
    w.SetClock([&] {
        if (!nested) {
            nested = true;
            EXPECT_TRUE(w.Busy());
            EXPECT_EQ(w.MousePointer(), PointerShape::kHourglass);
            w.tvwBase().UserClick(group);
        }
        return 0.0;
    });
    w.tvwBase().UserClick(leaf);
    EXPECT_TRUE(nested);
    EXPECT_EQ(w.LastNodeKey(), "gb" + std::to_string(cust));
    EXPECT_GT(w.ldgBase().Rows(), 2);
    EXPECT_FALSE(w.Busy());
}

TEST_F(BrowseTree, RightClickOnAGroupPopsUpTheBatchMenuButNotOnALeaf) {
    BrowseBase& w = Open();
    std::vector<std::string> popups;
    Subscription sub = w.Menus().Subscribe([&](const CommandChange& c) {
        if (c.what == CommandChange::kPopup)
            popups.push_back(c.name);
    });
    const std::int32_t cust = DeepCustomer(1);
    ClickLeaf(w, cust);
    w.tvwBase().UserMouseDown(kRightButton, 0, 0, 0);
    ClickNode(w, "gi" + std::to_string(ParentOf(cust)));
    EXPECT_EQ(popups, std::vector<std::string>{"mnuBatchOperate"});
    ClickNode(w, "gb" + std::to_string(cust));
    EXPECT_EQ(popups.size(), 1u);
}

// What the clerk sees and what the commands act on agree after every way of
// changing the node: the selected node is the one whose ledger and titles are
// shown, and leaf commands are enabled only while a leaf's ledger is. An
// empty key: the root is selected and no node's ledger is shown yet.
TEST_F(BrowseTree, TheSelectedNodeIsTheOneShownAfterCollapsesAndViewSwitches) {
    BrowseBase& w = Open();
    const std::int32_t cust = DeepCustomer(1);
    const std::string leaf = "gb" + std::to_string(cust);
    const std::string group = "gi" + std::to_string(ParentOf(cust));
    auto collapse = [&](const std::string& key) {
        w.tvwBase().UserCollapse(w.tvwBase().Find(key));
    };
    auto switchTo = [&](const char* menu) { w.Menus().Click(menu); };
    struct Step {
        const char* what;
        std::function<void()> act;
        std::string shown;
    };
    const Step steps[] = {
        {"click the customer", [&] { ClickLeaf(w, cust); }, leaf},
        {"collapse its group", [&] { collapse(group); }, group},
        {"open the group, click the customer", [&] { ClickLeaf(w, cust); }, leaf},
        {"collapse the root", [&] { collapse("gc0"); }, "gc0"},
        {"click the customer", [&] { ClickLeaf(w, cust); }, leaf},
        {"switch to items", [&] { switchTo("mnuVBaseICItem"); }, ""},
        {"switch back to customers", [&] { switchTo("mnuVBaseSalePrice"); }, ""},
        {"click the customer shown before", [&] { ClickLeaf(w, cust); }, leaf},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        const NodeId selected = w.tvwBase().Selected();
        ASSERT_NE(selected, kNoNode);
        const std::string& key = w.tvwBase().Node(selected).key;
        EXPECT_EQ(w.LastNodeKey(), step.shown);
        EXPECT_EQ(key, step.shown.empty() ? "gc0" : step.shown);
        const bool onLeaf = key.rfind("gb", 0) == 0;
        EXPECT_EQ(w.ldgBase().Rows() > 2, onLeaf);
        EXPECT_EQ(w.Menus().Item("mnuEditAddItem").enabled, onLeaf);
        EXPECT_EQ(w.tbToolBar().Item("Modify").enabled, onLeaf);
        EXPECT_EQ(w.Menus().Item("mnuBatchAdd").enabled, !onLeaf);
        if (step.shown.empty()) {
            EXPECT_EQ(w.SSPTitleItem(), "");
        } else {
            EXPECT_NE(w.SSPTitleItem().find(w.tvwBase().Node(selected).text), std::string::npos)
                << w.SSPTitleItem();
        }
    }
}

TEST_F(BrowseTree, ExpandingANodeWhoseKeyDoesNotParseAddsNothing) {
    BrowseBase& w = Open();
    w.tvwBase().UserExpand(w.tvwBase().Find("gc0"));
    const int before = w.tvwBase().Count();
    NodeId odd = w.tvwBase().Add("gc0", "gi12x", "odd");
    w.tvwBase().Add("gi12x", "", "");
    w.tvwBase().UserExpand(odd);
    EXPECT_EQ(w.tvwBase().Count(), before + 2);
    EXPECT_EQ(w.tvwBase().ChildCount(odd), 1);
    w.tvwBase().UserClick(odd);  // a group-like node: the ledger empties, nothing fails
    EXPECT_EQ(w.ldgBase().Rows(), 2);
}

TEST_F(BrowseTree, SwitchingTreesRebuildsSavesTheOldColumnsAndRestoresTheNew) {
    namespace bs = browse_settings;
    settings_->Set(bs::ColWidth(true, 3), 3000);
    BrowseBase& w = Open();
    ClickLeaf(w, DeepCustomer(1));
    w.ldgBase().SetColWidth(2, 1700);

    w.Menus().Click("mnuVBaseICItem");
    EXPECT_FALSE(ctx_->g_CategoryByCust);
    EXPECT_TRUE(w.ItemTree());
    EXPECT_TRUE(w.Menus().Item("mnuVBaseICItem").checked);
    EXPECT_FALSE(w.Menus().Item("mnuVBaseSalePrice").checked);
    EXPECT_EQ(w.tvwBase().Node(w.tvwBase().Selected()).text, "物料");
    EXPECT_EQ(w.ldgBase().Rows(), 2);
    EXPECT_EQ(w.ldgBase().Cols(), BaseDetail::kItemLayoutCols);
    EXPECT_EQ(w.ldgBase().CellText(1, 2), "客户代码");
    EXPECT_TRUE(w.Detail()->ByItem());
    EXPECT_TRUE(w.tvwBase().Visible());
    EXPECT_EQ(w.SSPTitleItem(), "");
    EXPECT_EQ(settings_->Get(bs::ColWidth(false, 2)), 1700);  // saved under the customer tree
    EXPECT_EQ(w.ldgBase().ColWidth(3), 3000);                 // the item tree's own
    EXPECT_TRUE(w.ldgBase().ColHidden(10));
    EXPECT_TRUE(w.ldgBase().ColHidden(11));
    EXPECT_FALSE(w.ldgBase().ColHidden(12));
    EXPECT_TRUE(w.Menus().Item("mnuBatchAdd").enabled);  // root selected

    // The tree already shown: nothing at all happens.
    const NodeId root = w.tvwBase().Find("gc0");
    w.tbToolBar().Click("ICItem");
    EXPECT_EQ(w.tvwBase().Find("gc0"), root);

    w.tbToolBar().Click("Organization");
    EXPECT_TRUE(ctx_->g_CategoryByCust);
    EXPECT_EQ(w.tvwBase().Node(w.tvwBase().Selected()).text, "客户");
    EXPECT_EQ(w.ldgBase().Cols(), BaseDetail::kCustomerLayoutCols);
    EXPECT_EQ(w.ldgBase().ColWidth(2), 1700);
}

}  // namespace
}  // namespace orva
