#include "model/sql_values.h"

#include <cmath>

#include "orvasaleprice/com_error.h"

namespace orva {

std::string SqlId(std::int64_t id) {
    return std::to_string(id);
}

std::string SqlFlag(bool on) {
    return on ? "1" : "0";
}

std::string SqlNumber(double value) {
    if (!std::isfinite(value)) {
        throw ComError(ComError::kOverflow, "A number that is not finite cannot be written");
    }
    return FormatDouble(value);
}

std::string SqlDate(const Date& date) {
    if (!date.IsValid()) {
        throw ComError(ComError::kTypeMismatch, "Not a valid date: " + date.ToText());
    }
    return "'" + date.ToText() + "'";
}

std::string SqlDate(std::string_view text) {
    auto date = Date::Parse(text);
    if (!date)
        throw ComError(ComError::kTypeMismatch, "Not a valid date: '" + std::string(text) + "'");
    return SqlDate(*date);
}

std::string SqlToday() {
    return SqlDate(Date::Today());
}

std::string SqlText(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '\'';
    for (char c : text) {
        out += c;
        if (c == '\'')
            out += '\'';
    }
    out += '\'';
    return out;
}

std::string SqlLines(std::initializer_list<std::string_view> fragments) {
    std::string out;
    bool first = true;
    for (auto f : fragments) {
        if (!first)
            out += kCrLf;
        out += f;
        first = false;
    }
    return out;
}

}  // namespace orva
