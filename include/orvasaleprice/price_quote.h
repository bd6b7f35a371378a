// The price that applies to a line of a host's sales bill: the audited price
// entry of the customer, item, unit and currency whose quantity band holds
// the quantity and whose validity period holds the day. No window opens and
// nothing is written.
//
//   orva::PriceQuoter quoter(orva::SessionString("/srv/erp/company.db", userId));
//   orva::PriceQuote q = quoter.Quote({.customerID = 7, .itemID = 51, .unitID = 3,
//                                      .quantity = 120});
//   if (q.status == orva::QuoteStatus::kApplies) price = q.entries[0].price;
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "orvasaleprice/export.h"
#include "orvasaleprice/variant.h"

namespace orva {

// One line of a sales bill, by the IDs the bill holds.
struct PriceQuery {
    std::int32_t customerID = 0;  // t_Organization.FItemID
    std::int32_t itemID = 0;      // t_ICItem.FItemID
    std::int32_t unitID = 0;      // t_MeasureUnit.FItemID
    std::int32_t currencyID = 1;  // t_Currency.FCurrencyID; 1 is the base currency
    double quantity = 0;
    std::optional<Date> day;  // the day of the sale; today when not given
};

// A price entry that holds the query (a row of t_CustEntry).
struct QuotedEntry {
    std::int32_t entryID = 0;
    double price = 0;     // in the query's currency, per the query's unit
    double startQty = 0;  // the band; an end of 0 leaves it open upwards
    double endQty = 0;
    std::string quoteTime;   // effective from this day, "yyyy-mm-dd"
    std::string expireDate;  // no longer effective on this day
};

enum class QuoteStatus {
    kApplies,    // exactly one entry holds the query: entries[0]
    kNone,       // no audited entry holds it
    kAmbiguous,  // two or more do: entries lists all, by entry ID
};

struct PriceQuote {
    QuoteStatus status = QuoteStatus::kNone;
    std::vector<QuotedEntry> entries;
};

// An entry holds a query when it is audited (FUsed=1), is of the query's
// customer, item, unit and currency, its band holds the quantity
// (FStartQty <= quantity, and quantity <= FEndQty or FEndQty is 0) and its
// period holds the day (FQuoteTime <= day < FExpireDate) -- the reading of a
// sales bill's ledger in selection mode.
//
// A quoter holds one connection to the company its session string names, of
// its own: it shares nothing with CustFace, so a host may keep one open for a
// whole bill and ask once per line.
class ORVA_API PriceQuoter {
  public:
    // The company of the session string the host stored with
    // SetSessionString.
    PriceQuoter();
    // The company of `sessionString` (orva::SessionString). Throws ComError
    // when the string names no company or the company cannot be opened.
    explicit PriceQuoter(const std::string& sessionString);
    ~PriceQuoter();
    PriceQuoter(const PriceQuoter&) = delete;
    PriceQuoter& operator=(const PriceQuoter&) = delete;

    // Throws ComError when the database refuses the look-up.
    PriceQuote Quote(const PriceQuery& query) const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace orva
