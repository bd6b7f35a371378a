#include "host/db/odbc/odbc_backend.h"

#include <limits>
#include <stdexcept>
#include <string>
#include <utility>

#include "host/base/text_util.h"
#include "host/db/odbc/odbc_connection_string.h"
#include "host/db/odbc/odbc_handle.h"
#include "host/db/odbc/odbc_numbering.h"
#include "host/db/odbc/odbc_result_reader.h"
#include "orvasaleprice/com_error.h"

namespace orva {

namespace {

// One connection through the ODBC driver manager. Autocommit is off: every
// text runs in a transaction of its own that is committed when the whole text
// has run and rolled back when any part of it fails.
class OdbcBackend : public DbBackend {
  public:
    explicit OdbcBackend(const std::string& connectionString);
    ~OdbcBackend() override;

    BatchResult ExecuteBatch(std::string_view tsql) override;
    std::int32_t NextNumber(std::string_view tableKey) override;
    std::string Describe() const override;
    // The price history on SQL Server (data/price_history_sqlserver.sql)
    // reads the module's user from the session context; a server without
    // it records none.
    void SetHistoryUser(std::optional<std::int32_t> userId) override {
        try {
            ExecuteBatch("EXEC sp_set_session_context N'orva.user', N'" +
                         (userId ? std::to_string(*userId) : std::string()) + "'");
        } catch (const std::runtime_error&) {
        }
    }
    bool HasPriceHistory() override {
        try {
            ExecuteBatch("SELECT COUNT(*) FROM t_CustEntryHistory WHERE 1=0");
            return true;
        } catch (const std::runtime_error&) {
            return false;
        }
    }

  private:
    // Sends one text and drains every result it produces, within the open
    // transaction.
    BatchResult RunText(std::string_view text);
    template <class F>
    auto InTransaction(F&& work);
    void EndTransaction(SQLSMALLINT completion);

    OdbcHandle env_;
    OdbcHandle dbc_;
    bool connected_ = false;
    std::string shownString_;  // the connection string without its password
    std::string dbmsName_;
    std::unique_ptr<OdbcNumbering> numbering_;
};

OdbcBackend::OdbcBackend(const std::string& connectionString)
    : shownString_(RedactConnectionString(Trim(connectionString))) {
    const std::string context = "Cannot open the ODBC data source " + shownString_;
    env_ = OdbcHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
    CheckOdbc(SQLSetEnvAttr(env_.get(), SQL_ATTR_ODBC_VERSION,
                            reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
              env_, "SQLSetEnvAttr", context);
    dbc_ = OdbcHandle(SQL_HANDLE_DBC, env_.get());

    // Narrow calls: text travels as UTF-8 (ClientCharset=UTF-8 for FreeTDS).
    std::string cs(Trim(connectionString));
    SQLRETURN rc = SQLDriverConnect(dbc_.get(), nullptr, reinterpret_cast<SQLCHAR*>(cs.data()),
                                    static_cast<SQLSMALLINT>(cs.size()), nullptr, 0, nullptr,
                                    SQL_DRIVER_NOPROMPT);
    CheckOdbc(rc, dbc_, "SQLDriverConnect", context);
    connected_ = true;

    SQLCHAR name[256] = {};
    SQLSMALLINT len = 0;
    if (OdbcSucceeded(SQLGetInfo(dbc_.get(), SQL_DBMS_NAME, name, sizeof name, &len))) {
        dbmsName_ = reinterpret_cast<const char*>(name);
    }
    rc = SQLSetConnectAttr(dbc_.get(), SQL_ATTR_AUTOCOMMIT,
                           reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), SQL_IS_UINTEGER);
    CheckOdbc(rc, dbc_, "SQLSetConnectAttr", context + " (transactions)");
    numbering_ = OdbcNumbering::ForDbms(dbmsName_);
}

OdbcBackend::~OdbcBackend() {
    if (connected_) {
        SQLEndTran(SQL_HANDLE_DBC, dbc_.get(), SQL_ROLLBACK);
        SQLDisconnect(dbc_.get());
    }
}

std::string OdbcBackend::Describe() const {
    return "ODBC " + (dbmsName_.empty() ? std::string() : dbmsName_ + " ") + shownString_;
}

BatchResult OdbcBackend::RunText(std::string_view text) {
    OdbcHandle stmt(SQL_HANDLE_STMT, dbc_.get());
    std::string sql(text);
    BatchResult result;
    SQLRETURN rc = SQLExecDirect(stmt.get(), reinterpret_cast<SQLCHAR*>(sql.data()),
                                 static_cast<SQLINTEGER>(sql.size()));
    // SQL_NO_DATA: a searched UPDATE or DELETE that touched no row; later
    // statements of the text may still have results.
    if (rc != SQL_NO_DATA)
        CheckOdbc(rc, stmt, "SQLExecDirect");
    for (;;) {
        SQLSMALLINT columns = 0;
        CheckOdbc(SQLNumResultCols(stmt.get(), &columns), stmt, "SQLNumResultCols");
        if (columns > 0) {
            result.recordsets.push_back(ReadOdbcResult(stmt, columns));
        } else {
            SQLLEN count = -1;
            if (OdbcSucceeded(SQLRowCount(stmt.get(), &count)) && count >= 0) {
                result.rowsAffected = static_cast<long>(count);
            }
        }
        // Every result is drained before the next: without multiple active
        // result sets the server refuses new work while one is pending.
        rc = SQLMoreResults(stmt.get());
        if (rc == SQL_NO_DATA)
            break;
        CheckOdbc(rc, stmt, "SQLMoreResults");
    }
    return result;
}

void OdbcBackend::EndTransaction(SQLSMALLINT completion) {
    CheckOdbc(SQLEndTran(SQL_HANDLE_DBC, dbc_.get(), completion), dbc_, "SQLEndTran");
}

template <class F>
auto OdbcBackend::InTransaction(F&& work) {
    try {
        auto result = work();
        EndTransaction(SQL_COMMIT);
        return result;
    } catch (...) {
        // The statement handle is gone by now, which discards pending results;
        // a failing rollback must not hide the error that caused it.
        SQLEndTran(SQL_HANDLE_DBC, dbc_.get(), SQL_ROLLBACK);
        throw;
    }
}

BatchResult OdbcBackend::ExecuteBatch(std::string_view tsql) {
    if (Trim(tsql).empty())
        return {};
    return InTransaction([&] { return RunText(tsql); });
}

std::int32_t OdbcBackend::NextNumber(std::string_view tableKey) {
    std::int64_t n = InTransaction([&] {
        return numbering_->Next(tableKey, [this](std::string_view t) { return RunText(t); });
    });
    if (n < 1 || n > std::numeric_limits<std::int32_t>::max()) {
        throw ComError(ComError::kDatabase, "The numbering table t_ICMaxNum gave " +
                                                std::to_string(n) + " for " +
                                                std::string(tableKey) + ", not a valid number.");
    }
    return static_cast<std::int32_t>(n);
}

}  // namespace

std::unique_ptr<DbBackend> OpenOdbcDatabase(const std::string& connectionString) {
    return std::make_unique<OdbcBackend>(connectionString);
}

}  // namespace orva
