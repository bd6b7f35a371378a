// What row security costs on a PostgreSQL company, each figure beside its
// floor measured in the same run:
//
//   - 16 clients saving entries at once, each on a clerk's own login, with
//     row security on against the same saves with it off: saves per second
//     (counter "throughput_ratio" = on / off, at least 0.8 wanted) and the
//     95th percentile save time ("p95_ratio" = on / off, at most 1.3);
//   - the ledger statement of a customer with 100,000 price entries through
//     the T-SQL layer, on the login of a clerk with group-level rights
//     granting every group, row security on, against the same statement on
//     the owner's login (the administrator; row security does not limit
//     it): "ratio" = clerk / owner, at most 1.3 wanted.
//
// Run: ORVA_PG_DURABLE=1 bench_row_security --benchmark_repetitions=5
//          --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/concurrent_saves.h"
#include "common/large_company_file.h"
#include "common/ledger_statement.h"
#include "common/scratch_dir.h"
#include "demo/demo_company.h"
#include "demo/postgres_company.h"
#include "host/db/open_database.h"
#include "host/db/postgres/pg_row_security.h"
#include "support/clerk_roles.h"
#include "support/postgres_server.h"
#include "support/temp_company.h"

namespace {

using Clock = std::chrono::steady_clock;
using orva::bench::Percentile;
using orva::test::PostgresServer;

const std::string kCrLf = "\r\n";
constexpr const char* kClerk = "zhangmin";  // group-level rights on both classes

void Owner(const std::string& uri, const std::string& sql) {
    auto conn = orva::test::PlainConnection(uri);
    const std::string err = orva::test::PlainRun(conn.get(), sql);
    if (!err.empty())
        throw std::runtime_error(err);
}

// --- clients saving at once --------------------------------------------------

constexpr int kClients = 16;
constexpr int kSaves = 150;

// The editor's save of a new entry: the header row looked up and added when
// missing, then the entry.
void Save(orva::DbBackend& db, int cust, int item, int band) {
    const std::string pair = std::to_string(item) + "," + std::to_string(cust);
    auto header = db.ExecuteBatch("select FBrNo FROM t_Cust WHERE FItemID=" + std::to_string(item) +
                                  " AND FCustID=" + std::to_string(cust));
    if (header.recordsets.empty() || header.recordsets[0]->EOF_())
        db.ExecuteBatch("INSERT INTO t_Cust (FBrNo,FItemID,FCustID) VALUES ('0'," + pair + ")");
    db.ExecuteBatch(
        "INSERT INTO t_CustEntry (FBrNo,FEntryID,FCustID,FItemID,FUnitID,FStartQty,FEndQty,"
        "FPrice,FCyID,FDisCount,FLeadTime,FQuoteTime,FUsed,FExpireDate,FNote) VALUES ('0'," +
        std::to_string(db.NextNumber("t_Cust")) + "," + std::to_string(cust) + "," +
        std::to_string(item) + ",0," + std::to_string(band * 100) + "," +
        std::to_string(band * 100 + 99) + ",9.5,1,0,3,'2031-01-01',0,'2100-01-01','')");
}

// Every save's seconds and the wall time of all, the clients on the clerk's
// login of a fresh copy of the demo company with row security on or off.
std::vector<double> Saves(bool rowSecurity, double& wall) {
    const std::string owner = PostgresServer::Get().NewDatabase(orva::test::TempCompany::kDemo);
    orva::SetRowSecurity(*orva::OpenDatabase(owner), rowSecurity);
    orva::test::GrantClerkRoles(owner, {kClerk});
    // Customers and items the clerk sees: a customer of its own per client.
    std::vector<int> custs, items;
    auto ownerDb = orva::OpenDatabase(owner);
    for (auto [table, out] : {std::pair{"t_Organization", &custs}, std::pair{"t_ICItem", &items}}) {
        auto rs = ownerDb
                      ->ExecuteBatch(std::string("SELECT FItemID FROM ") + table +
                                     " WHERE FNumber LIKE '01.01.%' OR FNumber LIKE '" +
                                     (out == &custs ? "02.01" : "03.01") + ".%' ORDER BY FItemID")
                      .recordsets.at(0);
        for (; !rs->EOF_(); rs->MoveNext())
            out->push_back(static_cast<int>(rs->Fields(0).Value().ToInteger()));
    }
    if (custs.size() < kClients || items.empty())
        throw std::runtime_error("the demo company has too few customers for the clerk");
    std::vector<std::unique_ptr<orva::DbBackend>> dbs;
    for (int c = 0; c < kClients; ++c)
        dbs.push_back(orva::OpenDatabase(orva::test::ClerkUri(owner, kClerk)));
    return orva::bench::TimeConcurrentSaves(kClients, kSaves, wall, [&](int c, int i) {
        Save(*dbs[static_cast<std::size_t>(c)], custs[static_cast<std::size_t>(c)],
             items[static_cast<std::size_t>(i) % items.size()], i);
    });
}

void BM_SixteenClerksSaving(benchmark::State& state) {
    double onRate = 0, offRate = 0, onP95 = 0, offP95 = 0;
    for (auto _ : state) {
        // Which goes first changes from one repetition to the next.
        static int run = 0;
        const bool onFirst = run++ % 2 == 1;
        double onWall = 0, offWall = 0;
        std::vector<double> on, off;
        if (onFirst)
            on = Saves(true, onWall);
        off = Saves(false, offWall);
        if (!onFirst)
            on = Saves(true, onWall);
        state.SetIterationTime(onWall);
        onRate = static_cast<double>(on.size()) / onWall;
        offRate = static_cast<double>(off.size()) / offWall;
        onP95 = Percentile(on, 0.95);
        offP95 = Percentile(off, 0.95);
        if (on.size() != static_cast<std::size_t>(kClients * kSaves))
            state.SkipWithError("saves missing");
    }
    state.counters["on_saves_per_s"] = onRate;
    state.counters["off_saves_per_s"] = offRate;
    state.counters["throughput_ratio"] = offRate > 0 ? onRate / offRate : 0;
    state.counters["on_p95_ms"] = onP95 * 1000;
    state.counters["off_p95_ms"] = offP95 * 1000;
    state.counters["p95_ratio"] = offP95 > 0 ? onP95 / offP95 : 0;
}
BENCHMARK(BM_SixteenClerksSaving)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// --- the ledger statement ----------------------------------------------------

struct Ledger {
    orva::bench::ScratchDir dir{"rowsec"};
    std::string owner;
    std::string statement;  // the owner's (administrator's) ledger of the customer

    Ledger() {
        owner = PostgresServer::Get().NewEmptyDatabase();
        orva::demo::CopyCompanyToPostgres(
            orva::bench::LargeCompanyFile(dir, "busy.db", orva::bench::kBusyCustomer), owner);
        orva::SetRowSecurity(*orva::OpenDatabase(owner), true);
        orva::test::GrantClerkRoles(owner, {kClerk});
        // The clerk's group granted every group of customers and items and
        // every currency: the clerk sees the whole ledger, through the rights.
        Owner(owner,
              "INSERT INTO t_ItemRight (FUserID,FTypeID,FItemID) SELECT 2, FItemClassID, FItemID "
              "FROM t_Item WHERE FItemClassID IN (1,4) AND FDetail=0 "
              "UNION SELECT 2, 120, FCurrencyID FROM t_Currency ON CONFLICT DO NOTHING");
        statement = orva::bench::FirstCustomerLedgerSql(owner);
    }
};

void BM_LedgerAsClerk(benchmark::State& state) {
    static Ledger ledger;
    auto admin = orva::OpenDatabase(ledger.owner);
    auto clerk = orva::OpenDatabase(orva::test::ClerkUri(ledger.owner, kClerk));
    long clerkRows = clerk->ExecuteBatch(ledger.statement).recordsets.at(0)->RecordCount();
    long adminRows = admin->ExecuteBatch(ledger.statement).recordsets.at(0)->RecordCount();
    double clerkSum = 0, adminSum = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        clerkRows = clerk->ExecuteBatch(ledger.statement).recordsets.at(0)->RecordCount();
        const double asClerk = std::chrono::duration<double>(Clock::now() - start).count();
        start = Clock::now();
        adminRows = admin->ExecuteBatch(ledger.statement).recordsets.at(0)->RecordCount();
        const double asAdmin = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(asClerk);
        clerkSum += asClerk;
        adminSum += asAdmin;
    }
    if (clerkRows != adminRows || clerkRows < 100000)
        state.SkipWithError("the clerk and the administrator read different rows");
    state.counters["entries"] = static_cast<double>(clerkRows);
    state.counters["admin_ms"] =
        benchmark::Counter(adminSum * 1000, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = adminSum > 0 ? clerkSum / adminSum : 0;
}
BENCHMARK(BM_LedgerAsClerk)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
