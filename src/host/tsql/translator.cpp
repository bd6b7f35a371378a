#include "host/tsql/translator.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <utility>

#include "host/text_util.h"
#include "host/tsql/dialect.h"
#include "host/tsql/literals.h"
#include "host/tsql/parser.h"
#include "host/tsql/tree_depth.h"
#include "host/tsql/tsql_error.h"

namespace orva::tsql {
namespace {

enum class Ty { Unknown, Number, Text, Null };

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

struct FuncInfo {
    const char* name;
    int minArgs, maxArgs;
    Ty type;  // Unknown: the type of the first argument
};

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

const FuncInfo* FindFunction(const std::string& upperName) {
    for (const FuncInfo& f : kFunctions) {
        if (upperName == f.name)
            return &f;
    }
    return nullptr;
}

bool SameText(const std::string& a, const std::string& b) {
    return EqualsNoCase(a, b);
}

// Whether two expressions are the same for SQL Server's "ORDER BY items must
// appear in the select list" test.
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

// Equality lookups that the batch makes on its own #temp tables: each set of
// columns compared with a constant or a variable gets an index when the table
// is created, so loops over a growing work table stay fast.
class TempLookups {
  public:
    void Collect(const std::vector<StmtPtr>& stmts) {
        for (const StmtPtr& s : stmts) Stmt(*s);
    }
    const std::vector<std::vector<std::string>>* For(const std::string& table) const {
        auto it = sets_.find(ToLowerAscii(table));
        return it == sets_.end() ? nullptr : &it->second;
    }

  private:
    void Stmt(const struct Stmt& s) {
        if (s.select)
            Select(*s.select);
        for (const auto& row : s.values)
            for (const auto& e : row) Expr(*e);
        for (const auto& set : s.sets) Expr(*set.second);
        for (const auto& a : s.assigns) Expr(*a.second);
        if (s.cond)
            Expr(*s.cond);
        if (s.where) {
            Expr(*s.where);
            if ((s.kind == StmtKind::Delete || s.kind == StmtKind::Update) && s.target.temp) {
                Where(*s.where, s.target.name, s.target.name);
            }
        }
        for (const StmtPtr& b : s.body) Stmt(*b);
        for (const StmtPtr& b : s.elseBody) Stmt(*b);
    }
    void Select(const struct Select& sel) {
        for (const SelectCore& c : sel.cores) {
            for (const SelectItem& it : c.items) Expr(*it.expr);
            for (const JoinClause& j : c.from) {
                if (j.table.derived)
                    Select(*j.table.derived);
                if (j.on)
                    Expr(*j.on);
            }
            if (c.where) {
                Expr(*c.where);
                if (c.from.size() == 1 && c.from[0].table.temp) {
                    const TableRef& t = c.from[0].table;
                    Where(*c.where, t.name, t.alias);
                }
            }
            if (c.having)
                Expr(*c.having);
        }
    }
    void Expr(const struct Expr& e) {
        if (e.select)
            Select(*e.select);
        for (const ExprPtr& a : e.args) Expr(*a);
    }
    static bool HasColumn(const struct Expr& e) {
        if (e.kind == ExprKind::Column || e.select)
            return true;
        for (const ExprPtr& a : e.args) {
            if (HasColumn(*a))
                return true;
        }
        return false;
    }
    static void Conjuncts(const struct Expr& e, std::vector<const struct Expr*>& out) {
        const struct Expr& u = Unparen(e);
        if (u.kind == ExprKind::And) {
            Conjuncts(*u.args[0], out);
            Conjuncts(*u.args[1], out);
        } else {
            out.push_back(&u);
        }
    }
    void Where(const struct Expr& where, const std::string& table, const std::string& alias) {
        std::vector<const struct Expr*> terms;
        Conjuncts(where, terms);
        std::vector<std::string> cols;
        for (const struct Expr* t : terms) {
            if (t->kind != ExprKind::Compare || t->text != "=")
                continue;
            for (int side = 0; side < 2; ++side) {
                const struct Expr& c = Unparen(*t->args[side]);
                const struct Expr& other = *t->args[1 - side];
                if (c.kind != ExprKind::Column || HasColumn(other))
                    continue;
                if (!c.qualifier.empty() && !SameText(c.qualifier, alias) &&
                    !SameText(c.qualifier, table))
                    continue;
                std::string name = ToLowerAscii(c.text);
                if (std::find(cols.begin(), cols.end(), name) == cols.end())
                    cols.push_back(name);
                break;
            }
        }
        if (cols.empty())
            return;
        auto& sets = sets_[ToLowerAscii(table)];
        std::set<std::string> key(cols.begin(), cols.end());
        for (const auto& s : sets) {
            if (std::set<std::string>(s.begin(), s.end()) == key)
                return;
        }
        if (sets.size() < 3)
            sets.push_back(std::move(cols));
    }

    std::map<std::string, std::vector<std::vector<std::string>>> sets_;
};

class Emitter {
  public:
    Emitter(const std::vector<Variable>& vars, const Dialect& d) : vars_(vars), d_(d) {}

    const Dialect& D() const { return d_; }

    // While set, the outermost select names its columns as the batch's
    // record set returns them.
    void OutputNames(bool on) { outputNames_ = on; }

    // From now on, literals of the text become parameters numbered after the
    // variables, wherever the translation does not depend on their value.
    void BindLiterals() { bindLiterals_ = true; }
    // The literals bound by the statement just emitted, in parameter order;
    // the next statement starts a new list.
    std::vector<int> TakeParams() { return std::exchange(params_, {}); }
    // Literals whose value the translation used (written into the SQL).
    const std::vector<int>& Pinned() const { return pinned_; }

    // While one lives, the emitter writes literals as they are: in ORDER BY
    // and GROUP BY (an integer there is a column position), TOP, column
    // names, LIKE patterns, CONVERT styles and table definitions.
    class Pin {
      public:
        explicit Pin(Emitter& e) : e_(e) { ++e_.pin_; }
        ~Pin() { --e_.pin_; }
        Pin(const Pin&) = delete;
        Pin& operator=(const Pin&) = delete;

      private:
        Emitter& e_;
    };

    Ty TypeOf(const Expr& e) const {
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
                return t.base == TypeSpec::Base::Text || t.base == TypeSpec::Base::Date
                           ? Ty::Text
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
                return e.args.size() > (e.hasOperand ? 2u : 1u)
                           ? TypeOf(*e.args[e.hasOperand ? 2 : 1])
                           : Ty::Unknown;
            case ExprKind::Function: {
                const FuncInfo* f = FindFunction(e.text);
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

    // A text comparison between two expressions needs the collation spelled
    // out: only a column carries it by itself.
    bool NeedsCollate(const Expr& a) const {
        if (IsColumn(a))
            return false;
        Ty t = TypeOf(a);
        return t != Ty::Number && t != Ty::Null;
    }
    bool NeedsCollate(const Expr& a, const Expr& b) const {
        return NeedsCollate(a) && NeedsCollate(b) && !IsColumn(b);
    }
    // When each operand is collated by itself: a text literal compared with
    // a column takes the column's type and collation by itself (and a
    // number column converts it, as the database does).
    bool CollateOperand(const Expr& x, const Expr& other) const {
        return CollateText(x) && !(Unparen(x).kind == ExprKind::String && IsColumn(other));
    }
    // Whether a text operand gets the dialect's Collate(). When that changes
    // the operand's type, only an operand known to be text may get it.
    bool CollateText(const Expr& x) const {
        if (!d_.CollateEachOperand())
            return NeedsCollate(x);
        return !IsColumn(x) && TypeOf(x) == Ty::Text;
    }

    void Emit(const Expr& e, std::string& o) {
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
                return;
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
            case ExprKind::InList: {
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
                return;
            }
            case ExprKind::InSelect:
                o += "(";
                Emit(*e.args[0], o);
                if (CollateText(*e.args[0]))
                    o += d_.Collate();
                o += e.negated ? " NOT IN (" : " IN (";
                EmitSelect(*e.select, o);
                o += "))";
                return;
            case ExprKind::Between: {
                const bool each = d_.CollateEachOperand();
                o += "(";
                Emit(*e.args[0], o);
                if (each ? CollateText(*e.args[0])
                         : CollateText(*e.args[0]) && CollateText(*e.args[1]) &&
                               CollateText(*e.args[2]))
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
                return;
            }
            case ExprKind::Like: {
                const Expr& pattern = Unparen(*e.args[1]);
                if (pattern.kind == ExprKind::String &&
                    pattern.text.find('[') != std::string::npos) {
                    Unsupported(d_, "LIKE with a [...] character class", e.pos);
                }
                o += "(";
                Emit(*e.args[0], o);
                o += d_.LikeSubject();
                Pin pin(*this);
                o += d_.LikeOperator(e.negated);
                Emit(*e.args[1], o);
                if (e.args.size() > 2) {
                    o += " ESCAPE ";
                    Emit(*e.args[2], o);
                } else {
                    o += d_.LikeNoEscape();
                }
                o += ")";
                return;
            }
            case ExprKind::Exists:
                o += "EXISTS (";
                EmitSelect(*e.select, o);
                o += ")";
                return;
            case ExprKind::Subquery:
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
                return;
            case ExprKind::Case:
                return EmitCase(e, o);
            case ExprKind::Function:
                return EmitFunction(e, o);
            case ExprKind::Cast:
                return EmitCast(e, o);
        }
    }

    // names: the select's column names are seen (a record set or a derived
    // table), so a literal that names a column stays in the text.
    void EmitSelect(const Select& s, std::string& o, bool names = false) {
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

    void EmitTable(const TableRef& t, std::string& o) {
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

    std::string TableName(const TableRef& t) const {
        return t.temp ? d_.TempTable(t.name) : d_.Name(t.name);
    }

  private:
    void EmitBinary(const Expr& e, std::string& o) {
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

    void EmitCase(const Expr& e, std::string& o) {
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

    void EmitFunction(const Expr& e, std::string& o) {
        const FuncInfo* f = FindFunction(e.text);
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

    void EmitCast(const Expr& e, std::string& o) {
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

    // Which select items keep their literals as written.
    enum class Pinning { kNone, kUnnamed, kAll };

    void EmitCore(const SelectCore& c, bool dedup, std::string& o, Pinning pinItems) {
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

    // FROM, WHERE, GROUP BY and HAVING of a select core.
    void EmitFromWhere(const SelectCore& c, std::string& o) {
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

    static bool IsAggregate(const Expr& e) {
        const Expr& u = Unparen(e);
        if (u.kind == ExprKind::Function &&
            (u.text == "COUNT" || u.text == "SUM" || u.text == "AVG" || u.text == "MIN" ||
             u.text == "MAX")) {
            return true;
        }
        for (const ExprPtr& a : u.args) {
            if (IsAggregate(*a))
                return true;
        }
        return false;
    }

    // A scalar subquery that may return several rows: one plain select of one
    // column, without aggregates, grouping, DISTINCT or TOP.
    static bool PlainSingleColumn(const Select& s) {
        if (s.cores.size() != 1 || !s.orderBy.empty())
            return false;
        const SelectCore& c = s.cores[0];
        return c.items.size() == 1 && c.items[0].expr->kind != ExprKind::Star && !c.distinct &&
               !c.top && c.groupBy.empty() && !c.having && !c.from.empty() &&
               !IsAggregate(*c.items[0].expr);
    }

    const SelectItem* AliasItem(const Select& s, const Expr& e) const {
        const Expr& u = Unparen(e);
        if (u.kind != ExprKind::Column || !u.qualifier.empty())
            return nullptr;
        for (const SelectItem& it : s.cores[0].items) {
            if (!it.alias.empty() && SameText(it.alias, u.text))
                return &it;
        }
        return nullptr;
    }

    void CheckDistinctOrder(const Select& s) const {
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

    void EmitOrderItem(const Select& s, const OrderItem& item, std::string& o) {
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

    bool Param(const Expr& e, std::string& o) {
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

    // A table name or alias before a column.
    std::string Qualifier(const std::string& q) const { return d_.Name(q); }
    // The outermost select of a record set the batch returns.
    bool TopLevel() const { return outputNames_ && depth_ == 1; }
    std::string AliasName(const std::string& alias) const {
        return TopLevel() ? d_.OutputName(alias) : d_.Name(alias);
    }

    const std::vector<Variable>& vars_;
    const Dialect& d_;
    bool outputNames_ = false;
    int depth_ = 0;
    bool bindLiterals_ = false;
    int pin_ = 0;
    std::vector<int> params_;
    std::vector<int> pinned_;
};

class Translator {
  public:
    Translator(Batch& batch, std::string_view source, const Dialect& d)
        : batch_(batch), emit_(batch.variables, d), d_(d) {
        program_.source = std::string(source);
        CheckTreeDepth(batch);  // before any of the recursive walks below
        lookups_.Collect(batch.statements);
    }

    // Literals become parameters; `count` is how many the text holds.
    void BindLiterals(int count) {
        emit_.BindLiterals();
        literalCount_ = count;
    }

    Program Run() {
        for (const StmtPtr& s : batch_.statements) program_.steps.push_back(StepOf(*s));
        if (literalCount_ > 0) {
            std::vector<char> bound(static_cast<std::size_t>(literalCount_), 0);
            for (int k : bound_) bound[static_cast<std::size_t>(k)] = 1;
            for (int k : emit_.Pinned()) bound[static_cast<std::size_t>(k)] = 0;
            for (int k = 0; k < literalCount_; ++k) {
                if (!bound[static_cast<std::size_t>(k)])
                    program_.pinnedLiterals.push_back(k);
            }
        }
        program_.literalCount = literalCount_;
        const auto& steps = program_.steps;
        program_.needsTransaction =
            !(steps.size() == 1 &&
              (steps[0].kind == Step::Kind::Query || steps[0].kind == Step::Kind::Exec) &&
              steps[0].sql.size() == 1 && steps[0].tempCreated.empty());
        program_.variables = std::move(batch_.variables);
        return std::move(program_);
    }

  private:
    // One statement of the step, with the literals it binds.
    void Add(Step& st, std::string sql) {
        st.sql.push_back(std::move(sql));
        st.literals.push_back(emit_.TakeParams());
        for (int k : st.literals.back()) bound_.push_back(k);
    }

    void Writes(const TableRef& t) {
        if (!t.temp)
            program_.writesDatabase = true;
    }

    Step StepOf(const Stmt& s) {
        Step st;
        st.begin = s.begin;
        st.end = s.end;
        switch (s.kind) {
            case StmtKind::Select: {
                st.kind = Step::Kind::Query;
                std::string sql;
                emit_.OutputNames(true);
                emit_.EmitSelect(*s.select, sql, true);
                emit_.OutputNames(false);
                Add(st, std::move(sql));
                break;
            }
            case StmtKind::SelectAssign: {
                st.kind = Step::Kind::Assign;
                const SelectCore& c = s.select->cores[0];
                // A variable assigned from rows that also reads itself would
                // see its new value row by row on SQL Server; here it is bound
                // once per statement, so refuse rather than differ.
                if (!c.from.empty()) {
                    std::set<int> targets;
                    for (const SelectItem& it : c.items) targets.insert(it.assignSlot);
                    for (const SelectItem& it : c.items) {
                        if (ReadsSlot(*it.expr, targets)) {
                            Unsupported(d_,
                                        "SELECT @v = ... FROM that reads the variable it assigns",
                                        c.pos);
                        }
                    }
                }
                for (const SelectItem& it : c.items) st.targets.push_back(it.assignSlot);
                if (s.select->cores.size() == 1 && c.from.empty() && !c.where && !c.top &&
                    c.groupBy.empty() && !c.having && !c.distinct) {
                    Local(st, c.items.size(), [&](std::size_t k) { return c.items[k].expr.get(); });
                }
                std::string sql;
                emit_.EmitSelect(*s.select, sql);
                Add(st, std::move(sql));
                break;
            }
            case StmtKind::SetVar: {
                st.kind = Step::Kind::Assign;
                st.targets.push_back(s.assigns[0].first);
                Local(st, 1, [&](std::size_t) { return s.assigns[0].second.get(); });
                std::string sql = "SELECT ";
                emit_.Emit(*s.assigns[0].second, sql);
                Add(st, std::move(sql));
                break;
            }
            case StmtKind::Declare: {
                st.kind = Step::Kind::Block;
                for (const auto& [slot, init] : s.assigns) {
                    Step a;
                    a.kind = Step::Kind::Assign;
                    a.keepRowCount = true;
                    a.begin = s.begin;
                    a.end = s.end;
                    a.targets.push_back(slot);
                    const Expr* value = init.get();
                    Local(a, 1, [value](std::size_t) { return value; });
                    std::string sql = "SELECT ";
                    emit_.Emit(*init, sql);
                    Add(a, std::move(sql));
                    st.body.push_back(std::move(a));
                }
                break;
            }
            case StmtKind::Insert:
                st.kind = Step::Kind::Exec;
                st.dml = true;
                Writes(s.target);
                Add(st, InsertSql(s));
                break;
            case StmtKind::Update: {
                st.kind = Step::Kind::Exec;
                st.dml = true;
                Writes(s.target);
                std::string sql = "UPDATE " + emit_.TableName(s.target) + " SET ";
                for (std::size_t i = 0; i < s.sets.size(); ++i) {
                    if (i > 0)
                        sql += ", ";
                    sql += d_.Name(s.sets[i].first) + " = ";
                    emit_.Emit(*s.sets[i].second, sql);
                }
                if (s.where) {
                    sql += " WHERE ";
                    emit_.Emit(*s.where, sql);
                }
                Add(st, std::move(sql));
                break;
            }
            case StmtKind::Delete: {
                st.kind = Step::Kind::Exec;
                st.dml = true;
                Writes(s.target);
                std::string sql = "DELETE FROM " + emit_.TableName(s.target);
                if (s.where) {
                    sql += " WHERE ";
                    emit_.Emit(*s.where, sql);
                }
                Add(st, std::move(sql));
                break;
            }
            case StmtKind::CreateTable:
                st.kind = Step::Kind::Exec;
                Writes(s.target);
                CreateSql(s, st);
                break;
            case StmtKind::DropTable:
                st.kind = Step::Kind::Exec;
                Writes(s.target);
                Add(st, std::string("DROP TABLE ") + (s.ifExists ? "IF EXISTS " : "") +
                            emit_.TableName(s.target));
                break;
            case StmtKind::SetOption:
            case StmtKind::Print:
                st.kind = Step::Kind::Nop;
                break;
            case StmtKind::If:
            case StmtKind::While: {
                st.kind = s.kind == StmtKind::If ? Step::Kind::If : Step::Kind::While;
                Local(st, 1, [&](std::size_t) { return s.cond.get(); });
                std::string sql = "SELECT CASE WHEN ";
                emit_.Emit(*s.cond, sql);
                sql += " THEN 1 ELSE 0 END";
                Add(st, std::move(sql));
                for (const StmtPtr& b : s.body) st.body.push_back(StepOf(*b));
                for (const StmtPtr& b : s.elseBody) st.elseBody.push_back(StepOf(*b));
                break;
            }
            case StmtKind::Block:
                st.kind = Step::Kind::Block;
                for (const StmtPtr& b : s.body) st.body.push_back(StepOf(*b));
                break;
            case StmtKind::Break:
                st.kind = Step::Kind::Break;
                break;
            case StmtKind::Continue:
                st.kind = Step::Kind::Continue;
                break;
            case StmtKind::Return:
                st.kind = Step::Kind::Return;
                break;
        }
        return st;
    }

    // The step's expressions the interpreter may work out itself: all of
    // them or none.
    template <class Get>
    static void Local(Step& st, std::size_t count, Get get) {
        std::vector<LocalExpr> local;
        for (std::size_t k = 0; k < count; ++k) {
            std::optional<LocalExpr> e = MakeLocal(*get(k));
            if (!e)
                return;
            local.push_back(std::move(*e));
        }
        st.local = std::move(local);
    }

    static bool ReadsSlot(const Expr& e, const std::set<int>& slots) {
        if (e.kind == ExprKind::Variable && slots.count(e.slot))
            return true;
        for (const ExprPtr& a : e.args) {
            if (ReadsSlot(*a, slots))
                return true;
        }
        return false;
    }

    std::string InsertSql(const Stmt& s) {
        std::string sql = "INSERT INTO " + emit_.TableName(s.target);
        if (!s.columns.empty()) {
            sql += " (";
            for (std::size_t i = 0; i < s.columns.size(); ++i) {
                if (i > 0)
                    sql += ", ";
                sql += d_.Name(s.columns[i]);
            }
            sql += ")";
        }
        if (s.defaultValues) {
            sql += " DEFAULT VALUES";
        } else if (s.select) {
            sql += " ";
            emit_.EmitSelect(*s.select, sql);
        } else {
            sql += " VALUES ";
            for (std::size_t r = 0; r < s.values.size(); ++r) {
                if (r > 0)
                    sql += ", ";
                sql += "(";
                for (std::size_t i = 0; i < s.values[r].size(); ++i) {
                    if (i > 0)
                        sql += ", ";
                    emit_.Emit(*s.values[r][i], sql);
                }
                sql += ")";
            }
        }
        return sql;
    }

    void CreateSql(const Stmt& s, Step& st) {
        Emitter::Pin pin(emit_);  // a table definition takes no parameters
        const TableRef& t = s.target;
        std::string sql = d_.CreateTable(t.name, t.temp);
        // An identity column must be the primary key by itself (SQLite makes
        // it its own row number).
        const ColumnDef* identity = nullptr;
        for (const ColumnDef& c : s.columnDefs) {
            if (c.identity)
                identity = &c;
        }
        if (identity) {
            bool otherKey =
                std::any_of(s.columnDefs.begin(), s.columnDefs.end(),
                            [&](const ColumnDef& c) { return c.primaryKey && !c.identity; });
            for (const auto& cols : s.primaryKeys) {
                if (cols.size() != 1 || !SameText(cols[0], identity->name))
                    otherKey = true;
            }
            if (otherKey)
                Unsupported(d_, "IDENTITY on a column outside the primary key", s.begin);
        }
        sql += " (";
        for (std::size_t i = 0; i < s.columnDefs.size(); ++i) {
            const ColumnDef& c = s.columnDefs[i];
            if (i > 0)
                sql += ", ";
            sql += d_.Name(c.name) + " ";
            if (c.identity) {
                sql += d_.IdentityColumn();
            } else {
                sql += d_.ColumnType(c.type);
                if (c.primaryKey)
                    sql += " PRIMARY KEY";
            }
            if (c.notNull)
                sql += " NOT NULL";
            if (c.unique)
                sql += " UNIQUE";
            if (c.defaultValue) {
                sql += " DEFAULT (";
                emit_.Emit(*c.defaultValue, sql);
                sql += ")";
            }
        }
        auto keys = [&](const std::vector<std::vector<std::string>>& list, const char* kind) {
            for (const auto& cols : list) {
                if (identity && cols.size() == 1 && SameText(cols[0], identity->name) &&
                    std::string_view(kind) == "PRIMARY KEY") {
                    continue;  // the identity column is the key already
                }
                sql += std::string(", ") + kind + " (";
                for (std::size_t i = 0; i < cols.size(); ++i) {
                    if (i > 0)
                        sql += ", ";
                    sql += d_.Name(cols[i]);
                }
                sql += ")";
            }
        };
        keys(s.primaryKeys, "PRIMARY KEY");
        keys(s.uniqueKeys, "UNIQUE");
        sql += ")";
        Add(st, std::move(sql));
        if (!t.temp)
            return;
        st.tempCreated = t.name;
        const auto* sets = lookups_.For(t.name);
        if (!sets)
            return;
        int n = 0;
        for (const auto& cols : *sets) {
            bool known = std::all_of(cols.begin(), cols.end(), [&](const std::string& c) {
                return std::any_of(s.columnDefs.begin(), s.columnDefs.end(),
                                   [&](const ColumnDef& d) { return SameText(d.name, c); });
            });
            if (!known)
                continue;
            Add(st, d_.TempIndex(t.name, t.name + "__lookup" + std::to_string(++n), cols));
        }
    }

    Batch& batch_;
    Emitter emit_;
    const Dialect& d_;
    TempLookups lookups_;
    Program program_;
    int literalCount_ = 0;
    std::vector<int> bound_;
};

}  // namespace

Program Translate(Batch batch, std::string_view source, const Dialect& dialect) {
    return Translator(batch, source, dialect).Run();
}

Program Compile(std::string_view source, const Dialect& dialect) {
    return Translate(ParseBatch(source, dialect.Engine()), source, dialect);
}

Program CompileBindingLiterals(std::string_view source, std::vector<Token> tokens,
                               const Dialect& dialect) {
    int count = 0;
    for (const Token& t : tokens) count += IsBindableLiteral(t) ? 1 : 0;
    Batch batch = ParseBatch(std::move(tokens), dialect.Engine());
    Translator translator(batch, source, dialect);
    translator.BindLiterals(count);
    return translator.Run();
}

}  // namespace orva::tsql
