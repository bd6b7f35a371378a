#include "host/postgres_runner.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "host/record_store.h"

namespace orva {
namespace {

// Type numbers of the server's catalogue.
constexpr Oid kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kText = 25, kFloat4 = 700,
              kFloat8 = 701, kNumeric = 1700;

struct ResultFree {
    void operator()(PGresult* r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ResultFree>;

std::string ErrorField(const PGresult* r, int code) {
    const char* f = r ? PQresultErrorField(r, code) : nullptr;
    return f ? f : "";
}

std::string Trimmed(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    return s;
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

tsql::TsqlError PostgresError(PGconn* conn, const PGresult* result, std::size_t pos,
                              const std::string& where) {
    if (PQstatus(conn) == CONNECTION_BAD) {
        return tsql::TsqlError("The connection to the company database " + where +
                                   " was lost: " + Trimmed(PQerrorMessage(conn)),
                               pos);
    }
    const std::string state = ErrorField(result, PG_DIAG_SQLSTATE);
    std::string primary = ErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
    if (primary.empty())
        primary = Trimmed(result ? PQresultErrorMessage(result) : PQerrorMessage(conn));
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
    return tsql::TsqlError(msg, pos, 0, state == "23505");
}

// Names of prepared statements whose programs the cache dropped: their
// handles put them here, and the runner releases them on the server.
struct DroppedStatements {
    std::mutex mu;
    std::vector<std::string> names;
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
            d->names.push_back(std::move(name));
        }
    }

    std::string name;

  private:
    std::weak_ptr<DroppedStatements> dropped_;
};

}  // namespace

PostgresRunner::PostgresRunner(PGconn* conn, std::string where)
    : conn_(conn), where_(std::move(where)), dropped_(std::make_shared<DroppedStatements>()) {}

PostgresRunner::~PostgresRunner() = default;

void PostgresRunner::ReleaseDropped() {
    std::vector<std::string> names;
    {
        std::lock_guard lock(dropped_->mu);
        names.swap(dropped_->names);
    }
    if (names.empty())
        return;
    std::string sql;
    for (const std::string& n : names) sql += "DEALLOCATE " + n + ";";
    Result r(PQexec(conn_, sql.c_str()));
}

PGresult* PostgresRunner::Run(const tsql::Step& step, std::size_t i,
                              const tsql::Parameters& params) {
    if (step.prepared.size() < step.sql.size())
        step.prepared.resize(step.sql.size());
    const std::size_t n = params.Count();
    if (!step.prepared[i]) {
        std::vector<Oid> types(n);
        for (std::size_t k = 0; k < n; ++k) {
            types[k] = k < params.variables.size() ? TypeOf(params.declared[k].type)
                                                   : TypeOf(params.At(k));
        }
        std::string name = "orva_" + std::to_string(++next_);
        Result r(
            PQprepare(conn_, name.c_str(), step.sql[i].c_str(), static_cast<int>(n), types.data()));
        if (PQresultStatus(r.get()) != PGRES_COMMAND_OK)
            throw PostgresError(conn_, r.get(), step.begin, where_);
        step.prepared[i] = std::make_unique<PostgresPrepared>(std::move(name), dropped_);
    }
    const auto* prepared = static_cast<const PostgresPrepared*>(step.prepared[i].get());
    std::vector<std::string> texts(n);
    std::vector<const char*> values(n, nullptr);
    for (std::size_t k = 0; k < n; ++k) {
        const Variant& v = params.At(k);
        if (v.IsNull())
            continue;
        if (const auto* t = v.AsText()) {
            values[k] = t->c_str();
        } else {
            texts[k] = v.ToText();
            values[k] = texts[k].c_str();
        }
    }
    PGresult* r = PQexecPrepared(conn_, prepared->name.c_str(), static_cast<int>(n), values.data(),
                                 nullptr, nullptr, 0);
    const ExecStatusType st = PQresultStatus(r);
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) {
        Result owned(r);
        throw PostgresError(conn_, r, step.begin, where_);
    }
    return r;
}

RecordsetPtr PostgresRunner::Query(const tsql::Step& step, std::size_t i,
                                   const tsql::Parameters& params, long& rows) {
    Result r(Run(step, i, params));
    const int cols = PQnfields(r.get());
    const int count = PQntuples(r.get());
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(cols));
    std::vector<Oid> types;
    for (int c = 0; c < cols; ++c) {
        names.emplace_back(PQfname(r.get(), c));
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
    Result r(Run(step, i, params));
    const char* n = PQcmdTuples(r.get());
    return n && *n ? std::strtoll(n, nullptr, 10) : 0;
}

std::int64_t PostgresRunner::LastRow(const tsql::Step& step, std::size_t i,
                                     const tsql::Parameters& params, std::vector<Variant>& last) {
    Result r(Run(step, i, params));
    const int count = PQntuples(r.get());
    if (count > 0) {
        last.clear();
        for (int c = 0; c < PQnfields(r.get()); ++c)
            last.push_back(ValueOf(r.get(), count - 1, c, PQftype(r.get(), c)));
    }
    return count;
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
    Result r(PQexec(conn_, sql.c_str()));
    if (PQresultStatus(r.get()) != PGRES_COMMAND_OK)
        throw PostgresError(conn_, r.get(), pos, where_);
}

}  // namespace orva
