// The member walk of the batch operations: every detail record under a group,
// however deep, once each, ascending, with the user's data rights.
#include <algorithm>
#include <set>

#include "batch_fixture.h"
#include "model/sql_values.h"

namespace orva::batchtest {
namespace {

std::vector<int> Members(const RecordsetPtr& rs) {
    std::vector<int> ids;
    if (!rs)
        return ids;
    for (; !rs->EOF_(); rs->MoveNext())
        ids.push_back(static_cast<int>(rs->Fields("FItemID").Value().ToInteger()));
    return ids;
}

// "01.02.005" -> "01.02"
std::string GroupCode(const std::string& code) {
    auto dot = code.rfind('.');
    return dot == std::string::npos ? code : code.substr(0, dot);
}

class DetailQueryTest : public BatchTest {
  protected:
    // A customer tree four levels deep; IDs deliberately out of code order.
    void BuildCustomerTree() {
        AddCustomerGroup(900100, "T9", 0);
        AddCustomer(900106, "T9.002", 900100);
        AddCustomer(900105, "T9.001", 900100);
        AddCustomerGroup(900101, "T9.01", 900100);
        AddCustomer(900108, "T9.01.001", 900101);
        AddCustomerGroup(900102, "T9.01.01", 900101);
        AddCustomer(900103, "T9.01.01.001", 900102);
        AddCustomerGroup(900104, "T9.01.01.01", 900102);  // an empty group
        // An item filed under the customer group is not a customer.
        AddItem(900109, "T9.003", 900100);
    }

    // Detail customers of the demo whose code starts with the prefix and
    // whose group is one of the given codes.
    std::vector<int> DemoCustomers(const std::string& prefix, const std::set<std::string>& groups) {
        std::vector<int> ids;
        RecordsetPtr rs = Query(
            "SELECT FItemID,FNumber FROM t_Item WHERE FItemClassID=1 AND FDetail=1 AND FNumber "
            "LIKE " +
            SqlText(prefix + "%") + " ORDER BY FItemID");
        for (; !rs->EOF_(); rs->MoveNext()) {
            if (groups.count(GroupCode(rs->Fields("FNumber").Value().ToText())))
                ids.push_back(static_cast<int>(rs->Fields("FItemID").Value().ToInteger()));
        }
        return ids;
    }

    int DemoId(int cls, const std::string& number) {
        return static_cast<int>(Int("SELECT FItemID FROM t_Item WHERE FItemClassID=" + SqlId(cls) +
                                    " AND FNumber=" + SqlText(number)));
    }
};

TEST_F(DetailQueryTest, DeepCustomerTreeGivesEveryDetailOnceInAscendingOrder) {
    BuildCustomerTree();
    RecordsetPtr rs;
    engine_.GetDetailCust(900100, rs);
    ASSERT_TRUE(rs);
    EXPECT_EQ(Members(rs), (std::vector<int>{900103, 900105, 900106, 900108}));

    engine_.GetDetailCust(900102, rs);
    EXPECT_EQ(Members(rs), (std::vector<int>{900103}));
    // An empty group, and a detail record passed as the group, have no members.
    engine_.GetDetailCust(900104, rs);
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->RecordCount(), 0);
    engine_.GetDetailCust(900105, rs);
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->RecordCount(), 0);
}

TEST_F(DetailQueryTest, ItemWalkLeavesOutFeatureItemsOnly) {
    AddItemGroup(900200, "I9", 0);
    AddItem(900205, "I9.001", 900200);
    AddItem(900203, "I9.002", 900200, demo::kUnitPiece, demo::kErpClsFeature);
    AddItem(900207, "I9.003", 900200, demo::kUnitPiece, demo::kErpClsPlanning);
    AddItemGroup(900201, "I9.01", 900200);
    AddItem(900202, "I9.01.001", 900201);
    AddItemGroup(900210, "I9.02", 900200);
    AddItem(900211, "I9.02.001", 900210, demo::kUnitPiece, demo::kErpClsFeature);
    // A customer filed under the item group is not an item.
    AddCustomer(900209, "I9.004", 900200);

    RecordsetPtr rs;
    engine_.GetDetailItem(900200, rs);
    EXPECT_EQ(Members(rs), (std::vector<int>{900202, 900205, 900207}));
    engine_.GetDetailItem(900210, rs);
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->RecordCount(), 0);
}

TEST_F(DetailQueryTest, GroupLevelRightsTestTheMembersGroup) {
    const int region = DemoId(kItemClassCustomer, "01");
    const std::vector<int> all = DemoCustomers("01.", {"01", "01.01", "01.02", "01.03"});
    ASSERT_GT(all.size(), 5u);

    RecordsetPtr rs;
    engine_.GetDetailCust(region, rs);
    EXPECT_EQ(Members(rs), all) << "the administrator sees every member";

    // zhangmin holds customer groups "01" and "01.01" (not "01.02", "01.03").
    LogOn(demo::kGroupClerkUserId);
    const std::vector<int> seen = DemoCustomers("01.", {"01", "01.01"});
    ASSERT_FALSE(seen.empty());
    ASSERT_LT(seen.size(), all.size());
    engine_.GetDetailCust(region, rs);
    EXPECT_EQ(Members(rs), seen);

    // Rights granted to group 0 grant nothing.
    engine_.GetDetailCust(DemoId(kItemClassCustomer, "03"), rs);
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->RecordCount(), 0);
}

TEST_F(DetailQueryTest, RecordLevelRightsNeedARightOnTheMemberItself) {
    LogOn(demo::kRecordClerkUserId);
    RecordsetPtr rs;
    engine_.GetDetailCust(DemoId(kItemClassCustomer, "01"), rs);
    std::vector<int> expected = {DemoId(kItemClassCustomer, "01.01.001"),
                                 DemoId(kItemClassCustomer, "01.01.002")};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Members(rs), expected);

    // Items: the granted records of group 02.01, not its other items.
    engine_.GetDetailItem(DemoId(kItemClassItem, "02.01"), rs);
    std::vector<int> items;
    for (const char* code : {"02.01.001", "02.01.002", "02.01.010"})
        items.push_back(DemoId(kItemClassItem, code));
    std::sort(items.begin(), items.end());
    EXPECT_EQ(Members(rs), items);
}

TEST_F(DetailQueryTest, AFailingQueryLeavesNothing) {
    BuildCustomerTree();
    RecordsetPtr rs;
    engine_.GetDetailCust(900100, rs);
    ASSERT_TRUE(rs);
    RawExec("DROP TABLE t_ItemRight");
    LogOn(demo::kGroupClerkUserId);  // the rights join now fails
    engine_.GetDetailCust(900100, rs);
    EXPECT_FALSE(rs);
    EXPECT_TRUE(ui_->MessageBoxes().empty());
}

}  // namespace
}  // namespace orva::batchtest
