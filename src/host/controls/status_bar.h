// A status bar: panels in order, each with an optional key, a text and a
// width (twips; 0 lets the panel take the room that is left).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "host/controls/signal.h"

namespace orva {

struct StatusPanel {
    std::string key;
    std::string text;
    int width = 0;
};

class StatusBar {
  public:
    // Appends a panel and returns its 1-based index. A key already used
    // raises ComError kDuplicateKey.
    int AddPanel(std::string_view key = {}, std::string_view text = {}, int width = 0);
    int PanelCount() const { return static_cast<int>(panels_.size()); }
    // 1-based index of the panel with that key, 0 when none.
    int PanelIndex(std::string_view key) const;
    // Raise ComError kItemNotFound for an unknown index or key.
    const StatusPanel& Panel(int index) const;
    const StatusPanel& Panel(std::string_view key) const;
    void SetPanelText(int index, std::string_view text);
    void SetPanelText(std::string_view key, std::string_view text);
    void SetPanelWidth(int index, int twips);

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);

    // The view hears which panel changed (0: the bar's visibility or a new panel).
    [[nodiscard]] Subscription Subscribe(std::function<void(int panel)> fn) {
        return changes_.Subscribe(std::move(fn));
    }

  private:
    int CheckedIndex(int index) const;
    int CheckedIndex(std::string_view key) const;

    std::vector<StatusPanel> panels_;
    bool visible_ = true;
    Signal<int> changes_;
};

}  // namespace orva
