#include "browse/browse_layout.h"

#include <algorithm>

namespace orva {

BrowseGeometry BrowseLayout::Geometry() const {
    BrowseGeometry g;
    const int top = toolbarHeight_ + kMargin;
    const int bottom = std::max(top, height_ - statusHeight_ - kMargin);
    const int treeWidth = std::min(treeWidth_, std::max(0, width_ - 2 * kMargin - kGripWidth));
    const int bodyTop = top + kTitleHeight + kGap;
    const int bodyHeight = std::max(0, bottom - bodyTop);

    g.titleClass = {kMargin, top, treeWidth, kTitleHeight};
    g.tree = {kMargin, bodyTop, treeWidth, bodyHeight};
    g.grip = {kMargin + treeWidth, top, kGripWidth, bottom - top};
    const int right = kMargin + treeWidth + kGripWidth;
    const int rightWidth = std::max(0, width_ - right - kMargin);
    g.titleItem = {right, top, rightWidth, kTitleHeight};
    g.ledger = {right, bodyTop, rightWidth, bodyHeight};
    return g;
}

int BrowseLayout::ClampSplit(int x) const {
    return std::max(kSplitLimit, std::min(x, width_ - kSplitLimit));
}

void BrowseLayout::SplitterDown(int x) {
    dragging_ = true;
    barLeft_ = ClampSplit(x);
}

void BrowseLayout::SplitterMove(int x) {
    if (dragging_)
        barLeft_ = ClampSplit(x);
}

void BrowseLayout::SplitterUp(int x) {
    if (!dragging_)
        return;
    barLeft_ = ClampSplit(x);
    SetTreeWidth(barLeft_);
    dragging_ = false;
}

}  // namespace orva
