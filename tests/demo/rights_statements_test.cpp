// The demo users' data rights seen through the module's own statement
// shapes on the connection component: what each clerk's tree lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "demo/demo_company.h"
#include "host/app_connection.h"
#include "support/scoped_session.h"
#include "support/temp_company.h"

namespace orva::test {
namespace {

using namespace orva::demo;

std::vector<std::string> Numbers(AppConnection& db, const std::string& sql) {
    std::vector<std::string> out;
    RecordsetPtr rs = db.Execute(sql);
    for (; !rs->EOF_(); rs->MoveNext()) out.push_back(rs->Fields("FNumber").Value().ToText());
    return out;
}

bool Has(const std::vector<std::string>& v, const std::string& s) {
    return std::find(v.begin(), v.end(), s) != v.end();
}

std::string Holder(int user) {
    std::string u = std::to_string(user);
    return "(t6.FuserID=" + u +
           " OR t6.FUserID IN (SELECT FGroupID FROM t_Group WHERE FGroupID <> 0 AND FUserID=" + u +
           " ))\r\n";
}

class RightsStatements : public ::testing::Test {
  protected:
    TempCompany company;
};

TEST_F(RightsStatements, GroupClerkItemLeavesFollowTheirGroupsRights) {
    ScopedSession session(company.path(), kGroupClerkUserId);
    AppConnection db;
    auto items =
        Numbers(db,
                " SELECT Distinct t1.FItemID,t1.FName,t1.FNumber,t1.FParentID,1 as FDetail \r\n"
                "FROM t_ICItem t1 \r\n"
                "INNER JOIN t_Item t8 ON "
                "LEFT(t1.FNumber,LEN(t1.FNumber)-CHARINDEX('.',REVERSE(RTRIM(t1.FNumber)))) = "
                "t8.FNumber\r\n"
                "INNER JOIN t_ItemRight t6 ON t8.FItemID=t6.FItemID\r\n"
                "WHERE t1.FErpClsid not in (6,8) AND t6.FTypeID=4\r\n"
                "AND " +
                    Holder(kGroupClerkUserId) + " ORDER BY t1.FNumber");
    EXPECT_TRUE(Has(items, "01.003"));
    EXPECT_TRUE(Has(items, "01.01.001"));
    EXPECT_TRUE(Has(items, "03.01.001"));   // through the sales group
    EXPECT_FALSE(Has(items, "02.01.001"));  // group 0's right grants nothing
    EXPECT_FALSE(Has(items, "01.02.001"));
    EXPECT_FALSE(Has(items, "03.01.025"));  // planning item
    // 01.0xx: 4, 01.01.xxx: 24, 03.0xx: 2, 03.01.xxx: 24 without the planning
    // and feature items.
    EXPECT_EQ(items.size(), 54u);
}

TEST_F(RightsStatements, GroupClerkCustomerGroupsShowThroughTheirParents) {
    ScopedSession session(company.path(), kGroupClerkUserId);
    AppConnection db;
    auto groups = Numbers(
        db,
        "SELECT Distinct t1.FItemID,t1.FName,t1.FNumber,t1.FParentID,t1.FDetail  FROM t_Item t1 "
        "INNER JOIN t_Item t9 ON "
        "LEFT(t1.FNumber,LEN(t1.FNumber)-CHARINDEX('.',REVERSE(RTRIM(t1.FNumber)))) = "
        "t9.FNumber\r\n"
        "INNER JOIN t_ItemRight t7 ON t9.FItemID=t7.FItemID\r\n"
        " WHERE t1.FItemClassID=1 AND t1.FDetail=0 AND t7.FTypeID=1\r\n"
        "AND (t7.FuserID=16395 OR t7.FUserID IN (Select FGroupID From t_Group Where FGroupID "
        "<> 0 And FUserID=16395 ))\r\n ORDER BY t1.FNumber");
    // "01" grants itself and its sub-groups; "02" comes through the sales
    // group; group 0's "03" grants nothing.
    EXPECT_EQ(groups, (std::vector<std::string>{"01", "01.01", "01.02", "01.03", "02", "02.01",
                                                "02.02", "02.03"}));
}

TEST_F(RightsStatements, RecordClerkSeesOnlyItsOwnCustomers) {
    ScopedSession session(company.path(), kRecordClerkUserId);
    AppConnection db;
    auto customers = Numbers(db,
                             " SELECT t1.FItemID,t1.FName,t1.FNumber,t1.FParentID,1 as FDetail \r\n"
                             "FROM t_Organization t1 \r\n"
                             " INNER JOIN t_ItemRight t7 ON t1.FItemID=t7.FItemID\r\n"
                             "WHERE 1=1AND t7.FTypeID=1\r\n"
                             "AND (t7.FuserID=16396 OR t7.FUserID IN (Select FGroupID From "
                             "t_Group Where FGroupID <> 0 And FUserID=16396 ))\r\n"
                             " ORDER BY t1.FNumber");
    std::vector<std::string> expected(kRecordClerkCustomers.begin(), kRecordClerkCustomers.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(customers, expected);
}

}  // namespace
}  // namespace orva::test
