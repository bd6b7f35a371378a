#include "demo/postgres_company.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <memory>
#include <regex>

#include "demo/sqlite_writer.h"
#include "host/db/postgres/postgres_result.h"
#include "host/db/postgres/postgres_setup.h"
#include "host/db/postgres/postgres_uri.h"

namespace orva::demo {
namespace {

struct ConnFree {
    void operator()(PGconn* c) const { PQfinish(c); }
};
class Loader {
  public:
    Loader(const std::string& sqlitePath, const std::string& uri)
        : where_("PostgreSQL " + MaskPassword(uri)) {
        conn_.reset(PQconnectdb(uri.c_str()));
        if (!conn_ || PQstatus(conn_.get()) != CONNECTION_OK) {
            Fail("cannot be reached: " +
                 (conn_ ? PgMessage(PQerrorMessage(conn_.get())) : std::string("out of memory")));
        }
        if (sqlite3_open_v2(sqlitePath.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            std::string m = db_ ? sqlite3_errmsg(db_) : "out of memory";
            sqlite3_close(db_);
            db_ = nullptr;
            throw GeneratorError("Cannot read the company file " + sqlitePath + ": " + m);
        }
        RegisterCompanyCollation(db_);
    }
    ~Loader() { sqlite3_close(db_); }

    void Load() {
        Exec("SET client_min_messages = warning");
        std::string err = EnsurePostgresSetup(conn_.get());
        if (!err.empty())
            Fail("cannot be set up for the company: " + err);
        PgResult r(PQexec(conn_.get(),
                          "SELECT count(*) FROM pg_tables WHERE schemaname = current_schema() AND "
                          "tablename <> 't_icmaxnum'"));
        if (PQresultStatus(r.get()) != PGRES_TUPLES_OK)
            Fail(PgMessage(PQerrorMessage(conn_.get())));
        if (std::string(PQgetvalue(r.get(), 0, 0)) != "0")
            Fail("already holds tables: load a company only into an empty database");
        Exec("BEGIN");
        try {
            for (const std::string& s : PostgresSchemaStatements(SchemaPart::kTables)) Exec(s);
            for (const std::string& table : Tables()) Copy(table);
            for (const std::string& s : PostgresSchemaStatements(SchemaPart::kIndexes)) Exec(s);
            Exec("COMMIT");
        } catch (...) {
            PgResult rb(PQexec(conn_.get(), "ROLLBACK"));
            throw;
        }
        Exec("ANALYZE");
    }

  private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw GeneratorError("The company database " + where_ + " " + what);
    }

    void Exec(const std::string& sql) {
        PgResult r(PQexec(conn_.get(), sql.c_str()));
        if (PQresultStatus(r.get()) != PGRES_COMMAND_OK)
            Fail("refused a statement: " + PgMessage(PQerrorMessage(conn_.get())) +
                 " (in: " + sql.substr(0, 120) + ")");
    }

    std::vector<std::string> Tables() {
        std::vector<std::string> out;
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db_,
                           "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
                           "'sqlite_%' ORDER BY name",
                           -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW)
            out.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
        sqlite3_finalize(s);
        return out;
    }

    // The table's rows in COPY's text format, sent in pieces.
    void Copy(const std::string& table) {
        sqlite3_stmt* s = nullptr;
        const std::string select = "SELECT * FROM \"" + table + "\"";
        if (sqlite3_prepare_v2(db_, select.c_str(), -1, &s, nullptr) != SQLITE_OK) {
            sqlite3_finalize(s);
            throw GeneratorError("Cannot read the table " + table + ": " + sqlite3_errmsg(db_));
        }
        std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> guard(s, sqlite3_finalize);
        const int cols = sqlite3_column_count(s);
        // The server folds the names to lower case: each column keeps its
        // name as the schema writes it in a comment, so that a record set
        // of the server names its columns as the company file's does.
        std::string names;
        for (int c = 0; c < cols; ++c) {
            const std::string name = sqlite3_column_name(s, c);
            names += "COMMENT ON COLUMN " + table + "." + name + " IS 'orva_name:" + name + "';";
        }
        Exec(names);
        std::string copy = "COPY " + table + " (";
        for (int c = 0; c < cols; ++c)
            copy += (c ? ", " : "") + std::string(sqlite3_column_name(s, c));
        copy += ") FROM STDIN";
        PgResult r(PQexec(conn_.get(), copy.c_str()));
        if (PQresultStatus(r.get()) != PGRES_COPY_IN)
            Fail("refused to load " + table + ": " + PgMessage(PQerrorMessage(conn_.get())));
        std::string buf;
        auto flush = [&] {
            if (PQputCopyData(conn_.get(), buf.data(), static_cast<int>(buf.size())) != 1)
                Fail("stopped loading " + table + ": " + PgMessage(PQerrorMessage(conn_.get())));
            buf.clear();
        };
        while (sqlite3_step(s) == SQLITE_ROW) {
            for (int c = 0; c < cols; ++c) {
                if (c)
                    buf += '\t';
                if (sqlite3_column_type(s, c) == SQLITE_NULL) {
                    buf += "\\N";
                    continue;
                }
                const char* v = reinterpret_cast<const char*>(sqlite3_column_text(s, c));
                for (; *v; ++v) {
                    switch (*v) {
                        case '\\':
                            buf += "\\\\";
                            break;
                        case '\t':
                            buf += "\\t";
                            break;
                        case '\n':
                            buf += "\\n";
                            break;
                        case '\r':
                            buf += "\\r";
                            break;
                        default:
                            buf += *v;
                    }
                }
            }
            buf += '\n';
            if (buf.size() > (1 << 20))
                flush();
        }
        if (!buf.empty())
            flush();
        if (PQputCopyEnd(conn_.get(), nullptr) != 1)
            Fail("stopped loading " + table + ": " + PgMessage(PQerrorMessage(conn_.get())));
        PgResult done(PQgetResult(conn_.get()));
        if (PQresultStatus(done.get()) != PGRES_COMMAND_OK)
            Fail("refused the rows of " + table + ": " + PgMessage(PQerrorMessage(conn_.get())));
        while (PGresult* more = PQgetResult(conn_.get())) PQclear(more);
    }

    std::string where_;
    std::unique_ptr<PGconn, ConnFree> conn_;
    sqlite3* db_ = nullptr;
};

}  // namespace

std::string PostgresStatement(std::string_view statement) {
    static const std::regex kCollated(
        R"(\b(N?VARCHAR|TEXT)\s*(\(\s*\d+\s*\))?\s+COLLATE\s+ORVA_CI\b)", std::regex::icase);
    static const std::regex kDateTime(R"(\bDATETIME\b)", std::regex::icase);
    static const std::regex kNvarchar(R"(\bNVARCHAR\b)", std::regex::icase);
    std::string s(statement);
    s = std::regex_replace(s, kCollated, "bpchar COLLATE orva_ci");
    s = std::regex_replace(s, kDateTime, "varchar");
    s = std::regex_replace(s, kNvarchar, "varchar");
    return s;
}

std::vector<std::string> PostgresSchemaStatements(SchemaPart part) {
    std::vector<std::string> out;
    for (const std::string& statement : SplitSqlStatements(SchemaSql())) {
        bool index = IsIndexStatement(statement);
        if ((part == SchemaPart::kTables && index) || (part == SchemaPart::kIndexes && !index))
            continue;
        out.push_back(PostgresStatement(statement));
    }
    return out;
}

void CopyCompanyToPostgres(const std::string& sqlitePath, const std::string& uri) {
    Loader(sqlitePath, uri).Load();
}

}  // namespace orva::demo
