// Data rights on the demo company: who is filtered, and what the fragments
// let each user see when a statement carries them.
#include "company_fixture.h"
#include "session/rights.h"
#include "session/rights_filter.h"
#include "session/session.h"

namespace orva {
namespace {

using DataRightsTest = CompanyTest;

const std::string kItems = "SELECT Distinct t1.FNumber FROM t_ICItem t1 ";
const std::string kCustomers = "SELECT Distinct t1.FNumber FROM t_Organization t1 ";

// Every code of the table whose group is one of `groups` (or, with groups
// empty, every code).
std::set<std::string> CodesInGroups(const std::set<std::string>& all,
                                    const std::set<std::string>& groups) {
    std::set<std::string> out;
    for (auto& code : all) {
        if (groups.empty() || groups.count(GroupOf(code)))
            out.insert(code);
    }
    return out;
}

TEST_F(DataRightsTest, AdministratorWithOddVokeTypeIsNeverFiltered) {
    LogOn(demo::kAdminUserId);
    EXPECT_TRUE(IsAdminUser(*ctx_));
    EXPECT_FALSE(DataVokeOff(*ctx_));  // odd FDataVokeType
    EXPECT_FALSE(DataRightsApply(*ctx_));
}

TEST_F(DataRightsTest, WhoIsFilteredFollowsGroupOneAndTheVokeType) {
    LogOn(demo::kLimitedUserId);  // FDataVokeType 2
    EXPECT_FALSE(IsAdminUser(*ctx_));
    EXPECT_TRUE(DataVokeOff(*ctx_));
    EXPECT_FALSE(DataRightsApply(*ctx_));

    LogOn(demo::kGroupClerkUserId);
    EXPECT_FALSE(IsAdminUser(*ctx_));
    EXPECT_FALSE(DataVokeOff(*ctx_));
    EXPECT_TRUE(DataRightsApply(*ctx_));
    EXPECT_TRUE(HasItemClassRight(*ctx_, kItemClassItem));
    EXPECT_TRUE(HasItemClassRight(*ctx_, kItemClassCustomer));
    EXPECT_FALSE(HasItemClassRight(*ctx_, 12));  // no row

    LogOn(demo::kRecordClerkUserId);  // class rights without the bit of value 4
    EXPECT_FALSE(HasItemClassRight(*ctx_, kItemClassItem));

    // A user without a t_User row is filtered.
    LogOn(31000);
    EXPECT_FALSE(IsAdminUser(*ctx_));
    EXPECT_FALSE(DataVokeOff(*ctx_));
    EXPECT_TRUE(DataRightsApply(*ctx_));
}

TEST_F(DataRightsTest, GroupLevelItemRightsGrantItemsOfGrantedGroupsOnly) {
    LogOn(demo::kGroupClerkUserId);
    std::set<std::string> all = Column(kItems);
    // Granted to the user: "01", "01.01"; to its group: "03", "03.01"; to
    // group 0 (grants nothing): "02".
    std::set<std::string> expected = CodesInGroups(all, {"01", "01.01", "03", "03.01"});
    ASSERT_TRUE(expected.count("01.003"));

    for (bool editor : {true, false}) {
        RightsFilter f = editor ? EditorItemFilter(GetCurUserID(*ctx_), true)
                                : TreeItemFilter(GetCurUserID(*ctx_), true);
        std::set<std::string> seen = Column(kItems + f.from + " WHERE 1=1 " + f.where);
        EXPECT_EQ(seen, expected) << (editor ? "editor form" : "tree form");
        EXPECT_FALSE(seen.count("02.001"));
        EXPECT_FALSE(seen.count("01.02.001"));
    }
}

TEST_F(DataRightsTest, GroupLevelCustomerRightsInTreeAndLedgerForms) {
    LogOn(demo::kGroupClerkUserId);
    std::set<std::string> all = Column(kCustomers);
    std::set<std::string> expected = CodesInGroups(all, {"01", "01.01", "02", "02.01"});
    ASSERT_FALSE(expected.empty());

    RightsFilter tree = TreeCustomerFilter(GetCurUserID(*ctx_), true);
    EXPECT_EQ(Column(kCustomers + tree.from + "WHERE 1=1" + tree.where), expected);

    RightsFilter editor = EditorCustomerFilter(GetCurUserID(*ctx_), true);
    EXPECT_EQ(Column(kCustomers + editor.from + " WHERE 1=1 " + editor.where), expected);

    RightsFilter ledger = TreeCustomerFilter(GetCurUserID(*ctx_), true, "v1");
    EXPECT_EQ(Column("SELECT Distinct v1.FNumber FROM t_CustEntry u1 INNER JOIN t_Organization v1 "
                     "on u1.FCustID=v1.FItemID\r\n" +
                     ledger.from + " WHERE 1=1\r\n" + ledger.where),
              CodesInGroups(Column("SELECT Distinct v1.FNumber FROM t_CustEntry u1 INNER JOIN "
                                   "t_Organization v1 on u1.FCustID=v1.FItemID"),
                            {"01", "01.01", "02", "02.01"}));
}

TEST_F(DataRightsTest, RecordLevelRightsNeedARightOnTheRecordItself) {
    LogOn(demo::kRecordClerkUserId);
    RightsFilter items =
        TreeItemFilter(GetCurUserID(*ctx_), HasItemClassRight(*ctx_, kItemClassItem));
    std::set<std::string> seen = Column(kItems + items.from + " WHERE 1=1 " + items.where);
    EXPECT_EQ(seen, std::set<std::string>(demo::kRecordClerkItems.begin(),
                                          demo::kRecordClerkItems.end()));

    RightsFilter customers =
        TreeCustomerFilter(GetCurUserID(*ctx_), HasItemClassRight(*ctx_, kItemClassCustomer));
    EXPECT_EQ(Column(kCustomers + customers.from + "WHERE 1=1" + customers.where),
              std::set<std::string>(demo::kRecordClerkCustomers.begin(),
                                    demo::kRecordClerkCustomers.end()));
}

TEST_F(DataRightsTest, GroupMemberWalkFormOnItemsAndCustomers) {
    LogOn(demo::kGroupClerkUserId);
    // The walk's members (v1) stand here for the rows of the work table.
    RightsFilter f = MemberFilter(GetCurUserID(*ctx_), RightsType::kItem, true);
    std::set<std::string> seen =
        Column("SELECT Distinct v1.FNumber FROM t_ICItem v1 " + f.from + " WHERE 1=1 " + f.where);
    EXPECT_EQ(seen, CodesInGroups(Column(kItems), {"01", "01.01", "03", "03.01"}));

    LogOn(demo::kRecordClerkUserId);
    RightsFilter c = MemberFilter(GetCurUserID(*ctx_), RightsType::kCustomer, false);
    EXPECT_EQ(Column("SELECT Distinct v1.FNumber FROM t_Organization v1 " + c.from + " WHERE 1=1 " +
                     c.where),
              std::set<std::string>(demo::kRecordClerkCustomers.begin(),
                                    demo::kRecordClerkCustomers.end()));
}

TEST_F(DataRightsTest, CurrencyRightsOfTheUserAndOfItsGroup) {
    LogOn(demo::kGroupClerkUserId);
    RightsFilter editor = EditorCurrencyFilter(GetCurUserID(*ctx_));
    std::set<std::string> expected = {"1", "2"};  // own right, and the sales group's
    EXPECT_EQ(Column("SELECT Distinct t1.FCurrencyID FROM t_Currency  t1 " + editor.from +
                     " WHERE FCurrencyID>0 " + editor.where),
              expected);

    RightsFilter price = LedgerPriceCurrencyFilter(GetCurUserID(*ctx_));
    RightsFilter floor = LedgerMinPriceCurrencyFilter(GetCurUserID(*ctx_));
    std::set<std::string> cy = Column(
        "SELECT Distinct t3.FCurrencyID FROM t_CustEntry u1 INNER JOIN t_Cust u2 ON "
        "u1.FCustID=u2.FCustID AND u1.FItemID=u2.FItemID\r\n INNER JOIN t_Currency t3 ON "
        "t3.FCurrencyID=u1.FCyID\r\n INNER JOIN t_Currency u3 ON "
        "u3.FCurrencyID=u2.FCurrencyID\r\n" +
        price.from + floor.from + " WHERE 1=1\r\n" + price.where + floor.where);
    for (auto& id : cy) EXPECT_TRUE(expected.count(id)) << id;
}

}  // namespace
}  // namespace orva
