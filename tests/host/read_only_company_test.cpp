// Company files that may only be read, opened by a user who is not root (an
// archived year: mode 444 in a folder of mode 555; a read-only share): the
// company check passes and the file opens for reading; queries and
// temporary tables work; every kind of write is refused naming the file;
// nothing is created, written or touched in the folder.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <utility>

#include "host/app_connection.h"
#include "host/db/db_backend.h"
#include "host/db/open_database.h"
#include "host/db/sqlite/company_file_check.h"
#include "host/db/write_transaction.h"
#include "orvasaleprice/com_error.h"
#include "support/file_text.h"
#include "support/read_only_folder.h"
#include "support/temp_company.h"
#include "support/unprivileged.h"

namespace orva {
namespace {

using test::FolderListing;
using test::ReadOnlyFolder;

std::string Scalar(DbBackend& db, const std::string& sql) {
    BatchResult r = db.ExecuteBatch(sql);
    return r.recordsets.empty() ? "no record set" : r.recordsets.back()->Cell(0, 0).ToText();
}

// What a user sees of the file: whether it opened for reading only, what it
// holds, and what each kind of write gave ("refused" when the refusal names
// the file as read-only).
std::string Transcript(const std::string& path) {
    std::string out;
    if (auto fault = CheckCompanyFile(path))
        out += "check: " + fault->Describe(path) + "\n";
    std::unique_ptr<DbBackend> db = OpenDatabase(path);
    out += "read-only: " + db->ReadOnlyFile() + "\n";
    out += "entries: " + Scalar(*db, "SELECT COUNT(*) FROM t_CustEntry") + "\n";
    out += "through a temporary table: " +
           Scalar(*db,
                  "CREATE TABLE #Ids (FID int)\r\n"
                  "INSERT INTO #Ids SELECT FEntryID FROM t_CustEntry\r\n"
                  "SELECT COUNT(*) FROM #Ids") +
           "\n";
    AppConnection connection(std::move(db));
    const std::pair<const char*, std::function<void()>> writes[] = {
        {"update", [&] { connection.Execute("UPDATE t_CustEntry SET FUsed = 1 - FUsed"); }},
        {"delete", [&] { connection.Execute("DELETE FROM t_Cust WHERE FCustID > 0"); }},
        {"create", [&] { connection.Execute("CREATE TABLE t_Notes (FID int)"); }},
        {"two statements",
         [&] {
             connection.Execute(
                 "UPDATE t_CustEntry SET FNote = 'x' WHERE FEntryID < 0\r\n"
                 "DELETE FROM t_Cust WHERE FCustID < 0");
         }},
        {"entry number", [&] { connection.GetICMaxNum("t_Cust"); }},
        {"write transaction", [&] { WriteTransaction t(connection.Backend()); }},
    };
    for (const auto& [what, write] : writes) {
        out += std::string(what) + ": ";
        try {
            write();
            out += "written\n";
        } catch (const ComError& e) {
            const std::string said = e.Description();
            const bool names = said.find(path + " is read-only") != std::string::npos;
            out += names ? "refused\n" : said + "\n";
        }
    }
    return out;
}

enum class Kind { kWal, kRollbackJournal, kWalWithLog };

struct Case {
    const char* name;
    Kind kind;
    unsigned fileMode, folderMode;
    bool readOnly;
};

// The files are the demo company's. A WAL file without a log opens without
// a -shm (read-only mode would create one, or fail where it cannot); a
// writer's log is read through the writer's -shm, so that what it committed
// there is seen; a writable file in a folder where no journal can be made
// can only be read too.
const Case kCases[] = {
    {"WAL file, read-only folder", Kind::kWal, 0444, 0555, true},
    {"rollback-journal file, read-only folder", Kind::kRollbackJournal, 0444, 0555, true},
    {"WAL file and a writer's log, read-only folder", Kind::kWalWithLog, 0444, 0555, true},
    {"read-only WAL file, open folder", Kind::kWal, 0444, 0777, true},
    {"writable WAL file, read-only folder", Kind::kWal, 0666, 0555, true},
    {"writable WAL file, open folder", Kind::kWal, 0666, 0777, false},
};

TEST(ReadOnlyCompanyFile, IsReadAndRefusesEveryWriteByAUserWhoIsNotRoot) {
    // Characters that mean something in a URI name the file too.
    const std::string name = "2023 年 #1?50%.db";
    test::TempCompany company;
    auto source = OpenDatabase(company.path());
    const std::string entries = Scalar(*source, "SELECT COUNT(*) FROM t_CustEntry");
    source.reset();

    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        ReadOnlyFolder folder;
        const std::string path = folder.File(name);
        std::string expectedEntries = entries;
        if (c.kind == Kind::kWalWithLog) {
            // A writer that has not checkpointed: its changes are in the log.
            test::TempCompany live;
            sqlite3* writer = nullptr;
            ASSERT_EQ(sqlite3_open(live.path().c_str(), &writer), SQLITE_OK);
            ASSERT_EQ(sqlite3_exec(writer,
                                   "PRAGMA wal_autocheckpoint=0; DELETE FROM t_CustEntry WHERE "
                                   "FEntryID IN (SELECT FEntryID FROM t_CustEntry LIMIT 7)",
                                   nullptr, nullptr, nullptr),
                      SQLITE_OK);
            for (const char* part : {"", "-wal", "-shm"})
                folder.Copy(live.path() + part, name + part);
            sqlite3_close(writer);
            expectedEntries = std::to_string(std::stoi(entries) - 7);
        } else {
            folder.Copy(company.path(), name);
            if (c.kind == Kind::kRollbackJournal) {
                sqlite3* db = nullptr;
                ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
                EXPECT_EQ(sqlite3_exec(db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr),
                          SQLITE_OK);
                sqlite3_close(db);
            }
        }
        folder.Seal(c.fileMode, c.folderMode);
        const std::string before = FolderListing(folder.dir());

        const std::string outcome = c.readOnly ? "refused\n" : "written\n";
        EXPECT_EQ(test::RunUnprivileged([&] { return Transcript(path); }),
                  "read-only: " + (c.readOnly ? path : "") + "\nentries: " + expectedEntries +
                      "\nthrough a temporary table: " + expectedEntries + "\nupdate: " + outcome +
                      "delete: " + outcome + "create: " + outcome + "two statements: " + outcome +
                      "entry number: " + outcome + "write transaction: " + outcome);
        // Nothing created, and no file written (its journal mode neither).
        if (c.readOnly) {
            EXPECT_EQ(FolderListing(folder.dir()), before);
        }
    }
}

// Waits up to ten seconds for the file to appear; whether it did.
bool WaitFor(const std::string& path) {
    for (int i = 0; i < 1000; ++i) {
        if (std::filesystem::exists(path))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// A WAL file that another user has open (its -wal and -shm are beside it,
// the log without pages yet) is read through them, so that what that user
// commits while the file is open for reading is seen.
TEST(ReadOnlyCompanyFile, SeesWhatAWriterCommitsWhileItIsOpen) {
    test::TempCompany company;
    ReadOnlyFolder folder;
    folder.Copy(company.path(), "2023.db");
    folder.Seal();
    const std::string path = folder.File("2023.db");
    // Steps of the two users, as files in a folder both may write.
    const std::string steps = test::MakeTempDir("orva-steps");
    std::filesystem::permissions(steps, std::filesystem::perms::all);
    sqlite3* writer = nullptr;  // root may write the file and its folder
    ASSERT_EQ(sqlite3_open(path.c_str(), &writer), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer, "PRAGMA wal_autocheckpoint=0; SELECT COUNT(*) FROM t_Cust",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);

    const std::string seen = test::RunUnprivileged(
        [&] {
            std::unique_ptr<DbBackend> db = OpenDatabase(path);
            std::string out = Scalar(*db, "SELECT COUNT(*) FROM t_CustEntry");
            test::WriteFile(steps + "/opened", "");
            if (!WaitFor(steps + "/written"))
                return out + " and nothing written";
            return out + " then " + Scalar(*db, "SELECT COUNT(*) FROM t_CustEntry");
        },
        [&] {
            if (!WaitFor(steps + "/opened"))
                return;
            sqlite3_exec(writer,
                         "DELETE FROM t_CustEntry WHERE FEntryID IN "
                         "(SELECT FEntryID FROM t_CustEntry LIMIT 7)",
                         nullptr, nullptr, nullptr);
            test::WriteFile(steps + "/written", "");
        });
    sqlite3_close(writer);
    std::filesystem::remove_all(steps);
    auto db = OpenDatabase(company.path());
    const int entries = std::stoi(Scalar(*db, "SELECT COUNT(*) FROM t_CustEntry"));
    EXPECT_EQ(seen, std::to_string(entries) + " then " + std::to_string(entries - 7));
}

}  // namespace
}  // namespace orva
