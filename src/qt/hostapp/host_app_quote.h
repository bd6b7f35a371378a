// orva-saleprice --quote: the price that applies to a sales bill's line,
// printed without a window (and without Qt: it needs no display). The
// customer, item, unit and currency are found by code in the company; the
// look-up is the public PriceQuoter's (engine/price_quote.h).
#pragma once

#include <iosfwd>

#include "qt/hostapp/host_app_options.h"

namespace orva::qt {

// Answers options.quote on options.database: prints each entry that holds it
// to `out`, one line "FEntryID=.. FPrice=.. FStartQty=.. FEndQty=..
// FQuoteTime=.. FExpireDate=..", and what went wrong or was not found to
// `err`. Returns the exit status (kExitOk, kExitQuoteNone,
// kExitQuoteAmbiguous, kExitUsage for a code the company does not have,
// kExitQuoteFailure when the database cannot be opened or read).
int RunQuote(const HostAppOptions& options, std::ostream& out, std::ostream& err);

}  // namespace orva::qt
