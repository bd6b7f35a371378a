// Owning wrappers of unixODBC handles and the reading of a handle's
// diagnostic records into the error the platform raises.
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <string>
#include <string_view>

namespace orva {

// One ODBC handle of a given type, freed on destruction. Move-only.
class OdbcHandle {
  public:
    OdbcHandle() = default;
    // Allocates a handle of the type under the parent (SQL_NULL_HANDLE for an
    // environment). Throws ComError kDatabase when the driver manager refuses.
    OdbcHandle(SQLSMALLINT type, SQLHANDLE parent);
    ~OdbcHandle();
    OdbcHandle(OdbcHandle&& o) noexcept;
    OdbcHandle& operator=(OdbcHandle&& o) noexcept;
    OdbcHandle(const OdbcHandle&) = delete;
    OdbcHandle& operator=(const OdbcHandle&) = delete;

    SQLHANDLE get() const { return handle_; }
    SQLSMALLINT type() const { return type_; }

  private:
    void Free();

    SQLSMALLINT type_ = 0;
    SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

inline bool OdbcSucceeded(SQLRETURN rc) {
    return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO;
}

// The messages of every diagnostic record of the handle, one per line, in
// the driver's order, repeated messages once. Empty when there are none.
std::string OdbcDiagnostics(SQLSMALLINT type, SQLHANDLE handle);

// Whether a diagnostic record reports a second row with the same unique key:
// SQLSTATE 23000 with SQL Server's error 2627 (unique constraint) or 2601
// (unique index), or the ISO class 23505 other drivers use.
bool IsUniqueKeyViolation(std::string_view sqlState, SQLINTEGER nativeError);

// Throws ComError kDatabase (kUniqueKeyConflict when a diagnostic record of
// the handle is a unique-key violation) unless rc is a success code. The description is
// the driver's messages, or "<what> failed" when the driver gave none; a
// non-empty context is put in front ("context: messages").
void CheckOdbc(SQLRETURN rc, const OdbcHandle& h, std::string_view what,
               std::string_view context = {});

}  // namespace orva
