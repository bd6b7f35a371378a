// The kind of failure a SQLite statement reports, as the back ends read it to
// choose their message and error number: a failure is sorted by what went
// wrong, never by SQLite's own code.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "host/db/sqlite/sqlite_dialect.h"
#include "host/db/sqlite/sqlite_functions.h"
#include "host/db/sqlite/sqlite_runner.h"
#include "host/tsql/interpreter.h"
#include "host/tsql/translator.h"
#include "host/tsql/tsql_error.h"
#include "support/temp_company.h"

namespace orva::tsqltest {
namespace {

using tsql::ErrorKind;

struct Connection {
    sqlite3* db = nullptr;
    Connection(const std::string& path, int flags) {
        sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
        RegisterSqlServerCompat(db);
    }
    ~Connection() { sqlite3_close_v2(db); }
};

// The kind of the error the text raises on the connection (kOther with a
// failure when it runs).
ErrorKind KindOf(sqlite3* db, const std::string& sql) {
    tsql::Program program = tsql::Compile(sql, SqliteDialect());
    SqliteRunner runner(db);
    try {
        tsql::Interpreter(runner).Run(program);
    } catch (const tsql::TsqlError& e) {
        return e.Kind();
    }
    ADD_FAILURE() << sql << " ran";
    return ErrorKind::kOther;
}

TEST(ErrorKinds, EachSqliteFailureHasTheKindThatNamesIt) {
    const std::string dir = test::MakeTempDir("orva-kinds");
    const std::string file = dir + "/kinds.db";
    {
        Connection setUp(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        sqlite3_exec(setUp.db,
                     "CREATE TABLE t_Key (FID INT PRIMARY KEY, FName TEXT NOT NULL UNIQUE);"
                     "INSERT INTO t_Key VALUES (1, 'a');",
                     nullptr, nullptr, nullptr);
    }
    std::ofstream(dir + "/text.db") << std::string(4096, 'x');
    const int kWrite = SQLITE_OPEN_READWRITE;
    const struct {
        const char* what;
        std::string file;
        int flags;
        const char* sql;
        ErrorKind kind;
        bool otherWrites;  // a second connection holds the write lock
    } kCases[] = {
        {"a second row with the primary key", file, kWrite, "INSERT INTO t_Key VALUES (1, 'b')",
         ErrorKind::kUniqueKey, false},
        {"a second row with a unique column", file, kWrite, "INSERT INTO t_Key VALUES (2, 'a')",
         ErrorKind::kUniqueKey, false},
        {"a Null in a NOT NULL column", file, kWrite, "INSERT INTO t_Key VALUES (3, NULL)",
         ErrorKind::kOther, false},
        {"a missing table", file, kWrite, "SELECT * FROM t_None", ErrorKind::kOther, false},
        {"a write on a connection that may only read", file, SQLITE_OPEN_READONLY,
         "UPDATE t_Key SET FName = 'c'", ErrorKind::kReadOnly, false},
        {"a file that is no database", dir + "/text.db", kWrite, "SELECT * FROM t_Key",
         ErrorKind::kCorrupt, false},
        {"a write while another connection writes", file, kWrite, "UPDATE t_Key SET FName = 'c'",
         ErrorKind::kBusy, true},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        Connection other(c.file, kWrite);
        if (c.otherWrites)
            sqlite3_exec(other.db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        Connection db(c.file, c.flags);
        EXPECT_EQ(KindOf(db.db, c.sql), c.kind) << c.sql;
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace orva::tsqltest
