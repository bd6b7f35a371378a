#include "qt/windows/property_view_registration.h"

#include <QDialog>

#include "editor/frm_property.h"
#include "qt/controls/qt_text.h"
#include "qt/dialogs/modal_view_registry.h"
#include "qt/dialogs/modal_window_dialog.h"
#include "qt/windows/property_window.h"

namespace orva::qt {

void RegisterPropertyView() {
    ModalViewRegistry::Register<frmProperty>(
        "frmProperty", [](frmProperty& logic, QDialog& host) -> QWidget* {
            host.setWindowTitle(Q(logic.Caption()));
            // Esc cancels typing in a cell; it does not close the window.
            if (auto* dialog = qobject_cast<ModalWindowDialog*>(&host))
                dialog->SetEscapeCloses(false);
            auto* view = new PropertyWindow(logic, &host);
            host.resize(view->sizeHint());
            return view;
        });
}

}  // namespace orva::qt
