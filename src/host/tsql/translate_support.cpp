#include "host/tsql/translate_support.h"

#include "host/base/text_util.h"
#include "host/tsql/tsql_error.h"

namespace orva::tsql {
namespace {

const FuncInfo kFunctions[] = {
    {"ISNULL", 2, 2, Ty::Unknown},    {"LEN", 1, 1, Ty::Number},
    {"LEFT", 2, 2, Ty::Text},         {"RIGHT", 2, 2, Ty::Text},
    {"LTRIM", 1, 1, Ty::Text},        {"RTRIM", 1, 1, Ty::Text},
    {"REVERSE", 1, 1, Ty::Text},      {"CHARINDEX", 2, 3, Ty::Number},
    {"UPPER", 1, 1, Ty::Text},        {"LOWER", 1, 1, Ty::Text},
    {"REPLACE", 3, 3, Ty::Text},      {"SUBSTRING", 3, 3, Ty::Text},
    {"ABS", 1, 1, Ty::Number},        {"ROUND", 2, 2, Ty::Number},
    {"COALESCE", 2, 64, Ty::Unknown}, {"NULLIF", 2, 2, Ty::Unknown},
    {"COUNT", 1, 1, Ty::Number},      {"SUM", 1, 1, Ty::Number},
    {"AVG", 1, 1, Ty::Number},        {"MIN", 1, 1, Ty::Unknown},
    {"MAX", 1, 1, Ty::Unknown},       {"GETDATE", 0, 0, Ty::Text},
};

}  // namespace

std::string QuoteString(std::string_view s) {
    std::string o = "'";
    for (char c : s) {
        if (c == '\'')
            o.push_back('\'');
        o.push_back(c);
    }
    o.push_back('\'');
    return o;
}

const Expr& Unparen(const Expr& e) {
    const Expr* p = &e;
    while (p->kind == ExprKind::Paren) p = p->args[0].get();
    return *p;
}

bool IsColumn(const Expr& e) {
    return Unparen(e).kind == ExprKind::Column;
}

[[noreturn]] void Unsupported(const Dialect& d, const std::string& construct, std::size_t pos) {
    throw TsqlError("The T-SQL construct " + construct + " is not supported by the " + d.Engine() +
                        " company database.",
                    pos);
}

const FuncInfo* FindTsqlFunction(const std::string& upperName) {
    for (const FuncInfo& f : kFunctions) {
        if (upperName == f.name)
            return &f;
    }
    return nullptr;
}

bool SameText(const std::string& a, const std::string& b) {
    return EqualsNoCase(a, b);
}

bool SameExpr(const Expr& x, const Expr& y) {
    const Expr& a = Unparen(x);
    const Expr& b = Unparen(y);
    if (a.kind != b.kind)
        return false;
    switch (a.kind) {
        case ExprKind::Column:
            return SameText(a.text, b.text) && (a.qualifier.empty() || b.qualifier.empty() ||
                                                SameText(a.qualifier, b.qualifier));
        case ExprKind::Integer:
        case ExprKind::Decimal:
        case ExprKind::String:
            return a.text == b.text;
        case ExprKind::Null:
        case ExprKind::RowCount:
            return true;
        case ExprKind::Variable:
            return a.slot == b.slot;
        case ExprKind::Exists:
        case ExprKind::Subquery:
        case ExprKind::InSelect:
        case ExprKind::Star:
            return false;
        case ExprKind::Cast:
            if (!SameText(a.type.written, b.type.written) || a.type.length != b.type.length)
                return false;
            break;
        default:
            if (a.text != b.text || a.negated != b.negated || a.distinct != b.distinct ||
                a.hasOperand != b.hasOperand || a.hasElse != b.hasElse)
                return false;
    }
    if (a.args.size() != b.args.size())
        return false;
    for (std::size_t i = 0; i < a.args.size(); ++i) {
        if (!SameExpr(*a.args[i], *b.args[i]))
            return false;
    }
    return true;
}

}  // namespace orva::tsql
