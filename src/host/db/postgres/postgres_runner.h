// Runs the translated statements of the T-SQL layer on one PostgreSQL
// connection: each statement is prepared on the server once, with the types
// of the batch's variables and literals, and executed with their values.
#pragma once

#include <libpq-fe.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/db/postgres/postgres_pipeline.h"
#include "host/tsql/statement_runner.h"
#include "host/tsql/tsql_error.h"

namespace orva {

struct DroppedStatements;
class FirstFailure;
class PostgresLoop;

// The server's error as the T-SQL layer reports it: SQL Server's text for
// the cases the module meets (division by zero, a second row of a scalar
// subquery, a duplicate key, a lock waited on too long), the server's own
// otherwise. `where` names the database.
// The kind of failure a SQLSTATE code names.
tsql::ErrorKind ErrorKindOf(const std::string& sqlState);

tsql::TsqlError PostgresError(PGconn* conn, const PGresult* result, std::size_t pos,
                              const std::string& where);

class PostgresRunner final : public tsql::StatementRunner {
  public:
    PostgresRunner(PGconn* conn, std::string where);
    ~PostgresRunner() override;

    RecordsetPtr Query(const tsql::Step& step, std::size_t i, const tsql::Parameters& params,
                       long& rows) override;
    std::int64_t Execute(const tsql::Step& step, std::size_t i,
                         const tsql::Parameters& params) override;
    std::int64_t LastRow(const tsql::Step& step, std::size_t i, const tsql::Parameters& params,
                         std::vector<Variant>& last) override;
    void DropTempTable(const std::string& name, std::size_t pos) override;
    // WHILE loops that send nothing to the client run as functions of the
    // connection (postgres_loop.h), created on first use.
    bool RunLoop(const tsql::Step& loop, const std::vector<tsql::Variable>& declared,
                 std::vector<Variant>& variables, const std::vector<Variant>* literals,
                 long& rowsAffected) override;

    // Runs a program of data changes alone (no record sets, no variables
    // set, no IF or WHILE, no table created or dropped, no statement reading
    // @@ROWCOUNT) in one exchange with the server: the commands `open`
    // (BEGIN, a savepoint), every statement, the commands `close` (COMMIT,
    // the savepoint's release). False, having sent nothing, for any other
    // program. Throws TsqlError for the first command that failed; the
    // transaction is then the caller's to roll back. rowsAffected: the last
    // data change's rows.
    bool RunTogether(const tsql::Program& program, const std::vector<Variant>* literals,
                     const std::vector<const char*>& open, const std::vector<const char*>& close,
                     long& rowsAffected);

    // The transaction the last functions were created in ended: committed
    // (kept) or rolled back, which takes them with it.
    void Settle(bool kept);

    // A result column named `folded` in any letter case is named `written`
    // in the record sets (a company column's name as its schema writes it,
    // as the company file names a column however a statement spells it).
    void NameColumn(const std::string& folded, const std::string& written) {
        columnNames_.emplace(folded, written);
    }

    // Statements of programs the cache dropped, released on the server with
    // the next batch.
    void ReleaseDropped();

  private:
    // Parameter values as the server reads them (text; null for Null).
    struct Bound {
        explicit Bound(std::size_t count);
        explicit Bound(const tsql::Parameters& params);
        void Set(std::size_t k, const Variant& v);
        std::vector<std::string> texts;
        std::vector<const char*> values;
    };

    // A statement of a program run together: statement i of `step`, its name
    // on the server, and the numbers of the commands that prepare it (npos
    // when it was prepared before) and run it.
    struct Together {
        const tsql::Step* step;
        std::size_t i;
        std::size_t command;
        std::size_t prepare;
        std::string name;
    };
    // The statements of a program that can run together; none when it cannot.
    static std::vector<Together> DataChangesAlone(const tsql::Program& program);
    void SendTogether(PostgresPipeline& pipe, const tsql::Program& program,
                      const std::vector<Variant>* literals, std::vector<Together>& statements);
    // Keeps the statements whose preparation succeeded and checks each run;
    // returns the rows of the last data change, -1 when none ran.
    long ReadTogether(const std::vector<Together>& statements, const std::vector<PgResult>& results,
                      FirstFailure& failure);

    PGresult* Run(const tsql::Step& step, std::size_t i, const tsql::Parameters& params);
    static std::vector<Oid> TypesOf(const tsql::Parameters& params);
    // The name of statement i of the step on the server, prepared on first use.
    const std::string& Prepared(const tsql::Step& step, std::size_t i,
                                const tsql::Parameters& params);
    PostgresLoop* CreateLoop(const tsql::Step& loop, const std::vector<tsql::Variable>& declared,
                             const std::vector<Variant>* literals);

    PGconn* conn_;
    std::string where_;
    std::shared_ptr<DroppedStatements> dropped_;
    unsigned long next_ = 0;
    std::unordered_map<std::string, std::string> columnNames_;
    // Functions created in the transaction under way.
    std::vector<std::shared_ptr<bool>> unsettled_;
};

}  // namespace orva
