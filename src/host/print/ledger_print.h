// The ledger print component ("Pagino.clsPrint"): prints or previews what a
// ledger shows, with its numbered text lines as heading and footer, on the
// ledger's page setup; and the ledger's print setup. The Qt face registers
// the real one; the core of its page layout is page_layout.h.
#pragma once

#include "host/controls/ledger.h"

namespace orva {

class LedgerPrint {
  public:
    static constexpr const char* kProgID = "Pagino.clsPrint";

    virtual ~LedgerPrint() = default;
    // Prints the ledger (preview false) or shows its print preview (true).
    // A failure raises ComError with a description for the user; a user who
    // cancels the print dialog is no failure.
    virtual void Ldg4Print(Ledger& ledger, bool preview) = 0;
    // The print setup dialog on the ledger's page setup; true when the user
    // accepted it (the ledger's page setup then holds the choice).
    virtual bool PrintSetup(Ledger& ledger) = 0;
};

}  // namespace orva
