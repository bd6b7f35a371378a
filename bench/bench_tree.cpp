// The browse window's tree and ledger on large companies.
//
//   - Rebuild plus root expansion: 100,000 customers in 2,000 groups.
//   - Expanding one group of 5,000 customers (100,000 customers in 20 groups).
//   - A customer with 100,000 price entries: a node click up to a painted
//     first screen (TakeJournalData and the visible rows' DRowData), beside
//     the same ledger statement read by raw sqlite3; DRowData of any row; the
//     resident size of the loaded ledger.
//
// Run: bench_tree --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
// The companies are generated on first use, into ORVA_BENCH_DIR when it is
// set (and kept there for later runs), else into a temporary folder.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "browse/base_detail.h"
#include "browse/tvw_builder.h"
#include "common/large_company_file.h"
#include "common/log_on.h"
#include "common/raw_sqlite.h"
#include "common/scratch_dir.h"
#include "demo/demo_company.h"
#include "host/app_connection.h"
#include "host/controls/ledger.h"
#include "host/controls/tree.h"
#include "host/db/sqlite/sqlite_dialect.h"
#include "host/tsql/translator.h"
#include "session/module_context.h"

namespace {

using orva::bench::LogOn;

constexpr int kScreenRows = 40;  // data rows of a first screen

// Large company files, generated once per process.
std::string Company(const std::string& name, const orva::demo::LargeCompanyOptions& o) {
    static orva::bench::ScratchDir dir("tree", orva::bench::ScratchDir::Reuse::kBenchDir);
    return orva::bench::LargeCompanyFile(dir, "bench_tree_" + name + ".db", o);
}

// 100,000 customers, 40 + 40 x 49 = 2,000 groups.
const std::string& ManyGroups() {
    static const std::string path = Company("groups", {.customers = 100000,
                                                       .items = 1000,
                                                       .priceEntries = 2000,
                                                       .topGroups = 40,
                                                       .subGroups = 49});
    return path;
}
// 100,000 customers, 4 + 4 x 5 groups: 5,000 per sub-group.
const std::string& BigGroups() {
    static const std::string path = Company(
        "big",
        {.customers = 100000, .items = 1000, .priceEntries = 2000, .topGroups = 4, .subGroups = 5});
    return path;
}
// One customer with 100,000 price entries.
const std::string& BusyCustomer() {
    static const std::string path = Company("busy", orva::bench::kBusyCustomer);
    return path;
}

double ResidentMB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) /
           (1024.0 * 1024.0);
}

// --- Tree ----------------------------------------------------------------

// Argument: the user (0 the administrator, 1 the group clerk, whose lists
// carry the rights joins).
void BM_TreeRebuildAndExpandRoot(benchmark::State& state) {
    LogOn(ManyGroups(), state.range(0) ? orva::demo::kGroupClerkUserId : orva::demo::kAdminUserId);
    orva::Tree tree;
    orva::tvwBuilder builder{orva::ModuleContext::Shared()};
    builder.SetTvwGroup(&tree);
    for (auto _ : state) {
        builder.SetTreeView(-1);
        builder.SetTreeView(0);
    }
    state.counters["nodes"] = tree.Count();
    state.SetLabel(state.range(0) ? "group clerk" : "administrator");
}
BENCHMARK(BM_TreeRebuildAndExpandRoot)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_TreeExpandGroupOf5000(benchmark::State& state) {
    LogOn(BigGroups());
    orva::Tree tree;
    orva::tvwBuilder builder{orva::ModuleContext::Shared()};
    builder.SetTvwGroup(&tree);
    builder.SetTreeView(-1);
    builder.SetTreeView(0);
    // The first top-level group and its first sub-group.
    auto firstChild = [&](const std::string& key) {
        return tree.Node(tree.FirstChild(tree.Find(key))).key;
    };
    std::string top = firstChild("gc0");
    builder.SetTreeView(orva::ParseTreeNodeKey(top)->id);
    std::string sub = firstChild(top);
    const orva::NodeId subNode = tree.Find(sub);
    const std::int32_t subId = orva::ParseTreeNodeKey(sub)->id;
    int children = 0;
    for (auto _ : state) {
        builder.SetTreeView(subId);
        state.PauseTiming();
        children = tree.ChildCount(subNode);
        // Back to the unexpanded state: the placeholder alone.
        for (orva::NodeId n : tree.Children(subNode)) tree.Remove(n);
        tree.AddUnder(subNode, "", "");
        state.ResumeTiming();
    }
    state.counters["children"] = children;
}
BENCHMARK(BM_TreeExpandGroupOf5000)->Unit(benchmark::kMillisecond);

// --- Ledger --------------------------------------------------------------

struct LedgerFixture {
    orva::Tree tree;
    orva::tvwBuilder builder{orva::ModuleContext::Shared()};
    orva::Ledger ledger;
    orva::BaseDetail detail{orva::ModuleContext::Shared()};
    std::string statement;

    LedgerFixture() {
        LogOn(BusyCustomer());
        builder.SetTvwGroup(&tree);
        builder.SetTreeView(-1);
        std::string cust = orva::ModuleContext::Shared()
                               .g_Connection->Execute("select FItemID from t_Organization")
                               ->Fields(0)
                               .Value()
                               .ToText();
        statement = builder.GetDetailSql(cust);
        detail.SetLDG(&ledger);
        ledger.SetSource(&detail);
        detail.GetTitleInfo(false);
    }
    // What a node click does up to the first painted screen.
    void ClickAndPaint() {
        bool result = false;
        detail.TakeJournalData(statement, nullptr, result);
        ledger.ForceRefresh();
        for (int row = 1; row <= 2 + kScreenRows && row <= ledger.Rows(); ++row)
            benchmark::DoNotOptimize(ledger.RowCells(row).size());
    }
};

void BM_LedgerFirstScreen(benchmark::State& state) {
    LedgerFixture f;
    f.ClickAndPaint();  // the file's pages and the statement's translation warm
    for (auto _ : state) f.ClickAndPaint();
    state.counters["entries"] = f.ledger.Rows() - 2;
}
BENCHMARK(BM_LedgerFirstScreen)->Unit(benchmark::kMillisecond);

// The same, with a statement text the connection has not run before (as
// when another leaf is clicked): translated anew, and read without knowing
// the row count in advance.
void BM_LedgerFirstScreenNewStatement(benchmark::State& state) {
    LedgerFixture f;
    f.ClickAndPaint();
    const std::string statement = f.statement;
    int n = 0;
    for (auto _ : state) {
        f.statement = statement + std::string(static_cast<std::size_t>(++n), ' ');
        f.ClickAndPaint();
    }
    state.counters["entries"] = f.ledger.Rows() - 2;
}
BENCHMARK(BM_LedgerFirstScreenNewStatement)->Unit(benchmark::kMillisecond);

// The same statement, translated once, stepped through by sqlite3 with every
// column of every row read.
void BM_LedgerRawSqlite(benchmark::State& state) {
    LedgerFixture f;
    orva::tsql::Program program = orva::tsql::Compile(f.statement, orva::SqliteDialect());
    const std::string& sql = program.steps.at(0).sql.at(0);
    orva::bench::RawSqlite raw(BusyCustomer(), orva::bench::RawSqlite::Mode::kReadOnly);
    raw.UseModuleSettings();
    long rows = raw.ReadEveryCell(sql);  // the file's pages warm, as for the ledger
    for (auto _ : state) rows = raw.ReadEveryCell(sql);
    state.counters["entries"] = static_cast<double>(rows);
}
BENCHMARK(BM_LedgerRawSqlite)->Unit(benchmark::kMillisecond);

// DRowData of rows spread over the whole ledger.
void BM_DRowData(benchmark::State& state) {
    LedgerFixture f;
    f.ClickAndPaint();
    const int rows = f.ledger.Rows();
    std::mt19937 rnd(42);
    std::uniform_int_distribution<int> pick(3, rows + 10);  // also beyond the last record
    std::string text;
    for (auto _ : state) {
        f.detail.DRowData(pick(rnd), 0, text);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_DRowData)->Unit(benchmark::kMicrosecond);

// Memory taken by the loaded ledger of 100,000 entries:
//   ledger_MB      the heap in use beside an empty ledger: what the ledger
//                  holds (freed blocks are kept for reuse, so the resident
//                  size alone would not show it);
//   rss_growth_MB  the resident size that the first load adds to the
//                  process (with the connection's page cache and the
//                  statement's translation); meaningful when the companies
//                  were generated by an earlier run (ORVA_BENCH_DIR), not in
//                  this process.
std::size_t HeapInUse() {
    struct mallinfo2 m = ::mallinfo2();
    return m.uordblks + m.hblkhd;
}

void BM_LedgerResident(benchmark::State& state) {
    LedgerFixture f;
    const double rssBefore = ResidentMB();
    f.ClickAndPaint();
    state.counters["rss_growth_MB"] = ResidentMB() - rssBefore;
    bool result = false;
    f.detail.TakeJournalData(
        "",
        std::make_shared<orva::Recordset>(std::vector<std::string>{}, std::vector<orva::Variant>{}),
        result);
    const std::size_t before = HeapInUse();
    for (auto _ : state) f.ClickAndPaint();
    state.counters["ledger_MB"] = static_cast<double>(HeapInUse() - before) / (1024.0 * 1024.0);
}
BENCHMARK(BM_LedgerResident)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
