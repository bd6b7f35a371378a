#include "host/tsql/tree_depth.h"

#include <string>
#include <vector>

#include "host/tsql/tsql_error.h"

namespace orva::tsql {
namespace {

struct Pending {
    const Stmt* stmt = nullptr;
    const Select* select = nullptr;
    const Expr* expr = nullptr;
    int depth = 0;
};

class DepthWalk {
  public:
    explicit DepthWalk(int maxDepth) : max_(maxDepth) {}

    void Run(const Batch& batch) {
        for (const StmtPtr& s : batch.statements) Push(s.get(), 1);
        while (!todo_.empty()) {
            Pending p = todo_.back();
            todo_.pop_back();
            if (p.stmt) {
                Children(*p.stmt, p.depth + 1);
            } else if (p.select) {
                Children(*p.select, p.depth + 1);
            } else {
                Children(*p.expr, p.depth + 1);
            }
        }
    }

  private:
    void Check(int depth, std::size_t pos) const {
        if (depth <= max_)
            return;
        throw TsqlError("The T-SQL text is too deeply nested at offset " + std::to_string(pos) +
                            ": its syntax tree is more than " + std::to_string(max_) +
                            " levels deep.",
                        pos);
    }
    void Push(const Stmt* s, int depth) {
        Check(depth, s->begin);
        todo_.push_back({s, nullptr, nullptr, depth});
    }
    void Push(const Select* s, int depth) {
        if (!s)
            return;
        Check(depth, s->cores.empty() ? 0 : s->cores.front().pos);
        todo_.push_back({nullptr, s, nullptr, depth});
    }
    void Push(const Expr* e, int depth) {
        if (!e)
            return;
        Check(depth, e->pos);
        todo_.push_back({nullptr, nullptr, e, depth});
    }

    void Children(const Stmt& s, int depth) {
        Push(s.select.get(), depth);
        for (const auto& row : s.values)
            for (const ExprPtr& e : row) Push(e.get(), depth);
        for (const auto& set : s.sets) Push(set.second.get(), depth);
        Push(s.where.get(), depth);
        for (const ColumnDef& c : s.columnDefs) Push(c.defaultValue.get(), depth);
        for (const auto& a : s.assigns) Push(a.second.get(), depth);
        Push(s.cond.get(), depth);
        for (const StmtPtr& b : s.body) Push(b.get(), depth);
        for (const StmtPtr& b : s.elseBody) Push(b.get(), depth);
    }
    void Children(const Select& s, int depth) {
        for (const SelectCore& c : s.cores) {
            Push(c.top.get(), depth);
            for (const SelectItem& it : c.items) Push(it.expr.get(), depth);
            for (const JoinClause& j : c.from) {
                Push(j.table.derived.get(), depth);
                Push(j.on.get(), depth);
            }
            Push(c.where.get(), depth);
            for (const ExprPtr& g : c.groupBy) Push(g.get(), depth);
            Push(c.having.get(), depth);
        }
        for (const OrderItem& o : s.orderBy) Push(o.expr.get(), depth);
    }
    void Children(const Expr& e, int depth) {
        for (const ExprPtr& a : e.args) Push(a.get(), depth);
        Push(e.select.get(), depth);
    }

    int max_;
    std::vector<Pending> todo_;
};

}  // namespace

void CheckTreeDepth(const Batch& batch, int maxDepth) {
    DepthWalk(maxDepth).Run(batch);
}

}  // namespace orva::tsql
