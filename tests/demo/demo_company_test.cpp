// The demo company: referential consistency of the price data, hierarchical
// codes, the documented users and rights, the variety of entries the module's
// cases need, determinism, and refusal to overwrite.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "demo/company_generator.h"
#include "demo/demo_company.h"
#include "demo/sqlite_writer.h"
#include "demo_db.h"
#include "support/temp_company.h"

namespace orva::test {
namespace {

namespace fs = std::filesystem;
using namespace orva::demo;

class DemoCompany : public ::testing::Test {
  protected:
    TempCompany company;
    DemoDb db{company.path()};

    std::int64_t Count(const std::string& fromWhere) const {
        return db.Int("SELECT COUNT(*) FROM " + fromWhere);
    }
    int IdOf(int itemClass, std::string_view number) const {
        return static_cast<int>(
            db.Int("SELECT FItemID FROM t_Item WHERE FItemClassID=" + std::to_string(itemClass) +
                   " AND FNumber='" + std::string(number) + "'"));
    }
};

TEST_F(DemoCompany, HasTheAdvertisedSize) {
    EXPECT_GE(Count("t_Organization WHERE FDeleted=0"), 55);
    EXPECT_LE(Count("t_Organization"), 70);
    EXPECT_GE(Count("t_ICItem"), 280);
    EXPECT_LE(Count("t_ICItem"), 320);
    EXPECT_GE(Count("t_CustEntry"), 1000);
    EXPECT_EQ(Count("t_Currency"), 4);
}

// Each rule of the price data and the base data, as the rows that break it.
TEST_F(DemoCompany, NoRowBreaksTheDataRules) {
    const std::pair<const char*, const char*> rules[] = {
        {"an entry's customer exists",
         "t_CustEntry e WHERE NOT EXISTS (SELECT 1 FROM t_Organization o WHERE "
         "o.FItemID=e.FCustID AND o.FDeleted=0)"},
        {"an entry's item exists and has prices",
         "t_CustEntry e WHERE NOT EXISTS (SELECT 1 FROM t_ICItem i WHERE i.FItemID=e.FItemID AND "
         "i.FDeleted=0 AND i.FErpClsID NOT IN (6,8))"},
        {"an entry's currency exists",
         "t_CustEntry e WHERE NOT EXISTS (SELECT 1 FROM t_Currency c WHERE c.FCurrencyID=e.FCyID)"},
        {"an entry's unit is an undeleted unit of the item's group",
         "t_CustEntry e JOIN t_ICItem i ON i.FItemID=e.FItemID WHERE NOT EXISTS (SELECT 1 FROM "
         "t_MeasureUnit u WHERE u.FMeasureUnitID=e.FUnitID AND u.FUnitGroupID=i.FUnitGroupID AND "
         "u.FDeleted=0)"},
        {"an entry's values are in range",
         "t_CustEntry WHERE FBrNo<>'0' OR FPrice<=0 OR FExpireDate<FQuoteTime OR "
         "(FEndQty<FStartQty) OR FUsed NOT IN (0,1)"},
        // The ledger joins entries and header rows with inner joins.
        {"a pair with entries has its header row",
         "(SELECT DISTINCT FCustID,FItemID FROM t_CustEntry) p WHERE NOT EXISTS (SELECT 1 FROM "
         "t_Cust h WHERE h.FCustID=p.FCustID AND h.FItemID=p.FItemID)"},
        {"a header row has entries",
         "t_Cust h WHERE NOT EXISTS (SELECT 1 FROM t_CustEntry e WHERE e.FCustID=h.FCustID AND "
         "e.FItemID=h.FItemID)"},
        {"a header row's values are in range",
         "t_Cust h WHERE NOT EXISTS (SELECT 1 FROM t_Currency c WHERE c.FCurrencyID=h.FCurrencyID) "
         "OR h.FBrNo<>'0' OR h.FSELowPrice<0"},
        {"a customer is its common row",
         "t_Organization o WHERE NOT EXISTS (SELECT 1 FROM t_Item i WHERE i.FItemID=o.FItemID AND "
         "i.FItemClassID=1 AND i.FNumber=o.FNumber AND i.FShortNumber=o.FShortNumber AND "
         "i.FName=o.FName AND i.FParentID=o.FParentID AND i.FDetail=1 AND i.FDeleted=o.FDeleted)"},
        {"an item is its common row",
         "t_ICItem o WHERE NOT EXISTS (SELECT 1 FROM t_Item i WHERE i.FItemID=o.FItemID AND "
         "i.FItemClassID=4 AND i.FNumber=o.FNumber AND i.FShortNumber=o.FShortNumber AND "
         "i.FName=o.FName AND i.FParentID=o.FParentID AND i.FDetail=1 AND i.FDeleted=o.FDeleted)"},
        {"a common detail row of a customer or an item has its own row",
         "t_Item i WHERE i.FItemClassID IN (1,4) AND i.FDetail=1 AND NOT EXISTS (SELECT 1 FROM "
         "t_Organization o WHERE o.FItemID=i.FItemID) AND NOT EXISTS (SELECT 1 FROM t_ICItem c "
         "WHERE c.FItemID=i.FItemID)"},
        {"a unit is its common row",
         "t_MeasureUnit u WHERE u.FMeasureUnitID<>u.FItemID OR NOT EXISTS (SELECT 1 FROM t_Item i "
         "WHERE i.FItemID=u.FItemID AND i.FItemClassID=7)"},
        // Matching by short code is then exact.
        {"a short code is unique within its class",
         "(SELECT FItemClassID,FShortNumber FROM t_Item GROUP BY 1,2 HAVING COUNT(*)>1)"},
        {"an item's unit is of its own group",
         "t_ICItem i WHERE NOT EXISTS (SELECT 1 FROM t_MeasureUnit u WHERE u.FItemID=i.FUnitID AND "
         "u.FUnitGroupID=i.FUnitGroupID)"},
    };
    for (const auto& [rule, breaking] : rules) EXPECT_EQ(Count(breaking), 0) << rule;
}

TEST_F(DemoCompany, PriceEntryKeyHoldsAndNumberingContinuesAfterIt) {
    EXPECT_EQ(Count("t_CustEntry"),
              Count("(SELECT DISTINCT FItemID,FCustID,FUnitID,FStartQty,FEndQty,FCyID,"
                    "FQuoteTime,FExpireDate FROM t_CustEntry)"));
    EXPECT_EQ(db.Int("SELECT FMaxNum FROM t_ICMaxNum WHERE FTableName='t_Cust'"),
              db.Int("SELECT MAX(FEntryID) FROM t_CustEntry"));
    // The indexes were built with the collation they are read with.
    EXPECT_EQ(db.Text("PRAGMA integrity_check"), "ok");
}

TEST_F(DemoCompany, CodesAreHierarchical) {
    // Each row of customers and items: top level without a dot, otherwise the
    // parent's code, a dot and a segment; level one below the parent's; the
    // parent is a group of the same class.
    auto rows = db.Rows(
        "SELECT c.FItemClassID,c.FNumber,c.FLevel,c.FParentID,IFNULL(p.FNumber,'-'),"
        "IFNULL(p.FLevel,0),IFNULL(p.FDetail,-1),IFNULL(p.FItemClassID,0) FROM t_Item c "
        "LEFT JOIN t_Item p ON p.FItemID=c.FParentID WHERE c.FItemClassID IN (1,4)");
    ASSERT_GT(rows.size(), 300u);
    std::set<int> levels;
    for (const std::string& row : rows) {
        std::stringstream in(row);
        std::string cls, number, level, parentId, parentNumber, parentLevel, parentDetail,
            parentClass;
        std::getline(in, cls, '|');
        std::getline(in, number, '|');
        std::getline(in, level, '|');
        std::getline(in, parentId, '|');
        std::getline(in, parentNumber, '|');
        std::getline(in, parentLevel, '|');
        std::getline(in, parentDetail, '|');
        std::getline(in, parentClass, '|');
        levels.insert(std::stoi(level));
        if (parentId == "0") {
            EXPECT_EQ(number.find('.'), std::string::npos) << row;
            EXPECT_EQ(level, "1") << row;
            continue;
        }
        std::size_t dot = number.rfind('.');
        ASSERT_NE(dot, std::string::npos) << row;
        EXPECT_EQ(number.substr(0, dot), parentNumber) << row;
        EXPECT_FALSE(number.substr(dot + 1).empty()) << row;
        EXPECT_EQ(std::stoi(level), std::stoi(parentLevel) + 1) << row;
        EXPECT_EQ(parentDetail, "0") << row;
        EXPECT_EQ(parentClass, cls) << row;
    }
    EXPECT_EQ(levels, (std::set<int>{1, 2, 3}));
    EXPECT_TRUE(db.Rows("SELECT FNumber FROM t_Item WHERE FItemClassID=1 AND FNumber IN "
                        "('01','01.01','01.01.001')")
                    .size() == 3);
}

TEST_F(DemoCompany, UnitsCurrenciesAndOptionsAreThoseDocumented) {
    EXPECT_EQ(db.Rows("SELECT FName,FCoefficient FROM t_MeasureUnit WHERE FUnitGroupID=" +
                      std::to_string(kUnitGroupCount) + " AND FDeleted=0 ORDER BY FCoefficient"),
              (std::vector<std::string>{"个|1.0", "盒|10.0", "箱|100.0"}));
    EXPECT_EQ(db.Rows("SELECT FName FROM t_MeasureUnit WHERE FUnitGroupID=" +
                      std::to_string(kUnitGroupWeight) + " ORDER BY FCoefficient"),
              (std::vector<std::string>{"克", "千克", "吨"}));
    EXPECT_EQ(
        db.Int("SELECT FDeleted FROM t_MeasureUnit WHERE FItemID=" + std::to_string(kUnitDozen)),
        1);
    EXPECT_EQ(db.Rows("SELECT FCurrencyID,FName,FOperator FROM t_Currency ORDER BY 1"),
              (std::vector<std::string>{"1|人民币|*", "2|美元|*", "3|欧元|*", "4|港币|/"}));
    EXPECT_EQ(db.Text("SELECT FExchangeRate FROM t_Currency WHERE FCurrencyID=1"), "1.0");
    EXPECT_EQ(db.Text("SELECT FValue FROM t_SystemProfile WHERE FCategory='IC' AND "
                      "FKey='UseShortNumber'"),
              std::to_string(kOptionUseShortNumber));
    EXPECT_EQ(db.Text("SELECT FValue FROM t_SystemProfile WHERE FKey='AlertSELowPrice'"),
              std::to_string(kOptionAlertSELowPrice));
    EXPECT_EQ(db.Text("SELECT FValue FROM t_SystemProfile WHERE FKey='BatchAuditSalePrice'"),
              std::to_string(kOptionBatchAuditSalePrice));
}

TEST_F(DemoCompany, EntriesCoverTheCasesTheModuleDistinguishes) {
    const std::string today = "2025-06-30";
    EXPECT_GT(Count("t_CustEntry WHERE FUsed=1"), 0);
    EXPECT_GT(Count("t_CustEntry WHERE FUsed=0"), 0);
    EXPECT_GT(Count("t_CustEntry WHERE FExpireDate<='" + today + "'"), 0);  // expired
    EXPECT_GT(Count("t_CustEntry WHERE FQuoteTime>'" + today + "'"), 0);    // future
    EXPECT_GT(Count("t_CustEntry WHERE FUsed=1 AND FQuoteTime<='" + today + "' AND FExpireDate>'" +
                    today + "'"),
              100);  // what a sales bill sees
    EXPECT_EQ(Count("(SELECT DISTINCT FCyID FROM t_CustEntry)"), 4);
    EXPECT_GT(Count("t_CustEntry WHERE FStartQty=0 AND FEndQty=0"), 0);
    EXPECT_GT(Count("t_CustEntry WHERE FEndQty>FStartQty"), 0);
    EXPECT_GT(Count("t_CustEntry e JOIN t_MeasureUnit u ON u.FItemID=e.FUnitID WHERE "
                    "u.FCoefficient>1"),
              0);
    // Several entries for one pair.
    EXPECT_GT(Count("(SELECT FCustID,FItemID FROM t_CustEntry GROUP BY 1,2 HAVING COUNT(*)>2)"), 0);
    // Minimum prices at both levels, in more than one currency.
    EXPECT_GT(Count("t_Cust WHERE FSELowPrice>0 AND FCurrencyID=1"), 0);
    EXPECT_GT(Count("t_Cust WHERE FSELowPrice>0 AND FCurrencyID<>1"), 0);
    EXPECT_GT(Count("t_ICItem WHERE FSalePriceFixingType=1 AND FSoLowPrc>0 AND "
                    "FSoLowPrcMnyType=1"),
              0);
    EXPECT_GT(Count("t_ICItem WHERE FSalePriceFixingType=1 AND FSoLowPrc>0 AND "
                    "FSoLowPrcMnyType=2"),
              0);
    EXPECT_GT(Count("t_ICItem WHERE FSalePriceFixingType IS NULL"), 0);
    // Planning and feature items exist, and carry no prices.
    EXPECT_GT(Count("t_ICItem WHERE FErpClsID=6"), 0);
    EXPECT_GT(Count("t_ICItem WHERE FErpClsID=8"), 0);
    // Some prices in the base unit lie below their minimum (the alert has
    // work), most do not.
    std::string below =
        "t_CustEntry e JOIN t_Cust h ON h.FCustID=e.FCustID AND h.FItemID=e.FItemID "
        "JOIN t_MeasureUnit u ON u.FItemID=e.FUnitID WHERE e.FCyID=1 AND h.FCurrencyID=1 AND "
        "u.FCoefficient=1 AND h.FSELowPrice>0 AND e.FPrice";
    EXPECT_GT(Count(below + "<h.FSELowPrice"), 0);
    EXPECT_GT(Count(below + ">=h.FSELowPrice"), Count(below + "<h.FSELowPrice"));
}

TEST_F(DemoCompany, EdgeRecordsAreWhereTheHeaderSays) {
    EXPECT_EQ(db.Int("SELECT FParentID FROM t_Organization WHERE FNumber='" +
                     std::string(kRetailCustomerNumber) + "'"),
              0);
    EXPECT_EQ(db.Text("SELECT FName FROM t_Organization WHERE FNumber='" +
                      std::string(kQuoteCustomerNumber) + "'"),
              "O'Neil Trading Ltd.");
    EXPECT_GT(Count("t_CustEntry WHERE FNote LIKE '%''%'"), 0);
    EXPECT_EQ(db.Int("SELECT FDeleted FROM t_Organization WHERE FNumber='" +
                     std::string(kDeletedCustomerNumber) + "'"),
              1);
    EXPECT_EQ(db.Int("SELECT FDeleted FROM t_ICItem WHERE FNumber='" +
                     std::string(kDeletedItemNumber) + "'"),
              1);
    EXPECT_EQ(Count("t_ICItem WHERE FNumber='01.003' AND FPriceDecimal IS NULL"), 1);
}

bool SeesRecord(const DemoDb& db, int user, int typeId, int id) {
    std::string u = std::to_string(user);
    return db.Int("SELECT COUNT(*) FROM t_ItemRight r WHERE r.FItemID=" + std::to_string(id) +
                  " AND r.FTypeID=" + std::to_string(typeId) + " AND (r.FUserID=" + u +
                  " OR r.FUserID IN (SELECT FGroupID FROM t_Group WHERE FGroupID<>0 AND "
                  "FUserID=" +
                  u + "))") > 0;
}

TEST_F(DemoCompany, RecordClerkHoldsRightsOnItsRecordsAndTheirGroups) {
    const int u = kRecordClerkUserId;
    for (std::string_view code : kRecordClerkCustomers) {
        EXPECT_TRUE(SeesRecord(db, u, kRightTypeCustomer, IdOf(kItemClassCustomer, code))) << code;
    }
    for (std::string_view code : kRecordClerkItems) {
        EXPECT_TRUE(SeesRecord(db, u, kRightTypeItem, IdOf(kItemClassItem, code))) << code;
    }
    for (const char* code : {"01", "01.01", "02", "02.01"}) {
        EXPECT_TRUE(SeesRecord(db, u, kRightTypeCustomer, IdOf(kItemClassCustomer, code))) << code;
        EXPECT_TRUE(SeesRecord(db, u, kRightTypeItem, IdOf(kItemClassItem, code))) << code;
    }
    EXPECT_FALSE(SeesRecord(db, u, kRightTypeCustomer, IdOf(kItemClassCustomer, "01.01.003")));
    EXPECT_FALSE(SeesRecord(db, u, kRightTypeItem, IdOf(kItemClassItem, "01.01.003")));
    EXPECT_EQ(Count("t_ItemRight WHERE FUserID=" + std::to_string(u) + " AND FTypeID=120"), 1);
}

// Function rights as the host's AccessCheck reads them: group 1 holds all,
// others the bits of their own rows and of their groups except group 0.
std::int64_t HeldRights(const DemoDb& db, int user, int object) {
    std::string u = std::to_string(user);
    if (db.Int("SELECT COUNT(*) FROM t_Group WHERE FGroupID=1 AND FUserID=" + u) > 0)
        return -1;
    std::int64_t held = 0;
    for (const std::string& row :
         db.Rows("SELECT FRights FROM t_OrvaAccessRight WHERE FObjectID=" + std::to_string(object) +
                 " AND FIndex=6 AND (FUserID=" + u +
                 " OR FUserID IN (SELECT FGroupID FROM t_Group WHERE FGroupID<>0 AND FUserID=" + u +
                 "))")) {
        held |= std::stoll(row);
    }
    return held;
}

TEST_F(DemoCompany, FunctionRightsAreThoseDocumented) {
    const std::int64_t all = kRightAdd | kRightModify | kRightDelete | kRightAudit | kRightPrint;
    for (int object : {kPriceObjectId, kPriceObjectIdAr}) {
        EXPECT_EQ(HeldRights(db, kAdminUserId, object) & all, all);
        EXPECT_EQ(HeldRights(db, kGroupClerkUserId, object) & all, all);
        EXPECT_EQ(HeldRights(db, kRecordClerkUserId, object) & all, all & ~kRightDelete);
        EXPECT_EQ(HeldRights(db, kLimitedUserId, object) & all, kRightAdd | kRightPrint);
    }
    // Group 0's row exists but grants nothing.
    EXPECT_EQ(Count("t_OrvaAccessRight WHERE FUserID=0"), 1);
    EXPECT_EQ(Count("t_OrvaAccessRight WHERE FUserID=1 AND FRights=" + std::to_string(kAllRights)),
              Count("t_OrvaAccessRight WHERE FUserID=1"));
}

TEST(DemoGenerator, TwoRunsWriteTheSameRows) {
    std::string dir = MakeTempDir("orva-demo-twice");
    CompanySummary a = CreateDemoCompany(dir + "/a.db");
    CompanySummary b = CreateDemoCompany(dir + "/b.db");
    std::vector<std::string> dumpA = DemoDb(dir + "/a.db").Dump();
    std::vector<std::string> dumpB = DemoDb(dir + "/b.db").Dump();
    fs::remove_all(dir);
    EXPECT_EQ(a.priceEntries, b.priceEntries);
    EXPECT_GT(dumpA.size(), 4000u);
    EXPECT_TRUE(dumpA == dumpB);
}

TEST(DemoGenerator, SummaryCountsWhatWasWritten) {
    TempCompany empty(TempCompany::kEmpty);
    std::string path = empty.dir() + "/demo.db";
    CompanySummary s = CreateDemoCompany(path);
    DemoDb db(path);
    EXPECT_EQ(s.customers, db.Int("SELECT COUNT(*) FROM t_Organization"));
    EXPECT_EQ(s.items, db.Int("SELECT COUNT(*) FROM t_ICItem"));
    EXPECT_EQ(s.customerGroups,
              db.Int("SELECT COUNT(*) FROM t_Item WHERE FItemClassID=1 AND FDetail=0"));
    EXPECT_EQ(s.itemGroups,
              db.Int("SELECT COUNT(*) FROM t_Item WHERE FItemClassID=4 AND FDetail=0"));
    EXPECT_EQ(s.priceEntries, db.Int("SELECT COUNT(*) FROM t_CustEntry"));
    EXPECT_EQ(s.headerRows, db.Int("SELECT COUNT(*) FROM t_Cust"));
    EXPECT_EQ(s.users, 4);
    EXPECT_EQ(s.users + s.userGroups, db.Int("SELECT COUNT(*) FROM t_User"));
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(DemoGenerator, NeverOverwritesAndLeavesNothingBehindOnFailure) {
    TempCompany company;
    std::string before = ReadAll(company.path());
    EXPECT_THROW(CreateDemoCompany(company.path()), GeneratorError);
    EXPECT_THROW(CreateEmptyCompany(company.path()), GeneratorError);
    EXPECT_THROW(CreateLargeCompany(company.path(), 10, 10, 10), GeneratorError);
    EXPECT_EQ(ReadAll(company.path()), before);
    try {
        CreateDemoCompany(company.path());
    } catch (const GeneratorError& e) {
        EXPECT_NE(std::string(e.what()).find("already exists"), std::string::npos) << e.what();
    }

    EXPECT_THROW(CreateDemoCompany(company.dir() + "/no-such-folder/x.db"), GeneratorError);
    EXPECT_THROW(CreateDemoCompany(""), GeneratorError);
    // Only the company file is in its folder: no temporary leftovers.
    int files = 0;
    for (const auto& entry : fs::directory_iterator(company.dir())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

}  // namespace
}  // namespace orva::test
