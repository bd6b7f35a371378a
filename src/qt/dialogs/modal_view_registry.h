// Which widget draws which window. The module's windows are logic classes
// (ModalWindow); the Qt face registers, per window class name, a factory
// that builds the window's widget around the logic object. QtHostUi::
// ShowModal looks the factory up, puts the widget into a modal dialog and
// runs it until the logic hides the window.
//
//   ModalViewRegistry::Register<frmSELowPrice>(
//       "frmSELowPrice", [](frmSELowPrice& logic, QDialog& host) -> QWidget* {
//           host.setWindowTitle(...);
//           return new LowPriceView(logic, &host);
//       });
//
// The factory runs after the window is marked shown; the widget it returns
// (a child of `host`) fills the dialog and is destroyed with it when the
// modal run ends. A factory may throw; ShowModal then hides the window and
// passes the error on.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "host/modal_window.h"
#include "orvasaleprice/com_error.h"

class QWidget;

namespace orva::qt {

class ModalViewRegistry {
  public:
    using Factory = std::function<QWidget*(ModalWindow& window, QDialog& host)>;

    // Replaces what was registered under the name (compared without regard
    // to case, as window names are).
    static void Register(const std::string& windowName, Factory factory);
    // The same for a window of a known class: a window of another class
    // under that name raises ComError.
    template <class W>
    static void Register(const std::string& windowName,
                         std::function<QWidget*(W& window, QDialog& host)> make) {
        Register(windowName, [make = std::move(make)](ModalWindow& w, QDialog& host) -> QWidget* {
            auto* typed = dynamic_cast<W*>(&w);
            if (!typed) {
                throw ComError(ComError::kTypeMismatch,
                               "The window " + w.WindowName() + " is not of the registered class.");
            }
            return make(*typed, host);
        });
    }
    static void Unregister(const std::string& windowName);
    // The factory for the name, or an empty function.
    static Factory Find(const std::string& windowName);
};

}  // namespace orva::qt
