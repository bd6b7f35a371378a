#include "host/db/postgres/postgres_runner.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>

#include "host/base/record_store.h"
#include "host/base/text_util.h"
#include "host/db/postgres/postgres_loop.h"
#include "host/db/postgres/postgres_pipeline.h"

namespace orva {
namespace {

// Type numbers of the server's catalogue.
constexpr Oid kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kText = 25, kFloat4 = 700,
              kFloat8 = 701, kNumeric = 1700;

std::string ErrorField(const PGresult* r, int code) {
    const char* f = r ? PQresultErrorField(r, code) : nullptr;
    return f ? f : "";
}

Oid TypeOf(const tsql::TypeSpec& t) {
    switch (t.base) {
        case tsql::TypeSpec::Base::Int:
        case tsql::TypeSpec::Base::Bit:
            return kInt8;
        case tsql::TypeSpec::Base::Float:
        case tsql::TypeSpec::Base::Decimal:
            return kFloat8;
        case tsql::TypeSpec::Base::Text:
        case tsql::TypeSpec::Base::Date:
            return kText;
    }
    return kText;
}

Oid TypeOf(const Variant& v) {
    if (v.AsInteger())
        return kInt8;
    if (v.AsDouble())
        return kNumeric;
    // A text literal takes the type its place in the statement asks for
    // (a number column converts it), as a literal written there would.
    return 0;
}

// One cell of a result in text format. The value is read first: a number is
// never an empty text, so only an empty value needs the null test.
Variant ValueOf(const PGresult* r, int row, int col, Oid type) {
    const char* p = PQgetvalue(r, row, col);
    if (*p == '\0' && PQgetisnull(r, row, col))
        return Variant();
    switch (type) {
        case kInt2:
        case kInt4:
        case kInt8: {
            std::int64_t n = 0;
            std::from_chars(p, p + std::strlen(p), n);
            return Variant(n);
        }
        case kFloat4:
        case kFloat8:
        case kNumeric: {
            // The server writes "NaN" and "Infinity", which from_chars does
            // not read; strtod does.
            double d = 0;
            const char* end = p + std::strlen(p);
            if (std::from_chars(p, end, d).ec != std::errc())
                d = std::strtod(p, nullptr);
            return Variant(d);
        }
        case kBool:
            return Variant(static_cast<std::int64_t>(*p == 't'));
        default:
            return Variant(std::string(p, static_cast<std::size_t>(PQgetlength(r, row, col))));
    }
}

}  // namespace

tsql::ErrorKind ErrorKindOf(const std::string& sqlState) {
    using tsql::ErrorKind;
    if (sqlState == "23505")  // unique_violation
        return ErrorKind::kUniqueKey;
    if (sqlState == "55P03" || sqlState == "40P01")  // lock_not_available, deadlock_detected
        return ErrorKind::kBusy;
    if (sqlState == "25006")  // read_only_sql_transaction
        return ErrorKind::kReadOnly;
    if (sqlState == "XX001" || sqlState == "XX002")  // data_corrupted, index_corrupted
        return ErrorKind::kCorrupt;
    return ErrorKind::kOther;
}

tsql::TsqlError PostgresError(PGconn* conn, const PGresult* result, std::size_t pos,
                              const std::string& where) {
    if (PQstatus(conn) == CONNECTION_BAD) {
        return tsql::TsqlError("The connection to the company database " + where +
                                   " was lost: " + PgMessage(PQerrorMessage(conn)),
                               pos);
    }
    const std::string state = ErrorField(result, PG_DIAG_SQLSTATE);
    std::string primary = ErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
    if (primary.empty())
        primary = PgMessage(result ? PQresultErrorMessage(result) : PQerrorMessage(conn));
    std::string msg;
    if (state == "22012") {
        msg = "Divide by zero error encountered.";
    } else if (state == "21000") {
        msg =
            "Subquery returned more than 1 value. This is not permitted when the subquery "
            "follows =, !=, <, <= , >, >= or when the subquery is used as an expression.";
    } else if (state == "23505") {
        msg = "Cannot insert duplicate key row in object '" +
              ErrorField(result, PG_DIAG_TABLE_NAME) + "' with unique index '" +
              ErrorField(result, PG_DIAG_CONSTRAINT_NAME) +
              "' (UNIQUE constraint failed: " + ErrorField(result, PG_DIAG_MESSAGE_DETAIL) + ").";
    } else if (state == "23502") {
        msg = "Cannot insert the value NULL into column '" +
              ErrorField(result, PG_DIAG_COLUMN_NAME) + "', table '" +
              ErrorField(result, PG_DIAG_TABLE_NAME) +
              "'; the column is NOT NULL and does not allow nulls.";
    } else if (state == "55P03" || state == "40P01") {
        msg = "The company database " + where +
              " is locked by another connection; gave up waiting (" + primary + ").";
    } else if (state == "42703") {
        msg = "Invalid column name: " + primary + ".";
    } else if (state == "42P01") {
        msg = "Invalid object name: " + primary + ".";
    } else {
        msg = primary;
    }
    return tsql::TsqlError(msg, pos, ErrorKindOf(state));
}

// What the server holds for programs the cache dropped (prepared statements,
// loop functions): their handles put the commands releasing it here, and the
// runner sends them with the next batch.
struct DroppedStatements {
    std::mutex mu;
    std::vector<std::string> releases;
};

namespace {

class PostgresPrepared final : public tsql::PreparedStatement {
  public:
    PostgresPrepared(std::string n, std::weak_ptr<DroppedStatements> dropped)
        : name(std::move(n)), dropped_(std::move(dropped)) {}
    ~PostgresPrepared() override {
        // A runner already gone took the connection, and the statement, with it.
        if (auto d = dropped_.lock()) {
            std::lock_guard lock(d->mu);
            d->releases.push_back("DEALLOCATE " + name);
        }
    }

    std::string name;

  private:
    std::weak_ptr<DroppedStatements> dropped_;
};

}  // namespace

// The first failure among the results of one exchange with the server: the
// text's error. A missing result means the connection was lost.
class FirstFailure {
  public:
    FirstFailure(PGconn* conn, const std::string& where) : conn_(conn), where_(where) {}

    void Check(const PgResult& r, std::size_t pos) {
        if (failure_)
            return;
        if (!r) {
            failure_ = PostgresError(conn_, nullptr, pos, where_);
        } else if (PQresultStatus(r.get()) == PGRES_FATAL_ERROR) {
            failure_ = PostgresError(conn_, r.get(), pos, where_);
        }
    }
    void ThrowIfAny() const {
        if (failure_)
            throw *failure_;
    }

  private:
    PGconn* conn_;
    const std::string& where_;
    std::optional<tsql::TsqlError> failure_;
};

// A WHILE loop as a function of the connection, and the prepared call of it.
// `live` turns false when the transaction that created the function rolled
// back, taking the function with it: the next run creates it again.
class PostgresLoop final : public tsql::PreparedStatement {
  public:
    PostgresLoop(std::string fn, std::string callName, LoopFunction f,
                 std::weak_ptr<DroppedStatements> dropped)
        : name(std::move(fn)),
          call(std::move(callName)),
          function(std::move(f)),
          dropped_(std::move(dropped)) {}
    ~PostgresLoop() override {
        if (auto d = dropped_.lock()) {
            std::lock_guard lock(d->mu);
            d->releases.push_back("DEALLOCATE " + call);
            d->releases.push_back("DROP FUNCTION IF EXISTS pg_temp." + name);
        }
    }

    std::string name;
    std::string call;
    LoopFunction function;
    std::shared_ptr<bool> live = std::make_shared<bool>(true);

  private:
    std::weak_ptr<DroppedStatements> dropped_;
};

PostgresRunner::PostgresRunner(PGconn* conn, std::string where)
    : conn_(conn), where_(std::move(where)), dropped_(std::make_shared<DroppedStatements>()) {}

PostgresRunner::~PostgresRunner() = default;

void PostgresRunner::ReleaseDropped() {
    std::vector<std::string> releases;
    {
        std::lock_guard lock(dropped_->mu);
        releases.swap(dropped_->releases);
    }
    if (releases.empty())
        return;
    std::string sql;
    for (const std::string& n : releases) sql += n + ";";
    PgResult r(PQexec(conn_, sql.c_str()));
}

std::vector<Oid> PostgresRunner::TypesOf(const tsql::Parameters& params) {
    std::vector<Oid> types(params.Count());
    for (std::size_t k = 0; k < types.size(); ++k) {
        types[k] =
            k < params.variables.size() ? TypeOf(params.declared[k].type) : TypeOf(params.At(k));
    }
    return types;
}

const std::string& PostgresRunner::Prepared(const tsql::Step& step, std::size_t i,
                                            const tsql::Parameters& params) {
    if (step.prepared.size() < step.sql.size())
        step.prepared.resize(step.sql.size());
    if (!step.prepared[i]) {
        const std::vector<Oid> types = TypesOf(params);
        std::string name = "orva_" + std::to_string(++next_);
        PgResult r(PQprepare(conn_, name.c_str(), step.sql[i].c_str(),
                             static_cast<int>(types.size()), types.data()));
        if (PQresultStatus(r.get()) != PGRES_COMMAND_OK)
            throw PostgresError(conn_, r.get(), step.begin, where_);
        step.prepared[i] = std::make_unique<PostgresPrepared>(std::move(name), dropped_);
    }
    return static_cast<const PostgresPrepared*>(step.prepared[i].get())->name;
}

PostgresRunner::Bound::Bound(std::size_t count) : texts(count), values(count, nullptr) {}

PostgresRunner::Bound::Bound(const tsql::Parameters& params) : Bound(params.Count()) {
    for (std::size_t k = 0; k < values.size(); ++k) Set(k, params.At(k));
}

void PostgresRunner::Bound::Set(std::size_t k, const Variant& v) {
    if (v.IsNull())
        return;
    if (const auto* t = v.AsText()) {
        values[k] = t->c_str();
    } else {
        texts[k] = v.ToText();
        values[k] = texts[k].c_str();
    }
}

PGresult* PostgresRunner::Run(const tsql::Step& step, std::size_t i,
                              const tsql::Parameters& params) {
    const std::string& name = Prepared(step, i, params);
    const Bound bound(params);
    PGresult* r = PQexecPrepared(conn_, name.c_str(), static_cast<int>(bound.values.size()),
                                 bound.values.data(), nullptr, nullptr, 0);
    const ExecStatusType st = PQresultStatus(r);
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) {
        PgResult owned(r);
        throw PostgresError(conn_, r, step.begin, where_);
    }
    return r;
}

bool PostgresRunner::RunTogether(const tsql::Program& program, const std::vector<Variant>* literals,
                                 const std::vector<const char*>& open,
                                 const std::vector<const char*>& close, long& rowsAffected) {
    std::vector<Together> statements = DataChangesAlone(program);
    if (statements.empty())
        return false;
    PostgresPipeline pipe(conn_);
    if (!pipe.Open())
        return false;
    // The transaction's start, each statement, the transaction's end.
    for (const char* sql : open) pipe.Send(sql);
    SendTogether(pipe, program, literals, statements);
    for (const char* sql : close) pipe.Send(sql);
    const std::vector<PgResult> results = pipe.Finish();

    // The first failure is the text's; statements prepared are kept.
    FirstFailure failure(conn_, where_);
    const std::size_t first = program.steps.empty() ? 0 : program.steps.front().begin;
    for (std::size_t k = 0; k < open.size(); ++k) failure.Check(results[k], first);
    const long changed = ReadTogether(statements, results, failure);
    for (std::size_t k = results.size() - close.size(); k < results.size(); ++k)
        failure.Check(results[k], first);
    failure.ThrowIfAny();
    if (changed >= 0)
        rowsAffected = changed;
    return true;
}

std::vector<PostgresRunner::Together> PostgresRunner::DataChangesAlone(
    const tsql::Program& program) {
    // Only data changes that need nothing from the statements before them:
    // no record sets, no variables set, no IF or WHILE, no table created or
    // dropped (a later statement could not be prepared before it ran), and
    // no statement reading @@ROWCOUNT (parameter 1).
    constexpr std::size_t kMostStatements = 64;
    std::vector<Together> statements;
    for (const tsql::Step& step : program.steps) {
        if (step.kind == tsql::Step::Kind::Nop)
            continue;
        if (step.kind != tsql::Step::Kind::Exec || !step.dml)
            return {};
        for (std::size_t i = 0; i < step.sql.size(); ++i) {
            bool readsRowCount = false;
            RenameParameters(step.sql[i], [&](std::size_t n) -> std::optional<std::string> {
                readsRowCount = readsRowCount || n == 1;
                return std::string();
            });
            if (readsRowCount)
                return {};
            statements.push_back(Together{&step, i, 0, std::string::npos, {}});
        }
    }
    if (statements.size() > kMostStatements)
        return {};
    return statements;
}

void PostgresRunner::SendTogether(PostgresPipeline& pipe, const tsql::Program& program,
                                  const std::vector<Variant>* literals,
                                  std::vector<Together>& statements) {
    // Every variable is still NULL, @@ROWCOUNT is 0.
    std::vector<Variant> variables(program.variables.size());
    variables[0] = Variant(std::int64_t{0});
    // Each statement is prepared just before it runs the first time, so
    // errors come in the order they would one by one. The pipeline copies the
    // values as each command is queued.
    for (Together& s : statements) {
        const tsql::Step& step = *s.step;
        tsql::Parameters params{variables, program.variables};
        if (s.i < step.literals.size() && !step.literals[s.i].empty() && literals) {
            params.literals = literals;
            params.bound = &step.literals[s.i];
        }
        if (step.prepared.size() < step.sql.size())
            step.prepared.resize(step.sql.size());
        if (step.prepared[s.i]) {
            s.name = static_cast<const PostgresPrepared*>(step.prepared[s.i].get())->name;
        } else {
            s.name = "orva_" + std::to_string(++next_);
            s.prepare = pipe.Count();
            pipe.SendPrepare(s.name, step.sql[s.i], TypesOf(params));
        }
        const Bound bound(params);
        s.command = pipe.Count();
        pipe.SendPrepared(s.name, bound.values);
    }
}

long PostgresRunner::ReadTogether(const std::vector<Together>& statements,
                                  const std::vector<PgResult>& results, FirstFailure& failure) {
    long changed = -1;
    for (const Together& s : statements) {
        if (s.prepare != std::string::npos) {
            const PgResult& r = results[s.prepare];
            if (r && PQresultStatus(r.get()) == PGRES_COMMAND_OK)
                s.step->prepared[s.i] = std::make_unique<PostgresPrepared>(s.name, dropped_);
            failure.Check(r, s.step->begin);
        }
        const PgResult& r = results[s.command];
        failure.Check(r, s.step->begin);
        if (r && PQresultStatus(r.get()) == PGRES_COMMAND_OK) {
            const char* count = PQcmdTuples(r.get());
            changed = count && *count ? std::strtol(count, nullptr, 10) : 0;
        }
    }
    return changed;
}

RecordsetPtr PostgresRunner::Query(const tsql::Step& step, std::size_t i,
                                   const tsql::Parameters& params, long& rows) {
    PgResult r(Run(step, i, params));
    const int cols = PQnfields(r.get());
    const int count = PQntuples(r.get());
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(cols));
    std::vector<Oid> types;
    for (int c = 0; c < cols; ++c) {
        const char* name = PQfname(r.get(), c);
        auto written =
            columnNames_.empty() ? columnNames_.end() : columnNames_.find(ToLowerAscii(name));
        names.emplace_back(written != columnNames_.end() ? written->second : std::string(name));
        types.push_back(PQftype(r.get(), c));
    }
    // Every value is converted straight into its place in the record set,
    // whose store reuses the memory of sets read before.
    RecordStore store(static_cast<std::size_t>(cols), static_cast<std::size_t>(count));
    const PGresult* result = r.get();
    for (int row = 0; row < count; ++row) {
        store.AppendRow(
            [&](std::size_t c) { return ValueOf(result, row, static_cast<int>(c), types[c]); });
    }
    rows = count;
    return std::make_shared<Recordset>(std::move(names), std::move(store));
}

std::int64_t PostgresRunner::Execute(const tsql::Step& step, std::size_t i,
                                     const tsql::Parameters& params) {
    PgResult r(Run(step, i, params));
    const char* n = PQcmdTuples(r.get());
    return n && *n ? std::strtoll(n, nullptr, 10) : 0;
}

std::int64_t PostgresRunner::LastRow(const tsql::Step& step, std::size_t i,
                                     const tsql::Parameters& params, std::vector<Variant>& last) {
    PgResult r(Run(step, i, params));
    const int count = PQntuples(r.get());
    if (count > 0) {
        last.clear();
        for (int c = 0; c < PQnfields(r.get()); ++c)
            last.push_back(ValueOf(r.get(), count - 1, c, PQftype(r.get(), c)));
    }
    return count;
}

void PostgresRunner::Settle(bool kept) {
    if (!kept) {
        for (const auto& live : unsettled_) *live = false;
    }
    unsettled_.clear();
}

bool PostgresRunner::RunLoop(const tsql::Step& loop, const std::vector<tsql::Variable>& declared,
                             std::vector<Variant>& variables, const std::vector<Variant>* literals,
                             long& rowsAffected) {
    if (loop.interpreted)
        return false;
    auto* fn = static_cast<PostgresLoop*>(loop.onEngine.get());
    if (fn && !*fn->live) {
        loop.onEngine.reset();
        fn = nullptr;
    }
    if (!fn) {
        fn = CreateLoop(loop, declared, literals);
        if (!fn)
            return false;
    }
    // The function takes the variables, then the literals its body reads.
    const std::size_t n = variables.size() + fn->function.literals.size();
    Bound bound(n);
    for (std::size_t k = 0; k < n; ++k) {
        bound.Set(k, k < variables.size() ? variables[k]
                                          : (*literals)[static_cast<std::size_t>(
                                                fn->function.literals[k - variables.size()])]);
    }
    PgResult r(PQexecPrepared(conn_, fn->call.c_str(), static_cast<int>(n), bound.values.data(),
                              nullptr, nullptr, 0));
    if (PQresultStatus(r.get()) != PGRES_TUPLES_OK || PQntuples(r.get()) != 1 ||
        static_cast<std::size_t>(PQnfields(r.get())) != variables.size() + 1) {
        // The statement that failed, found by the line of the function the
        // server names.
        std::size_t pos = loop.begin;
        const int line = ErrorLineIn(ErrorField(r.get(), PG_DIAG_CONTEXT), fn->name);
        if (const std::size_t at = fn->function.PositionOfLine(line);
            line > 0 && at != std::string::npos)
            pos = at;
        throw PostgresError(conn_, r.get(), pos, where_);
    }
    for (std::size_t k = 0; k < variables.size(); ++k) {
        variables[k] =
            ValueOf(r.get(), 0, static_cast<int>(k), PQftype(r.get(), static_cast<int>(k)));
    }
    const int last = static_cast<int>(variables.size());
    if (!PQgetisnull(r.get(), 0, last))
        rowsAffected = std::strtol(PQgetvalue(r.get(), 0, last), nullptr, 10);
    return true;
}

PostgresLoop* PostgresRunner::CreateLoop(const tsql::Step& loop,
                                         const std::vector<tsql::Variable>& declared,
                                         const std::vector<Variant>* literals) {
    const std::string name = "orva_loop_" + std::to_string(++next_);
    std::optional<LoopFunction> f = WriteLoopFunction(loop, name, declared, literals);
    if (!f) {
        loop.interpreted = true;
        return nullptr;
    }
    // Inside a transaction the function is created under a savepoint: should
    // the server refuse it, the interpreter walks the loop as before and the
    // transaction goes on.
    const bool inTransaction = PQtransactionStatus(conn_) == PQTRANS_INTRANS;
    const std::string create =
        inTransaction ? "SAVEPOINT orva_loop; " + f->definition + "; RELEASE SAVEPOINT orva_loop"
                      : f->definition;
    PgResult r(PQexec(conn_, create.c_str()));
    if (PQresultStatus(r.get()) != PGRES_COMMAND_OK) {
        if (PQstatus(conn_) == CONNECTION_BAD || !inTransaction)
            throw PostgresError(conn_, r.get(), loop.begin, where_);
        PgResult undo(
            PQexec(conn_, "ROLLBACK TO SAVEPOINT orva_loop; RELEASE SAVEPOINT orva_loop"));
        if (PQresultStatus(undo.get()) != PGRES_COMMAND_OK)
            throw PostgresError(conn_, undo.get(), loop.begin, where_);
        loop.interpreted = true;
        return nullptr;
    }
    const std::string call = "orva_" + std::to_string(++next_);
    PgResult p(PQprepare(conn_, call.c_str(), f->call.c_str(), 0, nullptr));
    if (PQresultStatus(p.get()) != PGRES_COMMAND_OK)
        throw PostgresError(conn_, p.get(), loop.begin, where_);
    auto fn = std::make_unique<PostgresLoop>(name, call, std::move(*f), dropped_);
    PostgresLoop* created = fn.get();
    unsettled_.push_back(fn->live);
    loop.onEngine = std::move(fn);
    return created;
}

void PostgresRunner::DropTempTable(const std::string& name, std::size_t pos) {
    std::string sql = "DROP TABLE IF EXISTS pg_temp.\"";
    for (char c : name) {
        char l = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        if (l == '"')
            sql.push_back('"');
        sql.push_back(l);
    }
    sql += "\"";
    PgResult r(PQexec(conn_, sql.c_str()));
    if (PQresultStatus(r.get()) != PGRES_COMMAND_OK)
        throw PostgresError(conn_, r.get(), pos, where_);
}

}  // namespace orva
