// Text comparison and the T-SQL text functions: SQL Server's results on the
// SQLite company file.
#include "tsql_fixture.h"

namespace orva::tsqltest {
namespace {

using Strings = std::vector<std::string>;

class TextSemantics : public TsqlTest {
  protected:
    void SetUp() override {
        Run("CREATE TABLE t_Names (FID INT, FName VARCHAR(40))\r\n"
            "INSERT INTO t_Names (FID, FName) VALUES (1, 'abc'), (2, 'ABC  '), (3, 'b'), "
            "(4, 'Abd'), (5, N'中文'), (6, 'a')");
    }
};

// The company's collation, the same on every engine: case, width (the
// full-width forms a Chinese input method types) and trailing blanks are
// ignored; accents and leading blanks count. Each pair is compared as two
// texts, as a column against a text, as two columns, by DISTINCT, and by
// LIKE with the second text (trailing blanks cut) and '%' as the pattern, as
// a search for what begins with it (1 1 1 1 1 when equal, 0 0 0 2 0 when
// not).
TEST_P(TextSemantics, ComparisonRulesOfTheCollation) {
    struct Rule {
        const char* what;
        const char* a;
        const char* b;
        bool equal;
    };
    const Rule rules[] = {
        {"case", "abc", "ABC", true},
        {"case to the end of the alphabet", "xyzZ", "XYZz", true},
        {"trailing blanks", "abc", "ABC   ", true},
        {"leading blanks", "abc", " abc", false},
        {"accents", "é", "e", false},
        {"accents on capitals", "É", "E", false},
        {"case of accented letters", "É", "é", true},
        {"umlauts", "Müller", "MULLER", false},
        {"Greek case", "αβγς", "ΑΒΓΣ", true},
        {"Cyrillic case", "жар", "ЖАР", true},
        {"full-width letters", "ＡＢＣ", "abc", true},
        {"full-width digits and brackets", "（１２）", "(12)", true},
        {"a full-width percent sign is no wildcard", "50％", "5％", false},
        {"Chinese with trailing blanks", "中文", "中文  ", true},
        {"other Chinese", "中文", "文中", false},
    };
    Run("CREATE TABLE t_Pairs (FID INT, FA NVARCHAR(40), FB NVARCHAR(40))");
    std::string seen, expected;
    int id = 0;
    for (const Rule& r : rules) {
        const std::string a = "N'" + std::string(r.a) + "'", b = "N'" + std::string(r.b) + "'";
        const std::string row = " FROM t_Pairs WHERE FID = " + std::to_string(++id);
        Run("INSERT INTO t_Pairs (FID, FA, FB) VALUES (" + std::to_string(id) + ", " + a + ", " +
            b + ")");
        seen +=
            std::string(r.what) + ": " +
            Scalar("SELECT CASE WHEN " + a + " = " + b + " THEN 1 ELSE 0 END").ToText() + " " +
            Scalar("SELECT COUNT(*)" + row + " AND FA = " + b).ToText() + " " +
            Scalar("SELECT COUNT(*)" + row + " AND FA = FB").ToText() + " " +
            Scalar("SELECT COUNT(DISTINCT x) FROM (SELECT FA AS x" + row + " UNION ALL SELECT FB" +
                   row + ") u")
                .ToText() +
            " " +
            Scalar("SELECT COUNT(*)" + row + " AND FA LIKE N'" +
                   std::string(r.b).substr(0, std::string(r.b).find_last_not_of(' ') + 1) + "%'")
                .ToText() +
            "\n";
        expected += std::string(r.what) + (r.equal ? ": 1 1 1 1 1\n" : ": 0 0 0 2 0\n");
    }
    EXPECT_EQ(seen, expected);
}

TEST_P(TextSemantics, EqualityOfColumnsAndExpressions) {
    EXPECT_EQ(Column("SELECT FID FROM t_Names WHERE FName = 'ABC   ' ORDER BY FID"),
              (Strings{"1", "2"}));
    EXPECT_EQ(Scalar("SELECT CASE WHEN 'abc' < 'ABD' THEN 1 ELSE 0 END").ToInteger(), 1);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM t_Names WHERE FName IN ('ABC', 'B')").ToInteger(), 3);
    // An expression loses the column's collation: the layer supplies it.
    EXPECT_EQ(Column("SELECT FID FROM t_Names WHERE rtrim(FName)='AbC' ORDER BY FID"),
              (Strings{"1", "2"}));
    EXPECT_EQ(Column("SELECT FID FROM t_Names WHERE UPPER(FName) IN ('abc') ORDER BY FID"),
              (Strings{"1", "2"}));
}

TEST_P(TextSemantics, OrderDistinctAndGroupIgnoreCase) {
    EXPECT_EQ(Column("SELECT FName FROM t_Names WHERE FID <> 5 ORDER BY FName, FID"),
              (Strings{"a", "abc", "ABC  ", "Abd", "b"}));
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM (SELECT DISTINCT FName FROM t_Names) x").ToInteger(), 5);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM (SELECT DISTINCT RTRIM(FName) AS n FROM t_Names) x")
                  .ToInteger(),
              5);
    RecordsetPtr g =
        Query("SELECT FName, COUNT(*) AS n FROM t_Names GROUP BY FName ORDER BY FName");
    ASSERT_EQ(g->RecordCount(), 5);
    EXPECT_EQ(g->Cell(1, 1).ToInteger(), 2);
    // ORDER BY an expression alias also ignores case.
    EXPECT_EQ(Column("SELECT LOWER(FName) + '' AS k FROM t_Names WHERE FID IN (3, 4) ORDER BY k"),
              (Strings{"abd", "b"}));
}

TEST_P(TextSemantics, LenLeftRightReverseCharindexWithChineseText) {
    EXPECT_EQ(Scalar("SELECT LEN(N'中文名称  ')").ToInteger(), 4);
    EXPECT_EQ(Scalar("SELECT LEN('')").ToInteger(), 0);
    EXPECT_TRUE(Scalar("SELECT LEN(NULL)").IsNull());
    EXPECT_EQ(Scalar("SELECT LEFT(N'中文名称', 2)").ToText(), "中文");
    EXPECT_EQ(Scalar("SELECT LEFT(N'中文', 9)").ToText(), "中文");
    EXPECT_EQ(Scalar("SELECT LEFT(N'中文', 0)").ToText(), "");
    EXPECT_EQ(Scalar("SELECT RIGHT(N'中文名称', 3)").ToText(), "文名称");
    EXPECT_EQ(Scalar("SELECT REVERSE(N'01.中文')").ToText(), "文中.10");
    EXPECT_EQ(Scalar("SELECT CHARINDEX('.', N'中文.01.002')").ToInteger(), 3);
    EXPECT_EQ(Scalar("SELECT CHARINDEX(N'名', N'中文名称')").ToInteger(), 3);
    EXPECT_EQ(Scalar("SELECT CHARINDEX('B', 'abcb', 3)").ToInteger(), 4);
    EXPECT_EQ(Scalar("SELECT CHARINDEX('x', 'abc')").ToInteger(), 0);
    EXPECT_TRUE(Scalar("SELECT CHARINDEX(NULL, 'abc')").IsNull());
    EXPECT_EQ(Scalar("SELECT RTRIM(N'中文  ') + '|'").ToText(), "中文|");
    EXPECT_EQ(Scalar("SELECT LTRIM('  a ') + '|'").ToText(), "a |");
    EXPECT_EQ(Scalar("SELECT ISNULL(NULL, 'x')").ToText(), "x");
    EXPECT_EQ(Scalar("SELECT isnull(5, 0)").ToInteger(), 5);
    EXPECT_EQ(Scalar("SELECT UPPER(N'abc中ä')").ToText(), "ABC中Ä");
    EXPECT_EQ(Scalar("SELECT REPLACE('aXbx', 'x', '-')").ToText(), "a-b-");
    EXPECT_EQ(Scalar("SELECT SUBSTRING(N'中文名称', 2, 2)").ToText(), "文名");
    EXPECT_TRUE(FailsWith("SELECT LEFT('abc', -1)",
                          "Invalid length parameter passed to the left function."));
    EXPECT_TRUE(FailsWith("SELECT RIGHT('abc', -1)", "right function"));
}

TEST_P(TextSemantics, ParentCodeExpressionOfTheRightsJoins) {
    // The group of a record is its code without the last "."-segment; a code
    // without "." stays as it is.
    const char* sql =
        "SELECT LEFT(FName,LEN(FName)-CHARINDEX('.',REVERSE(RTRIM(FName)))) FROM t_Names WHERE "
        "FID=1";
    EXPECT_EQ(Scalar(sql).ToText(), "abc");
    Run("UPDATE t_Names SET FName = N'01.中文.003  ' WHERE FID = 1");
    EXPECT_EQ(Scalar(sql).ToText(), "01.中文");
}

TEST_P(TextSemantics, ArithmeticFollowsSqlServer) {
    EXPECT_EQ(Scalar("SELECT -7 / 2").ToInteger(), -3);
    EXPECT_DOUBLE_EQ(Scalar("SELECT 80.0 / 3").ToDouble(), 80.0 / 3);
    EXPECT_EQ(Scalar("SELECT 7 % 3").ToInteger(), 1);
    EXPECT_EQ(ErrorOf("SELECT 1 / 0").substr(0, 33), "Divide by zero error encountered.");
    EXPECT_TRUE(FailsWith("SELECT 1.5 / 0.0", "Divide by zero"));
    EXPECT_TRUE(FailsWith("SELECT 1 % 0", "Divide by zero"));
    EXPECT_TRUE(Scalar("SELECT NULL / 0").IsNull());
    // '+' concatenates two texts and adds numbers, converting a numeric text.
    EXPECT_EQ(Scalar("SELECT 'ab' + 'cd'").ToText(), "abcd");
    EXPECT_EQ(Scalar("SELECT '5' + 5").ToInteger(), 10);
    EXPECT_EQ(Scalar("SELECT FName + '!' FROM t_Names WHERE FID = 3").ToText(), "b!");
    EXPECT_EQ(Scalar("SELECT FID + FID FROM t_Names WHERE FID = 3").ToInteger(), 6);
    EXPECT_TRUE(FailsWith("SELECT FName + 1 FROM t_Names WHERE FID = 3", "Conversion failed"));
    // Decimal columns hold reals, so decimal division keeps its fraction.
    Run("CREATE TABLE t_Amounts (FPrice DECIMAL(18,4))\r\nINSERT INTO t_Amounts VALUES (80)");
    EXPECT_DOUBLE_EQ(Scalar("SELECT FPrice / 3 FROM t_Amounts").ToDouble(), 80.0 / 3);
}

TEST_P(TextSemantics, CastAndConvert) {
    EXPECT_EQ(Scalar("SELECT CAST('12' AS INT) + 1").ToInteger(), 13);
    EXPECT_EQ(Scalar("SELECT CAST(2.7 AS INT)").ToInteger(), 2);
    EXPECT_TRUE(FailsWith("SELECT CAST('x1' AS INT)", "Conversion failed"));
    EXPECT_DOUBLE_EQ(Scalar("SELECT CAST('1.235' AS DECIMAL(10,2))").ToDouble(), 1.24);
    EXPECT_EQ(Scalar("SELECT CAST(12 AS VARCHAR(10)) + 'a'").ToText(), "12a");
    EXPECT_EQ(Scalar("SELECT CONVERT(VARCHAR(10), '2024-03-05 10:11:12', 120)").ToText(),
              "2024-03-05");
    EXPECT_EQ(Scalar("SELECT CONVERT(VARCHAR(8), '2024-03-05', 112)").ToText(), "20240305");
    EXPECT_EQ(Scalar("SELECT CAST('20240305' AS DATETIME)").ToText(), "2024-03-05");
    EXPECT_EQ(Scalar("SELECT CAST('ab' AS CHAR(4)) + '|'").ToText(), "ab  |");
}

INSTANTIATE_TEST_SUITE_P(Engines, TextSemantics, AllEngines(), EngineName);

}  // namespace
}  // namespace orva::tsqltest
