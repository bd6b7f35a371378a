#include "qt/controls/splitter_limits.h"

#include <QSplitter>
#include <algorithm>

#include "qt/controls/qt_text.h"

namespace orva::qt {

int ClampSplitterPosition(int position, int width, int dpi) {
    const int margin = TwipsToPixels(kSplitterMarginTwips, dpi);
    if (width < 2 * margin)
        return width / 2;
    return std::clamp(position, margin, width - margin);
}

void ApplySplitterLimits(QSplitter& splitter) {
    const int dpi = splitter.logicalDpiX() > 0 ? splitter.logicalDpiX() : kDefaultDpi;
    const int margin = TwipsToPixels(kSplitterMarginTwips, dpi);
    splitter.setChildrenCollapsible(false);
    for (int i = 0; i < splitter.count(); ++i) {
        if (QWidget* pane = splitter.widget(i))
            pane->setMinimumWidth(std::max(pane->minimumWidth(), margin));
    }
}

}  // namespace orva::qt
