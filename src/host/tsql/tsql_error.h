// Errors of the T-SQL layer: a statement that does not parse, a construct the
// layer does not translate, or a failure while a batch runs. `pos` is the
// byte offset in the batch text the error refers to (npos when none).
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace orva::tsql {

class TsqlError : public std::runtime_error {
  public:
    TsqlError(std::string message, std::size_t pos = std::string::npos, int sqliteCode = 0,
              bool uniqueConflict = false)
        : std::runtime_error(std::move(message)),
          pos_(pos),
          sqliteCode_(sqliteCode),
          uniqueConflict_(uniqueConflict) {}
    std::size_t Pos() const { return pos_; }
    // SQLite's result code when SQLite reported the error (SQLITE_BUSY: locked).
    int SqliteCode() const { return sqliteCode_; }
    // A statement would have written a second row with the same unique key
    // (set by engines that tell it apart in the error itself).
    bool UniqueConflict() const { return uniqueConflict_; }

  private:
    std::size_t pos_;
    int sqliteCode_;
    bool uniqueConflict_;
};

}  // namespace orva::tsql
