// What a cell accepts when the user types, per kind, and how it shows
// stored numbers.
#include <gtest/gtest.h>

#include "host/controls/cell_type.h"

namespace orva {
namespace {

TEST(CellTypeTyping, DecimalRefusesWhatTheCellCannotHold) {
    const CellType price = CellType::Decimal(2, -9999999.99, 9999999.99);
    for (const char* bad : {"abc", "12a", "1.2.3", "1,5", "12.345", "10000000", "-10000000",
                            "9999999.991", ".", "-", "1e3", "+-1"}) {
        EXPECT_FALSE(price.Accept(bad)) << bad;
    }
    EXPECT_EQ(price.Accept("9999999.99"), "9999999.99");
    EXPECT_EQ(price.Accept("-9999999.99"), "-9999999.99");
    EXPECT_EQ(price.Accept(" +007.50 "), "7.50");
    EXPECT_EQ(price.Accept(".5"), "0.5");
    EXPECT_EQ(price.Accept("5."), "5");
    EXPECT_EQ(price.Accept("-0.00"), "0.00");
    EXPECT_EQ(price.Accept(""), "");  // emptying the cell is allowed

    const CellType discount = CellType::Decimal(2, 0, 100);
    EXPECT_FALSE(discount.Accept("-1"));
    EXPECT_FALSE(discount.Accept("100.01"));
    EXPECT_EQ(discount.Accept("100"), "100");

    const CellType whole = CellType::Decimal(0, 0, 10);
    EXPECT_FALSE(whole.Accept("1.5"));
    EXPECT_EQ(whole.Accept("3"), "3");
}

TEST(CellTypeTyping, IntegerRefusesFractionsAndOverflow) {
    const CellType lead = CellType::Integer(-99999999, 99999999);
    EXPECT_EQ(lead.Accept("99999999"), "99999999");
    EXPECT_EQ(lead.Accept("-5"), "-5");
    for (const char* bad : {"100000000", "1.0", "1.", "seven", "99999999999999999999999"}) {
        EXPECT_FALSE(lead.Accept(bad)) << bad;
    }
}

TEST(CellTypeTyping, DateMustBeARealDayInRange) {
    const CellType date = CellType::Date("1900-01-01", "9999-01-01");
    EXPECT_EQ(date.Accept("2026-12-04"), "2026-12-04");
    EXPECT_EQ(date.Accept("2026-2-3"), "2026-02-03");
    EXPECT_EQ(date.Accept("2026/02/03"), "2026-02-03");
    EXPECT_EQ(date.Accept("2024-02-29"), "2024-02-29");
    EXPECT_EQ(date.Accept("2000-02-29"), "2000-02-29");
    EXPECT_EQ(date.Accept("9999-01-01"), "9999-01-01");
    for (const char* bad : {"2023-02-29", "1900-02-29", "2026-02-30", "2026-04-31", "2026-13-01",
                            "2026-00-10", "1899-12-31", "9999-01-02", "26-01-01", "2026-01",
                            "2026-01/02", "tomorrow", "2026-1-1-1"}) {
        EXPECT_FALSE(date.Accept(bad)) << bad;
    }
}

TEST(CellTypeTyping, TextCountsCharactersNotBytes) {
    const CellType note = CellType::Text(4);
    EXPECT_EQ(note.Accept("客户名称"), "客户名称");
    EXPECT_FALSE(note.Accept("客户名称X"));
    EXPECT_EQ(note.Accept(" ab "), " ab ");  // text is kept as typed
    EXPECT_EQ(CellType::Text().Accept(std::string(5000, 'x'))->size(), 5000u);
    EXPECT_FALSE(CellType::StaticText().Accept(""));
    EXPECT_FALSE(CellType::StaticText().Accept("x"));
}

TEST(CellTypeDisplay, DecimalsShowTheirPlacesRoundedHalfAwayFromZero) {
    const CellType two = CellType::Decimal(2, -1e9, 1e9);
    EXPECT_EQ(two.Display("12.5"), "12.50");
    EXPECT_EQ(two.Display("2.675"), "2.68");  // 2.675 is not exact in binary
    EXPECT_EQ(two.Display("-1.005"), "-1.01");
    EXPECT_EQ(two.Display("9.995"), "10.00");
    EXPECT_EQ(two.Display("-0.001"), "0.00");
    EXPECT_EQ(two.Display("0"), "0.00");
    EXPECT_EQ(two.Display("1E+3"), "1000.00");
    EXPECT_EQ(two.Display("n/a"), "n/a");
    EXPECT_EQ(two.Display(""), "");
    EXPECT_EQ(CellType::Decimal(0, 0, 100).Display("99.5"), "100");
    EXPECT_EQ(CellType::Integer(0, 10).Display("007"), "007");  // only decimals are formatted
}

}  // namespace
}  // namespace orva
