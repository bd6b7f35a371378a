// The SQLite back end with its T-SQL layer: reading a large result into a
// record set (against raw sqlite3 stepping into vectors), the detail-member
// walk batch over a large item tree, look-ups by ID in texts that differ only
// in the ID (against raw sqlite3 binding it), and entry numbering.
// Run: bench_tsql --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <time.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "demo/company_generator.h"
#include "host/db_backend.h"
#include "host/sqlite_backend.h"
#include "host/tsql/sqlite_functions.h"

namespace {

namespace fs = std::filesystem;

class BenchDir {
  public:
    BenchDir() {
        std::string pattern = (fs::temp_directory_path() / "orva-bench-tsql-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~BenchDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

BenchDir& Dir() {
    static BenchDir dir;
    return dir;
}

const std::string kCrLf = "\r\n";

// ---- reading 20,000 rows x 20 columns ---------------------------------------

constexpr int kRows = 20000;
constexpr int kCols = 20;
const char* const kWideQuery = "SELECT * FROM t_Wide ORDER BY FID";

const std::string& WideFile() {
    static std::string path = [] {
        std::string p = Dir().File("wide.db");
        auto db = orva::OpenSqliteDatabase(p, true);
        std::string create = "CREATE TABLE t_Wide (FID INT NOT NULL PRIMARY KEY";
        for (int c = 1; c < kCols; ++c) {
            const char* type = c % 4 == 0 ? "INT" : c % 4 == 1 ? "FLOAT" : "VARCHAR(60)";
            create += ", F" + std::to_string(c) + " " + type;
        }
        create += ")";
        db->ExecuteBatch(create);
        std::string insert = "DECLARE @i INT SET @i = 0 WHILE @i < " + std::to_string(kRows) +
                             " BEGIN INSERT INTO t_Wide VALUES (@i";
        for (int c = 1; c < kCols; ++c) {
            if (c % 4 == 0) {
                insert += ", @i % 97";
            } else if (c % 4 == 1) {
                insert += ", @i * 0.25";
            } else if (c == 2) {
                insert += ", NULL";
            } else {
                insert += ", N'名称 text of column " + std::to_string(c) +
                          " row ' + CAST(@i AS VARCHAR(10))";
            }
        }
        insert += ") SET @i = @i + 1 END";
        db->ExecuteBatch(insert);
        return p;
    }();
    return path;
}

void BM_ReadThroughBackend(benchmark::State& state) {
    auto db = orva::OpenSqliteDatabase(WideFile(), false);
    for (auto _ : state) {
        orva::BatchResult r = db->ExecuteBatch(kWideQuery);
        if (r.recordsets.at(0)->RecordCount() != kRows)
            state.SkipWithError("row count");
        benchmark::DoNotOptimize(r);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_ReadThroughBackend)->Unit(benchmark::kMillisecond);

using RawValue = std::variant<std::monostate, std::int64_t, double, std::string>;

void BM_ReadRawSqlite(benchmark::State& state) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(WideFile().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    orva::RegisterSqlServerCompat(db);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, kWideQuery, -1, &stmt, nullptr);
    for (auto _ : state) {
        std::vector<std::vector<RawValue>> rows;
        const int cols = sqlite3_column_count(stmt);
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            std::vector<RawValue> row;
            row.reserve(cols);
            for (int i = 0; i < cols; ++i) {
                switch (sqlite3_column_type(stmt, i)) {
                    case SQLITE_INTEGER:
                        row.emplace_back(static_cast<std::int64_t>(sqlite3_column_int64(stmt, i)));
                        break;
                    case SQLITE_FLOAT:
                        row.emplace_back(sqlite3_column_double(stmt, i));
                        break;
                    case SQLITE_NULL:
                        row.emplace_back();
                        break;
                    default:
                        row.emplace_back(
                            std::string(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)),
                                        static_cast<std::size_t>(sqlite3_column_bytes(stmt, i))));
                }
            }
            rows.push_back(std::move(row));
        }
        sqlite3_reset(stmt);
        if (rows.size() != kRows)
            state.SkipWithError("row count");
        benchmark::DoNotOptimize(rows);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}
BENCHMARK(BM_ReadRawSqlite)->Unit(benchmark::kMillisecond);

// ---- the detail walk over items in 500 groups, 5 levels ---------------------
//
// BM_DetailWalk/<rights>/<items>: the walk of GetDetailItem from the root of
// 500 groups over 10,000, 20,000 and 100,000 items, without and with
// group-level rights, beside its floor measured in the same iteration: raw
// sqlite3 walking the same rows with one recursive query. Goal: 20,000 items
// with rights in 40 ms or less, and linear: the ratio to the floor
// ("cpu_ratio") the same at every size. CPU time of the thread, as the
// machine may be shared.

constexpr int kItems = 20000;
constexpr int kRoot = 1;
constexpr int kUser = 77;

std::string DetailWalk(int group, bool rights) {
    std::string s =
        "SET NOCOUNT ON" + kCrLf + "CREATE TABLE #Stack(FItemID INT ,FDetail INT,FLevel INT)" +
        kCrLf + "INSERT INTO #Stack(FItemID,FDetail,FLevel) VALUES(" + std::to_string(group) +
        ",0,1)" + kCrLf + "DECLARE @Level INT" + kCrLf + "DECLARE @CurrentItemID INT" + kCrLf +
        "SET @Level=1" + kCrLf + "WHILE @Level>0" + kCrLf + "BEGIN" + kCrLf +
        "    IF EXISTS(SELECT * FROM #Stack WHERE FLevel=@Level AND FDetail=0)" + kCrLf +
        "    BEGIN" + kCrLf + "        SELECT @CurrentItemID=FItemID FROM #Stack" + kCrLf +
        "        WHERE FLevel=@Level AND FDetail=0" + kCrLf +
        "        DELETE FROM #Stack WHERE FLevel=@Level AND FItemID=@CurrentItemID" + kCrLf +
        "        INSERT INTO #Stack(FItemID,FDetail,FLevel)" + kCrLf +
        "        SELECT t1.FItemID,t1.FDetail,@Level+1 FROM t_Item t1, t_ICItem t2 WHERE "
        "t1.fitemid = t2.fitemid and t1.FParentID=@CurrentItemID AND t1.FItemClassID=4 "
        "and t2.ferpclsid<>8" +
        kCrLf + "        IF @@ROWCOUNT>0" + kCrLf + "            SELECT @Level=@Level+1" + kCrLf +
        "END" + kCrLf + "Else" + kCrLf + "    SELECT @Level=@Level-1" + kCrLf + "END" + kCrLf;
    std::string u = std::to_string(kUser);
    s += "SELECT Distinct v1.FItemID " + kCrLf + " FROM #Stack v1 " + kCrLf;
    if (rights) {
        s += " Inner join t_Item v2 on v1.FItemID=v2.FITemID " + kCrLf +
             " INNER JOIN t_Item t9 ON LEFT(v2.FNumber,LEN(v2.FNumber)-CHARINDEX('.',REVERSE(RTRIM("
             "v2.FNumber)))) = t9.FNumber" +
             kCrLf + " INNER JOIN t_ItemRight t7 ON t9.FItemID=t7.FItemID" + kCrLf;
    }
    s += " WHERE 1=1 " + kCrLf;
    if (rights) {
        s +=
            "AND t7.FTypeID=4" + kCrLf + "AND (t7.FuserID=" + u +
            " OR t7.FUserID IN (Select FGroupID From t_Group Where FGroupID <> 0 And FUserID=" + u +
            " ))" + kCrLf;
    }
    s += " ORDER BY v1.FItemID" + kCrLf + kCrLf + "DROP TABLE #Stack" + kCrLf + "SET NOCOUNT OFF" +
         kCrLf;
    return s;
}

// Groups: the root, then 4, 20, 75 and 400 groups on levels 2 to 5 (500 in
// all), each under a group of the level above; items spread over all groups.
const std::string& TreeFile(int items = kItems) {
    static std::map<int, std::string> paths;
    std::string& path = paths[items];
    if (path.empty()) {
        std::string p = Dir().File("tree" + std::to_string(items) + ".db");
        orva::demo::CreateEmptyCompany(p);
        sqlite3* db = nullptr;
        sqlite3_open_v2(p.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
        orva::RegisterSqlServerCompat(db);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* item = nullptr;
        sqlite3_prepare_v2(
            db,
            "INSERT INTO t_Item (FItemID,FItemClassID,FNumber,FName,FParentID,FLevel,"
            "FDetail) VALUES (?1,4,?2,?2,?3,?4,?5)",
            -1, &item, nullptr);
        sqlite3_stmt* ic = nullptr;
        sqlite3_prepare_v2(
            db,
            "INSERT INTO t_ICItem (FItemID,FNumber,FName,FParentID,FErpClsID) VALUES "
            "(?1,?2,?2,?3,1)",
            -1, &ic, nullptr);
        auto add = [&](int id, const std::string& code, int parent, int level, bool detail) {
            for (sqlite3_stmt* s : {item, ic}) {
                sqlite3_bind_int(s, 1, id);
                sqlite3_bind_text(s, 2, code.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_int(s, 3, parent);
                if (s == item) {
                    sqlite3_bind_int(s, 4, level);
                    sqlite3_bind_int(s, 5, detail ? 1 : 0);
                }
                sqlite3_step(s);
                sqlite3_reset(s);
            }
        };
        struct Group {
            int id;
            std::string code;
            int level;
        };
        std::vector<Group> groups{{kRoot, "R", 1}};
        add(kRoot, "R", 0, 1, false);
        int nextId = 2;
        std::vector<Group> above = groups;
        for (int count : {4, 20, 75, 400}) {
            std::vector<Group> level;
            for (int g = 0; g < count; ++g) {
                const Group& parent = above[g % above.size()];
                Group child{nextId++, parent.code + "." + std::to_string(g), parent.level + 1};
                add(child.id, child.code, parent.id, child.level, false);
                level.push_back(child);
            }
            groups.insert(groups.end(), level.begin(), level.end());
            above = level;
        }
        for (int i = 0; i < items; ++i) {
            const Group& g = groups[i % groups.size()];
            add(100000 + i, g.code + ".i" + std::to_string(i), g.id, g.level + 1, true);
        }
        // The user holds a right on every second group.
        for (std::size_t g = 0; g < groups.size(); g += 2) {
            std::string sql = "INSERT INTO t_ItemRight (FUserID,FTypeID,FItemID) VALUES (" +
                              std::to_string(kUser) + ",4," + std::to_string(groups[g].id) + ")";
            sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
        }
        sqlite3_finalize(item);
        sqlite3_finalize(ic);
        sqlite3_exec(db, "COMMIT; ANALYZE;", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        path = p;
    }
    return path;
}

// The floor of the walk: raw sqlite3 walking the same subtree with one
// recursive query (the same child condition), then keeping the detail
// records, with the same rights joins, in ascending order.
std::string RawWalk(int group, bool rights) {
    std::string s =
        "WITH RECURSIVE w(FItemID,FDetail) AS (SELECT " + std::to_string(group) +
        ",0 UNION ALL SELECT t1.FItemID,t1.FDetail FROM w JOIN t_Item t1 ON "
        "t1.FParentID=w.FItemID JOIN t_ICItem t2 ON t2.FItemID=t1.FItemID WHERE w.FDetail=0 "
        "AND t1.FItemClassID=4 AND t2.FErpClsID<>8) SELECT DISTINCT v1.FItemID FROM w v1 ";
    if (rights) {
        s += "JOIN t_Item v2 ON v1.FItemID=v2.FItemID JOIN t_Item t9 ON "
             "orva_left(v2.FNumber,len(v2.FNumber)-charindex('.',reverse(rtrim(v2.FNumber))))="
             "t9.FNumber JOIN t_ItemRight t7 ON t9.FItemID=t7.FItemID ";
    }
    s += "WHERE v1.FDetail=1 ";
    if (rights) {
        const std::string u = std::to_string(kUser);
        s += "AND t7.FTypeID=4 AND (t7.FUserID=" + u +
             " OR t7.FUserID IN (SELECT FGroupID FROM t_Group WHERE FGroupID<>0 AND FUserID=" + u +
             ")) ";
    }
    return s + "ORDER BY v1.FItemID";
}

double ThreadCpu() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void BM_DetailWalk(benchmark::State& state) {
    bool rights = state.range(0) != 0;
    const int items = static_cast<int>(state.range(1));
    auto db = orva::OpenSqliteDatabase(TreeFile(items), false);
    const std::string text = DetailWalk(kRoot, rights);
    sqlite3* raw = nullptr;
    if (sqlite3_open_v2(TreeFile(items).c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot open the company file");
    orva::RegisterSqlServerCompat(raw);
    // The settings of the module's own connections.
    sqlite3_exec(raw, "PRAGMA temp_store=MEMORY; PRAGMA cache_size=-32000;", nullptr, nullptr,
                 nullptr);
    const std::string floorSql = RawWalk(kRoot, rights);
    long rows = 0;
    long floorRows = 0;
    double cpu = 0;
    double floorCpu = 0;
    for (auto _ : state) {
        const double start = ThreadCpu();
        orva::BatchResult r = db->ExecuteBatch(text);
        rows = r.recordsets.at(0)->RecordCount();
        const double middle = ThreadCpu();
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(raw, floorSql.c_str(), -1, &stmt, nullptr);
        floorRows = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            benchmark::DoNotOptimize(sqlite3_column_int(stmt, 0));
            ++floorRows;
        }
        sqlite3_finalize(stmt);
        cpu += middle - start;
        floorCpu += ThreadCpu() - middle;
    }
    sqlite3_close(raw);
    if ((!rights && rows != items) || rows != floorRows)
        state.SkipWithError("wrong member count");
    const double n = static_cast<double>(state.iterations());
    state.counters["members"] = static_cast<double>(rows);
    state.counters["cpu_ms"] = cpu / n * 1000;
    state.counters["floor_cpu_ms"] = floorCpu / n * 1000;
    state.counters["cpu_ratio"] = floorCpu > 0 ? cpu / floorCpu : 0;
    state.counters["cpu_per_item_us"] = cpu / n / items * 1e6;
    if (rights && items == kItems)
        state.counters["goal_ms"] = 40;
}
BENCHMARK(BM_DetailWalk)
    ->ArgsProduct({{0, 1}, {10000, kItems, 100000}})
    ->Unit(benchmark::kMillisecond);

// ---- 10,000 look-ups by ID ---------------------------------------------------

// Arg 0: 10,000 texts that differ only in the ID (as a batch's members do);
// 1: one text sent 10,000 times; 2: raw sqlite3, one prepared statement bound
// 10,000 times. Every look-up reads its row into a record set (2: a vector).
void BM_LookupById(benchmark::State& state) {
    const int mode = static_cast<int>(state.range(0));
    static const char* const kLabels[] = {"texts of one shape", "one text", "raw sqlite3"};
    state.SetLabel(kLabels[mode]);
    constexpr int kLookups = 10000;
    auto db = orva::OpenSqliteDatabase(TreeFile(), false);
    sqlite3* raw = nullptr;
    sqlite3_stmt* stmt = nullptr;
    if (mode == 2) {
        sqlite3_open_v2(TreeFile().c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
        orva::RegisterSqlServerCompat(raw);
        sqlite3_prepare_v2(raw, "SELECT * FROM t_Item WHERE FItemID=?1 AND FItemClassID=4", -1,
                           &stmt, nullptr);
    }
    long found = 0;
    for (auto _ : state) {
        found = 0;
        for (int i = 0; i < kLookups; ++i) {
            const int id = 100000 + (mode == 1 ? 7 : i);
            if (mode == 2) {
                sqlite3_bind_int(stmt, 1, id);
                std::vector<RawValue> row;
                while (sqlite3_step(stmt) == SQLITE_ROW) {
                    for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
                        if (sqlite3_column_type(stmt, c) == SQLITE_TEXT) {
                            row.emplace_back(std::string(
                                reinterpret_cast<const char*>(sqlite3_column_text(stmt, c))));
                        } else {
                            row.emplace_back(
                                static_cast<std::int64_t>(sqlite3_column_int64(stmt, c)));
                        }
                    }
                    ++found;
                }
                sqlite3_reset(stmt);
                benchmark::DoNotOptimize(row);
            } else {
                orva::BatchResult r =
                    db->ExecuteBatch("SELECT * FROM t_Item WHERE FItemID=" + std::to_string(id) +
                                     " AND FItemClassID=4");
                found += r.recordsets.at(0)->RecordCount();
            }
        }
    }
    if (found != kLookups)
        state.SkipWithError("a look-up found no row");
    state.counters["per_lookup_us"] = benchmark::Counter(
        kLookups, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    sqlite3_finalize(stmt);
    sqlite3_close(raw);
}
BENCHMARK(BM_LookupById)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// ---- 10,000 entry numbers ---------------------------------------------------

void BM_NextNumber10000(benchmark::State& state) {
    static const std::string path = [] {
        std::string p = Dir().File("numbers.db");
        orva::demo::CreateEmptyCompany(p);
        return p;
    }();
    auto db = orva::OpenSqliteDatabase(path, false);
    for (auto _ : state) {
        for (int i = 0; i < 10000; ++i) benchmark::DoNotOptimize(db->NextNumber("t_Cust"));
    }
}
BENCHMARK(BM_NextNumber10000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
