#include "host/host_ui.h"

#include <iostream>

#include "orvasaleprice/com_error.h"

namespace orva {

std::vector<MsgResult> ButtonsOf(MsgButtons buttons) {
    using R = MsgResult;
    switch (buttons) {
        case MsgButtons::kOK:
            return {R::kOK};
        case MsgButtons::kOKCancel:
            return {R::kOK, R::kCancel};
        case MsgButtons::kAbortRetryIgnore:
            return {R::kAbort, R::kRetry, R::kIgnore};
        case MsgButtons::kYesNoCancel:
            return {R::kYes, R::kNo, R::kCancel};
        case MsgButtons::kYesNo:
            return {R::kYes, R::kNo};
        case MsgButtons::kRetryCancel:
            return {R::kRetry, R::kCancel};
        case MsgButtons::kCancelTryContinue:
            return {R::kCancel, R::kTryAgain, R::kContinue};
    }
    return {R::kOK};
}

MsgResult SafeAnswer(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::kOK:
            return MsgResult::kOK;
        case MsgButtons::kYesNo:
            return MsgResult::kNo;
        case MsgButtons::kAbortRetryIgnore:
            return MsgResult::kAbort;
        default:
            return MsgResult::kCancel;
    }
}

std::shared_ptr<MessageDialog> HostUi::CreateMessageDialog() {
    return std::make_shared<StandardMessageDialog>(*this);
}

MsgResult HostUi::DetailedMessageBox(const std::string& text, const std::string& detail,
                                     MsgButtons buttons, MsgIcon icon, const std::string& title) {
    return MessageBox(detail.empty() ? text : text + "\n\n" + detail, buttons, icon, title);
}

std::unique_ptr<Progress> HostUi::CreateProgress() {
    return nullptr;
}

std::optional<std::string> HostUi::AskText(const std::string&, const std::string&,
                                           const std::string&) {
    return std::nullopt;
}

namespace {

// No user to show anything to: report on standard error and answer safely.
class HeadlessUi : public HostUi {
  public:
    void ShowHelp(std::int32_t, const std::string&) override {}

    MsgResult MessageBox(const std::string& text, MsgButtons buttons, MsgIcon,
                         const std::string& title) override {
        std::cerr << (title.empty() ? "OrvaSalePrice" : title) << ": " << text << '\n';
        return SafeAnswer(buttons);
    }

    std::int32_t ShowMessageDialog(const MessageDialogContent& c) override {
        std::cerr << (c.title.empty() ? "OrvaSalePrice" : c.title) << ": " << c.headline << '\n';
        for (auto& line : c.details) std::cerr << "  " << line << '\n';
        return 0;
    }

    void ShowModal(ModalWindow& window) override {
        throw ComError(ComError::kGeneric,
                       "No user interface is set to show the window " + window.WindowName() + ".");
    }

    void ShowAssistant(const std::string& description, std::int16_t) override {
        std::cerr << description << '\n';
    }

    LookupReply Lookup(const LookupRequest&) override { return {}; }
};

std::shared_ptr<HostUi>& Slot() {
    // Process-wide: a host installs its user interface once, for every module
    // instance it creates.
    static std::shared_ptr<HostUi> ui = std::make_shared<HeadlessUi>();
    return ui;
}

}  // namespace

HostUi& CurrentUi() {
    return *Slot();
}

std::shared_ptr<HostUi> CurrentUiPtr() {
    return Slot();
}

void SetCurrentUi(std::shared_ptr<HostUi> ui) {
    Slot() = ui ? std::move(ui) : std::make_shared<HeadlessUi>();
}

}  // namespace orva
