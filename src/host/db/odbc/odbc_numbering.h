// How the ODBC back end hands out numbers of the numbering table
// t_ICMaxNum(FTableName, FMaxNum), one way per database engine. The counter
// of a table key never goes below the highest number already used in the
// table it numbers (t_Cust -> t_CustEntry.FEntryID), and the row of a key is
// created on first use.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "host/db/db_backend.h"

namespace orva {

// Runs one SQL text inside the caller's open transaction.
using OdbcTextRunner = std::function<BatchResult(std::string_view)>;

class OdbcNumbering {
  public:
    virtual ~OdbcNumbering() = default;
    // The next number for the key; the caller commits or rolls back around it.
    virtual std::int64_t Next(std::string_view tableKey, const OdbcTextRunner& run) const = 0;

    // The way for the engine that SQLGetInfo(SQL_DBMS_NAME) names:
    // "Microsoft SQL Server" gets one locking T-SQL batch, any other engine
    // portable statements run one after another in the same transaction.
    static std::unique_ptr<OdbcNumbering> ForDbms(std::string_view dbmsName);
};

// The T-SQL batch the SQL Server way sends for a key (for tests and reviews).
std::string SqlServerNumberingBatch(std::string_view tableKey);

}  // namespace orva
