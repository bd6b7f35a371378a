#include "host/db/sqlite/sqlite_backend.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "host/db/sqlite/sqlite_dialect.h"
#include "host/db/sqlite/sqlite_error.h"
#include "host/db/sqlite/sqlite_functions.h"
#include "host/db/sqlite/sqlite_history.h"
#include "host/db/sqlite/sqlite_numbering.h"
#include "host/db/sqlite/sqlite_read_only.h"
#include "host/db/sqlite/sqlite_runner.h"
#include "host/db/sqlite/sqlite_statement.h"
#include "host/db/translated_backend.h"
#include "host/tsql/tsql_error.h"
#include "orvasaleprice/com_error.h"

namespace orva {
namespace {

constexpr const char* kSource = kConnectionProgID;
constexpr int kBusyTimeoutMs = 5000;

using tsql::Program;
using tsql::TsqlError;

class SqliteBackend final : public TranslatedBackend, public BatchDurability {
  public:
    SqliteBackend(const std::string& path, bool createIfMissing);
    ~SqliteBackend() override;

    std::int32_t NextNumber(std::string_view tableKey) override;
    // A batch's members are savepoints of one transaction, committed when
    // it has held the write lock for kGroupFor at a member's end, before a
    // question and at the batch's end: each commit writes a member's pages
    // to the log (and on a rollback journal, waits for the disk), which
    // costs many times the member's statements. In WAL mode a commit does
    // not wait for the disk (synchronous=NORMAL): the batch's end syncs the
    // log once.
    void BeginBatch() override;
    void CommitPending() override;
    void EndBatch() override;
    std::string Describe() const override { return "SQLite " + path_; }
    std::string ReadOnlyFile() const override { return readOnly_ ? path_ : std::string(); }
    void SetHistoryUser(std::optional<std::int32_t> userId) override;
    void PinHistoryBatch() override;
    bool HasPriceHistory() override { return history_ && history_->Active(); }
    NativeDialect Native() const override { return NativeDialect::kSqlite; }
    void RunNativeScript(const std::vector<std::string>& statements) override;
    bool UniqueEntryKey() override;

  private:
    // A text that writes takes the write lock at once, so it either waits
    // for the lock up front or runs whole; inside the caller's transaction
    // a failing text undoes only its own statements.
    // A file opened for reading only refuses a text that writes before it
    // begins.
    void Admit(const Program& program) const override;
    // With the price history in the company, a text that writes runs in a
    // transaction of its own (or the caller's), which first seals what
    // other programs wrote: the history's chain stays in order. Inside a
    // batch's transaction, between members too, such a text and any other
    // that needs a transaction runs in a savepoint.
    Scope ScopeOf(const Program& program) const override;
    void Begin(const Program& program, Scope scope) override;
    void Commit(Scope scope) override;
    void Undo(Scope scope) override;
    // A lock held too long names the file and the time waited.
    std::string Explain(const TsqlError& e) const override;

    void StartWrite() override;
    void CommitStarted() override;
    void RollBackStarted() override;
    // Commits the batch's transaction; a failure counts its members lost.
    void CommitGroup();

    // Steps of opening: a failure closes the file and raises what failed.
    [[noreturn]] void FailOpen(const std::string& what);
    void OpenExec(const char* sql);
    // A pragma's value. These read the file's header: a file that is not a
    // database fails here.
    std::string OpenPragma(const char* pragma);

    void Control(StmtHandle& h, const char* sql);
    void RollBack();
    void UndoSavepoint();
    [[noreturn]] void RefuseWrite() const;

    std::string path_;
    bool readOnly_ = false;  // opened for reading only (ReadOnlyFile)
    bool wal_ = false;       // the file keeps a write-ahead log
    sqlite3* db_ = nullptr;
    std::unique_ptr<SqliteRunner> runner_;
    std::unique_ptr<SqliteNumbering> numbering_;
    std::unique_ptr<SqliteHistory> history_;  // none on a file opened for reading only
    std::optional<bool> uniqueEntryKey_;      // looked up when first asked
    StmtHandle begin_, beginImmediate_, commit_, rollback_;
    StmtHandle savepoint_, release_, rollbackTo_;
    StmtHandle memberSavepoint_, memberRelease_, memberRollbackTo_;

    // The batch in progress (BatchDurability).
    bool batch_ = false;
    bool groupOpen_ = false;  // its transaction is open
    std::chrono::steady_clock::time_point groupStart_;
    int groupMembers_ = 0;  // members in the open transaction
    int lostMembers_ = 0;   // members the database undid with their transaction
};

// How long a batch's transaction holds the write lock at most, but for the
// member that ends it: another connection waits no longer than that.
constexpr std::chrono::milliseconds kGroupFor{50};

// Refuses a path that names no company database file this connection may
// open for reading (or, when it may create one, no place for it).
void CheckCompanyPath(const std::string& path, bool createIfMissing) {
    if (path.empty()) {
        throw ComError(ComError::kDatabase, "No company database file was named.", kSource);
    }
    if (const auto nul = path.find('\0'); nul != std::string::npos) {
        // The system would open the name cut at the NUL: another file.
        throw ComError(ComError::kDatabase,
                       "The company database path \"" + path.substr(0, nul) + "\\0" +
                           path.substr(nul + 1) +
                           "\" holds a NUL character; no file has that name.",
                       kSource);
    }
    if (path == ":memory:")
        return;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (!createIfMissing) {
            throw ComError(ComError::kDatabase, "The company database " + path + " does not exist.",
                           kSource);
        }
    } else if (!S_ISREG(st.st_mode)) {
        throw ComError(ComError::kDatabase, "The company database " + path + " is not a file.",
                       kSource);
    } else if (::access(path.c_str(), R_OK) != 0) {
        throw ComError(ComError::kDatabase,
                       "The company database " + path + " cannot be read (permission denied).",
                       kSource);
    }
}

// What an open failed of: a locked file says so.
std::string OpenFailure(int code, const std::string& msg) {
    return code == SQLITE_BUSY ? "it is locked by another connection (" + msg + ")" : msg;
}

SqliteBackend::SqliteBackend(const std::string& path, bool createIfMissing)
    : TranslatedBackend(SqliteDialect()), path_(path) {
    const bool memory = path == ":memory:";
    CheckCompanyPath(path, createIfMissing);
    // A file that no write could change opens for reading only, so that it
    // can still be browsed, and nothing is created beside it.
    readOnly_ = !memory && ::access(path.c_str(), F_OK) == 0 && !MayWriteSqliteFile(path);
    int rc;
    if (readOnly_) {
        rc = OpenSqliteReadOnly(path, &db_, SQLITE_OPEN_NOMUTEX);
    } else {
        const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX |
                          (createIfMissing || memory ? SQLITE_OPEN_CREATE : 0);
        rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    }
    if (rc != SQLITE_OK)
        FailOpen(db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc));
    if (!readOnly_ && sqlite3_db_readonly(db_, "main") == 1)
        FailOpen("the file is read-only");
    // A misspelt column in double quotes must be an error, not a string.
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    try {
        RegisterSqlServerCompat(db_);
    } catch (const ComError& e) {
        FailOpen(e.Description());
    }
    // A file keeps the journal mode it has: switching it would write to a
    // file that may only be read (and may sit on a network share, where WAL
    // does not work). A file created here starts in WAL mode.
    const bool empty = OpenPragma("PRAGMA page_count") == "0";
    if (createIfMissing && !memory && empty)
        OpenExec("PRAGMA journal_mode=WAL;");
    // WAL with NORMAL cannot corrupt the file; a rollback journal needs FULL
    // for that.
    wal_ = OpenPragma("PRAGMA journal_mode") == "wal";
    OpenExec(wal_ ? "PRAGMA synchronous=NORMAL;" : "PRAGMA synchronous=FULL;");
    OpenExec("PRAGMA temp_store=MEMORY; PRAGMA foreign_keys=OFF; PRAGMA cache_size=-32000;");
    runner_ = std::make_unique<SqliteRunner>(db_);
    StartInterpreter(*runner_);
    numbering_ = std::make_unique<SqliteNumbering>(db_, path_);
    if (!readOnly_) {
        try {
            history_ = std::make_unique<SqliteHistory>(db_);
        } catch (const ComError& e) {
            FailOpen(e.Description());
        }
    }
}

void SqliteBackend::FailOpen(const std::string& what) {
    std::string msg = "The company database " + path_ + " cannot be opened: " + what;
    sqlite3_close_v2(db_);
    db_ = nullptr;
    throw ComError(ComError::kDatabase, msg, kSource);
}

void SqliteBackend::OpenExec(const char* sql) {
    char* err = nullptr;
    const int code = sqlite3_exec(db_, sql, nullptr, nullptr, &err);
    if (code == SQLITE_OK)
        return;
    std::string msg = err ? err : sqlite3_errstr(code);
    sqlite3_free(err);
    FailOpen(OpenFailure(code, msg));
}

std::string SqliteBackend::OpenPragma(const char* pragma) {
    sqlite3_stmt* st = nullptr;
    int code = sqlite3_prepare_v2(db_, pragma, -1, &st, nullptr);
    if (code == SQLITE_OK)
        code = sqlite3_step(st);
    if (code != SQLITE_ROW) {
        std::string msg = sqlite3_errmsg(db_);
        sqlite3_finalize(st);
        FailOpen(OpenFailure(code, msg));
    }
    const unsigned char* t = sqlite3_column_text(st, 0);
    std::string value = t ? reinterpret_cast<const char*>(t) : "";
    sqlite3_finalize(st);
    return value;
}

SqliteBackend::~SqliteBackend() {
    StopInterpreter();
    numbering_.reset();
    history_.reset();
    begin_.reset();
    beginImmediate_.reset();
    commit_.reset();
    rollback_.reset();
    savepoint_.reset();
    release_.reset();
    rollbackTo_.reset();
    sqlite3_close_v2(db_);
}

void SqliteBackend::Control(StmtHandle& h, const char* sql) {
    if (!h) {
        sqlite3_stmt* s = nullptr;
        int rc = sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(s);
            throw SqliteError(db_, rc);
        }
        h.reset(s);
    }
    int rc = sqlite3_step(h.get());
    sqlite3_reset(h.get());
    if (rc != SQLITE_DONE)
        throw SqliteError(db_, rc);
}

void SqliteBackend::RefuseWrite() const {
    throw ComError(ComError::kDatabase,
                   "The company database " + path_ +
                       " is read-only (this user may not write the file or create files in its "
                       "folder): it can be read, but nothing can be written to it.",
                   kSource);
}

void SqliteBackend::Admit(const Program& program) const {
    if (readOnly_ && program.writesDatabase)
        RefuseWrite();
}

std::string SqliteBackend::Explain(const TsqlError& e) const {
    if (e.Kind() != tsql::ErrorKind::kBusy)
        return e.what();
    return "The company database " + path_ + " is locked by another connection; gave up after " +
           std::to_string(kBusyTimeoutMs / 1000) + " s (" + e.what() + ").";
}

TranslatedBackend::Scope SqliteBackend::ScopeOf(const Program& program) const {
    const bool sealed = history_ && history_->Active() && program.writesDatabase;
    if (groupOpen_ && (program.needsTransaction || sealed))
        return Scope::kSavepoint;
    if (sealed && !writeOpen_)
        return Scope::kTransaction;
    return TranslatedBackend::ScopeOf(program);
}

void SqliteBackend::Begin(const Program& program, Scope scope) {
    if (scope == Scope::kSavepoint) {
        Control(savepoint_, "SAVEPOINT orva_batch");
    } else if (scope == Scope::kTransaction && program.writesDatabase) {
        Control(beginImmediate_, "BEGIN IMMEDIATE");
        if (history_)
            history_->StartBatch();
    } else if (scope == Scope::kTransaction) {
        Control(begin_, "BEGIN");
    }
}

void SqliteBackend::Commit(Scope scope) {
    if (scope == Scope::kTransaction)
        Control(commit_, "COMMIT");
    if (scope == Scope::kSavepoint)
        Control(release_, "RELEASE orva_batch");
}

void SqliteBackend::Undo(Scope scope) {
    if (scope == Scope::kTransaction)
        RollBack();
    if (scope == Scope::kSavepoint)
        UndoSavepoint();
}

void SqliteBackend::UndoSavepoint() {
    if (sqlite3_get_autocommit(db_))
        return;  // SQLite rolled the whole transaction back
    try {
        Control(rollbackTo_, "ROLLBACK TO orva_batch");
        Control(release_, "RELEASE orva_batch");
    } catch (const TsqlError&) {
        // The original error is the one to report.
    }
}

void SqliteBackend::StartWrite() {
    if (readOnly_)
        RefuseWrite();
    const char* step = "BEGIN IMMEDIATE";
    try {
        if (batch_ && groupOpen_ && sqlite3_get_autocommit(db_)) {
            // The database undid the transaction after an error.
            lostMembers_ += groupMembers_;
            groupMembers_ = 0;
            groupOpen_ = false;
        }
        if (!groupOpen_)
            Control(beginImmediate_, step);
        if (batch_) {
            if (!groupOpen_) {
                groupOpen_ = true;
                groupStart_ = std::chrono::steady_clock::now();
            }
            step = "SAVEPOINT orva_member";
            Control(memberSavepoint_, step);
        }
    } catch (const TsqlError& e) {
        Raise(e, step);
    }
    try {
        if (history_)
            history_->StartBatch();
    } catch (const TsqlError& e) {
        if (batch_ && groupOpen_)
            RollBackStarted();  // the member alone
        else
            RollBack();
        Raise(e, "the price history's seal");
    }
}

void SqliteBackend::SetHistoryUser(std::optional<std::int32_t> userId) {
    std::lock_guard lock(mu_);
    if (history_)
        history_->SetUser(userId);
}

void SqliteBackend::PinHistoryBatch() {
    std::lock_guard lock(mu_);
    if (history_)
        history_->PinBatch();
}

void SqliteBackend::RunNativeScript(const std::vector<std::string>& statements) {
    std::lock_guard lock(mu_);
    if (readOnly_)
        RefuseWrite();
    if (writeOpen_) {
        throw ComError(ComError::kDatabase,
                       "A write transaction is open on this connection; the company cannot be "
                       "upgraded inside it.",
                       kSource);
    }
    // Statements prepared on the old schema are dropped with the
    // translations.
    try {
        Control(beginImmediate_, "BEGIN IMMEDIATE");
        for (const std::string& sql : statements) {
            char* err = nullptr;
            const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err);
            if (rc != SQLITE_OK) {
                std::string msg = err ? err : sqlite3_errstr(rc);
                sqlite3_free(err);
                RollBack();
                throw ComError(ComError::kDatabase,
                               "The company database " + path_ + " refused the upgrade: " + msg,
                               kSource);
            }
        }
        Control(commit_, "COMMIT");
    } catch (const TsqlError& e) {
        RollBack();
        Raise(e, "the upgrade");
    }
    if (history_)
        history_->Refresh();
}

void SqliteBackend::CommitStarted() {
    if (sqlite3_get_autocommit(db_)) {
        if (batch_ && groupOpen_) {
            lostMembers_ += groupMembers_;
            groupMembers_ = 0;
            groupOpen_ = false;
        }
        throw ComError(ComError::kDatabase,
                       "The write transaction was rolled back by the database; nothing of it "
                       "was written.",
                       kSource);
    }
    if (batch_ && groupOpen_) {
        try {
            Control(memberRelease_, "RELEASE orva_member");
        } catch (const TsqlError& e) {
            RollBackStarted();
            Raise(e, "RELEASE orva_member");
        }
        ++groupMembers_;
        if (std::chrono::steady_clock::now() - groupStart_ >= kGroupFor)
            CommitGroup();
        return;
    }
    try {
        Control(commit_, "COMMIT");
    } catch (const TsqlError& e) {
        RollBack();
        Raise(e, "COMMIT");
    }
}

void SqliteBackend::RollBackStarted() {
    if (!(batch_ && groupOpen_)) {
        RollBack();
        return;
    }
    if (sqlite3_get_autocommit(db_)) {
        lostMembers_ += groupMembers_;
        groupMembers_ = 0;
        groupOpen_ = false;
        return;
    }
    // The member alone is undone; the members before it stay.
    try {
        Control(memberRollbackTo_, "ROLLBACK TO orva_member");
        Control(memberRelease_, "RELEASE orva_member");
    } catch (const TsqlError&) {
        // The original error is the one to report.
    }
}

void SqliteBackend::CommitGroup() {
    groupOpen_ = false;
    const int members = std::exchange(groupMembers_, 0);
    if (sqlite3_get_autocommit(db_)) {
        lostMembers_ += members;
        return;
    }
    try {
        Control(commit_, "COMMIT");
    } catch (const TsqlError&) {
        RollBack();
        lostMembers_ += members;
    }
}

void SqliteBackend::BeginBatch() {
    std::lock_guard lock(mu_);
    if (readOnly_ || batch_ || writeOpen_ || !sqlite3_get_autocommit(db_))
        return;  // members then commit one by one, as without a batch
    batch_ = true;
    lostMembers_ = 0;
}

void SqliteBackend::CommitPending() {
    std::lock_guard lock(mu_);
    if (batch_ && groupOpen_ && !writeOpen_)
        CommitGroup();
}

void SqliteBackend::RollBack() {
    if (sqlite3_get_autocommit(db_))
        return;  // SQLite already rolled back
    try {
        Control(rollback_, "ROLLBACK");
    } catch (const TsqlError&) {
        // The original error is the one to report.
    }
}

void SqliteBackend::EndBatch() {
    std::lock_guard lock(mu_);
    if (!batch_)
        return;
    if (groupOpen_ && !writeOpen_)
        CommitGroup();
    batch_ = false;
    const int lost = std::exchange(lostMembers_, 0);
    if (lost > 0) {
        throw ComError(ComError::kDatabase,
                       "The company database " + path_ + " undid " + std::to_string(lost) +
                           " members of the batch after an error; run the batch again to "
                           "write them.",
                       kSource);
    }
    sqlite3_file* log = nullptr;
    if (!wal_ ||
        sqlite3_file_control(db_, "main", SQLITE_FCNTL_JOURNAL_POINTER, &log) != SQLITE_OK ||
        !log || !log->pMethods)
        return;
    const int rc = log->pMethods->xSync(log, SQLITE_SYNC_NORMAL);
    if (rc != SQLITE_OK) {
        throw ComError(ComError::kDatabase,
                       "The company database " + path_ +
                           " could not write its log to disk: " + sqlite3_errstr(rc),
                       kSource);
    }
}

std::int32_t SqliteBackend::NextNumber(std::string_view tableKey) {
    std::lock_guard lock(mu_);
    if (readOnly_)
        RefuseWrite();
    return numbering_->Next(tableKey);
}

// The index the module's schema creates, asked of the file once (a file
// made by another program may lack it).
bool SqliteBackend::UniqueEntryKey() {
    std::lock_guard lock(mu_);
    if (!uniqueEntryKey_) {
        sqlite3_stmt* st = nullptr;
        bool unique = false;
        if (sqlite3_prepare_v2(db_,
                               "SELECT \"unique\" FROM pragma_index_list('t_CustEntry') "
                               "WHERE name='ux_CustEntry_Key'",
                               -1, &st, nullptr) == SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW)
            unique = sqlite3_column_int(st, 0) == 1;
        sqlite3_finalize(st);
        uniqueEntryKey_ = unique;
    }
    return *uniqueEntryKey_;
}

}  // namespace

std::unique_ptr<DbBackend> OpenSqliteDatabase(const std::string& path, bool createIfMissing) {
    return std::make_unique<SqliteBackend>(path, createIfMissing);
}

}  // namespace orva
