// The ODBC back end against a real driver: the SQLite ODBC driver runs the
// same calls (connect, execute, results, diagnostics, transactions) that a
// SQL Server driver does.
#include <gtest/gtest.h>

#include "host/db/odbc/odbc_backend.h"
#include "host/db/odbc/odbc_handle.h"
#include "host/db/open_database.h"
#include "odbc/odbc_test_util.h"
#include "orvasaleprice/com_error.h"
#include "support/com_error_of.h"

namespace orva {
namespace {

using testing::ScratchDir;
using testing::SqliteOdbcString;

class OdbcBackendTest : public ::testing::Test {
  protected:
    std::unique_ptr<DbBackend> Open() { return OpenOdbcDatabase(SqliteOdbcString(db_)); }

    // The single record set of a query.
    RecordsetPtr Query(DbBackend& db, const std::string& sql) {
        BatchResult r = db.ExecuteBatch(sql);
        EXPECT_EQ(r.recordsets.size(), 1u) << sql;
        return r.recordsets.empty() ? nullptr : r.recordsets.front();
    }

    long Count(DbBackend& db, const std::string& table) {
        auto rs = Query(db, "SELECT COUNT(*) AS n FROM " + table);
        return static_cast<long>(rs->Fields(0).Value().ToInteger());
    }

    ScratchDir dir_;
    std::string db_ = dir_.File("company.db");
};

TEST_F(OdbcBackendTest, ColumnsComeBackTypedAndNullsStayNull) {
    auto db = Open();
    db->ExecuteBatch(
        "CREATE TABLE t (i INTEGER, r REAL, s VARCHAR(40), d DATE, ts DATETIME, "
        "n NUMERIC(10,2))");
    db->ExecuteBatch(
        "INSERT INTO t VALUES (42, 0.1, 'abc', '2024-02-29', '2100-01-01 13:14:15', 80.5)");
    db->ExecuteBatch("INSERT INTO t VALUES (NULL, NULL, NULL, NULL, NULL, NULL)");

    auto rs = Query(*db, "SELECT i, r, s, d, ts, n FROM t ORDER BY i DESC");
    ASSERT_EQ(rs->RecordCount(), 2);
    EXPECT_EQ(rs->FieldName(4), "ts");
    EXPECT_EQ(rs->Fields("i").Value(), Variant(42));
    EXPECT_EQ(rs->Fields("r").Value(), Variant(0.1));
    EXPECT_EQ(rs->Fields("s").Value(), Variant("abc"));
    EXPECT_EQ(rs->Fields("d").Value(), Variant(Date{2024, 2, 29}));
    EXPECT_EQ(rs->Fields("ts").Value(), Variant(Date{2100, 1, 1}));
    EXPECT_EQ(rs->Fields("n").Value(), Variant(80.5));
    rs->MoveNext();
    for (int c = 0; c < rs->FieldCount(); ++c) {
        EXPECT_TRUE(rs->Fields(c).Value().IsNull()) << rs->FieldName(c);
    }
}

TEST_F(OdbcBackendTest, ValuesThatDoNotFitTheirColumnTypeAreKeptAsText) {
    // SQLite stores what it is given; the driver reports the declared type.
    auto db = Open();
    db->ExecuteBatch("CREATE TABLE t (k INTEGER, i INTEGER, d DATE)");
    db->ExecuteBatch("INSERT INTO t VALUES (1, 2.5, 'not a date')");
    db->ExecuteBatch("INSERT INTO t VALUES (2, 'x1', '')");
    auto rs = Query(*db, "SELECT i, d FROM t ORDER BY k");
    EXPECT_EQ(rs->Fields("i").Value(), Variant(2.5));
    EXPECT_EQ(rs->Fields("d").Value(), Variant("not a date"));
    rs->MoveNext();
    EXPECT_EQ(rs->Fields("i").Value(), Variant("x1"));
    EXPECT_EQ(rs->Fields("d").Value(), Variant(""));
}

TEST_F(OdbcBackendTest, ChineseAndLongTextRoundTrip) {
    auto db = Open();
    db->ExecuteBatch("CREATE TABLE t (k INTEGER, s TEXT)");
    const std::string name = "华东区客户（上海）";
    // Longer than one read buffer, with three-byte characters across every
    // possible split point.
    std::string longText = "a";
    while (longText.size() < 20000) longText += "价格表";
    db->ExecuteBatch("INSERT INTO t VALUES (1, '" + name + "')");
    db->ExecuteBatch("INSERT INTO t VALUES (2, '" + longText + "')");

    auto rs = Query(*db, "SELECT s FROM t ORDER BY k");
    EXPECT_EQ(rs->Fields(0).Value(), Variant(name));
    rs->MoveNext();
    EXPECT_EQ(rs->Fields(0).Value(), Variant(longText));
    // The text also matches as a literal on the way in.
    EXPECT_EQ(Query(*db, "SELECT k FROM t WHERE s = '" + name + "'")->RecordCount(), 1);
}

TEST_F(OdbcBackendTest, ManyRowsAndEmptyResults) {
    auto db = Open();
    db->ExecuteBatch("CREATE TABLE t (k INTEGER, v TEXT)");
    db->ExecuteBatch(
        "WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n WHERE x < 2500) "
        "INSERT INTO t SELECT x, 'row ' || x FROM n");

    auto rs = Query(*db, "SELECT k, v FROM t ORDER BY k");
    ASSERT_EQ(rs->RecordCount(), 2500);
    rs->Move(1233);
    EXPECT_EQ(rs->Fields("k").Value(), Variant(1234));
    EXPECT_EQ(rs->Fields("v").Value(), Variant("row 1234"));
    rs->MoveLast();
    EXPECT_EQ(rs->Fields("k").Value(), Variant(2500));

    auto none = Query(*db, "SELECT k, v FROM t WHERE k < 0");
    EXPECT_EQ(none->FieldCount(), 2);
    EXPECT_EQ(none->RecordCount(), 0);
    EXPECT_TRUE(none->EOF_() && none->BOF());
}

TEST_F(OdbcBackendTest, RowsAffectedOfDataChanges) {
    auto db = Open();
    db->ExecuteBatch("CREATE TABLE t (k INTEGER)");
    EXPECT_EQ(db->ExecuteBatch("INSERT INTO t VALUES (1)").rowsAffected, 1);
    db->ExecuteBatch("INSERT INTO t SELECT k + 1 FROM t");
    db->ExecuteBatch("INSERT INTO t SELECT k + 2 FROM t");
    EXPECT_EQ(db->ExecuteBatch("UPDATE t SET k = k * 10 WHERE k > 1").rowsAffected, 3);
    EXPECT_EQ(db->ExecuteBatch("DELETE FROM t WHERE k = 999").rowsAffected, 0);
    BatchResult q = db->ExecuteBatch("SELECT k FROM t");
    EXPECT_EQ(q.rowsAffected, -1);
    EXPECT_EQ(q.recordsets.at(0)->RecordCount(), 4);
}

TEST_F(OdbcBackendTest, DriverErrorsCarryTheDriversMessage) {
    auto db = Open();
    db->ExecuteBatch("CREATE TABLE t (k INTEGER PRIMARY KEY)");
    db->ExecuteBatch("INSERT INTO t VALUES (1)");
    const auto missing = test::ComErrorOf([&] { db->ExecuteBatch("SELECT * FROM no_such_table"); });
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->Number(), ComError::kDatabase);
    EXPECT_NE(missing->Description().find("no such table: no_such_table"), std::string::npos)
        << missing->Description();
    const auto twice = test::ComErrorOf([&] { db->ExecuteBatch("INSERT INTO t VALUES (1)"); });
    ASSERT_TRUE(twice);
    EXPECT_NE(twice->Description().find("UNIQUE"), std::string::npos) << twice->Description();
    // The connection goes on working after an error.
    EXPECT_EQ(Count(*db, "t"), 1);
}

TEST_F(OdbcBackendTest, TextGoesToTheDriverUnchanged) {
    // This driver takes one statement per call and says so; the text is not
    // split or rewritten on the way, and nothing of it is applied.
    auto db = Open();
    db->ExecuteBatch("CREATE TABLE t (k INTEGER)");
    const auto e = test::ComErrorOf(
        [&] { db->ExecuteBatch("INSERT INTO t VALUES (1); INSERT INTO t VALUES (2)"); });
    ASSERT_TRUE(e);
    EXPECT_NE(e->Description().find("only one SQL statement"), std::string::npos)
        << e->Description();
    EXPECT_EQ(Count(*db, "t"), 0);
    // A blank text runs nothing.
    BatchResult blank = db->ExecuteBatch(" \r\n\t");
    EXPECT_TRUE(blank.recordsets.empty());
    EXPECT_EQ(blank.rowsAffected, -1);
}

TEST_F(OdbcBackendTest, EachTextIsCommittedAndAFailedOneLeavesNoLock) {
    auto a = Open();
    auto b = Open();
    a->ExecuteBatch("CREATE TABLE t (k INTEGER PRIMARY KEY)");
    a->ExecuteBatch("INSERT INTO t VALUES (1)");
    // Committed: the other connection sees it and may write at once.
    EXPECT_EQ(Count(*b, "t"), 1);
    b->ExecuteBatch("INSERT INTO t VALUES (2)");
    EXPECT_EQ(Count(*a, "t"), 2);

    // A write that fails part-way (its last row is a duplicate) is rolled
    // back whole, and its transaction does not keep the database locked.
    EXPECT_THROW(a->ExecuteBatch("INSERT INTO t SELECT k + 100 FROM t UNION ALL SELECT 1"),
                 ComError);
    b->ExecuteBatch("INSERT INTO t VALUES (10)");
    auto rs = Query(*a, "SELECT k FROM t ORDER BY k");
    ASSERT_EQ(rs->RecordCount(), 3);
    rs->MoveLast();
    EXPECT_EQ(rs->Fields(0).Value(), Variant(10));
}

TEST_F(OdbcBackendTest, ConnectFailureNamesTheStringWithoutThePassword) {
    const auto e = test::ComErrorOf(
        [] { OpenOdbcDatabase("DRIVER={No Such Driver};SERVER=db1;UID=sa;PWD=hunter2;"); });
    ASSERT_TRUE(e);
    const std::string d = e->Description();
    EXPECT_EQ(e->Number(), ComError::kDatabase);
    EXPECT_NE(d.find("DRIVER={No Such Driver};SERVER=db1;UID=sa;PWD=***"), std::string::npos) << d;
    EXPECT_EQ(d.find("hunter2"), std::string::npos) << d;
    // The driver manager's own explanation follows.
    EXPECT_NE(d.find("[unixODBC]"), std::string::npos) << d;
}

TEST_F(OdbcBackendTest, OpenDatabaseRoutesConnectionStringsHere) {
    auto db = OpenDatabase("  DRIVER=SQLite3;Database=" + db_ + ";PWD=topsecret");
    const std::string d = db->Describe();
    EXPECT_NE(d.find("SQLite"), std::string::npos) << d;
    EXPECT_NE(d.find(db_), std::string::npos) << d;
    EXPECT_EQ(d.find("topsecret"), std::string::npos) << d;
    EXPECT_EQ(Query(*db, "SELECT 1 + 1 AS two")->Fields("two").Value(), Variant(2));
}

// Only a second row with the same unique key is a conflict the engine answers
// as a duplicate: not a foreign key, a missing value, nor the SQLite driver's
// general constraint code (which does not say which constraint failed).
TEST(OdbcUniqueKeyViolation, SqlServerUniqueErrorsAndTheIsoClassOnly) {
    struct Case {
        const char* state;
        SQLINTEGER native;
        bool conflict;
    };
    const Case cases[] = {
        {"23000", 2627, true}, {"23000", 2601, true}, {"23505", 0, true},
        {"23000", 547, false}, {"23000", 515, false}, {"HY000", 19, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsUniqueKeyViolation(c.state, c.native), c.conflict)
            << c.state << " " << c.native;
    }
}

}  // namespace
}  // namespace orva
