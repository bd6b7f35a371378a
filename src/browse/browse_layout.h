// Where the browse window's parts go, in twips: the toolbar on top, the
// status bar at the bottom, between them the tree (under its title panel) on
// the left and the ledger (under its title panel) on the right, split by a
// vertical grip that the user drags. Margins of 30 twips at the edges and
// 15 between parts. The view places its widgets from Geometry().
#pragma once

namespace orva {

struct LayoutRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const LayoutRect&) const = default;
};

struct BrowseGeometry {
    LayoutRect titleClass;  // SSPTitleClass, above the tree
    LayoutRect tree;        // tvwBase
    LayoutRect grip;        // imgSplitVer
    LayoutRect titleItem;   // SSPTitleItem, above the ledger
    LayoutRect ledger;      // ldgBase
};

class BrowseLayout {
  public:
    static constexpr int kMargin = 30;
    static constexpr int kGap = 15;
    static constexpr int kGripWidth = 60;
    static constexpr int kTitleHeight = 330;
    // The grip stays at least this far from either side of the window.
    static constexpr int kSplitLimit = 1680;
    // The tree's first width: a customer three levels down, with a code like
    // "02.01.001" and a name of ten Chinese characters or some twenty Latin
    // letters, shows whole, and the ledger keeps nearly two thirds of a
    // window of the default size.
    static constexpr int kDefaultTreeWidth = 5400;

    // The window's inner size and the heights of the bars (0 when hidden).
    void SetWindowSize(int width, int height) {
        width_ = width;
        height_ = height;
    }
    void SetBarHeights(int toolbar, int statusBar) {
        toolbarHeight_ = toolbar;
        statusHeight_ = statusBar;
    }
    int TreeWidth() const { return treeWidth_; }
    void SetTreeWidth(int twips) { treeWidth_ = twips < 0 ? 0 : twips; }

    // Lays the parts out for the present sizes.
    BrowseGeometry Geometry() const;

    // Where the grip may be dragged to: x kept between kSplitLimit from the
    // left and kSplitLimit from the right edge (the left limit wins in a
    // window narrower than both).
    int ClampSplit(int x) const;

    // The splitter: mouse-down on the grip shows the bar and starts the drag,
    // moves make the bar follow within the limits, mouse-up gives the tree
    // the bar's position as its width, hides the bar and ends the drag.
    void SplitterDown(int x);
    void SplitterMove(int x);
    void SplitterUp(int x);
    bool Dragging() const { return dragging_; }
    // picSplitVer: shown while dragging, at BarLeft().
    bool BarVisible() const { return dragging_; }
    int BarLeft() const { return barLeft_; }

  private:
    int width_ = 12000;
    int height_ = 8000;
    int toolbarHeight_ = 0;
    int statusHeight_ = 0;
    int treeWidth_ = kDefaultTreeWidth;
    bool dragging_ = false;
    int barLeft_ = 0;
};

}  // namespace orva
