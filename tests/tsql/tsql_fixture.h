// A fresh company file (schema only) per test, opened through the SQLite back
// end, with helpers that run T-SQL texts and read their results.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/com_error.h"
#include "host/db_backend.h"
#include "host/sqlite_backend.h"
#include "support/temp_company.h"

namespace orva::tsqltest {

class TsqlTest : public ::testing::Test {
  protected:
    TsqlTest()
        : company_(test::TempCompany::kEmpty), db_(OpenSqliteDatabase(company_.path(), false)) {}

    DbBackend& Db() { return *db_; }
    const std::string& Path() const { return company_.path(); }
    BatchResult Run(std::string_view sql) { return db_->ExecuteBatch(sql); }

    // The only record set of the text.
    RecordsetPtr Query(std::string_view sql) {
        BatchResult r = Run(sql);
        EXPECT_EQ(r.recordsets.size(), 1u) << sql;
        if (r.recordsets.empty())
            throw std::runtime_error("no record set");
        return r.recordsets.front();
    }

    // First field of the first row.
    Variant Scalar(std::string_view sql) {
        RecordsetPtr rs = Query(sql);
        if (rs->EOF_())
            throw std::runtime_error("no row");
        return rs->Fields(0).Value();
    }

    // Description of the error the text raises ("" when it runs).
    std::string ErrorOf(std::string_view sql) {
        try {
            Run(sql);
        } catch (const ComError& e) {
            EXPECT_TRUE(e.Number() == ComError::kDatabase ||
                        e.Number() == ComError::kUniqueKeyConflict);
            return e.Description();
        }
        return "";
    }

    // Every row's text of one column, in order.
    static std::vector<std::string> Column(const RecordsetPtr& rs, int col = 0) {
        std::vector<std::string> out;
        for (long r = 0; r < rs->RecordCount(); ++r) out.push_back(rs->Cell(r, col).ToText());
        return out;
    }

    std::vector<std::string> Column(std::string_view sql, int col = 0) {
        return Column(Query(sql), col);
    }

  private:
    test::TempCompany company_;
    std::unique_ptr<DbBackend> db_;
};

}  // namespace orva::tsqltest
