// SQLite back end: runs the module's T-SQL texts on an SQLite company file
// through the T-SQL layer (tsql/), with SQL Server's text collation.
#pragma once

#include <memory>
#include <string>

#include "host/db/db_backend.h"

namespace orva {

// Opens (or, with createIfMissing, creates) a SQLite company file: WAL
// journal, a busy timeout, the collation and functions of the T-SQL layer.
// ":memory:" opens a private in-memory database. A file that this user may
// not write, or that sits in a folder where they may not create files, opens
// for reading only (DbBackend::ReadOnlyFile).
std::unique_ptr<DbBackend> OpenSqliteDatabase(const std::string& path, bool createIfMissing);

}  // namespace orva
