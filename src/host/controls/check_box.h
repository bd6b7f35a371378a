// A check box: caption, value (0 unticked, 1 ticked, 2 greyed), enabled and
// visible. Setting the value by code raises no event; a click by the user
// flips it between 0 and 1 and raises the click event.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "host/controls/signal.h"

namespace orva {

class CheckBox {
  public:
    static constexpr int kUnchecked = 0;
    static constexpr int kChecked = 1;
    static constexpr int kGrayed = 2;

    explicit CheckBox(std::string_view caption = {}, int value = kUnchecked)
        : caption_(caption), value_(value) {}

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string_view caption) {
        caption_.assign(caption);
        changes_.Emit();
    }
    int Value() const { return value_; }
    bool Checked() const { return value_ == kChecked; }
    // 0, 1 or 2; anything else raises ComError.
    void SetValue(int value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) {
        enabled_ = enabled;
        changes_.Emit();
    }
    bool Visible() const { return visible_; }
    void SetVisible(bool visible) {
        visible_ = visible;
        changes_.Emit();
    }

    [[nodiscard]] Subscription Subscribe(std::function<void()> fn) {
        return changes_.Subscribe(std::move(fn));
    }
    [[nodiscard]] Subscription OnClick(std::function<void()> fn) {
        return clicked_.Subscribe(std::move(fn));
    }
    // False (nothing changes) when the box is disabled or hidden.
    bool UserClick();

  private:
    std::string caption_;
    int value_;
    bool enabled_ = true;
    bool visible_ = true;
    Signal<> changes_;
    Signal<> clicked_;
};

}  // namespace orva
