// Read access to a generated company file for the generator's tests: a raw
// SQLite connection with the company collation and functions registered,
// and small query helpers.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

namespace orva::test {

class DemoDb {
  public:
    explicit DemoDb(const std::string& path);
    ~DemoDb();
    DemoDb(const DemoDb&) = delete;
    DemoDb& operator=(const DemoDb&) = delete;

    // First column of the first row as an integer (0 when no row).
    std::int64_t Int(const std::string& sql) const;
    // First column of the first row as text ("" when no row, NULL as "NULL").
    std::string Text(const std::string& sql) const;
    // Every row, columns joined by '|', NULL as "NULL".
    std::vector<std::string> Rows(const std::string& sql) const;
    // Every table's rows in a fixed order, for comparing two files.
    std::vector<std::string> Dump() const;
    // Column names of a table.
    std::vector<std::string> Columns(const std::string& table) const;
    sqlite3* Handle() const { return db_; }

  private:
    sqlite3* db_ = nullptr;
};

}  // namespace orva::test
