// ODBC back end (unixODBC): passes T-SQL text unchanged to the data source,
// for a company database on SQL Server.
#pragma once

#include <memory>
#include <string>

#include "host/db/db_backend.h"

namespace orva {

std::unique_ptr<DbBackend> OpenOdbcDatabase(const std::string& connectionString);

}  // namespace orva
