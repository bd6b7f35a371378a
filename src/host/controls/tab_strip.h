// A tab control: tabs with a caption and an enabled flag, one of them
// selected. Tabs are numbered from 0, as the host's tab control numbers them.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "host/controls/signal.h"

namespace orva {

class TabStrip {
  public:
    // Appends a tab and returns its number; the first tab is selected.
    int AddTab(std::string_view caption);
    int TabCount() const { return static_cast<int>(tabs_.size()); }
    // Raise ComError kItemNotFound for an unknown tab.
    const std::string& TabCaption(int tab) const;
    void SetTabCaption(int tab, std::string_view caption);
    bool TabEnabled(int tab) const;
    void SetTabEnabled(int tab, bool enabled);

    // The selected tab, -1 while there is none.
    int Tab() const { return selected_; }
    // By code: no click event.
    void SetTab(int tab);

    // The view hears that something changed and reads the model again.
    [[nodiscard]] Subscription Subscribe(std::function<void()> fn) {
        return changes_.Subscribe(std::move(fn));
    }
    // Click: the user selected another tab; the argument is the tab selected before.
    [[nodiscard]] Subscription OnClick(std::function<void(int previousTab)> fn) {
        return clicked_.Subscribe(std::move(fn));
    }
    // The user selects a tab: refused (false) when it is disabled; raises
    // the click event when the selection changes.
    bool UserSelect(int tab);

  private:
    struct Entry {
        std::string caption;
        bool enabled = true;
    };
    Entry& At(int tab);
    const Entry& At(int tab) const;

    std::vector<Entry> tabs_;
    int selected_ = -1;
    Signal<> changes_;
    Signal<int> clicked_;
};

}  // namespace orva
