// The rule for the splitter between a window's tree and its ledger: the bar
// stays at least 1680 twips (112 pixels at 96 dpi) from either edge of the
// window.
#pragma once

class QSplitter;

namespace orva::qt {

constexpr int kSplitterMarginTwips = 1680;

// The bar's position (pixels from the left edge) kept inside the limits for
// a window `width` pixels wide. A window narrower than both margins puts the
// bar in its middle.
int ClampSplitterPosition(int position, int width, int dpi = 96);

// Makes a two-pane splitter keep the rule while the user drags it: neither
// pane may shrink below the margin, and panes never collapse.
void ApplySplitterLimits(QSplitter& splitter);

}  // namespace orva::qt
