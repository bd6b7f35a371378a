// Syntax tree of the T-SQL subset the layer understands: expressions, SELECT,
// the data statements and the batch control flow.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace orva::tsql {

struct Select;

// A declared data type: DECLARE, CAST, CONVERT, CREATE TABLE.
struct TypeSpec {
    enum class Base { Int, Bit, Float, Decimal, Text, Date };
    Base base = Base::Int;
    int length = -1;      // Text: characters, -1 unlimited
    int scale = 0;        // Decimal
    bool fixed = false;   // CHAR/NCHAR: padded with blanks
    std::string written;  // as written, for messages
};

enum class ExprKind {
    Null,
    Integer,
    Decimal,  // a number with a point or exponent
    String,
    Variable,  // slot
    RowCount,  // @@ROWCOUNT
    Column,    // qualifier.text
    Star,      // qualifier.* (select lists and COUNT(*))
    Unary,     // text: "-", "+", "~"; args[0]
    Binary,    // text: "+", "-", "*", "/", "%", "&", "|", "^"; args[0], args[1]
    Compare,   // text: "=", "<>", "<", ">", "<=", ">="; args[0], args[1]
    And,
    Or,
    Not,
    IsNull,    // negated: IS NOT NULL
    InList,    // args[0] IN (args[1..])
    InSelect,  // args[0] IN (select)
    Between,   // args[0] BETWEEN args[1] AND args[2]
    Like,      // args[0] LIKE args[1] [ESCAPE args[2]]
    Exists,    // select
    Subquery,  // scalar (select)
    Case,      // [operand] (when, then)* [else]
    Function,  // text: upper-case name; distinct; args
    Cast,      // type; args[0] value, args[1] style (CONVERT) when present
    Paren,     // args[0]
};

struct Expr;
using ExprPtr = std::unique_ptr<Expr>;

struct Expr {
    ExprKind kind = ExprKind::Null;
    std::string text;
    std::string qualifier;
    int slot = -1;
    bool negated = false;
    bool distinct = false;    // COUNT(DISTINCT x)
    bool hasOperand = false;  // CASE x WHEN ...
    bool hasElse = false;
    bool tempQualifier = false;  // qualifier is a #temp table name
    std::vector<ExprPtr> args;
    std::shared_ptr<Select> select;
    TypeSpec type;
    std::size_t pos = 0;
    // Integer, Decimal, String: which bindable literal of the batch text this
    // is (see literals.h), -1 for a value the text does not hold as such.
    int literal = -1;

    explicit Expr(ExprKind k, std::size_t p = 0) : kind(k), pos(p) {}
};

struct TableRef {
    std::string name;   // table name (schema prefix dropped)
    bool temp = false;  // #name: a temporary table of the connection
    std::string alias;
    std::shared_ptr<Select> derived;  // (SELECT ...) alias
    std::size_t pos = 0;
};

struct JoinClause {
    std::string op;  // "" first table, ",", "INNER JOIN", "LEFT JOIN", "RIGHT JOIN", "FULL JOIN",
                     // "CROSS JOIN"
    TableRef table;
    ExprPtr on;
};

struct SelectItem {
    ExprPtr expr;         // Star for * and t.*
    std::string alias;    // empty when none
    int assignSlot = -1;  // SELECT @v = expr
};

struct OrderItem {
    ExprPtr expr;
    bool desc = false;
};

struct SelectCore {
    bool distinct = false;
    ExprPtr top;
    std::vector<SelectItem> items;
    std::vector<JoinClause> from;
    ExprPtr where;
    std::vector<ExprPtr> groupBy;
    ExprPtr having;
    std::size_t pos = 0;
};

struct Select {
    std::vector<SelectCore> cores;
    std::vector<std::string> setOps;  // between cores: "UNION", "UNION ALL", "EXCEPT", "INTERSECT"
    std::vector<OrderItem> orderBy;
};

struct ColumnDef {
    std::string name;
    TypeSpec type;
    bool notNull = false;
    bool primaryKey = false;
    bool unique = false;
    bool identity = false;
    ExprPtr defaultValue;
};

enum class StmtKind {
    Select,        // returns rows
    SelectAssign,  // SELECT @v = ...
    Insert,
    Update,
    Delete,
    CreateTable,
    DropTable,
    Declare,
    SetVar,
    SetOption,  // SET NOCOUNT ON and the like: no effect
    If,
    While,
    Block,
    Break,
    Continue,
    Return,
    Print,
};

struct Stmt;
using StmtPtr = std::unique_ptr<Stmt>;

struct Stmt {
    StmtKind kind;
    std::size_t begin = 0, end = 0;  // source span

    std::shared_ptr<Select> select;            // Select, SelectAssign, Insert ... SELECT
    TableRef target;                           // Insert, Update, Delete, CreateTable, DropTable
    bool ifExists = false;                     // DROP TABLE IF EXISTS
    std::vector<std::string> columns;          // Insert column list
    std::vector<std::vector<ExprPtr>> values;  // Insert VALUES rows
    bool defaultValues = false;                // INSERT ... DEFAULT VALUES
    std::vector<std::pair<std::string, ExprPtr>> sets;              // Update
    ExprPtr where;                                                  // Update, Delete
    std::vector<ColumnDef> columnDefs;                              // CreateTable
    std::vector<std::vector<std::string>> primaryKeys, uniqueKeys;  // table constraints
    std::vector<std::pair<int, ExprPtr>> assigns;  // Declare (initialisers), SetVar
    ExprPtr cond;                                  // If, While
    std::vector<StmtPtr> body;                     // Block; If: then; While: body
    std::vector<StmtPtr> elseBody;                 // If

    explicit Stmt(StmtKind k) : kind(k) {}
};

// A parsed batch: its statements and its variables (slot 0 is @@ROWCOUNT).
struct Variable {
    std::string name;  // as first declared
    TypeSpec type;
};

struct Batch {
    std::vector<StmtPtr> statements;
    std::vector<Variable> variables;
};

}  // namespace orva::tsql
