// A translated batch: the steps the interpreter runs, each holding the
// statements it sends to the database engine. Prepared statements are kept on the steps, so a batch
// sent again (or a text differing only in bound literals) runs without
// parsing or preparing anything.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "host/tsql/ast.h"
#include "host/tsql/local_expr.h"

namespace orva::tsql {

// A statement the engine has prepared for a step; each engine keeps its own
// handle behind this.
class PreparedStatement {
  public:
    virtual ~PreparedStatement() = default;
};

struct Step {
    enum class Kind {
        Query,   // returns a record set
        Assign,  // SELECT @v = ... / SET @v = ...: last row into the target slots
        Exec,    // INSERT, UPDATE, DELETE (dml), CREATE, DROP
        If,      // sql[0] yields 1 or 0
        While,   // sql[0] yields 1 or 0
        Block,
        Break,
        Continue,
        Return,
        Nop,  // SET NOCOUNT, PRINT: @@ROWCOUNT becomes 0
    };
    Kind kind = Kind::Nop;
    std::vector<std::string> sql;
    // Parallel to sql: the text's literals the statement binds, as parameters
    // numbered from the count of variables + 1 on.
    std::vector<std::vector<int>> literals;
    mutable std::vector<std::unique_ptr<PreparedStatement>>
        prepared;               // parallel to sql, on first use
    mutable long lastRows = 0;  // Query: rows of the last run, to reserve
    // While: the engine's form of the whole loop, on first use, when it runs
    // loops itself (StatementRunner::RunLoop); `interpreted` once the engine
    // found it cannot.
    mutable std::unique_ptr<PreparedStatement> onEngine;
    mutable bool interpreted = false;
    bool dml = false;           // Exec: rows affected count
    bool keepRowCount = false;  // Assign from DECLARE ... = value
    std::string tempCreated;    // Exec: CREATE TABLE #name (drop a leftover first)
    std::vector<int> targets;   // Assign: slot per result column
    // If, While: the condition; Assign: the value per target; worked out by
    // the interpreter when it can (empty: always by the database).
    std::vector<LocalExpr> local;
    std::vector<Step> body;          // Block, If (then), While
    std::vector<Step> elseBody;      // If
    std::size_t begin = 0, end = 0;  // the statement's text in the batch
};

struct Program {
    std::vector<Step> steps;
    std::vector<Variable> variables;  // slot 0: @@ROWCOUNT
    bool writesDatabase = false;      // changes a table of the company database
    bool needsTransaction = false;    // more than one statement may run
    std::string source;               // the T-SQL text
    // Compiled to bind literals: how many the text holds, and those whose
    // values are written into the statements (a text runs this program only
    // when it holds the same values there).
    int literalCount = 0;
    std::vector<int> pinnedLiterals;
};

}  // namespace orva::tsql
