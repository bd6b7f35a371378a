// A toolbar: buttons by key (CommandSet), plus whether the bar is shown and
// whether its buttons show their captions under the images.
#pragma once

#include "host/controls/command_set.h"

namespace orva {

class Toolbar : public CommandSet {
  public:
    using CommandSet::SetVisible;  // a button's visibility, by key

    bool Visible() const { return visible_; }
    void SetVisible(bool visible) {
        if (visible == visible_)
            return;
        visible_ = visible;
        NotifyBar();
    }
    bool ShowCaptions() const { return showCaptions_; }
    void SetShowCaptions(bool show) {
        if (show == showCaptions_)
            return;
        showCaptions_ = show;
        NotifyBar();
    }

  private:
    bool visible_ = true;
    bool showCaptions_ = true;
};

}  // namespace orva
