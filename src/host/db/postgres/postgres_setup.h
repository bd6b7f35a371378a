// What a company database on a PostgreSQL server needs beyond its tables: the
// text collation and the functions the T-SQL layer's statements call, with
// SQL Server's results and error messages. Created once per database by the
// first client that finds them missing or outdated.
#pragma once

#include <libpq-fe.h>

#include <string>

namespace orva {

// Creates or updates the collation and functions when the database lacks
// them (serialised between clients by an advisory lock). Returns "" on
// success, else the server's message.
std::string EnsurePostgresSetup(PGconn* conn);

}  // namespace orva
