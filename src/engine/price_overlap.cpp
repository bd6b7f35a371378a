#include "engine/price_overlap.h"

#include <algorithm>
#include <limits>
#include <tuple>

namespace orva {

namespace {

double UpperEnd(double end) {
    return end == 0 ? std::numeric_limits<double>::infinity() : end;
}

}  // namespace

bool BandsIntersect(double start1, double end1, double start2, double end2) {
    return start1 <= UpperEnd(end2) && start2 <= UpperEnd(end1);
}

bool PeriodsIntersect(const std::optional<Date>& from1, const std::optional<Date>& to1,
                      const std::optional<Date>& from2, const std::optional<Date>& to2) {
    if (!from1 || !to1 || !from2 || !to2)
        return false;
    // Expiry excluded: each must begin before the other expires, and neither
    // may be empty.
    return *from1 < *to1 && *from2 < *to2 && *from1 < *to2 && *from2 < *to1;
}

bool SameKey(const PriceSpan& a, const PriceSpan& b) {
    return a.custID == b.custID && a.itemID == b.itemID && a.unitID == b.unitID &&
           a.currencyID == b.currencyID;
}

bool Overlap(const PriceSpan& a, const PriceSpan& b) {
    return SameKey(a, b) && BandsIntersect(a.startQty, a.endQty, b.startQty, b.endQty) &&
           PeriodsIntersect(a.quoteTime, a.expireDate, b.quoteTime, b.expireDate);
}

std::vector<std::pair<std::size_t, std::size_t>> OverlappingPairs(
    const std::vector<PriceSpan>& spans) {
    std::vector<std::pair<std::size_t, std::size_t>> pairs;
    std::vector<std::size_t> order;   // one run's entries in force, by currency and date
    std::vector<std::size_t> active;  // those of the current one's currency not yet expired
    auto byCurrencyAndStart = [&](std::size_t a, std::size_t b) {
        const PriceSpan& x = spans[a];
        const PriceSpan& y = spans[b];
        return std::tie(x.currencyID, *x.quoteTime, x.entryID) <
               std::tie(y.currencyID, *y.quoteTime, y.entryID);
    };
    auto sameRun = [](const PriceSpan& a, const PriceSpan& b) {
        return a.custID == b.custID && a.itemID == b.itemID && a.unitID == b.unitID;
    };
    std::size_t first = 0;
    while (first < spans.size()) {
        std::size_t last = first + 1;
        while (last < spans.size() && sameRun(spans[first], spans[last])) ++last;

        order.clear();
        for (std::size_t i = first; i < last; ++i) {
            const PriceSpan& s = spans[i];
            if (s.quoteTime && s.expireDate && *s.quoteTime < *s.expireDate)
                order.push_back(i);
        }
        std::sort(order.begin(), order.end(), byCurrencyAndStart);

        active.clear();
        const PriceSpan* previous = nullptr;
        for (std::size_t i : order) {
            const PriceSpan& s = spans[i];
            if (previous && previous->entryID == s.entryID)
                continue;
            if (previous && previous->currencyID != s.currencyID)
                active.clear();
            previous = &s;
            std::erase_if(active,
                          [&](std::size_t a) { return *spans[a].expireDate <= *s.quoteTime; });
            for (std::size_t a : active) {
                if (BandsIntersect(spans[a].startQty, spans[a].endQty, s.startQty, s.endQty))
                    pairs.emplace_back(a, i);
            }
            active.push_back(i);
        }
        first = last;
    }
    return pairs;
}

}  // namespace orva
