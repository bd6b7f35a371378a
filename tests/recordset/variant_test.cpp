#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "orvasaleprice/com_error.h"
#include "orvasaleprice/variant.h"

namespace orva {
namespace {

int ErrorOf(const Variant& v, int which) {
    try {
        if (which == 0)
            v.ToInteger();
        if (which == 1)
            v.ToDouble();
        if (which == 2)
            v.ToBool();
    } catch (const ComError& e) {
        return e.Number();
    }
    return 0;
}

TEST(VariantText, NumbersReadFromText) {
    EXPECT_EQ(Variant(" 42 ").ToInteger(), 42);
    EXPECT_EQ(Variant("+7").ToInteger(), 7);
    EXPECT_EQ(Variant("-3").ToInteger(), -3);
    EXPECT_EQ(Variant("2.5").ToInteger(), 3);  // half away from zero
    EXPECT_EQ(Variant("-2.5").ToInteger(), -3);
    EXPECT_DOUBLE_EQ(Variant(".5").ToDouble(), 0.5);
    EXPECT_DOUBLE_EQ(Variant("-.25").ToDouble(), -0.25);
    EXPECT_DOUBLE_EQ(Variant("1e3").ToDouble(), 1000);
    for (const char* bad :
         {"", "  ", "abc", "12abc", "inf", "nan", "-inf", "+-1", "0x10", "1,5", "--1", "."}) {
        EXPECT_EQ(ErrorOf(Variant(bad), 1), ComError::kTypeMismatch) << bad;
        EXPECT_FALSE(ParseNumber(bad).has_value()) << bad;
    }
}

TEST(VariantText, NumbersWrittenAsText) {
    EXPECT_EQ(Variant(0.1).ToText(), "0.1");
    EXPECT_EQ(Variant(80.0).ToText(), "80");
    EXPECT_EQ(Variant(-0.0).ToText(), "0");
    EXPECT_EQ(Variant(12.345).ToText(), "12.345");
    EXPECT_EQ(Variant(1.0 / 3).ToText(), "0.3333333333333333");
    EXPECT_EQ(Variant(std::int64_t{-9007199254740993}).ToText(), "-9007199254740993");
    EXPECT_EQ(Variant().ToText(), "");
    // Text round trip of a double is exact.
    double v = 0.1 + 0.2;
    EXPECT_EQ(Variant(Variant(v).ToText()).ToDouble(), v);
}

TEST(VariantNumbers, NullAndOverflowAreErrors) {
    EXPECT_EQ(ErrorOf(Variant(), 0), ComError::kTypeMismatch);
    EXPECT_EQ(ErrorOf(Variant(), 1), ComError::kTypeMismatch);
    EXPECT_EQ(ErrorOf(Variant(1e19), 0), ComError::kOverflow);
    EXPECT_EQ(ErrorOf(Variant(-1e19), 0), ComError::kOverflow);
    EXPECT_EQ(ErrorOf(Variant(std::numeric_limits<double>::quiet_NaN()), 0), ComError::kOverflow);
    EXPECT_EQ(ErrorOf(Variant("1e30"), 0), ComError::kOverflow);
    EXPECT_EQ(Variant(-9.2e18).ToInteger(), -9200000000000000000);
    EXPECT_EQ(ErrorOf(Variant(Date{2024, 1, 1}), 1), ComError::kTypeMismatch);
}

TEST(VariantNumbers, IntegerTypesKeepTheirValue) {
    EXPECT_EQ(Variant(std::int16_t{-5}).type(), Variant::Type::Integer);
    EXPECT_EQ(Variant(std::uint32_t{4000000000u}).ToInteger(), 4000000000);
    EXPECT_EQ(Variant(123456789012LL).ToInteger(), 123456789012);
    EXPECT_EQ(Variant(true).ToInteger(), 1);
    EXPECT_EQ(Variant(3.0).type(), Variant::Type::Double);
    EXPECT_FALSE(Variant(1) == Variant(1.0));  // equality keeps the type
}

TEST(VariantBool, TextAndNumbers) {
    EXPECT_TRUE(Variant("True").ToBool());
    EXPECT_TRUE(Variant(" TRUE ").ToBool());
    EXPECT_FALSE(Variant("false").ToBool());
    EXPECT_TRUE(Variant("-1").ToBool());
    EXPECT_FALSE(Variant("0").ToBool());
    EXPECT_TRUE(Variant(0.5).ToBool());
    EXPECT_FALSE(Variant().ToBool());
    EXPECT_EQ(ErrorOf(Variant("yes"), 2), ComError::kTypeMismatch);
}

TEST(VariantDate, ParseAcceptsDateTextsOnly) {
    EXPECT_EQ(Date::Parse("2024-01-31"), (Date{2024, 1, 31}));
    EXPECT_EQ(Date::Parse("2024-1-5"), (Date{2024, 1, 5}));
    EXPECT_EQ(Date::Parse("2024/02/29"), (Date{2024, 2, 29}));
    EXPECT_EQ(Date::Parse(" 2100-01-01 "), (Date{2100, 1, 1}));
    EXPECT_EQ(Date::Parse("2024-01-31 00:00:00.000"), (Date{2024, 1, 31}));
    EXPECT_EQ(Date::Parse("2024-01-31T23:59:59"), (Date{2024, 1, 31}));
    EXPECT_EQ(Date::Parse("2024-01-31 08:30"), (Date{2024, 1, 31}));
    for (const char* bad : {"", "2023-02-29", "1900-02-29", "2024-13-01", "2024-00-10",
                            "2024-04-31", "24-01-01", "2024-01/01", "2024-01-01x",
                            "2024-01-01 garbage", "2024-01-01 25:00", "20240101", "abc"}) {
        EXPECT_FALSE(Date::Parse(bad).has_value()) << bad;
    }
    EXPECT_EQ((Date{2000, 2, 29}).ToText(), "2000-02-29");
    EXPECT_EQ((Date{987, 3, 4}).ToText(), "0987-03-04");
}

TEST(VariantDate, ConversionsToAndFromText) {
    Variant d(Date{2024, 3, 9});
    EXPECT_EQ(d.ToText(), "2024-03-09");
    EXPECT_EQ(d.ToDate(), (Date{2024, 3, 9}));
    EXPECT_EQ(Variant("2024-03-09 12:00:00").ToDate(), (Date{2024, 3, 9}));
    EXPECT_FALSE(Variant("soon").ToDate().has_value());
    EXPECT_FALSE(Variant(20240309).ToDate().has_value());
    EXPECT_FALSE(Variant().ToDate().has_value());
    EXPECT_LT((Date{2023, 12, 31}), (Date{2024, 1, 1}));
    EXPECT_LT((Date{2024, 1, 31}), (Date{2024, 2, 1}));
}

}  // namespace
}  // namespace orva
