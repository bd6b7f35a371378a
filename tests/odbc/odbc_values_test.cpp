// Pieces of the ODBC back end that need no driver: values read as text and
// connection strings shown in messages.
#include <gtest/gtest.h>

#include "host/db/odbc/odbc_connection_string.h"
#include "host/db/odbc/odbc_result_reader.h"

namespace orva {
namespace {

TEST(OdbcValueFromText, NumbersKeepTheirKindOrFallBack) {
    using K = OdbcColumnKind;
    EXPECT_EQ(OdbcValueFromText(K::kInteger, "-2147483648"), Variant(std::int64_t{-2147483648}));
    EXPECT_EQ(OdbcValueFromText(K::kInteger, "9000000000"), Variant(std::int64_t{9000000000}));
    // Too wide for 64 bits (a decimal(38,0)), or not whole: a double.
    EXPECT_EQ(OdbcValueFromText(K::kInteger, "123456789012345678901234"),
              Variant(1.2345678901234568e23));
    EXPECT_EQ(OdbcValueFromText(K::kInteger, "2.7"), Variant(2.7));
    // Money and decimals as the server writes them.
    EXPECT_EQ(OdbcValueFromText(K::kDecimal, "12.3400"), Variant(12.34));
    EXPECT_EQ(OdbcValueFromText(K::kDecimal, ".5000"), Variant(0.5));
    EXPECT_EQ(OdbcValueFromText(K::kDecimal, "-0.0100"), Variant(-0.01));
    // Not a number at all: the text as it is.
    EXPECT_EQ(OdbcValueFromText(K::kInteger, "12a"), Variant("12a"));
    EXPECT_EQ(OdbcValueFromText(K::kDecimal, ""), Variant(""));
    EXPECT_EQ(OdbcValueFromText(K::kText, "42"), Variant("42"));
}

TEST(OdbcValueFromText, DatesDropTheTimeOfDay) {
    using K = OdbcColumnKind;
    EXPECT_EQ(OdbcValueFromText(K::kDate, "2024-01-05"), Variant(Date{2024, 1, 5}));
    EXPECT_EQ(OdbcValueFromText(K::kDate, "2100-01-01 00:00:00.000"), Variant(Date{2100, 1, 1}));
    EXPECT_EQ(OdbcValueFromText(K::kDate, "2023-12-31 23:59:59.9999999"),
              Variant(Date{2023, 12, 31}));
    EXPECT_EQ(OdbcValueFromText(K::kDate, "2023-02-30"), Variant("2023-02-30"));
}

TEST(RedactConnectionString, HidesEveryPasswordForm) {
    EXPECT_EQ(RedactConnectionString("DRIVER={FreeTDS};SERVER=h;UID=sa;PWD=s3cret;DATABASE=db"),
              "DRIVER={FreeTDS};SERVER=h;UID=sa;PWD=***;DATABASE=db");
    EXPECT_EQ(RedactConnectionString("DSN=erp;pwd=x;"), "DSN=erp;pwd=***;");
    EXPECT_EQ(RedactConnectionString("DSN=erp; Password = abc"), "DSN=erp; Password =***");
    // A braced password may hold ';', '=' and doubled closing braces.
    EXPECT_EQ(RedactConnectionString("UID=u;PWD={a;b=}}c};SERVER=h"), "UID=u;PWD=***;SERVER=h");
    // Other braced values keep their ';'.
    EXPECT_EQ(RedactConnectionString("DRIVER={x;y};Database=/tmp/a.db"),
              "DRIVER={x;y};Database=/tmp/a.db");
    EXPECT_EQ(RedactConnectionString("DRIVER=SQLite3;Database=/tmp/a.db"),
              "DRIVER=SQLite3;Database=/tmp/a.db");
}

}  // namespace
}  // namespace orva
