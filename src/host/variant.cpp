#include "orvasaleprice/variant.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "host/base/text_util.h"
#include "orvasaleprice/com_error.h"

namespace orva {

namespace {
bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}
int DaysIn(int y, int m) {
    static const int d[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : d[m - 1];
}
bool ReadInt(std::string_view& s, int maxDigits, int& out) {
    int n = 0, v = 0;
    while (!s.empty() && n < maxDigits && s.front() >= '0' && s.front() <= '9') {
        v = v * 10 + (s.front() - '0');
        s.remove_prefix(1);
        ++n;
    }
    out = v;
    return n > 0;
}
}  // namespace

std::string Date::ToText() const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", year, month, day);
    return buf;
}

bool Date::IsValid() const {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysIn(year, month);
}

std::optional<Date> Date::Parse(std::string_view text) {
    std::string_view s = Trim(text);
    Date d;
    std::size_t before = s.size();
    if (!ReadInt(s, 4, d.year) || before - s.size() != 4 || s.empty() ||
        (s.front() != '-' && s.front() != '/')) {
        return std::nullopt;
    }
    char sep = s.front();
    s.remove_prefix(1);
    if (!ReadInt(s, 2, d.month) || s.empty() || s.front() != sep)
        return std::nullopt;
    s.remove_prefix(1);
    if (!ReadInt(s, 2, d.day))
        return std::nullopt;
    if (!d.IsValid())
        return std::nullopt;
    if (s.empty())
        return d;
    // Time part "hh:mm[:ss[.fff]]", as datetime columns come back; it is dropped.
    if (s.front() != ' ' && s.front() != 'T')
        return std::nullopt;
    s.remove_prefix(1);
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    int h = 0, m = 0, sec = 0;
    if (!ReadInt(s, 2, h) || s.empty() || s.front() != ':')
        return std::nullopt;
    s.remove_prefix(1);
    if (!ReadInt(s, 2, m))
        return std::nullopt;
    if (!s.empty() && s.front() == ':') {
        s.remove_prefix(1);
        if (!ReadInt(s, 2, sec))
            return std::nullopt;
        if (!s.empty() && s.front() == '.') {
            s.remove_prefix(1);
            int frac = 0;
            if (!ReadInt(s, 9, frac))
                return std::nullopt;
        }
    }
    if (!s.empty() || h > 23 || m > 59 || sec > 59)
        return std::nullopt;
    return d;
}

Date Date::Today() {
    auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm tm{};
    localtime_r(&now, &tm);
    return Date{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

std::string FormatDouble(double v) {
    if (v == 0)
        return "0";  // also -0
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::optional<double> ParseNumber(std::string_view text) {
    std::string_view s = Trim(text);
    std::string_view body = s;  // without its sign
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
        body = s;
    } else if (!s.empty() && s.front() == '-') {
        body = s.substr(1);
    }
    // Digits must come first: the converter would also read "inf" and "nan".
    if (!body.empty() && body.front() == '.')
        body.remove_prefix(1);
    if (body.empty() || body.front() < '0' || body.front() > '9')
        return std::nullopt;
    double v = 0;
    auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size())
        return std::nullopt;
    return v;
}

namespace {
std::int64_t RoundToInteger(double v) {
    // 2^63 is exactly representable; anything at or beyond it does not fit.
    if (!(v >= -9223372036854775808.0 && v < 9223372036854775808.0)) {
        throw ComError(ComError::kOverflow, "Overflow: " + FormatDouble(v));
    }
    return static_cast<std::int64_t>(std::llround(v));
}
}  // namespace

std::int64_t Variant::ToInteger() const {
    switch (type()) {
        case Type::Null:
            throw ComError(ComError::kTypeMismatch, "Invalid use of Null");
        case Type::Integer:
            return *AsInteger();
        case Type::Double:
            return RoundToInteger(*AsDouble());
        case Type::Text: {
            auto n = ParseNumber(*AsText());
            if (!n)
                throw ComError(ComError::kTypeMismatch, "Type mismatch: '" + *AsText() + "'");
            return RoundToInteger(*n);
        }
        case Type::Date:
            break;
    }
    throw ComError(ComError::kTypeMismatch, "Type mismatch: a date is not a number");
}

double Variant::ToDouble() const {
    switch (type()) {
        case Type::Null:
            throw ComError(ComError::kTypeMismatch, "Invalid use of Null");
        case Type::Integer:
            return static_cast<double>(*AsInteger());
        case Type::Double:
            return *AsDouble();
        case Type::Text: {
            auto n = ParseNumber(*AsText());
            if (!n)
                throw ComError(ComError::kTypeMismatch, "Type mismatch: '" + *AsText() + "'");
            return *n;
        }
        case Type::Date:
            break;
    }
    throw ComError(ComError::kTypeMismatch, "Type mismatch: a date is not a number");
}

std::string Variant::ToText() const {
    switch (type()) {
        case Type::Null:
            return {};
        case Type::Integer:
            return std::to_string(*AsInteger());
        case Type::Double:
            return FormatDouble(*AsDouble());
        case Type::Text:
            return *AsText();
        case Type::Date:
            return AsDate()->ToText();
    }
    return {};
}

bool Variant::ToBool() const {
    if (const auto* t = AsText()) {
        auto s = Trim(*t);
        if (EqualsNoCase(s, "true"))
            return true;
        if (EqualsNoCase(s, "false"))
            return false;
    }
    if (IsNull())
        return false;
    return ToDouble() != 0;
}

std::optional<Date> Variant::ToDate() const {
    if (const auto* d = AsDate())
        return *d;
    if (const auto* t = AsText())
        return Date::Parse(*t);
    return std::nullopt;
}

}  // namespace orva
