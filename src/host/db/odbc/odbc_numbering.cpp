#include "host/db/odbc/odbc_numbering.h"

#include <string>

#include "host/base/text_util.h"
#include "host/db/numbering_keys.h"
#include "orvasaleprice/com_error.h"

namespace orva {

namespace {

std::string Quote(std::string_view text) {
    return "'" + ReplaceAll(std::string(text), "'", "''") + "'";
}

// The single value of the last record set of a result, Null when none.
Variant LastScalar(const BatchResult& r) {
    for (auto it = r.recordsets.rbegin(); it != r.recordsets.rend(); ++it) {
        Recordset& rs = **it;
        if (rs.FieldCount() == 0)
            continue;
        if (rs.RecordCount() == 0)
            return Variant();
        rs.MoveFirst();
        return rs.Fields(0).Value();
    }
    return Variant();
}

std::int64_t ToNumber(const Variant& v, std::string_view what) {
    if (v.IsNull()) {
        throw ComError(ComError::kDatabase, "The numbering table t_ICMaxNum gave no number for " +
                                                std::string(what) + ".");
    }
    return v.ToInteger();
}

// SQL Server: one batch. The range lock of UPDLOCK, HOLDLOCK on the key's row
// (present or not) serialises callers until the transaction ends, so creating
// the row and counting up are atomic across processes.
class SqlServerNumbering : public OdbcNumbering {
  public:
    std::int64_t Next(std::string_view tableKey, const OdbcTextRunner& run) const override {
        return ToNumber(LastScalar(run(SqlServerNumberingBatch(tableKey))), tableKey);
    }
};

// Any other engine: the UPDATE comes first so the transaction holds the write
// lock before it reads; then the row is created if it was missing, read, and
// raised above the numbered column when that column is ahead of it.
class PortableNumbering : public OdbcNumbering {
  public:
    std::int64_t Next(std::string_view tableKey, const OdbcTextRunner& run) const override {
        const std::string key = Quote(tableKey);
        BatchResult up =
            run("UPDATE t_ICMaxNum SET FMaxNum = FMaxNum + 1 WHERE FTableName = " + key);
        if (up.rowsAffected <= 0) {
            run("INSERT INTO t_ICMaxNum (FTableName, FMaxNum) VALUES (" + key + ", 1)");
        }
        std::int64_t n = ToNumber(
            LastScalar(run("SELECT FMaxNum FROM t_ICMaxNum WHERE FTableName = " + key)), tableKey);
        if (auto col = NumberedColumnOf(tableKey)) {
            Variant used = LastScalar(run("SELECT MAX(" + std::string(col->column) + ") FROM " +
                                          std::string(col->table)));
            if (!used.IsNull() && used.ToInteger() >= n) {
                n = used.ToInteger() + 1;
                run("UPDATE t_ICMaxNum SET FMaxNum = " + std::to_string(n) +
                    " WHERE FTableName = " + key);
            }
        }
        return n;
    }
};

}  // namespace

std::string SqlServerNumberingBatch(std::string_view tableKey) {
    const std::string key = Quote(tableKey);
    std::string used = "0";
    if (auto col = NumberedColumnOf(tableKey)) {
        used = "ISNULL((SELECT MAX(" + std::string(col->column) + ") FROM " +
               std::string(col->table) + "), 0)";
    }
    return "DECLARE @n int, @m int\r\n"
           "IF NOT EXISTS (SELECT 1 FROM t_ICMaxNum WITH (UPDLOCK, HOLDLOCK) WHERE FTableName = " +
           key +
           ")\r\n"
           "    INSERT INTO t_ICMaxNum (FTableName, FMaxNum) VALUES (" +
           key +
           ", 0)\r\n"
           "SET @m = " +
           used +
           "\r\n"
           "UPDATE t_ICMaxNum SET @n = FMaxNum = (CASE WHEN FMaxNum >= @m THEN FMaxNum + 1 "
           "ELSE @m + 1 END) WHERE FTableName = " +
           key +
           "\r\n"
           "SELECT @n AS FMaxNum";
}

std::unique_ptr<OdbcNumbering> OdbcNumbering::ForDbms(std::string_view dbmsName) {
    if (FindNoCase(dbmsName, "SQL Server") != std::string_view::npos) {
        return std::make_unique<SqlServerNumbering>();
    }
    return std::make_unique<PortableNumbering>();
}

}  // namespace orva
