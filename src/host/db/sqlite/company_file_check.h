// The check a SQLite file passes before a program opens it as a company
// database: it exists, is a regular file, reads as a SQLite database and
// holds the company tables. The check only reads, and creates nothing beside
// the file (host/db/sqlite/sqlite_read_only.h), so a file that fails it and its folder
// are left exactly as they were (opening it for writing would turn an empty
// or foreign file into a database; a reader of a file in WAL mode would
// leave a -wal and a -shm behind).
#pragma once

#include <optional>
#include <string>

namespace orva {

// The tables a company database must hold for the module to work on it.
inline constexpr const char* kCompanyTables[] = {
    "t_CustEntry",   "t_Cust",     "t_Item", "t_Organization", "t_ICItem",
    "t_MeasureUnit", "t_Currency", "t_User", "t_Group",        "t_SystemProfile"};

// Why a file is not a company database; each program words it for its user.
struct CompanyFileFault {
    enum class Kind {
        kMissing,       // no such file
        kNotAFile,      // a directory or a device
        kUnreadable,    // not a SQLite database, or it cannot be read: detail is SQLite's text
        kMissingTable,  // a SQLite database without a company table: detail names it
    };
    Kind kind;
    std::string detail;

    // The fault in English, naming the path: for tools without a
    // translated user interface.
    std::string Describe(const std::string& path) const;
};

// Nothing when `path` is a SQLite company file, else what is wrong with it.
std::optional<CompanyFileFault> CheckCompanyFile(const std::string& path);

}  // namespace orva
