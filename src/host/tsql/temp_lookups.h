#pragma once

#include <map>
#include <string>
#include <vector>

#include "host/tsql/ast.h"

namespace orva::tsql {

// Equality lookups that the batch makes on its own #temp tables: each set of
// columns compared with a constant or a variable gets an index when the table
// is created, so loops over a growing work table stay fast.
class TempLookups {
  public:
    void Collect(const std::vector<StmtPtr>& stmts);
    const std::vector<std::vector<std::string>>* For(const std::string& table) const;

  private:
    void Stmt(const struct Stmt& s);
    void Select(const struct Select& sel);
    void Expr(const struct Expr& e);
    static bool HasColumn(const struct Expr& e);
    static void Conjuncts(const struct Expr& e, std::vector<const struct Expr*>& out);
    void Where(const struct Expr& where, const std::string& table, const std::string& alias);

    std::map<std::string, std::vector<std::vector<std::string>>> sets_;
};

}  // namespace orva::tsql
