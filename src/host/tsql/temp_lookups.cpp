#include "host/tsql/temp_lookups.h"

#include <algorithm>
#include <set>

#include "host/base/text_util.h"
#include "host/tsql/translate_support.h"

namespace orva::tsql {

void TempLookups::Collect(const std::vector<StmtPtr>& stmts) {
    for (const StmtPtr& s : stmts) Stmt(*s);
}

const std::vector<std::vector<std::string>>* TempLookups::For(const std::string& table) const {
    auto it = sets_.find(ToLowerAscii(table));
    return it == sets_.end() ? nullptr : &it->second;
}

void TempLookups::Stmt(const struct Stmt& s) {
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

void TempLookups::Select(const struct Select& sel) {
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

void TempLookups::Expr(const struct Expr& e) {
    if (e.select)
        Select(*e.select);
    for (const ExprPtr& a : e.args) Expr(*a);
}

bool TempLookups::HasColumn(const struct Expr& e) {
    if (e.kind == ExprKind::Column || e.select)
        return true;
    for (const ExprPtr& a : e.args) {
        if (HasColumn(*a))
            return true;
    }
    return false;
}

void TempLookups::Conjuncts(const struct Expr& e, std::vector<const struct Expr*>& out) {
    const struct Expr& u = Unparen(e);
    if (u.kind == ExprKind::And) {
        Conjuncts(*u.args[0], out);
        Conjuncts(*u.args[1], out);
    } else {
        out.push_back(&u);
    }
}

void TempLookups::Where(const struct Expr& where, const std::string& table,
                        const std::string& alias) {
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

}  // namespace orva::tsql
