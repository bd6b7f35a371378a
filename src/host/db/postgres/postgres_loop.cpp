#include "host/db/postgres/postgres_loop.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <functional>
#include <set>
#include <string_view>

#include "host/tsql/interpreter.h"

namespace orva {
namespace {

using tsql::Step;
using tsql::TypeSpec;

constexpr std::string_view kQuote = "$orva_loop$";
constexpr std::string_view kConditionStart = "SELECT CASE WHEN ";
constexpr std::string_view kConditionEnd = " THEN 1 ELSE 0 END";

// The server's type of a variable, as the statement runner binds it.
const char* SqlType(const TypeSpec& t) {
    switch (t.base) {
        case TypeSpec::Base::Int:
        case TypeSpec::Base::Bit:
            return "bigint";
        case TypeSpec::Base::Float:
        case TypeSpec::Base::Decimal:
            return "double precision";
        case TypeSpec::Base::Text:
        case TypeSpec::Base::Date:
            return "text";
    }
    return "text";
}

class Writer {
  public:
    Writer(const std::vector<tsql::Variable>& declared, const std::vector<Variant>* literals)
        : declared_(declared), literals_(literals) {}

    bool Loop(const Step& loop) { return Code(loop, 1); }

    std::string body;
    std::set<int> usedLiterals;
    std::vector<std::pair<int, std::size_t>> lines;
    int records = 0;
    int counters = 0;

  private:
    void Line(int depth, const std::string& text) {
        body.append(static_cast<std::size_t>(depth) * 2, ' ');
        body += text;
        body += '\n';
        ++line_;
    }
    // The code written from here on belongs to the statement at `pos`.
    void Mark(std::size_t pos) { lines.emplace_back(line_, pos); }

    static std::string Var(int slot) { return "orva_v" + std::to_string(slot); }

    // Statement i of the step with its parameters as the function's
    // variables and arguments; nullopt for a parameter it cannot name.
    std::optional<std::string> Sql(const Step& s, std::size_t i) {
        const std::size_t vars = declared_.size();
        std::optional<std::string> out =
            RenameParameters(s.sql[i], [&](std::size_t n) -> std::optional<std::string> {
                if (n >= 1 && n <= vars)
                    return Var(static_cast<int>(n - 1));
                const std::size_t b = n - vars - 1;
                if (i >= s.literals.size() || b >= s.literals[i].size() || !literals_)
                    return std::nullopt;
                const int lit = s.literals[i][b];
                if (lit < 0 || static_cast<std::size_t>(lit) >= literals_->size())
                    return std::nullopt;
                // A text literal takes the type its place asks for; a
                // function argument needs one of its own.
                if (!(*literals_)[static_cast<std::size_t>(lit)].IsNumber())
                    return std::nullopt;
                usedLiterals.insert(lit);
                return "orva_l" + std::to_string(lit);
            });
        if (!out || out->find(kQuote) != std::string::npos)
            return std::nullopt;
        return out;
    }

    // The condition of an IF or WHILE as an expression of the function.
    std::optional<std::string> Condition(const Step& s) {
        if (s.sql.size() != 1)
            return std::nullopt;
        std::optional<std::string> sql = Sql(s, 0);
        if (!sql || !sql->starts_with(kConditionStart) || !sql->ends_with(kConditionEnd))
            return std::nullopt;
        return "(" + sql->substr(7) + ") <> 0";
    }

    bool List(const std::vector<Step>& steps, int depth) {
        for (const Step& s : steps) {
            if (!Code(s, depth))
                return false;
        }
        return true;
    }

    // Writes the code of one step at `depth`; false when the step cannot run
    // inside the function (a record set, RETURN, a table created, a value
    // the function cannot hold).
    bool Code(const Step& s, int depth) {
        switch (s.kind) {
            case Step::Kind::Query:
            case Step::Kind::Return:
                return false;
            case Step::Kind::Nop:
                Mark(s.begin);
                Line(depth, Var(0) + " := 0;");
                return true;
            case Step::Kind::Break:
                Line(depth, "EXIT;");
                return true;
            case Step::Kind::Continue:
                Line(depth, "CONTINUE;");
                return true;
            case Step::Kind::Block:
                return List(s.body, depth);
            case Step::Kind::Exec:
                return ExecCode(s, depth);
            case Step::Kind::Assign:
                return AssignCode(s, depth);
            case Step::Kind::If:
                return IfCode(s, depth);
            case Step::Kind::While:
                return WhileCode(s, depth);
        }
        return false;
    }

    // Data changes, then @@ROWCOUNT and the function's row count from the last.
    bool ExecCode(const Step& s, int depth) {
        if (!s.dml || !s.tempCreated.empty() || s.sql.empty())
            return false;
        Mark(s.begin);
        for (std::size_t i = 0; i < s.sql.size(); ++i) {
            std::optional<std::string> sql = Sql(s, i);
            if (!sql)
                return false;
            Line(depth, *sql + ";");
        }
        Line(depth, "GET DIAGNOSTICS orva_k = ROW_COUNT;");
        Line(depth, Var(0) + " := orva_k;");
        Line(depth, "orva_rows := orva_k;");
        return true;
    }

    // SELECT @v = ... into integer variables only: their values convert the
    // way the statement runner converts them.
    bool AssignCode(const Step& s, int depth) {
        if (s.sql.size() != 1 || s.targets.empty())
            return false;
        for (int slot : s.targets) {
            if (slot <= 0 || static_cast<std::size_t>(slot) >= declared_.size() ||
                declared_[static_cast<std::size_t>(slot)].type.base != TypeSpec::Base::Int)
                return false;
        }
        std::optional<std::string> sql = Sql(s, 0);
        if (!sql)
            return false;
        Mark(s.begin);
        if (s.local.size() == 1 && s.targets.size() == 1 && sql->starts_with("SELECT ")) {
            // A value of variables and literals alone (no FROM): one row,
            // worked out as an expression of the function.
            Line(depth, Var(s.targets[0]) + " := orva_cast_int(" + sql->substr(7) + ", 0);");
            if (!s.keepRowCount)
                Line(depth, Var(0) + " := 1;");
            return true;
        }
        AssignFromRows(s, *sql, depth);
        return true;
    }

    // Every row of the query is read: the last one wins, as on SQL Server.
    void AssignFromRows(const Step& s, const std::string& sql, int depth) {
        const std::string r = "orva_r" + std::to_string(++records);
        std::string columns;
        for (std::size_t k = 0; k < s.targets.size(); ++k)
            columns += (k ? ", orva_c" : "orva_c") + std::to_string(k + 1);
        Line(depth, "orva_k := 0;");
        Line(depth, "FOR " + r + " IN SELECT * FROM (" + sql + ") AS orva_q(" + columns +
                        ") LOOP orva_k := orva_k + 1; END LOOP;");
        std::string assign = "IF orva_k > 0 THEN";
        for (std::size_t k = 0; k < s.targets.size(); ++k) {
            assign += " " + Var(s.targets[k]) + " := orva_cast_int(" + r + ".orva_c" +
                      std::to_string(k + 1) + ", 0);";
        }
        Line(depth, assign + " END IF;");
        if (!s.keepRowCount)
            Line(depth, Var(0) + " := orva_k;");
    }

    // IF with both branches; an empty branch still needs a statement.
    bool IfCode(const Step& s, int depth) {
        std::optional<std::string> cond = Condition(s);
        if (!cond)
            return false;
        Mark(s.begin);
        Line(depth, "IF " + *cond + " THEN");
        Line(depth + 1, "NULL;");
        if (!List(s.body, depth + 1))
            return false;
        Line(depth, "ELSE");
        Line(depth + 1, "NULL;");
        if (!List(s.elseBody, depth + 1))
            return false;
        Line(depth, "END IF;");
        return true;
    }

    // WHILE with the interpreter's bound on iterations and its message.
    bool WhileCode(const Step& s, int depth) {
        std::optional<std::string> cond = Condition(s);
        if (!cond)
            return false;
        const std::string n = "orva_n" + std::to_string(++counters);
        const std::string limit = std::to_string(tsql::Interpreter::kMaxIterations);
        Mark(s.begin);
        Line(depth, n + " := 0;");
        Line(depth, "WHILE " + *cond + " LOOP");
        Line(depth + 1, n + " := " + n + " + 1;");
        Line(depth + 1, "IF " + n + " > " + limit +
                            " THEN RAISE EXCEPTION 'The WHILE loop was stopped after " + limit +
                            " iterations.'; END IF;");
        if (!List(s.body, depth + 1))
            return false;
        Line(depth, "END LOOP;");
        return true;
    }

    const std::vector<tsql::Variable>& declared_;
    const std::vector<Variant>* literals_;
    int line_ = 1;  // the body's first line follows the opening quote
};

}  // namespace

std::optional<std::string> RenameParameters(
    std::string_view sql, const std::function<std::optional<std::string>(std::size_t)>& name) {
    std::string out;
    out.reserve(sql.size() + 32);
    for (std::size_t k = 0; k < sql.size();) {
        const char c = sql[k];
        if (c == '\'' || c == '"') {
            // A quoted literal or name: copied as it stands (a doubled quote
            // inside is two quotes in a row, copied likewise).
            const std::size_t end = sql.find(c, k + 1);
            if (end == std::string_view::npos)
                return std::nullopt;
            out.append(sql, k, end + 1 - k);
            k = end + 1;
            continue;
        }
        const bool afterName =
            k > 0 && (std::isalnum(static_cast<unsigned char>(sql[k - 1])) || sql[k - 1] == '_');
        if (c == '$' && !afterName && k + 1 < sql.size() &&
            std::isdigit(static_cast<unsigned char>(sql[k + 1]))) {
            std::size_t end = k + 1;
            std::size_t n = 0;
            while (end < sql.size() && std::isdigit(static_cast<unsigned char>(sql[end])))
                n = n * 10 + static_cast<std::size_t>(sql[end++] - '0');
            std::optional<std::string> named = name(n);
            if (!named)
                return std::nullopt;
            out += *named;
            k = end;
            continue;
        }
        out.push_back(c);
        ++k;
    }
    return out;
}

std::size_t LoopFunction::PositionOfLine(int line) const {
    std::size_t pos = std::string::npos;
    for (const auto& [first, at] : lines) {
        if (first > line)
            break;
        pos = at;
    }
    return pos;
}

std::optional<LoopFunction> WriteLoopFunction(const Step& loop, const std::string& name,
                                              const std::vector<tsql::Variable>& declared,
                                              const std::vector<Variant>* literals) {
    if (loop.kind != Step::Kind::While || declared.empty())
        return std::nullopt;
    Writer w(declared, literals);
    if (!w.Loop(loop))
        return std::nullopt;
    LoopFunction f;
    std::string params;
    for (std::size_t slot = 0; slot < declared.size(); ++slot) {
        params += (slot ? ", INOUT orva_v" : "INOUT orva_v") + std::to_string(slot) + " " +
                  SqlType(declared[slot].type);
    }
    for (int lit : w.usedLiterals) {
        params += ", orva_l" + std::to_string(lit) + " " +
                  ((*literals)[static_cast<std::size_t>(lit)].AsInteger() ? "bigint" : "numeric");
        f.literals.push_back(lit);
    }
    params += ", OUT orva_rows bigint";
    std::string declare = "DECLARE orva_k bigint;";
    for (int r = 1; r <= w.records; ++r) declare += " orva_r" + std::to_string(r) + " record;";
    for (int n = 1; n <= w.counters; ++n) declare += " orva_n" + std::to_string(n) + " bigint;";
    // Body line 1: the declarations; 2: BEGIN; the loop's code from line 3.
    for (auto& [line, pos] : w.lines) f.lines.emplace_back(line + 2, pos);
    f.definition = "CREATE FUNCTION pg_temp." + name + "(" + params + ") LANGUAGE plpgsql AS " +
                   std::string(kQuote) + declare + "\nBEGIN\n" + w.body + "END " +
                   std::string(kQuote);
    const std::size_t count = declared.size() + f.literals.size();
    f.call = "SELECT * FROM pg_temp." + name + "(";
    for (std::size_t k = 1; k <= count; ++k) f.call += (k > 1 ? ", $" : "$") + std::to_string(k);
    f.call += ")";
    return f;
}

int ErrorLineIn(const std::string& context, const std::string& name) {
    std::size_t at = context.find(name + "(");
    if (at == std::string::npos)
        return 0;
    const std::size_t line = context.find(" line ", at);
    const std::size_t eol = context.find('\n', at);
    if (line == std::string::npos || (eol != std::string::npos && line > eol))
        return 0;
    return std::atoi(context.c_str() + line + 6);
}

}  // namespace orva
