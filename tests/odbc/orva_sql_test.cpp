// The orva-sql program, run as a user runs it: arguments, a script on
// standard input or in a file, record sets on standard output, errors on
// standard error with the exit status.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <filesystem>
#include <vector>

#include "odbc/odbc_test_util.h"
#include "orva_build_paths.h"
#include "support/file_text.h"
#include "support/read_only_folder.h"
#include "support/temp_company.h"
#include "support/unprivileged.h"

extern char** environ;

namespace orva {
namespace {

using test::ReadFile;
using test::WriteFile;
using testing::ScratchDir;
using testing::SqliteOdbcString;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

class OrvaSqlTest : public ::testing::Test {
  protected:
    // Runs the program with the arguments and the text on standard input.
    Outcome Sql(std::vector<std::string> args, const std::string& input = "") {
        args.insert(args.begin(), kProgram);
        return Spawn(args, input);
    }
    // The same, run by a user who is not root.
    Outcome SqlAsUser(std::vector<std::string> args, const std::string& input) {
        args.insert(args.begin(), kProgram);
        return Spawn(test::UnprivilegedCommand(args), input);
    }

    Outcome Spawn(std::vector<std::string> args, const std::string& input) {
        const std::string in = dir_.File("stdin"), out = dir_.File("stdout"),
                          err = dir_.File("stderr");
        WriteFile(in, input);
        posix_spawn_file_actions_t fa;
        posix_spawn_file_actions_init(&fa);
        posix_spawn_file_actions_addopen(&fa, 0, in.c_str(), O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&fa, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_t pid = 0;
        Outcome r;
        int rc = posix_spawnp(&pid, args[0].c_str(), &fa, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&fa);
        if (rc != 0) {
            ADD_FAILURE() << "cannot start " << args[0];
            return r;
        }
        int ws = 0;
        waitpid(pid, &ws, 0);
        r.status = WIFEXITED(ws) ? WEXITSTATUS(ws) : -1;
        r.out = ReadFile(out);
        r.err = ReadFile(err);
        return r;
    }

    static constexpr const char* kProgram = ORVA_BINARY_DIR "/app/orva-sql";
    ScratchDir dir_;
    std::string odbc_ = SqliteOdbcString(dir_.File("odbc.db"));
};

TEST_F(OrvaSqlTest, HelpAndUsageErrors) {
    Outcome help = Sql({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: orva-sql DATABASE [FILE]", 0), 0u) << help.out;

    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{}, "no database given"},
        {{"a.db", "b.sql", "c"}, "too many arguments"},
        {{"--verbose", "a.db"}, "unknown option '--verbose'"},
        {{odbc_, dir_.File("none.sql")}, "cannot read '" + dir_.File("none.sql") + "'"},
        // A folder opens like a file but cannot be read.
        {{odbc_, dir_.File("")}, "cannot read '" + dir_.File("") + "': Is a directory"},
    };
    for (const Case& c : cases) {
        Outcome r = Sql(c.args);
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_NE(r.err.find("orva-sql: " + c.message), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
}

TEST_F(OrvaSqlTest, BatchesRunInOrderAndEveryRecordSetIsPrinted) {
    Outcome r = Sql({odbc_},
                    "CREATE TABLE t (k INTEGER, name TEXT, price REAL, d DATE)\n"
                    "GO\n"
                    "INSERT INTO t VALUES (1, '华东客户', 12.5, '2024-01-05')\n"
                    "go\n"
                    "INSERT INTO t VALUES (2, NULL, 0.1, NULL)\n"
                    "GO\n"
                    "SELECT k, name, price, d FROM t ORDER BY k\n"
                    "GO\n"
                    "SELECT COUNT(*) AS n FROM t WHERE k > 5\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "k\tname\tprice\td\n"
              "1\t华东客户\t12.5\t2024-01-05\n"
              "2\tNULL\t0.1\tNULL\n"
              "\n"
              "n\n"
              "0\n");
    EXPECT_TRUE(r.err.empty()) << r.err;
}

TEST_F(OrvaSqlTest, AnErrorStopsTheRunAfterTheBatchesBeforeIt) {
    const std::string file = dir_.File("script.sql");
    WriteFile(file,
              "CREATE TABLE t (k INTEGER)\nGO\n"
              "INSERT INTO t VALUES (7)\nGO\n"
              "SELECT k FROM t\nGO\n"
              "SELECT * FROM missing_table\nGO\n"
              "INSERT INTO t VALUES (8)\n");
    Outcome r = Sql({odbc_, file});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "k\n7\n");
    EXPECT_NE(r.err.find("line 7"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("no such table: missing_table"), std::string::npos) << r.err;

    // What ran before the error stays; what followed it never ran.
    Outcome check = Sql({odbc_, "-"}, "SELECT k FROM t");
    EXPECT_EQ(check.status, 0) << check.err;
    EXPECT_EQ(check.out, "k\n7\n");
}

TEST_F(OrvaSqlTest, DatabaseThatCannotOpen) {
    Outcome odbc = Sql({"DRIVER={No Such Driver};UID=u;PWD=hunter2"}, "SELECT 1\n");
    EXPECT_EQ(odbc.status, 1);
    EXPECT_NE(odbc.err.find("PWD=***"), std::string::npos) << odbc.err;
    EXPECT_EQ(odbc.err.find("hunter2"), std::string::npos) << odbc.err;

    const std::string missing = dir_.File("no-such-company.db");
    Outcome file = Sql({missing}, "SELECT 1\n");
    EXPECT_EQ(file.status, 1);
    EXPECT_NE(file.err.find(missing), std::string::npos) << file.err;
    EXPECT_TRUE(file.out.empty());
}

// A file that is not a company database, or a damaged one, is refused
// before it is opened for writing, and its folder is left as it was found:
// every byte, and no journal files (reading a damaged file in WAL mode left
// an empty -wal and a 32 KiB -shm beside it).
TEST_F(OrvaSqlTest, AFileThatIsNotACompanyDatabaseIsLeftAsItWas) {
    const std::string files = dir_.File("files");
    std::filesystem::create_directory(files);
    {
        Outcome made = Sql({odbc_}, "CREATE TABLE t (k INTEGER)\n");  // a SQLite file
        ASSERT_EQ(made.status, 0) << made.err;
    }
    test::TempCompany company;
    struct Case {
        std::string path, content, message;
    };
    const std::vector<Case> cases = {
        {files + "/empty.db", "", "(the table t_CustEntry is missing)"},
        {files + "/text.db", std::string(5000, 'x'), "file is not a database"},
        {files + "/bare.db", ReadFile(dir_.File("odbc.db")), "(the table t_CustEntry is missing)"},
        {files + "/t.db", ReadFile(company.path()).substr(0, 329728), "disk image is malformed"},
    };
    for (const Case& c : cases) {
        WriteFile(c.path, c.content);
        const std::string before = test::FolderListing(files);
        Outcome r = Sql({c.path}, "CREATE TABLE t (k INT)\nGO\nSELECT 1\n");
        EXPECT_EQ(r.status, 1) << c.path;
        EXPECT_NE(r.err.find("orva-sql: "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(c.path), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty());
        EXPECT_TRUE(ReadFile(c.path) == c.content) << c.path << " changed";
        EXPECT_EQ(test::FolderListing(files), before) << c.path;
    }
}

// A company file its user may only read (an archived year: mode 444 in a
// folder of mode 555), run by a user who is not root: queries work, and a
// temporary table lives across GO; a batch that writes ends the run naming
// the file as read-only, after the batches before it; nothing appears in
// the folder.
TEST_F(OrvaSqlTest, ACompanyFileThatMayOnlyBeReadIsReadAndNeverWritten) {
    if (const std::string why = test::UnprivilegedCannotReach(ORVA_BINARY_DIR); !why.empty())
        GTEST_SKIP() << why;
    test::TempCompany company;
    test::ReadOnlyFolder archive;
    archive.Copy(company.path(), "2023.db");
    archive.Seal();
    const std::string db = archive.File("2023.db");
    const std::string before = test::FolderListing(archive.dir());
    const std::string count = "SELECT COUNT(*) AS n FROM t_CustEntry WHERE FUsed = 1\n";

    Outcome r = SqlAsUser({db},
                          "CREATE TABLE #Used (FID int)\n"
                          "INSERT INTO #Used SELECT FEntryID FROM t_CustEntry WHERE FUsed = 1\n"
                          "GO\n"
                          "SELECT COUNT(*) AS n FROM #Used\n"
                          "GO\n"
                          "UPDATE t_CustEntry SET FUsed = 1 - FUsed\n"
                          "GO\n" +
                              count);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, Sql({company.path()}, count).out);
    EXPECT_NE(r.err.find("orva-sql: batch at line 6: The company database " + db + " is read-only"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(test::FolderListing(archive.dir()), before);
}

// A SQLite company file goes through the T-SQL layer: batches without
// semicolons, temporary tables, variables. One connection serves the whole
// run, so the temporary table outlives the GO between batches.
TEST_F(OrvaSqlTest, SqliteCompanyFileTakesTsql) {
    test::TempCompany company(test::TempCompany::kEmpty);
    const std::string db = company.path();
    Outcome r = Sql({db},
                    "CREATE TABLE #Stack (FID int, FName varchar(20))\r\n"
                    "INSERT INTO #Stack (FID, FName) VALUES (1, 'a')\r\n"
                    "INSERT INTO #Stack (FID, FName) VALUES (2, NULL)\r\n"
                    "GO\r\n"
                    "DECLARE @n int\r\n"
                    "SELECT @n = COUNT(*) FROM #Stack\r\n"
                    "SELECT @n AS n, ISNULL(MAX(FName), 'none') AS m FROM #Stack\r\n"
                    "GO\r\n"
                    "SELECT FID, FName FROM #Stack ORDER BY FID\r\n");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "n\tm\n2\ta\n\nFID\tFName\n1\ta\n2\tNULL\n");
}

// The price history through the program: a company gains it only when
// asked; the walk prints the chain's length, counts apart the rows the
// sqlite3 shell wrote, and names the first row changed behind the
// triggers' back with exit status 1.
TEST_F(OrvaSqlTest, UpgradeThenVerifyTheHistory) {
    test::TempCompany company;
    const std::string db = company.path();
    Outcome none = Sql({db, "--verify-history"});
    EXPECT_EQ(none.status, 1);
    EXPECT_NE(none.err.find("t_CustEntryHistory"), std::string::npos) << none.err;

    Outcome added = Sql({db, "--upgrade"});
    EXPECT_EQ(added.status, 0) << added.err;
    EXPECT_EQ(added.out.rfind("Added the price history to SQLite " + db, 0), 0u) << added.out;
    EXPECT_NE(Sql({db, "--upgrade"}).out.find("already"), std::string::npos);

    ASSERT_EQ(Sql({db},
                  "UPDATE t_CustEntry SET FPrice=FPrice+1 WHERE FEntryID IN (SELECT TOP 3 "
                  "FEntryID FROM t_CustEntry ORDER BY FEntryID)")
                  .status,
              0);
    auto shell = [&](const std::string& sql) {
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(db.c_str(), &raw), SQLITE_OK);
        char* err = nullptr;
        EXPECT_EQ(sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, &err), SQLITE_OK)
            << (err ? err : "");
        sqlite3_free(err);
        sqlite3_close(raw);
    };
    shell(
        "UPDATE t_CustEntry SET FUsed=1-FUsed WHERE FEntryID=(SELECT MAX(FEntryID) FROM "
        "t_CustEntry)");
    struct Case {
        const char* tamper;  // run by the shell first; none for the clean chain
        int status;
        std::string out;
    };
    const Case cases[] = {
        {"", 0,
         "Price history intact: 3 rows in the chain; 1 rows written by another program wait to "
         "be sealed by the module's next write\n"},
        {"DROP TRIGGER tr_CustEntryHistory_NoUpdate; UPDATE t_CustEntryHistory SET "
         "FChanges=FChanges||'x' WHERE FHistID=2",
         1,
         "Price history broken at row 2: its content does not match its hash (it was changed) "
         "(1 rows before it hold)\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tamper);
        if (*c.tamper)
            shell(c.tamper);
        Outcome r = Sql({db, "--verify-history"});
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(r.out, c.out);
    }
}

}  // namespace
}  // namespace orva
