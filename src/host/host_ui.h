// What the host's user interface does for the module: modal windows, message
// boxes, the message dialog, the assistant, base-data lookup dialogs and help.
// The Qt build supplies a real one; tests supply a scripted user. One instance
// is current per process, set by the host.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/dictionary.h"
#include "host/message_dialog.h"
#include "host/modal_window.h"
#include "host/progress.h"

namespace orva {

// Buttons of a plain message box (the platform's style values).
enum class MsgButtons : int {
    kOK = 0,
    kOKCancel = 1,
    kAbortRetryIgnore = 2,
    kYesNoCancel = 3,
    kYesNo = 4,
    kRetryCancel = 5,
    kCancelTryContinue = 6,
};

enum class MsgIcon : int {
    kNone = 0,
    kCritical = 16,
    kQuestion = 32,
    kExclamation = 48,
    kInformation = 64,
};

// The button pressed (the platform's result values).
enum class MsgResult : int {
    kOK = 1,
    kCancel = 2,
    kAbort = 3,
    kRetry = 4,
    kIgnore = 5,
    kYes = 6,
    kNo = 7,
    kTryAgain = 10,
    kContinue = 11,
};

// The buttons of a style, left to right.
std::vector<MsgResult> ButtonsOf(MsgButtons buttons);
// What a user who cannot be asked answers: the button that changes nothing
// (OK where it is the only one, else Cancel, No or Abort).
MsgResult SafeAnswer(MsgButtons buttons);

// A base-data lookup dialog request (the entry points of "VardaGLView.GLView").
struct LookupRequest {
    // "ItemLookUp", "UnitLookup", "SubMesLookup", "CurrencyLookup",
    // "SettTypeLookup" or "AccountLookup".
    std::string method;
    // ItemLookUp and SubMesLookup: the item class; UnitLookup: its number
    // argument. 0 for the others.
    std::int32_t classID = 0;
    std::string first;   // the search text
    std::string second;  // ItemLookUp only: the second text (a filter condition)
    Dictionary params;   // ItemLookUp only: the parameter set
};

struct LookupReply {
    bool ok = false;                     // the user confirmed a row
    std::shared_ptr<Dictionary> record;  // the chosen row's properties, or none
};

class HostUi {
  public:
    virtual ~HostUi() = default;

    // Shows the help page of the module for a window.
    virtual void ShowHelp(std::int32_t hwnd, const std::string& helpPage) = 0;

    // A plain message box; returns the button pressed. An empty title means
    // the interface's default caption.
    virtual MsgResult MessageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                                 const std::string& title) = 0;
    // The same with a detail shown apart from the text: a cause as the
    // system or a component reported it, often in another language than the
    // session's, for whoever has to act on it. The default, for interfaces
    // that only write the box down, puts it on the lines under the text.
    virtual MsgResult DetailedMessageBox(const std::string& text, const std::string& detail,
                                         MsgButtons buttons, MsgIcon icon,
                                         const std::string& title);

    // A fresh message dialog. The default collects the content and calls
    // ShowMessageDialog when the dialog is shown.
    virtual std::shared_ptr<MessageDialog> CreateMessageDialog();
    // Shows a message dialog's content modally; returns its Result (non-zero
    // for Yes to a question).
    virtual std::int32_t ShowMessageDialog(const MessageDialogContent& content) = 0;

    // Shows the window modally: marks it shown and returns once the window
    // has hidden itself. A scripted user runs its script for the window.
    virtual void ShowModal(ModalWindow& window) = 0;

    // The assistant's notice ("TesmarAssistant.Assistant" Show).
    virtual void ShowAssistant(const std::string& description, std::int16_t mode) = 0;

    // Opens a base-data lookup dialog.
    virtual LookupReply Lookup(const LookupRequest& request) = 0;

    // A fresh receiver for the progress of one piece of long work, or none
    // when this interface shows no progress (the default). Long work reaches
    // it through ProgressScope.
    virtual std::unique_ptr<Progress> CreateProgress();

    // Asks for one line of text: a prompt, a title and the line filled with
    // `initial`; nothing when the user cancels. The default, for interfaces
    // that cannot ask, cancels.
    virtual std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                               const std::string& initial);
};

// The current user interface. When the host set none, a headless one: message
// boxes and dialogs are written to standard error and answered with the safe
// button, lookups are cancelled, and a modal window cannot be shown (ComError).
HostUi& CurrentUi();
void SetCurrentUi(std::shared_ptr<HostUi> ui);
std::shared_ptr<HostUi> CurrentUiPtr();

}  // namespace orva
