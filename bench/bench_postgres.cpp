// The company on a PostgreSQL server (a throwaway server this program starts
// in a temporary folder, on a Unix socket), each figure beside a floor
// measured in the same run:
//
//   - the ledger statement of a customer with 100,000 price entries through
//     the T-SQL layer, against the same translated statement read by raw
//     libpq (counter "ratio" = layer / raw);
//   - the detail-member walk over 20,000 items in 500 groups on the server,
//     against the same walk on a SQLite file (counter "sqlite_ms");
//   - 8 clients saving entries at once (number, header and entry per save):
//     saves per second, median and 95th percentile save time, against one
//     client saving alone (counter "alone_p50_ms").
//
// Run: bench_postgres --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <libpq-fe.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/concurrent_saves.h"
#include "common/item_group_tree.h"
#include "common/large_company_file.h"
#include "common/ledger_statement.h"
#include "common/scratch_dir.h"
#include "common/thread_cpu.h"
#include "demo/postgres_company.h"
#include "host/db/open_database.h"
#include "host/db/postgres/postgres_dialect.h"
#include "host/db/sqlite/sqlite_backend.h"
#include "host/tsql/translator.h"
#include "support/postgres_server.h"
#include "support/temp_company.h"

namespace {

using Clock = std::chrono::steady_clock;
using orva::bench::Percentile;
using orva::bench::ThreadCpu;
using orva::test::PostgresServer;

const std::string kCrLf = "\r\n";

orva::bench::ScratchDir& Dir() {
    static orva::bench::ScratchDir dir("pg");
    return dir;
}

// A company file copied into a new database of the server; its URI.
std::string OnServer(const std::string& file) {
    std::string uri = PostgresServer::Get().NewEmptyDatabase();
    orva::demo::CopyCompanyToPostgres(file, uri);
    return uri;
}

// --- the ledger statement ----------------------------------------------------

struct Ledger {
    std::string uri;
    std::string statement;

    Ledger() {
        uri = OnServer(orva::bench::LargeCompanyFile(Dir(), "busy.db", orva::bench::kBusyCustomer));
        // The statement the browse window builds for the customer's node.
        statement = orva::bench::FirstCustomerLedgerSql(uri);
    }
};

Ledger& TheLedger() {
    static Ledger ledger;
    return ledger;
}

// Every cell of the translated statement through raw libpq; seconds.
double RawLedger(PGconn* conn, const std::string& sql, long& rows) {
    auto start = Clock::now();
    PGresult* r = PQexec(conn, sql.c_str());
    if (PQresultStatus(r) != PGRES_TUPLES_OK)
        throw std::runtime_error(PQresultErrorMessage(r));
    rows = PQntuples(r);
    const int cols = PQnfields(r);
    for (int row = 0; row < rows; ++row) {
        for (int c = 0; c < cols; ++c) {
            benchmark::DoNotOptimize(PQgetvalue(r, row, c));
            benchmark::DoNotOptimize(PQgetlength(r, row, c));
        }
    }
    PQclear(r);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_PgLedgerStatement(benchmark::State& state) {
    Ledger& ledger = TheLedger();
    auto db = orva::OpenDatabase(ledger.uri);
    const orva::tsql::Program program =
        orva::tsql::Compile(ledger.statement, orva::PostgresDialect());
    const std::string& sql = program.steps.at(0).sql.at(0);
    std::unique_ptr<PGconn, void (*)(PGconn*)> raw(PQconnectdb(ledger.uri.c_str()), PQfinish);
    long rows = 0, rawRows = 0;
    db->ExecuteBatch(ledger.statement);  // translated and prepared, pages warm
    RawLedger(raw.get(), sql, rawRows);
    double layerSum = 0, rawSum = 0, layerCpu = 0, rawCpu = 0;
    for (auto _ : state) {
        const double cpu0 = ThreadCpu();
        auto start = Clock::now();
        rows = db->ExecuteBatch(ledger.statement).recordsets.at(0)->RecordCount();
        const double layer = std::chrono::duration<double>(Clock::now() - start).count();
        const double cpu1 = ThreadCpu();
        const double floor = RawLedger(raw.get(), sql, rawRows);
        layerCpu += cpu1 - cpu0;
        rawCpu += ThreadCpu() - cpu1;
        state.SetIterationTime(layer);
        layerSum += layer;
        rawSum += floor;
    }
    if (rows != rawRows || rows < 100000)
        state.SkipWithError("the layer and raw libpq read different rows");
    state.counters["entries"] = static_cast<double>(rows);
    state.counters["raw_ms"] =
        benchmark::Counter(rawSum * 1000, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = rawSum > 0 ? layerSum / rawSum : 0;
    // The client's CPU time alone: what the layer adds to reading the rows.
    state.counters["cpu_ms"] =
        benchmark::Counter(layerCpu * 1000, benchmark::Counter::kAvgIterations);
    state.counters["raw_cpu_ms"] =
        benchmark::Counter(rawCpu * 1000, benchmark::Counter::kAvgIterations);
    state.counters["cpu_ratio"] = rawCpu > 0 ? layerCpu / rawCpu : 0;
}
BENCHMARK(BM_PgLedgerStatement)->UseManualTime()->Unit(benchmark::kMillisecond);

// --- the detail walk -----------------------------------------------------------

constexpr int kRoot = orva::bench::kTreeRoot;
constexpr int kItems = 20000;

// The item tree of 500 groups with 20,000 items.
const std::string& TreeFile() {
    static const std::string path = [] {
        std::string p = Dir().File("tree.db");
        orva::bench::CreateItemGroupTree(p, kItems);
        return p;
    }();
    return path;
}

void BM_PgDetailWalk(benchmark::State& state) {
    static const std::string uri = OnServer(TreeFile());
    auto server = orva::OpenDatabase(uri);
    auto file = orva::OpenSqliteDatabase(TreeFile(), false);
    const std::string text = orva::bench::DetailWalkText(kRoot);
    long rows = server->ExecuteBatch(text).recordsets.at(0)->RecordCount();
    file->ExecuteBatch(text);
    double fileSum = 0, clientCpu = 0, serverCpu = 0, fileCpu = 0;
    for (auto _ : state) {
        const double server0 = PostgresServer::Get().CpuSeconds();
        const double cpu0 = ThreadCpu();
        auto start = Clock::now();
        rows = server->ExecuteBatch(text).recordsets.at(0)->RecordCount();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        const double cpu1 = ThreadCpu();
        serverCpu += PostgresServer::Get().CpuSeconds() - server0;
        clientCpu += cpu1 - cpu0;
        auto fileStart = Clock::now();
        file->ExecuteBatch(text);
        fileSum += std::chrono::duration<double>(Clock::now() - fileStart).count();
        fileCpu += ThreadCpu() - cpu1;
    }
    if (rows != kItems)
        state.SkipWithError("wrong member count");
    using C = benchmark::Counter;
    state.counters["members"] = static_cast<double>(rows);
    state.counters["sqlite_ms"] = C(fileSum * 1000, C::kAvgIterations);
    // CPU time of the walk on both sides (the server's in ticks of 10 ms),
    // and of the SQLite walk: what the walk costs apart from waiting.
    state.counters["client_cpu_ms"] = C(clientCpu * 1000, C::kAvgIterations);
    state.counters["server_cpu_ms"] = C(serverCpu * 1000, C::kAvgIterations);
    state.counters["sqlite_cpu_ms"] = C(fileCpu * 1000, C::kAvgIterations);
}
BENCHMARK(BM_PgDetailWalk)->UseManualTime()->Unit(benchmark::kMillisecond);

// --- clients saving at once --------------------------------------------------

constexpr int kSaves = 200;

std::string SaveText(int entry, int cust, int item) {
    return "INSERT INTO t_Cust (FBrNo,FItemID,FCustID,FCurrencyID,FSELowPrice) VALUES ('0'," +
           std::to_string(item) + "," + std::to_string(cust) + ",1,0)" + kCrLf +
           "INSERT INTO t_CustEntry(FBrNo,FCustID,FItemID,FEntryID,FUnitID,FStartQty,FEndQty,"
           "FPrice,FCyID,FLeadTime,FQuoteTime,FUsed,FExpireDate,FNote) VALUES('0'," +
           std::to_string(cust) + "," + std::to_string(item) + "," + std::to_string(entry) +
           ",50,0,100,9.5,1,3,'2024-01-01',0,'2100-01-01','')" + kCrLf;
}

// `clients` clients each saving kSaves distinct entries at once; every save's
// seconds, and the wall time of all.
std::vector<double> Saves(int clients, double& wall) {
    const std::string uri = PostgresServer::Get().NewDatabase(orva::test::TempCompany::kEmpty);
    std::vector<std::unique_ptr<orva::DbBackend>> dbs;
    for (int c = 0; c < clients; ++c) dbs.push_back(orva::OpenDatabase(uri));
    return orva::bench::TimeConcurrentSaves(clients, kSaves, wall, [&](int c, int i) {
        orva::DbBackend& db = *dbs[static_cast<std::size_t>(c)];
        db.ExecuteBatch(SaveText(db.NextNumber("t_Cust"), c + 1, i + 1));
    });
}

void BM_PgEightClientsSaving(benchmark::State& state) {
    double p50 = 0, p95 = 0, perSecond = 0, aloneP50 = 0;
    for (auto _ : state) {
        double wall = 0;
        std::vector<double> all = Saves(8, wall);
        state.SetIterationTime(wall);
        p50 = Percentile(all, 0.5);
        p95 = Percentile(all, 0.95);
        perSecond = static_cast<double>(all.size()) / wall;
        double aloneWall = 0;
        aloneP50 = Percentile(Saves(1, aloneWall), 0.5);
    }
    state.counters["saves_per_s"] = perSecond;
    state.counters["p50_ms"] = p50 * 1000;
    state.counters["p95_ms"] = p95 * 1000;
    state.counters["alone_p50_ms"] = aloneP50 * 1000;
}
BENCHMARK(BM_PgEightClientsSaving)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
