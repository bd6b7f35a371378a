// Errors of the T-SQL layer: a statement that does not parse, a construct the
// layer does not translate, or a failure while a batch runs. `pos` is the
// byte offset in the batch text the error refers to (npos when none).
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace orva::tsql {

// What kind of failure a database engine reported, in terms that name no
// engine: each engine sorts its own codes into these, and the back ends
// choose what to tell their caller by them.
enum class ErrorKind {
    kOther,      // any other failure, the layer's own among them
    kBusy,       // another connection held a lock past the time the statement waits
    kUniqueKey,  // a second row with the same unique key
    kReadOnly,   // the database may only be read
    kCorrupt,    // the database's storage is damaged or is no database
};

class TsqlError : public std::runtime_error {
  public:
    TsqlError(std::string message, std::size_t pos = std::string::npos,
              ErrorKind kind = ErrorKind::kOther)
        : std::runtime_error(std::move(message)), pos_(pos), kind_(kind) {}
    std::size_t Pos() const { return pos_; }
    ErrorKind Kind() const { return kind_; }

  private:
    std::size_t pos_;
    ErrorKind kind_;
};

}  // namespace orva::tsql
