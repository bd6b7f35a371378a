#include "host/db/db_backend.h"

#include "host/app_connection.h"
#include "host/base/text_util.h"
#include "host/db/odbc/odbc_backend.h"
#include "host/db/postgres/postgres_backend.h"
#include "host/db/postgres/postgres_uri.h"
#include "host/db/sqlite/sqlite_backend.h"
#include "orvasaleprice/com_error.h"

namespace orva {

bool IsOdbcConnectionString(std::string_view s) {
    s = Trim(s);
    return StartsWithNoCase(s, "DRIVER=") || StartsWithNoCase(s, "DSN=") ||
           StartsWithNoCase(s, "FILEDSN=");
}

void GroupingBackend::BeginWrite() {
    std::lock_guard lock(mu_);
    if (writeOpen_) {
        throw ComError(ComError::kDatabase,
                       "A write transaction is already open on this connection.",
                       AppConnection::kProgID);
    }
    StartWrite();
    writeOpen_ = true;
}

void GroupingBackend::CommitWrite() {
    std::lock_guard lock(mu_);
    if (!writeOpen_)
        return;
    writeOpen_ = false;
    CommitStarted();
}

void GroupingBackend::RollbackWrite() {
    std::lock_guard lock(mu_);
    if (!writeOpen_)
        return;
    writeOpen_ = false;
    RollBackStarted();
}

std::unique_ptr<DbBackend> OpenDatabase(const std::string& connectionString, bool createIfMissing) {
    if (IsOdbcConnectionString(connectionString))
        return OpenOdbcDatabase(connectionString);
    if (IsPostgresUri(connectionString))
        return OpenPostgresDatabase(connectionString);
    return OpenSqliteDatabase(std::string(Trim(connectionString)), createIfMissing);
}

}  // namespace orva
