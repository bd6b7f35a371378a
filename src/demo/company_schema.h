// The company database schema (data/schema.sql, built into the library) and
// how it is put into a new SQLite file.
#pragma once

#include <sqlite3.h>

#include <string>
#include <string_view>
#include <vector>

namespace orva::demo {

// The text of data/schema.sql as it was when the library was built.
std::string_view SchemaSql();

// Splits a script into its statements at semicolons outside quotes and
// comments. Comments are dropped; statements come back trimmed, empty ones
// left out.
std::vector<std::string> SplitSqlStatements(std::string_view script);

// CREATE INDEX and CREATE UNIQUE INDEX statements (any letter case).
bool IsIndexStatement(std::string_view statement);

enum class SchemaPart {
    kTables,   // every statement except the index definitions
    kIndexes,  // only the index definitions
    kAll,
};

// Runs the schema's statements of that part on an open connection (which must
// have the company collation registered). Throws GeneratorError naming the
// failing statement.
void ApplySchema(sqlite3* db, SchemaPart part = SchemaPart::kAll);

// Registers on the connection the text collation ORVA_CI and the functions
// of the T-SQL layer, without which the schema's tables cannot be created or
// read.
void RegisterCompanyCollation(sqlite3* db);

}  // namespace orva::demo
