// A WHILE loop of a T-SQL batch written as a PL/pgSQL function of the
// connection, so that the server walks the whole loop in one exchange
// instead of one exchange per statement of every pass. Only loops that send
// nothing to the client qualify: their statements change tables and
// variables, and the function hands the variables back as the loop left
// them. The function keeps what the interpreter does: @@ROWCOUNT after each
// statement, the last row of a SELECT @v = ... winning, the conversion to
// the variable's type, the iteration limit, BREAK and CONTINUE.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/tsql/program.h"
#include "orvasaleprice/variant.h"

namespace orva {

struct LoopFunction {
    std::string definition;  // CREATE FUNCTION pg_temp.<name>(...)
    std::string call;        // SELECT * FROM pg_temp.<name>($1, ...)
    // The text's literals passed after the variables, by their index.
    std::vector<int> literals;
    // The function's body lines where each statement's code starts, with
    // the statement's position in the batch, in line order.
    std::vector<std::pair<int, std::size_t>> lines;

    // The position in the batch of the statement at a line of the body (the
    // line the server names in an error's context).
    std::size_t PositionOfLine(int line) const;
};

// The function running `loop` (a WHILE step) under the name `name`, or
// nullopt when the loop cannot run on the server as the interpreter runs it
// (it returns rows, creates a temporary table, ends the batch with RETURN,
// assigns a variable other than an integer, or binds a text literal, whose
// type only its place in a statement decides). `literals` are the values of
// the text's bindable literals.
std::optional<LoopFunction> WriteLoopFunction(const tsql::Step& loop, const std::string& name,
                                              const std::vector<tsql::Variable>& declared,
                                              const std::vector<Variant>* literals);

// The statement with each parameter $n (outside quoted literals and names)
// replaced by name(n); nullopt when name gives nullopt for one.
std::optional<std::string> RenameParameters(
    std::string_view sql, const std::function<std::optional<std::string>(std::size_t)>& name);

// The body line an error happened on in the function `name`, from the
// error's context as the server gives it; 0 when it names no line there.
int ErrorLineIn(const std::string& context, const std::string& name);

}  // namespace orva
