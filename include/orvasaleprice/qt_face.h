// The module's Qt 6 windows as a host installs them. A host that runs a
// QApplication calls InstallQtFace once before the first CustFace::Show; the
// windows then open modally over the host's active window.
#pragma once

#include <string>

#include "orvasaleprice/export.h"

namespace orva::qt {

// Makes the Qt windows the module's user interface: the browse window, the
// record editor, the minimum price and find dialogs, message boxes, the
// base-data pickers, print, preview and export. The windows' saved choices
// are kept in `settingsFile`, or in the user's file
// (~/.config/orva/OrvaSalePrice.conf) when it is empty. Gives the
// application's default font fallbacks that render Chinese. Needs a running
// QApplication; Qt's own texts (file and print dialogs) follow the
// translators the host installs.
ORVA_API void InstallQtFace(const std::string& settingsFile = {});

// orva-saleprice, the host application the package installs, as a function:
// its main is `return orva::qt::RunHostApp(argc, argv);`. It takes the
// program's options (orva-saleprice --help), creates the QApplication unless
// the process has one, and returns the program's exit status.
ORVA_API int RunHostApp(int argc, char** argv);

}  // namespace orva::qt
