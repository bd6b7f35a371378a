// The price history's part on one module connection to a company file
// (host/db/price_history.h): the functions the module's own trigger calls
// (the user, login and batch of this connection, the row hash), that
// trigger, created in the connection's temporary schema so that the file
// is not changed by opening it, and the sealing of rows another program
// wrote since the last write.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>

#include "host/db/sqlite/sqlite_statement.h"

namespace orva {

class SqliteHistory {
  public:
    // Registers the functions on the connection. Throws ComError when SQLite
    // refuses them.
    explicit SqliteHistory(sqlite3* db);

    // Whether the company has the history table; when it has, the module's
    // trigger is in place on this connection. Looked up again by Refresh
    // (after an upgrade).
    bool Active() const { return active_; }
    void Refresh();

    void SetUser(std::optional<std::int32_t> userId) { user_ = userId; }
    // One batch for every write from now on.
    void PinBatch();

    // Called inside each write transaction, before the text: a new batch,
    // and the rows another program left unsealed sealed in order. Throws
    // TsqlError.
    void StartBatch();

    // What the functions read.
    std::optional<std::int32_t> User() const { return user_; }
    const std::string& Login() const { return login_; }
    const std::string& Batch() const { return batch_; }

  private:
    sqlite3* db_;
    bool active_ = false;
    std::optional<std::int32_t> user_;
    std::string login_;
    std::string batch_;
    std::string batchPrefix_;
    std::uint64_t batches_ = 0;
    bool pinned_ = false;
    StmtHandle findUnsealed_, seal_;
};

}  // namespace orva
