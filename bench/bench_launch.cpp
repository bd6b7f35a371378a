// Program start with the shared library against the static build. Each
// iteration starts orva-saleprice twice and waits for it to exit: as build/
// links it (the module inside the program) and as the packages link it
// (liborvasaleprice.so.1 beside Qt), in alternating order.
//
//   BM_LaunchExport   the program opens the demo company, shows the browse
//                     window on a customer (offscreen), exports its ledger
//                     to CSV and exits: the start of a clerk's session.
//   BM_LaunchVersion  --version: loading and relocating the program and its
//                     libraries, with the static initialisers, alone.
//
// The time is the shared program's wall time; static_ms is the static one's
// in the same iterations, ratio the quotient of the two sums and cpu_ratio
// that of the programs' processor time (what counts on a shared machine).
// Goal: ratio <= 1.05. The shared program is the one scripts/package builds:
//
//   ORVA_SHARED_PROGRAM=build-package/app/orva-saleprice build/bench/bench_launch
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/scratch_dir.h"
#include "demo/company_generator.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

orva::bench::ScratchDir& Scratch() {
    static orva::bench::ScratchDir dir("launch");
    return dir;
}

const std::string& DemoCompany() {
    static const std::string path = [] {
        const std::string p = Scratch().File("demo.db");
        orva::demo::CreateDemoCompany(p);
        return p;
    }();
    return path;
}

struct Timing {
    double wallMs = 0;
    double cpuMs = 0;
};

double ChildrenCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Runs the program to its end, its output discarded; false when it could not
// start or did not exit with 0.
bool Start(const std::string& program, const std::vector<std::string>& args, Timing& sum) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
    const double cpuBefore = ChildrenCpuMs();
    const auto start = Clock::now();
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, program.c_str(), &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    int status = 0;
    if (failed != 0 || waitpid(pid, &status, 0) != pid)
        return false;
    sum.wallMs += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    sum.cpuMs += ChildrenCpuMs() - cpuBefore;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Times the shared program against the static one on the same arguments;
// `args` is called before each start (a fresh export file each time).
template <class Args>
void CompareLaunches(benchmark::State& state, Args args) {
    const char* shared = std::getenv("ORVA_SHARED_PROGRAM");
    if (!shared || !*shared) {
        state.SkipWithError("set ORVA_SHARED_PROGRAM to the packaged build's orva-saleprice");
        return;
    }
    const std::string staticProgram = ORVA_BINARY_DIR "/app/orva-saleprice";
    const std::string sharedProgram = shared;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    Timing staticSum, sharedSum;
    long n = 0;
    for (auto _ : state) {
        Timing sharedOne;
        // Alternate the order so that neither always starts on warm caches.
        const bool sharedFirst = n++ % 2 == 1;
        bool ok = true;
        if (sharedFirst)
            ok = Start(sharedProgram, args(), sharedOne);
        ok = ok && Start(staticProgram, args(), staticSum);
        if (!sharedFirst)
            ok = ok && Start(sharedProgram, args(), sharedOne);
        if (!ok) {
            state.SkipWithError("orva-saleprice did not start or failed (run it by hand)");
            return;
        }
        state.SetIterationTime(sharedOne.wallMs / 1e3);
        sharedSum.wallMs += sharedOne.wallMs;
        sharedSum.cpuMs += sharedOne.cpuMs;
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["static_ms"] = staticSum.wallMs / runs;
    state.counters["ratio"] = sharedSum.wallMs / staticSum.wallMs;
    state.counters["cpu_ratio"] = sharedSum.cpuMs / staticSum.cpuMs;
}

void BM_LaunchExport(benchmark::State& state) {
    const std::string company = DemoCompany();
    const std::string settings = Scratch().File("settings.ini");
    int file = 0;
    CompareLaunches(state, [&] {
        const std::string out = Scratch().File("ledger" + std::to_string(++file) + ".csv");
        std::filesystem::remove(out);
        return std::vector<std::string>{"--database", company,     "--settings", settings,
                                        "--customer", "01.01.001", "--export",   out};
    });
}
BENCHMARK(BM_LaunchExport)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

void BM_LaunchVersion(benchmark::State& state) {
    CompareLaunches(state, [] { return std::vector<std::string>{"--version"}; });
}
BENCHMARK(BM_LaunchVersion)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(50);

}  // namespace

BENCHMARK_MAIN();
