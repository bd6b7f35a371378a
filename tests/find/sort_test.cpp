// Sorting for the find component: Chinese text in pinyin order, codes by
// their text, numbers and dates by value, empty values last either way, up
// to three keys, and equal records keeping their order.
#include <gtest/gtest.h>

#include "find/find_records.h"
#include "host/find/find_sort.h"

namespace orva {
namespace {

using test::kName;
using test::kNumber;
using test::kPrice;
using test::kQuote;

std::shared_ptr<Recordset> Sample() {
    return test::Ledger({
        {"A", "张", 10.0, "2024-03-01", "", "Y"},
        {"B", "阿", 9.0, "2024-12-01", "", "Y"},
        {"C", "", 100.0, Variant(), "", "Y"},
        {"D", "北", 10.0, "2023-01-01", "", "Y"},
        {"E", "陈", Variant(), "2024-03-01", "", "Y"},
        {"F", "北", 9.0, "2025-01-01", "", "Y"},
        {"G", "北", 9.0, "2025-01-01", "", "Y"},
    });
}

struct SortCase {
    const char* what;
    std::vector<FindSortKey> keys;
    std::vector<std::string> expected;
};

class Sorting : public ::testing::TestWithParam<SortCase> {};

TEST_P(Sorting, OrdersTheRecords) {
    const SortCase& c = GetParam();
    EXPECT_EQ(test::Numbers(*SortRecords(*Sample(), test::LedgerFields(), c.keys)), c.expected)
        << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, Sorting,
    ::testing::Values(
        SortCase{"pinyin order, ties stable, empty last",
                 {{kName, false}},
                 {"B", "D", "F", "G", "E", "A", "C"}},
        SortCase{"descending, ties stable, empty still last",
                 {{kName, true}},
                 {"A", "E", "D", "F", "G", "B", "C"}},
        SortCase{"numbers by value, ties stable",
                 {{kPrice, false}},
                 {"B", "F", "G", "A", "D", "C", "E"}},
        SortCase{"price descending then name",
                 {{kPrice, true}, {kName, false}},
                 {"C", "D", "A", "B", "F", "G", "E"}},
        SortCase{"dates by value", {{kQuote, false}}, {"D", "A", "E", "B", "F", "G", "C"}},
        SortCase{"three keys",
                 {{kPrice, false}, {kQuote, true}, {kNumber, true}},
                 {"G", "F", "B", "A", "D", "C", "E"}},
        SortCase{"no keys keeps the order", {}, {"A", "B", "C", "D", "E", "F", "G"}}));

TEST(Sorting, CodesSortByTheirText) {
    auto rs = test::Ledger({{"01.01", "", 0, "", "", ""},
                            {"01.002", "", 0, "", "", ""},
                            {"1.1", "", 0, "", "", ""},
                            {"01.0010", "", 0, "", "", ""}});
    EXPECT_EQ(test::Numbers(*SortRecords(*rs, test::LedgerFields(), {{kNumber, false}})),
              (std::vector<std::string>{"01.0010", "01.002", "01.01", "1.1"}));
}

}  // namespace
}  // namespace orva
