// Public enumerations of the OrvaSalePrice component.
#pragma once

#include <cstdint>

namespace orva {

// How CustFace::Show opens the browse window.
enum Enu_ShowMode : std::int32_t {
    // Maintenance: add, modify, delete, audit; activating a ledger row opens
    // the record editor.
    showedit = 0,
    // Selection: editing commands hidden; activating a ledger row selects it
    // for the host.
    ShowSelect = 1,
};

// What activating a ledger row returns in selection mode.
enum Enu_RType : std::int32_t {
    ReturnItem = 0,   // the price entry, as a one-row record set of t_CustEntry
    ReturnClass = 1,  // nothing; the user closes the window
};

}  // namespace orva
