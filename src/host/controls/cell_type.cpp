#include "host/controls/cell_type.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

#include "host/base/text_util.h"

namespace orva {
namespace {

// A number as typed: sign, digits before and after the point.
struct NumberText {
    bool negative = false;
    std::string whole;
    std::string fraction;
    bool point = false;
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::optional<NumberText> ParseNumberText(std::string_view s) {
    NumberText n;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        n.negative = s[i++] == '-';
    while (i < s.size() && IsDigit(s[i])) n.whole += s[i++];
    if (i < s.size() && s[i] == '.') {
        n.point = true;
        ++i;
        while (i < s.size() && IsDigit(s[i])) n.fraction += s[i++];
    }
    if (i != s.size() || (n.whole.empty() && n.fraction.empty()))
        return std::nullopt;
    return n;
}

bool AllZero(std::string_view digits) {
    return digits.find_first_not_of('0') == std::string_view::npos;
}

// "-007.50" -> "-7.50"; a zero loses its sign; a bare point is dropped.
std::string PlainForm(const NumberText& n) {
    std::string_view whole = n.whole;
    whole.remove_prefix(std::min(whole.find_first_not_of('0'), whole.size()));
    if (whole.empty())
        whole = "0";
    std::string out;
    out.reserve(whole.size() + n.fraction.size() + 2);
    if (n.negative && !(AllZero(n.whole) && AllZero(n.fraction)))
        out.push_back('-');
    out.append(whole);
    if (!n.fraction.empty()) {
        out.push_back('.');
        out.append(n.fraction);
    }
    return out;
}

std::optional<double> ToDouble(std::string_view plain) {
    double v = 0;
    auto [p, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), v);
    if (ec != std::errc() || p != plain.data() + plain.size())
        return std::nullopt;
    return v;
}

// Rounds the digits of a plain number to `places` decimals, half away from
// zero, working on the digits so that 2.675 shows as 2.68.
std::string RoundDigits(NumberText n, int places) {
    if (static_cast<int>(n.fraction.size()) > places) {
        const bool up = n.fraction[places] >= '5';
        n.fraction.resize(places);
        if (up) {
            std::string digits = (n.whole.empty() ? "0" : n.whole) + n.fraction;
            int i = static_cast<int>(digits.size()) - 1;
            while (i >= 0 && digits[i] == '9') digits[i--] = '0';
            if (i >= 0) {
                ++digits[i];
            } else {
                digits.insert(digits.begin(), '1');
            }
            n.whole = digits.substr(0, digits.size() - places);
            n.fraction = digits.substr(digits.size() - places);
        }
    }
    n.fraction.append(places - n.fraction.size(), '0');
    return PlainForm(n);
}

bool IsLeapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : kDays[m - 1];
}

std::optional<int> SmallNumber(std::string_view s, std::size_t minDigits, std::size_t maxDigits) {
    if (s.size() < minDigits || s.size() > maxDigits)
        return std::nullopt;
    int v = 0;
    for (char c : s) {
        if (!IsDigit(c))
            return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

}  // namespace

std::size_t Utf8Length(std::string_view text) {
    std::size_t n = 0;
    for (unsigned char c : text) n += (c & 0xC0) != 0x80 ? 1 : 0;
    return n;
}

std::optional<std::string> NormaliseDate(std::string_view text) {
    const std::size_t a = text.find_first_of("-/.");
    if (a == std::string_view::npos)
        return std::nullopt;
    const char sep = text[a];
    const std::size_t b = text.find(sep, a + 1);
    if (b == std::string_view::npos || text.find(sep, b + 1) != std::string_view::npos) {
        return std::nullopt;
    }
    auto y = SmallNumber(text.substr(0, a), 4, 4);
    auto m = SmallNumber(text.substr(a + 1, b - a - 1), 1, 2);
    auto d = SmallNumber(text.substr(b + 1), 1, 2);
    if (!y || !m || !d || *y < 1 || *m < 1 || *m > 12 || *d < 1 || *d > DaysInMonth(*y, *m)) {
        return std::nullopt;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", *y, *m, *d);
    return std::string(buf);
}

CellType CellType::Text(int maxLength) {
    CellType t;
    t.kind = CellKind::kText;
    t.maxLength = maxLength;
    return t;
}

CellType CellType::StaticText() {
    CellType t;
    t.kind = CellKind::kStaticText;
    return t;
}

CellType CellType::Decimal(int places, double min, double max) {
    CellType t;
    t.kind = CellKind::kDecimal;
    t.decimalPlaces = std::max(places, 0);
    t.min = min;
    t.max = max;
    return t;
}

CellType CellType::Integer(long long min, long long max) {
    CellType t;
    t.kind = CellKind::kInteger;
    t.min = static_cast<double>(min);
    t.max = static_cast<double>(max);
    return t;
}

CellType CellType::Date(std::string_view minDate, std::string_view maxDate) {
    CellType t;
    t.kind = CellKind::kDate;
    t.minDate = NormaliseDate(minDate).value_or(std::string(minDate));
    t.maxDate = NormaliseDate(maxDate).value_or(std::string(maxDate));
    return t;
}

std::optional<std::string> CellType::Accept(std::string_view typed) const {
    switch (kind) {
        case CellKind::kStaticText:
            return std::nullopt;
        case CellKind::kText:
            if (maxLength > 0 && Utf8Length(typed) > static_cast<std::size_t>(maxLength)) {
                return std::nullopt;
            }
            return std::string(typed);
        case CellKind::kDecimal:
        case CellKind::kInteger: {
            const std::string_view s = Trim(typed);
            if (s.empty())
                return std::string();
            auto n = ParseNumberText(s);
            if (!n)
                return std::nullopt;
            if (kind == CellKind::kInteger && n->point)
                return std::nullopt;
            if (kind == CellKind::kDecimal &&
                static_cast<int>(n->fraction.size()) > decimalPlaces) {
                return std::nullopt;
            }
            std::string plain = PlainForm(*n);
            auto v = ToDouble(plain);
            if (!v || !std::isfinite(*v) || *v < min || *v > max)
                return std::nullopt;
            return plain;
        }
        case CellKind::kDate: {
            const std::string_view s = Trim(typed);
            if (s.empty())
                return std::string();
            auto d = NormaliseDate(s);
            // Both sides are "yyyy-mm-dd", so text order is date order.
            if (!d || (!minDate.empty() && *d < minDate) || (!maxDate.empty() && *d > maxDate)) {
                return std::nullopt;
            }
            return d;
        }
    }
    return std::nullopt;
}

std::string CellType::Display(std::string_view stored) const {
    if (kind != CellKind::kDecimal)
        return std::string(stored);
    const std::string_view s = Trim(stored);
    if (s.empty())
        return std::string();
    if (auto n = ParseNumberText(s))
        return RoundDigits(*n, decimalPlaces);
    // Other numeric spellings set by code (an exponent, say).
    double v = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || p != s.data() + s.size() || !std::isfinite(v)) {
        return std::string(stored);
    }
    char buf[512];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimalPlaces);
    if (r.ec != std::errc())
        return std::string(stored);
    return std::string(buf, r.ptr);
}

}  // namespace orva
