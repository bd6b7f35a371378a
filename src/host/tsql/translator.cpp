#include "host/tsql/translator.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <utility>

#include "host/base/text_util.h"
#include "host/tsql/dialect.h"
#include "host/tsql/emitter.h"
#include "host/tsql/literals.h"
#include "host/tsql/parser.h"
#include "host/tsql/temp_lookups.h"
#include "host/tsql/translate_support.h"
#include "host/tsql/tree_depth.h"
#include "host/tsql/tsql_error.h"

namespace orva::tsql {
namespace {

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

    // The step of one statement. Kept in one piece: one case per kind of
    // statement, so that every kind is seen to be translated; a case of more
    // than a few lines is a function of its own.
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
            case StmtKind::SelectAssign:
                st.kind = Step::Kind::Assign;
                SelectAssignStep(s, st);
                break;
            case StmtKind::SetVar: {
                st.kind = Step::Kind::Assign;
                st.targets.push_back(s.assigns[0].first);
                Local(st, 1, [&](std::size_t) { return s.assigns[0].second.get(); });
                std::string sql = "SELECT ";
                emit_.Emit(*s.assigns[0].second, sql);
                Add(st, std::move(sql));
                break;
            }
            case StmtKind::Declare:
                st.kind = Step::Kind::Block;
                DeclareSteps(s, st);
                break;
            case StmtKind::Insert:
                st.kind = Step::Kind::Exec;
                st.dml = true;
                Writes(s.target);
                Add(st, InsertSql(s));
                break;
            case StmtKind::Update:
                st.kind = Step::Kind::Exec;
                st.dml = true;
                Writes(s.target);
                Add(st, UpdateSql(s));
                break;
            case StmtKind::Delete:
                st.kind = Step::Kind::Exec;
                st.dml = true;
                Writes(s.target);
                Add(st, DeleteSql(s));
                break;
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

    // SELECT @v = ...: its targets, and its values worked out locally when
    // the select reads no table.
    void SelectAssignStep(const Stmt& s, Step& st) {
        const SelectCore& c = s.select->cores[0];
        // A variable assigned from rows that also reads itself would
        // see its new value row by row on SQL Server; here it is bound
        // once per statement, so refuse rather than differ.
        if (!c.from.empty()) {
            std::set<int> targets;
            for (const SelectItem& it : c.items) targets.insert(it.assignSlot);
            for (const SelectItem& it : c.items) {
                if (ReadsSlot(*it.expr, targets)) {
                    Unsupported(d_, "SELECT @v = ... FROM that reads the variable it assigns",
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
    }

    // DECLARE: one assignment step per variable with a value.
    void DeclareSteps(const Stmt& s, Step& st) {
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
    }

    std::string UpdateSql(const Stmt& s) {
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
        return sql;
    }

    std::string DeleteSql(const Stmt& s) {
        std::string sql = "DELETE FROM " + emit_.TableName(s.target);
        if (s.where) {
            sql += " WHERE ";
            emit_.Emit(*s.where, sql);
        }
        return sql;
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
        const ColumnDef* identity = IdentityColumn(s);
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
        AddTempIndexes(s, st);
    }

    // The table's identity column, or nullptr. An identity column must be the
    // primary key by itself (SQLite makes it its own row number).
    const ColumnDef* IdentityColumn(const Stmt& s) const {
        const ColumnDef* identity = nullptr;
        for (const ColumnDef& c : s.columnDefs) {
            if (c.identity)
                identity = &c;
        }
        if (!identity)
            return nullptr;
        bool otherKey =
            std::any_of(s.columnDefs.begin(), s.columnDefs.end(),
                        [&](const ColumnDef& c) { return c.primaryKey && !c.identity; });
        for (const auto& cols : s.primaryKeys) {
            if (cols.size() != 1 || !SameText(cols[0], identity->name))
                otherKey = true;
        }
        if (otherKey)
            Unsupported(d_, "IDENTITY on a column outside the primary key", s.begin);
        return identity;
    }

    // The indexes of the lookups the batch makes on the #temp table it
    // creates, over columns the table has.
    void AddTempIndexes(const Stmt& s, Step& st) {
        const TableRef& t = s.target;
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
