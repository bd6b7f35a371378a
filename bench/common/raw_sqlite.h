// A raw sqlite3 connection to a company file, for the floors benchmarks
// measure the module against and for writing test data fast.
#pragma once

#include <sqlite3.h>

#include <string>
#include <vector>

namespace orva::bench {

class RawSqlite {
  public:
    enum class Mode { kReadWrite, kReadOnly };

    // Opens an existing file with the company collation and SQL functions
    // registered, as the module's connections have them. Throws when the
    // file cannot be opened.
    explicit RawSqlite(const std::string& path, Mode mode = Mode::kReadWrite);
    ~RawSqlite();
    RawSqlite(const RawSqlite&) = delete;
    RawSqlite& operator=(const RawSqlite&) = delete;

    sqlite3* db() const { return db_; }

    // The page cache and temporary store settings of the module's own
    // connections, so that a floor reads under the same conditions.
    void UseModuleSettings();

    // Runs statements; throws with sqlite's message and the text on failure.
    void Exec(const std::string& sql);

    // The first column of every row of a query, as integers.
    std::vector<int> Ints(const std::string& sql);

    // Steps through every row of a query reading every column by its type,
    // as a record set is filled; the number of rows.
    long ReadEveryCell(const std::string& sql);

  private:
    sqlite3* db_ = nullptr;
};

}  // namespace orva::bench
