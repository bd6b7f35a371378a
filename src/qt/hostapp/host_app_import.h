// orva-saleprice --import: a price list brought in without a window (and
// without Qt: it needs no display). The user is logged on as for the
// windows, so the import runs with the user's rights; the rows are planned
// and written by the module's import (import/import_plan.h).
#pragma once

#include <iosfwd>

#include "qt/hostapp/host_app_options.h"

namespace orva::qt {

// Imports options.importFile into options.database (only plans it with
// options.dryRun) and writes the refused rows to options.rejectsFile when
// one is named. Prints one line "<outcome>: <count>" per outcome that rows
// have to `out`, and each refused row ("<file>, row N: <reason>") and any
// failure to `err`. Returns kExitOk when every row was written or unchanged
// (would be, with --dry-run), kExitFailure when rows were refused or the
// file or the database could not be read, kExitUsage for a --customer or
// --item the company does not have.
int RunImport(const HostAppOptions& options, std::ostream& out, std::ostream& err);

}  // namespace orva::qt
