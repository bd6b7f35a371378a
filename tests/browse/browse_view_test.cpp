// What the browse window's view relies on: the layout and the splitter
// limits, the view toggles, help, and captions in the session's language.
#include "browse/browse_settings.h"
#include "browse_fixture.h"
#include "support/language_scope.h"

namespace orva {
namespace {

using BrowseView = BrowseTest;

TEST(BrowseLayoutTest, TheGripStaysAwayFromBothEdgesAndTheTreeTakesItsPosition) {
    BrowseLayout layout;
    layout.SetWindowSize(10000, 6000);
    layout.SetBarHeights(600, 300);
    layout.SplitterDown(5000);
    EXPECT_TRUE(layout.BarVisible());
    layout.SplitterMove(100);
    EXPECT_EQ(layout.BarLeft(), BrowseLayout::kSplitLimit);
    layout.SplitterMove(9900);
    EXPECT_EQ(layout.BarLeft(), 10000 - BrowseLayout::kSplitLimit);
    layout.SplitterUp(9990);
    EXPECT_FALSE(layout.Dragging());
    EXPECT_FALSE(layout.BarVisible());
    EXPECT_EQ(layout.TreeWidth(), 10000 - BrowseLayout::kSplitLimit);
    layout.SplitterMove(100);  // not dragging: nothing follows
    EXPECT_EQ(layout.TreeWidth(), 10000 - BrowseLayout::kSplitLimit);

    layout.SetWindowSize(3000, 6000);  // narrower than both limits: the left one wins
    EXPECT_EQ(layout.ClampSplit(2000), BrowseLayout::kSplitLimit);
}

TEST_F(BrowseView, TogglesFlipTheirCheckAndTheBarsAndRelayOut) {
    BrowseBase& w = Open();
    w.Resize(12000, 8000);
    const BrowseGeometry before = w.Layout().Geometry();

    w.Menus().Click("mnuViewToolbarLable");
    EXPECT_FALSE(w.Menus().Item("mnuViewToolbarLable").checked);
    EXPECT_FALSE(w.tbToolBar().ShowCaptions());
    EXPECT_EQ(w.tbToolBar().Item("New").caption, "新增");  // kept for showing again
    EXPECT_LT(w.Layout().Geometry().ledger.top, before.ledger.top);
    w.Menus().Click("mnuViewToolbar");
    EXPECT_FALSE(w.tbToolBar().Visible());
    w.Menus().Click("mnuViewStatusBar");
    EXPECT_FALSE(w.sbStatusBar().Visible());
    EXPECT_GT(w.Layout().Geometry().ledger.height, before.ledger.height);

    w.SplitterMouseDown(4000);
    w.SplitterMouseMove(500);
    w.SplitterMouseUp(500);
    EXPECT_EQ(w.Layout().Geometry().tree.width, BrowseLayout::kSplitLimit);
}

// A saved width that would hide the tree gives the first width (the Qt test
// of the window keeps a dragged one).
TEST_F(BrowseView, AnUnusableSavedTreeWidthGivesTheFirstWidth) {
    for (const char* saved : {"0", "-5", "wide"}) {
        settings_->Write(browse_settings::kApp, browse_settings::kOwnSection, "TreeWidth", saved);
        window_.reset();
        EXPECT_EQ(Open().Layout().TreeWidth(), BrowseLayout::kDefaultTreeWidth) << saved;
    }
}

TEST_F(BrowseView, CloseHidesTheWindowAndHelpGoesThroughTheUserInterface) {
    BrowseBase& w = Open();
    w.MarkShown();
    w.Menus().Click("mnuHelpSearchForHelpOn");
    ASSERT_EQ(ui->HelpRequests().size(), 1u);
    EXPECT_EQ(ui->HelpRequests()[0].page, "OrvaSalePrice");
    EXPECT_TRUE(w.Menus().PressShortcut("Ctrl+X"));
    EXPECT_FALSE(w.Visible());
    w.MarkShown();
    w.tbToolBar().Click("Exit");
    EXPECT_FALSE(w.Visible());
}

TEST_F(BrowseView, AnEnglishSessionTranslatesCaptionsMenusAndMessages) {
    test::LanguageScope english("ENG");
    BrowseBase& w = Open();
    EXPECT_EQ(w.Caption(), "Base Data (Customer Price Management)");
    EXPECT_EQ(w.Menus().Item("mnuFile").caption, "&File");
    EXPECT_EQ(w.Menus().Item("mnuVBaseICItem").caption, "By Item Group");
    EXPECT_EQ(w.tbToolBar().Item("Check").toolTip, "Audit the price entry");
    EXPECT_EQ(w.ldgBase().CellText(1, 2), "Item code");
    ClickLeaf(w, DeepCustomer(1));
    EXPECT_EQ(w.sbStatusBar().Panel("Passtime").text.rfind("Data read in: ", 0), 0u);
    EXPECT_NE(w.SSPTitleItem().find(" records"), std::string::npos);
}

}  // namespace
}  // namespace orva
