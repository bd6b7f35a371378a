// How the T-SQL layer's translator writes statements for a company database
// on SQLite: the collation and functions it names are the ones
// sqlite_functions.h registers on every connection.
#pragma once

#include "host/tsql/dialect.h"

namespace orva {

const tsql::Dialect& SqliteDialect();

}  // namespace orva
