// Runs the translated statements of the T-SQL layer on one SQLite
// connection, preparing each statement once and keeping it on its step.
#pragma once

#include <sqlite3.h>

#include "host/tsql/statement_runner.h"

namespace orva {

// Reads the rows of a stepped statement into a record set (the first row is
// already stepped when firstStep is SQLITE_ROW). expectedRows sizes the
// buffer (the row count of the statement's previous run).
RecordsetPtr ReadRecordset(sqlite3* db, sqlite3_stmt* stmt, int firstStep, long expectedRows,
                           long& rows);

class SqliteRunner final : public tsql::StatementRunner {
  public:
    explicit SqliteRunner(sqlite3* db) : db_(db) {}

    RecordsetPtr Query(const tsql::Step& step, std::size_t i, const tsql::Parameters& params,
                       long& rows) override;
    std::int64_t Execute(const tsql::Step& step, std::size_t i,
                         const tsql::Parameters& params) override;
    std::int64_t LastRow(const tsql::Step& step, std::size_t i, const tsql::Parameters& params,
                         std::vector<Variant>& last) override;
    void DropTempTable(const std::string& name, std::size_t pos) override;

  private:
    sqlite3_stmt* Prepared(const tsql::Step& step, std::size_t i);
    sqlite3_stmt* Bound(const tsql::Step& step, std::size_t i, const tsql::Parameters& params);

    sqlite3* db_;
};

}  // namespace orva
