// Scopes of the editor window's transient state: the busy flag that keeps
// grid events raised while the window fills the grid from marking the data
// dirty, and the hourglass shown while a command runs. Each puts back what it
// found, so scopes nest.
#pragma once

#include "editor/frm_property.h"

namespace orva {

class frmProperty::BusyScope {
  public:
    explicit BusyScope(frmProperty& window) : window_(window), previous_(window.busy_) {
        window_.busy_ = true;
    }
    ~BusyScope() { window_.busy_ = previous_; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    frmProperty& window_;
    bool previous_;
};

class frmProperty::PointerScope {
  public:
    explicit PointerScope(frmProperty& window) : window_(window), previous_(window.mousePointer_) {
        window_.mousePointer_ = PointerShape::kHourglass;
    }
    ~PointerScope() { window_.mousePointer_ = previous_; }
    PointerScope(const PointerScope&) = delete;
    PointerScope& operator=(const PointerScope&) = delete;

  private:
    frmProperty& window_;
    PointerShape previous_;
};

}  // namespace orva
