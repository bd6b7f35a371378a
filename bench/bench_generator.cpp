// Time to build company files: the demo company, and large companies up to
// 100,000 customers with 1,000,000 price entries.
//
//   bench_generator --benchmark_filter=Large
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "demo/company_generator.h"

namespace {

namespace fs = std::filesystem;

class ScratchDir {
  public:
    ScratchDir() {
        std::string pattern = (fs::temp_directory_path() / "orva-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        dir_ = pattern;
    }
    ~ScratchDir() { fs::remove_all(dir_); }
    std::string File(int n) const { return dir_ + "/company" + std::to_string(n) + ".db"; }

  private:
    std::string dir_;
};

void BM_DemoCompany(benchmark::State& state) {
    ScratchDir dir;
    int n = 0;
    for (auto _ : state) {
        orva::demo::CreateDemoCompany(dir.File(++n));
        state.PauseTiming();
        fs::remove(dir.File(n));
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DemoCompany)->Unit(benchmark::kMillisecond);

// Arguments: customers, items, price entries.
void BM_LargeCompany(benchmark::State& state) {
    ScratchDir dir;
    orva::demo::LargeCompanyOptions options;
    options.customers = static_cast<int>(state.range(0));
    options.items = static_cast<int>(state.range(1));
    options.priceEntries = state.range(2);
    int n = 0;
    for (auto _ : state) {
        orva::demo::CreateLargeCompany(dir.File(++n), options);
        state.PauseTiming();
        state.counters["file_MB"] =
            static_cast<double>(fs::file_size(dir.File(n))) / (1024.0 * 1024.0);
        fs::remove(dir.File(n));
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
