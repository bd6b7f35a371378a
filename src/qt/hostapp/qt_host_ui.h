// The host's user interface in Qt: message boxes, the message dialog, modal
// windows (through ModalViewRegistry), the assistant's notice, the base-data
// lookups and help. Dialogs open over the active window.
#pragma once

#include <string>

#include "host/host_ui.h"

namespace orva::qt {

class QtHostUi : public HostUi {
  public:
    void ShowHelp(std::int32_t hwnd, const std::string& helpPage) override;
    MsgResult MessageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                         const std::string& title) override;
    // The detail goes behind the box's "Show Details..." button.
    MsgResult DetailedMessageBox(const std::string& text, const std::string& detail,
                                 MsgButtons buttons, MsgIcon icon,
                                 const std::string& title) override;
    std::int32_t ShowMessageDialog(const MessageDialogContent& content) override;
    // Raises ComError when no view is registered for the window's name; an
    // error of the view's factory is passed on after the window is hidden.
    void ShowModal(ModalWindow& window) override;
    void ShowAssistant(const std::string& description, std::int16_t mode) override;
    // ItemLookUp (classes 1 to 9), UnitLookup, SubMesLookup and
    // CurrencyLookup open the base-data picker; the company database keeps
    // no settlement types or accounts, so those lookups raise ComError.
    LookupReply Lookup(const LookupRequest& request) override;
    // A progress window over the active window (qt/dialogs/progress_window.h).
    std::unique_ptr<Progress> CreateProgress() override;
    std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                       const std::string& initial) override;
};

// Makes the Qt face the host's: QtHostUi as the current user interface, the
// Qt list window under "OrvaBaseList.BaseList", the export component and
// the column chooser (qt_export.h), the ledger print component
// (qt_ledger_print.h), and the settings store on
// QSettings (the user's file, or `settingsFile` when given). The host
// application calls it once, after RegisterHostServices and with a
// QApplication running.
void InstallQtHost(const std::string& settingsFile = {});

}  // namespace orva::qt
