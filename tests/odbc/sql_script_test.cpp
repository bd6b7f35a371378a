// Scripts split at GO lines, and record sets written as tab-separated text.
#include <gtest/gtest.h>

#include <sstream>

#include "host/sql_script.h"

namespace orva {
namespace {

TEST(SplitGoBatches, SeparatorLinesOnly) {
    const std::string script =
        "SELECT 1\n"
        "go\n"
        "  GO  \r\n"  // an empty batch between two separators
        "SELECT 'GO'\n"
        "GOTO here\n"      // not a separator
        "go -- comment\n"  // not alone on its line
        "\tGo\t\n"
        "\n"
        "SELECT 3";  // the last batch needs no GO
    auto b = SplitGoBatches(script);
    ASSERT_EQ(b.size(), 3u);
    EXPECT_EQ(b[0].text, "SELECT 1\n");
    EXPECT_EQ(b[0].firstLine, 1);
    EXPECT_EQ(b[1].text, "SELECT 'GO'\nGOTO here\ngo -- comment\n");
    EXPECT_EQ(b[1].firstLine, 4);
    EXPECT_EQ(b[2].text, "\nSELECT 3");
    EXPECT_EQ(b[2].firstLine, 8);
}

TEST(SplitGoBatches, KeepsLineEndsAndSkipsBlankScripts) {
    auto b = SplitGoBatches("UPDATE t SET a = 1\r\nWHERE b = 2\r\nGO\r\n");
    ASSERT_EQ(b.size(), 1u);
    EXPECT_EQ(b[0].text, "UPDATE t SET a = 1\r\nWHERE b = 2\r\n");
    EXPECT_TRUE(SplitGoBatches("").empty());
    EXPECT_TRUE(SplitGoBatches("\n  \nGO\n\t\n").empty());
}

TEST(WriteRecordset, TabsNullsNumbersAndDates) {
    Recordset rs({"FItemID", "FName", "FPrice", "FQuoteTime"},
                 {Variant(1), Variant("螺丝 M4"), Variant(0.1), Variant(Date{2024, 3, 1}),
                  Variant(22), Variant(), Variant(80.0), Variant()});
    std::ostringstream out;
    WriteRecordset(out, rs);
    EXPECT_EQ(out.str(),
              "FItemID\tFName\tFPrice\tFQuoteTime\n"
              "1\t螺丝 M4\t0.1\t2024-03-01\n"
              "22\tNULL\t80\tNULL\n");
}

TEST(WriteRecordset, WritesTheViewWithoutMovingIt) {
    Recordset rs({"k"}, {Variant(1), Variant(2), Variant(3)});
    rs.Filter("k >= 2");
    rs.MoveLast();
    std::ostringstream out;
    WriteRecordset(out, rs);
    EXPECT_EQ(out.str(), "k\n2\n3\n");
    EXPECT_EQ(rs.Fields(0).Value(), Variant(3));

    Recordset empty({"a", "b"}, std::vector<Variant>{});
    std::ostringstream header;
    WriteRecordset(header, empty);
    EXPECT_EQ(header.str(), "a\tb\n");
}

}  // namespace
}  // namespace orva
