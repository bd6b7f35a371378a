// Menus and toolbar state and clicks, status panels, tabs, check boxes, and
// the subscription rules every model relies on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/controls/check_box.h"
#include "host/controls/command_set.h"
#include "host/controls/signal.h"
#include "host/controls/status_bar.h"
#include "host/controls/tab_strip.h"
#include "host/controls/toolbar.h"
#include "orvasaleprice/com_error.h"

namespace orva {
namespace {

void BuildMenus(MenuBar& m) {
    m.Add("", "mnuEdit", "编辑(&E)");
    m.Add("mnuEdit", "mnuEditAddItem", "增加客户价格信息", "Ctrl+N");
    m.Add("mnuEdit", "mnuBatchOperate", "批量处理");
    m.Add("mnuBatchOperate", "mnuBatchAdd", "批量新增");
    m.AddSeparator("mnuEdit");
    m.Add("mnuEdit", "mnuEditFind", "搜索(&F)", "F3");
    m.Add("", "mnuView", "视图(&V)");
    m.Add("mnuView", "mnuViewRefresh", "刷新", "F9");
}

TEST(Menus, ClicksReachTheLogicOnlyWhenTheWholePathIsAvailable) {
    MenuBar m;
    BuildMenus(m);
    std::vector<std::string> clicked;
    auto sub = m.OnClick([&](const std::string& n) { clicked.push_back(n); });

    EXPECT_TRUE(m.Click("mnuBatchAdd"));
    m.SetEnabled("mnuBatchOperate", false);
    EXPECT_FALSE(m.Click("mnuBatchAdd"));  // a disabled submenu disables its items
    EXPECT_FALSE(m.Available("mnuBatchAdd"));
    m.SetEnabled("mnuBatchOperate", true);
    m.SetVisible("mnuEdit", false);  // selection mode hides the whole edit menu
    EXPECT_FALSE(m.PressShortcut("Ctrl+N"));
    EXPECT_FALSE(m.Click("mnuEditFind"));
    EXPECT_TRUE(m.PressShortcut("f9"));
    m.SetVisible("mnuEdit", true);
    EXPECT_TRUE(m.PressShortcut("ctrl+n"));
    EXPECT_FALSE(m.PressShortcut("Ctrl+Q"));
    EXPECT_FALSE(m.Click("no such item"));
    EXPECT_EQ(clicked,
              (std::vector<std::string>{"mnuBatchAdd", "mnuViewRefresh", "mnuEditAddItem"}));

    const auto items = m.Children("mnuEdit");
    ASSERT_EQ(items.size(), 4u);
    EXPECT_TRUE(items[2]->separator);
    EXPECT_EQ(items[3]->shortcut, "F3");
    EXPECT_EQ(m.Parent("mnuBatchAdd"), "mnuBatchOperate");
    EXPECT_THROW(m.Add("mnuEdit", "mnuEditFind", "again"), ComError);
    EXPECT_THROW(m.Add("mnuNone", "mnuX", "x"), ComError);
    EXPECT_THROW(m.SetChecked("mnuNone", true), ComError);
}

TEST(Menus, ViewsHearRealChangesAndPopups) {
    MenuBar m;
    BuildMenus(m);
    std::vector<CommandChange> seen;
    auto sub = m.Subscribe([&](const CommandChange& c) { seen.push_back(c); });
    m.SetChecked("mnuViewRefresh", true);
    m.SetChecked("mnuViewRefresh", true);  // unchanged: no notice
    m.SetCaption("mnuEditFind", "Find");
    m.PopUp("mnuBatchOperate");
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].what, CommandChange::kChanged);
    EXPECT_EQ(seen[0].name, "mnuViewRefresh");
    EXPECT_EQ(seen[2].what, CommandChange::kPopup);
    EXPECT_EQ(seen[2].name, "mnuBatchOperate");
}

TEST(Toolbar, ButtonsByKeyWithBarFlags) {
    Toolbar tb;
    tb.Add("", "New", "新增", "", "新增记录");
    tb.Add("", "Modify", "修改");
    tb.AddSeparator("", "sp1");
    tb.Add("", "Check", "审核", "", "审核价格资料");
    int barNotices = 0;
    auto sub = tb.Subscribe(
        [&](const CommandChange& c) { barNotices += c.what == CommandChange::kBar ? 1 : 0; });
    tb.SetShowCaptions(false);
    tb.SetShowCaptions(false);
    tb.SetVisible(false);
    EXPECT_EQ(barNotices, 2);
    EXPECT_FALSE(tb.ShowCaptions());
    tb.SetVisible("sp1", false);  // named separators can be hidden
    EXPECT_FALSE(tb.Item("sp1").visible);
    EXPECT_FALSE(tb.Click("sp1"));
    tb.SetEnabled("Check", false);
    EXPECT_FALSE(tb.Click("Check"));
    EXPECT_TRUE(tb.Click("New"));
}

TEST(StatusBar, PanelsByKeyAndIndex) {
    StatusBar sb;
    EXPECT_EQ(sb.AddPanel("", "ready", 4000), 1);
    EXPECT_EQ(sb.AddPanel("Passtime"), 2);
    EXPECT_THROW(sb.AddPanel("Passtime"), ComError);
    std::vector<int> seen;
    auto sub = sb.Subscribe([&](int p) { seen.push_back(p); });
    sb.SetPanelText("Passtime", "取数据时间: 250.00毫秒");
    sb.SetPanelText(1, "按物料组只提供基本计量单位的批量处理。");
    sb.SetPanelText(1, "按物料组只提供基本计量单位的批量处理。");
    EXPECT_EQ(seen, (std::vector<int>{2, 1}));
    EXPECT_EQ(sb.Panel("Passtime").text, "取数据时间: 250.00毫秒");
    EXPECT_EQ(sb.Panel(1).width, 4000);
    EXPECT_THROW(sb.Panel(3), ComError);
    EXPECT_THROW(sb.SetPanelText("Missing", "x"), ComError);
}

TEST(TabsAndChecks, UserActionsRaiseEventsCodeDoesNot) {
    TabStrip tabs;
    tabs.AddTab("[X] 属性");
    tabs.AddTab("参数设置");
    std::vector<int> previous;
    auto sub = tabs.OnClick([&](int p) { previous.push_back(p); });
    EXPECT_EQ(tabs.Tab(), 0);
    EXPECT_TRUE(tabs.UserSelect(1));
    EXPECT_TRUE(tabs.UserSelect(1));  // already there: no click
    tabs.SetTab(0);
    tabs.SetTabEnabled(1, false);
    EXPECT_FALSE(tabs.UserSelect(1));
    EXPECT_EQ(previous, std::vector<int>{0});
    tabs.SetTabCaption(tabs.Tab(), "销货信息");
    EXPECT_EQ(tabs.TabCaption(0), "销货信息");
    EXPECT_THROW(tabs.SetTab(2), ComError);

    CheckBox box("退出时立即刷新", CheckBox::kChecked);
    int clicks = 0;
    auto c = box.OnClick([&] { ++clicks; });
    box.SetValue(CheckBox::kUnchecked);
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(box.UserClick());
    EXPECT_TRUE(box.Checked());
    box.SetEnabled(false);
    EXPECT_FALSE(box.UserClick());
    EXPECT_TRUE(box.Checked());
    EXPECT_EQ(clicks, 1);
    EXPECT_THROW(box.SetValue(3), ComError);
}

TEST(Subscriptions, SubscribersMayLeaveOrJoinWhileBeingCalled) {
    Signal<int> signal;
    std::vector<std::string> calls;
    Subscription second;
    Subscription late;
    Subscription first = signal.Subscribe([&](int v) {
        calls.push_back("first" + std::to_string(v));
        second.Reset();  // the second is not called any more, even now
        if (!late.Connected()) {
            late = signal.Subscribe([&](int w) { calls.push_back("late" + std::to_string(w)); });
        }
    });
    second = signal.Subscribe([&](int v) { calls.push_back("second" + std::to_string(v)); });
    signal.Emit(1);
    signal.Emit(2);
    EXPECT_EQ(calls, (std::vector<std::string>{"first1", "first2", "late2"}));
    EXPECT_EQ(signal.SubscriberCount(), 2u);

    // A subscription that outlives its signal is harmless.
    Subscription orphan;
    {
        Signal<> gone;
        orphan = gone.Subscribe([] {});
        EXPECT_TRUE(orphan.Connected());
    }
    EXPECT_FALSE(orphan.Connected());
    orphan.Reset();
}

}  // namespace
}  // namespace orva
