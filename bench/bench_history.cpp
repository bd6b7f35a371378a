// The price history's cost, each measure beside its floor in the same run:
//
//   BM_SaveWithHistory   one editor save (PriceStore::Add) on the demo
//                        company with the history's triggers, alternated
//                        with the same save on a copy whose entry triggers
//                        were dropped; counters: the two medians and their
//                        ratio. Goal: ratio 1.15 or less.
//   BM_BatchAddHistory   batch add over a group of 10,000 customers, with
//                        and without the triggers (fresh copies, alternated);
//                        goal: ratio of the medians 1.25 or less.
//   BM_EntryHistory      the history of one entry changed 1,000 times, as
//                        the window reads it; goal: 50 ms.
//   BM_VerifyHistory     orva-sql --verify-history's walk over 1,000,000
//                        rows; goal: 10 s.
//   BM_AsOfLedger        the ledger of a customer with 100,000 entries as of
//                        the day before 1,000 of them were changed and 100
//                        deleted, beside the ledger as it is (alternated,
//                        the statement run and its rows read); goal: ratio
//                        of the medians 1.5 or less.
//
// Run: bench_history
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "browse/tvw_builder.h"
#include "common/batch_grid.h"
#include "common/log_on.h"
#include "common/quiet_ui.h"
#include "common/raw_sqlite.h"
#include "common/scratch_dir.h"
#include "demo/company_generator.h"
#include "engine/price_store.h"
#include "engine/user_def_info.h"
#include "host/app_connection.h"
#include "host/controls/spread.h"
#include "host/db/open_database.h"
#include "host/db/price_history.h"
#include "host/db/price_history_asof.h"
#include "host/host_services.h"
#include "host/host_ui.h"
#include "model/sql_values.h"
#include "session/module_context.h"
#include "session/session.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using orva::bench::RawSqlite;

constexpr int kBatchItem = 990001;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

template <class Step>
double Seconds(Step step) {
    const auto start = Clock::now();
    step();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Adds the history to a company file; `triggers` false drops the triggers
// that write it again (the table and the module's sealing stay), the floor.
void AddHistory(const std::string& path, bool triggers) {
    orva::UpgradePriceHistory(*orva::OpenDatabase(path));
    if (!triggers) {
        RawSqlite raw(path);
        raw.Exec(
            "DROP TRIGGER tr_CustEntry_HistoryAdd; DROP TRIGGER tr_CustEntry_HistoryChange; "
            "DROP TRIGGER tr_CustEntry_HistoryDelete; DROP TRIGGER tr_Cust_HistoryChange;");
    }
}

void Report(benchmark::State& state, const std::vector<double>& with,
            const std::vector<double>& without, double goal) {
    const double w = Median(with), wo = Median(without);
    state.counters["with_ms"] = w * 1000;
    state.counters["without_ms"] = wo * 1000;
    state.counters["ratio"] = wo > 0 ? w / wo : 0;
    state.counters["goal_ratio"] = goal;
}

void BM_SaveWithHistory(benchmark::State& state) {
    orva::bench::ScratchDir dir("history-save");
    const std::string with = dir.File("with.db"), without = dir.File("without.db");
    orva::demo::CreateDemoCompany(with);
    fs::copy_file(with, without);
    AddHistory(with, true);
    AddHistory(without, false);
    orva::AppConnection a(orva::OpenDatabase(with)), b(orva::OpenDatabase(without));
    a.Backend().SetHistoryUser(orva::demo::kAdminUserId);
    b.Backend().SetHistoryUser(orva::demo::kAdminUserId);
    orva::PriceStore storeA(a), storeB(b);
    orva::PriceEntry entry;
    entry.custID =
        std::to_string(a.Execute("SELECT TOP 1 FItemID FROM t_Organization ORDER BY FItemID")
                           ->Fields(0)
                           .Value()
                           .ToInteger());
    entry.itemID = "1098";
    entry.unitID = "106";
    entry.price = "12.5";
    entry.currencyID = "1";
    entry.discount = "0";
    entry.leadTime = "0";
    entry.quoteTime = "2030-01-01";
    entry.expireDate = "2100-01-01";
    entry.used = "0";
    entry.note = "bench";
    int band = 0;
    std::vector<double> tw, two;
    for (auto _ : state) {
        for (int i = 0; i < 200; ++i) {
            entry.startQty = entry.endQty = std::to_string(++band);
            std::int32_t id = 0;
            tw.push_back(Seconds([&] {
                if (!storeA.Add(entry, id).Written())
                    throw std::runtime_error("save with history failed");
            }));
            two.push_back(Seconds([&] {
                if (!storeB.Add(entry, id).Written())
                    throw std::runtime_error("save without history failed");
            }));
        }
    }
    Report(state, tw, two, 1.15);
}
BENCHMARK(BM_SaveWithHistory)->Iterations(3)->Unit(benchmark::kMillisecond);

using orva::bench::QuietUi;

std::int32_t BatchAdd(const std::string& path, int group) {
    orva::ModuleContext& ctx = orva::ModuleContext::Shared();
    ctx.g_Connection.reset();
    ctx.g_GLData.reset();
    orva::InitSessionProps(ctx, orva::bench::LogOn(path));
    ctx.historyUser = orva::demo::kAdminUserId;
    ctx.g_CategoryByCust = true;
    orva::Spread grid;
    orva::bench::FillBatchGrid(grid, group, kBatchItem, 12.5, "2025-03-01");
    orva::UserDefInfo engine(ctx);
    engine.Spread(&grid);
    std::int16_t alert = 0;
    double base = 12.5;
    const std::int32_t added = engine.BatchAdd(alert, base);
    ctx.g_Connection.reset();
    return added;
}

void BM_BatchAddHistory(benchmark::State& state) {
    orva::RegisterHostServices();
    orva::SetCurrentUi(std::make_shared<QuietUi>());
    orva::bench::ScratchDir dir("history-batch");
    const std::string plain = dir.File("plain.db");
    orva::demo::CreateLargeCompany(plain, {.customers = 10000,
                                           .items = 1000,
                                           .priceEntries = 200000,
                                           .topGroups = 1,
                                           .subGroups = 1});
    int group = 0;
    {
        RawSqlite raw(plain);
        raw.Exec(
            "INSERT INTO t_Item (FItemID,FItemClassID,FNumber,FShortNumber,FName,FParentID,FLevel,"
            "FDetail) VALUES (990001,4,'99.001','99.001','批量物料',0,1,1);"
            "INSERT INTO t_ICItem (FItemID,FNumber,FShortNumber,FName,FUnitID,FUnitGroupID) "
            "VALUES (990001,'99.001','99.001','批量物料',101,1);");
        group =
            raw.Ints("SELECT FItemID FROM t_Item WHERE FItemClassID=1 AND FNumber='01.01'").at(0);
    }
    const std::string with = dir.File("with.db"), without = dir.File("without.db");
    fs::copy_file(plain, with);
    fs::copy_file(plain, without);
    AddHistory(with, true);
    AddHistory(without, false);
    std::vector<double> tw, two;
    int run = 0;
    for (auto _ : state) {
        for (const auto& [from, times] : {std::pair{with, &tw}, std::pair{without, &two}}) {
            const std::string path = dir.File("run" + std::to_string(++run) + ".db");
            fs::copy_file(from, path);
            std::int32_t added = 0;
            times->push_back(Seconds([&] { added = BatchAdd(path, group); }));
            if (added != 10000)
                state.SkipWithError("the batch add did not add every member");
            for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(path + suffix);
        }
    }
    Report(state, tw, two, 1.25);
}
BENCHMARK(BM_BatchAddHistory)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_EntryHistory(benchmark::State& state) {
    orva::bench::ScratchDir dir("history-entry");
    const std::string path = dir.File("company.db");
    orva::demo::CreateDemoCompany(path);
    AddHistory(path, true);
    orva::AppConnection db(orva::OpenDatabase(path));
    const std::int64_t id =
        db.Execute("SELECT MIN(FEntryID) FROM t_CustEntry")->Fields(0).Value().ToInteger();
    for (int i = 0; i < 1000; ++i) {
        db.Execute("UPDATE t_CustEntry SET FPrice=" + std::to_string(100 + i) +
                   " WHERE FEntryID=" + std::to_string(id));
    }
    std::vector<double> times;
    std::size_t rows = 0;
    for (auto _ : state) {
        times.push_back(Seconds([&] {
            rows = orva::EntryHistory(db.Backend(), static_cast<std::int32_t>(id)).size();
        }));
    }
    if (rows != 1000)
        state.SkipWithError("the entry's history is not 1,000 rows");
    state.counters["median_ms"] = Median(times) * 1000;
    state.counters["goal_ms"] = 50;
}
BENCHMARK(BM_EntryHistory)->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_VerifyHistory(benchmark::State& state) {
    constexpr int kRows = 1000000;
    orva::bench::ScratchDir dir("history-verify");
    const std::string path = dir.File("company.db");
    orva::demo::CreateEmptyCompany(path);
    AddHistory(path, true);
    {
        // The rows, sealed as the module seals them, written straight in.
        RawSqlite raw(path);
        raw.Exec("BEGIN");
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(raw.db(),
                           "INSERT INTO t_CustEntryHistory (FHistID,FEntryID,FCustID,FItemID,"
                           "FOperation,FChanges,FUserID,FLogin,FTime,FBatchID,FPrevHash,FHash) "
                           "VALUES (?,?,?,?,?,?,?,?,?,?,?,?)",
                           -1, &st, nullptr);
        std::string prev;
        orva::HistoryRow r;
        r.operation = "change";
        r.userId = orva::demo::kAdminUserId;
        r.login = "clerk";
        r.time = "2026-01-01 08:00:00.000";
        r.batch = "bench-1";
        for (int i = 1; i <= kRows; ++i) {
            r.id = i;
            r.entryId = i % 5000 + 1;
            r.custId = 100 + i % 50;
            r.itemId = 1000 + i % 100;
            r.changes = "FPrice\x1f" + std::to_string(i) + "\x1f" + std::to_string(i + 1) + "\x1e";
            const std::string hash = orva::HistoryHash(prev, r);
            sqlite3_bind_int64(st, 1, r.id);
            sqlite3_bind_int(st, 2, r.entryId);
            sqlite3_bind_int(st, 3, r.custId);
            sqlite3_bind_int(st, 4, r.itemId);
            sqlite3_bind_text(st, 5, r.operation.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 6, r.changes.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(st, 7, *r.userId);
            sqlite3_bind_text(st, 8, r.login.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 9, r.time.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 10, r.batch.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 11, prev.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 12, hash.c_str(), -1, SQLITE_TRANSIENT);
            if (sqlite3_step(st) != SQLITE_DONE)
                throw std::runtime_error(sqlite3_errmsg(raw.db()));
            sqlite3_reset(st);
            prev = hash;
        }
        sqlite3_finalize(st);
        raw.Exec("COMMIT");
    }
    auto db = orva::OpenDatabase(path);
    std::vector<double> times;
    orva::HistoryCheck check;
    for (auto _ : state) times.push_back(Seconds([&] { check = orva::VerifyPriceHistory(*db); }));
    if (check.brokenId || check.sealed != kRows)
        state.SkipWithError("the walk did not find the whole chain intact");
    state.counters["median_s"] = Median(times);
    state.counters["goal_s"] = 10;
    state.counters["rows"] = static_cast<double>(check.sealed);
}
BENCHMARK(BM_VerifyHistory)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_AsOfLedger(benchmark::State& state) {
    constexpr int kEntries = 100000;
    orva::bench::ScratchDir dir("history-asof");
    const std::string path = dir.File("company.db");
    orva::demo::CreateDemoCompany(path);
    int cust = 0;
    {
        // The entries were there before the history: one customer, one
        // item, 100,000 quantity bands.
        RawSqlite raw(path);
        cust = raw.Ints("SELECT MIN(FItemID) FROM t_Organization").at(0);
        raw.Exec("DELETE FROM t_CustEntry WHERE FCustID=" + std::to_string(cust) +
                 "; INSERT OR IGNORE INTO t_Cust (FBrNo,FItemID,FCustID) VALUES ('0',1098," +
                 std::to_string(cust) + "); BEGIN");
        for (int i = 0; i < kEntries; ++i) {
            raw.Exec(
                "INSERT INTO t_CustEntry (FBrNo,FEntryID,FCustID,FItemID,FUnitID,FStartQty,"
                "FEndQty,FPrice,FCyID,FQuoteTime,FExpireDate,FUsed,FNote) VALUES ('0'," +
                std::to_string(5000000 + i) + "," + std::to_string(cust) + ",1098,106," +
                std::to_string(i) + "," + std::to_string(i + 1) +
                ",12.5,1,'2025-01-01','2100-01-01',0,'n')");
        }
        raw.Exec("COMMIT");
    }
    AddHistory(path, true);
    orva::AppConnection db(orva::OpenDatabase(path));
    for (int i = 0; i < 1000; ++i) {
        db.Execute("UPDATE t_CustEntry SET FPrice=" + std::to_string(13 + i) +
                   " WHERE FEntryID=" + std::to_string(5000000 + i * 97));
    }
    for (int i = 0; i < 100; ++i)
        db.Execute("DELETE FROM t_CustEntry WHERE FEntryID=" + std::to_string(5000050 + i * 991));
    orva::tvwBuilder::RightsContext all;
    all.filtered = false;
    const std::string leaf = orva::SqlId(cust);
    // Every history row is after the cutoff: the day before today.
    const std::string cutoff = "2000-01-01 00:00:00.000";
    long plainRows = 0, asOfRows = 0;
    std::vector<double> tp, ta;
    for (auto _ : state) {
        tp.push_back(Seconds([&] {
            plainRows = db.Execute(orva::tvwBuilder::DetailSql(false, false, false, leaf, all))
                            ->RecordCount();
        }));
        ta.push_back(Seconds([&] {
            const orva::LedgerTables tables = orva::AsOfTables(db.Backend(), false, cust, cutoff);
            asOfRows =
                db.Execute(orva::tvwBuilder::DetailSql(false, false, false, leaf, all, tables))
                    ->RecordCount();
        }));
    }
    if (plainRows != kEntries - 100 || asOfRows != kEntries)
        state.SkipWithError("the ledgers do not hold the entries they should");
    Report(state, ta, tp, 1.5);
}
BENCHMARK(BM_AsOfLedger)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
