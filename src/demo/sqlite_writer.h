// Thin RAII wrappers over the raw SQLite API for bulk writing: one open
// database handle and reusable prepared statements. The generator writes
// through these rather than through the connection component because it
// inserts millions of rows in one transaction.
#pragma once

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace orva::demo {

// Raised for every failure of the generator: the text names what failed.
class GeneratorError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class SqliteFile {
  public:
    // Opens (creating) the file with the company collation registered.
    explicit SqliteFile(const std::string& path);
    ~SqliteFile();
    SqliteFile(const SqliteFile&) = delete;
    SqliteFile& operator=(const SqliteFile&) = delete;

    sqlite3* Handle() const { return db_; }
    // Runs one or more statements; throws GeneratorError with SQLite's message.
    void Exec(std::string_view sql);
    // Closes the handle now (reports a failing close); the destructor then
    // does nothing.
    void Close();

  private:
    sqlite3* db_ = nullptr;
};

class Statement {
  public:
    Statement(SqliteFile& file, std::string_view sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Binds the arguments to parameters 1..n, runs the statement to its end
    // and resets it for the next call.
    template <typename... Args>
    void Run(const Args&... args) {
        int index = 0;
        (Bind(++index, args), ...);
        Step();
    }

    // For queries: binds, then steps once; true while a row is current.
    template <typename... Args>
    void Start(const Args&... args) {
        sqlite3_reset(stmt_);
        int index = 0;
        (Bind(++index, args), ...);
    }
    bool NextRow();
    std::int64_t IntColumn(int column) const { return sqlite3_column_int64(stmt_, column); }

  private:
    void Bind(int index, int value);
    void Bind(int index, std::int64_t value);
    void Bind(int index, double value);
    void Bind(int index, std::string_view value);
    void Bind(int index, const std::string& value) { Bind(index, std::string_view(value)); }
    void Bind(int index, const char* value) { Bind(index, std::string_view(value)); }
    void Bind(int index, std::nullptr_t);
    void Bind(int index, const std::optional<int>& value);
    void Bind(int index, const std::optional<double>& value);
    void Step();
    [[noreturn]] void Fail(int rc) const;

    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace orva::demo
