// The company database and the people in it, as the host application finds
// them before it calls the module: the database is opened only after it has
// been checked to be a company database (a file that is not one is read,
// never written), the user to log on and the customer and item to preselect
// are looked up by name or code, or by ID.
//
// Every failure throws HostAppError with a localised text for the user, so
// the session's language must be set (g_Language) before these run.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace orva {
class DbBackend;
}

namespace orva::qt {

class HostAppError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// "$XDG_DATA_HOME/orvasaleprice/demo.db", or under ~/.local/share when
// XDG_DATA_HOME is unset or not absolute. Throws HostAppError when neither it
// nor HOME says where.
std::string DefaultCompanyPath();

struct OpenedCompany {
    std::string connection;              // what the session names: a path or an ODBC string
    std::unique_ptr<DbBackend> backend;  // open on it, for the look-ups below
    bool created = false;                // the demo company was made just now
};

// Opens the company named on the command line. Empty: the demo company at
// DefaultCompanyPath(), created with its folder when missing. An ODBC string:
// connects and checks the tables by reading them. Anything else is a path
// that must exist and be a SQLite file holding the company tables, checked
// read-only (host/db/sqlite/company_file_check.h) before it is opened for the module.
OpenedCompany OpenCompany(const std::string& database);

// Checks, reading only, that `path` is a SQLite company file; throws
// HostAppError with the localised reason when it is not.
void CheckCompanyFileForUser(const std::string& path);

struct CompanyUser {
    std::int32_t id = 0;
    std::string name;
};

// The user to log on: by name (without regard to case), else by ID when the
// text is a number; empty text gives the user whose own login the database
// connection is (see CheckLoginIsUser), else the administrator (the
// lowest-numbered member of group 1 not disabled). Groups are not users; a disabled user
// (FForbidden) cannot log on.
CompanyUser FindUser(DbBackend& db, const std::string& nameOrId);

// A customer (t_Organization) or item (t_ICItem) by code, short code or ID.
std::int32_t FindCustomer(DbBackend& db, const std::string& codeOrId);
std::int32_t FindItem(DbBackend& db, const std::string& codeOrId);

// The text with %1, %2 ... replaced by the arguments.
std::string FillIn(std::string text, std::initializer_list<std::string> args);

}  // namespace orva::qt
