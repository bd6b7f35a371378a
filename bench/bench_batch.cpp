// Batch add, update and delete over a customer group of 10,000 customers in a
// large company, each on a fresh copy of the company file. The batch add is
// compared with the floor: the same rows (header and entry per member)
// written by raw sqlite3 prepared statements in one transaction, measured in
// the same iteration; the counter "ratio" is batch time / floor time
// ("cpu_ratio" the same in CPU time of the thread). BM_BatchAdd/100000 runs
// it over a group of 100,000 customers. Goal: ratio 8 or less at both sizes.
//
// BM_BatchAddProgress runs the batch add with and without a progress
// receiver in every iteration and reports their ratio.
//
// Run: bench_batch --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/batch_grid.h"
#include "common/log_on.h"
#include "common/quiet_ui.h"
#include "common/raw_sqlite.h"
#include "common/scratch_dir.h"
#include "common/thread_cpu.h"
#include "demo/company_generator.h"
#include "demo/postgres_company.h"
#include "engine/user_def_info.h"
#include "host/app_connection.h"
#include "host/controls/spread.h"
#include "host/db/write_transaction.h"
#include "host/host_services.h"
#include "host/host_ui.h"
#include "host/progress.h"
#include "session/module_context.h"
#include "session/session.h"
#include "support/postgres_server.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

using orva::bench::RawSqlite;
using orva::bench::ThreadCpu;

constexpr int kCustomers = 10000;
constexpr int kBatchItem = 990001;  // an item without entries, added to the company

using orva::bench::QuietUi;

// The floor: header and entry per member, prepared statements, one
// transaction. Returns the seconds taken (opening the file not counted).
double RawInsert(const std::string& path, const std::vector<int>& members) {
    RawSqlite raw(path);
    int next = raw.Ints("SELECT IFNULL(MAX(FEntryID),0) FROM t_CustEntry").at(0);
    auto start = Clock::now();
    sqlite3_stmt* header = nullptr;
    sqlite3_stmt* entry = nullptr;
    sqlite3_prepare_v2(raw.db(),
                       "INSERT INTO t_Cust (FBrNo,FItemID,FCustID,FCurrencyID,FSELowPrice) "
                       "VALUES ('0',?,?,1,0)",
                       -1, &header, nullptr);
    sqlite3_prepare_v2(raw.db(),
                       "INSERT INTO t_CustEntry(FBrNo,FCustID,FItemID,FEntryID,FUnitID,FStartQty,"
                       "FEndQty,FPrice,FCyID,FLeadTime,FQuoteTime,FUsed,FExpireDate,FNote) "
                       "VALUES('0',?,?,?,101,0,100,12.5,1,3,'2025-03-01',0,'2100-01-01','bench')",
                       -1, &entry, nullptr);
    raw.Exec("BEGIN");
    for (int cust : members) {
        sqlite3_bind_int(header, 1, kBatchItem);
        sqlite3_bind_int(header, 2, cust);
        if (sqlite3_step(header) != SQLITE_DONE)
            throw std::runtime_error("header insert");
        sqlite3_reset(header);
        sqlite3_bind_int(entry, 1, cust);
        sqlite3_bind_int(entry, 2, kBatchItem);
        sqlite3_bind_int(entry, 3, ++next);
        if (sqlite3_step(entry) != SQLITE_DONE)
            throw std::runtime_error("entry insert");
        sqlite3_reset(entry);
    }
    raw.Exec("COMMIT");
    sqlite3_finalize(header);
    sqlite3_finalize(entry);
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The large company, made once: 10,000 customers in one group, 1,000 items,
// 200,000 price entries; plus a copy where every member already has the
// batch's entry.
struct Company {
    orva::bench::ScratchDir dir{"batch"};
    std::string plain;        // no entry of kBatchItem
    std::string withEntries;  // one entry of kBatchItem per member
    int group = 0;
    std::vector<int> members;
    int copies = 0;

    explicit Company(int customers) {
        plain = dir.File("plain.db");
        withEntries = dir.File("entries.db");
        orva::demo::CreateLargeCompany(plain, {.customers = customers,
                                               .items = 1000,
                                               .priceEntries = 200000,
                                               .topGroups = 1,
                                               .subGroups = 1});
        {
            RawSqlite raw(plain);
            raw.Exec(
                "INSERT INTO t_Item (FItemID,FItemClassID,FNumber,FShortNumber,FName,"
                "FParentID,FLevel,FDetail) VALUES (990001,4,'99.001','99.001','批量物料',0,1,1);"
                "INSERT INTO t_ICItem (FItemID,FNumber,FShortNumber,FName,FUnitID,"
                "FUnitGroupID) VALUES (990001,'99.001','99.001','批量物料',101,1);");
            group = raw.Ints("SELECT FItemID FROM t_Item WHERE FItemClassID=1 AND FNumber='01.01'")
                        .at(0);
            members = raw.Ints(
                "SELECT FItemID FROM t_Item WHERE FItemClassID=1 AND FDetail=1 AND "
                "FParentID=" +
                std::to_string(group) + " ORDER BY FItemID");
        }
        if (members.size() != static_cast<std::size_t>(customers))
            throw std::runtime_error("unexpected group size");
        fs::copy_file(plain, withEntries);
        RawInsert(withEntries, members);
    }
    // A fresh copy of a template, opened as the session's company.
    std::string Fresh(const std::string& from) {
        orva::ModuleContext::Shared().g_Connection.reset();
        std::string path = dir.File("run" + std::to_string(++copies) + ".db");
        fs::copy_file(from, path);
        return path;
    }
};

Company& TheCompany(int customers = kCustomers) {
    static std::map<int, std::unique_ptr<Company>> companies;
    std::unique_ptr<Company>& company = companies[customers];
    if (!company)
        company = std::make_unique<Company>(customers);
    return *company;
}

// The administrator's session on a company, the last one's connection and
// ledger data dropped first.
void LogOn(const std::string& path) {
    orva::ModuleContext::Shared().g_Connection.reset();
    orva::ModuleContext::Shared().g_GLData.reset();
    orva::InitSessionProps(orva::ModuleContext::Shared(), orva::bench::LogOn(path));
}

void Forget(const std::string& path) {
    orva::ModuleContext::Shared().g_Connection.reset();
    orva::ModuleContext::Shared().g_GLData.reset();
    for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(path + suffix);
}

void Setup() {
    orva::RegisterHostServices();
    orva::SetCurrentUi(std::make_shared<QuietUi>());
    orva::ModuleContext::Shared().g_CategoryByCust = true;
}

// The batch editor's engine on the group's grid, the session logged on to
// `company` (a file or a server's URI).
struct BatchEditor {
    orva::Spread grid;
    orva::UserDefInfo engine{orva::ModuleContext::Shared()};

    BatchEditor(const std::string& company, int group, double price, const std::string& quote) {
        LogOn(company);
        orva::bench::FillBatchGrid(grid, group, kBatchItem, price, quote);
        engine.Spread(&grid);
    }
    std::int32_t Add(double base) {
        std::int16_t alert = 0;
        return engine.BatchAdd(alert, base);
    }
    std::int32_t Update(double base) {
        std::int16_t alert = 0;
        return engine.BatchUpdate(alert, base);
    }
};

// What a timed step returned, and its wall and thread CPU seconds.
struct Timed {
    std::int32_t result = 0;
    double seconds = 0;
    double cpu = 0;
};

template <class Step>
Timed Time(Step step) {
    const auto start = Clock::now();
    const double cpuStart = ThreadCpu();
    Timed t;
    t.result = step();
    t.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    t.cpu = ThreadCpu() - cpuStart;
    return t;
}

void BM_BatchAdd(benchmark::State& state) {
    Setup();
    const int customers = static_cast<int>(state.range(0));
    Company& company = TheCompany(customers);
    double cpuSum = 0;
    double floorCpuSum = 0;
    double ratioSum = 0;
    double refSum = 0;
    for (auto _ : state) {
        std::string path = company.Fresh(company.plain);
        BatchEditor editor(path, company.group, 12.5, "2025-03-01");
        const Timed add = Time([&] { return editor.Add(12.5); });
        cpuSum += add.cpu;
        Forget(path);
        if (add.result != customers) {
            state.SkipWithError("the batch add did not add every member");
            break;
        }
        const double seconds = add.seconds;
        state.SetIterationTime(seconds);

        std::string floorPath = company.Fresh(company.plain);
        const double floorCpuStart = ThreadCpu();
        double floor = RawInsert(floorPath, company.members);
        floorCpuSum += ThreadCpu() - floorCpuStart;
        Forget(floorPath);
        refSum += floor;
        ratioSum += seconds / floor;
    }
    state.counters["floor_ms"] =
        benchmark::Counter(refSum * 1000, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = benchmark::Counter(ratioSum, benchmark::Counter::kAvgIterations);
    if (floorCpuSum > 0)
        state.counters["cpu_ratio"] = cpuSum / floorCpuSum;
    state.counters["floor_cpu_ms"] =
        benchmark::Counter(floorCpuSum * 1000, benchmark::Counter::kAvgIterations);
    state.counters["members"] = customers;
    state.counters["goal_ratio"] = 8;
    state.counters["cpu_ms"] =
        benchmark::Counter(cpuSum * 1000, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_BatchAdd)
    ->Arg(kCustomers)
    ->Arg(100000)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// The same batch add on a company held by a PostgreSQL server (a throwaway
// one started as the tests start theirs, each run on a fresh database). The
// floor: the same rows written by raw libpq prepared statements in one
// transaction on another fresh copy.
double RawInsertPg(const std::string& uri, const std::vector<int>& members) {
    std::unique_ptr<PGconn, void (*)(PGconn*)> conn(PQconnectdb(uri.c_str()), PQfinish);
    auto exec = [&](const char* sql) {
        PGresult* r = PQexec(conn.get(), sql);
        const bool ok =
            PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
        std::string value = PQresultStatus(r) == PGRES_TUPLES_OK ? PQgetvalue(r, 0, 0) : "";
        PQclear(r);
        if (!ok)
            throw std::runtime_error(PQerrorMessage(conn.get()));
        return value;
    };
    int next = std::stoi(exec("SELECT COALESCE(MAX(fentryid), 0) FROM t_custentry"));
    auto start = Clock::now();
    PQclear(PQprepare(conn.get(), "h",
                      "INSERT INTO t_cust (fbrno,fitemid,fcustid,fcurrencyid,fselowprice) "
                      "VALUES ('0',$1,$2,1,0)",
                      2, nullptr));
    PQclear(PQprepare(conn.get(), "e",
                      "INSERT INTO t_custentry(fbrno,fcustid,fitemid,fentryid,funitid,fstartqty,"
                      "fendqty,fprice,fcyid,fleadtime,fquotetime,fused,fexpiredate,fnote) "
                      "VALUES('0',$1,$2,$3,101,0,100,12.5,1,3,'2025-03-01',0,'2100-01-01','bench')",
                      3, nullptr));
    exec("BEGIN");
    const std::string item = std::to_string(kBatchItem);
    for (int cust : members) {
        const std::string c = std::to_string(cust), n = std::to_string(++next);
        const char* h[] = {item.c_str(), c.c_str()};
        const char* e[] = {c.c_str(), item.c_str(), n.c_str()};
        PGresult* r = PQexecPrepared(conn.get(), "h", 2, h, nullptr, nullptr, 0);
        const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
        PQclear(r);
        r = PQexecPrepared(conn.get(), "e", 3, e, nullptr, nullptr, 0);
        if (!ok || PQresultStatus(r) != PGRES_COMMAND_OK) {
            PQclear(r);
            throw std::runtime_error(PQerrorMessage(conn.get()));
        }
        PQclear(r);
    }
    exec("COMMIT");
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void BM_BatchAddOnServer(benchmark::State& state) {
    Setup();
    const int customers = static_cast<int>(state.range(0));
    Company& company = TheCompany(customers);
    double ratioSum = 0;
    double refSum = 0;
    double clientCpu = 0, serverCpu = 0;
    for (auto _ : state) {
        std::string uri = orva::test::PostgresServer::Get().NewEmptyDatabase();
        orva::demo::CopyCompanyToPostgres(company.plain, uri);
        BatchEditor editor(uri, company.group, 12.5, "2025-03-01");
        const double server0 = orva::test::PostgresServer::Get().CpuSeconds();
        const Timed add = Time([&] { return editor.Add(12.5); });
        const double seconds = add.seconds;
        clientCpu += add.cpu;
        serverCpu += orva::test::PostgresServer::Get().CpuSeconds() - server0;
        orva::ModuleContext::Shared().g_Connection.reset();
        orva::ModuleContext::Shared().g_GLData.reset();
        if (add.result != customers) {
            state.SkipWithError("the batch add did not add every member");
            break;
        }
        state.SetIterationTime(seconds);
        std::string floorUri = orva::test::PostgresServer::Get().NewEmptyDatabase();
        orva::demo::CopyCompanyToPostgres(company.plain, floorUri);
        double floor = RawInsertPg(floorUri, company.members);
        refSum += floor;
        ratioSum += seconds / floor;
    }
    state.counters["floor_ms"] =
        benchmark::Counter(refSum * 1000, benchmark::Counter::kAvgIterations);
    state.counters["ratio"] = benchmark::Counter(ratioSum, benchmark::Counter::kAvgIterations);
    state.counters["members"] = customers;
    // CPU time of the batch add on both sides (the server's in ticks of
    // 10 ms): the rest of the wall time is waiting, for the other side's
    // turn on a loaded machine among others.
    state.counters["client_cpu_ms"] =
        benchmark::Counter(clientCpu * 1000, benchmark::Counter::kAvgIterations);
    state.counters["server_cpu_ms"] =
        benchmark::Counter(serverCpu * 1000, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_BatchAddOnServer)
    ->Arg(kCustomers)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// The batch update or delete over the group whose members all have the
// batch's entry, on a fresh copy in each iteration. `failure` tells that the
// step did not reach every member.
template <class Step>
void EditEveryMember(benchmark::State& state, double price, const std::string& quote, Step step,
                     const char* failure) {
    Setup();
    Company& company = TheCompany();
    double cpuSum = 0;
    for (auto _ : state) {
        std::string path = company.Fresh(company.withEntries);
        BatchEditor editor(path, company.group, price, quote);
        const Timed edit = Time([&] { return step(editor); });
        cpuSum += edit.cpu;
        Forget(path);
        if (edit.result != kCustomers) {
            state.SkipWithError(failure);
            break;
        }
        state.SetIterationTime(edit.seconds);
    }
    state.counters["members"] = kCustomers;
    state.counters["cpu_ms"] =
        benchmark::Counter(cpuSum * 1000, benchmark::Counter::kAvgIterations);
}

void BM_BatchUpdate(benchmark::State& state) {
    EditEveryMember(
        state, 13.75, "2025-09-01", [](BatchEditor& e) { return e.Update(13.75); },
        "the batch update did not change every member");
}
BENCHMARK(BM_BatchUpdate)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_BatchDelete(benchmark::State& state) {
    EditEveryMember(
        state, 12.5, "2025-03-01", [](BatchEditor& e) { return e.engine.BatchDelete(); },
        "the batch delete did not delete every member's entry");
}
BENCHMARK(BM_BatchDelete)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// What one member of a batch costs on the connection component: 10,000
// distinct texts of one kind (the numbers differ, as the members' IDs do).
// Arg 0: header look-ups; 1: duplicate tests; 2: entry numbers; 3: inserts
// of a header and an entry; 4: all four per member, numbers on the shared
// connection, the rest on a second one; 5: raw sqlite3, header and entry in a
// transaction per member; 6: look-ups and inserts on one connection without
// numbers (as if numbers came in blocks); 7: the same with each member's
// number taken on that connection in a transaction of its own; 8: the
// number, header row and entry in one write transaction (what the batch add
// sends).
void BM_StatementCost(benchmark::State& state) {
    Setup();
    Company& company = TheCompany();
    const int kind = static_cast<int>(state.range(0));
    static const char* const kLabels[] = {"header select",
                                          "duplicate select",
                                          "GetICMaxNum",
                                          "insert header+entry",
                                          "one member, two connections",
                                          "raw sqlite3_exec insert header+entry",
                                          "one member, one connection, no numbering",
                                          "one member, numbered, two transactions",
                                          "one member, numbered, one transaction"};
    state.SetLabel(kLabels[kind]);
    for (auto _ : state) {
        std::string path = company.Fresh(company.plain);
        LogOn(path);
        if (kind == 5) {
            orva::ModuleContext::Shared().g_Connection.reset();
            RawSqlite raw(path);
            raw.Exec("PRAGMA synchronous=NORMAL");  // as the connection component opens it
            int next = 5000000;
            auto start = Clock::now();
            for (int cust : company.members) {
                const std::string c = std::to_string(cust);
                const std::string i = std::to_string(kBatchItem);
                raw.Exec(
                    "BEGIN;INSERT INTO t_Cust (FBrNo,FItemID,FCustID,FCurrencyID,FSELowPrice) "
                    "VALUES ('0'," +
                    i + "," + c +
                    ",1,0 );INSERT INTO t_CustEntry(FBrNo,FCustID,"
                    "FItemID,FEntryID,FUnitID,FStartQty,FEndQty,FPrice,FCyID,FLeadTime,"
                    "FQuoteTime,FUsed,FExpireDate,FNote) VALUES('0'," +
                    c + "," + i + "," + std::to_string(++next) +
                    ",101,0,100,12.5,1,3,'2025-03-01',0,'2100-01-01','bench');COMMIT");
            }
            state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
            Forget(path);
            continue;
        }
        orva::AppConnection second;
        orva::AppConnection& shared = *orva::ModuleContext::Shared().g_Connection;
        int entry = 5000000;
        auto start = Clock::now();
        for (int cust : company.members) {
            const std::string c = std::to_string(cust);
            const std::string i = std::to_string(kBatchItem);
            if (kind == 0 || kind >= 4)
                second.GetAnyRecordset("SELECT * FROM t_Cust WHERE FItemID=" + i +
                                       " AND FCustID=" + c);
            if (kind == 1 || kind >= 4)
                second.GetAnyRecordset("SELECT * FROM t_CustEntry WHERE FCustID=" + c +
                                       " AND FItemID=" + i +
                                       " AND FUnitID=101 AND FStartQty=0 AND FEndQty=100 AND "
                                       "FCyID=1 AND FQuoteTime='2025-03-01' AND "
                                       "FExpireDate='2100-01-01' ");
            // 8: the number, header row and entry in one write transaction.
            std::optional<orva::WriteTransaction> write;
            if (kind == 8)
                write.emplace(second.Backend());
            if (kind == 2 || kind == 4)
                entry = shared.GetICMaxNum("t_Cust");
            if (kind == 7 || kind == 8)
                entry = second.GetICMaxNum("t_Cust") - 1;
            if (kind == 3 || kind >= 4) {
                ++entry;
                second.Execute(
                    "INSERT INTO t_Cust (FBrNo,FItemID,FCustID,FCurrencyID,FSELowPrice) \r\nVALUES "
                    "('0'," +
                    i + "," + c +
                    ",1,0 ) \r\nINSERT INTO t_CustEntry(FBrNo,FCustID,FItemID,"
                    "FEntryID,FUnitID,FStartQty,FEndQty,FPrice,FCyID,FLeadTime,FQuoteTime,FUsed,"
                    "FExpireDate,FNote)\r\nVALUES('0'," +
                    c + "," + i + "," + std::to_string(entry) +
                    ",101,0,100,12.5,1,3,'2025-03-01',0,'2100-01-01','bench')\r\n");
            }
            if (write)
                write->Commit();
        }
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        Forget(path);
    }
    state.counters["per_member_us"] = benchmark::Counter(
        static_cast<double>(company.members.size()),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_StatementCost)
    ->DenseRange(0, 8)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// A receiver of the batch's progress that keeps what a window would show:
// the step, the member's text, and whether the user cancelled (never). Paced,
// it asks for a text at most every 40 ms, as the Qt progress window paints;
// otherwise for every step, as the tests' scripted user does.
class WatchingProgress : public orva::Progress {
  public:
    explicit WatchingProgress(bool paced) : paced_(paced) {}

    void Begin(const std::string& caption, std::int64_t total, const std::string& text,
               bool) override {
        caption_ = caption;
        total_ = total;
        text_ = text;
    }
    bool TextWanted() override { return !paced_ || Clock::now() - shown_ >= kPaintEvery; }
    void Step(std::int64_t done, const std::string& text) override {
        done_ = done;
        if (!text.empty()) {
            text_ = text;
            shown_ = Clock::now();
            ++texts_;
        }
        benchmark::DoNotOptimize(text_.data());
    }
    bool Cancelled() override { return false; }
    void End() override {}

    static inline long texts_ = 0;  // texts received, over all receivers

  private:
    static constexpr std::chrono::milliseconds kPaintEvery{40};
    bool paced_;
    Clock::time_point shown_{};
    std::string caption_;
    std::string text_;
    std::int64_t total_ = 0;
    std::int64_t done_ = 0;
};

class WatchedUi : public QuietUi {
  public:
    explicit WatchedUi(bool paced) : paced_(paced) {}
    std::unique_ptr<orva::Progress> CreateProgress() override {
        return std::make_unique<WatchingProgress>(paced_);
    }

  private:
    bool paced_;
};

// The batch add over 10,000 customers with a progress receiver (one step per
// member; arg 0: every step named by the member's code and name, arg 1: a
// name at most every 40 ms, as the progress window asks) against the same
// batch without one, both in every iteration, in alternating order. The
// iteration time is the watched run. Counters are medians over the
// iterations: the wall and thread CPU times of both, "ratio" and "cpu_ratio"
// (watched / unwatched per iteration), "texts" the member names built per
// run. Run without repetitions: bench_batch --benchmark_filter=Progress
void BM_BatchAddProgress(benchmark::State& state) {
    Setup();
    Company& company = TheCompany();
    auto run = [&](bool watched, double& cpu) {
        orva::SetCurrentUi(watched ? std::shared_ptr<orva::HostUi>(
                                         std::make_shared<WatchedUi>(state.range(0) == 1))
                                   : std::make_shared<QuietUi>());
        std::string path = company.Fresh(company.plain);
        BatchEditor editor(path, company.group, 12.5, "2025-03-01");
        const Timed add = Time([&] { return editor.Add(12.5); });
        cpu = add.cpu;
        Forget(path);
        if (add.result != kCustomers)
            throw std::runtime_error("the batch add did not add every member");
        return add.seconds;
    };
    std::vector<double> plainWall, watchedWall, plainCpu, watchedCpu, wallRatio, cpuRatio;
    WatchingProgress::texts_ = 0;
    bool watchedFirst = false;
    for (auto _ : state) {
        double pc = 0, wc = 0, p = 0, w = 0;
        if (watchedFirst) {
            w = run(true, wc);
            p = run(false, pc);
        } else {
            p = run(false, pc);
            w = run(true, wc);
        }
        watchedFirst = !watchedFirst;
        state.SetIterationTime(w);
        plainWall.push_back(p);
        watchedWall.push_back(w);
        plainCpu.push_back(pc);
        watchedCpu.push_back(wc);
        wallRatio.push_back(w / p);
        cpuRatio.push_back(wc / pc);
    }
    orva::SetCurrentUi(std::make_shared<QuietUi>());
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        const std::size_t n = v.size();
        return n == 0 ? 0.0 : n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    };
    using C = benchmark::Counter;
    // Medians over the iterations of this run.
    state.counters["without_ms"] = median(plainWall) * 1000;
    state.counters["with_ms"] = median(watchedWall) * 1000;
    state.counters["without_cpu_ms"] = median(plainCpu) * 1000;
    state.counters["with_cpu_ms"] = median(watchedCpu) * 1000;
    state.counters["ratio"] = median(wallRatio);
    state.counters["cpu_ratio"] = median(cpuRatio);
    state.counters["members"] = kCustomers;
    state.counters["texts"] = C(static_cast<double>(WatchingProgress::texts_), C::kAvgIterations);
    state.SetLabel(state.range(0) == 1 ? "paced as the window" : "every step named");
}
BENCHMARK(BM_BatchAddProgress)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(7)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
