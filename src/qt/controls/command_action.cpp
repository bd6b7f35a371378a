#include "qt/controls/command_action.h"

#include <QAction>

#include "qt/controls/qt_text.h"

namespace orva::qt {

void SyncAction(QAction& action, const CommandItem& item) {
    if (!item.separator) {
        action.setText(Q(item.caption));
        action.setToolTip(Q(item.toolTip.empty() ? item.caption : item.toolTip));
        action.setEnabled(item.enabled);
        if (item.checked)
            action.setCheckable(true);
        action.setChecked(item.checked);
    }
    action.setVisible(item.visible);
}

}  // namespace orva::qt
