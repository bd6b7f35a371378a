// Which entries a save would leave overlapping: each saved entry against the
// entries of its key as they stand once the whole save is written.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "engine/price_store.h"
#include "host/app_connection.h"
#include "host/db/open_database.h"
#include "support/company_queries.h"
#include "support/temp_company.h"

namespace orva::test {
namespace {

constexpr std::int32_t kItem = 1098;  // 01.01.001, base unit 106

// One entry's band, period and currency; id 0 is a new entry.
struct Span {
    std::int32_t id;
    const char* start;
    const char* end;
    const char* from;
    const char* to;
    const char* currency = "1";
    const char* unit = "106";
};

struct Case {
    const char* name;
    std::vector<Span> stored;
    std::vector<Span> saved;                                     // written by one command
    std::vector<std::pair<std::size_t, std::int32_t>> expected;  // saved index, other entry
};

class PriceStoreOverlapTest : public ::testing::Test, protected CompanyQueries {
  protected:
    std::string CompanyPath() const override { return company.path(); }
    TempCompany company;
};

TEST_F(PriceStoreOverlapTest, SavedEntriesAgainstTheKeyAsItWillStand) {
    const Span a{9001, "0", "100", "2024-01-01", "2025-01-01"};
    const Span b{9002, "0", "100", "2025-01-01", "2100-01-01"};
    const Span aSwapped{9001, "0", "100", "2025-01-01", "2100-01-01"};
    const Span bSwapped{9002, "0", "100", "2024-01-01", "2025-01-01"};
    const Span third{9003, "50", "60", "2025-06-01", "2025-07-01"};
    const std::vector<Case> cases = {
        {"new entry from the day the stored one expires",
         {a},
         {{0, "0", "100", "2025-01-01", "2100-01-01"}},
         {}},
        {"new entry inside a stored period",
         {a},
         {{0, "100", "200", "2024-06-01", "2024-07-01"}},
         {{0, 9001}}},
        {"open band meets a higher band",
         {{9001, "0", "0", "2024-01-01", "2025-01-01"}},
         {{0, "500", "1000", "2024-03-01", "2024-04-01"}},
         {{0, 9001}}},
        {"bands that touch at one quantity",
         {a},
         {{0, "100", "200", "2024-03-01", "2024-04-01"}},
         {{0, 9001}}},
        {"bands apart", {a}, {{0, "101", "200", "2024-03-01", "2024-04-01"}}, {}},
        {"stored entry edited over its own old period",
         {a},
         {{9001, "0", "200", "2024-01-01", "2026-01-01"}},
         {}},
        {"swap of two periods in one save", {a, b}, {aSwapped, bSwapped}, {}},
        {"half of the swap meets the other's old period", {a, b}, {aSwapped}, {{0, 9002}}},
        {"swap whose new period meets a third entry",
         {a, b, third},
         {aSwapped, bSwapped},
         {{0, 9003}}},
        {"two new entries of one save",
         {},
         {{0, "0", "10", "2024-01-01", "2025-01-01"}, {0, "5", "20", "2024-06-01", "2024-07-01"}},
         {{0, 0}, {1, 0}}},
        {"empty currency is currency 1",
         {a},
         {{0, "0", "100", "2024-06-01", "2024-07-01", ""}},
         {{0, 9001}}},
        {"other currency", {a}, {{0, "0", "100", "2024-06-01", "2024-07-01", "1000"}}, {}},
        {"other unit", {a}, {{0, "0", "100", "2024-06-01", "2024-07-01", "1", "107"}}, {}},
    };
    const std::string cust = std::to_string(CustomerID("99"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Exec("DELETE FROM t_CustEntry WHERE FCustID=" + cust);
        for (const Span& s : c.stored) {
            Exec(
                "INSERT INTO t_CustEntry (FBrNo,FEntryID,FCustID,FItemID,FUnitID,FStartQty,"
                "FEndQty,FPrice,FCyID,FLeadTime,FQuoteTime,FExpireDate,FUsed,FNote) VALUES ('0'," +
                std::to_string(s.id) + "," + cust + "," + std::to_string(kItem) + "," + s.unit +
                "," + s.start + "," + s.end + ",7," + s.currency + ",0,'" + s.from + "','" + s.to +
                "',1,'')");
        }
        std::vector<PriceEntry> saved;
        for (const Span& s : c.saved) {
            PriceEntry e;
            e.entryID = s.id;
            e.custID = cust;
            e.itemID = std::to_string(kItem);
            e.unitID = s.unit;
            e.startQty = s.start;
            e.endQty = s.end;
            e.price = "8";
            e.currencyID = s.currency;
            e.quoteTime = s.from;
            e.expireDate = s.to;
            saved.push_back(e);
        }
        AppConnection db(OpenDatabase(company.path()));
        std::vector<std::pair<std::size_t, std::int32_t>> found;
        for (const auto& f : PriceStore(db).FindOverlaps(saved))
            found.emplace_back(f.saved, f.entryID);
        EXPECT_EQ(found, c.expected);
    }
}

}  // namespace
}  // namespace orva::test
