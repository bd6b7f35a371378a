// The overlap rule on pairs of entries, and the sweep that finds the pairs.
#include "engine/price_overlap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace orva {
namespace {

std::optional<Date> D(const char* text) {
    return *text ? Date::Parse(text) : std::nullopt;
}

PriceSpan Span(std::int32_t id, double from, double to, const char* quote, const char* expire) {
    PriceSpan s;
    s.entryID = id;
    s.custID = 1001;
    s.itemID = 2001;
    s.unitID = 7;
    s.currencyID = 1;
    s.startQty = from;
    s.endQty = to;
    s.quoteTime = D(quote);
    s.expireDate = D(expire);
    return s;
}

struct OverlapCase {
    const char* name;
    PriceSpan a;
    PriceSpan b;
    bool overlap;
};

PriceSpan With(PriceSpan s, std::int32_t PriceSpan::*field, std::int32_t value) {
    s.*field = value;
    return s;
}

TEST(PriceOverlap, IntervalTable) {
    const PriceSpan year = Span(1, 0, 0, "2026-01-01", "2027-01-01");
    const OverlapCase cases[] = {
        {"equal bands, equal periods", year, Span(2, 0, 0, "2026-01-01", "2027-01-01"), true},
        {"bands touch at 10", Span(1, 1, 10, "2026-01-01", "2027-01-01"),
         Span(2, 10, 20, "2026-01-01", "2027-01-01"), true},
        {"bands apart", Span(1, 1, 9.99, "2026-01-01", "2027-01-01"),
         Span(2, 10, 20, "2026-01-01", "2027-01-01"), false},
        {"band inside band", Span(1, 1, 100, "2026-01-01", "2027-01-01"),
         Span(2, 10, 20, "2026-01-01", "2027-01-01"), true},
        {"open band 0-0 holds every quantity", year, Span(2, 500, 999, "2026-01-01", "2027-01-01"),
         true},
        {"open band reaches a high start", Span(1, 100, 0, "2026-01-01", "2027-01-01"),
         Span(2, 5000, 9000, "2026-01-01", "2027-01-01"), true},
        {"open band starts above the other", Span(1, 1000, 0, "2026-01-01", "2027-01-01"),
         Span(2, 10, 999, "2026-01-01", "2027-01-01"), false},
        {"period ends the day the other starts", year, Span(2, 0, 0, "2027-01-01", "2100-01-01"),
         false},
        {"periods share one day", year, Span(2, 0, 0, "2026-12-31", "2100-01-01"), true},
        {"period inside period", year, Span(2, 0, 0, "2026-03-01", "2026-04-01"), true},
        {"open-ended expiry over a later price", Span(1, 0, 0, "2020-01-01", "2100-01-01"),
         Span(2, 0, 0, "2026-06-01", "2026-07-01"), true},
        {"period never in force", year, Span(2, 0, 0, "2026-05-01", "2026-05-01"), false},
        {"no expiry date", year, Span(2, 0, 0, "2026-05-01", ""), false},
        {"different unit", year, With(year, &PriceSpan::unitID, 8), false},
        {"different currency", year, With(year, &PriceSpan::currencyID, 2), false},
        {"different customer", year, With(year, &PriceSpan::custID, 1002), false},
        {"different item", year, With(year, &PriceSpan::itemID, 2002), false},
    };
    for (const OverlapCase& c : cases) {
        EXPECT_EQ(Overlap(c.a, c.b), c.overlap) << c.name;
        EXPECT_EQ(Overlap(c.b, c.a), c.overlap) << c.name << " (other way round)";
        // The sweep finds the same answer as the rule.
        const auto pairs = OverlappingPairs({c.a, c.b});
        EXPECT_EQ(pairs.size(), SameKey(c.a, c.b) && c.overlap ? 1u : 0u) << c.name << " (sweep)";
    }
}

// The sweep over one customer, item and unit with two currencies mixed and
// out of date order, an entry that expired before a later one began, three
// entries that all share a day, an entry read twice, and another unit after
// it: exactly the pairs the rule names, each once, earlier start first.
TEST(PriceOverlap, SweepFindsEveryPairTheRuleNames) {
    const std::vector<PriceSpan> spans = {
        Span(1, 0, 0, "2026-06-01", "2026-09-01"),  // overlaps 2 and 3
        With(Span(6, 0, 0, "2026-01-01", "2100-01-01"), &PriceSpan::currencyID, 2),
        Span(2, 0, 0, "2026-01-01", "2100-01-01"),  // overlaps 1, 3, 4
        Span(3, 1, 10, "2026-08-01", "2026-08-02"),
        With(Span(7, 0, 0, "2025-01-01", "2100-01-01"), &PriceSpan::currencyID, 2),
        Span(4, 50, 0, "2025-01-01", "2026-01-02"),  // last day is the first of 2
        Span(5, 0, 0, "2024-01-01", "2025-01-01"),   // ends the day 4 starts
        Span(3, 1, 10, "2026-08-01", "2026-08-02"),  // 3 again
        With(Span(8, 0, 0, "2020-01-01", "2100-01-01"), &PriceSpan::unitID, 8),
        With(Span(9, 0, 0, "2026-01-01", "2100-01-01"), &PriceSpan::unitID, 8),
    };
    using IdPairs = std::set<std::pair<std::int32_t, std::int32_t>>;
    IdPairs byRule, bySweep;
    for (std::size_t i = 0; i < spans.size(); ++i)
        for (std::size_t j = i + 1; j < spans.size(); ++j)
            if (spans[i].entryID != spans[j].entryID && Overlap(spans[i], spans[j]))
                byRule.emplace(std::minmax(spans[i].entryID, spans[j].entryID));
    for (auto [i, j] : OverlappingPairs(spans)) {
        EXPECT_LE(*spans[i].quoteTime, *spans[j].quoteTime);
        EXPECT_TRUE(bySweep.emplace(std::minmax(spans[i].entryID, spans[j].entryID)).second)
            << spans[i].entryID << "-" << spans[j].entryID << " twice";
    }
    const IdPairs expected = {{1, 2}, {1, 3}, {2, 3}, {2, 4}, {6, 7}, {8, 9}};
    EXPECT_EQ(byRule, expected);
    EXPECT_EQ(bySweep, expected);
}

}  // namespace
}  // namespace orva
