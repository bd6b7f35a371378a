#include "host/db/odbc/odbc_handle.h"

#include <utility>
#include <vector>

#include "orvasaleprice/com_error.h"

namespace orva {

OdbcHandle::OdbcHandle(SQLSMALLINT type, SQLHANDLE parent) : type_(type) {
    SQLRETURN rc = SQLAllocHandle(type, parent, &handle_);
    if (!OdbcSucceeded(rc)) {
        handle_ = SQL_NULL_HANDLE;
        std::string why;
        if (parent != SQL_NULL_HANDLE) {
            why =
                OdbcDiagnostics(type == SQL_HANDLE_STMT ? SQL_HANDLE_DBC : SQL_HANDLE_ENV, parent);
        }
        throw ComError(ComError::kDatabase,
                       why.empty() ? "The ODBC driver manager could not allocate a handle." : why);
    }
}

OdbcHandle::~OdbcHandle() {
    Free();
}

OdbcHandle::OdbcHandle(OdbcHandle&& o) noexcept
    : type_(o.type_), handle_(std::exchange(o.handle_, SQLHANDLE{})) {}

OdbcHandle& OdbcHandle::operator=(OdbcHandle&& o) noexcept {
    if (this != &o) {
        Free();
        type_ = o.type_;
        handle_ = std::exchange(o.handle_, SQLHANDLE{});
    }
    return *this;
}

void OdbcHandle::Free() {
    if (handle_ != SQL_NULL_HANDLE)
        SQLFreeHandle(type_, handle_);
    handle_ = SQL_NULL_HANDLE;
}

std::string OdbcDiagnostics(SQLSMALLINT type, SQLHANDLE handle) {
    std::vector<std::string> seen;
    std::string out;
    for (SQLSMALLINT i = 1;; ++i) {
        SQLCHAR state[6] = {};
        SQLINTEGER native = 0;
        std::vector<SQLCHAR> msg(1024);
        SQLSMALLINT len = 0;
        SQLRETURN rc = SQLGetDiagRec(type, handle, i, state, &native, msg.data(),
                                     static_cast<SQLSMALLINT>(msg.size()), &len);
        if (rc == SQL_SUCCESS_WITH_INFO && len >= static_cast<SQLSMALLINT>(msg.size())) {
            // The message was cut: ask again with room for all of it.
            msg.resize(static_cast<std::size_t>(len) + 1);
            rc = SQLGetDiagRec(type, handle, i, state, &native, msg.data(),
                               static_cast<SQLSMALLINT>(msg.size()), &len);
        }
        if (!OdbcSucceeded(rc))
            break;
        std::string text(reinterpret_cast<const char*>(msg.data()));
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        if (text.empty())
            text = "SQLSTATE " + std::string(reinterpret_cast<char*>(state));
        bool repeated = false;
        for (const auto& s : seen) repeated = repeated || s == text;
        if (repeated)
            continue;
        seen.push_back(text);
        if (!out.empty())
            out += '\n';
        out += text;
    }
    return out;
}

bool IsUniqueKeyViolation(std::string_view sqlState, SQLINTEGER nativeError) {
    return (sqlState == "23000" && (nativeError == 2627 || nativeError == 2601)) ||
           sqlState == "23505";
}

namespace {

bool HasUniqueKeyViolation(SQLSMALLINT type, SQLHANDLE handle) {
    for (SQLSMALLINT i = 1;; ++i) {
        SQLCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLCHAR msg[2] = {};
        SQLSMALLINT len = 0;
        const SQLRETURN rc = SQLGetDiagRec(type, handle, i, state, &native, msg, sizeof msg, &len);
        if (!OdbcSucceeded(rc))
            return false;
        if (IsUniqueKeyViolation(reinterpret_cast<const char*>(state), native))
            return true;
    }
}

}  // namespace

void CheckOdbc(SQLRETURN rc, const OdbcHandle& h, std::string_view what, std::string_view context) {
    if (OdbcSucceeded(rc))
        return;
    std::string msg;
    bool uniqueConflict = false;
    if (rc != SQL_INVALID_HANDLE) {
        msg = OdbcDiagnostics(h.type(), h.get());
        uniqueConflict = HasUniqueKeyViolation(h.type(), h.get());
    }
    if (msg.empty())
        msg = std::string(what) + " failed (ODBC return code " + std::to_string(rc) + ").";
    if (!context.empty())
        msg = std::string(context) + ": " + msg;
    throw ComError(uniqueConflict ? ComError::kUniqueKeyConflict : ComError::kDatabase, msg);
}

}  // namespace orva
