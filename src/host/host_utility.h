// The host platform's shared utility object: Null replacement for values read
// from record sets, and the toolbar-caption switch of the browse window.
#pragma once

#include "host/variant.h"

namespace orva {

// A toolbar whose buttons can show their captions or icons only; the
// toolbar's model implements it.
class CaptionedToolbar {
  public:
    virtual ~CaptionedToolbar() = default;
    virtual void SetCaptionsVisible(bool visible) = 0;
    virtual bool CaptionsVisible() const = 0;
};

class HostUtility {
  public:
    static constexpr const char* kProgID = "OrvaHost.Utility";

    // The value unchanged, or the default when the value is Null.
    Variant NullToValue(const Variant& value, const Variant& defaultValue) const {
        return value.IsNull() ? defaultValue : value;
    }

    // Shows or hides the button captions of a toolbar; the captions
    // themselves are kept, so showing them again restores them.
    void ShowToolbarCaptions(CaptionedToolbar& toolbar, bool show) const {
        toolbar.SetCaptionsVisible(show);
    }
};

}  // namespace orva
