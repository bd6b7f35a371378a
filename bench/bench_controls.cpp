// Costs of the control models: a ledger of a million rows painted one
// screen at a time, typing into checked spread cells, a property grid built
// with redraw off, and a tree of 100,000 leaves.
#include <benchmark/benchmark.h>

#include <string>

#include "host/controls/ledger.h"
#include "host/controls/spread.h"
#include "host/controls/tree.h"

namespace orva {
namespace {

constexpr int kScreenRows = 40;
constexpr int kCols = 18;

// Builds row texts the way a ledger owner joins its record's fields.
class RowMaker : public LedgerSource {
  public:
    std::string RowText(int row) override {
        std::string text;
        text.reserve(160);
        text += std::to_string(row) + "|C" + std::to_string(100000 + row) + "|Customer " +
                std::to_string(row) + "|PCS|0|100|12.5|RMB|3|" + std::to_string(row % 997) +
                "|1|RMB|10.25|2026-01-01|Y|2100-01-01|note|x|";
        return text;
    }
};

// A ledger of kCols columns whose rows come from a RowMaker.
struct MadeLedger {
    RowMaker source;
    Ledger ledger;
    MadeLedger() {
        ledger.SetSource(&source);
        ledger.SetCols(kCols);
    }
};

// A million rows set, then the first screen painted (every cell read).
void BM_LedgerMillionRowsFirstScreen(benchmark::State& state) {
    MadeLedger made;
    Ledger& ledger = made.ledger;
    std::size_t bytes = 0;
    for (auto _ : state) {
        ledger.SetRows(2);  // a new load drops the previous rows
        ledger.SetRows(1'000'002);
        for (int r = 3; r < 3 + kScreenRows; ++r) {
            for (int c = 1; c <= kCols; ++c) bytes += ledger.CellText(r, c).size();
        }
    }
    benchmark::DoNotOptimize(bytes);
    state.counters["rows_fetched_per_screen"] =
        static_cast<double>(ledger.SourceFetches()) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_LedgerMillionRowsFirstScreen)->Unit(benchmark::kMicrosecond);

// Setting the row count alone: no row is asked for.
void BM_LedgerSetMillionRows(benchmark::State& state) {
    MadeLedger made;
    Ledger& ledger = made.ledger;
    for (auto _ : state) {
        ledger.SetRows(2);
        ledger.SetRows(1'000'002);
    }
    state.counters["rows_fetched"] = static_cast<double>(ledger.SourceFetches());
}
BENCHMARK(BM_LedgerSetMillionRows)->Unit(benchmark::kNanosecond);

// Scrolling: each iteration paints the next screen of rows not seen before.
void BM_LedgerScrollScreen(benchmark::State& state) {
    MadeLedger made;
    Ledger& ledger = made.ledger;
    ledger.SetRows(1'000'002);
    int first = 3;
    std::size_t bytes = 0;
    for (auto _ : state) {
        for (int r = first; r < first + kScreenRows; ++r) {
            for (const std::string& cell : ledger.RowCells(r)) bytes += cell.size();
        }
        first += kScreenRows;
        if (first + kScreenRows > ledger.Rows())
            first = 3;
    }
    benchmark::DoNotOptimize(bytes);
}
BENCHMARK(BM_LedgerScrollScreen)->Unit(benchmark::kMicrosecond);

// The user types into a decimal, a date and a text cell (all accepted).
void BM_SpreadTypeText(benchmark::State& state) {
    Spread spread;
    spread.SetMaxCols(3);
    spread.SetMaxRows(16);
    spread.SetCellType(CellBlock::Cell(2, 9), CellType::Decimal(2, -9999999.99, 9999999.99));
    spread.SetCellType(CellBlock::Cell(2, 13), CellType::Date());
    spread.SetCellType(CellBlock::Cell(2, 16), CellType::Text(255));
    const char* prices[] = {"12.50", "1234567.89", "0.01"};
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(spread.TypeText(2, 9, prices[i++ % 3]));
        benchmark::DoNotOptimize(spread.TypeText(2, 13, i % 2 ? "2026-02-28" : "2024-2-29"));
        benchmark::DoNotOptimize(spread.TypeText(2, 16, i % 2 ? "客户备注" : "note"));
    }
}
BENCHMARK(BM_SpreadTypeText)->Unit(benchmark::kNanosecond);

// A sixteen-row property grid formatted with redraw off: kinds, texts,
// locks, hidden rows, one merged notice to the view.
void BM_SpreadFormatPropertyGrid(benchmark::State& state) {
    int notices = 0;
    for (auto _ : state) {
        Spread spread;
        auto sub = spread.Subscribe([&](const GridChange&) { ++notices; });
        spread.SetRedraw(false);
        spread.SetMaxCols(3);
        spread.SetCellType(CellBlock::Column(1), CellType::StaticText());
        spread.SetCellType(CellBlock::Column(3), CellType::Text(60));
        spread.SetMaxRows(16);
        spread.SetLock(CellBlock::Rows(1, 16), false);
        for (int r = 1; r <= 16; ++r) {
            spread.SetText(1, r, "caption");
            spread.SetCellType(CellBlock::Cell(2, r), CellType::Decimal(4, -1e7, 1e7));
            spread.SetText(2, r, "12.5");
            spread.SetText(3, r, "12.5");
        }
        for (int r : {2, 4, 5, 14}) spread.SetLock(CellBlock::Row(r), true);
        spread.SetRowHidden(11, true);
        spread.SetRowHidden(14, true);
        spread.SetRedraw(true);
    }
    state.counters["notices_per_build"] =
        static_cast<double>(notices) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_SpreadFormatPropertyGrid)->Unit(benchmark::kMicrosecond);

// 2,000 groups of 50 leaves each under one root, then every leaf found by key.
void BM_TreeBuildAndFind(benchmark::State& state) {
    for (auto _ : state) {
        Tree tree;
        tree.Add("", "gc0", "root", 1, 2);
        for (int g = 1; g <= 2000; ++g) {
            const std::string group = "gi" + std::to_string(g);
            tree.Add("gc0", group, "G" + std::to_string(g), 1, 2);
            for (int i = 0; i < 50; ++i) {
                const int id = g * 100 + i;
                tree.Add(group, "gb" + std::to_string(id), "C" + std::to_string(id), 3);
            }
        }
        int found = 0;
        for (int g = 1; g <= 2000; ++g) {
            for (int i = 0; i < 50; ++i)
                found += tree.Find("gb" + std::to_string(g * 100 + i)) != 0;
        }
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_TreeBuildAndFind)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace orva

BENCHMARK_MAIN();
