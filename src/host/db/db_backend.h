// One open connection to a company database. The connection component talks
// to this interface; each database engine has one implementation (SQLite and
// PostgreSQL running the text through the T-SQL layer, translated_backend.h;
// ODBC passing it through unchanged), so no caller ever asks which engine it
// is on.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "host/base/batch_result.h"

namespace orva {

// The connection component every back end serves: the source its errors name.
inline constexpr const char* kConnectionProgID = "OrvaConnection.AppConnection";

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

// Implemented by connections whose commits need not each wait for the disk
// while a batch writes its members one by one. A member's commit stays as
// whole as ever (a crash never leaves half a member), but a power cut or a
// server stopped at once could take back the last members committed before
// it; EndBatch waits until every commit made so far is on disk, so what a
// batch reports as written stays written.
class BatchDurability {
  public:
    virtual ~BatchDurability() = default;
    virtual void BeginBatch() = 0;
    // Throws ComError kDatabase when the commits cannot be made durable.
    virtual void EndBatch() = 0;
};

}  // namespace orva
