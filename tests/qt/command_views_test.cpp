// Menus, toolbar and status bar drawn from their models; the splitter rule.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "host/controls/command_set.h"
#include "host/controls/status_bar.h"
#include "host/controls/toolbar.h"
#include "host/host_utility.h"
#include "qt/controls/key_codes.h"
#include "qt/controls/menu_bar_binder.h"
#include "qt/controls/qt_text.h"
#include "qt/controls/splitter_limits.h"
#include "qt/controls/status_bar_binder.h"
#include "qt/controls/toolbar_binder.h"
#include "qt_test_app.h"

namespace orva::qt {
namespace {

class CommandViewsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::App();
        menus_.Add("", "mnuFile", "文件(&F)");
        menus_.Add("mnuFile", "mnuFileClose", "关闭", "Ctrl+X");
        menus_.Add("", "mnuEdit", "编辑(&E)");
        menus_.Add("mnuEdit", "mnuEditAddItem", "增加客户价格信息", "Ctrl+N");
        menus_.Add("mnuEdit", "mnuBatchOperate", "批量处理");
        menus_.Add("mnuBatchOperate", "mnuBatchAdd", "批量新增");
        menus_.AddSeparator("mnuEdit");
        menus_.Add("mnuEdit", "mnuEditFind", "搜索(&F)", "F3");
        menus_.Add("", "mnuview", "视图(&V)");
        menus_.Add("mnuview", "mnuViewToolbar", "工具栏(&T)");
        menus_.SetChecked("mnuViewToolbar", true);
        toolbar_.Add("", "New", "新增", "", "新增记录");
        toolbar_.Add("", "Modify", "修改");
        toolbar_.AddSeparator("", "sp1");
        toolbar_.Add("", "Exit", "退出", "", "退出基本资料系统");
        status_.AddPanel("", "", 3000);
        status_.AddPanel("Passtime", "");

        menuClicks_ = menus_.OnClick([this](const std::string& name) { clicked_.push_back(name); });
        barClicks_ =
            toolbar_.OnClick([this](const std::string& name) { clicked_.push_back(name); });
        window_ = std::make_unique<QMainWindow>();
        bar_ = new QToolBar(window_.get());
        window_->addToolBar(bar_);
        menuBinder_ = new MenuBarBinder(menus_, window_->menuBar());
        toolbarBinder_ = new ToolbarBinder(toolbar_, bar_);
        statusBinder_ = new StatusBarBinder(status_, window_->statusBar());
        window_->resize(600, 400);
        window_->show();
        window_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    }

    MenuBar menus_;
    Toolbar toolbar_;
    StatusBar status_;
    std::vector<std::string> clicked_;
    Subscription menuClicks_, barClicks_;
    std::unique_ptr<QMainWindow> window_;
    QToolBar* bar_ = nullptr;
    MenuBarBinder* menuBinder_ = nullptr;
    ToolbarBinder* toolbarBinder_ = nullptr;
    StatusBarBinder* statusBinder_ = nullptr;
};

TEST_F(CommandViewsTest, MenusCarryCaptionsMnemonicsAndShortcuts) {
    QStringList top;
    for (QAction* a : window_->menuBar()->actions()) top << a->text();
    EXPECT_EQ(top, (QStringList{"文件(&F)", "编辑(&E)", "视图(&V)"}));
    EXPECT_EQ(menuBinder_->Action("mnuEditFind")->shortcut(), QKeySequence(Qt::Key_F3));
    ASSERT_NE(menuBinder_->Menu("mnuBatchOperate"), nullptr);
    EXPECT_TRUE(menuBinder_->Action("mnuViewToolbar")->isChecked());

    QTest::keyClick(window_.get(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(clicked_, std::vector<std::string>{"mnuEditAddItem"});

    // Disabled, or inside a hidden menu: the shortcut does nothing.
    menus_.SetEnabled("mnuEditAddItem", false);
    EXPECT_FALSE(menuBinder_->Action("mnuEditAddItem")->isEnabled());
    QTest::keyClick(window_.get(), Qt::Key_N, Qt::ControlModifier);
    menus_.SetEnabled("mnuEditAddItem", true);
    menus_.SetVisible("mnuEdit", false);
    EXPECT_FALSE(menuBinder_->Action("mnuEdit")->isVisible());
    QTest::keyClick(window_.get(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(clicked_.size(), 1u);
    QTest::keyClick(window_.get(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(clicked_.back(), "mnuFileClose");
}

TEST_F(CommandViewsTest, CheckMarksFollowTheModel) {
    // The window's handler decides the check mark; the menu shows its choice.
    auto toggle = menus_.OnClick([this](const std::string& name) {
        if (name == "mnuViewToolbar")
            menus_.SetChecked(name, !menus_.Item(name).checked);
    });
    QAction* action = menuBinder_->Action("mnuViewToolbar");
    action->trigger();
    EXPECT_FALSE(menus_.Item("mnuViewToolbar").checked);
    EXPECT_FALSE(action->isChecked());
    toggle.Reset();
    action->trigger();  // nobody changes the model: the mark stays as it is
    EXPECT_FALSE(action->isChecked());
}

TEST_F(CommandViewsTest, PopUpOpensTheMenuAtThePointer) {
    bool shown = false;
    QTimer::singleShot(50, [&] {
        QWidget* popup = QApplication::activePopupWidget();
        shown = popup == menuBinder_->Menu("mnuBatchOperate");
        if (popup)
            popup->close();
    });
    menus_.PopUp("mnuBatchOperate");  // returns when the menu closes
    EXPECT_TRUE(shown);
}

TEST_F(CommandViewsTest, ToolbarButtonsAndCaptions) {
    EXPECT_EQ(bar_->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    HostUtility().ShowToolbarCaptions(toolbar_, false);
    EXPECT_EQ(bar_->toolButtonStyle(), Qt::ToolButtonIconOnly);
    HostUtility().ShowToolbarCaptions(toolbar_, true);
    EXPECT_EQ(bar_->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);

    QAction* exit = toolbarBinder_->Action("Exit");
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(exit->toolTip(), "退出基本资料系统");
    EXPECT_FALSE(exit->icon().isNull());
    QTest::mouseClick(bar_->widgetForAction(exit), Qt::LeftButton);
    EXPECT_EQ(clicked_, std::vector<std::string>{"Exit"});

    toolbar_.SetVisible("New", false);
    toolbar_.SetVisible("sp1", false);
    EXPECT_FALSE(toolbarBinder_->Action("New")->isVisible());
    EXPECT_FALSE(toolbarBinder_->Action("sp1")->isVisible());
    toolbar_.SetEnabled("Modify", false);
    QTest::mouseClick(bar_->widgetForAction(toolbarBinder_->Action("Modify")), Qt::LeftButton);
    EXPECT_EQ(clicked_.size(), 1u);
    toolbar_.SetVisible(false);
    EXPECT_FALSE(bar_->isVisible());
}

TEST_F(CommandViewsTest, StatusPanelsFollowTheModel) {
    status_.SetPanelText("Passtime", "取数据时间: 250.00毫秒");
    ASSERT_NE(statusBinder_->Panel(2), nullptr);
    EXPECT_EQ(statusBinder_->Panel(2)->text(), "取数据时间: 250.00毫秒");
    EXPECT_EQ(statusBinder_->Panel(1)->width(), 200);  // 3000 twips
    status_.SetVisible(false);
    EXPECT_FALSE(window_->statusBar()->isVisible());
}

TEST(SplitterLimitsTest, BarStaysAwayFromBothEdges) {
    EXPECT_EQ(TwipsToPixels(15), 1);
    EXPECT_EQ(TwipsToPixels(kSplitterMarginTwips), 112);
    EXPECT_EQ(TwipsToPixels(1200, 120), 100);
    EXPECT_EQ(PixelsToTwips(80), 1200);
    EXPECT_EQ(ClampSplitterPosition(50, 800), 112);
    EXPECT_EQ(ClampSplitterPosition(790, 800), 688);
    EXPECT_EQ(ClampSplitterPosition(300, 800), 300);
    EXPECT_EQ(ClampSplitterPosition(10, 150), 75);  // too narrow for both margins

    test::App();
    QSplitter splitter;
    splitter.addWidget(new QWidget);
    splitter.addWidget(new QWidget);
    ApplySplitterLimits(splitter);
    splitter.resize(800, 300);
    splitter.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&splitter));
    splitter.setSizes({10, 790});
    EXPECT_GE(splitter.sizes()[0], 112);
    splitter.setSizes({790, 10});
    EXPECT_GE(splitter.sizes()[1], 112);
}

TEST(KeyCodesTest, QtKeysBecomeThePlatformsCodes) {
    EXPECT_EQ(HostKeyCode(Qt::Key_F7), 118);
    EXPECT_EQ(HostKeyCode(Qt::Key_F8), 119);
    EXPECT_EQ(HostKeyCode(Qt::Key_Delete), 46);
    EXPECT_EQ(HostKeyCode(Qt::Key_Enter), 13);
    EXPECT_EQ(HostKeyCode(Qt::Key_S), 'S');
    EXPECT_EQ(HostShiftState(Qt::ControlModifier | Qt::ShiftModifier), kCtrlMask | kShiftMask);
}

}  // namespace
}  // namespace orva::qt
