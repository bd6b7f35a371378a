// The progress of long work in Qt: a window-modal QProgressDialog over the
// active module window. It appears only once the work has lasted longer than
// a moment (half a second), shows "n / N" on its bar and the text of the
// step (the member being written) above it, keeps the windows painted, and
// takes Cancel, Esc and the title bar's close as the user stopping the work.
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>
#include <chrono>
#include <memory>

#include "host/progress.h"

class QProgressBar;

namespace orva::qt {

class ProgressWindow : public Progress {
  public:
    ProgressWindow();
    ~ProgressWindow() override;

    void Begin(const std::string& caption, std::int64_t total, const std::string& text,
               bool cancellable) override;
    void Step(std::int64_t done, const std::string& text) override;
    bool Cancelled() override { return cancelled_; }
    // True when the next step will be painted.
    bool TextWanted() override;
    void End() override;

    // How long work runs before the window appears (tests set 0).
    static void SetShowAfter(std::chrono::milliseconds delay);
    static std::chrono::milliseconds ShowAfter();

  private:
    void Show();
    void Paint();

    std::string caption_;
    std::unique_ptr<QProgressDialog> dialog_;
    QPointer<QProgressBar> bar_;
    QElapsedTimer started_;
    QElapsedTimer painted_;
    std::int64_t total_ = 0;
    std::int64_t done_ = 0;
    std::string text_;
    bool cancellable_ = true;
    bool cancelled_ = false;
    bool ended_ = false;
    bool arrowCursor_ = false;
};

}  // namespace orva::qt
