#include "import/import_values.h"

#include <charconv>
#include <cmath>

#include "host/base/text_util.h"

namespace orva::import {
namespace {

// The marks of year, month and day in a Chinese date, in UTF-8; byte arrays
// rather than literals, as they are no text to translate.
constexpr char kYear[] = {'\xE5', '\xB9', '\xB4'};
constexpr char kMonth[] = {'\xE6', '\x9C', '\x88'};
constexpr char kDay[] = {'\xE6', '\x97', '\xA5'};

bool AllDigits(std::string_view s) {
    if (s.empty())
        return false;
    for (char c : s) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// "1,234,567" -> "1234567" when every group after the first has three
// digits; nullopt when the commas are not thousands separators.
std::optional<std::string> WithoutThousands(std::string_view whole) {
    std::string out;
    std::size_t start = 0;
    bool first = true;
    while (true) {
        const std::size_t comma = whole.find(',', start);
        const std::string_view group = whole.substr(start, comma - start);
        if (!AllDigits(group) || (first ? group.size() > 3 : group.size() != 3))
            return std::nullopt;
        out += group;
        first = false;
        if (comma == std::string_view::npos)
            return out;
        start = comma + 1;
    }
}

Date FromSerial(long serial) {
    // Day 1 is 1900-01-01 and the spreadsheet counts a 29 February 1900
    // that never was, so from day 61 on the days count from 1899-12-30.
    long days = serial - (serial >= 61 ? 25569 : 25568);  // days from 1970-01-01
    // Civil date from days since 1970-01-01 (proleptic Gregorian).
    days += 719468;
    const long era = (days >= 0 ? days : days - 146096) / 146097;
    const long doe = days - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
    return Date{year, month, day};
}

}  // namespace

std::optional<double> ParseNumber(std::string_view text) {
    std::string_view t = Trim(text);
    if (t.empty())
        return std::nullopt;
    std::string sign;
    if (t.front() == '-' || t.front() == '+') {
        if (t.front() == '-')
            sign = "-";
        t.remove_prefix(1);
    }
    const std::size_t point = t.find('.');
    std::string_view whole = t.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : t.substr(point + 1);
    std::string digits;
    if (whole.find(',') != std::string_view::npos) {
        auto plain = WithoutThousands(whole);
        if (!plain)
            return std::nullopt;
        digits = *plain;
    } else {
        digits = whole;
    }
    if (point != std::string_view::npos)
        digits += "." + std::string(fraction);
    const std::string number = sign + digits;
    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec != std::errc() || result.ptr != number.data() + number.size() ||
        !std::isfinite(value))
        return std::nullopt;
    // from_chars also reads "inf", "nan" and exponents: only digits may pass.
    for (char c : digits) {
        if ((c < '0' || c > '9') && c != '.')
            return std::nullopt;
    }
    return value;
}

std::optional<Date> ParseDate(std::string_view text) {
    std::string t(Trim(text));
    if (t.empty())
        return std::nullopt;
    // A serial day number, with or without a time as its fraction.
    if (auto number = ParseNumber(t); number && t.find(',') == std::string::npos) {
        const double serial = std::floor(*number);
        if (serial == 60)
            return std::nullopt;  // the 29 February 1900 the spreadsheet invents
        const bool compactDate = t.size() == 8 && AllDigits(t);  // yyyymmdd
        if (!compactDate && serial >= 1 && serial <= 2958465)
            return FromSerial(static_cast<long>(serial));
    }
    if (t.size() == 8 && AllDigits(t))
        t = t.substr(0, 4) + "-" + t.substr(4, 2) + "-" + t.substr(6, 2);
    // 2024年3月1日 and 2024.03.01 in the form Date::Parse reads.
    for (const std::string_view mark : {std::string_view(kYear, 3), std::string_view(kMonth, 3)}) {
        for (std::size_t at; (at = t.find(mark)) != std::string::npos;)
            t.replace(at, mark.size(), "-");
    }
    if (const std::size_t at = t.find(std::string_view(kDay, 3)); at != std::string::npos)
        t.erase(at, 3);
    for (char& c : t) {
        if (c == '.')
            c = '-';
    }
    auto date = Date::Parse(t);
    if (date && date->IsValid())
        return date;
    return std::nullopt;
}

}  // namespace orva::import
