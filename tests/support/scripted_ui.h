// A scripted user for tests: stands in for the host user interface, records
// everything the module shows and answers from queues set up by the test.
//
//   ScriptedUiScope ui;                          // installed as CurrentUi()
//   ui->AnswerMessageBox(MsgResult::kYes);       // next question: Yes
//   ui->AnswerDialog(1);                         // next message dialog: Yes
//   ui->OnModal<BrowseBase>("BrowseBase", [&](BrowseBase& w) {
//       w.SelectEntry(42);                       // what the user does
//   });
//   face.Show(ShowSelect);
//   EXPECT_EQ(ui->MessageBoxes().at(0).title, "Tesmar提示");
//
// Message boxes: answered from the queue; when it is empty, with the safe
// button (OK when it is the only one, else Cancel, No or Abort; SafeAnswer in
// host/host_ui.h), and the call is counted in UnansweredQuestions() when the
// box had a choice. Message dialogs: Result from the dialog queue, 0 (No)
// when empty. Lookups: from the lookup queue, cancelled when empty.
// Modal windows: the window is marked shown and the first queued script whose
// window name matches (without regard to case; "" matches any window) runs
// with it; scripts may show further modal windows, which take their own
// scripts from the same queue. When the script is done (or none was queued)
// and the window is still visible, the user closes it (QueryClose); a window
// that stays open even then is an error in the test (std::logic_error).
// Progress: every piece of long work is recorded with its steps; the user
// presses Cancel at a chosen step (CancelProgressAt), else lets it run.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/host_ui.h"

namespace orva {

class ScriptedUi : public HostUi {
  public:
    struct MessageBoxCall {
        std::string text;
        std::string title;
        MsgButtons buttons = MsgButtons::kOK;
        MsgIcon icon = MsgIcon::kNone;
        MsgResult answer = MsgResult::kOK;
        bool overProgress = false;  // shown while a progress was open
        std::string detail;         // shown apart from the text (DetailedMessageBox)
    };
    struct DialogCall {
        MessageDialogContent content;  // title, headline, details, kind, help
        std::int32_t result = 0;
    };
    struct AssistantCall {
        std::string description;
        std::int16_t mode = 0;
    };
    struct HelpCall {
        std::int32_t hwnd = 0;
        std::string page;
    };
    struct ProgressStep {
        std::int64_t done = 0;
        std::string text;
    };
    struct ProgressRun {
        std::string caption;
        std::int64_t total = 0;
        std::string firstText;
        bool cancellable = true;
        std::vector<ProgressStep> steps;
        int cancelPresses = 0;  // Cancel presses the user made
        bool ended = false;
    };
    using ModalScript = std::function<void(ModalWindow&)>;

    // --- Answers, consumed in order -------------------------------------
    void AnswerMessageBox(MsgResult answer) { boxAnswers_.push_back(answer); }
    void AnswerDialog(std::int32_t result) { dialogAnswers_.push_back(result); }
    void AnswerLookup(LookupReply reply) { lookupAnswers_.push_back(std::move(reply)); }
    // The next line of text asked for: the text typed, or nothing (Cancel).
    // Cancelled when the queue is empty.
    void AnswerText(std::optional<std::string> text) { textAnswers_.push_back(std::move(text)); }
    // The next progress begun that can be stopped: the user presses Cancel
    // when the work reports that `done` steps are finished (so exactly `done`
    // steps were worked through), `presses` times. Queued cancels apply to
    // such progresses in order.
    void CancelProgressAt(std::int64_t done, int presses = 1) {
        cancelAt_.push_back({done, presses});
    }
    // What the user does while the named window is up.
    void OnModal(std::string windowName, ModalScript script);
    // The same with the window's own type (std::logic_error when the shown
    // window is of another type).
    template <class W>
    void OnModal(std::string windowName, std::function<void(W&)> script) {
        OnModal(std::move(windowName), [script = std::move(script)](ModalWindow& w) {
            auto* typed = dynamic_cast<W*>(&w);
            if (!typed)
                throw std::logic_error("scripted window has another type: " + w.WindowName());
            script(*typed);
        });
    }

    // --- Records ----------------------------------------------------------
    const std::vector<MessageBoxCall>& MessageBoxes() const { return boxes_; }
    std::vector<std::string> MessageBoxTexts() const {
        std::vector<std::string> texts;
        for (const MessageBoxCall& box : boxes_) texts.push_back(box.text);
        return texts;
    }
    const std::vector<DialogCall>& Dialogs() const { return dialogs_; }
    const std::vector<AssistantCall>& AssistantNotices() const { return assistant_; }
    const std::vector<LookupRequest>& Lookups() const { return lookups_; }
    const std::vector<HelpCall>& HelpRequests() const { return help_; }
    // The prompts of the lines of text asked for, in order.
    const std::vector<std::string>& TextPrompts() const { return textPrompts_; }
    // Names of the windows shown modally, in order.
    const std::vector<std::string>& ModalWindows() const { return modals_; }
    const std::vector<ProgressRun>& Progresses() const { return progresses_; }
    // Questions (boxes with a choice, dialogs of kind 1) that found no answer.
    int UnansweredQuestions() const { return unanswered_; }
    // Scripts still queued (a test may expect 0 at its end).
    std::size_t PendingScripts() const { return scripts_.size(); }
    // Forgets the records; queued answers and scripts stay.
    void ClearRecords();

    // --- HostUi -----------------------------------------------------------
    void ShowHelp(std::int32_t hwnd, const std::string& helpPage) override;
    MsgResult MessageBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                         const std::string& title) override;
    MsgResult DetailedMessageBox(const std::string& text, const std::string& detail,
                                 MsgButtons buttons, MsgIcon icon,
                                 const std::string& title) override;
    std::int32_t ShowMessageDialog(const MessageDialogContent& content) override;
    void ShowModal(ModalWindow& window) override;
    void ShowAssistant(const std::string& description, std::int16_t mode) override;
    LookupReply Lookup(const LookupRequest& request) override;
    std::unique_ptr<Progress> CreateProgress() override;
    std::optional<std::string> AskText(const std::string& prompt, const std::string& title,
                                       const std::string& initial) override;

  private:
    class Receiver;
    struct CancelPoint {
        std::int64_t done = 0;
        int presses = 1;
    };
    bool ProgressOpen() const;

    std::deque<CancelPoint> cancelAt_;
    std::vector<ProgressRun> progresses_;
    std::deque<MsgResult> boxAnswers_;
    std::deque<std::int32_t> dialogAnswers_;
    std::deque<LookupReply> lookupAnswers_;
    std::deque<std::optional<std::string>> textAnswers_;
    std::vector<std::string> textPrompts_;
    std::deque<std::pair<std::string, ModalScript>> scripts_;

    std::vector<MessageBoxCall> boxes_;
    std::vector<DialogCall> dialogs_;
    std::vector<AssistantCall> assistant_;
    std::vector<LookupRequest> lookups_;
    std::vector<HelpCall> help_;
    std::vector<std::string> modals_;
    int unanswered_ = 0;
};

// Installs a fresh ScriptedUi as the current user interface for its lifetime
// and puts the headless default back afterwards.
class ScriptedUiScope {
  public:
    ScriptedUiScope();
    ~ScriptedUiScope();
    ScriptedUiScope(const ScriptedUiScope&) = delete;
    ScriptedUiScope& operator=(const ScriptedUiScope&) = delete;

    ScriptedUi& operator*() { return *ui_; }
    ScriptedUi* operator->() { return ui_.get(); }

  private:
    std::shared_ptr<ScriptedUi> ui_;
};

}  // namespace orva
