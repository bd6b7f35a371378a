// The price that applies to a sales bill's line: one entry, none, or several
// that overlap, over entries inserted into a fresh demo company for customer
// and item IDs the demo leaves without entries.
#include "orvasaleprice/price_quote.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "demo/demo_company.h"
#include "engine/price_quote.h"
#include "host/app_connection.h"
#include "host/session_string.h"
#include "support/temp_company.h"

namespace orva {
namespace {

constexpr int kItem = 900100;
constexpr int kUnit = 11, kOtherUnit = 12;
constexpr int kOtherCurrency = 2;
// Entry IDs above the demo's own.
constexpr int kFirstEntry = 900000;
constexpr int kOneApplies = 900001, kNearMisses = 900002, kOverlap = 900003;

struct Entry {
    int id, cust, unit, cy;
    double start, end;
    const char *from, *to;
    int used;
    double price;
};

// Against the query 50 units on 2024-06-01 in unit kUnit, base currency.
const Entry kEntries[] = {
    {1, kOneApplies, kUnit, 1, 10, 100, "2024-01-01", "2025-01-01", 1, 9.5},
    {2, kOneApplies, kUnit, 1, 0, 0, "2020-01-01", "2100-01-01", 0, 8},  // not audited
    {3, kOneApplies, kOtherUnit, 1, 0, 0, "2020-01-01", "2100-01-01", 1, 7},
    {4, kOneApplies, kUnit, kOtherCurrency, 0, 0, "2020-01-01", "2100-01-01", 1, 6},
    // Each misses the query by one rule.
    {11, kNearMisses, kUnit, 1, 0, 0, "2020-01-01", "2100-01-01", 0, 5},     // not audited
    {12, kNearMisses, kUnit, 1, 0, 0, "2024-06-02", "2100-01-01", 1, 5},     // starts the day after
    {13, kNearMisses, kUnit, 1, 0, 0, "2020-01-01", "2024-06-01", 1, 5},     // expires that day
    {14, kNearMisses, kUnit, 1, 0, 0, "2020-01-01", "2024-05-01", 1, 5},     // expired before
    {15, kNearMisses, kUnit, 1, 60, 100, "2020-01-01", "2100-01-01", 1, 5},  // band above
    {16, kNearMisses, kUnit, 1, 0, 40, "2020-01-01", "2100-01-01", 1, 5},    // band below
    {17, kNearMisses, kOtherUnit, 1, 0, 0, "2020-01-01", "2100-01-01", 1, 5},
    {18, kNearMisses, kUnit, kOtherCurrency, 0, 0, "2020-01-01", "2100-01-01", 1, 5},
    // Two whose bands and periods both hold the query, one whose band does not.
    {21, kOverlap, kUnit, 1, 10, 100, "2024-01-01", "2100-01-01", 1, 4.25},
    {22, kOverlap, kUnit, 1, 40, 60, "2024-03-01", "2024-12-31", 1, 4.5},
    {23, kOverlap, kUnit, 1, 70, 80, "2024-01-01", "2100-01-01", 1, 4.75},
};

class PriceQuoteTest : public ::testing::Test {
  protected:
    void SetUp() override {
        AppConnection db(session_);
        for (const Entry& e : kEntries) {
            db.Execute(
                "INSERT INTO t_CustEntry (FBrNo,FEntryID,FCustID,FItemID,FUnitID,"
                "FStartQty,FEndQty,FPrice,FCyID,FQuoteTime,FExpireDate,FUsed) VALUES ('0'," +
                std::to_string(kFirstEntry + e.id) + "," + std::to_string(e.cust) + "," +
                std::to_string(kItem) + "," + std::to_string(e.unit) + "," +
                std::to_string(e.start) + "," + std::to_string(e.end) + "," +
                std::to_string(e.price) + "," + std::to_string(e.cy) + ",'" + e.from + "','" +
                e.to + "'," + std::to_string(e.used) + ")");
        }
    }

    test::TempCompany company_;
    std::string session_ = MakeSessionString(company_.path(), demo::kAdminUserId);
};

PriceQuery Query(int cust, double qty = 50, const char* day = "2024-06-01", int unit = kUnit,
                 int cy = 1) {
    return {cust, kItem, unit, cy, qty, Date::Parse(day)};
}

TEST_F(PriceQuoteTest, AnswersTheEntryThatAppliesNoneOrTheOverlap) {
    struct Case {
        const char* name;
        PriceQuery query;
        QuoteStatus status;
        std::vector<int> entries;
    };
    const Case cases[] = {
        {"one audited entry holds it", Query(kOneApplies), QuoteStatus::kApplies, {1}},
        {"band start is inside", Query(kOneApplies, 10), QuoteStatus::kApplies, {1}},
        {"band end is inside", Query(kOneApplies, 100), QuoteStatus::kApplies, {1}},
        {"above the band", Query(kOneApplies, 100.5), QuoteStatus::kNone, {}},
        {"effective day is inside",
         Query(kOneApplies, 50, "2024-01-01"),
         QuoteStatus::kApplies,
         {1}},
        {"expiry day is outside", Query(kOneApplies, 50, "2025-01-01"), QuoteStatus::kNone, {}},
        {"band 0 to 0 holds any quantity",
         Query(kOneApplies, 1e6, "2024-06-01", kOtherUnit),
         QuoteStatus::kApplies,
         {3}},
        {"other currency",
         Query(kOneApplies, 50, "2024-06-01", kUnit, kOtherCurrency),
         QuoteStatus::kApplies,
         {4}},
        {"each entry misses by one rule", Query(kNearMisses), QuoteStatus::kNone, {}},
        {"two bands and periods hold it", Query(kOverlap), QuoteStatus::kAmbiguous, {21, 22}},
        {"the overlap ends with the shorter period",
         Query(kOverlap, 50, "2024-12-31"),
         QuoteStatus::kApplies,
         {21}},
    };
    PriceQuoter quoter(session_);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PriceQuote quote = quoter.Quote(c.query);
        EXPECT_EQ(quote.status, c.status);
        std::vector<int> ids;
        for (const QuotedEntry& e : quote.entries) ids.push_back(e.entryID - kFirstEntry);
        EXPECT_EQ(ids, c.entries);
    }
}

TEST_F(PriceQuoteTest, ReportsThePriceBandAndPeriodOfEachEntry) {
    const PriceQuote quote = PriceQuoter(session_).Quote(Query(kOverlap));
    ASSERT_EQ(quote.entries.size(), 2u);
    const QuotedEntry& e = quote.entries[1];
    EXPECT_EQ(e.price, 4.5);
    EXPECT_EQ(e.startQty, 40);
    EXPECT_EQ(e.endQty, 60);
    EXPECT_EQ(e.quoteTime, "2024-03-01");
    EXPECT_EQ(e.expireDate, "2024-12-31");
}

TEST(PriceQuoteSql, WithoutADayAsksForToday) {
    PriceQuery q{1, 2, 3, 1, 5, std::nullopt};
    const std::string today = "'" + Date::Today().ToText() + "'";
    EXPECT_NE(QuoteSql(q).find("FQuoteTime<=" + today + " AND FExpireDate>" + today),
              std::string::npos);
}

}  // namespace
}  // namespace orva
