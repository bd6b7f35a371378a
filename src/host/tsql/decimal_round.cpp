#include "host/tsql/decimal_round.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace orva::tsql {

double RoundDecimal(double v, int scale) {
    if (scale < 0 || !std::isfinite(v))
        return v;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", std::fabs(v));
    std::string s = buf;
    if (s.find_first_of("eE") != std::string::npos) {
        double f = std::pow(10.0, scale);
        return std::round(v * f) / f;
    }
    std::size_t dot = s.find('.');
    if (dot == std::string::npos || s.size() - dot - 1 <= static_cast<std::size_t>(scale))
        return v;
    bool up = s[dot + 1 + scale] >= '5';
    std::string digits = s.substr(0, dot) + s.substr(dot + 1, scale);
    if (up) {
        std::size_t i = digits.size();
        while (i > 0) {
            --i;
            if (digits[i] == '9') {
                digits[i] = '0';
                if (i == 0)
                    digits.insert(digits.begin(), '1');
            } else {
                ++digits[i];
                break;
            }
        }
    }
    std::string text = digits.substr(0, digits.size() - scale);
    if (scale > 0)
        text += "." + digits.substr(digits.size() - scale);
    double r = std::strtod(text.c_str(), nullptr);
    return v < 0 ? -r : r;
}

}  // namespace orva::tsql
