// The company schema and a company's rows on a PostgreSQL server. The schema
// has one source (data/schema.sql); its statements are rewritten for the
// server here: text columns under the company collation become bpchar
// COLLATE orva_ci (blank-insensitive and case-insensitive comparison, as
// the translator's dialect expects), DATETIME holds the same 'yyyy-mm-dd'
// text as on SQLite.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "demo/company_schema.h"

namespace orva::demo {

// One statement of the schema, rewritten for PostgreSQL.
std::string PostgresStatement(std::string_view sqliteStatement);

// The schema's statements of that part, for PostgreSQL.
std::vector<std::string> PostgresSchemaStatements(SchemaPart part = SchemaPart::kAll);

// Copies the company held by a SQLite company file into an empty database on
// a PostgreSQL server, in one transaction: the tables, every row (by COPY),
// then the indexes. Throws GeneratorError naming the server (never its
// password) when it cannot be reached, the database already holds tables,
// or a statement fails; nothing is left half-loaded.
void CopyCompanyToPostgres(const std::string& sqlitePath, const std::string& uri);

}  // namespace orva::demo
