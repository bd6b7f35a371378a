// Feeds arbitrary text through the T-SQL layer's front end: the tokenizer,
// the parser, the translation into both engines' dialects and the compilation
// that binds a text's literals as parameters. Text the layer refuses must be
// refused with TsqlError, whose position the message then quotes as the
// back ends do; any other exception, a crash, a hang or a sanitizer report is
// a fault.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "host/db/postgres/postgres_dialect.h"
#include "host/db/sqlite/sqlite_dialect.h"
#include "host/tsql/dialect.h"
#include "host/tsql/error_context.h"
#include "host/tsql/literals.h"
#include "host/tsql/parser.h"
#include "host/tsql/tokenizer.h"
#include "host/tsql/translator.h"
#include "host/tsql/tsql_error.h"

namespace {

using namespace orva::tsql;
using orva::PostgresDialect;
using orva::SqliteDialect;

// The message of a refusal quotes the text from the error's position on.
void Refused(std::string_view text, const TsqlError& e) {
    ErrorContext(text, e.Pos());
}

// Parses and translates for one engine; a refusal ends only this engine's run.
void TranslateFor(const std::vector<Token>& tokens, std::string_view text, const Dialect& dialect) {
    try {
        Translate(ParseBatch(tokens), text, dialect);
    } catch (const TsqlError& e) {
        Refused(text, e);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<Token> tokens;
    try {
        tokens = Tokenize(text);
    } catch (const TsqlError& e) {
        Refused(text, e);
        return 0;
    }
    TranslateFor(tokens, text, SqliteDialect());
    TranslateFor(tokens, text, PostgresDialect());
    ShapeOf(tokens);
    try {
        CompileBindingLiterals(text, std::move(tokens), SqliteDialect());
    } catch (const TsqlError& e) {
        Refused(text, e);
    }
    return 0;
}
