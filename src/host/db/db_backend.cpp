#include "host/db/db_backend.h"

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

std::unique_ptr<DbBackend> OpenDatabase(const std::string& connectionString, bool createIfMissing) {
    if (IsOdbcConnectionString(connectionString))
        return OpenOdbcDatabase(connectionString);
    if (IsPostgresUri(connectionString))
        return OpenPostgresDatabase(connectionString);
    return OpenSqliteDatabase(std::string(Trim(connectionString)), createIfMissing);
}

}  // namespace orva
