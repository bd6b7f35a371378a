// TEMPORARY placeholder until the SQLite back end lands.
#include "host/sqlite_backend.h"
#include "host/com_error.h"
namespace orva {
std::unique_ptr<DbBackend> OpenSqliteDatabase(const std::string& path, bool) {
    throw ComError(ComError::kDatabase, "SQLite back end not built yet: " + path);
}
}  // namespace orva
