// What every back end that runs the module's T-SQL through the T-SQL layer
// shares: the write transaction a caller may open over several calls, the
// translations of the texts it was sent (tsql::ProgramCache), the
// interpreter over the engine's statement runner, and the one way a text
// runs: translated, begun in a transaction or savepoint of its own, run and
// committed, or undone and reported when anything fails. Each engine supplies
// those steps for its database, and how it takes entry numbers.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "host/db/db_backend.h"
#include "host/tsql/dialect.h"
#include "host/tsql/interpreter.h"
#include "host/tsql/program.h"
#include "host/tsql/program_cache.h"
#include "host/tsql/statement_runner.h"
#include "host/tsql/tsql_error.h"
#include "orvasaleprice/variant.h"

namespace orva {

class TranslatedBackend : public DbBackend, public WriteGrouping {
  public:
    // Runs the text under the connection's lock: translated (or found
    // translated), in a transaction of its own when it needs one, in a
    // savepoint inside the caller's write transaction. A failure undoes what
    // the text began and throws ComError: kUniqueKeyConflict for a second row
    // with a unique key, kDatabase otherwise, with the engine's message and
    // the place in the text.
    BatchResult ExecuteBatch(std::string_view text) final;

    // A second BeginWrite is refused; a commit or rollback with no write
    // transaction open does nothing.
    void BeginWrite() final;
    void CommitWrite() final;
    void RollbackWrite() final;

  protected:
    // What one text runs in.
    enum class Scope {
        kNone,         // nothing of its own
        kTransaction,  // a transaction of its own, committed when the text has run
        kSavepoint,    // a savepoint inside the caller's write transaction
    };

    // Texts are translated for the engine's dialect.
    explicit TranslatedBackend(const tsql::Dialect& dialect);
    ~TranslatedBackend() override;

    // Runs programs through the engine's runner from now on.
    void StartInterpreter(tsql::StatementRunner& runner);
    // Drops the translations, their prepared statements and the interpreter:
    // called by an engine before it closes its connection.
    void StopInterpreter();

    // The steps of a text, called with the lock held. Undo is called after a
    // failure anywhere from Begin on, and never throws: the text's error is
    // the one to report.
    //
    // Called before the text's program is looked at (default: nothing).
    virtual void BeforeText() {}
    // Called before a text with steps begins; throws to refuse it (default:
    // every text is admitted).
    virtual void Admit(const tsql::Program& /*program*/) const {}
    // Default: a text that needs a transaction runs in a savepoint inside the
    // caller's write transaction, in a transaction of its own otherwise; any
    // other text in nothing of its own.
    virtual Scope ScopeOf(const tsql::Program& program) const;
    virtual void Begin(const tsql::Program& program, Scope scope) = 0;
    // Default: the interpreter walks the program.
    virtual BatchResult Run(const tsql::Program& program, const std::vector<Variant>& literals);
    virtual void Commit(Scope scope) = 0;
    virtual void Undo(Scope scope) = 0;
    // What the caller reads for an error of the engine (default: its message).
    virtual std::string Explain(const tsql::TsqlError& e) const;

    // The steps of the caller's write transaction, with the lock held.
    // Opens the transaction; a throw leaves none open.
    virtual void StartWrite() = 0;
    // Ends the transaction that was open (writeOpen_ is already false).
    virtual void CommitStarted() = 0;
    virtual void RollBackStarted() = 0;

    // Throws the ComError for an error of the engine met in `text`.
    [[noreturn]] void Raise(const tsql::TsqlError& e, std::string_view text) const;

    std::mutex mu_;           // every call of the connection holds it
    bool writeOpen_ = false;  // a caller's write transaction (BeginWrite)

  private:
    tsql::ProgramCache programs_;
    std::unique_ptr<tsql::Interpreter> interpreter_;
};

}  // namespace orva
