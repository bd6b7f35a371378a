#include "engine/engine_values.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "host/app_connection.h"
#include "host/base/pass_over.h"
#include "host/base/text_util.h"

namespace orva {

double Val(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    // The longest prefix that reads as sign, digits, point, digits, exponent.
    std::size_t end = i;
    std::size_t p = i;
    if (p < text.size() && (text[p] == '+' || text[p] == '-'))
        ++p;
    bool digits = false;
    while (p < text.size() && std::isdigit(static_cast<unsigned char>(text[p]))) {
        ++p;
        digits = true;
    }
    if (p < text.size() && text[p] == '.') {
        ++p;
        while (p < text.size() && std::isdigit(static_cast<unsigned char>(text[p]))) {
            ++p;
            digits = true;
        }
    }
    if (!digits)
        return 0;
    end = p;
    if (p < text.size() && (text[p] == 'e' || text[p] == 'E')) {
        std::size_t q = p + 1;
        if (q < text.size() && (text[q] == '+' || text[q] == '-'))
            ++q;
        std::size_t expStart = q;
        while (q < text.size() && std::isdigit(static_cast<unsigned char>(text[q]))) ++q;
        if (q > expStart)
            end = q;
    }
    std::string number(text.substr(i, end - i));
    double v = std::strtod(number.c_str(), nullptr);
    return std::isfinite(v) ? v : 0;
}

std::int32_t ValId(std::string_view text) {
    double v = std::round(Val(text));
    if (v > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (v < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

std::int64_t WholeNumber(std::string_view text) {
    std::string_view t = Trim(text);
    if (t.empty())
        return 0;
    return Variant(t).ToInteger();
}

std::string TrimmedText(const Variant& value) {
    if (value.IsNull())
        return {};
    return std::string(Trim(value.ToText()));
}

std::string FieldText(const Recordset& rs, std::string_view name) {
    return TrimmedText(rs.Fields(name).Value());
}

bool HasRow(const RecordsetPtr& rs) {
    return rs && rs->IsOpen() && !rs->EOF_() && !rs->BOF();
}

RecordsetPtr TryExecute(AppConnection& connection, std::string_view sql) {
    return PassOver([&]() -> RecordsetPtr { return connection.Execute(sql); }, nullptr);
}

}  // namespace orva
