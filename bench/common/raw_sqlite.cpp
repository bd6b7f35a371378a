#include "common/raw_sqlite.h"

#include <benchmark/benchmark.h>

#include <stdexcept>

#include "host/db/sqlite/sqlite_functions.h"

namespace orva::bench {

RawSqlite::RawSqlite(const std::string& path, Mode mode) {
    const int flags = mode == Mode::kReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        sqlite3_close(db_);
        throw std::runtime_error("cannot open the company file " + path);
    }
    RegisterSqlServerCompat(db_);
}

RawSqlite::~RawSqlite() {
    sqlite3_close(db_);
}

void RawSqlite::UseModuleSettings() {
    Exec("PRAGMA temp_store=MEMORY; PRAGMA cache_size=-32000;");
}

void RawSqlite::Exec(const std::string& sql) {
    char* err = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::string message = err ? err : "?";
        sqlite3_free(err);
        throw std::runtime_error(message + " in " + sql);
    }
}

std::vector<int> RawSqlite::Ints(const std::string& sql) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string(sqlite3_errmsg(db_)) + " in " + sql);
    std::vector<int> out;
    while (sqlite3_step(st) == SQLITE_ROW) out.push_back(sqlite3_column_int(st, 0));
    sqlite3_finalize(st);
    return out;
}

long RawSqlite::ReadEveryCell(const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db_));
    long rows = 0;
    const int cols = sqlite3_column_count(stmt);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        ++rows;
        for (int c = 0; c < cols; ++c) {
            switch (sqlite3_column_type(stmt, c)) {
                case SQLITE_INTEGER:
                    benchmark::DoNotOptimize(sqlite3_column_int64(stmt, c));
                    break;
                case SQLITE_FLOAT:
                    benchmark::DoNotOptimize(sqlite3_column_double(stmt, c));
                    break;
                case SQLITE_TEXT:
                    benchmark::DoNotOptimize(sqlite3_column_text(stmt, c));
                    benchmark::DoNotOptimize(sqlite3_column_bytes(stmt, c));
                    break;
                default:
                    break;
            }
        }
    }
    sqlite3_finalize(stmt);
    return rows;
}

}  // namespace orva::bench
