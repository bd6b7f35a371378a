// "Check overlaps" over the whole company of 1,000,000 price entries
// (100,000 customers, 10,000 items), as the administrator, beside its floor
// in the same run: one raw sqlite3 pass over the same entries' columns in
// the same order, and the check's own statement read raw. The targets are a
// median of at most 1 s and at most twice the floor.
//
// Run: bench_overlaps --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
// The company is generated on first use, into ORVA_BENCH_DIR when it is set
// (and kept there for later runs), else into a temporary folder.
#include <benchmark/benchmark.h>

#include <string>

#include "browse/check_overlaps.h"
#include "common/large_company_file.h"
#include "common/log_on.h"
#include "common/raw_sqlite.h"
#include "common/scratch_dir.h"
#include "host/app_connection.h"
#include "session/module_context.h"
#include "session/session.h"

namespace {

const std::string& LargeCompany() {
    static orva::bench::ScratchDir dir("overlaps", orva::bench::ScratchDir::Reuse::kBenchDir);
    static const std::string path = orva::bench::LargeCompanyFile(
        dir, "large.db", {.customers = 100000, .items = 10000, .priceEntries = 1000000});
    return path;
}

void BM_CheckOverlapsWholeCompany(benchmark::State& state) {
    orva::ModuleContext& ctx = orva::ModuleContext::Shared();
    orva::InitSessionProps(ctx, orva::bench::LogOn(LargeCompany()));
    std::size_t pairs = 0;
    for (auto _ : state) {
        auto list = orva::CheckOverlaps(ctx, false, {orva::TreeNodeKey::kRoot, 0});
        pairs = list.rows.size();
        benchmark::DoNotOptimize(list.rows.data());
    }
    state.counters["pairs"] = static_cast<double>(pairs);
}
BENCHMARK(BM_CheckOverlapsWholeCompany)->Unit(benchmark::kMillisecond);

// Where the time goes: the check's statement alone, through the connection
// component into a record set (T-SQL layer, the ledger's joins, the record
// set's cells), without the sweep and the list.
void BM_CheckStatementOnly(benchmark::State& state) {
    orva::ModuleContext& ctx = orva::ModuleContext::Shared();
    orva::InitSessionProps(ctx, orva::bench::LogOn(LargeCompany()));
    const std::string sql = orva::CheckOverlapsSql(false, "", orva::tvwBuilder::ReadRights(ctx));
    long rows = 0;
    for (auto _ : state) rows = ctx.Connection().Execute(sql)->RecordCount();
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_CheckStatementOnly)->Unit(benchmark::kMillisecond);

// The floor: the columns the sweep needs, every entry, in the check's
// order, read cell by cell through sqlite3 with the module's settings.
void BM_FloorSortedRawPass(benchmark::State& state) {
    orva::bench::RawSqlite db(LargeCompany(), orva::bench::RawSqlite::Mode::kReadOnly);
    db.UseModuleSettings();
    long rows = 0;
    for (auto _ : state) {
        rows = db.ReadEveryCell(
            "SELECT FEntryID,FCustID,FItemID,FUnitID,FCyID,FStartQty,FEndQty,FQuoteTime,"
            "FExpireDate,FPrice,FUsed FROM t_CustEntry "
            "ORDER BY FItemID,FCustID,FUnitID");
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_FloorSortedRawPass)->Unit(benchmark::kMillisecond);

// A second floor: the check's own statement (the ledger's joins, which
// decide which entries a user sees), every row, read raw through sqlite3.
void BM_FloorCheckStatementRaw(benchmark::State& state) {
    orva::ModuleContext& ctx = orva::ModuleContext::Shared();
    orva::InitSessionProps(ctx, orva::bench::LogOn(LargeCompany()));
    const std::string sql = orva::CheckOverlapsSql(false, "", orva::tvwBuilder::ReadRights(ctx));
    orva::bench::RawSqlite db(LargeCompany(), orva::bench::RawSqlite::Mode::kReadOnly);
    db.UseModuleSettings();
    long rows = 0;
    for (auto _ : state) rows = db.ReadEveryCell(sql);
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_FloorCheckStatementRaw)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
