// When two price entries overlap: the one rule, and the sweep that finds
// every overlapping pair in a list of entries.
//
// Two entries of the same customer, item, unit and currency overlap when a
// sale could match both: their quantity bands share a quantity and their
// validity periods share a day. Whether either is audited does not matter
// (an unaudited entry is one audit away from the sales bill).
//
// A quantity band runs from FStartQty to FEndQty, both ends included, so
// bands 1-10 and 10-20 share the quantity 10. An FEndQty of 0 leaves the band
// open above: the editor proposes the band 0-0 and refuses an end below the
// start, so 0-0 is the only band with an end of 0 it writes, and the price
// entries it proposes (and most of the demo company's base prices, beside
// their quantity breaks such as 10-999) carry it as "any quantity".
//
// A validity period runs from FQuoteTime (included) to FExpireDate
// (excluded): a sales bill takes an entry on day D when FQuoteTime <= D and
// FExpireDate > D. A period that ends on the day another begins therefore
// shares no day with it, and a period whose expiry is its effective date is
// never in force and overlaps nothing. An entry without a readable date is
// never in force either.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "orvasaleprice/variant.h"

namespace orva {

// The columns of one entry that decide whether it overlaps another.
struct PriceSpan {
    std::int32_t entryID = 0;
    std::int32_t custID = 0;
    std::int32_t itemID = 0;
    std::int32_t unitID = 0;
    std::int32_t currencyID = 0;
    double startQty = 0;
    double endQty = 0;  // 0: no upper end
    std::optional<Date> quoteTime;
    std::optional<Date> expireDate;
};

// The two ends share a quantity.
bool BandsIntersect(double start1, double end1, double start2, double end2);
// The two periods share a day; false when a date is missing.
bool PeriodsIntersect(const std::optional<Date>& from1, const std::optional<Date>& to1,
                      const std::optional<Date>& from2, const std::optional<Date>& to2);
// Same customer, item, unit and currency, bands and periods intersecting.
bool Overlap(const PriceSpan& a, const PriceSpan& b);

// Same customer, item, unit and currency.
bool SameKey(const PriceSpan& a, const PriceSpan& b);

// The indexes of every overlapping pair among `spans`, in which the entries
// of one customer, item and unit stand next to each other, in any order of
// currency and date (so that a statement can read them in the order of an
// index on customer, item and unit). An entry that stands there twice (the
// same entryID, as a join may repeat it) counts once. Each pair once, the
// earlier effective date first, key by key. Within each key a sweep over the
// effective dates compares an entry only with the entries of its key still
// in force on its effective date.
std::vector<std::pair<std::size_t, std::size_t>> OverlappingPairs(
    const std::vector<PriceSpan>& spans);

}  // namespace orva
