#include <gtest/gtest.h>

#include "host/base/nesting_depth.h"
#include "host/recordset_filter.h"
#include "orvasaleprice/com_error.h"
#include "recordset/sample_sets.h"
#include "support/com_error_of.h"

namespace orva {
namespace {

using test::Ids;

// Price entries as the batch update reads them: ids, audit flag, dates as
// text, a price, a note that may be Null.
Recordset Entries() {
    std::vector<Variant> c = {
        1, 10, 100, 0, "2023-06-01", "2024-01-01", 12.5,  Variant(),  //
        2, 10, 100, 1, "2023-06-01", "2024-01-01", 13.0,  "audited",  //
        3, 10, 101, 0, "2023-07-15", "2100-01-01", -2.25, "O'Brien",  //
        4, 11, 100, 0, "2024-01-01", "2024-12-31", 0.0,   "",         //
        5, 11, 102, 1, "2022-12-31", "2023-12-31", 99.99, Variant(),
    };
    return Recordset(
        {"FEntryID", "FCustID", "FItemID", "FUsed", "FQuoteTime", "FExpireDate", "FPrice", "FNote"},
        std::move(c));
}

// Units as the editor's unit check filters them.
Recordset Units() {
    std::vector<Variant> c = {
        1, "kg",  "千克", 7,    //
        2, "g",   "kg",   7,    //
        3, "box", "Box ", "7",  // a group id held as text
        4, "01",  "one",  8,
    };
    return Recordset({"FMeasureUnitID", "FNumber", "FName", "FUnitGroupID"}, std::move(c));
}

std::vector<long> Filtered(Recordset& rs, std::string_view criteria, const char* id = "FEntryID") {
    rs.Filter(criteria);
    return Ids(rs, id);
}

using V = std::vector<long>;

TEST(RecordsetFilter, CriteriaTheModuleWrites) {
    auto rs = Entries();
    EXPECT_EQ(Filtered(rs, " FItemID=100"), (V{1, 2, 4}));
    EXPECT_EQ(Filtered(rs, "FEntryID=3"), (V{3}));
    EXPECT_EQ(Filtered(rs, " FUsed=0 "), (V{1, 3, 4}));
    EXPECT_EQ(Filtered(rs, "FExpireDate='2024-01-01' And  FQuoteTime='2023-06-01' "), (V{1, 2}));
    EXPECT_EQ(Filtered(rs, "FExpireDate='2024-01-01' And  FQuoteTime='2023-06-01'  And FUsed=1 "),
              (V{2}));
    EXPECT_EQ(Filtered(rs,
                       "FExpireDate='2024-01-01' And  FExpireDate='2024-01-01'  And  "
                       "FQuoteTime='2023-06-01'  And  FQuoteTime='2023-06-01' "),
              (V{1, 2}));

    auto units = Units();
    // The keyword follows the closing quote directly.
    EXPECT_EQ(Filtered(units, "FNumber='kg'Or FName='kg'", "FMeasureUnitID"), (V{1, 2}));
    EXPECT_EQ(Filtered(units, "FNumber='kg'", "FMeasureUnitID"), (V{1}));
    EXPECT_EQ(Filtered(units, "  FUnitGroupID=7", "FMeasureUnitID"), (V{1, 2, 3}));
    EXPECT_EQ(Filtered(units, "FMeasureUnitID=4", "FMeasureUnitID"), (V{4}));
}

TEST(RecordsetFilter, NumbersCompareNumerically) {
    auto rs = Entries();
    EXPECT_EQ(Filtered(rs, "FPrice>12.5"), (V{2, 5}));
    EXPECT_EQ(Filtered(rs, "FPrice>=12.5"), (V{1, 2, 5}));
    EXPECT_EQ(Filtered(rs, "FPrice<0"), (V{3}));
    EXPECT_EQ(Filtered(rs, "FPrice<=0"), (V{3, 4}));
    EXPECT_EQ(Filtered(rs, "FPrice = -2.25"), (V{3}));
    EXPECT_EQ(Filtered(rs, "FPrice=13"), (V{2}));  // integer literal, double column
    EXPECT_EQ(Filtered(rs, "FItemID<>100"), (V{3, 5}));
    EXPECT_EQ(Filtered(rs, "FItemID=100.0"), (V{1, 2, 4}));  // decimal literal, integer column
    EXPECT_EQ(Filtered(rs, "FPrice>.5 AND FPrice<+13"), (V{1}));
}

TEST(RecordsetFilter, MixedTextAndNumbers) {
    auto rs = Entries();
    // A number column against quoted text that reads as a number.
    EXPECT_EQ(Filtered(rs, "FItemID='101'"), (V{3}));
    EXPECT_EQ(Filtered(rs, "FPrice>' 50 '"), (V{5}));
    // ... and against text that does not: never equal, no error.
    EXPECT_EQ(Filtered(rs, "FItemID='abc'"), V{});
    EXPECT_EQ(Filtered(rs, "FItemID<>'abc'"), (V{1, 2, 3, 4, 5}));

    auto units = Units();
    // A text column holding a number against an unquoted number.
    EXPECT_EQ(Filtered(units, "FUnitGroupID=7", "FMeasureUnitID"), (V{1, 2, 3}));
    EXPECT_EQ(Filtered(units, "FNumber=1", "FMeasureUnitID"), (V{4}));
    // Text against text stays text: the code "01" is not "1".
    EXPECT_EQ(Filtered(units, "FNumber='1'", "FMeasureUnitID"), V{});
    EXPECT_EQ(Filtered(units, "FNumber='01'", "FMeasureUnitID"), (V{4}));
}

TEST(RecordsetFilter, TextIgnoresCaseAndTrailingBlanks) {
    auto units = Units();
    EXPECT_EQ(Filtered(units, "FNumber='KG'", "FMeasureUnitID"), (V{1}));
    EXPECT_EQ(Filtered(units, "fname='box'", "FMeasureUnitID"), (V{3}));  // stored "Box "
    EXPECT_EQ(Filtered(units, "FName='千克'", "FMeasureUnitID"), (V{1}));
    EXPECT_EQ(Filtered(units, "FNumber>'b' AND FNumber<'H'", "FMeasureUnitID"), (V{2, 3}));

    auto rs = Entries();
    EXPECT_EQ(Filtered(rs, "FNote='O''Brien'"), (V{3}));
    EXPECT_EQ(Filtered(rs, "FNote='AUDITED'"), (V{2}));
    EXPECT_EQ(Filtered(rs, "FNote=''"), (V{4}));
}

TEST(RecordsetFilter, NullMatchesOnlyAnExplicitNull) {
    auto rs = Entries();  // rows 1 and 5 have a Null note
    EXPECT_EQ(Filtered(rs, "FNote<>'x'"), (V{2, 3, 4}));
    EXPECT_EQ(Filtered(rs, "FNote<'zzz'"), (V{2, 3, 4}));
    EXPECT_EQ(Filtered(rs, "FNote>=''"), (V{2, 3, 4}));
    EXPECT_EQ(Filtered(rs, "FNote LIKE '*'"), (V{2, 3, 4}));
    EXPECT_EQ(Filtered(rs, "FNote=Null"), (V{1, 5}));
    EXPECT_EQ(Filtered(rs, "FNote <> null"), (V{2, 3, 4}));
    EXPECT_EQ(Filtered(rs, "FNote = Null OR FUsed=1"), (V{1, 2, 5}));
}

TEST(RecordsetFilter, LikeForms) {
    auto units = Units();
    auto like = [&](const char* c) { return Filtered(units, c, "FMeasureUnitID"); };
    EXPECT_EQ(like("FNumber LIKE 'b*'"), (V{3}));
    EXPECT_EQ(like("FNumber LIKE 'B%'"), (V{3}));
    EXPECT_EQ(like("FNumber like '*g'"), (V{1, 2}));
    EXPECT_EQ(like("FName Like '*O*'"), (V{3, 4}));
    EXPECT_EQ(like("FName LIKE '%n%'"), (V{4}));
    EXPECT_EQ(like("FNumber LIKE 'KG'"), (V{1}));  // no wildcard: equal, any case
    EXPECT_EQ(like("FNumber LIKE 'k'"), V{});
    EXPECT_EQ(like("FNumber LIKE '%'"), (V{1, 2, 3, 4}));
    EXPECT_EQ(like("FUnitGroupID LIKE '8*'"), (V{4}));  // a number column by its text
    EXPECT_EQ(like("FNumber LIKE'g'OR FNumber LIKE'0*'"), (V{2, 4}));
    EXPECT_EQ(like("FName LIKE '千*'"), (V{1}));
}

TEST(RecordsetFilter, Dates) {
    auto rs = Entries();
    EXPECT_EQ(Filtered(rs, "FExpireDate>'2024-01-01'"), (V{3, 4}));
    EXPECT_EQ(Filtered(rs, "FQuoteTime<#2023-06-02#"), (V{1, 2, 5}));
    EXPECT_EQ(Filtered(rs, "FQuoteTime>=#7/15/2023#"), (V{3, 4}));
    EXPECT_EQ(Filtered(rs, "FQuoteTime=#2023/07/15#"), (V{3}));
    // Dates written without leading zeros still compare as dates.
    EXPECT_EQ(Filtered(rs, "FQuoteTime='2023-7-15'"), (V{3}));

    // Date values and datetime texts with a time part.
    Recordset d({"FID", "FDate"}, {1, Date{2024, 1, 1}, 2, "2024-01-01 00:00:00.000", 3,
                                   "2024-02-01 13:45:00", 4, "not a date"});
    EXPECT_EQ(Filtered(d, "FDate='2024-01-01'", "FID"), (V{1, 2}));
    EXPECT_EQ(Filtered(d, "FDate=#2024-01-01#", "FID"), (V{1, 2}));
    EXPECT_EQ(Filtered(d, "FDate>#2024-01-15#", "FID"), (V{3, 4}));  // text order for the last
    EXPECT_EQ(Filtered(d, "FDate<'2024-02-01'", "FID"), (V{1, 2}));
}

TEST(RecordsetFilter, AndBindsTighterThanOrAndParenthesesGroup) {
    auto rs = Entries();
    // Read as FUsed=1 OR (FItemID=101 AND FCustID=10).
    EXPECT_EQ(Filtered(rs, "FUsed=1 OR FItemID=101 AND FCustID=10"), (V{2, 3, 5}));
    EXPECT_EQ(Filtered(rs, "FItemID=101 AND FCustID=10 OR FUsed=1"), (V{2, 3, 5}));
    EXPECT_EQ(Filtered(rs, "(FUsed=1 OR FItemID=101) AND FCustID=10"), (V{2, 3}));
    EXPECT_EQ(Filtered(rs, "(FItemID=100 AND FUsed=0) OR (FItemID=102 AND FUsed=1)"), (V{1, 4, 5}));
    EXPECT_EQ(Filtered(rs, "((FEntryID=1))or(FEntryID=2)AND(FCustID=10)"), (V{1, 2}));
    EXPECT_EQ(Filtered(rs, "FEntryID=1 and FEntryID=2"), V{});
}

TEST(RecordsetFilter, BracketedNamesAndBlanks) {
    Recordset rs({"FID", "Unit Name", "销货量(从)"}, {1, "kg", 0, 2, "box", 10.5, 3, "kg", 100});
    EXPECT_EQ(Filtered(rs, "[Unit Name]='kg'", "FID"), (V{1, 3}));
    EXPECT_EQ(Filtered(rs, "[销货量(从)]>=10", "FID"), (V{2, 3}));
    EXPECT_EQ(Filtered(rs, "\t[fid] <> 2\r\n", "FID"), (V{1, 3}));
    EXPECT_EQ(Filtered(rs, "[FID]=1OR[FID]=2", "FID"), (V{1, 2}));
}

TEST(RecordsetFilter, FilterMovesToTheFirstRowAndEmptyTextShowsAll) {
    auto rs = Entries();
    rs.MoveLast();
    rs.Filter("FCustID=11");
    EXPECT_EQ(rs.RecordCount(), 2);
    EXPECT_FALSE(rs.BOF());
    EXPECT_EQ(rs.Fields("FEntryID").Value().ToInteger(), 4);
    rs.MoveNext();
    EXPECT_EQ(rs.Fields("FEntryID").Value().ToInteger(), 5);
    rs.Filter("");
    EXPECT_EQ(rs.RecordCount(), 5);
    EXPECT_EQ(rs.Fields("FEntryID").Value().ToInteger(), 1);
    EXPECT_EQ(rs.FilterText(), "");

    rs.Filter("FCustID=99");
    EXPECT_EQ(rs.RecordCount(), 0);
    EXPECT_TRUE(rs.BOF());
    EXPECT_TRUE(rs.EOF_());
    EXPECT_THROW(rs.MoveNext(), ComError);
    rs.Filter("   ");
    EXPECT_EQ(rs.RecordCount(), 5);
}

// Each criteria must be refused with kBadFilter, naming the whole string.
TEST(RecordsetFilter, BadCriteriaAreRefusedNamingTheString) {
    const char* bad[] = {
        "FNoSuchField=1",
        "FItemID=",
        "FItemID 100",
        "FNote='open",
        "FNote=plain text",
        "FQuoteTime=#2023-02-30#",
        "FQuoteTime=#2023-01-01",
        "(FItemID=1",
        "FItemID=1)",
        "FItemID=1 FUsed=0",
        "FItemID=1 AND",
        "AND FItemID=1",
        "FNote LIKE 'a*b'",
        "FNote LIKE 3",
        "FPrice<Null",
        "FItemID=1.2.3",
        "FItemID=12abc",
        "()",
        "[FItemID=1",
        "[]=1",
        "FItemID==1",
        "FItemID=1 XOR FUsed=0",
    };
    for (const char* c : bad) {
        auto rs = Entries();
        const auto e = test::ComErrorOf([&] { rs.Filter(c); });
        ASSERT_TRUE(e) << "accepted: " << c;
        EXPECT_EQ(e->Number(), ComError::kBadFilter) << c;
        EXPECT_NE(e->Description().find(std::string("\"") + c + "\""), std::string::npos)
            << e->Description();
    }
}

// Parentheses nested past the limit (11,400 deep crashed the process) are a
// bad filter naming where; the limit leaves room for any real criteria. The
// message quotes a long criteria only in part.
TEST(RecordsetFilter, DeepParenthesesAreRefusedNotACrash) {
    auto nested = [](int n) {
        return std::string(static_cast<std::size_t>(n), '(') + "FItemID=100" +
               std::string(static_cast<std::size_t>(n), ')');
    };
    for (int n : {NestingDepth::kMaxLevels + 1, 11400, 200000}) {
        auto rs = Entries();
        const auto e = test::ComErrorOf([&] { rs.Filter(nested(n)); });
        ASSERT_TRUE(e) << "accepted " << n << " levels";
        EXPECT_EQ(e->Number(), ComError::kBadFilter);
        const std::string offset = std::to_string(NestingDepth::kMaxLevels);
        EXPECT_NE(e->Description().find("nested too deeply at offset " + offset), std::string::npos)
            << e->Description();
        EXPECT_LT(e->Description().size(), 400u);
    }
    auto rs = Entries();
    EXPECT_EQ(Filtered(rs, nested(NestingDepth::kMaxLevels)), (V{1, 2, 4}));
}

TEST(RecordsetFilter, ARefusedCriteriaLeavesTheViewAsItWas) {
    auto rs = Entries();
    rs.Filter("FCustID=11");
    rs.MoveNext();
    EXPECT_THROW(rs.Filter("FCustID=="), ComError);
    EXPECT_EQ(rs.FilterText(), "FCustID=11");
    EXPECT_EQ(rs.RecordCount(), 2);
    EXPECT_EQ(rs.Fields("FEntryID").Value().ToInteger(), 5);
}

}  // namespace
}  // namespace orva
