#include "host/db/open_database.h"

#include "host/base/text_util.h"
#include "host/db/odbc/odbc_backend.h"
#include "host/db/postgres/postgres_backend.h"
#include "host/db/postgres/postgres_uri.h"
#include "host/db/sqlite/company_file_check.h"
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

std::unique_ptr<DbBackend> OpenCompanyDatabase(const std::string& connectionString) {
    if (!IsOdbcConnectionString(connectionString) && !IsPostgresUri(connectionString)) {
        const std::string path(Trim(connectionString));
        // A path holding a NUL names no file: opening it says so.
        if (path.find('\0') == std::string::npos) {
            if (auto fault = CheckCompanyFile(path))
                throw ComError(ComError::kDatabase, fault->Describe(path), kConnectionProgID);
        }
    }
    return OpenDatabase(connectionString);
}

}  // namespace orva
