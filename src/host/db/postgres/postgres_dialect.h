// How the T-SQL layer's translator writes statements for a company database
// on a PostgreSQL server: the collation and functions it names are the ones
// postgres_setup.h creates in the database.
#pragma once

#include "host/tsql/dialect.h"

namespace orva {

const tsql::Dialect& PostgresDialect();

}  // namespace orva
