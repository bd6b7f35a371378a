// The look-up behind PriceQuoter (orvasaleprice/price_quote.h): one
// statement over t_CustEntry that the customer and item index narrows to the
// pair's entries before the rest of the condition is tested.
#pragma once

#include <string>

#include "orvasaleprice/price_quote.h"

namespace orva {

class AppConnection;

// The statement: the audited entries of the query's customer, item, unit and
// currency whose band holds the quantity and whose period holds the day
// (today when the query names none), by entry ID.
std::string QuoteSql(const PriceQuery& query);

// Runs QuoteSql on `db`: none, one (applies) or several (ambiguous) entries.
PriceQuote QuotePrice(AppConnection& db, const PriceQuery& query);

}  // namespace orva
