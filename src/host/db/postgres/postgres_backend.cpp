#include "host/db/postgres/postgres_backend.h"

#include <libpq-fe.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "host/base/text_util.h"
#include "host/db/numbering_keys.h"
#include "host/db/postgres/postgres_dialect.h"
#include "host/db/postgres/postgres_pipeline.h"
#include "host/db/postgres/postgres_runner.h"
#include "host/db/postgres/postgres_setup.h"
#include "host/db/postgres/postgres_uri.h"
#include "host/db/translated_backend.h"
#include "orvasaleprice/com_error.h"

namespace orva {
namespace {

constexpr const char* kSource = kConnectionProgID;
// How long a statement waits for a row or table another client holds.
constexpr int kLockTimeoutMs = 5000;

using tsql::Program;
using tsql::TsqlError;

class PostgresBackend final : public TranslatedBackend, public BatchDurability {
  public:
    explicit PostgresBackend(const std::string& uri);
    ~PostgresBackend() override;

    std::int32_t NextNumber(std::string_view tableKey) override;
    std::string Describe() const override { return "PostgreSQL " + where_; }
    // A batch's members commit without waiting for the server's log to
    // reach the disk; the end waits once for all of them. The server writes
    // its log in order, so a transaction committed with waiting, after the
    // members, is on disk only once every member is.
    void BeginBatch() override;
    void CommitPending() override {}
    void EndBatch() override;
    // The user goes into the connection's setting orva.user, which the
    // price history's triggers read.
    void SetHistoryUser(std::optional<std::int32_t> userId) override;
    void PinHistoryBatch() override;
    bool HasPriceHistory() override;
    std::optional<std::string> ClerkLogin() override;
    NativeDialect Native() const override { return NativeDialect::kPostgres; }
    void RunNativeScript(const std::vector<std::string>& statements) override;

  private:
    // Statements of programs the cache dropped are released on the server.
    void BeforeText() override { runner_->ReleaseDropped(); }
    // Inside a caller's transaction every text runs in a savepoint, even one
    // that only reads: after a failure the server refuses everything up to
    // the end of the transaction unless the savepoint is undone.
    Scope ScopeOf(const Program& program) const override;
    // Begin only chooses the commands that open and close the scope: a text
    // of data changes alone goes to the server in one exchange with them
    // (its transaction included); any other text sends them around its
    // statements.
    void Begin(const Program& program, Scope scope) override;
    BatchResult Run(const Program& program, const std::vector<Variant>& literals) override;
    void Commit(Scope scope) override;
    // A failure undoes what the text began; functions created outside any
    // transaction stay.
    void Undo(Scope scope) override;
    // A company table missing altogether means the database was never
    // loaded with the company.
    std::string Explain(const TsqlError& e) const override;

    void StartWrite() override;
    void CommitStarted() override;
    void RollBackStarted() override;

    // Inside a caller's transaction every text and number runs under a
    // savepoint: a failure undoes only its own statements (the server would
    // otherwise refuse everything up to the end of the transaction).
    void UndoSavepoint();
    void Control(const char* sql);
    void RollBack();

    std::string where_;
    PGconn* conn_ = nullptr;
    bool beginPending_ = false;  // the write transaction's BEGIN, sent with its first command
    // The commands around the text being run, and whether they went with it.
    std::vector<const char*> open_, close_;
    bool sentTogether_ = false;
    // Numbering statements prepared on the server, by their text.
    std::unordered_map<std::string, std::string> numbering_;
    std::unique_ptr<PostgresRunner> runner_;
};

PostgresBackend::PostgresBackend(const std::string& uri)
    : TranslatedBackend(PostgresDialect()), where_(MaskPassword(uri)) {
    conn_ = PQconnectdb(std::string(Trim(uri)).c_str());
    auto fail = [&](const std::string& what) {
        PQfinish(conn_);
        conn_ = nullptr;
        throw ComError(ComError::kDatabase,
                       "The company database " + where_ + " cannot be opened: " + what, kSource);
    };
    if (!conn_)
        fail("out of memory");
    if (PQstatus(conn_) != CONNECTION_OK)
        fail(PgMessage(PQerrorMessage(conn_)));
    const std::string settings =
        "SET client_min_messages = warning; SET lock_timeout = " + std::to_string(kLockTimeoutMs) +
        "; SET standard_conforming_strings = on; SET datestyle = ISO";
    PgResult r(PQexec(conn_, settings.c_str()));
    if (PQresultStatus(r.get()) != PGRES_COMMAND_OK)
        fail(PgMessage(PQerrorMessage(conn_)));
    std::string err = EnsurePostgresSetup(conn_);
    if (!err.empty())
        fail("the T-SQL layer's functions cannot be created (" + err + ")");
    runner_ = std::make_unique<PostgresRunner>(conn_, where_);
    // The company's column names as its schema writes them (kept in the
    // columns' comments when the company was loaded).
    PgResult names(PQexec(conn_,
                          "SELECT a.attname, substr(d.description, 11) FROM pg_description d "
                          "JOIN pg_attribute a ON a.attrelid = d.objoid AND a.attnum = d.objsubid "
                          "JOIN pg_class c ON c.oid = d.objoid "
                          "WHERE c.relnamespace = 'public'::regnamespace "
                          "AND d.description LIKE 'orva\\_name:%'"));
    if (PQresultStatus(names.get()) == PGRES_TUPLES_OK) {
        for (int row = 0; row < PQntuples(names.get()); ++row)
            runner_->NameColumn(PQgetvalue(names.get(), row, 0), PQgetvalue(names.get(), row, 1));
    }
    StartInterpreter(*runner_);
}

PostgresBackend::~PostgresBackend() {
    StopInterpreter();
    runner_.reset();
    PQfinish(conn_);
}

void PostgresBackend::Control(const char* sql) {
    PgResult r(PQexec(conn_, sql));
    if (PQresultStatus(r.get()) != PGRES_COMMAND_OK)
        throw PostgresError(conn_, r.get(), std::string::npos, where_);
}

void PostgresBackend::BeginBatch() {
    std::lock_guard lock(mu_);
    try {
        Control("SET synchronous_commit = off");
    } catch (const TsqlError& e) {
        Raise(e, "SET synchronous_commit = off");
    }
}

void PostgresBackend::EndBatch() {
    std::lock_guard lock(mu_);
    // The members' commits are in the server's log, which its writer puts on
    // disk on its own within a few of its rounds (wal_writer_delay): wait
    // until the log is on disk up to where it ends now.
    const char* step = "RESET synchronous_commit";
    try {
        Control(step);
        step = "SELECT pg_current_wal_insert_lsn()";
        PgResult end(PQexec(conn_, step));
        if (PQresultStatus(end.get()) != PGRES_TUPLES_OK)
            throw PostgresError(conn_, end.get(), std::string::npos, where_);
        const std::string flushed = std::string("SELECT pg_current_wal_flush_lsn() >= '") +
                                    PQgetvalue(end.get(), 0, 0) + "'::pg_lsn";
        step = "SELECT pg_current_wal_flush_lsn()";
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        for (;;) {
            PgResult r(PQexec(conn_, flushed.c_str()));
            if (PQresultStatus(r.get()) != PGRES_TUPLES_OK)
                throw PostgresError(conn_, r.get(), std::string::npos, where_);
            if (*PQgetvalue(r.get(), 0, 0) == 't')
                return;
            if (std::chrono::steady_clock::now() > giveUp) {
                throw ComError(ComError::kDatabase,
                               "The server " + where_ +
                                   " did not write the batch's entries to disk within 30 s.",
                               kSource);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    } catch (const TsqlError& e) {
        Raise(e, step);
    }
}

void PostgresBackend::SetHistoryUser(std::optional<std::int32_t> userId) {
    std::lock_guard lock(mu_);
    const std::string value = userId ? std::to_string(*userId) : std::string();
    const char* params[] = {value.c_str()};
    PgResult r(PQexecParams(conn_, "SELECT set_config('orva.user', $1, false)", 1, nullptr, params,
                            nullptr, nullptr, 0));
    if (PQresultStatus(r.get()) != PGRES_TUPLES_OK)
        throw ComError(ComError::kDatabase, PgMessage(PQerrorMessage(conn_)), kSource);
}

void PostgresBackend::PinHistoryBatch() {
    std::lock_guard lock(mu_);
    PgResult r(PQexec(conn_, "SELECT set_config('orva.batch', gen_random_uuid()::text, false)"));
    if (PQresultStatus(r.get()) != PGRES_TUPLES_OK)
        throw ComError(ComError::kDatabase, PgMessage(PQerrorMessage(conn_)), kSource);
}

bool PostgresBackend::HasPriceHistory() {
    std::lock_guard lock(mu_);
    if (writeOpen_)
        return false;
    PgResult r(PQexec(conn_, "SELECT to_regclass('t_custentryhistory') IS NOT NULL"));
    return PQresultStatus(r.get()) == PGRES_TUPLES_OK && PQntuples(r.get()) == 1 &&
           std::string(PQgetvalue(r.get(), 0, 0)) == "t";
}

std::optional<std::string> PostgresBackend::ClerkLogin() {
    std::lock_guard lock(mu_);
    PgResult r(PQexec(conn_,
                      "SELECT session_user::text WHERE EXISTS (SELECT 1 FROM pg_auth_members m "
                      "JOIN pg_roles g ON g.oid = m.roleid JOIN pg_roles u ON u.oid = m.member "
                      "WHERE g.rolname = 'orva_clerk' AND u.rolname = session_user)"));
    if (PQresultStatus(r.get()) != PGRES_TUPLES_OK || PQntuples(r.get()) != 1)
        return std::nullopt;
    return std::string(PQgetvalue(r.get(), 0, 0));
}

void PostgresBackend::RunNativeScript(const std::vector<std::string>& statements) {
    std::lock_guard lock(mu_);
    if (writeOpen_) {
        throw ComError(ComError::kDatabase,
                       "A write transaction is open on this connection; the company cannot be "
                       "upgraded inside it.",
                       kSource);
    }
    try {
        Control("BEGIN");
        for (const std::string& sql : statements) Control(sql.c_str());
        Control("COMMIT");
    } catch (const TsqlError& e) {
        RollBack();
        throw ComError(ComError::kDatabase,
                       "The company database " + where_ + " refused the upgrade: " + e.what(),
                       kSource);
    }
}

void PostgresBackend::RollBack() {
    runner_->Settle(false);
    if (PQtransactionStatus(conn_) == PQTRANS_IDLE)
        return;
    PgResult r(PQexec(conn_, "ROLLBACK"));
}

std::string PostgresBackend::Explain(const TsqlError& e) const {
    std::string msg = e.what();
    if (msg.starts_with("Invalid object name") && PQstatus(conn_) == CONNECTION_OK) {
        PgResult r(PQexec(conn_, "SELECT to_regclass('t_custentry') IS NULL"));
        if (PQresultStatus(r.get()) == PGRES_TUPLES_OK && PQntuples(r.get()) == 1 &&
            *PQgetvalue(r.get(), 0, 0) == 't') {
            msg += " The database " + where_ +
                   " holds no company tables (load a company into it with orva-demo-db).";
        }
    }
    return msg;
}

TranslatedBackend::Scope PostgresBackend::ScopeOf(const Program& program) const {
    if (writeOpen_)
        return Scope::kSavepoint;
    return program.needsTransaction ? Scope::kTransaction : Scope::kNone;
}

void PostgresBackend::Begin(const Program&, Scope scope) {
    open_.clear();
    close_.clear();
    sentTogether_ = false;
    if (scope == Scope::kSavepoint) {
        if (beginPending_)
            open_.push_back("BEGIN");
        open_.push_back("SAVEPOINT orva_batch");
        close_.push_back("RELEASE SAVEPOINT orva_batch");
    } else if (scope == Scope::kTransaction) {
        open_.push_back("BEGIN");
        close_.push_back("COMMIT");
    }
}

BatchResult PostgresBackend::Run(const Program& program, const std::vector<Variant>& literals) {
    BatchResult result;
    try {
        sentTogether_ =
            runner_->RunTogether(program, &literals, open_, close_, result.rowsAffected);
    } catch (...) {
        beginPending_ = false;
        throw;
    }
    beginPending_ = false;
    if (sentTogether_)
        return result;
    for (const char* sql : open_) Control(sql);
    return TranslatedBackend::Run(program, literals);
}

void PostgresBackend::Commit(Scope scope) {
    if (!sentTogether_) {
        for (const char* sql : close_) Control(sql);
    }
    if (scope != Scope::kSavepoint)
        runner_->Settle(true);
}

void PostgresBackend::Undo(Scope scope) {
    if (scope == Scope::kTransaction)
        RollBack();
    if (scope == Scope::kSavepoint)
        UndoSavepoint();
    if (scope == Scope::kNone)
        runner_->Settle(true);
}

void PostgresBackend::UndoSavepoint() {
    // Functions created since the write began may go with the savepoint.
    runner_->Settle(false);
    PgResult r(PQexec(conn_, "ROLLBACK TO SAVEPOINT orva_batch; RELEASE SAVEPOINT orva_batch"));
}

void PostgresBackend::StartWrite() {
    // The server takes no lock for BEGIN: it goes with the transaction's
    // first command, saving an exchange.
    beginPending_ = true;
}

void PostgresBackend::CommitStarted() {
    if (std::exchange(beginPending_, false))
        return;  // nothing ran in it
    try {
        Control("COMMIT");
        runner_->Settle(true);
    } catch (const TsqlError& e) {
        RollBack();
        Raise(e, "COMMIT");
    }
}

void PostgresBackend::RollBackStarted() {
    if (std::exchange(beginPending_, false))
        return;
    RollBack();
}

std::int32_t PostgresBackend::NextNumber(std::string_view tableKey) {
    std::lock_guard lock(mu_);
    // One statement takes the number: the counter row is locked until the
    // statement ends, so clients never get the same number, and a number
    // already used in the numbered table is skipped.
    std::string used = "0";
    if (const NumberedColumn* n = NumberedColumnOf(tableKey)) {
        // Names as the server folds them.
        used = "COALESCE((SELECT max(" + ToLowerAscii(n->column) + ") FROM " +
               ToLowerAscii(n->table) + "), 0)";
    }
    const std::string sql =
        "INSERT INTO t_icmaxnum AS m (ftablename, fmaxnum) VALUES ($1, " + used +
        " + 1) ON CONFLICT (ftablename) DO UPDATE SET fmaxnum = GREATEST(m.fmaxnum, " + used +
        ") + 1 RETURNING fmaxnum";
    const std::string key(tableKey);
    // In a caller's transaction: its BEGIN when still to be sent, and a
    // savepoint around the statement; all in one exchange.
    PostgresPipeline pipe(conn_);
    if (std::exchange(beginPending_, false))
        pipe.Send("BEGIN");
    if (writeOpen_)
        pipe.Send("SAVEPOINT orva_batch");
    // The statement is prepared on the server with its first use, in the
    // same exchange, and run prepared from then on.
    auto prepared = numbering_.find(sql);
    const bool prepare = prepared == numbering_.end();
    const std::string name =
        prepare ? "orva_number_" + std::to_string(numbering_.size() + 1) : prepared->second;
    if (prepare)
        pipe.SendPrepare(name, sql, {});
    const std::size_t take = pipe.Count();
    pipe.SendPrepared(name, {key.c_str()});
    if (writeOpen_)
        pipe.Send("RELEASE SAVEPOINT orva_batch");
    std::vector<PgResult> results = pipe.Finish();
    if (prepare && results[take - 1] && PQresultStatus(results[take - 1].get()) == PGRES_COMMAND_OK)
        numbering_.emplace(sql, name);
    PGresult* r = results.empty() ? nullptr : results[take].get();
    const bool taken = r && PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1 &&
                       std::all_of(results.begin(), results.end(), [](const PgResult& c) {
                           return c && (PQresultStatus(c.get()) == PGRES_COMMAND_OK ||
                                        PQresultStatus(c.get()) == PGRES_TUPLES_OK);
                       });
    if (!taken && writeOpen_)
        UndoSavepoint();
    if (!taken) {
        // The command that failed names the reason.
        for (const PgResult& c : results) {
            if (c && PQresultStatus(c.get()) == PGRES_FATAL_ERROR) {
                r = c.get();
                break;
            }
        }
        TsqlError e = PostgresError(conn_, r, std::string::npos, where_);
        const char* field = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
        std::string state = field ? field : "";
        std::string what = state == "22003" ? "the numbers of " + key + " are used up" : e.what();
        throw ComError(ComError::kDatabase,
                       "Cannot take an entry number in " + where_ + ": " + what, kSource);
    }
    return static_cast<std::int32_t>(std::strtol(PQgetvalue(r, 0, 0), nullptr, 10));
}

}  // namespace

std::unique_ptr<DbBackend> OpenPostgresDatabase(const std::string& uri) {
    return std::make_unique<PostgresBackend>(uri);
}

}  // namespace orva
