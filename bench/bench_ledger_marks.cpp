// The ledger's overlap marks on the ledger of a customer with 100,000 price
// entries (12,500 items with 8 entries each): loading the ledger as a node
// click does (the ledger statement run into a record set), without and with
// the rows that overlap another row marked.
//
//   BM_LedgerLoad/0  the statement's record set alone (the load before the
//                    marks: what the ledger data source did with it)
//   BM_LedgerLoad/1  the ledger data source's load with the marks of the
//                    first screen (40 rows), which the first paint asks for
//   BM_MarksOnLoad   what /1 adds to /0 alone, on a loaded record set: the
//                    pass that checks the ledger's order and the first
//                    screen's marks (steadier than the difference of two
//                    loads on a shared machine)
//   BM_MarksOfEveryRow  for scale: every row's mark asked once after a load
//                    (a user scrolling through the whole ledger)
//
// Goal: /1 at most 1.05 x /0 (medians; CPU time, as the machine is shared).
// Run: bench_ledger_marks --benchmark_repetitions=7 --benchmark_report_aggregates_only=true
// The company is generated on first use, into ORVA_BENCH_DIR when it is set
// (and kept there for later runs), else into a temporary folder.
#include <benchmark/benchmark.h>

#include <string>

#include "browse/base_detail.h"
#include "browse/tvw_builder.h"
#include "common/large_company_file.h"
#include "common/log_on.h"
#include "common/scratch_dir.h"
#include "host/app_connection.h"
#include "session/module_context.h"
#include "session/session.h"

namespace {

constexpr int kScreenRows = 40;

const std::string& CompanyPath() {
    static orva::bench::ScratchDir dir("ledger_marks", orva::bench::ScratchDir::Reuse::kBenchDir);
    static const std::string path =
        orva::bench::LargeCompanyFile(dir, "busy_customer.db", orva::bench::kBusyCustomer);
    return path;
}

// The ledger statement of the one customer, as a click on it runs it.
std::string LedgerStatement(orva::ModuleContext& ctx) {
    orva::RecordsetPtr rs = ctx.Connection().Execute("SELECT FItemID FROM t_Organization");
    const std::string customer = rs->Fields(0).Value().ToText();
    return orva::tvwBuilder::DetailSql(false, false, false, customer,
                                       orva::tvwBuilder::ReadRights(ctx));
}

void BM_LedgerLoad(benchmark::State& state) {
    orva::ModuleContext& ctx = orva::ModuleContext::Shared();
    orva::InitSessionProps(ctx, orva::bench::LogOn(CompanyPath()));
    const std::string sql = LedgerStatement(ctx);
    const bool marks = state.range(0) != 0;
    orva::BaseDetail detail(ctx);
    detail.GetTitleInfo(false);
    long rows = 0;
    int marked = 0;
    for (auto _ : state) {
        if (marks) {
            bool result = false;
            detail.TakeJournalData(sql, nullptr, result);
            rows = detail.Records()->RecordCount();
            marked = 0;
            for (int r = 0; r < kScreenRows; ++r) marked += detail.Overlaps().Marked(r);
        } else {
            orva::RecordsetPtr records = ctx.Connection().Execute(sql);
            rows = records->RecordCount();
            benchmark::DoNotOptimize(records.get());
        }
    }
    state.counters["rows"] = static_cast<double>(rows);
    if (marks)
        state.counters["marked_on_screen"] = marked;
}
BENCHMARK(BM_LedgerLoad)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_MarksOnLoad(benchmark::State& state) {
    orva::ModuleContext& ctx = orva::ModuleContext::Shared();
    orva::InitSessionProps(ctx, orva::bench::LogOn(CompanyPath()));
    orva::BaseDetail detail(ctx);
    detail.GetTitleInfo(false);
    bool result = false;
    detail.TakeJournalData(LedgerStatement(ctx), nullptr, result);
    const orva::RecordsetPtr records = detail.Records();
    int marked = 0;
    for (auto _ : state) {
        detail.SetRecords(records);  // the marks worked out afresh
        marked = 0;
        for (int r = 0; r < kScreenRows; ++r) marked += detail.Overlaps().Marked(r);
    }
    state.counters["marked_on_screen"] = marked;
}
BENCHMARK(BM_MarksOnLoad)->Unit(benchmark::kMillisecond);

void BM_MarksOfEveryRow(benchmark::State& state) {
    orva::ModuleContext& ctx = orva::ModuleContext::Shared();
    orva::InitSessionProps(ctx, orva::bench::LogOn(CompanyPath()));
    orva::BaseDetail detail(ctx);
    detail.GetTitleInfo(false);
    bool result = false;
    detail.TakeJournalData(LedgerStatement(ctx), nullptr, result);
    const long rows = detail.Records()->RecordCount();
    long marked = 0;
    for (auto _ : state) {
        state.PauseTiming();
        detail.SetRecords(detail.Records());  // the marks forgotten
        state.ResumeTiming();
        marked = 0;
        for (long r = 0; r < rows; ++r) marked += detail.Overlaps().Marked(r);
    }
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["marked"] = static_cast<double>(marked);
}
BENCHMARK(BM_MarksOfEveryRow)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
