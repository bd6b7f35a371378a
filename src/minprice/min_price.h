// The minimum sale price: amounts converted into the base currency, and the
// floor price that applies to a customer and item.
//
// A floor is kept either per item for every customer (t_ICItem.FSoLowPrc in
// currency FSoLowPrcMnyType, when the item's FSalePriceFixingType is 1) or per
// customer and item (t_Cust.FSELowPrice in currency FCurrencyID). The save
// checks compare a price, converted with ConvertByRate and brought to the
// base unit, with GetSELowPrice. Both read through the context's connection,
// or through the connection given (the price store's).
#pragma once

#include <cstdint>

#include "session/module_context.h"

namespace orva {

class AppConnection;

// Sets result to amount expressed in the base currency: multiplied by the
// currency's FExchangeRate, or divided by it when FOperator is exactly "/";
// a rate of 0 or Null counts as 1. With no currency row of that ID the
// result is 0. Always returns true; a failing statement raises its error.
bool ConvertByRate(ModuleContext& ctx, std::int32_t currencyID, double amount, double& result);
bool ConvertByRate(AppConnection& db, std::int32_t currencyID, double amount, double& result);

// Sets price to the floor that applies to the customer and item, in the base
// currency; 0 when none is recorded, when the floor's currency row is missing,
// or when the floor cannot be read (for example an exchange rate of 0 in its
// currency). Errors are passed over: always returns true.
bool GetSELowPrice(ModuleContext& ctx, std::int32_t custID, std::int32_t itemID, double& price);
bool GetSELowPrice(AppConnection& db, std::int32_t custID, std::int32_t itemID, double& price);

}  // namespace orva
