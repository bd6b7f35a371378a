#include "host/tsql/interpreter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "host/base/text_util.h"
#include "host/tsql/decimal_round.h"
#include "host/tsql/tsql_error.h"
#include "host/tsql/utf8.h"

namespace orva::tsql {
namespace {

std::string ShortText(const std::string& s) {
    std::string_view v = s;
    if (v.size() > 60)
        v = v.substr(0, CharOffset(v, 60));
    return "'" + std::string(v) + "'";
}

std::optional<std::int64_t> ParseWholeNumber(std::string_view s) {
    s = Trim(s);
    if (s.empty())
        return std::nullopt;
    std::size_t i = (s[0] == '+' || s[0] == '-') ? 1 : 0;
    if (i == s.size())
        return std::nullopt;
    for (std::size_t k = i; k < s.size(); ++k) {
        if (s[k] < '0' || s[k] > '9')
            return std::nullopt;
    }
    if (s.size() - i > 18)
        return std::nullopt;
    return std::stoll(std::string(s));
}

}  // namespace

Variant ConvertForType(const Variant& v, const TypeSpec& type) {
    if (v.IsNull())
        return v;
    using B = TypeSpec::Base;
    const std::string* text = v.AsText();
    switch (type.base) {
        case B::Int:
        case B::Bit: {
            std::int64_t r = 0;
            if (const auto* i = v.AsInteger()) {
                r = *i;
            } else if (const auto* d = v.AsDouble()) {
                if (!(std::fabs(*d) < 9.2e18)) {
                    throw TsqlError(
                        "Arithmetic overflow error converting expression to data type int.");
                }
                r = static_cast<std::int64_t>(*d);
            } else if (text) {
                if (type.base == B::Bit &&
                    (EqualsNoCase(Trim(*text), "true") || EqualsNoCase(Trim(*text), "false"))) {
                    r = EqualsNoCase(Trim(*text), "true");
                } else if (auto n = ParseWholeNumber(*text)) {
                    r = *n;
                } else {
                    throw TsqlError("Conversion failed when converting the varchar value " +
                                    ShortText(*text) + " to data type " +
                                    (type.base == B::Bit ? "bit." : "int."));
                }
            } else {
                throw TsqlError("Operand type clash: datetime is incompatible with int");
            }
            return Variant(type.base == B::Bit ? static_cast<std::int64_t>(r != 0) : r);
        }
        case B::Float:
        case B::Decimal: {
            double d = 0;
            if (v.IsNumber()) {
                d = v.ToDouble();
            } else if (auto n = text ? ParseNumber(*text) : std::nullopt) {
                d = *n;
            } else {
                throw TsqlError(std::string("Error converting data type varchar to ") +
                                (type.base == B::Float ? "float." : "numeric."));
            }
            if (type.base == B::Decimal)
                d = RoundDecimal(d, type.scale);
            return Variant(d);
        }
        case B::Text: {
            std::string s = text ? *text : v.ToText();
            if (type.length >= 0) {
                std::size_t n = CountChars(s);
                if (n > static_cast<std::size_t>(type.length)) {
                    s.resize(CharOffset(s, static_cast<std::size_t>(type.length)));
                } else if (type.fixed) {
                    s.append(static_cast<std::size_t>(type.length) - n, ' ');
                }
            }
            return Variant(std::move(s));
        }
        case B::Date: {
            std::string s = text ? std::string(Trim(*text)) : v.ToText();
            if (!Date::Parse(s)) {
                throw TsqlError(
                    "Conversion failed when converting date and/or time from character string.");
            }
            return Variant(std::move(s));
        }
    }
    return v;
}

BatchResult Interpreter::Run(const Program& program, const std::vector<Variant>& literals) {
    program_ = &program;
    literals_ = &literals;
    vars_.assign(program.variables.size(), Variant());
    vars_[0] = Variant(std::int64_t{0});
    tempsCreated_.clear();
    result_ = BatchResult{};
    struct Done {
        Interpreter* self;
        ~Done() {
            self->program_ = nullptr;
            self->literals_ = nullptr;
        }
    } done{this};
    ExecList(program.steps);
    return std::move(result_);
}

Interpreter::Flow Interpreter::ExecList(const std::vector<Step>& steps) {
    for (const Step& s : steps) {
        Flow f = Exec(s);
        if (f != Flow::Next)
            return f;
    }
    return Flow::Next;
}

void Interpreter::Fail(const Step& step, const std::string& message) {
    throw TsqlError(message, step.begin);
}

Parameters Interpreter::ParamsOf(const Step& step, std::size_t i) const {
    Parameters p{vars_, program_->variables};
    if (i < step.literals.size() && !step.literals[i].empty()) {
        if (!literals_ || literals_->size() != static_cast<std::size_t>(program_->literalCount)) {
            throw TsqlError("The values of the text's literals were not given with the statement.",
                            step.begin);
        }
        p.literals = literals_;
        p.bound = &step.literals[i];
    }
    return p;
}

bool Interpreter::Condition(const Step& step) {
    if (!step.local.empty()) {
        if (auto v = EvalLocal(step.local[0], vars_, literals_))
            return *v != 0;
    }
    std::vector<Variant> last;
    if (runner_.LastRow(step, 0, ParamsOf(step, 0), last) == 0 || last.empty())
        Fail(step, "The condition returned no row.");
    return last[0].ToDouble() != 0;
}

void Interpreter::Assign(const Step& step) {
    if (!step.local.empty() && step.local.size() == step.targets.size()) {
        std::vector<std::int64_t> values;
        for (const LocalExpr& e : step.local) {
            auto v = EvalLocal(e, vars_, literals_);
            if (!v)
                break;
            values.push_back(*v);
        }
        if (values.size() == step.targets.size()) {
            // One row, as the select without FROM returns.
            for (std::size_t k = 0; k < values.size(); ++k) {
                const int slot = step.targets[k];
                try {
                    vars_[slot] =
                        ConvertForType(Variant(values[k]), program_->variables[slot].type);
                } catch (const TsqlError& e) {
                    Fail(step, e.what());
                }
            }
            if (!step.keepRowCount)
                vars_[0] = Variant(std::int64_t{1});
            return;
        }
    }
    std::vector<Variant> last;
    const std::int64_t rows = runner_.LastRow(step, 0, ParamsOf(step, 0), last);
    // The last row wins; no row leaves the variables as they were.
    if (rows > 0) {
        for (std::size_t k = 0; k < step.targets.size() && k < last.size(); ++k) {
            int slot = step.targets[k];
            try {
                vars_[slot] = ConvertForType(last[k], program_->variables[slot].type);
            } catch (const TsqlError& e) {
                Fail(step, e.what());
            }
        }
    }
    if (!step.keepRowCount)
        vars_[0] = Variant(rows);
}

void Interpreter::Query(const Step& step) {
    long rows = 0;
    RecordsetPtr rs = runner_.Query(step, 0, ParamsOf(step, 0), rows);
    step.lastRows = rows;
    result_.recordsets.push_back(std::move(rs));
    vars_[0] = Variant(static_cast<std::int64_t>(rows));
}

Interpreter::Flow Interpreter::Exec(const Step& step) {
    switch (step.kind) {
        case Step::Kind::Query:
            Query(step);
            return Flow::Next;
        case Step::Kind::Assign:
            Assign(step);
            return Flow::Next;
        case Step::Kind::Exec: {
            if (!step.tempCreated.empty() &&
                tempsCreated_.insert(ToLowerAscii(step.tempCreated)).second) {
                // A #table left by an earlier batch of this connection is
                // dropped before this batch creates it again.
                runner_.DropTempTable(step.tempCreated, step.begin);
            }
            std::int64_t changed = 0;
            for (std::size_t i = 0; i < step.sql.size(); ++i)
                changed = runner_.Execute(step, i, ParamsOf(step, i));
            if (step.dml) {
                result_.rowsAffected = static_cast<long>(changed);
                vars_[0] = Variant(changed);
            } else {
                vars_[0] = Variant(std::int64_t{0});
            }
            return Flow::Next;
        }
        case Step::Kind::If: {
            Flow f = Condition(step) ? ExecList(step.body) : ExecList(step.elseBody);
            return f;
        }
        case Step::Kind::While: {
            long changed = result_.rowsAffected;
            if (runner_.RunLoop(step, program_->variables, vars_, literals_, changed)) {
                result_.rowsAffected = changed;
                return Flow::Next;
            }
            long n = 0;
            while (Condition(step)) {
                if (++n > kMaxIterations) {
                    Fail(step, "The WHILE loop was stopped after " +
                                   std::to_string(kMaxIterations) + " iterations.");
                }
                Flow f = ExecList(step.body);
                if (f == Flow::Break)
                    break;
                if (f == Flow::Return)
                    return f;
            }
            return Flow::Next;
        }
        case Step::Kind::Block:
            return ExecList(step.body);
        case Step::Kind::Break:
            return Flow::Break;
        case Step::Kind::Continue:
            return Flow::Continue;
        case Step::Kind::Return:
            return Flow::Return;
        case Step::Kind::Nop:
            vars_[0] = Variant(std::int64_t{0});
            return Flow::Next;
    }
    return Flow::Next;
}

}  // namespace orva::tsql
