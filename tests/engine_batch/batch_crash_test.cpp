// A batch add that dies in the middle: the client killed (kill -9) while it
// writes, or on PostgreSQL the server stopped as a crash stops it, on a
// company with the price history. What the database then holds is whole
// members only: every entry has its header row and its history row, no
// member has half of them, and a second run of the same batch adds exactly
// the members that are missing.
#include <libpq-fe.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "batch_fixture.h"
#include "host/app_connection.h"
#include "host/db/price_history.h"
#include "model/sql_values.h"
#include "session/module_context.h"
#include "support/postgres_server.h"

namespace orva::batchtest {
namespace {

constexpr int kGroup = 940000;
constexpr int kItem = 940000 + 9001;
constexpr int kMembers = 1500;
// The client is killed once this many members are committed.
constexpr int kKillAfter = 100;

enum class Crash { kClient, kServer };
struct Case {
    bool server;  // PostgreSQL, else a company file
    Crash crash;
};

class BatchCrashTest : public BatchTest, public ::testing::WithParamInterface<Case> {
  protected:
    void SetUp() override {
        if (GetParam().server) {
            if (const std::string why = test::NewServerCompany(test::TempCompany::kDemo, uri_);
                !why.empty())
                GTEST_SKIP() << why;
        }
        BatchTest::SetUp();
        if (!GetParam().server)
            RawExec("PRAGMA journal_mode=WAL");
        ASSERT_TRUE(UpgradePriceHistory(ctx_->g_Connection->Backend()));
        AddCustomerGroup(kGroup, "T94", 0);
        for (int i = 1; i <= kMembers; ++i)
            AddCustomer(kGroup + i, "T94." + std::to_string(100000 + i), kGroup);
        AddItemGroup(kItem - 1, "I94", 0);
        AddItem(kItem, "I94.001", kItem - 1);
    }

    std::int32_t RunBatch() {
        ctx_->historyUser = demo::kAdminUserId;
        ctx_->g_Connection->Backend().SetHistoryUser(ctx_->historyUser);
        GridValues g;
        g.cust = kGroup;
        g.item = kItem;
        g.endQty = 100;
        g.price = 12;
        g.quote = "2025-03-01";
        Fill(g);
        std::int16_t alert = 0;
        double base = 0;
        return engine_.BatchAdd(alert, base);
    }

    // Entries of the batch committed so far, read beside the client.
    std::int64_t Committed() {
        const std::string sql = "SELECT COUNT(*) FROM t_CustEntry WHERE FItemID=" + SqlId(kItem);
        std::int64_t n = -1;
        if (uri_.empty()) {
            sqlite3* db = nullptr;
            if (sqlite3_open_v2(company_.path().c_str(), &db, SQLITE_OPEN_READONLY, nullptr) ==
                SQLITE_OK) {
                sqlite3_busy_timeout(db, 1000);
                sqlite3_stmt* st = nullptr;
                if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK &&
                    sqlite3_step(st) == SQLITE_ROW)
                    n = sqlite3_column_int64(st, 0);
                sqlite3_finalize(st);
            }
            sqlite3_close(db);
            return n;
        }
        PGconn* c = PQconnectdb(uri_.c_str());
        PGresult* r = PQexec(c, sql.c_str());
        if (PQresultStatus(r) == PGRES_TUPLES_OK)
            n = std::atoll(PQgetvalue(r, 0, 0));
        PQclear(r);
        PQfinish(c);
        return n;
    }
};

TEST_P(BatchCrashTest, LeavesWholeMembersAndASecondRunAddsTheRest) {
    ctx_->g_Connection.reset();
    ctx_->g_GLData.reset();
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // The client: its own session and connection, killed before it ends.
        LogOn(demo::kAdminUserId);
        RunBatch();
        _exit(0);
    }
    bool midway = false;
    for (int tries = 0; tries < 30000; ++tries) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) != 0)
            break;  // the batch ended before the crash: the test proves nothing
        if (Committed() >= kKillAfter) {
            midway = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    if (GetParam().crash == Crash::kServer)
        test::PostgresServer::Get().CrashAndRestart();
    ASSERT_TRUE(midway) << "the client finished (or never wrote) before it could be killed";

    LogOn(demo::kAdminUserId);
    const std::string ours = "FItemID=" + SqlId(kItem);
    const std::int64_t kept = Int("SELECT COUNT(*) FROM t_CustEntry WHERE " + ours);
    EXPECT_LT(kept, kMembers);
    if (GetParam().crash == Crash::kClient) {
        EXPECT_GE(kept, kKillAfter) << "members committed before the kill were lost";
    }
    // Whole members: one entry per customer, each with its header and its
    // history row, and no header without its entry.
    EXPECT_EQ(Int("SELECT COUNT(DISTINCT FCustID) FROM t_CustEntry WHERE " + ours), kept);
    EXPECT_EQ(Int("SELECT COUNT(*) FROM t_Cust WHERE " + ours), kept);
    EXPECT_EQ(Int("SELECT COUNT(*) FROM t_Cust h WHERE h." + ours +
                  " AND NOT EXISTS (SELECT 1 FROM t_CustEntry e WHERE e.FCustID=h.FCustID AND "
                  "e.FItemID=h.FItemID)"),
              0);
    EXPECT_EQ(Int("SELECT COUNT(*) FROM t_CustEntryHistory h INNER JOIN t_CustEntry e ON "
                  "e.FEntryID=h.FEntryID WHERE e." +
                  ours + " AND h.FOperation='add'"),
              kept);

    // The rerun: exactly the missing members, nothing twice.
    EXPECT_EQ(RunBatch(), kMembers - kept);
    EXPECT_EQ(Int("SELECT COUNT(*) FROM t_CustEntry WHERE " + ours), kMembers);
    EXPECT_EQ(Int("SELECT COUNT(DISTINCT FCustID) FROM t_CustEntry WHERE " + ours), kMembers);
    EXPECT_EQ(Int("SELECT COUNT(*) FROM t_Cust WHERE " + ours), kMembers);
}

INSTANTIATE_TEST_SUITE_P(Kill, BatchCrashTest,
                         ::testing::Values(Case{false, Crash::kClient}, Case{true, Crash::kClient},
                                           Case{true, Crash::kServer}),
                         [](const auto& info) {
                             const Case& c = info.param;
                             return std::string(c.server ? "PostgreSQL" : "CompanyFile") +
                                    (c.crash == Crash::kServer ? "ServerCrash" : "ClientKilled");
                         });

}  // namespace
}  // namespace orva::batchtest
