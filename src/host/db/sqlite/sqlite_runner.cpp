#include "host/db/sqlite/sqlite_runner.h"

#include <algorithm>

#include "host/base/record_store.h"
#include "host/db/sqlite/sqlite_error.h"

namespace orva {
namespace {

using tsql::Parameters;
using tsql::PreparedStatement;
using tsql::Step;
using tsql::TsqlError;

struct ResetOnExit {
    sqlite3_stmt* stmt;
    ~ResetOnExit() { sqlite3_reset(stmt); }
};

Variant ColumnValue(sqlite3_stmt* s, int i) {
    switch (sqlite3_column_type(s, i)) {
        case SQLITE_INTEGER:
            return Variant(static_cast<std::int64_t>(sqlite3_column_int64(s, i)));
        case SQLITE_FLOAT:
            return Variant(sqlite3_column_double(s, i));
        case SQLITE_NULL:
            return Variant();
        default: {
            const char* p = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
            return Variant(std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(s, i))));
        }
    }
}

class SqlitePrepared final : public PreparedStatement {
  public:
    explicit SqlitePrepared(sqlite3_stmt* s) : stmt(s) {}
    ~SqlitePrepared() override { sqlite3_finalize(stmt); }
    sqlite3_stmt* stmt;
};

void BindValue(sqlite3_stmt* stmt, int i, const Variant& v) {
    if (const auto* x = v.AsInteger()) {
        sqlite3_bind_int64(stmt, i, *x);
    } else if (const auto* d = v.AsDouble()) {
        sqlite3_bind_double(stmt, i, *d);
    } else if (const auto* t = v.AsText()) {
        sqlite3_bind_text(stmt, i, t->data(), static_cast<int>(t->size()), SQLITE_STATIC);
    } else if (v.IsNull()) {
        sqlite3_bind_null(stmt, i);
    } else {
        std::string s = v.ToText();
        sqlite3_bind_text(stmt, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
    }
}

}  // namespace

RecordsetPtr ReadRecordset(sqlite3* db, sqlite3_stmt* stmt, int rc, long expectedRows, long& rows) {
    const int cols = sqlite3_column_count(stmt);
    std::vector<std::string> names;
    names.reserve(cols);
    for (int i = 0; i < cols; ++i) {
        const char* n = sqlite3_column_name(stmt, i);
        names.emplace_back(n ? n : "");
    }
    // Every value goes straight into its place in the record set: the store
    // starts with room for the previous run's count and grows by blocks
    // without moving what it holds.
    RecordStore store(static_cast<std::size_t>(cols),
                      static_cast<std::size_t>(std::max(expectedRows, 0L)));
    auto value = [stmt](std::size_t c) { return ColumnValue(stmt, static_cast<int>(c)); };
    while (rc == SQLITE_ROW) {
        store.AppendRow(value);
        rc = sqlite3_step(stmt);
    }
    if (rc != SQLITE_DONE)
        throw SqliteError(db, rc);
    rows = static_cast<long>(store.Rows());
    return std::make_shared<Recordset>(std::move(names), std::move(store));
}

sqlite3_stmt* SqliteRunner::Prepared(const Step& step, std::size_t i) {
    if (step.prepared.size() < step.sql.size())
        step.prepared.resize(step.sql.size());
    if (!step.prepared[i]) {
        sqlite3_stmt* s = nullptr;
        int rc = sqlite3_prepare_v3(db_, step.sql[i].c_str(), static_cast<int>(step.sql[i].size()),
                                    SQLITE_PREPARE_PERSISTENT, &s, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(s);
            throw SqliteError(db_, rc, step.begin);
        }
        step.prepared[i] = std::make_unique<SqlitePrepared>(s);
    }
    sqlite3_stmt* stmt = static_cast<SqlitePrepared*>(step.prepared[i].get())->stmt;
    return stmt;
}

sqlite3_stmt* SqliteRunner::Bound(const Step& step, std::size_t i, const Parameters& params) {
    sqlite3_stmt* stmt = Prepared(step, i);
    const int n = std::min(sqlite3_bind_parameter_count(stmt), static_cast<int>(params.Count()));
    for (int k = 1; k <= n; ++k) BindValue(stmt, k, params.At(static_cast<std::size_t>(k - 1)));
    return stmt;
}

RecordsetPtr SqliteRunner::Query(const Step& step, std::size_t i, const Parameters& params,
                                 long& rows) {
    sqlite3_stmt* s = Bound(step, i, params);
    ResetOnExit guard{s};
    try {
        return ReadRecordset(db_, s, sqlite3_step(s), step.lastRows, rows);
    } catch (const TsqlError& e) {
        throw TsqlError(e.what(), step.begin, e.Kind());
    }
}

std::int64_t SqliteRunner::Execute(const Step& step, std::size_t i, const Parameters& params) {
    sqlite3_stmt* s = Bound(step, i, params);
    ResetOnExit guard{s};
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        throw SqliteError(db_, rc, step.begin);
    return static_cast<std::int64_t>(sqlite3_changes64(db_));
}

std::int64_t SqliteRunner::LastRow(const Step& step, std::size_t i, const Parameters& params,
                                   std::vector<Variant>& last) {
    sqlite3_stmt* s = Bound(step, i, params);
    ResetOnExit guard{s};
    std::int64_t rows = 0;
    int rc;
    const int cols = sqlite3_column_count(s);
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        last.clear();
        for (int c = 0; c < cols; ++c) last.push_back(ColumnValue(s, c));
        ++rows;
    }
    if (rc != SQLITE_DONE)
        throw SqliteError(db_, rc, step.begin);
    return rows;
}

void SqliteRunner::DropTempTable(const std::string& name, std::size_t pos) {
    std::string drop = "DROP TABLE IF EXISTS temp.\"";
    for (char c : name) {
        if (c == '"')
            drop.push_back('"');
        drop.push_back(c);
    }
    drop += "\"";
    char* err = nullptr;
    int rc = sqlite3_exec(db_, drop.c_str(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        std::string msg = err ? err : sqlite3_errstr(rc);
        sqlite3_free(err);
        throw TsqlError(msg, pos, SqliteErrorKind(db_, rc));
    }
}

}  // namespace orva
