// Price arithmetic shared by the generators: rounding to an item's decimal
// places and conversion from the base currency into a price currency.
#pragma once

#include <cmath>
#include <optional>

#include "demo/demo_company.h"

namespace orva::demo {

// Rounds half away from zero to `decimals` places (2 when unknown); never
// gives 0 for a positive amount: the smallest step is kept instead.
inline double RoundPrice(double amount, std::optional<int> decimals) {
    double scale = std::pow(10.0, decimals.value_or(2));
    double r = std::round(amount * scale) / scale;
    return r > 0 ? r : 1 / scale;
}

// An amount of the base currency expressed in `currencyId`: the inverse of the
// conversion into the base currency ("*" multiplies by the rate, "/"
// divides).
inline double FromBaseCurrency(double amount, int currencyId) {
    switch (currencyId) {
        case kCurrencyUsd:
            return amount / kUsdRate;
        case kCurrencyEur:
            return amount / kEurRate;
        case kCurrencyHkd:
            return amount * kHkdRate;
        default:
            return amount;
    }
}

}  // namespace orva::demo
