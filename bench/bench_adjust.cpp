// Adjusting the prices of 10,000 unaudited entries in place (a customer
// group of 10,000 customers beside the demo company's data, one entry each),
// compared with the floor: the same new prices written by raw sqlite3
// prepared UPDATEs in one transaction on the same file, measured in the same
// iteration. BM_AdjustWrite times the write alone (through the price store,
// each entry in a write transaction of its own, grouped as a batch);
// BM_AdjustWhole adds reading the group's entries and planning. The counter
// "ratio" is module time / floor time. Goal: ratio 3 or less for the write.
//
// Run: bench_adjust --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "browse/adjust_scope.h"
#include "common/log_on.h"
#include "common/raw_sqlite.h"
#include "common/scratch_dir.h"
#include "demo/company_generator.h"
#include "engine/price_adjust.h"
#include "host/app_connection.h"
#include "session/module_context.h"
#include "session/session.h"

namespace {

using Clock = std::chrono::steady_clock;
using orva::bench::RawSqlite;

constexpr int kEntries = 10000;
constexpr int kGroup = 970000;  // customer group "97", customers 970001 ...
constexpr int kItem = 991999;

struct Company {
    orva::bench::ScratchDir dir{"adjust"};
    std::string path = dir.File("company.db");
    std::shared_ptr<orva::ModuleContext> ctx = std::make_shared<orva::ModuleContext>();

    Company() {
        orva::demo::CreateDemoCompany(path);
        RawSqlite raw(path);
        const std::string n = std::to_string(kEntries);
        raw.Exec(
            "BEGIN;"
            "INSERT INTO t_Item (FItemID,FItemClassID,FNumber,FShortNumber,FName,FParentID,FLevel,"
            "FDetail) VALUES (970000,1,'97','97','调价客户',0,1,0);"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<" +
            n +
            ") INSERT INTO t_Item (FItemID,FItemClassID,FNumber,FShortNumber,FName,FParentID,"
            "FLevel,FDetail) SELECT 970000+i,1,printf('97.%05d',i),printf('97.%05d',i),'客户'||i,"
            "970000,2,1 FROM n;"
            "INSERT INTO t_Organization (FItemID,FNumber,FShortNumber,FName,FParentID) SELECT "
            "FItemID,FNumber,FShortNumber,FName,FParentID FROM t_Item WHERE FParentID=970000;"
            "INSERT INTO t_Item (FItemID,FItemClassID,FNumber,FShortNumber,FName,FParentID,FLevel,"
            "FDetail) VALUES (991999,4,'97.001','97.001','调价物料',0,1,1);"
            "INSERT INTO t_ICItem (FItemID,FNumber,FShortNumber,FName,FModel,FUnitID,FUnitGroupID,"
            "FErpClsID,FParentID,FQtyDecimal,FPriceDecimal) VALUES (991999,'97.001','97.001',"
            "'调价物料','',101,1,1,0,2,2);"
            "INSERT INTO t_Cust (FBrNo,FItemID,FCustID,FCurrencyID,FSELowPrice) SELECT '0',991999,"
            "FItemID,1,0 FROM t_Organization WHERE FParentID=970000;"
            "INSERT INTO t_CustEntry (FBrNo,FEntryID,FCustID,FItemID,FUnitID,FStartQty,FEndQty,"
            "FPrice,FCyID,FDiscount,FLeadTime,FQuoteTime,FExpireDate,FUsed,FNote) SELECT '0',"
            "FItemID+10000000,FItemID,991999,101,0,0,100,1,0,0,'2024-01-01','2100-01-01',0,'' "
            "FROM t_Organization WHERE FParentID=970000;"
            "COMMIT;");
        orva::InitSessionProps(*ctx, orva::bench::LogOn(path));
        ctx->g_Connection = std::make_shared<orva::AppConnection>();
        ctx->g_CategoryByCust = true;
    }

    std::vector<orva::AdjustEntry> Entries() {
        return orva::FilterAdjustEntries(
            orva::AdjustScopeEntries(*ctx, false, {orva::TreeNodeKey::kGroup, kGroup}),
            {0, 0, orva::Date{2025, 6, 1}});
    }
};

Company& TheCompany() {
    static Company company;
    return company;
}

orva::AdjustPlan Plan(const std::vector<orva::AdjustEntry>& entries) {
    orva::PlanOrRefusal planned = orva::PlanAdjustment(
        entries, {orva::PriceChange::kPercent, 1, 0.01}, orva::AdjustWay::kInPlace, {});
    if (!planned.refusal.empty() || planned.plan.ToWrite() != kEntries)
        throw std::runtime_error("the plan does not hold every entry: " + planned.refusal);
    return planned.plan;
}

// The floor: the plan's new prices by prepared UPDATEs in one transaction.
double Floor(const orva::AdjustPlan& plan) {
    RawSqlite raw(TheCompany().path);
    raw.UseModuleSettings();
    const auto start = Clock::now();
    raw.Exec("BEGIN");
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(raw.db(), "UPDATE t_CustEntry SET FPrice=?1 WHERE FEntryID=?2 AND FUsed=0",
                       -1, &stmt, nullptr);
    for (const orva::AdjustRow& row : plan.rows) {
        sqlite3_bind_double(stmt, 1, row.newPrice);
        sqlite3_bind_int(stmt, 2, row.entry.entryID);
        if (sqlite3_step(stmt) != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(raw.db()));
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    raw.Exec("COMMIT");
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The module's write.
double Write(const orva::AdjustPlan& plan) {
    Company& c = TheCompany();
    auto db = c.ctx->CreateConnection();
    const auto start = Clock::now();
    const orva::AdjustResult result =
        orva::WriteAdjustment(*c.ctx, *db, plan, false, false, "bench");
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (result.written != static_cast<std::size_t>(kEntries))
        throw std::runtime_error("not every entry was written: " + result.error);
    return seconds;
}

// The module's time against the floor's, with or without reading the
// group's entries and planning (`whole`).
void AdjustAgainstFloor(benchmark::State& state, bool whole) {
    Company& c = TheCompany();
    double module = 0, floor = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        const orva::AdjustPlan plan = Plan(c.Entries());
        const double write = Write(plan);
        const double m =
            whole ? std::chrono::duration<double>(Clock::now() - start).count() : write;
        const double f = Floor(plan);
        module += m;
        floor += f;
        state.SetIterationTime(m);
    }
    state.counters["floor_ms"] = floor * 1000 / static_cast<double>(state.iterations());
    state.counters["ratio"] = module / floor;
}

void BM_AdjustWrite(benchmark::State& state) {
    AdjustAgainstFloor(state, false);
}
BENCHMARK(BM_AdjustWrite)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_AdjustWhole(benchmark::State& state) {
    AdjustAgainstFloor(state, true);
}
BENCHMARK(BM_AdjustWhole)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
