// Qt's own texts (the file dialog's "Look in", "Save", the print dialog's
// buttons) in the session's language, so a Chinese session does not meet
// English labels inside our dialogs.
#pragma once

#include <string>

namespace orva::qt {

// Installs Qt's translation for `language` ("CHS" or "ENG") on the running
// application, replacing one installed before. English needs none. Returns
// false when Chinese is asked for and Qt's translation files are missing
// (the dialogs then stay in English; nothing else changes).
bool InstallQtTranslations(const std::string& language);

}  // namespace orva::qt
