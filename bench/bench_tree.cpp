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
#include <sqlite3.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>

#include "browse/base_detail.h"
#include "browse/tvw_builder.h"
#include "demo/company_generator.h"
#include "demo/demo_company.h"
#include "host/app_connection.h"
#include "host/controls/ledger.h"
#include "host/controls/tree.h"
#include "host/host_services.h"
#include "host/session_string.h"
#include "host/share_props.h"
#include "host/tsql/sqlite_functions.h"
#include "host/tsql/translator.h"
#include "session/globals.h"

namespace {

namespace fs = std::filesystem;

constexpr int kScreenRows = 40;  // data rows of a first screen

// Where the companies are kept: ORVA_BENCH_DIR when set (kept, and reused by
// later runs), else a temporary folder removed at exit.
class ScratchDir {
  public:
    ScratchDir() {
        if (const char* dir = std::getenv("ORVA_BENCH_DIR"); dir && *dir) {
            dir_ = dir;
            fs::create_directories(dir_);
            keep_ = true;
            return;
        }
        std::string pattern = (fs::temp_directory_path() / "orva-bench-tree-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        dir_ = pattern;
    }
    ~ScratchDir() {
        if (!keep_)
            fs::remove_all(dir_);
    }
    std::string File(const std::string& name) const { return dir_ + "/bench_tree_" + name + ".db"; }

  private:
    std::string dir_;
    bool keep_ = false;
};

ScratchDir& Scratch() {
    static ScratchDir dir;
    return dir;
}

std::string Company(const std::string& name, const orva::demo::LargeCompanyOptions& o) {
    std::string path = Scratch().File(name);
    if (!fs::exists(path))
        orva::demo::CreateLargeCompany(path, o);
    return path;
}

// Large company files, generated once per process.
const std::string& ManyGroups() {  // 100,000 customers, 40 + 40 x 49 = 2,000 groups
    static const std::string path = [] {
        orva::demo::LargeCompanyOptions o;
        o.customers = 100000;
        o.items = 1000;
        o.priceEntries = 2000;
        o.topGroups = 40;
        o.subGroups = 49;
        return Company("groups", o);
    }();
    return path;
}
const std::string& BigGroups() {  // 100,000 customers, 4 + 4 x 5 groups: 5,000 per sub-group
    static const std::string path = [] {
        orva::demo::LargeCompanyOptions o;
        o.customers = 100000;
        o.items = 1000;
        o.priceEntries = 2000;
        o.topGroups = 4;
        o.subGroups = 5;
        return Company("big", o);
    }();
    return path;
}
const std::string& BusyCustomer() {  // one customer with 100,000 price entries
    static const std::string path = [] {
        orva::demo::LargeCompanyOptions o;
        o.customers = 1;
        o.items = 13100;  // 96 % can be priced: 12,500 items with 8 entries each
        o.priceEntries = 100000;
        return Company("busy", o);
    }();
    return path;
}

// Logs the user on to the company and opens the shared connection.
void LogOn(const std::string& path, int user = orva::demo::kAdminUserId) {
    orva::RegisterHostServices();
    orva::ShareProps().SetProperty(orva::ShareProps::CurrentProcessId(), "PropsString",
                                   orva::Variant(orva::MakeSessionString(path, user)));
    orva::g_Connection = std::make_shared<orva::AppConnection>();
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
    orva::tvwBuilder builder;
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
    orva::tvwBuilder builder;
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
    orva::tvwBuilder builder;
    orva::Ledger ledger;
    orva::BaseDetail detail;
    std::string statement;

    LedgerFixture() {
        LogOn(BusyCustomer());
        builder.SetTvwGroup(&tree);
        builder.SetTreeView(-1);
        std::string cust = orva::g_Connection->Execute("select FItemID from t_Organization")
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
    orva::tsql::Program program = orva::tsql::Compile(f.statement);
    const std::string& sql = program.steps.at(0).sql.at(0);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(BusyCustomer().c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot open the company file");
    orva::RegisterSqlServerCompat(db);
    // The settings of the module's own connections.
    sqlite3_exec(db, "PRAGMA temp_store=MEMORY; PRAGMA cache_size=-32000;", nullptr, nullptr,
                 nullptr);
    auto readAll = [&] {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
        long rows = 0;
        const int cols = sqlite3_column_count(stmt);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            ++rows;
            for (int c = 0; c < cols; ++c) {
                switch (sqlite3_column_type(stmt, c)) {
                    case SQLITE_INTEGER:
                        benchmark::DoNotOptimize(sqlite3_column_int64(stmt, c));
                        break;
                    case SQLITE_FLOAT:
                        benchmark::DoNotOptimize(sqlite3_column_double(stmt, c));
                        break;
                    case SQLITE_TEXT:
                        benchmark::DoNotOptimize(sqlite3_column_text(stmt, c));
                        benchmark::DoNotOptimize(sqlite3_column_bytes(stmt, c));
                        break;
                    default:
                        break;
                }
            }
        }
        sqlite3_finalize(stmt);
        return rows;
    };
    long rows = readAll();  // the file's pages warm, as for the ledger
    for (auto _ : state) rows = readAll();
    sqlite3_close(db);
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
    orva::g_LedgerRecords.reset();
    const std::size_t before = HeapInUse();
    for (auto _ : state) f.ClickAndPaint();
    state.counters["ledger_MB"] = static_cast<double>(HeapInUse() - before) / (1024.0 * 1024.0);
}
BENCHMARK(BM_LedgerResident)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
