#include "host/tsql/local_expr.h"

#include <charconv>
#include <string>

namespace orva::tsql {
namespace {

using Op = LocalExpr::Op;

std::optional<Op> CompareOp(const std::string& t) {
    if (t == "=")
        return Op::Eq;
    if (t == "<>" || t == "!=")
        return Op::Ne;
    if (t == "<" || t == "!>")
        return t == "<" ? Op::Lt : Op::Le;
    if (t == "<=")
        return Op::Le;
    if (t == ">" || t == "!<")
        return t == ">" ? Op::Gt : Op::Ge;
    if (t == ">=")
        return Op::Ge;
    return std::nullopt;
}

}  // namespace

std::optional<LocalExpr> MakeLocal(const Expr& e) {
    LocalExpr out;
    auto operands = [&](std::size_t n) {
        if (e.args.size() != n)
            return false;
        for (const ExprPtr& a : e.args) {
            std::optional<LocalExpr> x = MakeLocal(*a);
            if (!x)
                return false;
            out.args.push_back(std::move(*x));
        }
        return true;
    };
    switch (e.kind) {
        case ExprKind::Paren:
            return e.args.size() == 1 ? MakeLocal(*e.args[0]) : std::nullopt;
        case ExprKind::Integer: {
            const char* end = e.text.data() + e.text.size();
            auto [p, ec] = std::from_chars(e.text.data(), end, out.value);
            if (ec != std::errc() || p != end)
                return std::nullopt;
            out.literal = e.literal;
            return out;
        }
        case ExprKind::Variable:
        case ExprKind::RowCount:
            out.op = Op::Var;
            out.slot = e.kind == ExprKind::RowCount ? 0 : e.slot;
            return out.slot >= 0 ? std::optional(out) : std::nullopt;
        case ExprKind::Unary:
            if (e.text == "+")
                return e.args.size() == 1 ? MakeLocal(*e.args[0]) : std::nullopt;
            out.op = Op::Neg;
            return e.text == "-" && operands(1) ? std::optional(out) : std::nullopt;
        case ExprKind::Binary:
            if (e.text == "+")
                out.op = Op::Add;
            else if (e.text == "-")
                out.op = Op::Sub;
            else if (e.text == "*")
                out.op = Op::Mul;
            else
                return std::nullopt;
            return operands(2) ? std::optional(out) : std::nullopt;
        case ExprKind::Compare: {
            std::optional<Op> op = CompareOp(e.text);
            if (!op)
                return std::nullopt;
            out.op = *op;
            return operands(2) ? std::optional(out) : std::nullopt;
        }
        case ExprKind::And:
        case ExprKind::Or:
            out.op = e.kind == ExprKind::And ? Op::And : Op::Or;
            return operands(2) ? std::optional(out) : std::nullopt;
        case ExprKind::Not:
            out.op = Op::Not;
            return operands(1) ? std::optional(out) : std::nullopt;
        default:
            return std::nullopt;
    }
}

std::optional<std::int64_t> EvalLocal(const LocalExpr& e, const std::vector<Variant>& vars,
                                      const std::vector<Variant>* literals) {
    switch (e.op) {
        case Op::Const:
            if (e.literal >= 0 && literals &&
                static_cast<std::size_t>(e.literal) < literals->size()) {
                const std::int64_t* v =
                    (*literals)[static_cast<std::size_t>(e.literal)].AsInteger();
                return v ? std::optional(*v) : std::nullopt;
            }
            return e.value;
        case Op::Var: {
            if (static_cast<std::size_t>(e.slot) >= vars.size())
                return std::nullopt;
            const std::int64_t* v = vars[static_cast<std::size_t>(e.slot)].AsInteger();
            return v ? std::optional(*v) : std::nullopt;
        }
        default:
            break;
    }
    std::int64_t a = 0, b = 0;
    {
        auto x = EvalLocal(e.args[0], vars, literals);
        if (!x)
            return std::nullopt;
        a = *x;
    }
    if (e.args.size() > 1) {
        auto y = EvalLocal(e.args[1], vars, literals);
        if (!y)
            return std::nullopt;
        b = *y;
    }
    std::int64_t r = 0;
    switch (e.op) {
        case Op::Add:
            return __builtin_add_overflow(a, b, &r) ? std::nullopt : std::optional(r);
        case Op::Sub:
            return __builtin_sub_overflow(a, b, &r) ? std::nullopt : std::optional(r);
        case Op::Mul:
            return __builtin_mul_overflow(a, b, &r) ? std::nullopt : std::optional(r);
        case Op::Neg:
            return __builtin_sub_overflow(std::int64_t{0}, a, &r) ? std::nullopt : std::optional(r);
        case Op::Eq:
            return a == b;
        case Op::Ne:
            return a != b;
        case Op::Lt:
            return a < b;
        case Op::Le:
            return a <= b;
        case Op::Gt:
            return a > b;
        case Op::Ge:
            return a >= b;
        case Op::And:
            return (a != 0) && (b != 0);
        case Op::Or:
            return (a != 0) || (b != 0);
        case Op::Not:
            return a == 0;
        default:
            return std::nullopt;
    }
}

}  // namespace orva::tsql
