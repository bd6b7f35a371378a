// The find/filter/sort component and search all:
//
//   - find and filter over a ledger of 100,000 price entries, beside a plain
//     scan of the same record set doing the same comparisons (the floor);
//     two questions: "every price below 10 in US dollars that expires this
//     year" (a number first, then a currency name and a date) and a text
//     that every row's name is folded for;
//   - sort of the 100,000 entries on the item name (Chinese, pinyin order)
//     and the price descending;
//   - search all over a company of 100,000 customers and 1,000,000 price
//     entries for customers named with "杭州" that have a price between 10
//     and 20, as the administrator and as the group clerk (rights joins),
//     beside the same statement through raw sqlite3 (the floor); and the
//     whole search all of the component up to the first customer's ledger
//     and the positions of its matching entries.
//
// Run: bench_find --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
// The large company is generated on first use, into ORVA_BENCH_DIR when it
// is set (and kept there for later runs), else into a temporary folder.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

#include "browse/find_search_all.h"
#include "common/large_company_file.h"
#include "common/log_on.h"
#include "common/raw_sqlite.h"
#include "common/scratch_dir.h"
#include "demo/demo_company.h"
#include "host/db/sqlite/sqlite_dialect.h"
#include "host/find/find_criteria.h"
#include "host/find/find_sort.h"
#include "host/find/text_fold.h"
#include "host/tsql/translator.h"
#include "session/rights.h"

namespace {

using orva::FindOp;

// --- A ledger of 100,000 entries ------------------------------------------

constexpr long kEntries = 100000;

enum Column { kNumber, kName, kModel, kUnit, kPrice, kCurrency, kQuote, kExpire, kNote, kUsed };

std::vector<orva::FindField> Fields() {
    auto f = [](const char* column, int dataType) {
        orva::FindField field;
        field.caption = column;
        field.column = column;
        field.dataType = dataType;
        return field;
    };
    std::vector<orva::FindField> fields = {
        f("FNumber", 1), f("FName", 1),      f("FModel", 1),      f("FUnitName", 1), f("FPrice", 2),
        f("FCyName", 1), f("FQuoteTime", 0), f("FExpireDate", 0), f("FNote", 1),     f("Fused", 8)};
    fields.back().choices = {"已审核", "未审核"};
    return fields;
}

const orva::Recordset& Ledger() {
    static const orva::RecordsetPtr ledger = [] {
        static const char* names[] = {"冷轧钢板", "热镀锌板", "不锈钢板", "铜管",   "铝型材",
                                      "螺纹钢",   "角钢",     "工字钢",   "镀锌管", "无缝钢管"};
        static const char* units[] = {"个", "盒", "箱", "千克"};
        static const char* currencies[] = {"人民币", "美元", "欧元", "港币"};
        static const char* notes[] = {"", "含税价", "批量价", "年度合同价", "Special price"};
        std::vector<orva::Variant> cells;
        cells.reserve(static_cast<std::size_t>(kEntries) * 10);
        std::uint32_t seed = 12345;
        auto next = [&] {
            seed = seed * 1664525u + 1013904223u;
            return seed >> 8;
        };
        for (long i = 0; i < kEntries; ++i) {
            char code[32];
            std::snprintf(code, sizeof code, "%02ld.%02ld.%04ld", i % 7, (i / 7) % 13, i % 9973);
            cells.emplace_back(std::string(code));
            cells.emplace_back(std::string(names[next() % 10]) + std::to_string(i % 97));
            cells.emplace_back(std::to_string(next() % 5) + ".0mm");
            cells.emplace_back(units[next() % 4]);
            cells.emplace_back(static_cast<double>(next() % 200000) / 1000.0);
            cells.emplace_back(currencies[next() % 4]);
            cells.emplace_back(orva::Date{2024 + static_cast<int>(next() % 3), 1, 1});
            const std::uint32_t e = next() % 4;
            cells.emplace_back(e == 0 ? orva::Date{2100, 1, 1}
                                      : orva::Date{2025 + static_cast<int>(e),
                                                   1 + static_cast<int>(next() % 12),
                                                   1 + static_cast<int>(next() % 28)});
            cells.emplace_back(notes[next() % 5]);
            cells.emplace_back(next() % 2 ? "Y" : " ");
        }
        return std::make_shared<orva::Recordset>(
            std::vector<std::string>{"FNumber", "FName", "FModel", "FUnitName", "FPrice", "FCyName",
                                     "FQuoteTime", "FExpireDate", "FNote", "Fused"},
            std::move(cells));
    }();
    return *ledger;
}

// Question 0: below 10, in US dollars, expiring in 2026. Question 1: a text
// contained in the name.
orva::CheckedCriteria Question(int which) {
    orva::FindCriteria c;
    if (which == 0) {
        c.rows = {{kPrice, FindOp::kLess, "10", ""},
                  {kCurrency, FindOp::kEquals, "美元", ""},
                  {kExpire, FindOp::kBetween, "2026-01-01", "2026-12-31"}};
    } else {
        c.rows = {{kName, FindOp::kContains, "钢板1", ""}};
    }
    return std::get<orva::CheckedCriteria>(orva::CheckCriteria(Fields(), c));
}

// The floor: the same comparisons written out over the same record set.
std::vector<long> PlainScan(int which) {
    const orva::Recordset& rs = Ledger();
    std::vector<long> rows;
    if (which == 0) {
        const std::string dollar = orva::FoldText("美元");
        const orva::Date from{2026, 1, 1}, to{2026, 12, 31};
        for (long r = 0; r < kEntries; ++r) {
            const orva::Variant& price = rs.Cell(r, kPrice);
            if (!price.IsNumber() || !(price.ToDouble() < 10))
                continue;
            if (orva::FoldText(orva::DisplayText(rs.Cell(r, kCurrency))) != dollar)
                continue;
            const std::optional<orva::Date> d = rs.Cell(r, kExpire).ToDate();
            if (d && !(*d < from) && !(to < *d))
                rows.push_back(r);
        }
    } else {
        const std::string text = orva::FoldText("钢板1");
        for (long r = 0; r < kEntries; ++r) {
            if (orva::FoldText(orva::DisplayText(rs.Cell(r, kName))).find(text) !=
                std::string::npos)
                rows.push_back(r);
        }
    }
    return rows;
}

const char* QuestionLabel(int which) {
    return which == 0 ? "price<10, US dollars, expiring this year" : "name contains text";
}

void BM_Find(benchmark::State& state) {
    const orva::CheckedCriteria q = Question(static_cast<int>(state.range(0)));
    std::size_t found = 0;
    for (auto _ : state) found = orva::FindMatches(q, Ledger()).size();
    state.counters["matches"] = static_cast<double>(found);
    state.SetLabel(QuestionLabel(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_Find)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FindPlainScan(benchmark::State& state) {
    std::size_t found = 0;
    for (auto _ : state) found = PlainScan(static_cast<int>(state.range(0))).size();
    state.counters["matches"] = static_cast<double>(found);
    state.SetLabel(QuestionLabel(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_FindPlainScan)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_Filter(benchmark::State& state) {
    const orva::CheckedCriteria q = Question(static_cast<int>(state.range(0)));
    long kept = 0;
    for (auto _ : state) kept = orva::FilterRecords(q, Ledger())->RecordCount();
    state.counters["matches"] = static_cast<double>(kept);
    state.SetLabel(QuestionLabel(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_Filter)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The floor of filter: the plain scan and a copy of the rows it kept.
void BM_FilterPlainScan(benchmark::State& state) {
    long kept = 0;
    for (auto _ : state) {
        kept = orva::CopyRows(Ledger(), PlainScan(static_cast<int>(state.range(0))))->RecordCount();
    }
    state.counters["matches"] = static_cast<double>(kept);
    state.SetLabel(QuestionLabel(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_FilterPlainScan)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_SortTwoKeys(benchmark::State& state) {
    const std::vector<orva::FindSortKey> keys = {{kName, false}, {kPrice, true}};
    long rows = 0;
    for (auto _ : state) rows = orva::SortRecords(Ledger(), Fields(), keys)->RecordCount();
    state.counters["entries"] = static_cast<double>(rows);
    state.SetLabel("Chinese name ascending, price descending");
}
BENCHMARK(BM_SortTwoKeys)->Unit(benchmark::kMillisecond);

// --- Search all over 1,000,000 entries ------------------------------------

// 100,000 customers, 10,000 items, 1,000,000 entries.
const std::string& BigCompany() {
    static orva::bench::ScratchDir dir("find", orva::bench::ScratchDir::Reuse::kBenchDir);
    static const std::string path = orva::bench::LargeCompanyFile(dir, "bench_find_big.db", {});
    return path;
}

// Search all's fields in the customer tree, as the browse window gives them.
std::vector<orva::FindField> CustomerFields() {
    std::vector<orva::FindField> fields = Fields();
    fields[kNumber].column = "FNumber";
    fields[kName].column = "FName";
    fields[kUnit].column = "FUnitName";
    fields[kCurrency].column = "FCyName";
    return fields;
}

struct SearchAll {
    orva::CheckedCriteria criteria;
    orva::SearchAllRequest request;

    explicit SearchAll(bool clerk) {
        orva::bench::LogOn(BigCompany(),
                           clerk ? orva::demo::kGroupClerkUserId : orva::demo::kAdminUserId);
        orva::FindCriteria c;
        c.rows = {{kName, FindOp::kContains, "杭州", ""}, {kPrice, FindOp::kBetween, "10", "20"}};
        criteria = std::get<orva::CheckedCriteria>(orva::CheckCriteria(CustomerFields(), c));
        request.itemTree = false;
        request.userID = clerk ? orva::demo::kGroupClerkUserId : orva::demo::kAdminUserId;
        request.checkRights = orva::DataRightsApply(orva::ModuleContext::Shared());
        request.criteria = &criteria;
    }
};

const char* UserLabel(const benchmark::State& state) {
    return state.range(0) ? "group clerk" : "administrator";
}

void BM_SearchAllStatement(benchmark::State& state) {
    SearchAll s(state.range(0) != 0);
    orva::BrowseSearchAll source;
    std::size_t found = source.MatchingLeaves(s.request).size();  // the file's pages warm
    for (auto _ : state) found = source.MatchingLeaves(s.request).size();
    state.counters["customers"] = static_cast<double>(found);
    state.SetLabel(UserLabel(state));
}
BENCHMARK(BM_SearchAllStatement)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The floor: the same statement, translated once, stepped through by raw
// sqlite3 with every id read.
void BM_SearchAllRawSqlite(benchmark::State& state) {
    SearchAll s(state.range(0) != 0);
    const std::string statement = orva::BrowseSearchAll::MatchingLeavesSql(s.request);
    orva::tsql::Program program = orva::tsql::Compile(statement, orva::SqliteDialect());
    const std::string& sql = program.steps.at(0).sql.at(0);
    orva::bench::RawSqlite raw(BigCompany(), orva::bench::RawSqlite::Mode::kReadOnly);
    raw.UseModuleSettings();
    sqlite3* db = raw.db();
    auto readAll = [&] {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
        long rows = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            ++rows;
            benchmark::DoNotOptimize(sqlite3_column_int64(stmt, 0));
            benchmark::DoNotOptimize(sqlite3_column_text(stmt, 1));
        }
        sqlite3_finalize(stmt);
        return rows;
    };
    long rows = readAll();
    for (auto _ : state) rows = readAll();
    state.counters["customers"] = static_cast<double>(rows);
    state.SetLabel(UserLabel(state));
}
BENCHMARK(BM_SearchAllRawSqlite)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// What the component does for one search all, short of the tree: the
// matching customers, then the first one's ledger and own fields, and the
// positions of its matching entries.
void BM_SearchAllToFirstLedger(benchmark::State& state) {
    SearchAll s(state.range(0) != 0);
    orva::BrowseSearchAll source;
    std::size_t positions = 0;
    for (auto _ : state) {
        std::vector<std::int32_t> leaves = source.MatchingLeaves(s.request);
        if (leaves.empty()) {
            // The group clerk's ledgers show none of these prices: there is
            // no first ledger to read.
            state.SkipWithError("no customer the user may see matches");
            return;
        }
        orva::RecordsetPtr ledger = source.LeafLedger(false, leaves.front());
        orva::RecordsetPtr own = source.LeafRecord(s.request, leaves.front());
        orva::RowMatcher matcher(s.criteria, *ledger);
        matcher.Fix(0, s.criteria.rows[0].Matches(own->Cell(0, own->ColumnIndex("FName"))));
        positions = 0;
        for (long r = 0; r < ledger->RecordCount(); ++r) positions += matcher.Matches(r);
    }
    state.counters["positions"] = static_cast<double>(positions);
    state.SetLabel(UserLabel(state));
}
BENCHMARK(BM_SearchAllToFirstLedger)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
