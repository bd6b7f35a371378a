// Opening a company database from what names it: an ODBC connection string
// ("DRIVER=...;...", "DSN=...;..." or "FILEDSN=...;...") opens through ODBC, a
// PostgreSQL URI ("postgresql://...") on the server it names, anything else
// as the path of a SQLite file.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "host/db/db_backend.h"

namespace orva {

bool IsOdbcConnectionString(std::string_view connectionString);

// Opens a connection. A SQLite file must exist unless createIfMissing is set.
// Throws ComError naming the path or the driver's message.
std::unique_ptr<DbBackend> OpenDatabase(const std::string& connectionString,
                                        bool createIfMissing = false);

// Opens a company database for a program's user. A SQLite file is checked
// first, through a read-only handle, to be a company file
// (sqlite/company_file_check.h): one that is not is refused with the fault in
// English naming the path (ComError kDatabase) and left exactly as it was,
// where opening it for writing would have turned an empty or foreign file into
// a database.
std::unique_ptr<DbBackend> OpenCompanyDatabase(const std::string& connectionString);

}  // namespace orva
