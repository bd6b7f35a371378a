// A fresh company database (schema only) per test, on each engine the T-SQL
// layer runs on: a SQLite file, and a database of the throwaway PostgreSQL
// server the tests start (a test fails saying why when that server cannot
// start). Helpers run T-SQL texts and read their results.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/db/open_database.h"
#include "host/db/sqlite/sqlite_backend.h"
#include "orvasaleprice/com_error.h"
#include "support/postgres_server.h"
#include "support/temp_company.h"

namespace orva::tsqltest {

enum class Engine { kSqlite, kPostgres };

inline std::string EngineName(const ::testing::TestParamInfo<Engine>& info) {
    return info.param == Engine::kSqlite ? "SQLite" : "PostgreSQL";
}

inline auto AllEngines() {
    return ::testing::Values(Engine::kSqlite, Engine::kPostgres);
}

class TsqlTest : public ::testing::TestWithParam<Engine> {
  protected:
    TsqlTest() {
        if (IsPostgres()) {
            location_ = test::PostgresServer::Get().NewDatabase(test::TempCompany::kEmpty);
        } else {
            company_.emplace(test::TempCompany::kEmpty);
            location_ = company_->path();
        }
        db_ = OpenDatabase(location_);
    }

    bool IsPostgres() const { return GetParam() == Engine::kPostgres; }
    DbBackend& Db() { return *db_; }
    // The file or URI the test's database is at.
    const std::string& Path() const { return location_; }
    // A second connection to the test's database.
    std::unique_ptr<DbBackend> OpenAnother() const { return OpenDatabase(location_); }
    // What the engine's message about a missing table says.
    const char* MissingTable() const {
        return IsPostgres() ? "Invalid object name" : "no such table";
    }
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

    // Whether the text fails with an error whose description holds every one
    // of `parts`; on a failure the message shows the text and the error it gave.
    ::testing::AssertionResult FailsWith(std::string_view sql,
                                         std::initializer_list<std::string_view> parts) {
        const std::string e = ErrorOf(sql);
        for (std::string_view part : parts) {
            if (e.empty() || e.find(part) == std::string::npos)
                return ::testing::AssertionFailure()
                       << sql << "\n  gave: " << (e.empty() ? std::string("no error") : e)
                       << "\n  without: " << part;
        }
        return ::testing::AssertionSuccess();
    }
    ::testing::AssertionResult FailsWith(std::string_view sql, std::string_view part) {
        return FailsWith(sql, {part});
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
    std::optional<test::TempCompany> company_;
    std::string location_;
    std::unique_ptr<DbBackend> db_;
};

}  // namespace orva::tsqltest
