// Opening company files, entry numbering across processes, and a database
// locked by another connection.
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>

#include "tsql_fixture.h"

namespace orva::tsqltest {
namespace {

namespace fs = std::filesystem;

class TempDir {
  public:
    TempDir() : path_(test::MakeTempDir("orva-tsql")) {}
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

std::string OpenError(const std::string& path, bool create = false) {
    try {
        OpenSqliteDatabase(path, create);
    } catch (const ComError& e) {
        return e.Description();
    }
    return "";
}

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string JournalMode(const std::string& path) {
    sqlite3* raw = nullptr;
    std::string mode;
    if (sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(raw, "PRAGMA journal_mode", -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW) {
            mode = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(raw);
    return mode;
}

TEST(OpenDatabase, MissingOrForeignFilesAreErrorsNamingThePath) {
    TempDir dir;
    std::string missing = dir.File("missing.db");
    std::string e = OpenError(missing);
    EXPECT_NE(e.find(missing), std::string::npos) << e;
    EXPECT_NE(e.find("does not exist"), std::string::npos) << e;
    EXPECT_FALSE(fs::exists(missing));  // never created by accident

    std::string junk = dir.File("junk.db");
    std::ofstream(junk) << std::string(5000, 'x');
    e = OpenError(junk);
    EXPECT_NE(e.find(junk), std::string::npos) << e;
    EXPECT_NE(e.find("not a database"), std::string::npos) << e;

    e = OpenError(dir.File(""));
    EXPECT_NE(e.find("not a file"), std::string::npos) << e;
}

TEST(OpenDatabase, CreatesOnRequestAndOpensMemory) {
    TempDir dir;
    std::string path = dir.File("new.db");
    auto db = OpenSqliteDatabase(path, true);
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(db->Describe(), "SQLite " + path);
    db->ExecuteBatch("CREATE TABLE t_A (FName VARCHAR(10)) INSERT INTO t_A VALUES ('x')");
    EXPECT_EQ(db->ExecuteBatch("SELECT COUNT(*) FROM t_A WHERE FName = 'X '")
                  .recordsets[0]
                  ->Cell(0, 0)
                  .ToInteger(),
              1);
    db.reset();
    // Reopened without create: the same file, left in WAL mode.
    auto again = OpenSqliteDatabase(path, false);
    EXPECT_EQ(again->ExecuteBatch("SELECT FName FROM t_A").recordsets[0]->Cell(0, 0).ToText(), "x");
    EXPECT_EQ(JournalMode(path), "wal");
    auto memory = OpenSqliteDatabase(":memory:", false);
    EXPECT_EQ(memory->ExecuteBatch("SELECT LEN('ab ')").recordsets[0]->Cell(0, 0).ToInteger(), 2);
}

// A company file keeps the journal mode it has: opening it and reading from
// it leave every byte as it was, in WAL and in rollback-journal mode alike.
// Company files are made in WAL mode.
TEST(OpenDatabase, OpeningAndReadingKeepTheFileAsItIs) {
    test::TempCompany company(test::TempCompany::kDemo);
    EXPECT_EQ(JournalMode(company.path()), "wal");
    TempDir dir;
    const std::string rollback = dir.File("rollback.db");
    {
        auto db = OpenSqliteDatabase(rollback, true);
        db->ExecuteBatch("CREATE TABLE t_A (FName VARCHAR(10)) INSERT INTO t_A VALUES ('x')");
    }
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(rollback.c_str(), &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(raw);

    struct Case {
        std::string path, mode, query;
    };
    for (const Case& c : {Case{company.path(), "wal", "SELECT COUNT(*) FROM t_CustEntry"},
                          Case{rollback, "delete", "SELECT COUNT(*) FROM t_A"}}) {
        const std::string before = Bytes(c.path);
        {
            auto db = OpenSqliteDatabase(c.path, false);
            EXPECT_GT(db->ExecuteBatch(c.query).recordsets[0]->Cell(0, 0).ToInteger(), 0);
            auto second = OpenSqliteDatabase(c.path, true);  // an existing file is not new
            second->ExecuteBatch(c.query);
        }
        EXPECT_EQ(JournalMode(c.path), c.mode);
        EXPECT_TRUE(Bytes(c.path) == before) << c.path << " changed";
    }
}

// A path with a NUL would open the file named by the part before it.
TEST(OpenDatabase, APathWithANulIsRefused) {
    test::TempCompany company(test::TempCompany::kEmpty);
    const std::string e = OpenError(company.path() + std::string(1, '\0') + "x");
    EXPECT_NE(e.find("NUL"), std::string::npos) << e;
    EXPECT_NE(e.find(company.path() + "\\0x"), std::string::npos) << e;
}

class Numbering : public TsqlTest {};

TEST_P(Numbering, CountsUpAndSkipsNumbersInUse) {
    EXPECT_EQ(Db().NextNumber("t_Cust"), 1);
    EXPECT_EQ(Db().NextNumber("t_Cust"), 2);
    Run("INSERT INTO t_CustEntry (FEntryID, FCustID, FItemID) VALUES (40, 1, 1)");
    EXPECT_EQ(Db().NextNumber("t_Cust"), 41);
    EXPECT_EQ(Db().NextNumber("T_CUST"), 42);  // keys compare as the database compares text
    EXPECT_EQ(Db().NextNumber("t_Other"), 1);
    Run("UPDATE t_ICMaxNum SET FMaxNum = 500 WHERE FTableName = 't_Cust'");
    EXPECT_EQ(Db().NextNumber("t_Cust"), 501);
}

TEST(NumberingBare, CreatesItsTableInAnEmptyDatabase) {
    TempDir dir;
    auto db = OpenSqliteDatabase(dir.File("bare.db"), true);
    EXPECT_EQ(db->NextNumber("t_Cust"), 1);
    EXPECT_EQ(db->NextNumber("t_Cust"), 2);
    EXPECT_EQ(
        db->ExecuteBatch("SELECT FMaxNum FROM t_ICMaxNum").recordsets[0]->Cell(0, 0).ToInteger(),
        2);
}

// No connection is open in the parent when it forks: a SQLite connection must
// not cross a fork.
TEST(NumberingProcesses, TwoProcessesNeverShareANumber) {
    constexpr int kEach = 5000;
    test::TempCompany company(test::TempCompany::kEmpty);
    TempDir dir;
    std::vector<pid_t> children;
    for (int p = 0; p < 2; ++p) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int status = 0;
            try {
                auto db = OpenSqliteDatabase(company.path(), false);
                std::ofstream out(dir.File("numbers" + std::to_string(p)));
                for (int i = 0; i < kEach; ++i) out << db->NextNumber("t_Cust") << '\n';
                if (!out)
                    status = 2;
            } catch (...) {
                status = 1;
            }
            _exit(status);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    std::set<long> all;
    long count = 0;
    for (int p = 0; p < 2; ++p) {
        std::ifstream in(dir.File("numbers" + std::to_string(p)));
        long n;
        while (in >> n) {
            all.insert(n);
            ++count;
        }
    }
    EXPECT_EQ(count, 2 * kEach);
    EXPECT_EQ(all.size(), static_cast<std::size_t>(2 * kEach));
    EXPECT_EQ(*all.begin(), 1);
    EXPECT_EQ(*all.rbegin(), 2 * kEach);
}

class Locking : public TsqlTest {};

TEST_P(Locking, WriterWaitsThenNamesTheLockedDatabase) {
    Run("CREATE TABLE t_L (a INT) INSERT INTO t_L VALUES (1)");
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(Path().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    // Readers are not blocked.
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM t_L").ToInteger(), 1);
    auto start = std::chrono::steady_clock::now();
    std::string e = ErrorOf("UPDATE t_L SET a = 2\r\nUPDATE t_L SET a = 3");
    double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(waited, 4.0);
    EXPECT_NE(e.find(Path()), std::string::npos) << e;
    EXPECT_NE(e.find("locked"), std::string::npos) << e;
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    // Once free, the same text runs.
    EXPECT_EQ(Run("UPDATE t_L SET a = 2\r\nUPDATE t_L SET a = 3").rowsAffected, 1);
    EXPECT_EQ(Scalar("SELECT a FROM t_L").ToInteger(), 3);
}

INSTANTIATE_TEST_SUITE_P(Engines, Numbering, AllEngines(), EngineName);
// Locks another SQLite connection takes on the file itself.
INSTANTIATE_TEST_SUITE_P(Engines, Locking, ::testing::Values(Engine::kSqlite), EngineName);

}  // namespace
}  // namespace orva::tsqltest
