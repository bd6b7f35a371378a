// What the translator writes differently for each database engine: how
// parameters, names and temporary tables are spelt, how text is made to
// compare as SQL Server's default collation does (case-insensitive, trailing
// blanks ignored), which functions implement the T-SQL ones, and the column
// types of a table definition. One strategy per engine; the translator asks
// it and never which engine it is on.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/tsql/ast.h"

namespace orva::tsql {

class Dialect {
  public:
    virtual ~Dialect() = default;

    // The engine's name for messages ("... is not supported by the SQLite
    // company database").
    virtual const char* Engine() const = 0;

    // Parameter n (1-based) in a statement.
    virtual std::string Parameter(std::size_t n) const = 0;
    // Highest parameter number a statement may use.
    virtual std::size_t MaxParameter() const = 0;

    // A name as the engine finds it (tables, columns, aliases).
    virtual std::string Name(std::string_view name) const = 0;
    // A name of a column of the record set a batch returns, as written.
    virtual std::string OutputName(std::string_view name) const = 0;
    // Whether a plain column returned by a batch gets its name as written
    // (the engine would otherwise return it in another letter case).
    virtual bool NamesPlainColumns() const = 0;

    // The connection's temporary table #name.
    virtual std::string TempTable(std::string_view name) const = 0;
    // Index `index` on the temporary table `table` over `columns`.
    virtual std::string TempIndex(std::string_view table, std::string_view index,
                                  const std::vector<std::string>& columns) const = 0;
    // CREATE TABLE / CREATE TEMP TABLE.
    virtual std::string CreateTable(std::string_view name, bool temp) const = 0;

    // Written after a text operand of a comparison, DISTINCT or ORDER BY so
    // that it compares as the company collation does. Columns carry the
    // collation by themselves.
    virtual const char* Collate() const = 0;
    // Whether each text operand of a comparison needs Collate() (or only the
    // first, when neither operand is a column).
    virtual bool CollateEachOperand() const = 0;
    // Written after a GROUP BY expression, and after an ORDER BY that names
    // a select item's alias.
    virtual const char* GroupCollate() const = 0;
    virtual const char* AliasOrderCollate() const = 0;

    // "x LIKE p": what x and p are each written between, the text written
    // after x, the operator, and what follows the pattern when the text
    // gives no ESCAPE.
    virtual const char* LikeOperandBegin() const = 0;
    virtual const char* LikeOperandEnd() const = 0;
    virtual const char* LikeSubject() const = 0;
    virtual const char* LikeOperator(bool negated) const = 0;
    virtual const char* LikeNoEscape() const = 0;

    // The engine's function for a T-SQL one (nullptr: none).
    virtual const char* Function(std::string_view tsqlName) const = 0;
    // Function for a '/' or '%' that raises SQL Server's divide-by-zero
    // error (nullptr: the engine's operator does).
    virtual const char* Divide() const = 0;
    virtual const char* Modulo() const = 0;
    // Whether a scalar subquery needs the single-value aggregate to refuse a
    // second row (the engine would otherwise take the first).
    virtual bool WrapsScalarSubquery() const = 0;
    // Written after a derived table of a compound select's TOP.
    virtual const char* DerivedAlias() const = 0;

    // Column type of a table definition, and an identity column (the whole
    // declaration after the name, key included).
    virtual std::string ColumnType(const TypeSpec& type) const = 0;
    virtual const char* IdentityColumn() const = 0;
};

// A name between double quotes with inner quotes doubled, as both engines
// spell a quoted name.
std::string QuoteName(std::string_view name);

// "CREATE INDEX index ON table (c1, c2)": the index and table as the caller
// spells them, each column written by the dialect's Name.
std::string CreateIndex(const Dialect& dialect, std::string_view index, std::string_view table,
                        const std::vector<std::string>& columns);

// One row of an engine's table of functions: the T-SQL name and the engine's.
struct FunctionName {
    const char* tsql;
    const char* engine;
};
// The engine's function for a T-SQL one: from `own`, the functions the engine
// names its own way, else the one every engine names alike (nullptr: none).
const char* FindFunction(std::span<const FunctionName> own, std::string_view tsqlName);

}  // namespace orva::tsql
