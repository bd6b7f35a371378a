// The host platform's shared utility object: Null replacement for values read
// from record sets, and the toolbar-caption switch of the browse window.
#pragma once

#include "host/controls/toolbar.h"
#include "orvasaleprice/variant.h"

namespace orva {

class HostUtility {
  public:
    static constexpr const char* kProgID = "OrvaHost.Utility";

    // The value unchanged, or the default when the value is Null.
    Variant NullToValue(const Variant& value, const Variant& defaultValue) const {
        return value.IsNull() ? defaultValue : value;
    }

    // Shows or hides the captions under the toolbar's button images; the
    // captions themselves are kept, so showing them again restores them.
    void ShowToolbarCaptions(Toolbar& toolbar, bool show) const { toolbar.SetShowCaptions(show); }
};

}  // namespace orva
