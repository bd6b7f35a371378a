#include "support/scripted_ui.h"

#include <optional>

#include "host/base/text_util.h"

namespace orva {

void ScriptedUi::OnModal(std::string windowName, ModalScript script) {
    scripts_.emplace_back(std::move(windowName), std::move(script));
}

// The scripted user's side of one progress: records the calls in its run and
// presses Cancel at the step it was told to.
class ScriptedUi::Receiver : public Progress {
  public:
    explicit Receiver(ScriptedUi& ui) : ui_(ui) {}

    void Begin(const std::string& caption, std::int64_t total, const std::string& text,
               bool cancellable) override {
        ui_.progresses_.push_back({caption, total, text, cancellable, {}, 0, false});
        index_ = ui_.progresses_.size() - 1;
        // The user's Cancel is meant for work that can be stopped.
        if (cancellable && !ui_.cancelAt_.empty()) {
            cancel_ = ui_.cancelAt_.front();
            ui_.cancelAt_.pop_front();
        }
    }
    void Step(std::int64_t done, const std::string& text) override {
        ProgressRun& run = Run();
        if (run.ended)
            throw std::logic_error("a step was reported after the progress ended");
        run.steps.push_back({done, text});
        if (cancel_ && done == cancel_->done) {
            run.cancelPresses += cancel_->presses;
            cancelled_ = true;
        }
    }
    bool Cancelled() override { return cancelled_; }
    void End() override {
        if (Run().ended)
            throw std::logic_error("a progress was ended twice");
        Run().ended = true;
    }

  private:
    ProgressRun& Run() { return ui_.progresses_.at(index_); }

    ScriptedUi& ui_;
    std::optional<CancelPoint> cancel_;
    std::size_t index_ = 0;
    bool cancelled_ = false;
};

std::optional<std::string> ScriptedUi::AskText(const std::string& prompt, const std::string&,
                                               const std::string&) {
    textPrompts_.push_back(prompt);
    if (textAnswers_.empty())
        return std::nullopt;
    std::optional<std::string> answer = std::move(textAnswers_.front());
    textAnswers_.pop_front();
    return answer;
}

std::unique_ptr<Progress> ScriptedUi::CreateProgress() {
    return std::make_unique<Receiver>(*this);
}

bool ScriptedUi::ProgressOpen() const {
    for (const ProgressRun& run : progresses_) {
        if (!run.ended)
            return true;
    }
    return false;
}

void ScriptedUi::ClearRecords() {
    boxes_.clear();
    dialogs_.clear();
    assistant_.clear();
    lookups_.clear();
    help_.clear();
    modals_.clear();
    progresses_.clear();
    textPrompts_.clear();
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
    boxes_.push_back({text, title, buttons, icon, answer, ProgressOpen(), {}});
    return answer;
}

MsgResult ScriptedUi::DetailedMessageBox(const std::string& text, const std::string& detail,
                                         MsgButtons buttons, MsgIcon icon,
                                         const std::string& title) {
    const MsgResult answer = MessageBox(text, buttons, icon, title);
    boxes_.back().detail = detail;
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
