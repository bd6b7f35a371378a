// Entry numbers for new rows ("t_Cust" numbers t_CustEntry.FEntryID): an
// atomic counter in the table t_ICMaxNum, one row per table key, taken in one
// IMMEDIATE transaction so that processes sharing the file never get the same
// number (or in the write transaction the connection has open, which holds
// the write lock too). A number is also never one already used in the
// column the key numbers (numbering_keys.h).
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "host/db/numbering_keys.h"
#include "host/db/sqlite/sqlite_statement.h"

namespace orva {

// The numbering table, as the schema declares it too.
inline constexpr const char* kNumberingTableSql =
    "CREATE TABLE IF NOT EXISTS t_ICMaxNum (FTableName VARCHAR(50) COLLATE ORVA_CI NOT NULL "
    "PRIMARY KEY, FMaxNum INTEGER NOT NULL)";

class SqliteNumbering {
  public:
    // `where` names the database in messages.
    SqliteNumbering(sqlite3* db, std::string where) : db_(db), where_(std::move(where)) {}

    // Throws ComError (kDatabase) when the database is locked past the busy
    // timeout, on any SQLite failure, or when the key's numbers are used up.
    std::int32_t Next(std::string_view tableKey);

  private:
    sqlite3_stmt* Prepare(StmtHandle& h, const char* sql);
    std::int64_t HighestUsed(std::string_view tableKey);
    [[noreturn]] void Fail(const std::string& what, int rc);

    sqlite3* db_;
    std::string where_;
    bool tableReady_ = false;
    StmtHandle begin_, commit_, rollback_, read_, write_;
    // The statements reading the highest number in use, by numbered column.
    std::unordered_map<const NumberedColumn*, StmtHandle> highest_;
};

}  // namespace orva
