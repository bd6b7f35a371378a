// PostgreSQL back end: runs the module's T-SQL texts on a company database
// on a PostgreSQL server through the T-SQL layer (tsql/) in its PostgreSQL
// dialect, so that many clients can work on one company.
#pragma once

#include <memory>
#include <string>

#include "host/db/db_backend.h"

namespace orva {

// Opens a connection from a PostgreSQL URI; the password comes from the URI,
// PGPASSWORD or ~/.pgpass as libpq finds it. Sets the database up for the
// T-SQL layer when it lacks the collation or functions. Throws ComError
// (kDatabase) naming the server, never the password.
std::unique_ptr<DbBackend> OpenPostgresDatabase(const std::string& uri);

}  // namespace orva
