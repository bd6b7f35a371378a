// Whole-number expressions over the batch's variables that the interpreter
// works out itself instead of asking the database: a WHILE or IF condition
// such as @Level>0 or @@ROWCOUNT>0, and assignments such as
// SELECT @Level=@Level+1. On a server each would otherwise cost a round trip.
// Only whole numbers without NULL are worked out here; anything else (a NULL,
// an overflow, a value of another type) goes to the database as before, so
// the results never differ.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "host/tsql/ast.h"
#include "orvasaleprice/variant.h"

namespace orva::tsql {

struct LocalExpr {
    enum class Op { Const, Var, Add, Sub, Mul, Neg, Eq, Ne, Lt, Le, Gt, Ge, And, Or, Not };
    Op op = Op::Const;
    std::int64_t value = 0;  // Const
    int literal = -1;        // Const: the text's literal holding the value, if any
    int slot = -1;           // Var
    std::vector<LocalExpr> args;
};

// The expression when it is made only of variables, @@ROWCOUNT, whole-number
// literals, + - * and comparisons joined by AND, OR and NOT.
std::optional<LocalExpr> MakeLocal(const Expr& e);

// Its value (a condition gives 1 or 0), or nullopt when the database must
// work it out. `literals` are the values of the text's literals (empty when
// the program holds them as written).
std::optional<std::int64_t> EvalLocal(const LocalExpr& e, const std::vector<Variant>& vars,
                                      const std::vector<Variant>* literals);

}  // namespace orva::tsql
