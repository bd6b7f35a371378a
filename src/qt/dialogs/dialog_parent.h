// The window a host dialog opens over, so that it stays in front of the
// module window that asked for it.
#pragma once

class QWidget;

namespace orva::qt {

// The active modal window, else the active window (null when there is none).
QWidget* DialogParent();

}  // namespace orva::qt
