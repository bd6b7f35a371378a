#include "host/tsql/interpreter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>

#include <sys/mman.h>

#include "host/text_util.h"
#include "host/tsql/decimal_round.h"
#include "host/tsql/tsql_error.h"
#include "host/tsql/utf8.h"

namespace orva::tsql {
namespace {

struct ResetOnExit {
    sqlite3_stmt* stmt;
    ~ResetOnExit() { sqlite3_reset(stmt); }
};

Variant ColumnValue(sqlite3_stmt* s, int i) {
    switch (sqlite3_column_type(s, i)) {
        case SQLITE_INTEGER:
            return Variant(static_cast<std::int64_t>(sqlite3_column_int64(s, i)));
        case SQLITE_FLOAT:
            return Variant(sqlite3_column_double(s, i));
        case SQLITE_NULL:
            return Variant();
        default: {
            const char* p = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
            return Variant(std::string(p, static_cast<std::size_t>(sqlite3_column_bytes(s, i))));
        }
    }
}

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

namespace {

// Room for `count` cells in an empty vector. A large result is backed by huge
// pages where the system allows it: a fresh buffer of tens of megabytes is
// otherwise faulted in 4 KB at a time, which on a virtual machine costs more
// than reading the rows into it.
void ReserveCells(std::vector<Variant>& cells, std::size_t count) {
    cells.reserve(count);
#ifdef MADV_HUGEPAGE
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    const std::size_t bytes = count * sizeof(Variant);
    if (bytes >= 4 * kHugePage) {
        auto start = reinterpret_cast<std::uintptr_t>(cells.data());
        std::uintptr_t begin = (start + kHugePage - 1) & ~(kHugePage - 1);
        std::uintptr_t end = (start + bytes) & ~(kHugePage - 1);
        if (end > begin)
            ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
    }
#endif
}

std::vector<Variant> NullCells(std::size_t count) {
    std::vector<Variant> cells;
    ReserveCells(cells, count);
    cells.resize(count);
    return cells;
}

}  // namespace

RecordsetPtr ReadRecordset(sqlite3* db, sqlite3_stmt* stmt, int rc, long expectedRows, long& rows) {
    const int cols = sqlite3_column_count(stmt);
    std::vector<std::string> names;
    names.reserve(cols);
    for (int i = 0; i < cols; ++i) {
        const char* n = sqlite3_column_name(stmt, i);
        names.emplace_back(n ? n : "");
    }
    // Written straight into the record set's order, column by column, with
    // room for `capacity` rows per column (the previous run's count when the
    // statement ran before, so a repeated query moves nothing; a look-up that
    // found nothing last time starts small).
    std::size_t capacity = static_cast<std::size_t>(std::max(expectedRows, 2L));
    const std::size_t width = static_cast<std::size_t>(cols);
    std::vector<Variant> cells = NullCells(width * capacity);
    std::size_t r = 0;
    while (rc == SQLITE_ROW) {
        if (r == capacity) {
            std::size_t grown = capacity * 2;
            std::vector<Variant> more = NullCells(width * grown);
            for (std::size_t c = 0; c < width; ++c) {
                std::move(cells.begin() + c * capacity, cells.begin() + (c + 1) * capacity,
                          more.begin() + c * grown);
            }
            cells.swap(more);
            capacity = grown;
        }
        Variant* cell = cells.data() + r;
        for (int i = 0; i < cols; ++i, cell += capacity) {
            switch (sqlite3_column_type(stmt, i)) {
                case SQLITE_INTEGER:
                    *cell = static_cast<std::int64_t>(sqlite3_column_int64(stmt, i));
                    break;
                case SQLITE_FLOAT:
                    *cell = sqlite3_column_double(stmt, i);
                    break;
                case SQLITE_NULL:
                    break;
                default: {
                    const char* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
                    std::size_t n = static_cast<std::size_t>(sqlite3_column_bytes(stmt, i));
                    *cell = std::string(p, n);
                }
            }
        }
        ++r;
        rc = sqlite3_step(stmt);
    }
    if (rc != SQLITE_DONE)
        throw TsqlError(sqlite3_errmsg(db), std::string::npos, rc);
    if (r < capacity) {
        for (std::size_t c = 1; c < width; ++c) {
            std::move(cells.begin() + c * capacity, cells.begin() + c * capacity + r,
                      cells.begin() + c * r);
        }
        cells.resize(width * r);
        if (capacity > r + r / 4 + 16) {
            std::vector<Variant> exact;
            ReserveCells(exact, cells.size());
            exact.assign(std::make_move_iterator(cells.begin()),
                         std::make_move_iterator(cells.end()));
            cells.swap(exact);
        }
    }
    rows = static_cast<long>(r);
    return std::make_shared<Recordset>(Recordset::ByColumn{}, std::move(names), std::move(cells),
                                       r);
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

sqlite3_stmt* Interpreter::Prepared(const Step& step, std::size_t i) {
    if (step.prepared.size() < step.sql.size())
        step.prepared.resize(step.sql.size());
    if (!step.prepared[i]) {
        sqlite3_stmt* s = nullptr;
        int rc = sqlite3_prepare_v3(db_, step.sql[i].c_str(), static_cast<int>(step.sql[i].size()),
                                    SQLITE_PREPARE_PERSISTENT, &s, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(s);
            throw TsqlError(sqlite3_errmsg(db_), step.begin, rc);
        }
        step.prepared[i].reset(s);
    }
    return step.prepared[i].get();
}

namespace {

void BindValue(sqlite3_stmt* stmt, int i, const Variant& v) {
    if (const auto* x = v.AsInteger()) {
        sqlite3_bind_int64(stmt, i, *x);
    } else if (const auto* d = v.AsDouble()) {
        sqlite3_bind_double(stmt, i, *d);
    } else if (const auto* t = v.AsText()) {
        sqlite3_bind_text(stmt, i, t->data(), static_cast<int>(t->size()), SQLITE_STATIC);
    } else if (v.IsNull()) {
        sqlite3_bind_null(stmt, i);
    } else {
        std::string s = v.ToText();
        sqlite3_bind_text(stmt, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
    }
}

}  // namespace

// Variables are parameters 1 to n (n = count of variables); the literals the
// statement binds follow from n + 1 on.
void Interpreter::Bind(sqlite3_stmt* stmt, const Step& step, std::size_t i) {
    const int n = sqlite3_bind_parameter_count(stmt);
    const int vars = static_cast<int>(vars_.size());
    for (int k = 1; k <= n && k <= vars; ++k) BindValue(stmt, k, vars_[k - 1]);
    if (i >= step.literals.size() || step.literals[i].empty())
        return;
    const std::vector<int>& bound = step.literals[i];
    if (!literals_ || literals_->size() != static_cast<std::size_t>(program_->literalCount)) {
        throw TsqlError("The values of the text's literals were not given with the statement.",
                        step.begin);
    }
    for (std::size_t k = 0; k < bound.size(); ++k) {
        BindValue(stmt, vars + 1 + static_cast<int>(k),
                  (*literals_)[static_cast<std::size_t>(bound[k])]);
    }
}

void Interpreter::Run(const Step& step, std::size_t i) {
    sqlite3_stmt* s = Prepared(step, i);
    Bind(s, step, i);
    ResetOnExit guard{s};
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
    }
    if (rc != SQLITE_DONE)
        throw TsqlError(sqlite3_errmsg(db_), step.begin, rc);
}

bool Interpreter::Condition(const Step& step) {
    sqlite3_stmt* s = Prepared(step, 0);
    Bind(s, step, 0);
    ResetOnExit guard{s};
    int rc = sqlite3_step(s);
    if (rc != SQLITE_ROW)
        throw TsqlError(sqlite3_errmsg(db_), step.begin, rc);
    return sqlite3_column_int(s, 0) != 0;
}

void Interpreter::Assign(const Step& step) {
    sqlite3_stmt* s = Prepared(step, 0);
    Bind(s, step, 0);
    std::vector<Variant> last;
    std::int64_t rows = 0;
    {
        ResetOnExit guard{s};
        int rc;
        const int cols = sqlite3_column_count(s);
        while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
            last.clear();
            for (int c = 0; c < cols; ++c) last.push_back(ColumnValue(s, c));
            ++rows;
        }
        if (rc != SQLITE_DONE)
            throw TsqlError(sqlite3_errmsg(db_), step.begin, rc);
    }
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
    sqlite3_stmt* s = Prepared(step, 0);
    Bind(s, step, 0);
    ResetOnExit guard{s};
    long rows = 0;
    RecordsetPtr rs;
    try {
        rs = ReadRecordset(db_, s, sqlite3_step(s), step.lastRows, rows);
        step.lastRows = rows;
    } catch (const TsqlError& e) {
        throw TsqlError(e.what(), step.begin, e.SqliteCode());
    }
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
                std::string drop = "DROP TABLE IF EXISTS temp.\"";
                for (char c : step.tempCreated) {
                    if (c == '"')
                        drop.push_back('"');
                    drop.push_back(c);
                }
                drop += "\"";
                char* err = nullptr;
                int rc = sqlite3_exec(db_, drop.c_str(), nullptr, nullptr, &err);
                if (rc != SQLITE_OK) {
                    std::string msg = err ? err : sqlite3_errstr(rc);
                    sqlite3_free(err);
                    throw TsqlError(msg, step.begin, rc);
                }
            }
            for (std::size_t i = 0; i < step.sql.size(); ++i) Run(step, i);
            if (step.dml) {
                auto n = static_cast<std::int64_t>(sqlite3_changes64(db_));
                result_.rowsAffected = static_cast<long>(n);
                vars_[0] = Variant(n);
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
