#include "host/db/translated_backend.h"

#include "host/tsql/error_context.h"
#include "host/tsql/literals.h"
#include "orvasaleprice/com_error.h"

namespace orva {
namespace {

// Translations kept per connection.
constexpr std::size_t kCachedBatches = 256;

}  // namespace

TranslatedBackend::TranslatedBackend(const tsql::Dialect& dialect)
    : programs_(dialect, kCachedBatches) {}

TranslatedBackend::~TranslatedBackend() = default;

void TranslatedBackend::StartInterpreter(tsql::StatementRunner& runner) {
    interpreter_ = std::make_unique<tsql::Interpreter>(runner);
}

void TranslatedBackend::StopInterpreter() {
    programs_.Clear();
    interpreter_.reset();
}

BatchResult TranslatedBackend::ExecuteBatch(std::string_view text) {
    std::lock_guard lock(mu_);
    tsql::ProgramCache::Found found;
    try {
        found = programs_.Get(text);
    } catch (const tsql::TsqlError& e) {
        Raise(e, text);
    }
    BeforeText();
    const tsql::Program& program = *found.program;
    if (program.steps.empty())
        return {};
    Admit(program);
    const Scope scope = ScopeOf(program);
    try {
        Begin(program, scope);
        BatchResult result = Run(program, *found.literals);
        Commit(scope);
        return result;
    } catch (const tsql::TsqlError& e) {
        Undo(scope);
        // The program may have been compiled from another text of the same
        // shape: point into this one.
        Raise(
            tsql::TsqlError(e.what(), tsql::MovePosition(program.source, text, e.Pos()), e.Kind()),
            text);
    } catch (...) {
        Undo(scope);
        throw;
    }
}

TranslatedBackend::Scope TranslatedBackend::ScopeOf(const tsql::Program& program) const {
    if (!program.needsTransaction)
        return Scope::kNone;
    return writeOpen_ ? Scope::kSavepoint : Scope::kTransaction;
}

BatchResult TranslatedBackend::Run(const tsql::Program& program,
                                   const std::vector<Variant>& literals) {
    return interpreter_->Run(program, literals);
}

std::string TranslatedBackend::Explain(const tsql::TsqlError& e) const {
    return e.what();
}

void TranslatedBackend::Raise(const tsql::TsqlError& e, std::string_view text) const {
    throw ComError(e.Kind() == tsql::ErrorKind::kUniqueKey ? ComError::kUniqueKeyConflict
                                                           : ComError::kDatabase,
                   Explain(e) + tsql::ErrorContext(text, e.Pos()), kConnectionProgID);
}

void TranslatedBackend::BeginWrite() {
    std::lock_guard lock(mu_);
    if (writeOpen_) {
        throw ComError(ComError::kDatabase,
                       "A write transaction is already open on this connection.",
                       kConnectionProgID);
    }
    StartWrite();
    writeOpen_ = true;
}

void TranslatedBackend::CommitWrite() {
    std::lock_guard lock(mu_);
    if (!writeOpen_)
        return;
    writeOpen_ = false;
    CommitStarted();
}

void TranslatedBackend::RollbackWrite() {
    std::lock_guard lock(mu_);
    if (!writeOpen_)
        return;
    writeOpen_ = false;
    RollBackStarted();
}

}  // namespace orva
