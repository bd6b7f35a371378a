// The large company generator: exact counts, consistency at any size, and
// clear refusals of counts it cannot honour.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "demo/company_generator.h"
#include "demo/demo_company.h"
#include "demo/sqlite_writer.h"
#include "demo_db.h"
#include "support/temp_company.h"

namespace orva::test {
namespace {

using namespace orva::demo;

class LargeCompany : public ::testing::Test {
  protected:
    std::string dir = MakeTempDir("orva-large");
    ~LargeCompany() override { std::filesystem::remove_all(dir); }
    std::string Path(const std::string& name) const { return dir + "/" + name; }
};

TEST_F(LargeCompany, WritesExactlyTheRequestedCounts) {
    CompanySummary s = CreateLargeCompany(Path("l.db"), 1234, 321, 7777);
    DemoDb db(Path("l.db"));
    EXPECT_EQ(db.Int("SELECT COUNT(*) FROM t_Organization"), 1234);
    EXPECT_EQ(db.Int("SELECT COUNT(*) FROM t_ICItem"), 321);
    EXPECT_EQ(db.Int("SELECT COUNT(*) FROM t_CustEntry"), 7777);
    EXPECT_EQ(s.customers, 1234);
    EXPECT_EQ(s.items, 321);
    EXPECT_EQ(s.priceEntries, 7777);
    EXPECT_EQ(s.headerRows, db.Int("SELECT COUNT(*) FROM t_Cust"));
    EXPECT_EQ(db.Int("SELECT FMaxNum FROM t_ICMaxNum WHERE FTableName='t_Cust'"), 7777);
    EXPECT_EQ(db.Int("SELECT COUNT(*) FROM t_Item WHERE FItemClassID=1 AND FDetail=0"), 110);
}

TEST_F(LargeCompany, IsConsistentLikeTheDemo) {
    CreateLargeCompany(Path("l.db"), 300, 120, 2000);
    DemoDb db(Path("l.db"));
    auto count = [&](const std::string& fromWhere) {
        return db.Int("SELECT COUNT(*) FROM " + fromWhere);
    };
    EXPECT_EQ(count("t_CustEntry e WHERE NOT EXISTS (SELECT 1 FROM t_Organization o WHERE "
                    "o.FItemID=e.FCustID) OR NOT EXISTS (SELECT 1 FROM t_ICItem i WHERE "
                    "i.FItemID=e.FItemID AND i.FErpClsID NOT IN (6,8)) OR NOT EXISTS (SELECT 1 "
                    "FROM t_MeasureUnit u WHERE u.FItemID=e.FUnitID) OR NOT EXISTS (SELECT 1 "
                    "FROM t_Currency c WHERE c.FCurrencyID=e.FCyID)"),
              0);
    EXPECT_EQ(count("t_Cust"), count("(SELECT DISTINCT FCustID,FItemID FROM t_CustEntry)"));
    EXPECT_EQ(count("(SELECT DISTINCT FCustID,FItemID FROM t_CustEntry) p WHERE NOT EXISTS "
                    "(SELECT 1 FROM t_Cust h WHERE h.FCustID=p.FCustID AND "
                    "h.FItemID=p.FItemID)"),
              0);
    EXPECT_EQ(count("t_CustEntry"),
              count("(SELECT DISTINCT FItemID,FCustID,FUnitID,FStartQty,FEndQty,FCyID,"
                    "FQuoteTime,FExpireDate FROM t_CustEntry)"));
    // Codes: record = parent code + "." + segment, three levels.
    EXPECT_EQ(count("t_Item c JOIN t_Item p ON p.FItemID=c.FParentID WHERE c.FItemClassID IN "
                    "(1,4) AND (c.FNumber NOT LIKE p.FNumber || '.%' OR "
                    "c.FLevel<>p.FLevel+1 OR p.FDetail<>0)"),
              0);
    EXPECT_EQ(db.Int("SELECT MAX(FLevel) FROM t_Item WHERE FItemClassID=1"), 3);
    // The fixed part is the demo's: users, options, currencies, units.
    EXPECT_EQ(count("t_User WHERE FIsGroup=0"), 4);
    EXPECT_EQ(count("t_SystemProfile"), 3);
    EXPECT_EQ(count("t_Currency"), 4);
    EXPECT_GT(count("t_ItemRight WHERE FUserID=" + std::to_string(kGroupClerkUserId)), 0);
    EXPECT_GT(
        count("t_ItemRight WHERE FUserID=" + std::to_string(kRecordClerkUserId) + " AND FTypeID=1"),
        5);
    EXPECT_GT(count("t_ICItem WHERE FErpClsID IN (6,8)"), 0);
    // Every customer and every priceable item has prices.
    EXPECT_EQ(count("(SELECT DISTINCT FCustID FROM t_CustEntry)"), 300);
    EXPECT_EQ(count("(SELECT DISTINCT FItemID FROM t_CustEntry)"),
              count("t_ICItem WHERE FErpClsID NOT IN (6,8)"));
    EXPECT_EQ(db.Text("PRAGMA integrity_check"), "ok");
}

TEST_F(LargeCompany, SpreadsEntriesUpToEightPerPair) {
    // One customer, one item: eight variants fit, a ninth does not.
    CreateLargeCompany(Path("eight.db"), 1, 1, 8);
    DemoDb db(Path("eight.db"));
    EXPECT_EQ(db.Int("SELECT COUNT(*) FROM t_CustEntry"), 8);
    EXPECT_EQ(db.Int("SELECT COUNT(*) FROM t_Cust"), 1);
    EXPECT_THROW(CreateLargeCompany(Path("nine.db"), 1, 1, 9), GeneratorError);
    EXPECT_FALSE(std::filesystem::exists(Path("nine.db")));
    // Planning and feature items (two in fifty) take no prices.
    EXPECT_THROW(CreateLargeCompany(Path("p.db"), 1, 50, 8 * 48 + 1), GeneratorError);
    CreateLargeCompany(Path("p2.db"), 1, 50, 8 * 48);
}

TEST_F(LargeCompany, AcceptsZeroAndRefusesNegativeCounts) {
    CreateLargeCompany(Path("zero.db"), 0, 0, 0);
    DemoDb db(Path("zero.db"));
    EXPECT_EQ(db.Int("SELECT COUNT(*) FROM t_CustEntry"), 0);
    EXPECT_EQ(db.Int("SELECT FMaxNum FROM t_ICMaxNum"), 0);
    EXPECT_THROW(CreateLargeCompany(Path("neg.db"), -1, 5, 5), GeneratorError);
    EXPECT_THROW(CreateLargeCompany(Path("few.db"), 0, 5, 1), GeneratorError);
}

TEST_F(LargeCompany, IsDeterministic) {
    CreateLargeCompany(Path("a.db"), 200, 50, 900);
    CreateLargeCompany(Path("b.db"), 200, 50, 900);
    EXPECT_TRUE(DemoDb(Path("a.db")).Dump() == DemoDb(Path("b.db")).Dump());
}

}  // namespace
}  // namespace orva::test
