// The module's help page (data/help/orvasaleprice.html, installed under
// share/orvasaleprice/help): where it is found and the window that shows it.
#pragma once

#include <QString>
#include <string>

class QWidget;

namespace orva::qt {

// The help file for a page name of the module ("OrvaSalePrice"), looked for
// in $ORVA_HELP_DIR, next to the program (help/ and ../share/orvasaleprice/
// help/), then in the source tree of this build; "" when none exists.
QString FindHelpFile(const std::string& page);

// Opens the page in a help window (not modal, one at a time), scrolled to the
// part in the session's language. A missing file is reported in a message
// box. Returns the window, or null when there was no file.
QWidget* ShowHelpWindow(const std::string& page, QWidget* parent);

}  // namespace orva::qt
