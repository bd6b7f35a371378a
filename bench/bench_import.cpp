// The import of a price list of 100,000 rows (one customer, 12,500 items in
// eight quantity bands each) from .xlsx, beside its floors in the same run:
//
// - BM_DryRun: the file read and every row planned (nothing written),
//   against BM_ReaderFloor, liborcus alone reading the same file (its zip
//   archive unpacking the sheet and the shared strings, its SAX parser
//   walking every cell). Targets: at most 3 s and twice the floor.
// - BM_ImportNew: the dry run and the write of 100,000 new entries through
//   the price store, each row committed on its own, into a fresh copy of the
//   company, against BM_ImportFloor: the floor reader plus the same rows
//   inserted with one prepared statement in one transaction. Target: three
//   times the floor, the peak resident memory within 50 MB of the
//   program's at rest (counters rest_MB and peak_MB; plan_peak_MB, the peak
//   by the end of the dry run, tells whether the plan or the write set it).
//
// Run: bench_import --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
// The company and the file are generated on first use, into ORVA_BENCH_DIR
// when it is set (and kept there for later runs), else into a temporary folder.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <orcus/sax_parser.hpp>
#include <orcus/zip_archive.hpp>
#include <orcus/zip_archive_stream.hpp>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/large_company_file.h"
#include "common/log_on.h"
#include "common/raw_sqlite.h"
#include "common/scratch_dir.h"
#include "host/app_connection.h"
#include "host/export/xlsx_writer.h"
#include "import/import_plan.h"
#include "import/import_write.h"
#include "session/module_context.h"
#include "session/session.h"

namespace {

namespace fs = std::filesystem;

constexpr int kItems = 12500;
constexpr int kBands = 8;

orva::bench::ScratchDir& Dir() {
    static orva::bench::ScratchDir dir("import", orva::bench::ScratchDir::Reuse::kBenchDir);
    return dir;
}

// A company with one customer, 13,100 items and no price entries.
const std::string& Company() {
    static const std::string path = orva::bench::LargeCompanyFile(
        Dir(), "import-company.db", {.customers = 1, .items = 13100, .priceEntries = 0});
    return path;
}

struct PricedItem {
    int id;
    std::string code;
    int baseUnit;
};

// The items a price may be given for, in ID order.
const std::vector<PricedItem>& Items() {
    static const std::vector<PricedItem> items = [] {
        std::vector<PricedItem> list;
        orva::bench::RawSqlite db(Company(), orva::bench::RawSqlite::Mode::kReadOnly);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db.db(),
                           "SELECT t.FItemID,t.FNumber,t.FUnitID FROM t_ICItem t JOIN t_Item i ON "
                           "i.FItemID=t.FItemID WHERE i.FDetail=1 AND t.FErpClsID NOT IN (6,8) "
                           "AND t.FDeleted<>1 ORDER BY t.FItemID LIMIT 12500",
                           -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW) {
            list.push_back({sqlite3_column_int(st, 0),
                            reinterpret_cast<const char*>(sqlite3_column_text(st, 1)),
                            sqlite3_column_int(st, 2)});
        }
        sqlite3_finalize(st);
        return list;
    }();
    return items;
}

int Customer() {
    static const int id = [] {
        orva::bench::RawSqlite db(Company(), orva::bench::RawSqlite::Mode::kReadOnly);
        return db.Ints("SELECT FItemID FROM t_Organization")[0];
    }();
    return id;
}

// The price list: 100,000 rows, written once.
const std::string& PriceList() {
    static const std::string path = [] {
        const std::string file = Dir().File("prices-100000.xlsx");
        if (fs::exists(file))
            return file;
        orva::XlsxWriter writer(file);
        writer.Begin("价格资料", {{"物料代码", 20, orva::ExportKind::kText},
                                  {"计量单位", 8, orva::ExportKind::kText},
                                  {"销货量(从)", 10, orva::ExportKind::kNumber},
                                  {"销货量(到)", 10, orva::ExportKind::kNumber},
                                  {"报价", 10, orva::ExportKind::kNumber},
                                  {"生效日期", 12, orva::ExportKind::kDate},
                                  {"失效日期", 12, orva::ExportKind::kDate},
                                  {"备注", 20, orva::ExportKind::kText}});
        std::vector<std::string> cells(8);
        for (const PricedItem& item : Items()) {
            for (int b = 0; b < kBands; ++b) {
                cells = {item.code,
                         "",
                         std::to_string(b * 100),
                         std::to_string(b * 100 + 99),
                         std::to_string(900000 + b) + ".5",
                         "2024-01-01",
                         "2100-01-01",
                         b % 4 ? "" : "band " + std::to_string(b)};
                writer.WriteRow(cells);
            }
        }
        writer.Finish();
        return file;
    }();
    return path;
}

// liborcus alone: the sheet and the shared strings unpacked, every element
// and text of them parsed.
class CountingHandler : public orcus::sax_handler {
  public:
    void start_element(const orcus::sax::parser_element&) { ++elements; }
    void characters(std::string_view text, bool) { bytes += text.size(); }
    std::size_t elements = 0;
    std::size_t bytes = 0;
};

std::size_t ReadWithLibraryAlone(const std::string& path) {
    orcus::zip_archive_stream_fd stream(path.c_str());
    orcus::zip_archive archive(&stream);
    archive.load();
    CountingHandler handler;
    std::vector<unsigned char> part;
    for (const char* name : {"xl/sharedStrings.xml", "xl/worksheets/sheet1.xml"}) {
        if (!archive.read_file_entry(name, part))
            continue;
        orcus::sax_parser<CountingHandler> parser(reinterpret_cast<const char*>(part.data()),
                                                  part.size(), handler);
        parser.parse();
    }
    return handler.elements;
}

double MegabytesOf(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0)
            return std::stod(line.substr(std::string(field).size())) / 1024.0;
    }
    return 0;
}

// Resets the peak resident memory to what the program holds now.
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

void BM_ReaderFloor(benchmark::State& state) {
    const std::string& file = PriceList();
    for (auto _ : state) benchmark::DoNotOptimize(ReadWithLibraryAlone(file));
}
BENCHMARK(BM_ReaderFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DryRun(benchmark::State& state) {
    const std::string& file = PriceList();
    orva::ModuleContext& ctx = orva::ModuleContext::Shared();
    orva::InitSessionProps(ctx, orva::bench::LogOn(Company()));
    std::int64_t added = 0;
    for (auto _ : state) {
        const orva::import::ImportPlan plan =
            orva::import::PlanImport(ctx, *ctx.g_Connection, file, {}, {Customer(), 0});
        added = plan.Count(orva::import::RowOutcome::kNew);
    }
    state.counters["new"] = static_cast<double>(added);
}
BENCHMARK(BM_DryRun)->Unit(benchmark::kMillisecond)->UseRealTime();

// A fresh copy of the company for each write, under a name of its own: the
// connections of the last one (the rights object keeps its own) may still
// hold that file and its journal open.
std::string FreshCopy() {
    static int copies = 0;
    const std::string copy = Dir().File("import-copy-" + std::to_string(++copies) + ".db");
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) fs::remove(copy + suffix);
    fs::copy_file(Company(), copy);
    return copy;
}

void BM_ImportNew(benchmark::State& state) {
    const std::string& file = PriceList();
    orva::ModuleContext& ctx = orva::ModuleContext::Shared();
    double rest = 0, planned = 0, peak = 0;
    std::int64_t added = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ctx.g_Connection.reset();
        orva::InitSessionProps(ctx, orva::bench::LogOn(FreshCopy()));
        // The heap the benchmarks before left free goes back to the system
        // first: kept, it would hold the import's memory and hide its peak.
        malloc_trim(0);
        rest = MegabytesOf("VmRSS:");
        ResetPeak();
        state.ResumeTiming();
        orva::import::ImportPlan plan =
            orva::import::PlanImport(ctx, *ctx.g_Connection, file, {}, {Customer(), 0});
        state.PauseTiming();
        planned = MegabytesOf("VmHWM:");
        state.ResumeTiming();
        added = orva::import::WriteImport(ctx, *ctx.g_Connection, plan).added;
        state.PauseTiming();
        peak = MegabytesOf("VmHWM:");
        state.ResumeTiming();
    }
    state.counters["added"] = static_cast<double>(added);
    state.counters["rest_MB"] = rest;
    state.counters["plan_peak_MB"] = planned;  // the peak by the end of the dry run
    state.counters["peak_MB"] = peak;
}
BENCHMARK(BM_ImportNew)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_ImportFloor(benchmark::State& state) {
    const std::string& file = PriceList();
    const int customer = Customer();
    for (auto _ : state) {
        state.PauseTiming();
        const std::string copy = FreshCopy();
        state.ResumeTiming();
        benchmark::DoNotOptimize(ReadWithLibraryAlone(file));
        orva::bench::RawSqlite db(copy);
        db.UseModuleSettings();
        db.Exec("BEGIN");
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db.db(),
                           "INSERT INTO t_CustEntry (FBrNo,FEntryID,FCustID,FItemID,FUnitID,"
                           "FStartQty,FEndQty,FPrice,FCyID,FDiscount,FLeadTime,FQuoteTime,FUsed,"
                           "FExpireDate,FNote) VALUES ('0',?,?,?,?,?,?,?,1,0,0,'2024-01-01',0,"
                           "'2100-01-01',?)",
                           -1, &st, nullptr);
        int entry = db.Ints("SELECT COALESCE(MAX(FEntryID),0)+1 FROM t_CustEntry")[0];
        for (const PricedItem& item : Items()) {
            for (int b = 0; b < kBands; ++b) {
                sqlite3_bind_int(st, 1, entry++);
                sqlite3_bind_int(st, 2, customer);
                sqlite3_bind_int(st, 3, item.id);
                sqlite3_bind_int(st, 4, item.baseUnit);
                sqlite3_bind_double(st, 5, b * 100);
                sqlite3_bind_double(st, 6, b * 100 + 99);
                sqlite3_bind_double(st, 7, 900000 + b + 0.5);
                const std::string note = b % 4 ? "" : "band " + std::to_string(b);
                sqlite3_bind_text(st, 8, note.c_str(), -1, SQLITE_TRANSIENT);
                if (sqlite3_step(st) != SQLITE_DONE)
                    state.SkipWithError(sqlite3_errmsg(db.db()));
                sqlite3_reset(st);
            }
        }
        sqlite3_finalize(st);
        db.Exec("COMMIT");
    }
}
BENCHMARK(BM_ImportFloor)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
