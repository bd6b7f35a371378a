#include "host/db/sqlite/sqlite_numbering.h"

#include <algorithm>
#include <limits>

#include "host/db/db_backend.h"
#include "orvasaleprice/com_error.h"

namespace orva {
namespace {

struct ResetOnExit {
    sqlite3_stmt* stmt;
    ~ResetOnExit() { sqlite3_reset(stmt); }
};

}  // namespace

void SqliteNumbering::Fail(const std::string& what, int rc) {
    std::string msg = rc == SQLITE_BUSY || rc == SQLITE_LOCKED
                          ? "The database " + where_ +
                                " is locked by another connection; no entry number could be "
                                "taken after waiting (" +
                                what + ")."
                          : "Cannot take an entry number in " + where_ + ": " + what;
    throw ComError(ComError::kDatabase, msg, kConnectionProgID);
}

sqlite3_stmt* SqliteNumbering::Prepare(StmtHandle& h, const char* sql) {
    if (!h) {
        sqlite3_stmt* s = nullptr;
        int rc = sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(s);
            Fail(sqlite3_errmsg(db_), rc);
        }
        h.reset(s);
    }
    return h.get();
}

std::int64_t SqliteNumbering::HighestUsed(std::string_view tableKey) {
    const NumberedColumn* numbered = NumberedColumnOf(tableKey);
    if (!numbered)
        return 0;
    StmtHandle& highest = highest_[numbered];
    if (!highest) {
        // The numbered table may not exist (a bare database): then only the
        // counter counts.
        const std::string sql = "SELECT MAX(" + std::string(numbered->column) + ") FROM " +
                                std::string(numbered->table);
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr) !=
            SQLITE_OK) {
            sqlite3_finalize(s);
            return 0;
        }
        highest.reset(s);
    }
    sqlite3_stmt* s = highest.get();
    ResetOnExit guard{s};
    int rc = sqlite3_step(s);
    if (rc != SQLITE_ROW)
        Fail(sqlite3_errmsg(db_), rc);
    return sqlite3_column_int64(s, 0);
}

std::int32_t SqliteNumbering::Next(std::string_view tableKey) {
    // Inside a write transaction the caller opened (which holds the write
    // lock), the number is taken in it and written with the rest of it.
    const bool joined = !sqlite3_get_autocommit(db_);
    if (!joined) {
        sqlite3_stmt* begin = Prepare(begin_, "BEGIN IMMEDIATE");
        ResetOnExit guard{begin};
        int rc = sqlite3_step(begin);
        if (rc != SQLITE_DONE)
            Fail(sqlite3_errmsg(db_), rc);
    }
    try {
        if (!tableReady_) {
            char* err = nullptr;
            int rc = sqlite3_exec(db_, kNumberingTableSql, nullptr, nullptr, &err);
            if (rc != SQLITE_OK) {
                std::string msg = err ? err : sqlite3_errstr(rc);
                sqlite3_free(err);
                Fail(msg, rc);
            }
            tableReady_ = true;
        }
        std::int64_t stored = 0;
        {
            sqlite3_stmt* s = Prepare(read_, "SELECT FMaxNum FROM t_ICMaxNum WHERE FTableName=?1");
            sqlite3_bind_text(s, 1, tableKey.data(), static_cast<int>(tableKey.size()),
                              SQLITE_TRANSIENT);
            ResetOnExit guard{s};
            int rc = sqlite3_step(s);
            if (rc == SQLITE_ROW) {
                stored = sqlite3_column_int64(s, 0);
            } else if (rc != SQLITE_DONE) {
                Fail(sqlite3_errmsg(db_), rc);
            }
        }
        std::int64_t next = std::max(stored, HighestUsed(tableKey)) + 1;
        if (next > std::numeric_limits<std::int32_t>::max()) {
            Fail("the numbers of " + std::string(tableKey) + " are used up", SQLITE_FULL);
        }
        {
            sqlite3_stmt* s =
                Prepare(write_,
                        "INSERT INTO t_ICMaxNum (FTableName, FMaxNum) VALUES (?1, ?2) "
                        "ON CONFLICT (FTableName) DO UPDATE SET FMaxNum = excluded.FMaxNum");
            sqlite3_bind_text(s, 1, tableKey.data(), static_cast<int>(tableKey.size()),
                              SQLITE_TRANSIENT);
            sqlite3_bind_int64(s, 2, next);
            ResetOnExit guard{s};
            int rc = sqlite3_step(s);
            if (rc != SQLITE_DONE)
                Fail(sqlite3_errmsg(db_), rc);
        }
        if (!joined) {
            sqlite3_stmt* commit = Prepare(commit_, "COMMIT");
            ResetOnExit guard{commit};
            int rc = sqlite3_step(commit);
            if (rc != SQLITE_DONE)
                Fail(sqlite3_errmsg(db_), rc);
        }
        return static_cast<std::int32_t>(next);
    } catch (...) {
        if (!joined && !sqlite3_get_autocommit(db_)) {
            sqlite3_stmt* rb = Prepare(rollback_, "ROLLBACK");
            sqlite3_step(rb);
            sqlite3_reset(rb);
        }
        throw;
    }
}

}  // namespace orva
