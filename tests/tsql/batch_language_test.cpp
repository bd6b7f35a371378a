// The T-SQL batch language on the SQLite company file: statements without
// separators, variables, control flow, @@ROWCOUNT, temporary tables, record
// sets and the errors SQL Server would raise.
#include "tsql_fixture.h"

namespace orva::tsqltest {
namespace {

using Strings = std::vector<std::string>;

class BatchLanguage : public TsqlTest {
  protected:
    void SetUp() override {
        Run("CREATE TABLE t_Seq (FID INT NOT NULL PRIMARY KEY, FName VARCHAR(20), FAmount "
            "FLOAT)\r\n"
            "INSERT INTO t_Seq VALUES (1,'one',1.5),(2,'two',NULL),(3,'three',3),(4,'four',4)");
    }
};

TEST_P(BatchLanguage, SelectForms) {
    EXPECT_EQ(Column("SELECT TOP 2 FID FROM t_Seq ORDER BY FID DESC"), (Strings{"4", "3"}));
    EXPECT_EQ(Column("select top (1) * from t_Seq where FID>1", 1), (Strings{"two"}));
    EXPECT_EQ(Column("SELECT FID, CASE WHEN FAmount IS NULL THEN 'none' WHEN FAmount>2 THEN 'big' "
                     "ELSE 'small' END AS k FROM t_Seq ORDER BY FID",
                     1),
              (Strings{"small", "none", "big", "big"}));
    EXPECT_EQ(Column("SELECT (CASE FID WHEN 1 THEN 'Y' ELSE ' ' END) AS Fused FROM t_Seq "
                     "WHERE FID IN (1,2) ORDER BY FID"),
              (Strings{"Y", " "}));
    EXPECT_EQ(Column("SELECT FID FROM t_Seq WHERE FID IN (SELECT FID FROM t_Seq WHERE FID>2) "
                     "AND EXISTS (SELECT * FROM t_Seq) ORDER BY FID"),
              (Strings{"3", "4"}));
    // UNION removes case variants of the same text; UNION ALL keeps every row.
    EXPECT_EQ(Query("SELECT FName FROM t_Seq WHERE FID=1 UNION SELECT 'ONE' UNION ALL "
                    "SELECT FName FROM t_Seq WHERE FID=2")
                  ->RecordCount(),
              2);
    EXPECT_EQ(Query("SELECT FName FROM t_Seq UNION ALL SELECT FName FROM t_Seq")->RecordCount(), 8);
    EXPECT_EQ(
        Column("SELECT x.n FROM (SELECT FID*10 AS n FROM t_Seq) x WHERE x.n BETWEEN 15 AND 30 "
               "ORDER BY 1"),
        (Strings{"20", "30"}));
    EXPECT_EQ(Scalar("SELECT (SELECT MAX(FID) FROM t_Seq) + 1").ToInteger(), 5);
    EXPECT_EQ(Column("SELECT (SELECT b.FName FROM t_Seq b WHERE b.FID = a.FID + 1) FROM t_Seq a "
                     "ORDER BY a.FID"),
              (Strings{"two", "three", "four", ""}));
    EXPECT_TRUE(FailsWith("SELECT (SELECT FID FROM t_Seq WHERE FID > 2)",
                          "Subquery returned more than 1 value"));
    EXPECT_EQ(Scalar("SELECT Cnt = COUNT(*) FROM t_Seq").ToInteger(), 4);
    EXPECT_EQ(Column("SELECT a.FID FROM t_Seq a INNER JOIN t_Seq b ON a.FID=b.FID-1 "
                     "LEFT OUTER JOIN t_Seq c ON c.FID=a.FID+5 WHERE c.FID IS NULL ORDER BY a.FID"),
              (Strings{"1", "2", "3"}));
    EXPECT_EQ(Column("SELECT FName FROM t_Seq WHERE FName LIKE 'T%' ORDER BY FID"),
              (Strings{"two", "three"}));
    EXPECT_EQ(Column("SELECT FName FROM t_Seq WHERE FName NOT LIKE '%O%' ORDER BY FID"),
              (Strings{"three"}));
    EXPECT_EQ(
        Scalar("SELECT CASE WHEN N'ÄBC_1' LIKE N'äb%!_1' ESCAPE '!' THEN 1 ELSE 0 END").ToInteger(),
        1);
    // An escaped '[' is a plain character, an unescaped one still a class.
    for (const auto& [text, matches] :
         {std::pair{"a[b]", 1}, std::pair{"ab]", 0}, std::pair{"a![b", 0}}) {
        EXPECT_EQ(Scalar(std::string("SELECT CASE WHEN N'") + text +
                         "' LIKE N'a![b%' ESCAPE '!' THEN 1 ELSE 0 END")
                      .ToInteger(),
                  matches)
            << text;
    }
    EXPECT_TRUE(FailsWith("SELECT 1 WHERE 'a' LIKE '![a[b]' ESCAPE '!'", "character class"));
    EXPECT_EQ(Scalar("SELECT CASE WHEN 'abc ' LIKE 'abc' THEN 1 ELSE 0 END").ToInteger(), 0);
    EXPECT_EQ(Scalar("SELECT CASE WHEN N'中文名' LIKE N'_文%' THEN 1 ELSE 0 END").ToInteger(), 1);
}

TEST_P(BatchLanguage, RecordSetsAreTypedAndNamed) {
    RecordsetPtr rs = Query(
        "SELECT FID, FName AS Label, FAmount, NULL AS Nothing, 1.5 AS d, "
        "COUNT(*) FROM t_Seq WHERE FID=1 GROUP BY FID, FName, FAmount");
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->FieldName(0), "FID");
    EXPECT_EQ(rs->FieldName(1), "Label");
    EXPECT_EQ(rs->Fields("FID").Value().type(), Variant::Type::Integer);
    EXPECT_EQ(rs->Fields("label").Value().type(), Variant::Type::Text);
    EXPECT_EQ(rs->Fields("FAmount").Value().type(), Variant::Type::Double);
    EXPECT_TRUE(rs->Fields("Nothing").Value().IsNull());
    EXPECT_EQ(rs->Fields(5).Value().ToInteger(), 1);
    RecordsetPtr empty = Query("SELECT * FROM t_Seq WHERE FID = 99");
    EXPECT_TRUE(empty->EOF_());
    EXPECT_EQ(empty->FieldCount(), 3);
    // A company table's columns come named as the schema writes them, by *
    // and by a name written in another letter case alike.
    for (const char* sql : {"SELECT * FROM t_Currency", "SELECT fcurrencyid, FNAME FROM t_Currency",
                            "SELECT c.* FROM t_Currency c WHERE 1 = 0"}) {
        RecordsetPtr currency = Query(sql);
        EXPECT_EQ(currency->FieldName(0), "FCurrencyID") << sql;
        EXPECT_EQ(currency->FieldName(currency->FieldCount() > 2 ? 2 : 1), "FName") << sql;
    }
}

TEST_P(BatchLanguage, StatementsNeedNoSeparatorAndReturnEveryRecordSet) {
    BatchResult r =
        Run("SELECT 1 AS a\r\nSELECT 2 AS b ; SELECT 3 AS c;\n  SELECT FID FROM t_Seq "
            "WHERE FID=4\r\nUPDATE t_Seq SET FName='x' WHERE FID>2 DELETE t_Seq WHERE FID=1");
    ASSERT_EQ(r.recordsets.size(), 4u);
    EXPECT_EQ(r.recordsets[1]->FieldName(0), "b");
    EXPECT_EQ(r.recordsets[3]->Cell(0, 0).ToInteger(), 4);
    EXPECT_EQ(r.rowsAffected, 1);
    EXPECT_EQ(Column("SELECT FName FROM t_Seq ORDER BY FID"), (Strings{"two", "x", "x"}));
}

TEST_P(BatchLanguage, DataStatementsAndRowsAffected) {
    EXPECT_EQ(Run("INSERT INTO t_Seq (FID, FName) VALUES (5, 'five')").rowsAffected, 1);
    EXPECT_EQ(Run("INSERT t_Seq (FID, FName)\r\n SELECT FID+10, FName FROM t_Seq WHERE FID<3")
                  .rowsAffected,
              2);
    EXPECT_EQ(Run("UPDATE t_Seq SET FAmount=FID*2, FName=FName+'!' WHERE FID>10").rowsAffected, 2);
    EXPECT_EQ(Column("SELECT FName FROM t_Seq WHERE FAmount=24"), (Strings{"two!"}));
    EXPECT_EQ(Run("DELETE FROM t_Seq WHERE FID>10").rowsAffected, 2);
    EXPECT_EQ(Run("SELECT * FROM t_Seq").rowsAffected, -1);
    // Literal texts keep their quotes, semicolons and line breaks.
    const std::string note = "it''s; a \"note\" ; -- not a comment\r\nSELECT 1 /* nor this */";
    Run("UPDATE t_Seq SET FName='" + note + "' WHERE FID=1 ; SELECT 1");
    EXPECT_EQ(Scalar("SELECT FName FROM t_Seq WHERE FID=1").ToText(),
              "it's; a \"note\" ; -- not a comment\r\nSELECT 1 /* nor this */");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM t_Seq WHERE FName='" + note + "'").ToInteger(), 1);
}

TEST_P(BatchLanguage, VariablesFollowSqlServer) {
    RecordsetPtr rs = Query(
        "DECLARE @a INT, @s VARCHAR(3), @d DECIMAL(10,2), @none INT\r\n"
        "SET @a = '41' SET @a = @a + 1\r\n"
        "SET @s = 'abcdef'\r\n"
        "SET @d = 1.005 * 3\r\n"
        "SELECT @none = FID FROM t_Seq WHERE FID > 100\r\n"  // no row: unchanged (NULL)
        "DECLARE @last INT SET @last = -1\r\n"
        "SELECT @last = FID FROM t_Seq ORDER BY FID\r\n"  // last row wins
        "DECLARE @sub INT SET @sub = 7\r\n"
        "SET @sub = (SELECT FID FROM t_Seq WHERE FID = 100)\r\n"  // empty subquery: NULL
        "SELECT @a AS a, @s AS s, @d AS d, @none AS none, @last AS last, @sub AS sub");
    EXPECT_EQ(rs->Fields("a").Value().ToInteger(), 42);
    EXPECT_EQ(rs->Fields("s").Value().ToText(), "abc");
    EXPECT_DOUBLE_EQ(rs->Fields("d").Value().ToDouble(), 3.02);  // 3.015 rounds up
    EXPECT_TRUE(rs->Fields("none").Value().IsNull());
    EXPECT_EQ(rs->Fields("last").Value().ToInteger(), 4);
    EXPECT_TRUE(rs->Fields("sub").Value().IsNull());
    EXPECT_EQ(Scalar("DECLARE @x INT = 5, @Y INT = 2 SELECT @X * @y").ToInteger(), 10);
    EXPECT_TRUE(FailsWith("SELECT @missing", "Must declare the scalar variable \"@missing\"."));
    EXPECT_TRUE(FailsWith("DECLARE @i INT SET @i = 'abc'", "Conversion failed"));
    EXPECT_TRUE(FailsWith("DECLARE @i INT SELECT @i = FID, FName FROM t_Seq",
                          "must not be combined with data-retrieval"));
}

TEST_P(BatchLanguage, RowCountAfterEachKindOfStatement) {
    RecordsetPtr rs = Query(
        "DECLARE @dml INT, @read INT, @set INT, @sel INT, @v INT\r\n"
        "UPDATE t_Seq SET FAmount = 0 WHERE FID <= 3\r\n"
        "SET @dml = @@ROWCOUNT\r\n"
        "SET @set = @@ROWCOUNT\r\n"
        "SELECT @v = FID FROM t_Seq WHERE FID > 1\r\n"
        "SET @read = @@ROWCOUNT\r\n"
        "SET NOCOUNT ON\r\n"
        "INSERT INTO t_Seq (FID) SELECT FID + 20 FROM t_Seq\r\n"
        "SELECT @sel = @@ROWCOUNT\r\n"
        "SET NOCOUNT OFF\r\n"
        "SELECT @dml AS dml, @set AS setv, @read AS readv, @sel AS sel");
    EXPECT_EQ(rs->Fields("dml").Value().ToInteger(), 3);
    EXPECT_EQ(rs->Fields("setv").Value().ToInteger(), 1);
    EXPECT_EQ(rs->Fields("readv").Value().ToInteger(), 3);
    EXPECT_EQ(rs->Fields("sel").Value().ToInteger(), 4);
}

TEST_P(BatchLanguage, ControlFlow) {
    RecordsetPtr rs = Query(
        "DECLARE @i INT, @sum INT, @odd INT\r\n"
        "SELECT @i = 0, @sum = 0, @odd = 0\r\n"
        "WHILE @i < 10\r\n"
        "BEGIN\r\n"
        "    SET @i = @i + 1\r\n"
        "    IF @i = 8 BREAK\r\n"
        "    IF @i % 2 = 1\r\n"
        "        BEGIN SET @odd = @odd + 1 CONTINUE END\r\n"
        "    ELSE\r\n"
        "        SET @sum = @sum + @i\r\n"
        "END\r\n"
        "IF EXISTS(SELECT * FROM t_Seq WHERE FID = 4) SELECT @i AS i, @sum AS s, @odd AS o\r\n"
        "Else SELECT 0 AS i");
    EXPECT_EQ(rs->Fields("i").Value().ToInteger(), 8);
    EXPECT_EQ(rs->Fields("s").Value().ToInteger(), 2 + 4 + 6);
    EXPECT_EQ(rs->Fields("o").Value().ToInteger(), 4);
    EXPECT_EQ(Scalar("IF NOT EXISTS(SELECT * FROM t_Seq WHERE FID=9) SELECT 'no' ELSE SELECT 'yes'")
                  .ToText(),
              "no");
    // CASE ... END inside a block does not close the block.
    EXPECT_EQ(Scalar("IF 1=1 BEGIN SELECT CASE WHEN 1=1 THEN 'a' END END").ToText(), "a");
    // RETURN ends the batch.
    EXPECT_EQ(Run("SELECT 1 RETURN SELECT 2").recordsets.size(), 1u);
}

TEST_P(BatchLanguage, TemporaryTablesBelongToTheConnection) {
    Run("CREATE TABLE #Work (FID INT, FName VARCHAR(10))\r\n"
        "INSERT INTO #Work VALUES (1, 'a')");
    // It outlives the batch on this connection ...
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM #Work").ToInteger(), 1);
    // ... is invisible on another one ...
    auto other = OpenAnother();
    EXPECT_THROW(other->ExecuteBatch("SELECT * FROM #Work"), ComError);
    // ... and a batch that creates it again finds it gone.
    EXPECT_EQ(Scalar("CREATE TABLE #Work (FID INT)\r\nSELECT COUNT(*) FROM #Work").ToInteger(), 0);
    Run("DROP TABLE #Work");
    EXPECT_TRUE(FailsWith("SELECT * FROM #Work", MissingTable()));
    // Creating it twice in one batch fails as on the server.
    EXPECT_TRUE(FailsWith("CREATE TABLE #T (a INT) CREATE TABLE #T (a INT)", "already exists"));
}

TEST_P(BatchLanguage, DistinctOrderByItemsMustBeSelected) {
    // The items refused are in the translation cases; these are allowed.
    EXPECT_EQ(Column("SELECT DISTINCT v1.FID AS k FROM t_Seq v1 ORDER BY v1.FID DESC").front(),
              "4");
    EXPECT_EQ(Column("SELECT DISTINCT v1.FName AS n, v1.FID FROM t_Seq v1 ORDER BY n").front(),
              "four");
    EXPECT_EQ(Column("SELECT DISTINCT FID FROM t_Seq v1 ORDER BY v1.FID").front(), "1");
    EXPECT_EQ(Column("SELECT DISTINCT FID, FName FROM t_Seq ORDER BY 2").front(), "4");
}

TEST_P(BatchLanguage, ErrorsNameWhatFailed) {
    EXPECT_TRUE(
        FailsWith("SELECT FID FROM t_Seq WHERE", "Incorrect syntax near the end of the batch"));
    EXPECT_TRUE(FailsWith("SELECT FID FROM t_Seq\r\nWHERE FID = = 1",
                          {"Incorrect syntax near '='", "line 2"}));
    EXPECT_TRUE(FailsWith("SELECT FID FROM t_Seq\r\nSELECT FNope FROM t_Seq",
                          {IsPostgres() ? "\"fnope\" does not exist" : "no such column: FNope",
                           "line 2: SELECT FNope FROM t_Seq"}));
    EXPECT_TRUE(FailsWith("SELECT 'abc", "Unclosed quotation mark"));
    // What the layer refuses to translate is listed in the translation cases;
    // a derived table ordered with TOP is allowed.
    EXPECT_EQ(
        Scalar("SELECT x.FID FROM (SELECT TOP 1 FID FROM t_Seq ORDER BY FID DESC) x").ToInteger(),
        4);
}

TEST_P(BatchLanguage, FailedBatchChangesNothing) {
    EXPECT_TRUE(
        FailsWith("INSERT INTO t_Seq (FID) VALUES (10)\r\n"
                  "UPDATE t_Seq SET FName = 'changed'\r\n"
                  "CREATE TABLE #Gone (a INT)\r\n"
                  "INSERT INTO t_Seq (FID) VALUES (1)",  // duplicate key
                  "UNIQUE constraint failed"));
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM t_Seq").ToInteger(), 4);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM t_Seq WHERE FName = 'changed'").ToInteger(), 0);
    EXPECT_TRUE(FailsWith("SELECT * FROM #Gone", MissingTable()));
    // A run-time error in the middle of a loop rolls back the whole loop.
    ErrorOf(
        "DECLARE @i INT SET @i = 3 WHILE @i >= 0 BEGIN "
        "UPDATE t_Seq SET FAmount = 12 / @i SET @i = @i - 1 END");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM t_Seq WHERE FAmount = 4").ToInteger(), 1);
    // The connection works normally afterwards.
    EXPECT_EQ(Run("UPDATE t_Seq SET FName = 'ok' WHERE FID = 1").rowsAffected, 1);
}

// A text of data changes alone (which the server connection sends in one
// exchange) is one transaction: a failing statement undoes the ones before
// it and is the one the error names; the same text then runs once the
// failure is gone.
TEST_P(BatchLanguage, ATextOfDataChangesIsOneTransaction) {
    auto text = [](int first, int second) {
        return "INSERT INTO t_Seq (FID, FName) VALUES (" + std::to_string(first) +
               ", 'new')\r\nUPDATE t_Seq SET FAmount = 7 WHERE FID = 1\r\n"
               "INSERT INTO t_Seq (FID, FName) VALUES (" +
               std::to_string(second) + ", 'new')\r\nDELETE FROM t_Seq WHERE FID = 2";
    };
    EXPECT_TRUE(FailsWith(text(10, 3), {"UNIQUE constraint failed", "line 3"}));
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM t_Seq WHERE FName = 'new' OR FAmount = 7 OR FID = 10")
                  .ToInteger(),
              0);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM t_Seq").ToInteger(), 4);
    // The statements after the failing one were never reached.
    BatchResult r = Run(text(10, 11));
    EXPECT_EQ(r.rowsAffected, 1);
    EXPECT_EQ(Column("SELECT FID FROM t_Seq WHERE FName = 'new' OR FAmount = 7 ORDER BY FID"),
              (Strings{"1", "10", "11"}));
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM t_Seq WHERE FID = 2").ToInteger(), 0);
}

TEST_P(BatchLanguage, EmptyTextDoesNothing) {
    BatchResult r = Run(" \r\n ");
    EXPECT_TRUE(r.recordsets.empty());
    EXPECT_EQ(r.rowsAffected, -1);
    EXPECT_TRUE(Run("-- only a comment").recordsets.empty());
}

TEST_P(BatchLanguage, CachedTextsSeeNewValuesAndNewTables) {
    const char* sql = "SELECT COUNT(*) FROM t_Seq WHERE FID > 1";
    EXPECT_EQ(Scalar(sql).ToInteger(), 3);
    Run("DELETE FROM t_Seq WHERE FID = 4");
    EXPECT_EQ(Scalar(sql).ToInteger(), 2);
    const char* temp =
        "CREATE TABLE #C (a INT) INSERT INTO #C VALUES (1) "
        "SELECT COUNT(*) FROM #C DROP TABLE #C";
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Scalar(temp).ToInteger(), 1);
}

// Conditions and assignments of whole numbers are worked out without the
// database where they can be: each gives what the database gives for the
// same expression in a select, NULLs and texts included.
TEST_P(BatchLanguage, ConditionsAndAssignmentsOfVariablesMatchTheDatabase) {
    const std::string declare =
        "DECLARE @a INT, @b INT, @n INT, @t VARCHAR(10), @r INT\r\n"
        "SET @a = 5 SET @b = -3 SET @t = '7'\r\n";
    const char* const conditions[] = {
        "@a > 0",
        "@a = 5 AND @b < 0",
        "NOT (@a <> 5)",
        "@a !< 6",
        "@b !> -3",
        "@a * @b = -15",
        "-@a = @b - 2",
        "@n > 0",
        "@n IS NULL OR @a < 0",

        "@@ROWCOUNT = 0",
        "(@a + 1) * 2 >= 12",
    };
    for (const char* c : conditions) {
        SCOPED_TRACE(c);
        const std::string cond(c);
        EXPECT_EQ(Scalar(declare + "IF " + cond + " SELECT 1 ELSE SELECT 0").ToInteger(),
                  Scalar(declare + "SELECT CASE WHEN " + cond + " THEN 1 ELSE 0 END").ToInteger());
    }
    const char* const values[] = {"@a + 1", "@a * @b - 2", "-@b", "@n + 1", "@a + @t"};
    for (const char* v : values) {
        SCOPED_TRACE(v);
        const std::string value(v);
        EXPECT_EQ(Scalar(declare + "SELECT @r = " + value + " SELECT @r").ToText(),
                  Scalar(declare + "SELECT " + value).ToText());
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, BatchLanguage, AllEngines(), EngineName);

}  // namespace
}  // namespace orva::tsqltest
