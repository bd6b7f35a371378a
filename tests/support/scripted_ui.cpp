#include "support/scripted_ui.h"

#include "host/text_util.h"

namespace orva {

void ScriptedUi::OnModal(std::string windowName, ModalScript script) {
    scripts_.emplace_back(std::move(windowName), std::move(script));
}

void ScriptedUi::ClearRecords() {
    boxes_.clear();
    dialogs_.clear();
    assistant_.clear();
    lookups_.clear();
    help_.clear();
    modals_.clear();
    unanswered_ = 0;
}

void ScriptedUi::ShowHelp(std::int32_t hwnd, const std::string& helpPage) {
    help_.push_back({hwnd, helpPage});
}

MsgResult ScriptedUi::MessageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                                 const std::string& title) {
    MsgResult answer;
    if (!boxAnswers_.empty()) {
        answer = boxAnswers_.front();
        boxAnswers_.pop_front();
    } else {
        answer = SafeAnswer(buttons);
        if (ButtonsOf(buttons).size() > 1)
            ++unanswered_;
    }
    boxes_.push_back({text, title, buttons, icon, answer});
    return answer;
}

std::int32_t ScriptedUi::ShowMessageDialog(const MessageDialogContent& content) {
    std::int32_t result = 0;
    if (!dialogAnswers_.empty()) {
        result = dialogAnswers_.front();
        dialogAnswers_.pop_front();
    } else if (content.kind == MessageDialog::kQuestion) {
        ++unanswered_;
    }
    dialogs_.push_back({content, result});
    return result;
}

void ScriptedUi::ShowModal(ModalWindow& window) {
    std::string name = window.WindowName();
    modals_.push_back(name);
    window.MarkShown();
    for (auto it = scripts_.begin(); it != scripts_.end(); ++it) {
        if (it->first.empty() || EqualsNoCase(it->first, name)) {
            ModalScript script = std::move(it->second);
            scripts_.erase(it);
            script(window);
            break;
        }
    }
    if (window.Visible())
        window.QueryClose();
    if (window.Visible()) {
        throw std::logic_error("the modal window " + name + " stayed open after its script");
    }
}

void ScriptedUi::ShowAssistant(const std::string& description, std::int16_t mode) {
    assistant_.push_back({description, mode});
}

LookupReply ScriptedUi::Lookup(const LookupRequest& request) {
    lookups_.push_back(request);
    if (lookupAnswers_.empty())
        return {};
    LookupReply reply = std::move(lookupAnswers_.front());
    lookupAnswers_.pop_front();
    return reply;
}

ScriptedUiScope::ScriptedUiScope() : ui_(std::make_shared<ScriptedUi>()) {
    SetCurrentUi(ui_);
}

ScriptedUiScope::~ScriptedUiScope() {
    SetCurrentUi(nullptr);
}

}  // namespace orva
