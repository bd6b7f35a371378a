// Spellings of T-SQL that must read as the server reads them: names in
// brackets or with an owner, comments, hints, N'' strings, typed variables,
// and texts sent many times.
#include "tsql_fixture.h"

namespace orva::tsqltest {
namespace {

using Strings = std::vector<std::string>;

class SyntaxForms : public TsqlTest {
  protected:
    void SetUp() override {
        Run("CREATE TABLE t_Forms (FID INT IDENTITY(1,1), [F Name] NVARCHAR(20) NOT NULL DEFAULT "
            "'none', FQty DECIMAL(10,2) NULL, PRIMARY KEY (FID))\r\n"
            "INSERT INTO dbo.t_Forms ([F Name], FQty) VALUES (N'甲', 1.5), ('b', 2)\r\n"
            "INSERT INTO t_Forms DEFAULT VALUES");
    }
};

TEST_P(SyntaxForms, NamesCommentsHintsAndStrings) {
    EXPECT_EQ(Column("SELECT [F Name] FROM [dbo].[t_Forms] WITH (NOLOCK) ORDER BY FID"),
              (Strings{"甲", "b", "none"}));
    EXPECT_EQ(Column("SELECT \"F Name\" AS [x y] FROM t_Forms f -- a comment; SELECT 1\r\n"
                     "/* a /* nested */ comment */ WHERE f.FID = 2"),
              (Strings{"b"}));
    EXPECT_EQ(Query("SELECT FID AS [x y] FROM t_Forms WHERE FID = 1")->FieldName(0), "x y");
    EXPECT_EQ(Scalar("SELECT FID FROM t_Forms WHERE [F Name] = N'甲'").ToInteger(), 1);
    EXPECT_EQ(Scalar("DECLARE @n INT SET @n = 2 SELECT COUNT(*) FROM (SELECT TOP (@n) FID FROM "
                     "t_Forms ORDER BY FID) x")
                  .ToInteger(),
              2);
}

TEST_P(SyntaxForms, IdentityDefaultsAndTypedColumns) {
    EXPECT_EQ(Column("SELECT FID FROM t_Forms ORDER BY FID"), (Strings{"1", "2", "3"}));
    EXPECT_TRUE(Scalar("SELECT FQty FROM t_Forms WHERE FID = 3").IsNull());
    EXPECT_EQ(Scalar("SELECT FQty FROM t_Forms WHERE FID = 2").type(), Variant::Type::Double);
    // Text columns created through the layer compare as the company collation.
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM t_Forms WHERE [F Name] = 'B  '").ToInteger(), 1);
    EXPECT_TRUE(FailsWith("INSERT INTO t_Forms ([F Name]) VALUES (NULL)", "NOT NULL"));
}

TEST_P(SyntaxForms, VariablesKeepTheirDeclaredType) {
    RecordsetPtr rs = Query(
        "DECLARE @c CHAR(4), @b BIT, @f FLOAT, @d DATETIME, @v VARCHAR\r\n"
        "SET @c = 'ab' SET @b = 'true' SET @f = '2.5' SET @d = '2024-02-29' SET @v = 'xyz'\r\n"
        "SELECT @c + '|' AS c, @b AS b, @f * 2 AS f, @d AS d, @v AS v");
    EXPECT_EQ(rs->Fields("c").Value().ToText(), "ab  |");
    EXPECT_EQ(rs->Fields("b").Value().ToInteger(), 1);
    EXPECT_DOUBLE_EQ(rs->Fields("f").Value().ToDouble(), 5.0);
    EXPECT_EQ(rs->Fields("d").Value().ToText(), "2024-02-29");
    EXPECT_EQ(rs->Fields("v").Value().ToText(), "x");  // VARCHAR without a length holds one
    EXPECT_TRUE(FailsWith("DECLARE @d DATETIME SET @d = '2023-02-29'", "date and/or time"));
    EXPECT_TRUE(FailsWith("DECLARE @a INT DECLARE @A INT", "has already been declared"));
}

TEST_P(SyntaxForms, RunTimeErrorsPointAtTheFailingStatement) {
    EXPECT_TRUE(FailsWith(
        "DECLARE @i INT SET @i = 2\r\nWHILE @i >= 0\r\nBEGIN\r\n  SELECT @i = 10 / @i - @i\r\nEND",
        {"Divide by zero error encountered.", "line 4: SELECT @i = 10 / @i - @i"}));
}

TEST_P(SyntaxForms, ManyDifferentTextsAndTheFirstAgain) {
    // More texts than the translation cache holds: evicted texts compile again.
    for (int i = 0; i < 400; ++i) {
        EXPECT_EQ(
            Scalar("SELECT " + std::to_string(i) + " + FID FROM t_Forms WHERE FID = 1").ToInteger(),
            i + 1);
    }
    EXPECT_EQ(Scalar("SELECT 0 + FID FROM t_Forms WHERE FID = 1").ToInteger(), 1);
}

INSTANTIATE_TEST_SUITE_P(Engines, SyntaxForms, AllEngines(), EngineName);

}  // namespace
}  // namespace orva::tsqltest
