// orva-saleprice --quote's look-up (PriceQuoter::Quote) on the large company
// of 100,000 customers and 1,000,000 entries, per quote once the connection
// is open. Each iteration asks for one sale on the terms of an entry spread
// over the table (its customer, item, unit, currency, band start and first
// day), then runs the same statement text through raw sqlite3 on a
// connection of its own, reading every cell: the floor. Reported: the time
// per quote (manual time), "floor_ms" per quote and "ratio" quote / floor
// ("cpu_ratio" in CPU time of the thread). Goal: 5 ms or less per quote.
//
// Run: bench_quote --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
// (ORVA_BENCH_DIR keeps the generated company for later runs.)
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/large_company_file.h"
#include "common/raw_sqlite.h"
#include "common/scratch_dir.h"
#include "common/thread_cpu.h"
#include "demo/demo_company.h"
#include "engine/price_quote.h"
#include "host/host_services.h"
#include "host/session_string.h"
#include "orvasaleprice/price_quote.h"

namespace {

using Clock = std::chrono::steady_clock;
using orva::bench::RawSqlite;
using orva::bench::ThreadCpu;

constexpr int kQueries = 1000;

const std::string& LargeCompany() {
    static orva::bench::ScratchDir dir("quote", orva::bench::ScratchDir::Reuse::kBenchDir);
    static const std::string path = orva::bench::LargeCompanyFile(
        dir, "large.db", {.customers = 100000, .items = 10000, .priceEntries = 1000000});
    return path;
}

// Sales on the terms of entries spread evenly over the table.
std::vector<orva::PriceQuery> Queries(RawSqlite& raw) {
    std::vector<orva::PriceQuery> queries;
    sqlite3_stmt* stmt = nullptr;
    const std::string sql =
        "SELECT FCustID,FItemID,FUnitID,FCyID,FStartQty,FQuoteTime FROM t_CustEntry "
        "WHERE FEntryID % 1000 = 7 LIMIT " +
        std::to_string(kQueries);
    if (sqlite3_prepare_v2(raw.db(), sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(raw.db()));
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        orva::PriceQuery q;
        q.customerID = sqlite3_column_int(stmt, 0);
        q.itemID = sqlite3_column_int(stmt, 1);
        q.unitID = sqlite3_column_int(stmt, 2);
        q.currencyID = sqlite3_column_int(stmt, 3);
        q.quantity = sqlite3_column_double(stmt, 4);
        q.day = orva::Date::Parse(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 5)));
        queries.push_back(q);
    }
    sqlite3_finalize(stmt);
    if (queries.size() != kQueries)
        throw std::runtime_error("the large company has too few entries");
    return queries;
}

// The statement of orva::QuoteSql with its values as parameters.
constexpr const char* kBoundQuote =
    "SELECT FEntryID,FPrice,FStartQty,FEndQty,FQuoteTime,FExpireDate FROM t_CustEntry "
    "WHERE FCustID=?1 AND FItemID=?2 AND FUnitID=?3 AND FCyID=?4 AND FUsed=1 "
    "AND FQuoteTime<=?5 AND FExpireDate>?5 AND FStartQty<=?6 AND (FEndQty>=?6 OR FEndQty=0) "
    "ORDER BY FEntryID";

long RunBound(sqlite3_stmt* stmt, const orva::PriceQuery& q, const std::string& day) {
    sqlite3_reset(stmt);
    sqlite3_bind_int(stmt, 1, q.customerID);
    sqlite3_bind_int(stmt, 2, q.itemID);
    sqlite3_bind_int(stmt, 3, q.unitID);
    sqlite3_bind_int(stmt, 4, q.currencyID);
    sqlite3_bind_text(stmt, 5, day.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_double(stmt, 6, q.quantity);
    long rows = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        ++rows;
        benchmark::DoNotOptimize(sqlite3_column_int(stmt, 0));
        for (int c = 1; c < 4; ++c) benchmark::DoNotOptimize(sqlite3_column_double(stmt, c));
        for (int c = 4; c < 6; ++c) benchmark::DoNotOptimize(sqlite3_column_text(stmt, c));
    }
    return rows;
}

void BM_Quote(benchmark::State& state) {
    orva::RegisterHostServices();
    const std::string& path = LargeCompany();
    RawSqlite raw(path, RawSqlite::Mode::kReadOnly);
    raw.UseModuleSettings();
    const std::vector<orva::PriceQuery> queries = Queries(raw);
    orva::PriceQuoter quoter(orva::MakeSessionString(path, orva::demo::kAdminUserId));

    sqlite3_stmt* bound = nullptr;
    if (sqlite3_prepare_v2(raw.db(), kBoundQuote, -1, &bound, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(raw.db()));

    double quoteWall = 0, floorWall = 0, textWall = 0, quoteCpu = 0, floorCpu = 0;
    std::size_t next = 0, applied = 0;
    for (auto _ : state) {
        const orva::PriceQuery& q = queries[next++ % queries.size()];
        const auto t0 = Clock::now();
        const double c0 = ThreadCpu();
        const orva::PriceQuote quote = quoter.Quote(q);
        const double c1 = ThreadCpu();
        const auto t1 = Clock::now();
        const long rows = RunBound(bound, q, q.day->ToText());
        const double c2 = ThreadCpu();
        const auto t2 = Clock::now();
        const long textRows = raw.ReadEveryCell(orva::QuoteSql(q));
        const auto t3 = Clock::now();
        if (static_cast<std::size_t>(rows) != quote.entries.size() || rows != textRows)
            state.SkipWithError("the floor found other rows");
        applied += quote.status == orva::QuoteStatus::kApplies;
        const double wall = std::chrono::duration<double>(t1 - t0).count();
        state.SetIterationTime(wall);
        quoteWall += wall;
        floorWall += std::chrono::duration<double>(t2 - t1).count();
        textWall += std::chrono::duration<double>(t3 - t2).count();
        quoteCpu += c1 - c0;
        floorCpu += c2 - c1;
    }
    sqlite3_finalize(bound);
    const double n = static_cast<double>(state.iterations());
    state.counters["floor_ms"] = floorWall / n * 1e3;
    state.counters["text_ms"] = textWall / n * 1e3;
    state.counters["ratio"] = quoteWall / floorWall;
    state.counters["text_ratio"] = quoteWall / textWall;
    state.counters["cpu_ratio"] = quoteCpu / floorCpu;
    state.counters["applies"] = static_cast<double>(applied) / n;
}
BENCHMARK(BM_Quote)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(2000);

}  // namespace

BENCHMARK_MAIN();
