// Entry numbers from the numbering table through ODBC (the portable way, as
// any engine other than SQL Server gets it).
#include <gtest/gtest.h>

#include <set>

#include "host/db/odbc/odbc_backend.h"
#include "host/db/odbc/odbc_numbering.h"
#include "odbc/odbc_test_util.h"
#include "orvasaleprice/com_error.h"
#include "support/com_error_of.h"

namespace orva {
namespace {

using testing::ScratchDir;
using testing::SqliteOdbcString;

class OdbcNumberingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        db_ = Open();
        db_->ExecuteBatch(
            "CREATE TABLE t_ICMaxNum (FTableName VARCHAR(50) NOT NULL PRIMARY KEY, "
            "FMaxNum INTEGER NOT NULL)");
        db_->ExecuteBatch("CREATE TABLE t_CustEntry (FEntryID INTEGER NOT NULL PRIMARY KEY)");
    }
    std::unique_ptr<DbBackend> Open() { return OpenOdbcDatabase(SqliteOdbcString(file_)); }

    Variant Stored(const std::string& key) {
        auto rs =
            db_->ExecuteBatch("SELECT FMaxNum FROM t_ICMaxNum WHERE FTableName = '" + key + "'")
                .recordsets.at(0);
        return rs->EOF_() ? Variant() : rs->Fields(0).Value();
    }

    ScratchDir dir_;
    std::string file_ = dir_.File("numbers.db");
    std::unique_ptr<DbBackend> db_;
};

TEST_F(OdbcNumberingTest, FirstUseCreatesTheRowAboveTheUsedNumbers) {
    db_->ExecuteBatch("INSERT INTO t_CustEntry VALUES (41)");
    db_->ExecuteBatch("INSERT INTO t_CustEntry VALUES (7)");
    EXPECT_EQ(db_->NextNumber("t_Cust"), 42);
    EXPECT_EQ(Stored("t_Cust"), Variant(42));
    EXPECT_EQ(db_->NextNumber("t_Cust"), 43);
}

TEST_F(OdbcNumberingTest, EmptyTablesStartAtOne) {
    EXPECT_EQ(db_->NextNumber("t_Cust"), 1);
    EXPECT_EQ(db_->NextNumber("t_Cust"), 2);
    // A key numbering nothing known simply counts.
    EXPECT_EQ(db_->NextNumber("o'key"), 1);
    EXPECT_EQ(Stored("o''key"), Variant(1));
}

TEST_F(OdbcNumberingTest, CounterBehindTheTableJumpsPastIt) {
    db_->ExecuteBatch("INSERT INTO t_ICMaxNum VALUES ('t_Cust', 100)");
    EXPECT_EQ(db_->NextNumber("t_Cust"), 101);
    // Rows written without the counter (an import) are never numbered again.
    db_->ExecuteBatch("INSERT INTO t_CustEntry VALUES (500)");
    EXPECT_EQ(db_->NextNumber("t_Cust"), 501);
    EXPECT_EQ(Stored("t_Cust"), Variant(501));
}

TEST_F(OdbcNumberingTest, ConnectionsSharingTheDatabaseNeverGetTheSameNumber) {
    auto other = Open();
    std::set<std::int32_t> seen;
    for (int i = 0; i < 20; ++i) {
        EXPECT_TRUE(seen.insert(db_->NextNumber("t_Cust")).second);
        EXPECT_TRUE(seen.insert(other->NextNumber("t_Cust")).second);
    }
    EXPECT_EQ(*seen.rbegin(), 40);
}

TEST_F(OdbcNumberingTest, FailureRaisesAndLeavesNothingBehind) {
    // The counter row is written before the numbered table is read; when that
    // read fails, the row must not stay, nor the lock of the write.
    db_->ExecuteBatch("DROP TABLE t_CustEntry");
    const auto e = test::ComErrorOf([&] { db_->NextNumber("t_Cust"); });
    ASSERT_TRUE(e);
    EXPECT_NE(e->Description().find("t_CustEntry"), std::string::npos) << e->Description();
    EXPECT_TRUE(Stored("t_Cust").IsNull());
    auto other = Open();
    other->ExecuteBatch("INSERT INTO t_ICMaxNum VALUES ('t_Other', 5)");
    EXPECT_EQ(db_->NextNumber("t_Other"), 6);
}

TEST(SqlServerNumbering, OneLockingBatchWithTheKeyQuoted) {
    const std::string b = SqlServerNumberingBatch("t_Cust");
    // Creating the missing row and counting up happen under one range lock.
    auto lock = b.find("WITH (UPDLOCK, HOLDLOCK) WHERE FTableName = 't_Cust'");
    auto insert = b.find("INSERT INTO t_ICMaxNum (FTableName, FMaxNum) VALUES ('t_Cust', 0)");
    auto update = b.find("UPDATE t_ICMaxNum SET @n = FMaxNum =");
    ASSERT_NE(lock, std::string::npos) << b;
    ASSERT_NE(insert, std::string::npos) << b;
    ASSERT_NE(update, std::string::npos) << b;
    EXPECT_LT(lock, insert);
    EXPECT_LT(insert, update);
    EXPECT_NE(b.find("MAX(FEntryID) FROM t_CustEntry"), std::string::npos) << b;
    EXPECT_NE(SqlServerNumberingBatch("a'b").find("FTableName = 'a''b'"), std::string::npos);
}

}  // namespace
}  // namespace orva
