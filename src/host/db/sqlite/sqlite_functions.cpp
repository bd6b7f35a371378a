#include "host/db/sqlite/sqlite_functions.h"

#include <sqlite3.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "host/tsql/decimal_round.h"
#include "host/tsql/utf8.h"
#include "orvasaleprice/com_error.h"
#include "orvasaleprice/variant.h"

namespace orva {
namespace {

using tsql::CompareNoCase;
using tsql::DecodeUtf8;
using tsql::EncodeUtf8;
using tsql::FoldCase;

int CollateNoCase(void*, int na, const void* a, int nb, const void* b) {
    return CompareNoCase(std::string_view(static_cast<const char*>(a), na),
                         std::string_view(static_cast<const char*>(b), nb));
}

std::string_view TextOf(sqlite3_value* v) {
    const unsigned char* p = sqlite3_value_text(v);
    int n = sqlite3_value_bytes(v);
    return p ? std::string_view(reinterpret_cast<const char*>(p), n) : std::string_view();
}

bool AnyNull(int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL)
            return true;
    }
    return false;
}

void ResultText(sqlite3_context* ctx, std::string_view s) {
    sqlite3_result_text(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

void ResultText(sqlite3_context* ctx, std::string&& s) {
    sqlite3_result_text(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

void Error(sqlite3_context* ctx, const std::string& msg) {
    sqlite3_result_error(ctx, msg.c_str(), static_cast<int>(msg.size()));
}

std::string Quoted(std::string_view s) {
    if (s.size() > 60)
        s = s.substr(0, tsql::CharOffset(s, 60));
    return "'" + std::string(s) + "'";
}

// ---- text functions -------------------------------------------------------

void FnLen(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    sqlite3_result_int64(ctx, tsql::CountChars(tsql::TrimTrailingBlanks(TextOf(argv[0]))));
}

void LeftRight(sqlite3_context* ctx, sqlite3_value** argv, bool left) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    std::int64_t n = sqlite3_value_int64(argv[1]);
    if (n < 0) {
        return Error(ctx, std::string("Invalid length parameter passed to the ") +
                              (left ? "left" : "right") + " function.");
    }
    std::string_view s = TextOf(argv[0]);
    if (left)
        return ResultText(ctx, s.substr(0, tsql::CharOffset(s, static_cast<std::size_t>(n))));
    std::size_t total = tsql::CountChars(s);
    std::size_t skip = static_cast<std::uint64_t>(n) >= total ? 0 : total - n;
    ResultText(ctx, s.substr(tsql::CharOffset(s, skip)));
}

void FnLeft(sqlite3_context* ctx, int, sqlite3_value** argv) {
    LeftRight(ctx, argv, true);
}
void FnRight(sqlite3_context* ctx, int, sqlite3_value** argv) {
    LeftRight(ctx, argv, false);
}

void FnReverse(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    std::string_view s = TextOf(argv[0]);
    std::string out(s.size(), '\0');
    std::size_t end = s.size();
    for (std::size_t i = 0; i < s.size();) {
        std::size_t start = i;
        DecodeUtf8(s, i);
        std::size_t n = i - start;
        end -= n;
        s.copy(out.data() + end, n, start);
    }
    ResultText(ctx, std::move(out));
}

// Position (1-based, in characters) of needle in hay from character `from`,
// comparing as the collation does (without blank padding); 0 when absent.
std::int64_t FindChars(std::string_view needle, std::string_view hay, std::int64_t from) {
    if (needle.empty())
        return 0;
    std::size_t start = from > 1 ? tsql::CharOffset(hay, static_cast<std::size_t>(from - 1)) : 0;
    std::int64_t pos = from > 1 ? from : 1;
    for (std::size_t i = start; i < hay.size(); ++pos) {
        std::size_t a = i, b = 0;
        bool match = true;
        while (b < needle.size()) {
            if (a >= hay.size() ||
                FoldCase(DecodeUtf8(hay, a)) != FoldCase(DecodeUtf8(needle, b))) {
                match = false;
                break;
            }
        }
        if (match)
            return pos;
        DecodeUtf8(hay, i);
    }
    return 0;
}

void FnCharIndex(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (AnyNull(argc, argv))
        return sqlite3_result_null(ctx);
    std::int64_t from = argc > 2 ? sqlite3_value_int64(argv[2]) : 1;
    sqlite3_result_int64(ctx, FindChars(TextOf(argv[0]), TextOf(argv[1]), from));
}

void MapCase(sqlite3_context* ctx, sqlite3_value** argv, char32_t (*f)(char32_t)) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    std::string_view s = TextOf(argv[0]);
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) EncodeUtf8(f(DecodeUtf8(s, i)), out);
    ResultText(ctx, std::move(out));
}

void FnUpper(sqlite3_context* ctx, int, sqlite3_value** argv) {
    MapCase(ctx, argv, tsql::ToUpper);
}
void FnLower(sqlite3_context* ctx, int, sqlite3_value** argv) {
    MapCase(ctx, argv, tsql::ToLower);
}

void FnReplace(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (AnyNull(argc, argv))
        return sqlite3_result_null(ctx);
    std::string_view s = TextOf(argv[0]), from = TextOf(argv[1]), to = TextOf(argv[2]);
    if (from.empty())
        return ResultText(ctx, s);
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        std::size_t a = i, b = 0;
        bool match = true;
        while (b < from.size()) {
            if (a >= s.size() || FoldCase(DecodeUtf8(s, a)) != FoldCase(DecodeUtf8(from, b))) {
                match = false;
                break;
            }
        }
        if (match) {
            out.append(to);
            i = a;
        } else {
            std::size_t start = i;
            DecodeUtf8(s, i);
            out.append(s.substr(start, i - start));
        }
    }
    ResultText(ctx, std::move(out));
}

// LIKE as the company collation matches: '%' any run, '_' one character,
// letters case-insensitively, every blank significant.
bool LikeMatch(std::string_view p, std::size_t pi, std::string_view s, std::size_t si,
               char32_t escape) {
    while (pi < p.size()) {
        std::size_t next = pi;
        char32_t pc = DecodeUtf8(p, next);
        if (pc == escape) {
            if (next >= p.size())
                return false;
            pc = DecodeUtf8(p, next);
            if (si >= s.size() || FoldCase(DecodeUtf8(s, si)) != FoldCase(pc))
                return false;
            pi = next;
            continue;
        }
        if (pc == '%') {
            while (next < p.size() && p[next] == '%') ++next;
            if (next >= p.size())
                return true;
            for (std::size_t k = si; k <= s.size();) {
                if (LikeMatch(p, next, s, k, escape))
                    return true;
                if (k == s.size())
                    break;
                DecodeUtf8(s, k);
            }
            return false;
        }
        if (si >= s.size())
            return false;
        char32_t sc = DecodeUtf8(s, si);
        if (pc != '_' && FoldCase(sc) != FoldCase(pc))
            return false;
        pi = next;
    }
    return si == s.size();
}

// like(pattern, text[, escape]): what "text LIKE pattern" calls.
void FnLike(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (AnyNull(argc, argv))
        return sqlite3_result_null(ctx);
    char32_t escape = 0xFFFFFFFF;
    if (argc > 2) {
        std::string_view e = TextOf(argv[2]);
        if (tsql::CountChars(e) != 1) {
            return Error(ctx, "The invalid escape character \"" + std::string(e) +
                                  "\" was given in a LIKE predicate.");
        }
        std::size_t i = 0;
        escape = DecodeUtf8(e, i);
    }
    sqlite3_result_int(ctx, LikeMatch(TextOf(argv[0]), 0, TextOf(argv[1]), 0, escape) ? 1 : 0);
}

// orva_one(x): the value of a scalar subquery, which must not have more than
// one row.
struct OneState {
    sqlite3_value* value;
    bool seen;
};

void OneStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
    auto* state = static_cast<OneState*>(sqlite3_aggregate_context(ctx, sizeof(OneState)));
    if (!state)
        return sqlite3_result_error_nomem(ctx);
    if (state->seen) {
        return Error(ctx,
                     "Subquery returned more than 1 value. This is not permitted when the subquery "
                     "follows =, !=, <, <= , >, >= or when the subquery is used as an expression.");
    }
    state->seen = true;
    state->value = sqlite3_value_dup(argv[0]);
}

void OneFinal(sqlite3_context* ctx) {
    auto* state = static_cast<OneState*>(sqlite3_aggregate_context(ctx, 0));
    if (!state || !state->value)
        return sqlite3_result_null(ctx);
    sqlite3_result_value(ctx, state->value);
    sqlite3_value_free(state->value);
    state->value = nullptr;
}

void FnGetDate(sqlite3_context* ctx, int, sqlite3_value**) {
    auto now = std::chrono::system_clock::now();
    std::time_t t = std::chrono::system_clock::to_time_t(now);
    auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() %
        1000;
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", tm.tm_year + 1900,
                  tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                  static_cast<int>(ms));
    ResultText(ctx, std::string_view(buf));
}

// ---- arithmetic -----------------------------------------------------------

struct Number {
    bool isInt = true;
    std::int64_t i = 0;
    double d = 0;
    double AsDouble() const { return isInt ? static_cast<double>(i) : d; }
};

std::optional<std::int64_t> ParseInteger(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    if (s.empty())
        return std::nullopt;
    bool neg = false;
    if (s.front() == '+' || s.front() == '-') {
        neg = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty())
        return std::nullopt;
    std::uint64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            return std::nullopt;
        if (v > (std::numeric_limits<std::uint64_t>::max() - 9) / 10)
            return std::nullopt;
        v = v * 10 + static_cast<unsigned>(c - '0');
    }
    if (v > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + (neg ? 1 : 0))
        return std::nullopt;
    return neg ? static_cast<std::int64_t>(0 - v) : static_cast<std::int64_t>(v);
}

// Reads a numeric operand; text must hold a number, as the database converts it.
bool ToNumber(sqlite3_context* ctx, sqlite3_value* v, Number& out) {
    switch (sqlite3_value_type(v)) {
        case SQLITE_INTEGER:
            out.isInt = true;
            out.i = sqlite3_value_int64(v);
            return true;
        case SQLITE_FLOAT:
            out.isInt = false;
            out.d = sqlite3_value_double(v);
            return true;
        default: {
            std::string_view s = TextOf(v);
            if (auto i = ParseInteger(s)) {
                out.isInt = true;
                out.i = *i;
                return true;
            }
            if (auto d = ParseNumber(s)) {
                out.isInt = false;
                out.d = *d;
                return true;
            }
            Error(ctx, "Conversion failed when converting the varchar value " + Quoted(s) +
                           " to data type int.");
            return false;
        }
    }
}

void ResultNumber(sqlite3_context* ctx, const Number& n) {
    if (n.isInt)
        return sqlite3_result_int64(ctx, n.i);
    sqlite3_result_double(ctx, n.d);
}

void Overflow(sqlite3_context* ctx) {
    Error(ctx, "Arithmetic overflow error converting expression to data type bigint.");
}

void FnAdd(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (AnyNull(argc, argv))
        return sqlite3_result_null(ctx);
    if (sqlite3_value_type(argv[0]) == SQLITE_TEXT && sqlite3_value_type(argv[1]) == SQLITE_TEXT) {
        std::string s(TextOf(argv[0]));
        s.append(TextOf(argv[1]));
        return ResultText(ctx, std::move(s));
    }
    Number a, b;
    if (!ToNumber(ctx, argv[0], a) || !ToNumber(ctx, argv[1], b))
        return;
    Number r;
    if (a.isInt && b.isInt) {
        if (__builtin_add_overflow(a.i, b.i, &r.i))
            return Overflow(ctx);
    } else {
        r.isInt = false;
        r.d = a.AsDouble() + b.AsDouble();
    }
    ResultNumber(ctx, r);
}

void DivMod(sqlite3_context* ctx, sqlite3_value** argv, bool mod) {
    if (AnyNull(2, argv))
        return sqlite3_result_null(ctx);
    Number a, b;
    if (!ToNumber(ctx, argv[0], a) || !ToNumber(ctx, argv[1], b))
        return;
    if ((b.isInt && b.i == 0) || (!b.isInt && b.d == 0.0)) {
        return Error(ctx, "Divide by zero error encountered.");
    }
    Number r;
    if (a.isInt && b.isInt) {
        if (a.i == std::numeric_limits<std::int64_t>::min() && b.i == -1) {
            if (mod)
                return sqlite3_result_int64(ctx, 0);
            return Overflow(ctx);
        }
        r.i = mod ? a.i % b.i : a.i / b.i;
    } else {
        r.isInt = false;
        r.d = mod ? std::fmod(a.AsDouble(), b.AsDouble()) : a.AsDouble() / b.AsDouble();
    }
    ResultNumber(ctx, r);
}

void FnDiv(sqlite3_context* ctx, int, sqlite3_value** argv) {
    DivMod(ctx, argv, false);
}
void FnMod(sqlite3_context* ctx, int, sqlite3_value** argv) {
    DivMod(ctx, argv, true);
}

// ---- CAST and CONVERT -----------------------------------------------------

struct DateTime {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0, ms = 0;
    bool HasTime() const { return h || mi || s || ms; }
};

bool ReadDigits(std::string_view& s, int count, int& out) {
    if (s.size() < static_cast<std::size_t>(count))
        return false;
    int v = 0;
    for (int k = 0; k < count; ++k) {
        if (s[k] < '0' || s[k] > '9')
            return false;
        v = v * 10 + (s[k] - '0');
    }
    out = v;
    s.remove_prefix(count);
    return true;
}

// 'yyyy-mm-dd', 'yyyy/mm/dd', 'yyyy.mm.dd' or 'yyyymmdd', optionally followed
// by ' hh:mm[:ss[.fff]]' (or 'T').
std::optional<DateTime> ParseDateTime(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    DateTime t;
    if (!ReadDigits(s, 4, t.y))
        return std::nullopt;
    if (!s.empty() && (s.front() == '-' || s.front() == '/' || s.front() == '.')) {
        char sep = s.front();
        s.remove_prefix(1);
        auto readPart = [&](int& out) {
            int v = 0, n = 0;
            while (!s.empty() && n < 2 && s.front() >= '0' && s.front() <= '9') {
                v = v * 10 + (s.front() - '0');
                s.remove_prefix(1);
                ++n;
            }
            out = v;
            return n > 0;
        };
        if (!readPart(t.mo) || s.empty() || s.front() != sep)
            return std::nullopt;
        s.remove_prefix(1);
        if (!readPart(t.d))
            return std::nullopt;
    } else if (!ReadDigits(s, 2, t.mo) || !ReadDigits(s, 2, t.d)) {
        return std::nullopt;
    }
    Date date{t.y, t.mo, t.d};
    if (!date.IsValid())
        return std::nullopt;
    if (s.empty())
        return t;
    if (s.front() != ' ' && s.front() != 'T')
        return std::nullopt;
    s.remove_prefix(1);
    if (!ReadDigits(s, 2, t.h) || s.empty() || s.front() != ':')
        return std::nullopt;
    s.remove_prefix(1);
    if (!ReadDigits(s, 2, t.mi))
        return std::nullopt;
    if (!s.empty() && s.front() == ':') {
        s.remove_prefix(1);
        if (!ReadDigits(s, 2, t.s))
            return std::nullopt;
        if (!s.empty() && s.front() == '.') {
            s.remove_prefix(1);
            int scale = 100;
            while (!s.empty() && s.front() >= '0' && s.front() <= '9') {
                t.ms += (s.front() - '0') * scale;
                scale /= 10;
                s.remove_prefix(1);
            }
        }
    }
    if (!s.empty() || t.h > 23 || t.mi > 59 || t.s > 59)
        return std::nullopt;
    return t;
}

std::string FormatDateTime(const DateTime& t, int style) {
    char buf[48];
    switch (style) {
        case 101:
            std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", t.mo, t.d, t.y);
            break;
        case 102:
            std::snprintf(buf, sizeof buf, "%04d.%02d.%02d", t.y, t.mo, t.d);
            break;
        case 103:
            std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", t.d, t.mo, t.y);
            break;
        case 111:
            std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", t.y, t.mo, t.d);
            break;
        case 112:
            std::snprintf(buf, sizeof buf, "%04d%02d%02d", t.y, t.mo, t.d);
            break;
        case 20:
        case 120:
            std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.y, t.mo, t.d, t.h,
                          t.mi, t.s);
            break;
        case 21:
        case 121:
            std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", t.y, t.mo, t.d,
                          t.h, t.mi, t.s, t.ms);
            break;
        case 108:
            std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.h, t.mi, t.s);
            break;
        default:  // 23 and the stored form: the date, with the time only when there is one
            if (style == 23 || !t.HasTime()) {
                std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", t.y, t.mo, t.d);
            } else {
                std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", t.y, t.mo, t.d,
                              t.h, t.mi, t.s, t.ms);
            }
    }
    return buf;
}

bool KnownDateStyle(int style) {
    switch (style) {
        case 0:
        case 20:
        case 21:
        case 23:
        case 101:
        case 102:
        case 103:
        case 108:
        case 111:
        case 112:
        case 120:
        case 121:
            return true;
        default:
            return false;
    }
}

// orva_cast_int(x, bit): bit non-zero gives 0 or 1.
void FnCastInt(sqlite3_context* ctx, int, sqlite3_value** argv) {
    bool bit = sqlite3_value_int(argv[1]) != 0;
    std::int64_t r = 0;
    switch (sqlite3_value_type(argv[0])) {
        case SQLITE_NULL:
            return sqlite3_result_null(ctx);
        case SQLITE_INTEGER:
            r = sqlite3_value_int64(argv[0]);
            break;
        case SQLITE_FLOAT: {
            double d = sqlite3_value_double(argv[0]);
            if (!(d > -9.2e18 && d < 9.2e18))
                return Overflow(ctx);
            r = static_cast<std::int64_t>(d);  // truncates toward zero, as the database does
            break;
        }
        default: {
            std::string_view s = TextOf(argv[0]);
            if (bit && (CompareNoCase(s, "true") == 0 || CompareNoCase(s, "false") == 0)) {
                r = CompareNoCase(s, "true") == 0;
                break;
            }
            auto v = ParseInteger(s);
            if (!v) {
                return Error(ctx, "Conversion failed when converting the varchar value " +
                                      Quoted(s) + " to data type " + (bit ? "bit." : "int."));
            }
            r = *v;
        }
    }
    sqlite3_result_int64(ctx, bit ? (r != 0) : r);
}

double RoundTo(double v, int scale) {
    return tsql::RoundDecimal(v, scale);
}

// orva_cast_real(x, scale): scale < 0 keeps every digit (float), else rounds (decimal).
void FnCastReal(sqlite3_context* ctx, int, sqlite3_value** argv) {
    int scale = sqlite3_value_int(argv[1]);
    switch (sqlite3_value_type(argv[0])) {
        case SQLITE_NULL:
            return sqlite3_result_null(ctx);
        case SQLITE_INTEGER:
        case SQLITE_FLOAT:
            return sqlite3_result_double(ctx, RoundTo(sqlite3_value_double(argv[0]), scale));
        default: {
            std::string_view s = TextOf(argv[0]);
            auto v = ParseNumber(s);
            if (!v) {
                return Error(ctx, std::string("Error converting data type varchar to ") +
                                      (scale < 0 ? "float." : "numeric."));
            }
            sqlite3_result_double(ctx, RoundTo(*v, scale));
        }
    }
}

// orva_cast_text(x, len, style, pad): len < 0 unlimited; style applies to
// dates; pad non-zero fills a fixed-length char with blanks.
void FnCastText(sqlite3_context* ctx, int, sqlite3_value** argv) {
    int type = sqlite3_value_type(argv[0]);
    if (type == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    std::int64_t len = sqlite3_value_int64(argv[1]);
    int style = sqlite3_value_type(argv[2]) == SQLITE_NULL ? 0 : sqlite3_value_int(argv[2]);
    bool pad = sqlite3_value_int(argv[3]) != 0;
    std::string s;
    if (type == SQLITE_INTEGER) {
        s = std::to_string(sqlite3_value_int64(argv[0]));
    } else if (type == SQLITE_FLOAT) {
        s = FormatDouble(sqlite3_value_double(argv[0]));
    } else {
        s = std::string(TextOf(argv[0]));
        if (style != 0) {
            if (!KnownDateStyle(style)) {
                return Error(ctx, std::to_string(style) +
                                      " is not a valid style number when converting to a text.");
            }
            if (auto t = ParseDateTime(s))
                s = FormatDateTime(*t, style);
        }
    }
    if (len >= 0) {
        std::size_t n = tsql::CountChars(s);
        if (n > static_cast<std::size_t>(len)) {
            s.resize(tsql::CharOffset(s, static_cast<std::size_t>(len)));
        } else if (pad) {
            s.append(static_cast<std::size_t>(len) - n, ' ');
        }
    }
    ResultText(ctx, std::move(s));
}

void FnCastDate(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    auto t = ParseDateTime(TextOf(argv[0]));
    if (!t)
        return Error(ctx,
                     "Conversion failed when converting date and/or time from character string.");
    ResultText(ctx, FormatDateTime(*t, 0));
}

struct FunctionDef {
    const char* name;
    int args;
    void (*fn)(sqlite3_context*, int, sqlite3_value**);
    bool deterministic;
};

const FunctionDef kFunctions[] = {
    {"len", 1, FnLen, true},
    {"orva_left", 2, FnLeft, true},
    {"orva_right", 2, FnRight, true},
    {"reverse", 1, FnReverse, true},
    {"charindex", 2, FnCharIndex, true},
    {"charindex", 3, FnCharIndex, true},
    {"orva_upper", 1, FnUpper, true},
    {"orva_lower", 1, FnLower, true},
    {"orva_replace", 3, FnReplace, true},
    {"getdate", 0, FnGetDate, false},
    {"orva_add", 2, FnAdd, true},
    {"orva_div", 2, FnDiv, true},
    {"orva_mod", 2, FnMod, true},
    {"orva_cast_int", 2, FnCastInt, true},
    {"orva_cast_real", 2, FnCastReal, true},
    {"orva_cast_text", 4, FnCastText, true},
    {"orva_cast_date", 1, FnCastDate, true},
    {"like", 2, FnLike, true},
    {"like", 3, FnLike, true},
};

}  // namespace

void RegisterSqlServerCompat(sqlite3* db) {
    int rc = sqlite3_create_collation_v2(db, kSqlServerCollation, SQLITE_UTF8, nullptr,
                                         CollateNoCase, nullptr);
    for (const FunctionDef& f : kFunctions) {
        if (rc != SQLITE_OK)
            break;
        int flags = SQLITE_UTF8 | SQLITE_INNOCUOUS | (f.deterministic ? SQLITE_DETERMINISTIC : 0);
        rc = sqlite3_create_function_v2(db, f.name, f.args, flags, nullptr, f.fn, nullptr, nullptr,
                                        nullptr);
    }
    if (rc == SQLITE_OK) {
        rc = sqlite3_create_function_v2(db, "orva_one", 1, SQLITE_UTF8 | SQLITE_INNOCUOUS, nullptr,
                                        nullptr, OneStep, OneFinal, nullptr);
    }
    if (rc != SQLITE_OK) {
        throw ComError(
            ComError::kDatabase,
            std::string("Cannot register the SQL Server text functions: ") + sqlite3_errmsg(db));
    }
}

}  // namespace orva
