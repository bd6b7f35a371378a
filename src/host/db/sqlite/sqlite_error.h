// SQLite's failures as the T-SQL layer reports them: SQLite's message and
// the kind of failure its result code names.
#pragma once

#include <sqlite3.h>

#include <cstddef>
#include <string>

#include "host/tsql/tsql_error.h"

namespace orva {

// The kind of the failure SQLite reported with result code `rc` on `db`.
// Called before anything else runs on the connection: SQLite keeps the
// detailed code of the last failure (which constraint failed) only until the
// next call.
tsql::ErrorKind SqliteErrorKind(sqlite3* db, int rc);

// The failure with SQLite's message for it, at `pos` in the batch text.
tsql::TsqlError SqliteError(sqlite3* db, int rc, std::size_t pos = std::string::npos);

}  // namespace orva
