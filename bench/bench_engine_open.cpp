// Opening one price entry in the record editor engine (InitInfo, SetValues,
// SetProperty, and the lock of an audited entry) in a company of 1,000,000
// price entries, 100,000 customers and 10,000 items. Each iteration opens
// the next of 256 entries spread over the whole table, with a new engine on
// the editor's grid, as the editor does when it steps to another record.
// The target is a median of at most 20 ms.
//
// Run: bench_engine_open --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/large_company_file.h"
#include "common/log_on.h"
#include "common/scratch_dir.h"
#include "engine/user_def_info.h"
#include "host/app_connection.h"
#include "host/controls/spread.h"
#include "host/controls/status_bar.h"
#include "session/module_context.h"
#include "session/session.h"

namespace {

constexpr std::int64_t kEntries = 1000000;
constexpr int kOpened = 256;

// The company file, generated once per process and removed at exit.
const std::string& LargeCompany() {
    static orva::bench::ScratchDir dir("open");
    static const std::string path = orva::bench::LargeCompanyFile(
        dir, "large.db", {.customers = 100000, .items = 10000, .priceEntries = kEntries});
    return path;
}

struct Entry {
    std::int32_t id, cust, item;
};

// Logs the administrator on and picks entries spread over the table.
std::vector<Entry> Prepare() {
    orva::InitSessionProps(orva::ModuleContext::Shared(), orva::bench::LogOn(LargeCompany()));
    std::vector<Entry> entries;
    const std::int64_t step = kEntries / kOpened;
    for (int i = 0; i < kOpened; ++i) {
        auto rs = orva::ModuleContext::Shared().g_Connection->Execute(
            "SELECT FEntryID,FCustID,FItemID FROM t_CustEntry WHERE FEntryID=" +
            std::to_string(1 + i * step));
        if (rs->EOF_())
            throw std::runtime_error("missing entry");
        entries.push_back({static_cast<std::int32_t>(rs->Fields(0).Value().ToInteger()),
                           static_cast<std::int32_t>(rs->Fields(1).Value().ToInteger()),
                           static_cast<std::int32_t>(rs->Fields(2).Value().ToInteger())});
    }
    return entries;
}

void OpenEntry(orva::Spread& grid, orva::StatusBar& status, const Entry& e) {
    orva::UserDefInfo engine{orva::ModuleContext::Shared()};
    engine.SelItemID = orva::ModuleContext::Shared().g_CategoryByCust ? 0 : e.item;
    engine.SelCustID = orva::ModuleContext::Shared().g_CategoryByCust ? e.cust : 0;
    engine.SelEntryID = e.id;
    engine.Spread(&grid);
    engine.Status(&status);
    if (engine.InitInfo() != 0)
        throw std::runtime_error("InitInfo failed");
    engine.OperationType(orva::EditorOperation::kSingle);
    engine.SetValues();
    engine.SetProperty();
    if (engine.Used() != 0)
        engine.LocktheGrd(0);
    if (engine.SelCustID != e.cust)
        throw std::runtime_error("entry not loaded");
}

void BM_OpenEntry(benchmark::State& state) {
    static const std::vector<Entry> entries = Prepare();
    orva::ModuleContext::Shared().g_CategoryByCust = state.range(0) != 0;
    orva::Spread grid;
    grid.SetMaxCols(3);
    orva::StatusBar status;
    status.AddPanel();
    std::size_t next = 0;
    for (auto _ : state) {
        OpenEntry(grid, status, entries[next]);
        next = (next + 1) % entries.size();
    }
    state.SetLabel(orva::ModuleContext::Shared().g_CategoryByCust ? "grouped by customer"
                                                                  : "grouped by item");
    orva::ModuleContext::Shared().g_CategoryByCust = true;
}
BENCHMARK(BM_OpenEntry)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
