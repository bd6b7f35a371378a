// Shows a command item of the menus or the toolbar on its QAction.
#pragma once

#include "host/controls/command_set.h"

class QAction;

namespace orva::qt {

// Caption, tool tip (the caption when the item has none), enabled, checked
// and visible; a separator takes only its visibility.
void SyncAction(QAction& action, const CommandItem& item);

}  // namespace orva::qt
