// TEMPORARY placeholder until the ODBC back end lands.
#include "host/odbc_backend.h"
#include "host/com_error.h"
namespace orva {
std::unique_ptr<DbBackend> OpenOdbcDatabase(const std::string& cs) {
    throw ComError(ComError::kDatabase, "ODBC back end not built yet: " + cs);
}
}  // namespace orva
