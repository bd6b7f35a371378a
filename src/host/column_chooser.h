// The host's column visibility dialog ("OrvaHost.ColumnChooser"): lets the
// user tick which columns of a ledger are shown and applies the choice to
// the ledger's hidden flags. The Qt face registers the real one.
#pragma once

#include "host/controls/ledger.h"

namespace orva {

class ColumnChooser {
  public:
    static constexpr const char* kProgID = "OrvaHost.ColumnChooser";

    virtual ~ColumnChooser() = default;
    // True when the user confirmed a choice (the ledger then has it).
    virtual bool Show(Ledger& ledger) = 0;
};

}  // namespace orva
