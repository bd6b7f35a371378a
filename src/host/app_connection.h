// The connection component "OrvaConnection.AppConnection": the module's only
// path to the company database. A default-constructed component opens the
// database named by the host session (key "DBConnection" of the session
// string), which must be an ODBC string, a PostgreSQL URI or a SQLite company
// file (checked read-only first, OpenCompanyDatabase in
// host/db/open_database.h); every instance has a connection of its own, as
// separate component instances would.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "host/db/db_backend.h"
#include "orvasaleprice/recordset.h"

namespace orva {

class AppConnection {
  public:
    static constexpr const char* kProgID = kConnectionProgID;
    // Session key holding the database: a SQLite path or an ODBC string.
    static constexpr const char* kSessionKey = "DBConnection";

    AppConnection();  // opens the session's database
    // Opens the database named by the session string given (a module
    // instance with a session of its own).
    explicit AppConnection(std::string_view sessionString);
    explicit AppConnection(std::unique_ptr<DbBackend> backend);

    // Runs the text. For a query: a record set on its first row. For
    // statements without rows: an empty, closed-for-nothing record set with no
    // columns. Throws ComError with the database's description on failure.
    RecordsetPtr Execute(std::string_view sql);
    // The form with the affected-rows variable (as the single-record update
    // calls it).
    RecordsetPtr Execute(std::string_view sql, std::int16_t& recordsAffected);
    RecordsetPtr GetAnyRecordset(std::string_view sql);
    // A fresh entry number for the table key; below 1 means failure.
    std::int32_t GetICMaxNum(std::string_view tableKey);
    // Shows the module's help for the window through the host user interface.
    void ShowHelp(std::int32_t hwnd);

    DbBackend& Backend() { return *backend_; }

  private:
    std::unique_ptr<DbBackend> backend_;
};

// Connection string of the current host session ("" when none is set).
std::string SessionConnectionString();

}  // namespace orva
