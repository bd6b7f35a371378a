// Criteria of the find component: each operator on each kind of value, all
// of / any of, folding of width and case, literal wildcards, what the ledger
// shows against what was typed, and the values that are refused.
#include <gtest/gtest.h>

#include <variant>

#include "find/find_records.h"
#include "host/find/find_criteria.h"
#include "host/find/text_fold.h"

namespace orva {
namespace {

using test::LedgerRow;

std::shared_ptr<Recordset> Sample() {
    return test::Ledger({
        {"01.001", "ABC钢板", 45.789, "2024-01-01", "含税价", "Y"},
        {"01.002", " abc 钢板 ", 10.0, "2025-06-30", Variant(), " "},
        {"01.003", "50%_折扣*[特]", 9.99, Date{2026, 12, 31}, "O'Brien", "Y"},
        {"02.001", "铜管", 120, "2026-12-31 00:00:00", "  ", " "},
        {"02.002", Variant(), Variant(), Variant(), "批量价", Variant()},
    });
}

std::vector<long> Matching(const std::vector<FindCriterion>& rows, FindJoin join = FindJoin::kAll) {
    auto checked = CheckCriteria(test::LedgerFields(), FindCriteria{join, rows});
    EXPECT_TRUE(std::holds_alternative<CheckedCriteria>(checked));
    if (!std::holds_alternative<CheckedCriteria>(checked))
        return {};
    return FindMatches(std::get<CheckedCriteria>(checked), *Sample());
}

struct OpCase {
    const char* what;
    int field;
    FindOp op;
    const char* value;
    const char* value2;
    std::vector<long> expected;
};

class Operators : public ::testing::TestWithParam<OpCase> {};

TEST_P(Operators, MatchTheRowsTheLedgerWouldShow) {
    const OpCase& c = GetParam();
    EXPECT_EQ(Matching({{c.field, c.op, c.value, c.value2}}), c.expected) << c.what;
}

using O = FindOp;
using test::kName;
using test::kNote;
using test::kPrice;
using test::kQuote;
using test::kUsed;
INSTANTIATE_TEST_SUITE_P(
    Kinds, Operators,
    ::testing::Values(
        OpCase{"contains ignores case", kName, O::kContains, "abc", "", {1, 2}},
        OpCase{"full-width letters fold", kName, O::kContains, "ＡＢＣ", "", {1, 2}},
        OpCase{"does not contain; Null is empty", kNote, O::kNotContains, "价", "", {2, 3, 4}},
        OpCase{"equals the trimmed text", kName, O::kEquals, "ABC 钢板", "", {2}},
        OpCase{"not equal", kName, O::kNotEqual, "铜管", "", {1, 2, 3, 5}},
        OpCase{"begins with, after trimming", kName, O::kBeginsWith, "abc", "", {1, 2}},
        OpCase{"ends with", kName, O::kEndsWith, "钢板", "", {1, 2}},
        OpCase{"empty: Null and blanks", kNote, O::kEmpty, "", "", {2, 4}},
        OpCase{"not empty", kNote, O::kNotEmpty, "", "", {1, 3, 5}},
        OpCase{"% is a character", kName, O::kContains, "%", "", {3}},
        OpCase{"_ is a character", kName, O::kContains, "_", "", {3}},
        OpCase{"* is a character", kName, O::kContains, "*", "", {3}},
        OpCase{"[ is a character", kName, O::kContains, "[特", "", {3}},
        OpCase{"a quote is a character", kNote, O::kContains, "o'b", "", {3}},
        OpCase{"stored value, not the shown one", kPrice, O::kEquals, "45.789", "", {1}},
        OpCase{"full-width digits", kPrice, O::kEquals, "１０", "", {2}},
        OpCase{"not equal skips empty", kPrice, O::kNotEqual, "10", "", {1, 3, 4}},
        OpCase{"less", kPrice, O::kLess, "10", "", {3}},
        OpCase{"at most", kPrice, O::kLessEqual, "10", "", {2, 3}},
        OpCase{"more", kPrice, O::kGreater, "45.789", "", {4}},
        OpCase{"at least", kPrice, O::kGreaterEqual, "45.789", "", {1, 4}},
        OpCase{"between is inclusive", kPrice, O::kBetween, "9.99", "45.789", {1, 2, 3}},
        OpCase{"between either way round", kPrice, O::kBetween, "45.789", "9.99", {1, 2, 3}},
        OpCase{"a date equals, with or without time", kQuote, O::kEquals, "2026-12-31", "", {3, 4}},
        OpCase{"date before", kQuote, O::kLess, "2025-06-30", "", {1}},
        OpCase{"date range", kQuote, O::kBetween, "2024/01/01", "2025-6-30", {1, 2}},
        OpCase{"audited", kUsed, O::kEquals, "已审核", "", {1, 3}},
        OpCase{"not audited, Null included", kUsed, O::kEquals, "未审核", "", {2, 4, 5}}));

TEST(Criteria, AllOfNeedsEveryRowAnyOfOne) {
    const std::vector<FindCriterion> rows = {{kName, O::kContains, "钢板", ""},
                                             {kPrice, O::kLess, "20", ""}};
    EXPECT_EQ(Matching(rows, FindJoin::kAll), (std::vector<long>{2}));
    EXPECT_EQ(Matching(rows, FindJoin::kAny), (std::vector<long>{1, 2, 3}));
}

TEST(Criteria, FilterKeepsTheMatchingRecordsInOrderWithAllColumns) {
    auto checked = std::get<CheckedCriteria>(
        CheckCriteria(test::LedgerFields(), {FindJoin::kAll, {{kUsed, O::kEquals, "已审核", ""}}}));
    auto source = Sample();
    RecordsetPtr filtered = FilterRecords(checked, *source);
    EXPECT_EQ(test::Numbers(*filtered), (std::vector<std::string>{"01.001", "01.003"}));
    EXPECT_EQ(filtered->FieldCount(), source->FieldCount());
    filtered->MoveFirst();
    EXPECT_EQ(filtered->Fields("FNote").Value().ToText(), "含税价");
}

struct BadValue {
    FindCriterion row;
    const char* key;
};

class RefusedValues : public ::testing::TestWithParam<BadValue> {};

TEST_P(RefusedValues, NameTheRowAndNothingRuns) {
    const BadValue& c = GetParam();
    FindCriteria criteria{FindJoin::kAll, {{kName, O::kContains, "x", ""}, c.row}};
    auto checked = CheckCriteria(test::LedgerFields(), criteria);
    ASSERT_TRUE(std::holds_alternative<FindCriteriaError>(checked));
    EXPECT_EQ(std::get<FindCriteriaError>(checked).row, 1);
    EXPECT_EQ(std::get<FindCriteriaError>(checked).key, c.key);
}

INSTANTIATE_TEST_SUITE_P(
    Values, RefusedValues,
    ::testing::Values(BadValue{{kPrice, O::kLess, "12x", ""}, "不是有效的数值"},
                      BadValue{{kPrice, O::kLess, " ", ""}, "请输入数值"},
                      BadValue{{kPrice, O::kBetween, "1", ""}, "请输入数值"},
                      BadValue{{kPrice, O::kEquals, "1e999", ""}, "不是有效的数值"},
                      BadValue{{kQuote, O::kEquals, "2026-02-30", ""}, "不是有效的日期"},
                      BadValue{{kQuote, O::kEquals, "'; --", ""}, "不是有效的日期"},
                      BadValue{{kUsed, O::kEquals, "Y", ""}, "请从列表中选择"},
                      BadValue{{kPrice, O::kContains, "1", ""}, "该字段不能使用这个条件"},
                      BadValue{{42, O::kContains, "1", ""}, "请选择要查找的字段"}));

TEST(Criteria, OddTextIsMatchedLiterallyWithoutHarm) {
    // Invalid UTF-8, very long text and statement characters are just text.
    for (const std::string& value :
         {std::string("\xff\xfe abc"), std::string(100000, 'a'), std::string("';DROP--")}) {
        EXPECT_TRUE(Matching({{kName, O::kContains, value, ""}}).empty());
    }
    // Folded as the database compares: case and full-width forms, nothing
    // the database tells apart ("ß" is not "ss", "Ⅳ" not "iv").
    EXPECT_EQ(FoldText("ＡＢＣ１２３ ÉtÉ Straße"), "abc123 été straße");
    EXPECT_EQ(FoldText("ABC钢板一丿"), "abc钢板一丿");  // ideographs as they are
    EXPECT_EQ(FoldText("钢板Ⅳ"), "钢板Ⅳ");              // a compatibility form among them
    EXPECT_EQ(FoldText("\xff"), "\xff");                // a stray byte kept
}

// Text of ASCII and ideographs folds on a fast path of its own: it must fold
// every ASCII character exactly as the full folding does (a full-width
// letter beside it takes the full path), the capitals 'A' and 'Z' at the
// ends of the range included and '@', '[', '`', '{' around them untouched.
TEST(Criteria, AsciiFoldsAsTheFullFoldingDoes) {
    for (int c = 1; c < 0x80; ++c) {
        const std::string ch(1, static_cast<char>(c));
        EXPECT_EQ(FoldText(ch) + "a", FoldText(ch + "Ａ")) << "character " << c;
    }
    const std::pair<const char*, const char*> words[] = {
        {"XYZ", "xyz"}, {"@AZ[`az{", "@az[`az{"}, {"钢板Ab-Zz", "钢板ab-zz"}};
    for (const auto& [text, folded] : words) EXPECT_EQ(FoldText(text), folded) << text;
}

}  // namespace
}  // namespace orva
