// Time to build company files: the demo company, and large companies up to
// 100,000 customers with 1,000,000 price entries.
//
//   bench_generator --benchmark_filter=Large
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "common/scratch_dir.h"
#include "demo/company_generator.h"

namespace {

namespace fs = std::filesystem;

// The n-th company file of a benchmark's scratch folder.
std::string File(const orva::bench::ScratchDir& dir, int n) {
    return dir.File("company" + std::to_string(n) + ".db");
}

void BM_DemoCompany(benchmark::State& state) {
    orva::bench::ScratchDir dir("generator");
    int n = 0;
    for (auto _ : state) {
        orva::demo::CreateDemoCompany(File(dir, ++n));
        state.PauseTiming();
        fs::remove(File(dir, n));
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DemoCompany)->Unit(benchmark::kMillisecond);

// Arguments: customers, items, price entries.
void BM_LargeCompany(benchmark::State& state) {
    orva::bench::ScratchDir dir("generator");
    orva::demo::LargeCompanyOptions options;
    options.customers = static_cast<int>(state.range(0));
    options.items = static_cast<int>(state.range(1));
    options.priceEntries = state.range(2);
    int n = 0;
    for (auto _ : state) {
        orva::demo::CreateLargeCompany(File(dir, ++n), options);
        state.PauseTiming();
        state.counters["file_MB"] =
            static_cast<double>(fs::file_size(File(dir, n))) / (1024.0 * 1024.0);
        fs::remove(File(dir, n));
        state.ResumeTiming();
    }
    state.counters["entries_per_s"] = benchmark::Counter(
        static_cast<double>(options.priceEntries) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LargeCompany)
    ->Args({10000, 1000, 100000})
    ->Args({100000, 10000, 1000000})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
