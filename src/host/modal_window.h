// A window that the host shows modally. The window's own logic decides when it
// goes away: it hides itself (close, "Exit", a pick), which ends the host's
// modal loop. The user interface sees only this much of a window: its name,
// whether it is visible, and the close request of its title bar.
#pragma once

#include <functional>
#include <string>

namespace orva {

class ModalWindow {
  public:
    virtual ~ModalWindow() = default;

    // The window's class name ("BrowseBase", "frmProperty", ...): what a
    // scripted user or a view factory chooses by.
    virtual std::string WindowName() const = 0;

    bool Visible() const { return visible_; }
    // Called by the user interface as the modal loop starts.
    void MarkShown() { visible_ = true; }
    // The window hides itself; a running modal loop returns.
    void Hide();

    // The user asks to close the window (title bar button, Alt+F4). The
    // default hides it; windows that must ask or save first override this.
    virtual void QueryClose() { Hide(); }

    // The user interface listens for Hide while its modal loop runs.
    void SetHideListener(std::function<void()> listener) { hideListener_ = std::move(listener); }

  private:
    bool visible_ = false;
    std::function<void()> hideListener_;
};

}  // namespace orva
