#include "host/tsql/parser.h"

#include <algorithm>
#include <charconv>
#include <unordered_map>

#include "host/base/nesting_depth.h"
#include "host/base/text_util.h"
#include "host/tsql/literals.h"
#include "host/tsql/tokenizer.h"
#include "host/tsql/tsql_error.h"

namespace orva::tsql {
namespace {

// Words that end an expression or a name: they can never be an alias.
const char* const kReserved[] = {
    "ADD",     "ALL",        "ALTER",    "AND",       "ANY",         "AS",         "ASC",
    "BEGIN",   "BETWEEN",    "BREAK",    "BY",        "CASE",        "CHECK",      "COLUMN",
    "COMMIT",  "CONSTRAINT", "CONTINUE", "CREATE",    "CROSS",       "CURSOR",     "DEALLOCATE",
    "DECLARE", "DEFAULT",    "DELETE",   "DESC",      "DISTINCT",    "DROP",       "ELSE",
    "END",     "ESCAPE",     "EXCEPT",   "EXEC",      "EXECUTE",     "EXISTS",     "FETCH",
    "FOR",     "FOREIGN",    "FROM",     "FULL",      "FUNCTION",    "GO",         "GOTO",
    "GRANT",   "GROUP",      "HAVING",   "IF",        "IN",          "INDEX",      "INNER",
    "INSERT",  "INTERSECT",  "INTO",     "IS",        "JOIN",        "KEY",        "LEFT",
    "LIKE",    "MERGE",      "NOT",      "NULL",      "OF",          "ON",         "OPEN",
    "OPTION",  "OR",         "ORDER",    "OUTER",     "OVER",        "PERCENT",    "PIVOT",
    "PRIMARY", "PRINT",      "PROC",     "PROCEDURE", "RAISERROR",   "REFERENCES", "RETURN",
    "REVOKE",  "RIGHT",      "ROLLBACK", "SAVE",      "SELECT",      "SET",        "TABLE",
    "THEN",    "TO",         "TOP",      "TRAN",      "TRANSACTION", "TRUNCATE",   "UNION",
    "UNIQUE",  "UNPIVOT",    "UPDATE",   "USE",       "VALUES",      "VIEW",       "WAITFOR",
    "WHEN",    "WHERE",      "WHILE",    "WITH",
};

bool IsReservedWord(std::string_view w) {
    for (const char* r : kReserved) {
        if (EqualsNoCase(w, r))
            return true;
    }
    return false;
}

class Parser {
  public:
    Parser(std::vector<Token> toks, std::string_view engine)
        : toks_(std::move(toks)), engine_(engine) {
        literals_.reserve(toks_.size());
        int n = 0;
        for (const Token& t : toks_) literals_.push_back(IsBindableLiteral(t) ? n++ : -1);
        Variable rc;
        rc.name = "@@ROWCOUNT";
        batch_.variables.push_back(rc);
    }

    Batch Run() {
        while (!AtEnd()) {
            if (Peek().IsSymbol(";")) {
                Next();
                continue;
            }
            batch_.statements.push_back(Statement());
        }
        return std::move(batch_);
    }

  private:
    // ---- token access ------------------------------------------------------

    const Token& Peek(std::size_t ahead = 0) const {
        std::size_t k = std::min(i_ + ahead, toks_.size() - 1);
        return toks_[k];
    }
    const Token& Next() {
        const Token& t = toks_[i_];
        if (i_ + 1 < toks_.size())
            ++i_;
        return t;
    }
    bool AtEnd() const { return Peek().kind == TokKind::End; }
    bool PeekKw(std::string_view kw, std::size_t ahead = 0) const { return Peek(ahead).Is(kw); }
    bool AcceptKw(std::string_view kw) {
        if (!PeekKw(kw))
            return false;
        Next();
        return true;
    }
    bool AcceptSym(std::string_view s) {
        if (!Peek().IsSymbol(s))
            return false;
        Next();
        return true;
    }

    [[noreturn]] void SyntaxError(const Token& t) const {
        if (t.kind == TokKind::End)
            throw TsqlError("Incorrect syntax near the end of the batch.", t.pos);
        std::string near = t.kind == TokKind::String ? "'" + t.text + "'" : t.text;
        throw TsqlError("Incorrect syntax near '" + near + "'.", t.pos);
    }
    [[noreturn]] void Unsupported(const std::string& construct, std::size_t pos) const {
        throw TsqlError("The T-SQL construct " + construct + " is not supported by the " +
                            std::string(engine_) + " company database.",
                        pos);
    }
    [[noreturn]] void TooDeep(const Token& t) const {
        std::string near =
            t.kind == TokKind::End ? std::string("the end of the batch") : "'" + t.text + "'";
        throw TsqlError("The T-SQL text is too deeply nested near " + near + " (offset " +
                            std::to_string(t.pos) + "): more than " +
                            std::to_string(NestingDepth::kMaxLevels) +
                            " levels of parentheses, subqueries, NOT, operators or IF, WHILE "
                            "and BEGIN blocks.",
                        t.pos);
    }
    // One level of nesting at token `t`, held while the returned scope lives.
    NestingDepth::Scope Nest(const Token& t) {
        return NestingDepth::Scope(depth_, [&] { TooDeep(t); });
    }

    void ExpectKw(std::string_view kw) {
        if (!AcceptKw(kw))
            SyntaxError(Peek());
    }
    void ExpectSym(std::string_view s) {
        if (!AcceptSym(s))
            SyntaxError(Peek());
    }

    bool IsNameToken(const Token& t) const {
        return t.kind == TokKind::QuotedIdent ||
               (t.kind == TokKind::Ident && !IsReservedWord(t.text));
    }
    std::string Name() {
        if (!IsNameToken(Peek()))
            SyntaxError(Peek());
        return Next().text;
    }

    // ---- variables ---------------------------------------------------------

    int Declare(const Token& t, const TypeSpec& type) {
        std::string key = ToLowerAscii(t.text);
        if (slots_.count(key)) {
            throw TsqlError("The variable name '" + t.text +
                                "' has already been declared. Variable names must be unique "
                                "within a query batch or stored procedure.",
                            t.pos);
        }
        int slot = static_cast<int>(batch_.variables.size());
        batch_.variables.push_back(Variable{t.text, type});
        slots_[key] = slot;
        return slot;
    }
    int SlotOf(const Token& t) const {
        auto it = slots_.find(ToLowerAscii(t.text));
        if (it == slots_.end()) {
            throw TsqlError("Must declare the scalar variable \"" + t.text + "\".", t.pos);
        }
        return it->second;
    }

    // ---- statements --------------------------------------------------------

    StmtPtr Statement() {
        const Token& t = Peek();
        auto level = Nest(t);
        std::size_t begin = t.pos;
        StmtPtr s = StatementOfKind(t);
        s->begin = begin;
        s->end = std::max(begin, Peek().pos);
        return s;
    }

    // Parses the statement that starts at `t`, chosen by its first word; a word this layer
    // does not run is refused by name.
    StmtPtr StatementOfKind(const Token& t) {
        if (t.Is("SELECT"))
            return SelectStatement();
        if (t.Is("INSERT"))
            return InsertStatement();
        if (t.Is("UPDATE"))
            return UpdateStatement();
        if (t.Is("DELETE"))
            return DeleteStatement();
        if (t.Is("TRUNCATE"))
            return TruncateStatement();
        if (t.Is("CREATE"))
            return CreateStatement();
        if (t.Is("DROP"))
            return DropStatement();
        if (t.Is("DECLARE"))
            return DeclareStatement();
        if (t.Is("SET"))
            return SetStatement();
        if (t.Is("IF"))
            return IfStatement();
        if (t.Is("WHILE"))
            return WhileStatement();
        if (t.Is("BEGIN"))
            return BlockStatement(t);
        if (t.Is("BREAK"))
            return WordStatement(StmtKind::Break);
        if (t.Is("CONTINUE"))
            return WordStatement(StmtKind::Continue);
        if (t.Is("RETURN"))
            return WordStatement(StmtKind::Return);
        if (t.Is("PRINT")) {
            auto s = WordStatement(StmtKind::Print);
            s->cond = Expression();
            return s;
        }
        RefuseStatement(t);
    }

    // A statement that is its keyword alone.
    StmtPtr WordStatement(StmtKind kind) {
        Next();
        return std::make_unique<Stmt>(kind);
    }

    // TRUNCATE TABLE t empties the table as DELETE without WHERE would.
    StmtPtr TruncateStatement() {
        Next();
        ExpectKw("TABLE");
        auto s = std::make_unique<Stmt>(StmtKind::Delete);
        s->target = TableName(false);
        return s;
    }

    StmtPtr WhileStatement() {
        Next();
        auto s = std::make_unique<Stmt>(StmtKind::While);
        s->cond = Expression();
        s->body.push_back(BodyStatement());
        return s;
    }

    // BEGIN ... END; BEGIN TRAN and BEGIN TRY are refused, since a batch already runs as one
    // transaction and errors end it.
    StmtPtr BlockStatement(const Token& t) {
        if (PeekKw("TRAN", 1) || PeekKw("TRANSACTION", 1) || PeekKw("DISTRIBUTED", 1)) {
            Unsupported("BEGIN TRANSACTION (a batch already runs as one transaction)", t.pos);
        }
        if (PeekKw("TRY", 1) || PeekKw("CATCH", 1))
            Unsupported("BEGIN TRY ... END CATCH", t.pos);
        Next();
        auto s = std::make_unique<Stmt>(StmtKind::Block);
        for (;;) {
            while (AcceptSym(";")) {
            }
            if (AcceptKw("END"))
                break;
            if (AtEnd())
                SyntaxError(Peek());
            s->body.push_back(Statement());
        }
        return s;
    }

    // Names the construct a statement starting at `t` would need, or reports a syntax error
    // when `t` cannot start a statement at all.
    [[noreturn]] void RefuseStatement(const Token& t) const {
        if (t.Is("COMMIT") || t.Is("ROLLBACK") || t.Is("SAVE"))
            Unsupported(ToUpperAscii(t.text) + " (a batch already runs as one transaction)", t.pos);
        if (t.Is("WITH"))
            Unsupported("WITH (common table expressions)", t.pos);
        if (t.Is("GO"))
            Unsupported("GO (a client tool separator, not T-SQL)", t.pos);
        if (t.kind == TokKind::Ident && IsReservedWord(t.text) && !t.Is("END") && !t.Is("ELSE"))
            Unsupported(ToUpperAscii(t.text), t.pos);
        if (t.kind == TokKind::Ident &&
            (t.Is("RAISERROR") || t.Is("THROW") || t.Is("MERGE") || t.Is("EXEC"))) {
            Unsupported(ToUpperAscii(t.text), t.pos);
        }
        SyntaxError(t);
    }

    StmtPtr BodyStatement() {
        while (AcceptSym(";")) {
        }
        if (AtEnd() || PeekKw("END") || PeekKw("ELSE"))
            SyntaxError(Peek());
        return Statement();
    }

    StmtPtr IfStatement() {
        Next();
        auto s = std::make_unique<Stmt>(StmtKind::If);
        s->cond = Expression();
        s->body.push_back(BodyStatement());
        std::size_t save = i_;
        while (AcceptSym(";")) {
        }
        if (AcceptKw("ELSE")) {
            s->elseBody.push_back(BodyStatement());
        } else {
            i_ = save;
        }
        return s;
    }

    StmtPtr SelectStatement() {
        auto sel = SelectExpr(true);
        bool assigns = false, returns = false;
        for (const SelectCore& c : sel->cores) {
            for (const SelectItem& it : c.items) (it.assignSlot >= 0 ? assigns : returns) = true;
        }
        if (assigns && (returns || sel->cores.size() > 1)) {
            throw TsqlError(
                "A SELECT statement that assigns a value to a variable must not be combined with "
                "data-retrieval operations.",
                sel->cores.front().pos);
        }
        auto s = std::make_unique<Stmt>(assigns ? StmtKind::SelectAssign : StmtKind::Select);
        s->select = std::move(sel);
        return s;
    }

    StmtPtr InsertStatement() {
        Next();
        auto s = std::make_unique<Stmt>(StmtKind::Insert);
        if (PeekKw("TOP"))
            Unsupported("INSERT TOP", Peek().pos);
        AcceptKw("INTO");
        s->target = TableName(false);
        if (Peek().IsSymbol("(") && !PeekKw("SELECT", 1)) {
            Next();
            do {
                s->columns.push_back(Name());
            } while (AcceptSym(","));
            ExpectSym(")");
        }
        if (AcceptKw("VALUES")) {
            do {
                ExpectSym("(");
                std::vector<ExprPtr> row;
                do {
                    row.push_back(Expression());
                } while (AcceptSym(","));
                ExpectSym(")");
                s->values.push_back(std::move(row));
            } while (AcceptSym(","));
        } else if (PeekKw("SELECT") || (Peek().IsSymbol("(") && PeekKw("SELECT", 1))) {
            s->select = SelectExpr(false);
        } else if (AcceptKw("DEFAULT")) {
            ExpectKw("VALUES");
            s->defaultValues = true;
        } else if (PeekKw("EXEC") || PeekKw("EXECUTE")) {
            Unsupported("INSERT ... EXEC", Peek().pos);
        } else {
            SyntaxError(Peek());
        }
        return s;
    }

    StmtPtr UpdateStatement() {
        Next();
        auto s = std::make_unique<Stmt>(StmtKind::Update);
        if (PeekKw("TOP"))
            Unsupported("UPDATE TOP", Peek().pos);
        s->target = TableName(false);
        ExpectKw("SET");
        do {
            const Token& t = Peek();
            if (t.kind == TokKind::Variable)
                Unsupported("SET @variable in UPDATE", t.pos);
            std::string col = Name();
            while (AcceptSym(".")) col = Name();  // t.col: the qualifier names the target
            if (Peek().kind == TokKind::Symbol && Peek().text.size() == 2 &&
                Peek().text[1] == '=' && Peek().text != "<=" && Peek().text != ">=" &&
                Peek().text != "!=") {
                Unsupported("compound assignment '" + Peek().text + "'", Peek().pos);
            }
            ExpectSym("=");
            s->sets.emplace_back(col, Expression());
        } while (AcceptSym(","));
        if (PeekKw("FROM"))
            Unsupported("UPDATE ... FROM", Peek().pos);
        if (AcceptKw("WHERE"))
            s->where = Expression();
        return s;
    }

    StmtPtr DeleteStatement() {
        Next();
        auto s = std::make_unique<Stmt>(StmtKind::Delete);
        if (PeekKw("TOP"))
            Unsupported("DELETE TOP", Peek().pos);
        AcceptKw("FROM");
        s->target = TableName(false);
        if (PeekKw("FROM"))
            Unsupported("DELETE ... FROM ... (a second FROM)", Peek().pos);
        if (AcceptKw("WHERE"))
            s->where = Expression();
        return s;
    }

    StmtPtr CreateStatement() {
        const Token& kw = Next();
        if (!AcceptKw("TABLE")) {
            Unsupported("CREATE " + (AtEnd() ? std::string() : ToUpperAscii(Peek().text)), kw.pos);
        }
        auto s = std::make_unique<Stmt>(StmtKind::CreateTable);
        s->target = TableName(false);
        ExpectSym("(");
        do {
            if (AcceptKw("CONSTRAINT"))
                Name();
            if (PeekKw("PRIMARY") || PeekKw("UNIQUE")) {
                bool primary = AcceptKw("PRIMARY");
                if (primary) {
                    ExpectKw("KEY");
                } else {
                    Next();
                }
                if (!AcceptKw("CLUSTERED"))
                    AcceptKw("NONCLUSTERED");
                ExpectSym("(");
                std::vector<std::string> cols;
                do {
                    cols.push_back(Name());
                    if (!AcceptKw("ASC"))
                        AcceptKw("DESC");
                } while (AcceptSym(","));
                ExpectSym(")");
                (primary ? s->primaryKeys : s->uniqueKeys).push_back(std::move(cols));
                continue;
            }
            if (PeekKw("FOREIGN") || PeekKw("CHECK") || PeekKw("INDEX")) {
                Unsupported(ToUpperAscii(Peek().text) + " in CREATE TABLE", Peek().pos);
            }
            ColumnDef c;
            c.name = Name();
            c.type = Type();
            for (;;) {
                if (AcceptKw("NOT")) {
                    ExpectKw("NULL");
                    c.notNull = true;
                } else if (AcceptKw("NULL")) {
                } else if (AcceptKw("PRIMARY")) {
                    ExpectKw("KEY");
                    if (!AcceptKw("CLUSTERED"))
                        AcceptKw("NONCLUSTERED");
                    c.primaryKey = true;
                } else if (AcceptKw("UNIQUE")) {
                    c.unique = true;
                } else if (AcceptKw("IDENTITY")) {
                    c.identity = true;
                    if (AcceptSym("(")) {
                        const Token& seed = Next();
                        ExpectSym(",");
                        const Token& inc = Next();
                        ExpectSym(")");
                        if (seed.text != "1" || inc.text != "1") {
                            Unsupported("IDENTITY(" + seed.text + "," + inc.text + ")", seed.pos);
                        }
                    }
                } else if (AcceptKw("DEFAULT")) {
                    c.defaultValue = Primary();
                } else if (AcceptKw("COLLATE")) {
                    Name();  // text columns always take the database's collation
                } else if (AcceptKw("CONSTRAINT")) {
                    Name();
                } else {
                    break;
                }
            }
            s->columnDefs.push_back(std::move(c));
        } while (AcceptSym(","));
        ExpectSym(")");
        return s;
    }

    StmtPtr DropStatement() {
        const Token& kw = Next();
        if (!AcceptKw("TABLE")) {
            Unsupported("DROP " + (AtEnd() ? std::string() : ToUpperAscii(Peek().text)), kw.pos);
        }
        auto s = std::make_unique<Stmt>(StmtKind::DropTable);
        if (PeekKw("IF") && PeekKw("EXISTS", 1)) {
            Next();
            Next();
            s->ifExists = true;
        }
        s->target = TableName(false);
        if (Peek().IsSymbol(","))
            Unsupported("DROP TABLE of several tables", Peek().pos);
        return s;
    }

    StmtPtr DeclareStatement() {
        Next();
        auto s = std::make_unique<Stmt>(StmtKind::Declare);
        do {
            const Token& v = Peek();
            if (v.kind != TokKind::Variable)
                SyntaxError(v);
            Next();
            AcceptKw("AS");
            if (PeekKw("TABLE") || PeekKw("CURSOR")) {
                Unsupported("DECLARE ... " + ToUpperAscii(Peek().text), Peek().pos);
            }
            TypeSpec type = Type();
            ExprPtr init;
            if (AcceptSym("="))
                init = Expression();
            int slot = Declare(v, type);  // visible only after its own declaration
            if (init)
                s->assigns.emplace_back(slot, std::move(init));
        } while (AcceptSym(","));
        return s;
    }

    StmtPtr SetStatement() {
        Next();
        const Token& t = Peek();
        if (t.kind == TokKind::Variable) {
            Next();
            int slot = SlotOf(t);
            if (!Peek().IsSymbol("=")) {
                if (Peek().kind == TokKind::Symbol && Peek().text.size() == 2 &&
                    Peek().text[1] == '=') {
                    Unsupported("compound assignment '" + Peek().text + "'", Peek().pos);
                }
                SyntaxError(Peek());
            }
            Next();
            auto s = std::make_unique<Stmt>(StmtKind::SetVar);
            s->assigns.emplace_back(slot, Expression());
            return s;
        }
        static const char* const kOptions[] = {
            "NOCOUNT",    "ANSI_NULLS", "QUOTED_IDENTIFIER", "ANSI_WARNINGS",
            "ARITHABORT", "XACT_ABORT", "ANSI_PADDING",      "CONCAT_NULL_YIELDS_NULL"};
        for (const char* opt : kOptions) {
            if (t.Is(opt)) {
                Next();
                if (!AcceptKw("ON") && !AcceptKw("OFF"))
                    SyntaxError(Peek());
                auto s = std::make_unique<Stmt>(StmtKind::SetOption);
                // Only NOCOUNT is sent by the module; the others keep SQL Server's defaults,
                // which is what the layer does, so turning them OFF would change results.
                if (!t.Is("NOCOUNT") && toks_[i_ - 1].Is("OFF") && !t.Is("XACT_ABORT") &&
                    !t.Is("ARITHABORT")) {
                    Unsupported("SET " + ToUpperAscii(t.text) + " OFF", t.pos);
                }
                return s;
            }
        }
        Unsupported("SET " + (t.kind == TokKind::End ? std::string() : ToUpperAscii(t.text)),
                    t.pos);
    }

    // ---- names and types ---------------------------------------------------

    TableRef TableName(bool allowAlias = true) {
        TableRef r;
        r.pos = Peek().pos;
        if (Peek().kind == TokKind::TempName) {
            if (Peek().text.rfind("##", 0) == 0)
                Unsupported("global temporary table " + Peek().text, r.pos);
            r.name = Next().text;
            r.temp = true;
        } else {
            r.name = Name();
            // database.schema.table: only the table name counts.
            while (AcceptSym(".")) {
                if (Peek().IsSymbol("."))
                    continue;
                if (Peek().kind == TokKind::TempName) {
                    r.name = Next().text;
                    r.temp = true;
                    break;
                }
                r.name = Name();
            }
        }
        if (allowAlias) {
            if (AcceptKw("AS")) {
                r.alias = Name();
            } else if (IsNameToken(Peek())) {
                r.alias = Next().text;
            }
            TableHints();
        }
        return r;
    }

    void TableHints() {
        if (!(PeekKw("WITH") && Peek(1).IsSymbol("(")))
            return;
        Next();
        Next();
        do {
            const Token& h = Next();
            if (!(h.Is("NOLOCK") || h.Is("READUNCOMMITTED") || h.Is("ROWLOCK") || h.Is("UPDLOCK") ||
                  h.Is("HOLDLOCK") || h.Is("READCOMMITTED"))) {
                Unsupported("table hint " + h.text, h.pos);
            }
        } while (AcceptSym(","));
        ExpectSym(")");
    }

    TypeSpec Type() {
        const Token& t = Peek();
        if (t.kind != TokKind::Ident)
            SyntaxError(t);
        Next();
        TypeSpec ty;
        ty.written = t.text;
        std::string n = ToUpperAscii(t.text);
        if (n == "INT" || n == "INTEGER" || n == "BIGINT" || n == "SMALLINT" || n == "TINYINT") {
            ty.base = TypeSpec::Base::Int;
        } else if (n == "BIT") {
            ty.base = TypeSpec::Base::Bit;
        } else if (n == "FLOAT" || n == "REAL") {
            ty.base = TypeSpec::Base::Float;
            if (AcceptSym("(")) {
                Next();
                ExpectSym(")");
            }
        } else if (n == "DECIMAL" || n == "NUMERIC" || n == "MONEY" || n == "SMALLMONEY") {
            ty.base = TypeSpec::Base::Decimal;
            ty.scale = n == "MONEY" || n == "SMALLMONEY" ? 4 : 0;
            if ((n == "DECIMAL" || n == "NUMERIC") && AcceptSym("(")) {
                const int precision = Size(t, 1, 38);
                if (AcceptSym(",")) {
                    const Token& at = Peek();
                    ty.scale = Size(t, 0, 38);
                    if (ty.scale > precision) {
                        throw TsqlError("The scale (" + at.text + ") for type '" + t.text +
                                            "' must be within the range 0 to precision (" +
                                            std::to_string(precision) + ").",
                                        at.pos);
                    }
                }
                ExpectSym(")");
            }
        } else if (n == "VARCHAR" || n == "NVARCHAR" || n == "CHAR" || n == "NCHAR" ||
                   n == "TEXT" || n == "NTEXT" || n == "SYSNAME") {
            ty.base = TypeSpec::Base::Text;
            ty.fixed = n == "CHAR" || n == "NCHAR";
            ty.length = n == "TEXT" || n == "NTEXT" ? -1 : (n == "SYSNAME" ? 128 : 1);
            if (AcceptSym("(")) {
                if (AcceptKw("MAX")) {
                    ty.length = -1;
                } else {
                    ty.length = Size(t, 1, n[0] == 'N' ? 4000 : 8000);
                }
                ExpectSym(")");
            }
        } else if (n == "DATETIME" || n == "DATE" || n == "SMALLDATETIME" || n == "DATETIME2") {
            ty.base = TypeSpec::Base::Date;
            if (n == "DATETIME2" && AcceptSym("(")) {
                Size(t, 0, 7);
                ExpectSym(")");
            }
        } else {
            Unsupported("data type " + t.text, t.pos);
        }
        return ty;
    }

    // A length, precision or scale of data type `type`, between min and max as
    // the server allows them.
    int Size(const Token& type, int min, int max) {
        const Token& t = Peek();
        if (t.kind != TokKind::Number || !t.isInteger)
            SyntaxError(t);
        Next();
        int value = 0;
        const char* end = t.text.data() + t.text.size();
        auto [stop, ec] = std::from_chars(t.text.data(), end, value);
        if (stop == end && ec == std::errc() && value >= min && value <= max)
            return value;
        if (stop == end && (ec == std::errc::result_out_of_range || value > max)) {
            throw TsqlError("The size (" + t.text + ") given to the type '" + type.text +
                                "' exceeds the maximum allowed for any data type (" +
                                std::to_string(max) + ").",
                            t.pos);
        }
        throw TsqlError("The length or precision " + t.text + " given to the type '" + type.text +
                            "' is invalid: it must be at least " + std::to_string(min) + ".",
                        t.pos);
    }

    // ---- SELECT ------------------------------------------------------------

    std::shared_ptr<Select> SelectExpr(bool allowAssign) {
        auto level = Nest(Peek());
        auto sel = std::make_shared<Select>();
        sel->cores.push_back(Core(allowAssign));
        for (;;) {
            if (AcceptKw("UNION")) {
                sel->setOps.push_back(AcceptKw("ALL") ? "UNION ALL" : "UNION");
            } else if (AcceptKw("EXCEPT")) {
                sel->setOps.push_back("EXCEPT");
            } else if (AcceptKw("INTERSECT")) {
                sel->setOps.push_back("INTERSECT");
            } else {
                break;
            }
            if (Peek().IsSymbol("("))
                Unsupported("a parenthesised query in UNION", Peek().pos);
            sel->cores.push_back(Core(allowAssign));
        }
        if (PeekKw("ORDER")) {
            Next();
            ExpectKw("BY");
            do {
                OrderItem o;
                o.expr = Expression();
                if (AcceptKw("DESC")) {
                    o.desc = true;
                } else {
                    AcceptKw("ASC");
                }
                sel->orderBy.push_back(std::move(o));
            } while (AcceptSym(","));
        }
        if (PeekKw("FOR"))
            Unsupported("FOR XML / FOR BROWSE", Peek().pos);
        if (PeekKw("OPTION"))
            Unsupported("OPTION (query hints)", Peek().pos);
        if (PeekKw("COMPUTE"))
            Unsupported("COMPUTE", Peek().pos);
        return sel;
    }

    // A query inside another one: ORDER BY only with TOP, as on the server.
    std::shared_ptr<Select> SubqueryExpr() {
        auto sel = SelectExpr(false);
        if (!sel->orderBy.empty() && !(sel->cores.size() == 1 && sel->cores[0].top)) {
            throw TsqlError(
                "The ORDER BY clause is invalid in views, inline functions, derived tables, "
                "subqueries, and common table expressions, unless TOP is also specified.",
                sel->orderBy.front().expr->pos);
        }
        return sel;
    }

    SelectCore Core(bool allowAssign) {
        SelectCore c;
        c.pos = Peek().pos;
        ExpectKw("SELECT");
        if (AcceptKw("DISTINCT")) {
            c.distinct = true;
        } else {
            AcceptKw("ALL");
        }
        if (PeekKw("TOP"))
            c.top = Top();
        do {
            c.items.push_back(Item(allowAssign));
        } while (AcceptSym(","));
        if (PeekKw("INTO"))
            Unsupported("SELECT ... INTO", Peek().pos);
        if (AcceptKw("FROM"))
            c.from = FromClause();
        if (AcceptKw("WHERE"))
            c.where = Expression();
        if (PeekKw("GROUP")) {
            Next();
            ExpectKw("BY");
            do {
                c.groupBy.push_back(Expression());
            } while (AcceptSym(","));
        }
        if (AcceptKw("HAVING"))
            c.having = Expression();
        if (!allowAssign) {
            for (const SelectItem& it : c.items) {
                if (it.assignSlot >= 0) {
                    throw TsqlError("A variable cannot be assigned in a subquery.", c.pos);
                }
            }
        }
        return c;
    }

    // TOP n or TOP (expression); PERCENT and WITH TIES are refused.
    ExprPtr Top() {
        const Token& top = Next();
        ExprPtr count;
        if (AcceptSym("(")) {
            count = Expression();
            ExpectSym(")");
        } else {
            const Token& n = Peek();
            if (n.kind != TokKind::Number)
                SyntaxError(n);
            count = Primary();
        }
        if (PeekKw("PERCENT"))
            Unsupported("TOP ... PERCENT", top.pos);
        if (PeekKw("WITH") && PeekKw("TIES", 1))
            Unsupported("TOP ... WITH TIES", top.pos);
        return count;
    }

    // The tables after FROM: the first source, then each joined one with its ON condition
    // (none for a comma or CROSS JOIN).
    std::vector<JoinClause> FromClause() {
        std::vector<JoinClause> from;
        JoinClause first;
        first.table = TableSource();
        from.push_back(std::move(first));
        for (;;) {
            JoinClause j;
            j.op = JoinOperator();
            if (j.op.empty())
                return from;
            j.table = TableSource();
            if (j.op != "," && j.op != "CROSS JOIN") {
                ExpectKw("ON");
                j.on = Expression();
            }
            from.push_back(std::move(j));
        }
    }

    // Reads the join operator before the next table source, spelled as the translator writes
    // it; empty when the FROM clause ends here.
    std::string JoinOperator() {
        if (AcceptSym(","))
            return ",";
        if (PeekKw("JOIN") || PeekKw("INNER")) {
            AcceptKw("INNER");
            ExpectKw("JOIN");
            return "INNER JOIN";
        }
        if (PeekKw("LEFT") || PeekKw("RIGHT") || PeekKw("FULL")) {
            std::string kind = ToUpperAscii(Next().text);
            AcceptKw("OUTER");
            ExpectKw("JOIN");
            return kind + " JOIN";
        }
        if (PeekKw("CROSS")) {
            Next();
            if (PeekKw("APPLY"))
                Unsupported("CROSS APPLY", Peek().pos);
            ExpectKw("JOIN");
            return "CROSS JOIN";
        }
        if (PeekKw("OUTER") && PeekKw("APPLY", 1))
            Unsupported("OUTER APPLY", Peek().pos);
        return {};
    }

    TableRef TableSource() {
        if (Peek().IsSymbol("(")) {
            TableRef r;
            r.pos = Peek().pos;
            Next();
            if (!PeekKw("SELECT"))
                Unsupported("a parenthesised join", r.pos);
            r.derived = SubqueryExpr();
            ExpectSym(")");
            AcceptKw("AS");
            if (!IsNameToken(Peek())) {
                throw TsqlError("A derived table must have an alias (Incorrect syntax near '" +
                                    Peek().text + "').",
                                Peek().pos);
            }
            r.alias = Next().text;
            return r;
        }
        if (Peek().kind == TokKind::Variable)
            Unsupported("table variables", Peek().pos);
        if (Peek().kind == TokKind::Ident && Peek(1).IsSymbol("(") &&
            !IsReservedWord(Peek().text)) {
            Unsupported("table-valued function " + Peek().text, Peek().pos);
        }
        return TableName();
    }

    SelectItem Item(bool allowAssign) {
        SelectItem it;
        const Token& t = Peek();
        if (t.kind == TokKind::Variable && Peek(1).IsSymbol("=")) {
            Next();
            Next();
            if (!allowAssign)
                throw TsqlError("A variable cannot be assigned in a subquery.", t.pos);
            it.assignSlot = SlotOf(t);
            it.expr = Expression();
            return it;
        }
        if (t.IsSymbol("*")) {
            Next();
            it.expr = std::make_unique<Expr>(ExprKind::Star, t.pos);
            return it;
        }
        if ((IsNameToken(t) || t.kind == TokKind::TempName) && Peek(1).IsSymbol(".") &&
            Peek(2).IsSymbol("*")) {
            Next();
            Next();
            Next();
            it.expr = std::make_unique<Expr>(ExprKind::Star, t.pos);
            it.expr->qualifier = t.text;
            it.expr->tempQualifier = t.kind == TokKind::TempName;
            return it;
        }
        // alias = expression
        if ((IsNameToken(t) || t.kind == TokKind::String) && Peek(1).IsSymbol("=")) {
            Next();
            Next();
            it.alias = t.text;
            it.expr = Expression();
            return it;
        }
        it.expr = Expression();
        if (AcceptKw("AS")) {
            const Token& a = Peek();
            if (a.kind == TokKind::String) {
                it.alias = Next().text;
            } else {
                it.alias = Name();
            }
        } else if (IsNameToken(Peek()) || Peek().kind == TokKind::String) {
            it.alias = Next().text;
        }
        return it;
    }

    // ---- expressions -------------------------------------------------------

    ExprPtr Expression() {
        auto level = Nest(Peek());
        return OrExpr();
    }

    ExprPtr MakeBinary(ExprKind k, std::string op, ExprPtr a, ExprPtr b, std::size_t pos) {
        auto e = std::make_unique<Expr>(k, pos);
        e->text = std::move(op);
        e->args.push_back(std::move(a));
        e->args.push_back(std::move(b));
        return e;
    }

    // Each operator of a chain puts the tree one level deeper.
    ExprPtr OrExpr() {
        ExprPtr e = AndExpr();
        NestingDepth::Scope chain(depth_);
        while (PeekKw("OR")) {
            chain.Deeper([&] { TooDeep(Peek()); });
            std::size_t p = Next().pos;
            e = MakeBinary(ExprKind::Or, "OR", std::move(e), AndExpr(), p);
        }
        return e;
    }

    ExprPtr AndExpr() {
        ExprPtr e = NotExpr();
        NestingDepth::Scope chain(depth_);
        while (PeekKw("AND")) {
            chain.Deeper([&] { TooDeep(Peek()); });
            std::size_t p = Next().pos;
            e = MakeBinary(ExprKind::And, "AND", std::move(e), NotExpr(), p);
        }
        return e;
    }

    ExprPtr NotExpr() {
        if (PeekKw("NOT")) {
            auto level = Nest(Peek());
            std::size_t p = Next().pos;
            auto e = std::make_unique<Expr>(ExprKind::Not, p);
            e->args.push_back(NotExpr());
            return e;
        }
        return Predicate();
    }

    ExprPtr Predicate() {
        const Token& t = Peek();
        if (t.Is("EXISTS")) {
            Next();
            ExpectSym("(");
            auto e = std::make_unique<Expr>(ExprKind::Exists, t.pos);
            e->select = SubqueryExpr();
            ExpectSym(")");
            return e;
        }
        ExprPtr a = Additive();
        const Token& op = Peek();
        if (op.kind == TokKind::Symbol) {
            if (IsComparison(op.text))
                return Comparison(std::move(a));
            return a;
        }
        if (op.Is("IS")) {
            Next();
            auto e = std::make_unique<Expr>(ExprKind::IsNull, op.pos);
            e->negated = AcceptKw("NOT");
            ExpectKw("NULL");
            e->args.push_back(std::move(a));
            return e;
        }
        bool negated = false;
        if (op.Is("NOT") && (PeekKw("IN", 1) || PeekKw("LIKE", 1) || PeekKw("BETWEEN", 1))) {
            Next();
            negated = true;
        }
        return RangePredicate(std::move(a), negated);
    }

    static bool IsComparison(const std::string& o) {
        return o == "=" || o == "<>" || o == "!=" || o == "<" || o == ">" || o == "<=" ||
               o == ">=" || o == "!<" || o == "!>";
    }

    // `a` followed by a comparison operator and its right operand; the operators written with
    // "!" become their standard forms.
    ExprPtr Comparison(ExprPtr a) {
        const Token& op = Next();
        if (PeekKw("ALL") || PeekKw("ANY") || PeekKw("SOME"))
            Unsupported(ToUpperAscii(Peek().text) + " (subquery)", Peek().pos);
        std::string o = op.text;
        if (o == "!=")
            o = "<>";
        if (o == "!<")
            o = ">=";
        if (o == "!>")
            o = "<=";
        return MakeBinary(ExprKind::Compare, o, std::move(a), Additive(), op.pos);
    }

    // `a` IN (...), BETWEEN x AND y or LIKE p [ESCAPE e], `negated` when NOT came before the
    // keyword; `a` itself when none of them follows.
    ExprPtr RangePredicate(ExprPtr a, bool negated) {
        const Token& kw = Peek();
        ExprPtr e;
        if (kw.Is("IN")) {
            Next();
            ExpectSym("(");
            e = std::make_unique<Expr>(PeekKw("SELECT") ? ExprKind::InSelect : ExprKind::InList,
                                       kw.pos);
            e->args.push_back(std::move(a));
            if (e->kind == ExprKind::InSelect) {
                e->select = SubqueryExpr();
            } else {
                do {
                    e->args.push_back(Expression());
                } while (AcceptSym(","));
            }
            ExpectSym(")");
        } else if (kw.Is("BETWEEN")) {
            Next();
            e = std::make_unique<Expr>(ExprKind::Between, kw.pos);
            e->args.push_back(std::move(a));
            e->args.push_back(Additive());
            ExpectKw("AND");
            e->args.push_back(Additive());
        } else if (kw.Is("LIKE")) {
            Next();
            e = std::make_unique<Expr>(ExprKind::Like, kw.pos);
            e->args.push_back(std::move(a));
            e->args.push_back(Additive());
            if (AcceptKw("ESCAPE"))
                e->args.push_back(Additive());
        } else {
            return a;
        }
        e->negated = negated;
        return e;
    }

    ExprPtr Additive() {
        ExprPtr e = Multiplicative();
        NestingDepth::Scope chain(depth_);
        for (;;) {
            const Token& op = Peek();
            if (op.IsSymbol("+") || op.IsSymbol("-") || op.IsSymbol("&") || op.IsSymbol("|") ||
                op.IsSymbol("^")) {
                chain.Deeper([&] { TooDeep(op); });
                Next();
                e = MakeBinary(ExprKind::Binary, op.text, std::move(e), Multiplicative(), op.pos);
            } else {
                return e;
            }
        }
    }

    ExprPtr Multiplicative() {
        ExprPtr e = Unary();
        NestingDepth::Scope chain(depth_);
        for (;;) {
            const Token& op = Peek();
            if (op.IsSymbol("*") || op.IsSymbol("/") || op.IsSymbol("%")) {
                chain.Deeper([&] { TooDeep(op); });
                Next();
                e = MakeBinary(ExprKind::Binary, op.text, std::move(e), Unary(), op.pos);
            } else {
                return e;
            }
        }
    }

    ExprPtr Unary() {
        const Token& t = Peek();
        if (t.IsSymbol("-") || t.IsSymbol("+") || t.IsSymbol("~")) {
            auto level = Nest(t);
            Next();
            auto e = std::make_unique<Expr>(ExprKind::Unary, t.pos);
            e->text = t.text;
            e->args.push_back(Unary());
            return e;
        }
        return Primary();
    }

    ExprPtr Primary() {
        const Token& t = Peek();
        switch (t.kind) {
            case TokKind::Number:
                return Literal(t.isInteger ? ExprKind::Integer : ExprKind::Decimal);
            case TokKind::String:
                return Literal(ExprKind::String);
            case TokKind::Variable: {
                Next();
                auto e = std::make_unique<Expr>(ExprKind::Variable, t.pos);
                e->slot = SlotOf(t);
                e->text = t.text;
                return e;
            }
            case TokKind::SysVariable: {
                Next();
                if (!EqualsNoCase(t.text, "@@ROWCOUNT"))
                    Unsupported(t.text, t.pos);
                auto e = std::make_unique<Expr>(ExprKind::RowCount, t.pos);
                e->slot = 0;
                return e;
            }
            case TokKind::Symbol:
                if (t.text == "(")
                    return Parenthesised();
                SyntaxError(t);
            case TokKind::TempName:
            case TokKind::QuotedIdent:
                return ColumnRef();
            case TokKind::Ident:
                return WordPrimary(t);
            case TokKind::End:
                SyntaxError(t);
        }
        SyntaxError(t);
    }

    // The number or string at the current token, with its ordinal among the bindable literals.
    ExprPtr Literal(ExprKind kind) {
        const int literal = literals_[i_];
        const Token& t = Next();
        auto e = std::make_unique<Expr>(kind, t.pos);
        e->text = t.text;
        e->literal = literal;
        return e;
    }

    // ( expression ) or a scalar subquery ( SELECT ... ).
    ExprPtr Parenthesised() {
        const Token& t = Next();
        ExprPtr e;
        if (PeekKw("SELECT")) {
            e = std::make_unique<Expr>(ExprKind::Subquery, t.pos);
            e->select = SubqueryExpr();
        } else {
            e = std::make_unique<Expr>(ExprKind::Paren, t.pos);
            e->args.push_back(Expression());
        }
        ExpectSym(")");
        return e;
    }

    // A primary that starts with a word: NULL, CASE, CAST, CONVERT, a function call or a
    // column.
    ExprPtr WordPrimary(const Token& t) {
        if (t.Is("NULL")) {
            Next();
            return std::make_unique<Expr>(ExprKind::Null, t.pos);
        }
        if (t.Is("CASE"))
            return CaseExpr();
        if (t.Is("CAST") || t.Is("CONVERT"))
            return CastExpr(t);
        if (Peek(1).IsSymbol("("))
            return FunctionCall();
        if (IsReservedWord(t.text))
            SyntaxError(t);
        return ColumnRef();
    }

    // CAST(x AS type) and CONVERT(type, x [, style]) give the same node; the style is kept as
    // a second argument.
    ExprPtr CastExpr(const Token& t) {
        Next();
        ExpectSym("(");
        auto e = std::make_unique<Expr>(ExprKind::Cast, t.pos);
        if (t.Is("CAST")) {
            e->args.push_back(Expression());
            ExpectKw("AS");
            e->type = Type();
        } else {
            e->type = Type();
            ExpectSym(",");
            e->args.push_back(Expression());
            if (AcceptSym(","))
                e->args.push_back(Expression());
        }
        ExpectSym(")");
        return e;
    }

    ExprPtr ColumnRef() {
        const Token& first = Next();
        auto e = std::make_unique<Expr>(ExprKind::Column, first.pos);
        std::vector<const Token*> parts{&first};
        while (Peek().IsSymbol(".") &&
               (IsNameToken(Peek(1)) || Peek(1).kind == TokKind::TempName)) {
            Next();
            parts.push_back(&Next());
        }
        e->text = parts.back()->text;
        if (parts.size() >= 2) {
            const Token* q = parts[parts.size() - 2];
            e->qualifier = q->text;
            e->tempQualifier = q->kind == TokKind::TempName;
        }
        if (first.kind == TokKind::TempName && parts.size() == 1)
            SyntaxError(first);
        return e;
    }

    ExprPtr FunctionCall() {
        const Token& t = Next();
        Next();  // (
        auto e = std::make_unique<Expr>(ExprKind::Function, t.pos);
        e->text = ToUpperAscii(t.text);
        if (AcceptSym(")"))
            return e;
        if (Peek().IsSymbol("*")) {
            const Token& star = Next();
            e->args.push_back(std::make_unique<Expr>(ExprKind::Star, star.pos));
        } else {
            if (AcceptKw("DISTINCT")) {
                e->distinct = true;
            } else {
                AcceptKw("ALL");
            }
            do {
                e->args.push_back(Expression());
            } while (AcceptSym(","));
        }
        ExpectSym(")");
        if (PeekKw("OVER"))
            Unsupported("window functions (OVER)", Peek().pos);
        return e;
    }

    ExprPtr CaseExpr() {
        const Token& t = Next();
        auto e = std::make_unique<Expr>(ExprKind::Case, t.pos);
        if (!PeekKw("WHEN")) {
            e->hasOperand = true;
            e->args.push_back(Expression());
        }
        if (!PeekKw("WHEN"))
            SyntaxError(Peek());
        while (AcceptKw("WHEN")) {
            e->args.push_back(Expression());
            ExpectKw("THEN");
            e->args.push_back(Expression());
        }
        if (AcceptKw("ELSE")) {
            e->hasElse = true;
            e->args.push_back(Expression());
        }
        ExpectKw("END");
        return e;
    }

    std::vector<Token> toks_;
    std::string_view engine_;  // named in the refusal of a construct
    NestingDepth depth_;
    std::vector<int> literals_;  // per token: its ordinal among the bindable literals, or -1
    std::size_t i_ = 0;
    Batch batch_;
    std::unordered_map<std::string, int> slots_;
};

}  // namespace

Batch ParseBatch(std::string_view sql, std::string_view engine) {
    return Parser(Tokenize(sql), engine).Run();
}

Batch ParseBatch(std::vector<Token> tokens, std::string_view engine) {
    return Parser(std::move(tokens), engine).Run();
}

}  // namespace orva::tsql
