#include "host/export/export_cell.h"

#include <charconv>

namespace orva {
namespace {

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool ReadNumber(std::string_view s, ExportValue& v) {
    std::size_t i = 0;
    if (i < s.size() && s[i] == '-')
        ++i;
    const std::size_t intStart = i;
    while (i < s.size() && IsDigit(s[i])) ++i;
    const std::size_t intDigits = i - intStart;
    if (intDigits == 0 || (intDigits > 1 && s[intStart] == '0'))
        return false;
    int decimals = 0;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) ++i, ++decimals;
        if (decimals == 0)
            return false;
    }
    if (i != s.size())
        return false;
    double value = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size())
        return false;
    v.type = ExportValue::Type::kNumber;
    v.number = value;
    v.decimals = decimals;
    return true;
}

bool ReadDate(std::string_view s, ExportValue& v) {
    if (s.size() != 10 || s[4] != '-' || s[7] != '-')
        return false;
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (!IsDigit(s[i]))
            return false;
    auto num = [&](std::size_t pos, std::size_t len) {
        int n = 0;
        for (std::size_t i = pos; i < pos + len; ++i) n = n * 10 + (s[i] - '0');
        return n;
    };
    const int y = num(0, 4), m = num(5, 2), d = num(8, 2);
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1900 || m < 1 || m > 12 || d < 1)
        return false;
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    if (d > kDays[m - 1] + (m == 2 && leap ? 1 : 0))
        return false;
    v.type = ExportValue::Type::kDate;
    v.year = y;
    v.month = m;
    v.day = d;
    return true;
}

}  // namespace

ExportValue ClassifyCell(ExportKind kind, std::string_view text) {
    ExportValue v;
    v.text = text;
    const std::string_view trimmed = TrimBlanks(text);
    if (trimmed.empty())
        return v;
    if (kind == ExportKind::kNumber && ReadNumber(trimmed, v))
        return v;
    if (kind == ExportKind::kDate && ReadDate(trimmed, v))
        return v;
    v.type = ExportValue::Type::kText;
    return v;
}

bool LooksLikeFormula(std::string_view text) {
    if (text.empty())
        return false;
    switch (text.front()) {
        case '=':
        case '+':
        case '-':
        case '@':
        case '\t':
        case '\r':
            return true;
        default:
            return false;
    }
}

}  // namespace orva
