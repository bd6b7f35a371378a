// Filter and field access over a client record set of price entries.
// Run: bench_recordset --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "orvasaleprice/recordset.h"

namespace {

constexpr int kRows = 100000;

// kRows price entries: 500 customers x 200 items, codes and names as text,
// dates as "yyyy-mm-dd" text, prices as doubles, some Null notes.
std::unique_ptr<orva::Recordset> PriceEntries() {
    std::vector<orva::Variant> cells;
    cells.reserve(static_cast<std::size_t>(kRows) * 9);
    for (int i = 0; i < kRows; ++i) {
        int cust = i / 200 + 1;
        int item = i % 200 + 1;
        cells.emplace_back(i + 1);
        cells.emplace_back(cust);
        cells.emplace_back(item);
        cells.emplace_back("01." + std::to_string(item));
        cells.emplace_back("Item name " + std::to_string(item));
        cells.emplace_back(i % 3 == 0 ? 1 : 0);
        cells.emplace_back("2024-0" + std::to_string(i % 9 + 1) + "-01");
        cells.emplace_back(i % 2 == 0 ? "2024-01-01" : "2100-01-01");
        if (i % 5 == 0) {
            cells.emplace_back();  // Null price
        } else {
            cells.emplace_back(i * 0.25);
        }
    }
    return std::make_unique<orva::Recordset>(
        std::vector<std::string>{"FEntryID", "FCustID", "FItemID", "FNumber", "FName", "FUsed",
                                 "FQuoteTime", "FExpireDate", "FPrice"},
        std::move(cells));
}

const char* const kCriteria[] = {
    " FItemID=17",
    " FUsed=0 ",
    "FNumber='01.17'Or FName='item name 18'",
    "FExpireDate='2024-01-01' And  FQuoteTime='2024-03-01' ",
    "FName LIKE '*name 1*'",
    "(FCustID>100 AND FCustID<=200) OR FPrice<10",
};

void BM_Filter(benchmark::State& state) {
    static auto rs = PriceEntries();
    const char* criteria = kCriteria[state.range(0)];
    state.SetLabel(criteria);
    for (auto _ : state) {
        rs->Filter(criteria);
        benchmark::DoNotOptimize(rs->RecordCount());
    }
    rs->Filter("");
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_Filter)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

void BM_ClearFilter(benchmark::State& state) {
    static auto rs = PriceEntries();
    for (auto _ : state) {
        rs->Filter("");
        benchmark::DoNotOptimize(rs->RecordCount());
    }
}
BENCHMARK(BM_ClearFilter)->Unit(benchmark::kMillisecond);

// Walking the whole set reading two fields by name, as a ledger load does.
void BM_WalkFieldsByName(benchmark::State& state) {
    static auto rs = PriceEntries();
    for (auto _ : state) {
        double sum = 0;
        for (rs->MoveFirst(); !rs->EOF_(); rs->MoveNext()) {
            sum += static_cast<double>(*rs->Fields("fitemid").Value().AsInteger());
            benchmark::DoNotOptimize(rs->Fields("FName").Value());
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_WalkFieldsByName)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
