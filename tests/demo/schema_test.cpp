// The company schema: every column the module's statements name, the
// defaults and types the statements rely on, and the statement splitter that
// loads it.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "demo/company_schema.h"
#include "demo_db.h"
#include "support/temp_company.h"

namespace orva::test {
namespace {

using demo::IsIndexStatement;
using demo::SplitSqlStatements;

TEST(SchemaText, SplitsAtSemicolonsOutsideQuotesAndComments) {
    auto parts = SplitSqlStatements(
        "-- a comment; not a statement\n"
        "CREATE TABLE a (x VARCHAR(5) DEFAULT ';');\n"
        "/* block; comment */ INSERT INTO a VALUES ('it''s; fine');"
        "  ;  ; SELECT \"odd;name\" FROM [b;c]");
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0], "CREATE TABLE a (x VARCHAR(5) DEFAULT ';')");
    EXPECT_EQ(parts[1], "INSERT INTO a VALUES ('it''s; fine')");
    EXPECT_EQ(parts[2], "SELECT \"odd;name\" FROM [b;c]");
}

TEST(SchemaText, RecognisesIndexDefinitions) {
    EXPECT_TRUE(IsIndexStatement("CREATE INDEX i ON t (a)"));
    EXPECT_TRUE(IsIndexStatement("create  unique\n index IF NOT EXISTS i ON t (a)"));
    EXPECT_FALSE(IsIndexStatement("CREATE TABLE indexes (a INT)"));
    EXPECT_FALSE(IsIndexStatement("CREATE TABLE t (a INT, UNIQUE (a))"));
}

TEST(SchemaText, NumberingTableIsDeclaredAsAgreed) {
    auto statements = SplitSqlStatements(demo::SchemaSql());
    EXPECT_NE(std::find(statements.begin(), statements.end(),
                        "CREATE TABLE IF NOT EXISTS t_ICMaxNum (FTableName VARCHAR(50) COLLATE "
                        "ORVA_CI NOT NULL PRIMARY KEY, FMaxNum INTEGER NOT NULL)"),
              statements.end());
}

class EmptyCompany : public ::testing::Test {
  protected:
    TempCompany company{TempCompany::kEmpty};
    DemoDb db{company.path()};
};

// Every column that the module's statements name, by table.
const std::map<std::string, std::vector<std::string>>& ColumnsUsed() {
    static const std::map<std::string, std::vector<std::string>> used = {
        {"t_CustEntry",
         {"FBrNo", "FEntryID", "FCustID", "FItemID", "FUnitID", "FStartQty", "FEndQty", "FPrice",
          "FCyID", "FDiscount", "FLeadTime", "FQuoteTime", "FExpireDate", "FUsed", "FNote"}},
        {"t_Cust", {"FBrNo", "FItemID", "FCustID", "FCurrencyID", "FSELowPrice"}},
        {"t_ICItem",
         {"FItemID", "FNumber", "FShortNumber", "FName", "FModel", "FQtyDecimal", "FPriceDecimal",
          "FUnitID", "FUnitGroupID", "FErpClsID", "FParentID", "FSalePriceFixingType", "FSoLowPrc",
          "FSoLowPrcMnyType", "FDeleted"}},
        {"t_Item",
         {"FItemID", "FItemClassID", "FNumber", "FShortNumber", "FName", "FParentID", "FDetail",
          "FDeleted", "FLevel"}},
        {"t_Organization",
         {"FItemID", "FNumber", "FShortNumber", "FName", "FParentID", "FDeleted"}},
        {"t_MeasureUnit",
         {"FItemID", "FMeasureUnitID", "FNumber", "FShortNumber", "FName", "FCoefficient",
          "FUnitGroupID", "FDeleted"}},
        {"t_Currency",
         {"FCurrencyID", "FNumber", "FName", "FOperator", "FExchangeRate", "FDeleted"}},
        {"t_User", {"FUserID", "FDataVokeType"}},
        {"t_Group", {"FGroupID", "FUserID"}},
        {"t_ItemRight", {"FUserID", "FItemID", "FTypeID"}},
        {"t_UserItemClassRight", {"FUserID", "FItemClassID", "FUserItemClassRight"}},
        {"t_SystemProfile", {"FCategory", "FKey", "FValue"}},
        {"t_Department", {"FItemID", "FNumber", "FShortNumber", "FName"}},
        {"t_Emp", {"FItemID", "FNumber", "FShortNumber", "FName"}},
        {"t_Stock", {"FItemID", "FNumber", "FShortNumber", "FName"}},
        {"t_Exp", {"FItemID", "FNumber", "FShortNumber", "FName"}},
        {"t_Supplier", {"FItemID", "FNumber", "FShortNumber", "FName"}},
        {"t_ICMaxNum", {"FTableName", "FMaxNum"}},
        {"t_OrvaAccessRight", {"FUserID", "FObjectID", "FIndex", "FRights"}},
    };
    return used;
}

TEST_F(EmptyCompany, HasEveryColumnTheStatementsNameAndNoRows) {
    for (const auto& [table, columns] : ColumnsUsed()) {
        std::vector<std::string> have = db.Columns(table);
        ASSERT_FALSE(have.empty()) << table << " is missing";
        for (const std::string& column : columns) {
            EXPECT_NE(std::find(have.begin(), have.end(), column), have.end())
                << table << "." << column << " is missing";
        }
        EXPECT_EQ(db.Int("SELECT COUNT(*) FROM " + table), 0) << table;
    }
}

// Statements join these tables and name some columns without a table
// prefix; a second table with the same column would make them ambiguous.
TEST_F(EmptyCompany, UnprefixedColumnsOfJoinsAreUnambiguous) {
    auto lacks = [&](const std::string& table, const std::string& column) {
        auto have = db.Columns(table);
        return std::find(have.begin(), have.end(), column) == have.end();
    };
    // "select FLevel,t1.FItemID,... from t_Organization t1 inner join t_Item t2"
    EXPECT_TRUE(lacks("t_Organization", "FLevel"));
    EXPECT_TRUE(lacks("t_ICItem", "FLevel"));
    // "select FEntryID from t_CustEntry t1 inner join t_ICItem t2 ..."
    EXPECT_TRUE(lacks("t_ICItem", "FEntryID"));
    // "WHERE FCurrencyID>0 AND ..." with t_ItemRight joined
    EXPECT_TRUE(lacks("t_ItemRight", "FCurrencyID"));
}

TEST_F(EmptyCompany, HeaderRowWithThreeColumnsGetsBaseCurrencyAndNoMinimum) {
    db.Rows("INSERT INTO t_Cust (FBrNo,FItemID,FCustID) VALUES ('0',7,9)");
    EXPECT_EQ(db.Rows("SELECT FBrNo,FCurrencyID,FSELowPrice FROM t_Cust"),
              std::vector<std::string>{"0|1|0.0"});
    // One header row per customer and item.
    EXPECT_THROW(db.Rows("INSERT INTO t_Cust (FBrNo,FItemID,FCustID) VALUES ('0',7,9)"),
                 std::runtime_error);
}

TEST_F(EmptyCompany, AmountsStayDecimalAndDatesStayText) {
    db.Rows(
        "INSERT INTO t_CustEntry (FEntryID,FCustID,FItemID,FUnitID,FPrice,FCyID,FQuoteTime,"
        "FExpireDate,FLeadTime) VALUES (1,2,3,4,80.0,1,'2024-05-01','2100-01-01','5')");
    EXPECT_EQ(db.Text("SELECT FPrice/3 > 26.6 FROM t_CustEntry"), "1");
    EXPECT_EQ(db.Text("SELECT typeof(FQuoteTime) FROM t_CustEntry"), "text");
    EXPECT_EQ(db.Text("SELECT FLeadTime + 1 FROM t_CustEntry"), "6");  // quoted, converted
    EXPECT_EQ(db.Text("SELECT FBrNo || '/' || FUsed || '/' || FDiscount FROM t_CustEntry"),
              "0/0/0.0");
    EXPECT_EQ(db.Int("SELECT COUNT(*) FROM t_CustEntry WHERE FQuoteTime<='2024-12-31' AND "
                     "FExpireDate>'2024-12-31'"),
              1);
}

TEST_F(EmptyCompany, PriceEntryKeyIsUnique) {
    const std::string insert =
        "INSERT INTO t_CustEntry (FEntryID,FCustID,FItemID,FUnitID,FStartQty,FEndQty,FPrice,"
        "FCyID,FQuoteTime,FExpireDate,FNote) VALUES ";
    db.Rows(insert + "(1,2,3,4,0,0,9.5,1,'2024-01-01','2100-01-01','a')");
    // Differs only in price and note: refused.
    EXPECT_THROW(db.Rows(insert + "(2,2,3,4,0,0,7.5,1,'2024-01-01','2100-01-01','b')"),
                 std::runtime_error);
    // Differs in the band: accepted.
    db.Rows(insert + "(3,2,3,4,0,10,7.5,1,'2024-01-01','2100-01-01','b')");
    EXPECT_EQ(db.Int("SELECT COUNT(*) FROM t_CustEntry"), 2);
}

TEST_F(EmptyCompany, TextColumnsCompareWithoutCaseAndTrailingBlanks) {
    db.Rows("INSERT INTO t_Item (FItemID,FItemClassID,FNumber,FName) VALUES (1,4,'01.ab','x')");
    EXPECT_EQ(db.Int("SELECT FItemID FROM t_Item WHERE FNumber='01.AB  '"), 1);
    db.Rows(
        "INSERT INTO t_SystemProfile (FCategory,FKey,FValue) VALUES ('IC','UseShortNumber','1')");
    EXPECT_EQ(db.Text("SELECT FValue FROM t_SystemProfile WHERE FCategory='ic' AND "
                      "FKey='USESHORTNUMBER'"),
              "1");
    // Codes are unique per item class, by the same comparison.
    EXPECT_THROW(
        db.Rows(
            "INSERT INTO t_Item (FItemID,FItemClassID,FNumber,FName) VALUES (2,4,'01.AB ','y')"),
        std::runtime_error);
}

}  // namespace
}  // namespace orva::test
