// One open connection to a company database. The connection component talks
// to this interface; each database engine has one implementation (SQLite and
// PostgreSQL running the text through the T-SQL layer, translated_backend.h;
// ODBC passing it through unchanged), so no caller ever asks which engine it
// is on.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/base/batch_result.h"

namespace orva {

// The connection component every back end serves: the source its errors name.
inline constexpr const char* kConnectionProgID = "OrvaConnection.AppConnection";

// The engine's own SQL, for what the T-SQL layer does not carry (the
// company's upgrades: price_history.h).
enum class NativeDialect { kNone, kSqlite, kPostgres };

class DbBackend {
  public:
    virtual ~DbBackend() = default;

    // Runs a whole T-SQL text (one or several statements) as one unit: it is
    // applied whole or not at all. Throws ComError kDatabase carrying the
    // database's own description on failure.
    virtual BatchResult ExecuteBatch(std::string_view tsql) = 0;

    // Next number of the numbering table for a table key ("t_Cust"): atomic
    // across processes sharing the database, never one already used as
    // t_CustEntry.FEntryID.
    virtual std::int32_t NextNumber(std::string_view tableKey) = 0;

    // What this connection is open on, for messages ("SQLite /path/x.db").
    virtual std::string Describe() const = 0;

    // The company file when this connection may only read it (this user may
    // not write the file or create files in its folder), else "". Such a
    // connection refuses every text that writes to the company's tables,
    // and entry numbers, saying the file is read-only.
    virtual std::string ReadOnlyFile() const { return {}; }

    // The user of the module this connection works for, recorded by the
    // price history with every change it writes (price_history.h); nullopt
    // when it works for nobody in particular (a tool). Default: not recorded.
    virtual void SetHistoryUser(std::optional<std::int32_t> /*userId*/) {}
    // From now on every change this connection writes belongs to one batch
    // of the price history (a command working through a connection of its
    // own: the batch operations); otherwise each transaction is a batch.
    virtual void PinHistoryBatch() {}
    // Whether the company has the price history, looked up without a
    // statement of the module's (default: no).
    virtual bool HasPriceHistory() { return false; }

    // The login's name when the connection logged in as a company user's
    // own role (a member of the clerks' group role, orva_clerk), looked up
    // without a statement of the module's; none for a shared login and for
    // engines without logins per user.
    virtual std::optional<std::string> ClerkLogin() { return std::nullopt; }

    // The engine whose own SQL RunNativeScript takes; kNone when it takes
    // none.
    virtual NativeDialect Native() const { return NativeDialect::kNone; }
    // Runs statements in the engine's own SQL, past the T-SQL layer, in one
    // transaction: all or nothing. Throws ComError kDatabase.
    virtual void RunNativeScript(const std::vector<std::string>& statements);

    // Whether the company's price entries carry the unique index on the key
    // of the duplicate test that the module's own schema creates, so that
    // inserting a second entry with a key fails as a unique clash. A
    // database made elsewhere may lack it. Default: not known (no).
    virtual bool UniqueEntryKey() { return false; }
};

// Implemented by connections to databases where one caller's transaction can
// span several calls. Inside it, a failing text undoes only its own
// statements; taking an entry number joins the transaction (the number is
// still never handed out twice: other connections wait for the write lock).
class WriteGrouping {
  public:
    virtual ~WriteGrouping() = default;
    // Takes the write lock (waiting as long as a single write would).
    // Throws ComError kDatabase when it cannot be had, or when a transaction
    // is already open on this connection.
    virtual void BeginWrite() = 0;
    // Throws ComError kDatabase when the database refused the commit; the
    // transaction is rolled back then.
    virtual void CommitWrite() = 0;
    virtual void RollbackWrite() = 0;
};

// Implemented by connections that write a batch's members more cheaply than
// one by one, each whole: between BeginBatch and EndBatch a member's write
// transaction (WriteGrouping) may commit without waiting for the disk, or
// become a savepoint of a transaction that holds the members of about 50 ms.
// A member stays whole either way (a crash never leaves half of one, and a
// failing member undoes only itself), but until EndBatch a power cut or a
// crash may take back the last members. EndBatch commits and waits until
// every member is on disk, so what a batch reports as written stays written.
class BatchDurability {
  public:
    virtual ~BatchDurability() = default;
    virtual void BeginBatch() = 0;
    // Commits the members written so far, so that no lock is held while
    // the batch waits for the user (a question about one member).
    virtual void CommitPending() = 0;
    // Throws ComError kDatabase when the members cannot be made durable, or
    // when the database undid members it had taken (the message says how
    // many: a rerun of the batch writes them).
    virtual void EndBatch() = 0;
};

}  // namespace orva
