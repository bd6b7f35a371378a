// The ledger statement the browse window builds for the first customer of a
// company (the only one in the large benchmark companies), built as the
// window builds it: logged on as the administrator, the customer tree made.
#pragma once

#include <string>

namespace orva::bench {

// Logs on to `company`, builds the statement and closes the shared
// connection again.
std::string FirstCustomerLedgerSql(const std::string& company);

}  // namespace orva::bench
