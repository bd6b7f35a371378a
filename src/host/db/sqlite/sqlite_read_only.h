// Opening a SQLite company file that this user may only read: a file of mode
// 444, or one in a folder where no file can be made (an archived year, a
// read-only share). Reading it must create nothing beside it: no -journal,
// -wal or -shm, which a reader could not remove again.
#pragma once

#include <sqlite3.h>

#include <string>

namespace orva {

// Whether a write to the file could succeed: this user may write the file
// and create files in its folder (every write needs a rollback journal or a
// write-ahead log beside the file).
bool MayWriteSqliteFile(const std::string& path);

// Opens `path` for reading only, as sqlite3_open_v2 does (SQLITE_OPEN_READONLY
// and URI names are added to `flags`): SQLite's result code, and *db set as
// that call sets it. Nothing is created beside the file, whatever its
// journal mode, and what another connection commits while it is open is
// seen.
int OpenSqliteReadOnly(const std::string& path, sqlite3** db, int flags = 0);

}  // namespace orva
