#include "host/db/sqlite/company_file_check.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <set>

#include "host/base/text_util.h"
#include "host/db/sqlite/sqlite_read_only.h"

namespace orva {
namespace {

// Names of the tables of a SQLite file (lower case), or the reason it
// cannot be read. A 0-byte file reads as a database without tables.
std::optional<CompanyFileFault> ReadTables(const std::string& path, std::set<std::string>& names) {
    sqlite3* db = nullptr;
    sqlite3_stmt* stmt = nullptr;
    int rc = OpenSqliteReadOnly(path, &db);
    if (rc == SQLITE_OK) {
        // Another client writing the company file (or recovering its
        // write-ahead log) holds it only briefly: wait as the company's own
        // connections do rather than call a busy file unreadable.
        sqlite3_busy_timeout(db, 5000);
        rc = sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type='table'", -1, &stmt,
                                nullptr);
    }
    while (rc == SQLITE_OK || rc == SQLITE_ROW) {
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW) {
            names.insert(ToLowerAscii(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))));
        }
    }
    std::optional<CompanyFileFault> fault;
    if (rc != SQLITE_DONE) {
        fault = CompanyFileFault{CompanyFileFault::Kind::kUnreadable,
                                 db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)};
    }
    sqlite3_finalize(stmt);
    sqlite3_close_v2(db);
    return fault;
}

}  // namespace

std::string CompanyFileFault::Describe(const std::string& path) const {
    switch (kind) {
        case Kind::kMissing:
            return "The company database " + path + " does not exist.";
        case Kind::kNotAFile:
            return "The company database " + path + " is not a file.";
        case Kind::kUnreadable:
            return "The company database " + path + " cannot be opened: " + detail;
        case Kind::kMissingTable:
            return path + " is not a company database (the table " + detail + " is missing).";
    }
    return path;
}

std::optional<CompanyFileFault> CheckCompanyFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return CompanyFileFault{CompanyFileFault::Kind::kMissing, {}};
    if (!S_ISREG(st.st_mode))
        return CompanyFileFault{CompanyFileFault::Kind::kNotAFile, {}};
    std::set<std::string> tables;
    if (auto fault = ReadTables(path, tables))
        return fault;
    for (const char* table : kCompanyTables) {
        if (!tables.count(ToLowerAscii(table)))
            return CompanyFileFault{CompanyFileFault::Kind::kMissingTable, table};
    }
    return std::nullopt;
}

}  // namespace orva
