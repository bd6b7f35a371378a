// The browse window on a company whose customers have 10,000 price entries
// each (5 customers, 2,100 items, 50,000 entries):
//
//   - loading the window with a customer and an item preselected (tree,
//     path, ledger of 10,000 rows, the entry's row found and selected);
//   - a node click from one customer to another, up to a painted first
//     screen of 40 rows;
//   - a refresh of a leaf: reload, repaint and the search for the current
//     entry through every row.
//
// Run: bench_browse --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
// The company is generated on first use, into ORVA_BENCH_DIR when it is set
// (and kept there for later runs), else into a temporary folder.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "browse/browse_base.h"
#include "common/large_company_file.h"
#include "common/log_on.h"
#include "common/scratch_dir.h"
#include "host/app_connection.h"
#include "session/module_context.h"
#include "session/session.h"

namespace {

constexpr int kScreenRows = 40;

const std::string& CompanyPath() {
    static orva::bench::ScratchDir dir("browse", orva::bench::ScratchDir::Reuse::kBenchDir);
    static const std::string path = orva::bench::LargeCompanyFile(
        dir, "bench_browse.db",
        {.customers = 5, .items = 2100, .priceEntries = 50000, .topGroups = 1, .subGroups = 1});
    return path;
}

// The session as the host starts it, the browse window's globals as a host
// that shows customers first sets them.
void LogOn() {
    orva::InitSessionProps(orva::ModuleContext::Shared(), orva::bench::LogOn(CompanyPath()));
    orva::ModuleContext::Shared().g_ShowMode = 0;
    orva::ModuleContext::Shared().g_CategoryByCust = true;
}

std::vector<std::int32_t> Customers() {
    std::vector<std::int32_t> ids;
    auto rs = orva::ModuleContext::Shared().g_Connection->Execute(
        "select FItemID from t_Organization order by FNumber");
    for (; !rs->EOF_(); rs->MoveNext())
        ids.push_back(static_cast<std::int32_t>(rs->Fields(0).Value().ToInteger()));
    return ids;
}

void PaintFirstScreen(orva::Ledger& ledger) {
    for (int r = 1; r <= std::min(ledger.Rows(), kScreenRows + 2); ++r)
        benchmark::DoNotOptimize(ledger.RowCells(r).size());
}

void BM_LoadWithPreselection(benchmark::State& state) {
    LogOn();
    const std::int32_t cust = Customers().front();
    // The item of the customer's last ledger row, so that the whole ledger
    // is searched for the entry.
    auto rs = orva::ModuleContext::Shared().g_Connection->Execute(
        "select top 1 e.FItemID from t_CustEntry e inner join t_ICItem t on t.FItemID=e.FItemID "
        "where e.FCustID=" +
        std::to_string(cust) + " order by t.FNumber desc");
    orva::ModuleContext::Shared().g_SelCustID = cust;
    orva::ModuleContext::Shared().g_SelICItemID =
        static_cast<std::int32_t>(rs->Fields(0).Value().ToInteger());
    int rows = 0;
    int selected = 0;
    for (auto _ : state) {
        orva::BrowseBase window{orva::ModuleContext::Shared()};
        window.Load();
        PaintFirstScreen(window.ldgBase());
        rows = window.ldgBase().Rows();
        selected = window.ldgBase().SelRow();
        state.PauseTiming();
        window.Unload();
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
    state.counters["selRow"] = selected;
    orva::ModuleContext::Shared().g_SelCustID = 0;
    orva::ModuleContext::Shared().g_SelICItemID = 0;
}
BENCHMARK(BM_LoadWithPreselection)->Unit(benchmark::kMillisecond);

std::int32_t Parent(std::int32_t id) {
    auto rs = orva::ModuleContext::Shared().g_Connection->Execute(
        "select FParentID from t_Item where FItemID=" + std::to_string(id));
    return static_cast<std::int32_t>(rs->Fields(0).Value().ToInteger());
}

struct OpenWindow {
    orva::BrowseBase window{orva::ModuleContext::Shared()};
    std::vector<orva::NodeId> leaves;

    OpenWindow() {
        LogOn();
        window.Load();
        orva::Tree& tree = window.tvwBase();
        tree.UserExpand(tree.Find("gc0"));
        for (std::int32_t id : Customers()) {
            std::vector<std::int32_t> path;  // the groups above the customer, top first
            for (std::int32_t p = Parent(id); p != 0; p = Parent(p)) path.insert(path.begin(), p);
            for (std::int32_t g : path) tree.UserExpand(tree.Find("gi" + std::to_string(g)));
        }
        for (std::int32_t id : Customers()) leaves.push_back(tree.Find("gb" + std::to_string(id)));
    }
};

void BM_NodeClickToFirstScreen(benchmark::State& state) {
    OpenWindow w;
    std::size_t next = 0;
    for (auto _ : state) {
        w.window.tvwBase().UserClick(w.leaves[next++ % w.leaves.size()]);
        PaintFirstScreen(w.window.ldgBase());
    }
    state.counters["rows"] = w.window.ldgBase().Rows();
}
BENCHMARK(BM_NodeClickToFirstScreen)->Unit(benchmark::kMillisecond);

void BM_Refresh(benchmark::State& state) {
    OpenWindow w;
    orva::Ledger& ledger = w.window.ldgBase();
    w.window.tvwBase().UserClick(w.leaves.front());
    // No entry was opened, so the search for the current entry goes through
    // every row: the longest a refresh takes.
    for (auto _ : state) {
        w.window.Refresh();
        PaintFirstScreen(ledger);
    }
    state.counters["rows"] = ledger.Rows();
}
BENCHMARK(BM_Refresh)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
