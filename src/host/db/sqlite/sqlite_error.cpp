#include "host/db/sqlite/sqlite_error.h"

namespace orva {

tsql::ErrorKind SqliteErrorKind(sqlite3* db, int rc) {
    using tsql::ErrorKind;
    switch (rc & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return ErrorKind::kBusy;
        case SQLITE_READONLY:
            return ErrorKind::kReadOnly;
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return ErrorKind::kCorrupt;
        case SQLITE_CONSTRAINT: {
            const int detail = sqlite3_extended_errcode(db);
            return detail == SQLITE_CONSTRAINT_UNIQUE || detail == SQLITE_CONSTRAINT_PRIMARYKEY
                       ? ErrorKind::kUniqueKey
                       : ErrorKind::kOther;
        }
        default:
            return ErrorKind::kOther;
    }
}

tsql::TsqlError SqliteError(sqlite3* db, int rc, std::size_t pos) {
    return tsql::TsqlError(sqlite3_errmsg(db), pos, SqliteErrorKind(db, rc));
}

}  // namespace orva
