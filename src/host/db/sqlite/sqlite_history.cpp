#include "host/db/sqlite/sqlite_history.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <random>

#include "host/db/price_history.h"
#include "host/db/sqlite/sqlite_error.h"
#include "orvasaleprice/com_error.h"

namespace orva {
namespace {

SqliteHistory& Of(sqlite3_context* ctx) {
    return *static_cast<SqliteHistory*>(sqlite3_user_data(ctx));
}

std::string Text(sqlite3_value* v) {
    const unsigned char* p = sqlite3_value_text(v);
    return p ? std::string(reinterpret_cast<const char*>(p), sqlite3_value_bytes(v))
             : std::string();
}

void FnUser(sqlite3_context* ctx, int, sqlite3_value**) {
    const auto user = Of(ctx).User();
    if (user)
        sqlite3_result_int(ctx, *user);
    else
        sqlite3_result_null(ctx);
}

void FnLogin(sqlite3_context* ctx, int, sqlite3_value**) {
    const std::string& s = Of(ctx).Login();
    sqlite3_result_text(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

void FnBatch(sqlite3_context* ctx, int, sqlite3_value**) {
    const std::string& s = Of(ctx).Batch();
    sqlite3_result_text(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

// orva_history_hash(prev, id, entry, cust, item, op, changes, user, login,
// time, batch)
void FnHash(sqlite3_context* ctx, int, sqlite3_value** argv) {
    HistoryRow row;
    row.id = sqlite3_value_int64(argv[1]);
    row.entryId = sqlite3_value_int(argv[2]);
    row.custId = sqlite3_value_int(argv[3]);
    row.itemId = sqlite3_value_int(argv[4]);
    row.operation = Text(argv[5]);
    row.changes = Text(argv[6]);
    if (sqlite3_value_type(argv[7]) != SQLITE_NULL)
        row.userId = sqlite3_value_int(argv[7]);
    row.login = Text(argv[8]);
    row.time = Text(argv[9]);
    row.batch = Text(argv[10]);
    const std::string h = HistoryHash(Text(argv[0]), row);
    sqlite3_result_text(ctx, h.data(), static_cast<int>(h.size()), SQLITE_TRANSIENT);
}

constexpr const char* kPrevHash =
    "coalesce((SELECT h.FHash FROM t_CustEntryHistory h WHERE h.FHistID<{id} "
    "ORDER BY h.FHistID DESC LIMIT 1),'')";

std::string Prev(const std::string& id) {
    std::string s = kPrevHash;
    s.replace(s.find("{id}"), 4, id);
    return s;
}

std::string OsLogin() {
    if (const passwd* pw = ::getpwuid(::geteuid()))
        return pw->pw_name;
    return std::to_string(::geteuid());
}

}  // namespace

SqliteHistory::SqliteHistory(sqlite3* db) : db_(db), login_(OsLogin()) {
    std::random_device rd;
    const std::uint64_t r = (std::uint64_t(rd()) << 32) | rd();
    char buf[20];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(r));
    batchPrefix_ = std::string(buf) + "-";
    const int flags = SQLITE_UTF8;
    struct Fn {
        const char* name;
        int args;
        void (*fn)(sqlite3_context*, int, sqlite3_value**);
        int flags;
    };
    for (const Fn& f :
         {Fn{"orva_history_user", 0, FnUser, flags}, Fn{"orva_history_login", 0, FnLogin, flags},
          Fn{"orva_history_batch", 0, FnBatch, flags},
          Fn{"orva_history_hash", 11, FnHash, flags | SQLITE_DETERMINISTIC}}) {
        if (sqlite3_create_function_v2(db_, f.name, f.args, f.flags, this, f.fn, nullptr, nullptr,
                                       nullptr) != SQLITE_OK) {
            throw ComError(ComError::kDatabase,
                           std::string("cannot register ") + f.name + ": " + sqlite3_errmsg(db_),
                           kConnectionProgID);
        }
    }
    Refresh();
}

void SqliteHistory::Refresh() {
    sqlite3_stmt* st = nullptr;
    active_ = false;
    if (sqlite3_prepare_v2(db_,
                           "SELECT 1 FROM main.sqlite_master WHERE type='table' AND "
                           "name='t_CustEntryHistory'",
                           -1, &st, nullptr) == SQLITE_OK) {
        active_ = sqlite3_step(st) == SQLITE_ROW;
    }
    sqlite3_finalize(st);
    findUnsealed_.reset();
    seal_.reset();
    if (!active_)
        return;
    // The module's rows are sealed as they are written, with this
    // connection's user, login and batch.
    const std::string trigger =
        "CREATE TEMP TRIGGER IF NOT EXISTS orva_history_seal AFTER INSERT ON "
        "main.t_CustEntryHistory BEGIN UPDATE t_CustEntryHistory SET "
        "FUserID=orva_history_user(), FLogin=orva_history_login(), "
        "FBatchID=orva_history_batch(), FPrevHash=" +
        Prev("NEW.FHistID") + ", FHash=orva_history_hash(" + Prev("NEW.FHistID") +
        ", NEW.FHistID, NEW.FEntryID, NEW.FCustID, NEW.FItemID, NEW.FOperation, NEW.FChanges, "
        "orva_history_user(), orva_history_login(), NEW.FTime, orva_history_batch()) "
        "WHERE FHistID=NEW.FHistID; END";
    char* err = nullptr;
    if (sqlite3_exec(db_, trigger.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::string msg = err ? err : "unknown error";
        sqlite3_free(err);
        throw ComError(ComError::kDatabase, "The price history cannot be recorded: " + msg,
                       kConnectionProgID);
    }
}

void SqliteHistory::PinBatch() {
    batch_ = batchPrefix_ + std::to_string(++batches_);
    pinned_ = true;
}

void SqliteHistory::StartBatch() {
    if (!pinned_)
        batch_ = batchPrefix_ + std::to_string(++batches_);
    if (!active_)
        return;
    auto prepare = [&](StmtHandle& h, const std::string& sql) {
        if (h)
            return;
        sqlite3_stmt* s = nullptr;
        const int rc =
            sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(s);
            throw SqliteError(db_, rc);
        }
        h.reset(s);
    };
    // Rows another program wrote are the last ones (the module seals them
    // before it writes): the row after the last sealed one, if any.
    prepare(findUnsealed_,
            "SELECT FHistID FROM t_CustEntryHistory WHERE FHistID>coalesce((SELECT FHistID FROM "
            "t_CustEntryHistory WHERE FHash IS NOT NULL ORDER BY FHistID DESC LIMIT 1),0) "
            "ORDER BY FHistID LIMIT 1");
    prepare(seal_, "UPDATE t_CustEntryHistory SET FPrevHash=" + Prev("?1") +
                       ", FHash=orva_history_hash(" + Prev("?1") +
                       ", FHistID, FEntryID, FCustID, FItemID, FOperation, FChanges, FUserID, "
                       "FLogin, FTime, FBatchID) WHERE FHistID=?1");
    for (;;) {
        int rc = sqlite3_step(findUnsealed_.get());
        const bool found =
            rc == SQLITE_ROW && sqlite3_column_type(findUnsealed_.get(), 0) != SQLITE_NULL;
        const sqlite3_int64 id = found ? sqlite3_column_int64(findUnsealed_.get(), 0) : 0;
        sqlite3_reset(findUnsealed_.get());
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            throw SqliteError(db_, rc);
        if (!found)
            return;
        sqlite3_bind_int64(seal_.get(), 1, id);
        rc = sqlite3_step(seal_.get());
        sqlite3_reset(seal_.get());
        if (rc != SQLITE_DONE)
            throw SqliteError(db_, rc);
    }
}

}  // namespace orva
