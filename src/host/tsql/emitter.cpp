#include "host/tsql/emitter.h"

#include <algorithm>
#include <set>

#include "host/base/text_util.h"
#include "host/tsql/tree_depth.h"
#include "host/tsql/tsql_error.h"

namespace orva::tsql {
namespace {

// Whether a LIKE pattern holds a '[' that opens a character class: one that
// the pattern's escape character (a literal of one character, if any) does
// not make a plain '['.
bool OpensCharacterClass(const std::string& pattern, const Expr* escape) {
    std::string esc;
    if (escape && escape->kind == ExprKind::String)
        esc = escape->text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (!esc.empty() && pattern.compare(i, esc.size(), esc) == 0) {
            // The escaped character, all of its UTF-8 bytes.
            i += esc.size();
            while (i + 1 < pattern.size() &&
                   (static_cast<unsigned char>(pattern[i + 1]) & 0xC0) == 0x80)
                ++i;
            continue;
        }
        if (pattern[i] == '[')
            return true;
    }
    return false;
}

}  // namespace

Ty Emitter::TypeOf(const Expr& e) const {
    switch (e.kind) {
        case ExprKind::Null:
            return Ty::Null;
        case ExprKind::Integer:
        case ExprKind::Decimal:
        case ExprKind::RowCount:
        case ExprKind::Unary:
            return Ty::Number;
        case ExprKind::String:
            return Ty::Text;
        case ExprKind::Variable: {
            const TypeSpec& t = vars_[e.slot].type;
            return t.base == TypeSpec::Base::Text || t.base == TypeSpec::Base::Date ? Ty::Text
                                                                                    : Ty::Number;
        }
        case ExprKind::Paren:
            return TypeOf(*e.args[0]);
        case ExprKind::Binary: {
            if (e.text != "+")
                return Ty::Number;
            Ty a = TypeOf(*e.args[0]), b = TypeOf(*e.args[1]);
            if ((a == Ty::Number || a == Ty::Null) && (b == Ty::Number || b == Ty::Null))
                return a == Ty::Null && b == Ty::Null ? Ty::Null : Ty::Number;
            if ((a == Ty::Text || a == Ty::Null) && (b == Ty::Text || b == Ty::Null))
                return Ty::Text;
            return Ty::Unknown;
        }
        case ExprKind::Cast:
            return e.type.base == TypeSpec::Base::Text || e.type.base == TypeSpec::Base::Date
                       ? Ty::Text
                       : Ty::Number;
        case ExprKind::Case:
            return e.args.size() > (e.hasOperand ? 2u : 1u) ? TypeOf(*e.args[e.hasOperand ? 2 : 1])
                                                            : Ty::Unknown;
        case ExprKind::Function: {
            const FuncInfo* f = FindTsqlFunction(e.text);
            if (!f)
                return Ty::Unknown;
            if (f->type != Ty::Unknown || e.args.empty())
                return f->type;
            return TypeOf(*e.args[0]);
        }
        case ExprKind::Compare:
        case ExprKind::And:
        case ExprKind::Or:
        case ExprKind::Not:
        case ExprKind::IsNull:
        case ExprKind::InList:
        case ExprKind::InSelect:
        case ExprKind::Between:
        case ExprKind::Like:
        case ExprKind::Exists:
            return Ty::Number;
        default:
            return Ty::Unknown;
    }
}

bool Emitter::NeedsCollate(const Expr& a) const {
    if (IsColumn(a))
        return false;
    Ty t = TypeOf(a);
    return t != Ty::Number && t != Ty::Null;
}

bool Emitter::NeedsCollate(const Expr& a, const Expr& b) const {
    return NeedsCollate(a) && NeedsCollate(b) && !IsColumn(b);
}

bool Emitter::CollateOperand(const Expr& x, const Expr& other) const {
    return CollateText(x) && !(Unparen(x).kind == ExprKind::String && IsColumn(other));
}

bool Emitter::CollateText(const Expr& x) const {
    if (!d_.CollateEachOperand())
        return NeedsCollate(x);
    return !IsColumn(x) && TypeOf(x) == Ty::Text;
}

// Kept in one piece: one case per kind of expression, so that every kind is
// seen to be written; a case of more than a few lines is a function of its own.
void Emitter::Emit(const Expr& e, std::string& o) {
    switch (e.kind) {
        case ExprKind::Null:
            o += "NULL";
            return;
        case ExprKind::Integer:
        case ExprKind::Decimal:
            if (!Param(e, o))
                o += e.text;
            return;
        case ExprKind::String:
            if (!Param(e, o))
                o += QuoteString(e.text);
            return;
        case ExprKind::Variable:
        case ExprKind::RowCount:
            o += d_.Parameter(static_cast<std::size_t>(e.slot) + 1);
            return;
        case ExprKind::Column:
            if (!e.qualifier.empty())
                o += Qualifier(e.qualifier) + ".";
            o += d_.Name(e.text);
            return;
        case ExprKind::Star:
            if (!e.qualifier.empty())
                o += Qualifier(e.qualifier) + ".";
            o += "*";
            return;
        case ExprKind::Paren:
            o += "(";
            Emit(*e.args[0], o);
            o += ")";
            return;
        case ExprKind::Unary:
            o += "(";
            if (e.text != "+")
                o += e.text;
            Emit(*e.args[0], o);
            o += ")";
            return;
        case ExprKind::Binary:
            return EmitBinary(e, o);
        case ExprKind::Compare:
            return EmitCompare(e, o);
        case ExprKind::And:
        case ExprKind::Or:
            o += "(";
            Emit(*e.args[0], o);
            o += e.kind == ExprKind::And ? " AND " : " OR ";
            Emit(*e.args[1], o);
            o += ")";
            return;
        case ExprKind::Not:
            o += "(NOT ";
            Emit(*e.args[0], o);
            o += ")";
            return;
        case ExprKind::IsNull:
            o += "(";
            Emit(*e.args[0], o);
            o += e.negated ? " IS NOT NULL)" : " IS NULL)";
            return;
        case ExprKind::InList:
            return EmitInList(e, o);
        case ExprKind::InSelect:
            o += "(";
            Emit(*e.args[0], o);
            if (CollateText(*e.args[0]))
                o += d_.Collate();
            o += e.negated ? " NOT IN (" : " IN (";
            EmitSelect(*e.select, o);
            o += "))";
            return;
        case ExprKind::Between:
            return EmitBetween(e, o);
        case ExprKind::Like:
            return EmitLike(e, o);
        case ExprKind::Exists:
            o += "EXISTS (";
            EmitSelect(*e.select, o);
            o += ")";
            return;
        case ExprKind::Subquery:
            return EmitSubquery(e, o);
        case ExprKind::Case:
            return EmitCase(e, o);
        case ExprKind::Function:
            return EmitFunction(e, o);
        case ExprKind::Cast:
            return EmitCast(e, o);
    }
}

void Emitter::EmitCompare(const Expr& e, std::string& o) {
    o += "(";
    Emit(*e.args[0], o);
    if (d_.CollateEachOperand() ? CollateOperand(*e.args[0], *e.args[1])
                                : NeedsCollate(*e.args[0], *e.args[1]))
        o += d_.Collate();
    o += " " + e.text + " ";
    Emit(*e.args[1], o);
    if (d_.CollateEachOperand() && CollateOperand(*e.args[1], *e.args[0]))
        o += d_.Collate();
    o += ")";
}

void Emitter::EmitInList(const Expr& e, std::string& o) {
    o += "(";
    Emit(*e.args[0], o);
    const bool each = d_.CollateEachOperand();
    bool collate = CollateText(*e.args[0]);
    for (std::size_t i = 1; collate && !each && i < e.args.size(); ++i) {
        if (IsColumn(*e.args[i]))
            collate = false;
    }
    if (collate)
        o += d_.Collate();
    o += e.negated ? " NOT IN (" : " IN (";
    for (std::size_t i = 1; i < e.args.size(); ++i) {
        if (i > 1)
            o += ", ";
        Emit(*e.args[i], o);
        if (each && CollateOperand(*e.args[i], *e.args[0]))
            o += d_.Collate();
    }
    o += "))";
}

void Emitter::EmitBetween(const Expr& e, std::string& o) {
    const bool each = d_.CollateEachOperand();
    o += "(";
    Emit(*e.args[0], o);
    if (each ? CollateText(*e.args[0])
             : CollateText(*e.args[0]) && CollateText(*e.args[1]) && CollateText(*e.args[2]))
        o += d_.Collate();
    o += e.negated ? " NOT BETWEEN " : " BETWEEN ";
    for (std::size_t k = 1; k <= 2; ++k) {
        if (k == 2)
            o += " AND ";
        if (each && CollateOperand(*e.args[k], *e.args[0])) {
            o += "(";
            Emit(*e.args[k], o);
            o += d_.Collate();
            o += ")";
        } else {
            Emit(*e.args[k], o);
        }
    }
    o += ")";
}

void Emitter::EmitLike(const Expr& e, std::string& o) {
    const Expr& pattern = Unparen(*e.args[1]);
    const Expr* escape = e.args.size() > 2 ? &Unparen(*e.args[2]) : nullptr;
    if (pattern.kind == ExprKind::String && OpensCharacterClass(pattern.text, escape)) {
        Unsupported(d_, "LIKE with a [...] character class", e.pos);
    }
    auto operand = [&](const Expr& x) {
        o += d_.LikeOperandBegin();
        Emit(x, o);
        o += d_.LikeOperandEnd();
    };
    o += "(";
    operand(*e.args[0]);
    o += d_.LikeSubject();
    Pin pin(*this);
    o += d_.LikeOperator(e.negated);
    operand(*e.args[1]);
    if (e.args.size() > 2) {
        o += " ESCAPE ";
        Emit(*e.args[2], o);
    } else {
        o += d_.LikeNoEscape();
    }
    o += ")";
}

void Emitter::EmitSubquery(const Expr& e, std::string& o) {
    o += "(";
    if (d_.WrapsScalarSubquery() && PlainSingleColumn(*e.select)) {
        // SQL Server refuses a second row; SQLite would take the first.
        const SelectCore& c = e.select->cores[0];
        o += "SELECT orva_one(";
        Emit(*c.items[0].expr, o);
        o += ")";
        EmitFromWhere(c, o);
    } else {
        EmitSelect(*e.select, o);
    }
    o += ")";
}

void Emitter::EmitSelect(const Select& s, std::string& o, bool names) {
    ++depth_;
    struct Leave {
        int& depth;
        ~Leave() { --depth; }
    } leave{depth_};
    bool compound = s.cores.size() > 1;
    // DISTINCT with ORDER BY compares the items with the ORDER BY ones.
    const Pinning pinItems = s.cores[0].distinct && !s.orderBy.empty() ? Pinning::kAll
                             : names                                   ? Pinning::kUnnamed
                                                                       : Pinning::kNone;
    for (std::size_t i = 0; i < s.cores.size(); ++i) {
        if (i > 0)
            o += " " + s.setOps[i - 1] + " ";
        bool dedup =
            s.cores[i].distinct ||
            (compound && std::any_of(s.setOps.begin(), s.setOps.end(),
                                     [](const std::string& op) { return op != "UNION ALL"; }));
        if (compound && s.cores[i].top) {
            o += "SELECT * FROM (";
            EmitCore(s.cores[i], dedup, o, pinItems);
            o += " LIMIT ";
            Pin pin(*this);
            Emit(*s.cores[i].top, o);
            o += ")";
            o += d_.DerivedAlias();
        } else {
            EmitCore(s.cores[i], dedup, o, pinItems);
        }
    }
    if (!s.orderBy.empty()) {
        CheckDistinctOrder(s);
        o += " ORDER BY ";
        for (std::size_t i = 0; i < s.orderBy.size(); ++i) {
            if (i > 0)
                o += ", ";
            EmitOrderItem(s, s.orderBy[i], o);
        }
    }
    if (!compound && s.cores[0].top) {
        o += " LIMIT ";
        Pin pin(*this);
        Emit(*s.cores[0].top, o);
    }
}

void Emitter::EmitTable(const TableRef& t, std::string& o) {
    if (t.derived) {
        o += "(";
        EmitSelect(*t.derived, o, true);
        o += ")";
    } else {
        o += TableName(t);
    }
    if (!t.alias.empty())
        o += " AS " + d_.Name(t.alias);
}

std::string Emitter::TableName(const TableRef& t) const {
    return t.temp ? d_.TempTable(t.name) : d_.Name(t.name);
}

void Emitter::EmitBinary(const Expr& e, std::string& o) {
    const Expr& a = *e.args[0];
    const Expr& b = *e.args[1];
    const std::string& op = e.text;
    auto call = [&](const char* fn) {
        o += fn;
        o += "(";
        Emit(a, o);
        o += ", ";
        Emit(b, o);
        o += ")";
    };
    if (op == "/" && d_.Divide())
        return call(d_.Divide());
    if (op == "%" && d_.Modulo())
        return call(d_.Modulo());
    if (op == "+") {
        Ty ta = TypeOf(a), tb = TypeOf(b);
        bool num = (ta == Ty::Number || ta == Ty::Null) && (tb == Ty::Number || tb == Ty::Null);
        bool text = (ta == Ty::Text || ta == Ty::Null) && (tb == Ty::Text || tb == Ty::Null);
        if (!num && !text)
            return call("orva_add");
        o += "(";
        Emit(a, o);
        o += num ? " + " : " || ";
        Emit(b, o);
        o += ")";
        return;
    }
    if (op == "^") {
        o += "((";
        Emit(a, o);
        o += " | ";
        Emit(b, o);
        o += ") - (";
        Emit(a, o);
        o += " & ";
        Emit(b, o);
        o += "))";
        return;
    }
    o += "(";
    Emit(a, o);
    o += " " + op + " ";
    Emit(b, o);
    o += ")";
}

void Emitter::EmitCase(const Expr& e, std::string& o) {
    o += "CASE";
    std::size_t i = 0;
    if (e.hasOperand) {
        o += " ";
        Emit(*e.args[0], o);
        bool collate = CollateText(*e.args[0]);
        if (collate)
            o += d_.Collate();
        i = 1;
    }
    std::size_t pairsEnd = e.args.size() - (e.hasElse ? 1 : 0);
    for (; i + 1 < pairsEnd; i += 2) {
        o += " WHEN ";
        Emit(*e.args[i], o);
        if (e.hasOperand && d_.CollateEachOperand() && CollateOperand(*e.args[i], *e.args[0]))
            o += d_.Collate();
        o += " THEN ";
        Emit(*e.args[i + 1], o);
    }
    if (e.hasElse) {
        o += " ELSE ";
        Emit(*e.args.back(), o);
    }
    o += " END";
}

void Emitter::EmitFunction(const Expr& e, std::string& o) {
    const FuncInfo* f = FindTsqlFunction(e.text);
    const char* name = f ? d_.Function(e.text) : nullptr;
    if (!name) {
        throw TsqlError("The function " + e.text + " is not supported by the " + d_.Engine() +
                            " company database.",
                        e.pos);
    }
    int n = static_cast<int>(e.args.size());
    if (n < f->minArgs || n > f->maxArgs) {
        throw TsqlError("The " + ToLowerAscii(e.text) + " function requires " +
                            std::to_string(f->minArgs) + " argument(s).",
                        e.pos);
    }
    if (e.text == "COUNT" && n == 1 && e.args[0]->kind == ExprKind::Star) {
        o += "count(*)";
        return;
    }
    for (const ExprPtr& a : e.args) {
        if (a->kind == ExprKind::Star)
            throw TsqlError("Incorrect syntax near '*'.", a->pos);
    }
    o += name;
    o += "(";
    if (e.distinct)
        o += "DISTINCT ";
    for (int i = 0; i < n; ++i) {
        if (i > 0)
            o += ", ";
        Emit(*e.args[i], o);
    }
    o += ")";
}

void Emitter::EmitCast(const Expr& e, std::string& o) {
    const TypeSpec& t = e.type;
    std::string x;
    Emit(*e.args[0], x);
    std::string style = "NULL";
    if (e.args.size() > 1) {
        style.clear();
        Pin pin(*this);
        Emit(*e.args[1], style);
    }
    switch (t.base) {
        case TypeSpec::Base::Int:
            o += "orva_cast_int(" + x + ", 0)";
            return;
        case TypeSpec::Base::Bit:
            o += "orva_cast_int(" + x + ", 1)";
            return;
        case TypeSpec::Base::Float:
            o += "orva_cast_real(" + x + ", -1)";
            return;
        case TypeSpec::Base::Decimal:
            o += "orva_cast_real(" + x + ", " + std::to_string(t.scale) + ")";
            return;
        case TypeSpec::Base::Text:
            o += "orva_cast_text(" + x + ", " + std::to_string(t.length) + ", " + style + ", " +
                 (t.fixed ? "1" : "0") + ")";
            return;
        case TypeSpec::Base::Date:
            if (e.args.size() > 1) {
                const Expr& s = Unparen(*e.args[1]);
                static const std::set<std::string> kIso = {"20",  "21",  "23",  "111",
                                                           "112", "120", "121", "102"};
                if (s.kind != ExprKind::Integer || !kIso.count(s.text)) {
                    Unsupported(d_,
                                "CONVERT to a date with style " +
                                    (s.kind == ExprKind::Integer ? s.text : std::string("?")),
                                e.pos);
                }
            }
            o += "orva_cast_date(" + x + ")";
            return;
    }
}

void Emitter::EmitCore(const SelectCore& c, bool dedup, std::string& o, Pinning pinItems) {
    o += c.distinct ? "SELECT DISTINCT " : "SELECT ";
    for (std::size_t i = 0; i < c.items.size(); ++i) {
        if (i > 0)
            o += ", ";
        const SelectItem& it = c.items[i];
        const std::size_t itemStart = o.size();
        if (pinItems == Pinning::kAll || (pinItems == Pinning::kUnnamed && it.alias.empty())) {
            Pin pin(*this);
            Emit(*it.expr, o);
        } else {
            Emit(*it.expr, o);
        }
        if (dedup && it.expr->kind != ExprKind::Star && CollateText(*it.expr))
            o += d_.Collate();
        if (!it.alias.empty()) {
            o += " AS " + AliasName(it.alias);
        } else if (TopLevel() && d_.NamesPlainColumns() && it.expr->kind != ExprKind::Star) {
            // A column is named as written; another expression by its
            // text, as a record set names it on SQLite.
            const Expr& u = Unparen(*it.expr);
            o += " AS " + d_.OutputName(u.kind == ExprKind::Column
                                            ? u.text
                                            : o.substr(itemStart, o.size() - itemStart));
        }
    }
    EmitFromWhere(c, o);
}

void Emitter::EmitFromWhere(const SelectCore& c, std::string& o) {
    if (!c.from.empty()) {
        o += " FROM ";
        for (const JoinClause& j : c.from) {
            if (j.op == ",") {
                o += ", ";
            } else if (!j.op.empty()) {
                o += " " + j.op + " ";
            }
            EmitTable(j.table, o);
            if (j.on) {
                o += " ON ";
                Emit(*j.on, o);
            }
        }
    }
    if (c.where) {
        o += " WHERE ";
        Emit(*c.where, o);
    }
    if (!c.groupBy.empty()) {
        o += " GROUP BY ";
        Pin pin(*this);
        for (std::size_t i = 0; i < c.groupBy.size(); ++i) {
            if (i > 0)
                o += ", ";
            Emit(*c.groupBy[i], o);
            if (CollateText(*c.groupBy[i]))
                o += d_.GroupCollate();
        }
    }
    if (c.having) {
        o += " HAVING ";
        Emit(*c.having, o);
    }
}

bool Emitter::IsAggregate(const Expr& e) {
    const Expr& u = Unparen(e);
    if (u.kind == ExprKind::Function && (u.text == "COUNT" || u.text == "SUM" || u.text == "AVG" ||
                                         u.text == "MIN" || u.text == "MAX")) {
        return true;
    }
    for (const ExprPtr& a : u.args) {
        if (IsAggregate(*a))
            return true;
    }
    return false;
}

bool Emitter::PlainSingleColumn(const Select& s) {
    if (s.cores.size() != 1 || !s.orderBy.empty())
        return false;
    const SelectCore& c = s.cores[0];
    return c.items.size() == 1 && c.items[0].expr->kind != ExprKind::Star && !c.distinct &&
           !c.top && c.groupBy.empty() && !c.having && !c.from.empty() &&
           !IsAggregate(*c.items[0].expr);
}

const SelectItem* Emitter::AliasItem(const Select& s, const Expr& e) const {
    const Expr& u = Unparen(e);
    if (u.kind != ExprKind::Column || !u.qualifier.empty())
        return nullptr;
    for (const SelectItem& it : s.cores[0].items) {
        if (!it.alias.empty() && SameText(it.alias, u.text))
            return &it;
    }
    return nullptr;
}

void Emitter::CheckDistinctOrder(const Select& s) const {
    if (s.cores.size() != 1 || !s.cores[0].distinct)
        return;
    const SelectCore& c = s.cores[0];
    for (const OrderItem& o : s.orderBy) {
        const Expr& e = Unparen(*o.expr);
        if (e.kind == ExprKind::Integer || AliasItem(s, e))
            continue;
        bool found = false;
        for (const SelectItem& it : c.items) {
            if (it.expr->kind == ExprKind::Star || SameExpr(*it.expr, e)) {
                found = true;
                break;
            }
        }
        if (!found) {
            throw TsqlError(
                "ORDER BY items must appear in the select list if SELECT DISTINCT is "
                "specified.",
                e.pos);
        }
    }
}

void Emitter::EmitOrderItem(const Select& s, const OrderItem& item, std::string& o) {
    Pin pin(*this);
    const Expr& e = Unparen(*item.expr);
    if (const SelectItem* it = AliasItem(s, e)) {
        o += AliasName(it->alias);
        if (CollateText(*it->expr))
            o += d_.AliasOrderCollate();
    } else {
        Emit(*item.expr, o);
        if (e.kind != ExprKind::Integer && CollateText(e))
            o += d_.Collate();
    }
    if (item.desc)
        o += " DESC";
}

bool Emitter::Param(const Expr& e, std::string& o) {
    if (!bindLiterals_ || e.literal < 0)
        return false;
    const std::size_t number = vars_.size() + 1 + params_.size();
    if (pin_ > 0 || number > d_.MaxParameter()) {
        pinned_.push_back(e.literal);
        return false;
    }
    o += d_.Parameter(number);
    params_.push_back(e.literal);
    return true;
}

std::string Emitter::AliasName(const std::string& alias) const {
    return TopLevel() ? d_.OutputName(alias) : d_.Name(alias);
}

}  // namespace orva::tsql
