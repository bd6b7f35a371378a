#include "qt/dialogs/dialog_parent.h"

#include <QApplication>

namespace orva::qt {

QWidget* DialogParent() {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

}  // namespace orva::qt
