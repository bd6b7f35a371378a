// WHILE loops whose body sends nothing to the client, which the PostgreSQL
// connection runs whole on the server: the variables, @@ROWCOUNT, the rows
// affected, errors and rollback must come out as the interpreter gives them
// on the SQLite file.
#include "host/db/write_transaction.h"
#include "tsql_fixture.h"

namespace orva::tsqltest {
namespace {

class WhileLoop : public TsqlTest {
  protected:
    void SetUp() override {
        Run("CREATE TABLE t_Seq (FID INT NOT NULL PRIMARY KEY, FName VARCHAR(20), FAmount "
            "FLOAT)");
        Reset();
    }
    void Reset() {
        Run("DELETE FROM t_Seq\r\n"
            "INSERT INTO t_Seq VALUES (1,'one',1.5),(2,'12',NULL),(3,'three',3),(4,'4',4)");
    }
};

// Each text runs a loop and selects the variables it left; what it must give.
TEST_P(WhileLoop, VariablesAndRowCountsComeBackAsTheLoopLeftThem) {
    struct Case {
        const char* what;
        const char* text;
        const char* expected;  // the selected values joined by '|'
    };
    const Case cases[] = {
        {"the last row read wins; @@ROWCOUNT counts the rows read",
         "DECLARE @i INT, @v INT, @rc INT SET @i = 0\r\n"
         "WHILE @i < 1 BEGIN SELECT @v = FID FROM t_Seq WHERE FID < 4 ORDER BY FID DESC "
         "SET @rc = @@ROWCOUNT SET @i = @i + 1 END\r\n"
         "SELECT @v, @rc",
         "1|3"},
        {"no row leaves the variable as it was",
         "DECLARE @i INT, @v INT SELECT @i = 0, @v = 7\r\n"
         "WHILE @i < 2 BEGIN SELECT @v = FID FROM t_Seq WHERE FID > 9 SET @i = @i + 1 END\r\n"
         "SELECT @v, @i",
         "7|2"},
        {"a text column read into a whole number converts",
         "DECLARE @i INT, @n INT SET @i = 0\r\n"
         "WHILE @i < 1 BEGIN SELECT @n = FName FROM t_Seq WHERE FID = 2 SET @i = @i + 1 END\r\n"
         "SELECT @n",
         "12"},
        {"@@ROWCOUNT after a DELETE and an INSERT ... SELECT in the loop",
         "DECLARE @i INT, @d INT, @a INT SET @i = 0\r\n"
         "WHILE @i < 1 BEGIN DELETE FROM t_Seq WHERE FID > 2 SET @d = @@ROWCOUNT "
         "INSERT INTO t_Seq (FID) SELECT FID + 10 FROM t_Seq SET @a = @@ROWCOUNT "
         "SET @i = @i + 1 END\r\n"
         "SELECT @d, @a, COUNT(*) FROM t_Seq",
         "2|2|4"},
        {"nested loops, BREAK and CONTINUE",
         "DECLARE @i INT, @j INT, @s INT SELECT @i = 0, @s = 0\r\n"
         "WHILE @i < 5 BEGIN SET @i = @i + 1 IF @i = 2 CONTINUE IF @i = 4 BREAK\r\n"
         "  SET @j = 0 WHILE 1 = 1 BEGIN SET @j = @j + 1 IF @j > @i BREAK "
         "UPDATE t_Seq SET FAmount = @j WHERE FID = 1 SET @s = @s + @j END END\r\n"
         "SELECT @i, @j, @s, FAmount FROM t_Seq WHERE FID = 1",
         "4|4|7|3"},
        {"a loop binding a text literal runs as well",
         "DECLARE @i INT SET @i = 0\r\n"
         "WHILE @i < 3 BEGIN UPDATE t_Seq SET FName = 'x' WHERE FID = @i SET @i = @i + 1 END\r\n"
         "SELECT COUNT(*) FROM t_Seq WHERE FName = 'X'",
         "2"},
        {"text and decimal variables pass through the loop unchanged",
         "DECLARE @i INT, @t VARCHAR(10), @d DECIMAL(10,2) "
         "SELECT @i = 0, @t = 'ab ', @d = 2.25\r\n"
         "WHILE @i < 2 SET @i = @i + 1\r\n"
         "SELECT @t + '|', @d, @@ROWCOUNT",
         "ab ||2.25|1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordsetPtr rs = Query(c.text);
        ASSERT_FALSE(rs->EOF_());
        std::string got;
        for (int k = 0; k < rs->FieldCount(); ++k)
            got += (k ? "|" : "") + rs->Fields(k).Value().ToText();
        EXPECT_EQ(got, c.expected);
        Reset();  // the next case starts from the same rows
    }
}

TEST_P(WhileLoop, RowsAffectedIsTheLoopsLastChange) {
    EXPECT_EQ(Run("DECLARE @i INT SET @i = 1\r\n"
                  "WHILE @i <= 3 BEGIN UPDATE t_Seq SET FAmount = 0 WHERE FID <= @i "
                  "SET @i = @i + 1 END")
                  .rowsAffected,
              3);
    // A loop whose body never runs changes nothing.
    EXPECT_EQ(Run("DECLARE @i INT SET @i = 5 WHILE @i < 3 DELETE FROM t_Seq").rowsAffected, -1);
}

TEST_P(WhileLoop, AnErrorNamesItsStatementAndUndoesTheText) {
    const std::string text =
        "DECLARE @i INT, @n INT SET @i = 0\r\n"
        "WHILE @i < 4 BEGIN\r\n"
        "  UPDATE t_Seq SET FAmount = 100 WHERE FID = @i\r\n"
        "  SET @i = @i + 1\r\n"
        "  IF @i = 3 SELECT @n = FName FROM t_Seq WHERE FID = 3\r\n"
        "END";
    EXPECT_TRUE(
        FailsWith(text, {"Conversion failed when converting the varchar value 'three' to data type",
                         "SELECT @n = FName FROM t_Seq WHERE FID = 3"}));
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM t_Seq WHERE FAmount = 100").ToInteger(), 0);
    // The same loop again, after the rollback took with it whatever the
    // first run set up on the connection.
    EXPECT_EQ(Run("UPDATE t_Seq SET FName = '3' WHERE FID = 3").rowsAffected, 1);
    EXPECT_EQ(ErrorOf(text), "");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM t_Seq WHERE FAmount = 100").ToInteger(), 3);
}

TEST_P(WhileLoop, ALoopInsideAWriteThatRollsBackRunsAgainAfterwards) {
    auto* grouping = dynamic_cast<WriteGrouping*>(&Db());
    ASSERT_NE(grouping, nullptr);
    const char* text =
        "DECLARE @i INT SET @i = 0 WHILE @i < 2 BEGIN SET @i = @i + 1 "
        "UPDATE t_Seq SET FAmount = FAmount + 1 WHERE FID = 4 END";
    grouping->BeginWrite();
    Run(text);
    grouping->RollbackWrite();
    EXPECT_EQ(Scalar("SELECT FAmount FROM t_Seq WHERE FID = 4").ToDouble(), 4);
    Run(text);
    EXPECT_EQ(Scalar("SELECT FAmount FROM t_Seq WHERE FID = 4").ToDouble(), 6);
}

INSTANTIATE_TEST_SUITE_P(Engines, WhileLoop, AllEngines(), EngineName);

}  // namespace
}  // namespace orva::tsqltest
