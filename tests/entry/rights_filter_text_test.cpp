// The exact texts of the data-rights fragments of every statement family, as
// the statements of the editor checks, the group tree and ledger, and the
// group member walk carry them (blanks, letter case and CR LF included).
#include <gtest/gtest.h>

#include "session/rights_filter.h"

namespace orva {
namespace {

const std::string CR = "\r\n";
const std::string kGroupCodeT1 =
    "LEFT(t1.FNumber,LEN(t1.FNumber)-CHARINDEX('.',REVERSE(RTRIM(t1.FNumber))))";

std::string UpperCondition(const std::string& r, int type) {
    return "AND " + r + ".FTypeID=" + std::to_string(type) + CR + "AND (" + r +
           ".FuserID=16395 OR " + r +
           ".FUserID IN (SELECT FGroupID FROM t_Group WHERE FGroupID <> 0 AND FUserID=16395 ))" +
           CR;
}

std::string MixedCondition(const std::string& r, int type) {
    return "AND " + r + ".FTypeID=" + std::to_string(type) + CR + "AND (" + r +
           ".FuserID=16395 OR " + r +
           ".FUserID IN (Select FGroupID From t_Group Where FGroupID <> 0 And FUserID=16395 ))" +
           CR;
}

TEST(RightsFilterText, EditorChecks) {
    RightsFilter item = EditorItemFilter(16395, false);
    EXPECT_EQ(item.from, " INNER JOIN t_ItemRight t6 ON t1.FItemID=t6.FItemID " + CR);
    EXPECT_EQ(item.where, UpperCondition("t6", 4));

    RightsFilter itemGroup = EditorItemFilter(16395, true);
    EXPECT_EQ(itemGroup.from, " INNER JOIN t_Item t8 ON " + kGroupCodeT1 + " = t8.FNumber" + CR +
                                  "INNER JOIN t_ItemRight t6 ON t8.FItemID=t6.FItemID" + CR);

    RightsFilter cust = EditorCustomerFilter(16395, false);
    EXPECT_EQ(cust.from, item.from);
    EXPECT_EQ(cust.where, UpperCondition("t6", 1));
    EXPECT_EQ(EditorCustomerFilter(16395, true).from, itemGroup.from);

    RightsFilter currency = EditorCurrencyFilter(16395);
    EXPECT_EQ(currency.from, " INNER JOIN t_ItemRight t6 ON t1.FCurrencyID=t6.FItemID " + CR);
    EXPECT_EQ(currency.where, UpperCondition("t6", 120));
}

TEST(RightsFilterText, TreeAndLedger) {
    RightsFilter item = TreeItemFilter(16395, false);
    EXPECT_EQ(item.from, " INNER JOIN t_ItemRight t6 ON t1.FItemID=t6.FItemID " + CR);
    EXPECT_EQ(item.where, UpperCondition("t6", 4));
    EXPECT_EQ(TreeItemFilter(16395, true).from,
              "INNER JOIN t_Item t8 ON " + kGroupCodeT1 + " = t8.FNumber" + CR +
                  "INNER JOIN t_ItemRight t6 ON t8.FItemID=t6.FItemID" + CR);

    RightsFilter cust = TreeCustomerFilter(16395, false);
    EXPECT_EQ(cust.from, " INNER JOIN t_ItemRight t7 ON t1.FItemID=t7.FItemID" + CR);
    EXPECT_EQ(cust.where, MixedCondition("t7", 1));
    EXPECT_EQ(TreeCustomerFilter(16395, true).from,
              "INNER JOIN t_Item t9 ON " + kGroupCodeT1 + " = t9.FNumber" + CR +
                  "INNER JOIN t_ItemRight t7 ON t9.FItemID=t7.FItemID" + CR);

    EXPECT_EQ(TreeCustomerFilter(16395, false, "v1").from,
              " INNER JOIN t_ItemRight t7 ON v1.FItemID=t7.FItemID" + CR);
    EXPECT_EQ(TreeCustomerFilter(16395, true, "v1").from,
              "INNER JOIN t_Item t9 ON "
              "LEFT(v1.FNumber,LEN(v1.FNumber)-CHARINDEX('.',REVERSE(RTRIM(v1.FNumber)))) = "
              "t9.FNumber" +
                  CR + "INNER JOIN t_ItemRight t7 ON t9.FItemID=t7.FItemID" + CR);

    RightsFilter price = LedgerPriceCurrencyFilter(16395);
    EXPECT_EQ(price.from, "INNER JOIN t_ItemRight t10 ON t3.FCurrencyID=t10.FItemID" + CR);
    EXPECT_EQ(price.where, UpperCondition("t10", 120));
    RightsFilter floor = LedgerMinPriceCurrencyFilter(16395);
    EXPECT_EQ(floor.from, "INNER JOIN t_ItemRight t11 ON u3.FCurrencyID=t11.FItemID" + CR);
    EXPECT_EQ(floor.where, UpperCondition("t11", 120));
}

TEST(RightsFilterText, GroupMemberWalk) {
    RightsFilter items = MemberFilter(16395, RightsType::kItem, false);
    EXPECT_EQ(items.from, " INNER JOIN t_ItemRight t7 ON v1.FItemID=t7.FItemID" + CR);
    EXPECT_EQ(items.where, MixedCondition("t7", 4));
    EXPECT_EQ(MemberFilter(16395, RightsType::kCustomer, false).where, MixedCondition("t7", 1));
    EXPECT_EQ(MemberFilter(16395, RightsType::kItem, true).from,
              " Inner join t_Item v2 on v1.FItemID=v2.FITemID " + CR +
                  " INNER JOIN t_Item t9 ON "
                  "LEFT(v2.FNumber,LEN(v2.FNumber)-CHARINDEX('.',REVERSE(RTRIM(v2.FNumber)))) = "
                  "t9.FNumber" +
                  CR + " INNER JOIN t_ItemRight t7 ON t9.FItemID=t7.FItemID" + CR);
}

}  // namespace
}  // namespace orva
