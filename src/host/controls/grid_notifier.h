// Sends a grid model's notices to its views, holding them back while redraw
// is off: everything that changed in the meantime goes out as one notice
// (flagged kRedraw) when redraw is switched on again.
#pragma once

#include <functional>
#include <optional>

#include "host/controls/grid_change.h"
#include "host/controls/signal.h"

namespace orva {

class GridNotifier {
  public:
    [[nodiscard]] Subscription Subscribe(std::function<void(const GridChange&)> fn) {
        return signal_.Subscribe(std::move(fn));
    }

    void Notify(const GridChange& change) {
        if (redraw_) {
            signal_.Emit(change);
        } else if (pending_) {
            pending_->Merge(change);
        } else {
            pending_ = change;
        }
    }

    bool Redraw() const { return redraw_; }
    void SetRedraw(bool on) {
        if (on == redraw_)
            return;
        redraw_ = on;
        if (on && pending_) {
            GridChange merged = *pending_;
            pending_.reset();
            merged.parts |= GridChange::kRedraw;
            signal_.Emit(merged);
        }
    }

  private:
    Signal<const GridChange&> signal_;
    bool redraw_ = true;
    std::optional<GridChange> pending_;
};

}  // namespace orva
