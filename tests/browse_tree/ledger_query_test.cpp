// The statements of the group tree and the ledger: their exact texts for the
// rights, options and bill cases, and what they list on the demo company.
#include <algorithm>
#include <map>
#include <set>

#include "browse/tvw_builder.h"
#include "host/controls/tree.h"
#include "tree_fixture.h"

namespace orva {
namespace {

const std::string N = "\r\n";

// The minimum-price columns and the tail of both ledger selects.
const std::string kMinPrice =
    "(CASE isnull(t1.FSalePriceFixingType,0) WHEN 0 THEN u2.FCurrencyID ELSE "
    "t1.FSoLowPrcMnyType End) as FSELCyID," +
    N +
    "(CASE isnull(t1.FSalePriceFixingType,0) WHEN 0 THEN u3.FName ELSE u4.FName End) AS "
    "FSELCyName," +
    N +
    "(CASE isnull(t1.FSalePriceFixingType,0) WHEN 0 THEN u2.FSELowPrice ELSE t1.FSoLowPrc End) "
    "as FSELowPrice," +
    N + "u1.FQuoteTime,(CASE u1.Fused WHEN 1 THEN 'Y' ELSE ' ' END ) AS Fused" + N +
    ",u1.FNote,u1.FExpireDate";

std::string Condition(const std::string& alias, int type, const std::string& user, bool upper) {
    return "AND " + alias + ".FTypeID=" + std::to_string(type) + N + "AND (" + alias +
           ".FuserID=" + user + " OR " + alias + ".FUserID IN (" +
           (upper ? "SELECT FGroupID FROM t_Group WHERE FGroupID <> 0 AND FUserID="
                  : "Select FGroupID From t_Group Where FGroupID <> 0 And FUserID=") +
           user + " ))" + N;
}

class LedgerQueryTest : public CompanyTest {
  protected:
    void Build(bool byItem) {
        builder.SetTvwGroup(&tree);
        builder.SetCategoryByItem(byItem);
        builder.SetTreeView(-1);
    }
    Tree tree;
    tvwBuilder builder{*ctx_};
};

TEST_F(LedgerQueryTest, GroupListTextWithShortCodesAndGroupLevelRights) {
    LogOn(demo::kGroupClerkUserId);
    ctx_->g_UseShortNumber = true;
    Build(false);
    const std::string u = "16395";
    EXPECT_EQ(builder.GroupListSql(),
              "SELECT Distinct t1.FItemID,t1.FName,t1.FShortNumber AS FNumber,t1.FParentID,"
              "t1.FDetail  FROM t_Item t1 "
              "INNER JOIN t_Item t9 ON LEFT(t1.FNumber,LEN(t1.FNumber)-CHARINDEX('.',REVERSE("
              "RTRIM(t1.FNumber)))) = t9.FNumber" +
                  N + "INNER JOIN t_ItemRight t7 ON t9.FItemID=t7.FItemID" + N +
                  " WHERE t1.FItemClassID=1 AND t1.FDetail=0 " + Condition("t7", 1, u, false) +
                  " ORDER BY  t1.FShortNumber");
}

TEST_F(LedgerQueryTest, CustomerLedgerTextWithGroupLevelRights) {
    LogOn(demo::kGroupClerkUserId);
    Build(false);
    const std::string u = "16395";
    const std::string expected =
        "SELECT Distinct u1.FCustID,u1.FItemID,u1.FEntryID,t1.FName," + N + "t1.FNumber," + N +
        "t1.FModel,t2.FName AS FUnitName,u1.FStartQty,u1.FEndQty,u1.FPrice," + N +
        "t3.FName AS FCyName,u1.FDiscount,u1.FLeadTime," + N + kMinPrice +
        " FROM t_CustEntry u1 INNER JOIN t_Organization v1 on u1.FCustID=v1.FItemID" + N +
        "    INNER JOIN t_Cust u2 ON u1.FCustID=u2.FCustID AND u1.FItemID=u2.FItemID" + N +
        "    INNER JOIN t_ICItem t1 ON u2.FItemID=t1.FItemID" + N +
        "    INNER JOIN t_MeasureUnit t2 ON u1.FUnitID=t2.FItemID" + N +
        "    INNER JOIN t_Currency t3 ON u1.FCyID=t3.FCurrencyID" + N +
        "    INNER JOIN t_Currency u3 ON u3.FCurrencyID=u2.FCurrencyID" + N +
        " left outer JOIN t_Currency u4 ON t1.FSoLowPrcMnyType=u4.FCurrencyID" + N +
        "INNER JOIN t_Item t8 ON LEFT(t1.FNumber,LEN(t1.FNumber)-CHARINDEX('.',REVERSE(RTRIM("
        "t1.FNumber)))) = t8.FNumber" +
        N + "INNER JOIN t_ItemRight t6 ON t8.FItemID=t6.FItemID" + N +
        "INNER JOIN t_Item t9 ON LEFT(v1.FNumber,LEN(v1.FNumber)-CHARINDEX('.',REVERSE(RTRIM("
        "v1.FNumber)))) = t9.FNumber" +
        N + "INNER JOIN t_ItemRight t7 ON t9.FItemID=t7.FItemID" + N +
        "INNER JOIN t_ItemRight t10 ON t3.FCurrencyID=t10.FItemID" + N +
        "INNER JOIN t_ItemRight t11 ON u3.FCurrencyID=t11.FItemID" + N +
        " WHERE t1.FErpClsID not in (6,8) and u1.FCustID=1234" + N + Condition("t6", 4, u, true) +
        Condition("t7", 1, u, false) + Condition("t10", 120, u, true) +
        Condition("t11", 120, u, true) + " ORDER BY t1.FNumber";
    EXPECT_EQ(builder.GetDetailSql("1234"), expected);
}

TEST_F(LedgerQueryTest, ItemLedgerTextsWithShortCodesAndFromABill) {
    ctx_->g_UseShortNumber = true;
    ctx_->g_CallByBill = true;
    Build(true);
    const std::string d = Date::Today().ToText();
    const std::string select = "SELECT Distinct u1.FItemID,u1.FCustID,u1.FEntryID,v1.FName," + N;
    const std::string rest = "t2.FName AS FUnitName," + N + "u1.FStartQty,u1.FEndQty,u1.FPrice," +
                             N + "t3.FName AS FCyName," + N + "u1.FDiscount,u1.FLeadTime," + N +
                             kMinPrice;
    const std::string from =
        " FROM t_CustEntry  u1 INNER JOIN t_Organization v1 on u1.FCustID=v1.FItemID" + N +
        " INNER JOIN t_ICItem t1 ON u1.FItemID=t1.FItemID" + N +
        " INNER JOIN t_Cust u2 ON u1.FCustID=u2.FCustID AND u1.FItemID=u2.FItemID" + N +
        " INNER JOIN t_MeasureUnit t2 ON t2.FItemID=u1.FUnitID" + N +
        " INNER JOIN t_Currency t3 ON t3.FCurrencyID=u1.FCyID" + N +
        " INNER JOIN t_Currency u3 ON u3.FCurrencyID=u2.FCurrencyID" + N +
        " left outer JOIN t_Currency u4 ON t1.FSoLowPrcMnyType=u4.FCurrencyID" + N;
    const std::string bill =
        "AND u1.Fused=1 AND u1.FQuoteTime<='" + d + "' AND u1.FExpireDate>'" + d + "'";
    // Short codes: shown and ordered by (the full code is not selected).
    std::string shortSql = builder.GetDetailSql("77");
    EXPECT_NE(shortSql.find("v1.FShortNumber as FNumber ," + N), std::string::npos);
    EXPECT_EQ(shortSql.substr(shortSql.size() - 25), " ORDER BY v1.FShortNumber");

    // The record clerk: direct joins; the item filter's condition follows the
    // bill clause at once.
    LogOn(demo::kRecordClerkUserId);
    ctx_->g_UseShortNumber = false;
    Build(true);
    const std::string u = "16396";
    EXPECT_EQ(builder.GetDetailSql("77"),
              select + "v1.FNumber," + N + rest + from +
                  " INNER JOIN t_ItemRight t6 ON t1.FItemID=t6.FItemID " + N +
                  " INNER JOIN t_ItemRight t7 ON v1.FItemID=t7.FItemID" + N +
                  "INNER JOIN t_ItemRight t10 ON t3.FCurrencyID=t10.FItemID" + N +
                  "INNER JOIN t_ItemRight t11 ON u3.FCurrencyID=t11.FItemID" + N +
                  " WHERE u1.FItemID=77" + N + bill + Condition("t6", 4, u, true) +
                  Condition("t7", 1, u, false) + Condition("t10", 120, u, true) +
                  Condition("t11", 120, u, true) + " ORDER BY v1.FNumber");
}

class LedgerRowsTest : public LedgerQueryTest {
  protected:
    std::set<std::string> EntryIds(const std::string& sql) {
        std::set<std::string> ids;
        RecordsetPtr rs = Query(sql);
        for (; !rs->EOF_(); rs->MoveNext()) ids.insert(rs->Fields("FEntryID").Value().ToText());
        return ids;
    }
};

TEST_F(LedgerRowsTest, FromABillOnlyAuditedPricesInForceTodayAreListed) {
    std::string item = Scalar(
                           "select top 1 FItemID from t_CustEntry group by FItemID "
                           "order by count(*) desc")
                           .ToText();
    const std::string d = Date::Today().ToText();
    std::set<std::string> expected = EntryIds(
        "select e.FEntryID from t_CustEntry e inner join t_Cust c on c.FCustID=e.FCustID and "
        "c.FItemID=e.FItemID where e.FUsed=1 and e.FQuoteTime<='" +
        d + "' and e.FExpireDate>'" + d + "' and e.FItemID=" + item);
    std::set<std::string> all = EntryIds("select FEntryID from t_CustEntry where FItemID=" + item);
    ASSERT_LT(expected.size(), all.size());  // the demo mixes unaudited and expired prices

    ctx_->g_CallByBill = true;
    Build(true);
    RecordsetPtr rs = Query(builder.GetDetailSql(item));
    std::set<std::string> listed;
    for (; !rs->EOF_(); rs->MoveNext()) {
        listed.insert(rs->Fields("FEntryID").Value().ToText());
        EXPECT_EQ(rs->Fields("Fused").Value().ToText(), "Y");
    }
    EXPECT_EQ(listed, expected);

    // A leaf whose prices are all unaudited or out of force lists nothing.
    std::string stale = Scalar(
                            "select top 1 FItemID from t_CustEntry group by FItemID having "
                            "sum(case when FUsed=1 and FQuoteTime<='" +
                            d + "' and FExpireDate>'" + d + "' then 1 else 0 end)=0")
                            .ToText();
    ASSERT_FALSE(stale.empty());
    EXPECT_EQ(Query(builder.GetDetailSql(stale))->RecordCount(), 0);
}

TEST_F(LedgerRowsTest, GroupClerkSeesOnlyGrantedItemsCustomersAndCurrencies) {
    // A customer of a granted group, with prices in several currencies.
    std::string cust =
        Scalar(
            "select top 1 e.FCustID from t_CustEntry e inner join t_Organization o on "
            "o.FItemID=e.FCustID where o.FNumber like '01.01.%' group by e.FCustID "
            "order by count(distinct e.FCyID) desc, count(*) desc")
            .ToText();
    ASSERT_FALSE(cust.empty());
    LogOn(demo::kGroupClerkUserId);
    Build(false);
    std::set<std::string> ids = EntryIds(builder.GetDetailSql(cust));
    const std::set<std::string> grantedItems = {"01", "01.01", "03", "03.01"};
    const std::set<std::string> currencies = {
        Scalar("select FName from t_Currency where FCurrencyID=1").ToText(),
        Scalar("select FName from t_Currency where FCurrencyID=2").ToText()};
    // The entries the administrator sees, narrowed down to granted item
    // groups and currencies (of the price and of the minimum price).
    LogOn(demo::kAdminUserId);
    Build(false);
    RecordsetPtr all = Query(builder.GetDetailSql(cust));
    std::set<std::string> expected;
    for (; !all->EOF_(); all->MoveNext()) {
        if (grantedItems.count(GroupOf(all->Fields("FNumber").Value().ToText())) &&
            currencies.count(all->Fields("FCyName").Value().ToText()) &&
            currencies.count(all->Fields("FSELCyName").Value().ToText()))
            expected.insert(all->Fields("FEntryID").Value().ToText());
    }
    EXPECT_FALSE(expected.empty());
    EXPECT_LT(expected.size(), static_cast<size_t>(all->RecordCount()));
    EXPECT_EQ(ids, expected);

    // A customer of a group the clerk may not see lists nothing.
    std::string hidden =
        Scalar(
            "select top 1 e.FCustID from t_CustEntry e inner join t_Organization o on "
            "o.FItemID=e.FCustID where o.FNumber like '03.%'")
            .ToText();
    LogOn(demo::kGroupClerkUserId);
    Build(false);
    EXPECT_EQ(Query(builder.GetDetailSql(hidden))->RecordCount(), 0);
}

// A clerk whose rights are group-level for one class and record-level for
// the other (the record clerk with one class switched to group level): each
// tree lists, and each ledger shows as the other party, the records of its
// class at that class's own level.
TEST_F(LedgerRowsTest, EachClassIsSeenAtItsOwnRightsLevel) {
    const std::string user = std::to_string(demo::kRecordClerkUserId);
    // The codes of the class's records the clerk may see: granted itself, or
    // (group-level) whose group's code is that of a granted row of t_Item.
    auto visible = [&](int classID, int type, bool groupLevel) {
        const std::string granted =
            " IN (SELECT FItemID FROM t_ItemRight WHERE FTypeID=" + std::to_string(type) +
            " AND FUserID=" + user + ")";
        const std::vector<std::string> grantedCodes =
            Column("SELECT FNumber FROM t_Item WHERE FItemID" + granted);
        std::set<std::string> codes;
        for (const std::string& c :
             Column("SELECT FNumber FROM t_Item WHERE FDetail=1 AND FItemClassID=" +
                    std::to_string(classID) + (groupLevel ? "" : " AND FItemID" + granted))) {
            if (!groupLevel || std::count(grantedCodes.begin(), grantedCodes.end(), GroupOf(c)))
                codes.insert(c);
        }
        return codes;
    };
    auto codesOf = [&](const std::string& sql) {
        std::set<std::string> codes;
        for (RecordsetPtr rs = Query(sql); !rs->EOF_(); rs->MoveNext())
            codes.insert(rs->Fields("FNumber").Value().ToText());
        return codes;
    };

    LogOn(demo::kRecordClerkUserId);
    for (const bool customersByGroup : {true, false}) {
        SCOPED_TRACE(customersByGroup ? "customers by group, items by record"
                                      : "items by group, customers by record");
        for (const auto& [classID, byGroup] :
             {std::pair{1, customersByGroup}, std::pair{4, !customersByGroup}}) {
            Query("UPDATE t_UserItemClassRight SET FUserItemClassRight=" +
                  std::string(byGroup ? "7" : "3") +
                  " WHERE FItemClassID=" + std::to_string(classID) + " AND FUserID=" + user);
        }
        const std::set<std::string> customers = visible(1, 1, customersByGroup);
        std::set<std::string> items = visible(4, 4, !customersByGroup);
        for (const std::string& c : Column("SELECT FNumber FROM t_ICItem WHERE FErpClsID IN (6,8)"))
            items.erase(c);
        ASSERT_GT(customers.size(), 3u);
        ASSERT_GT(items.size(), 3u);

        for (const bool byItem : {false, true}) {
            SCOPED_TRACE(byItem ? "item tree" : "customer tree");
            Build(byItem);
            const std::set<std::string>& leaves = byItem ? items : customers;
            const std::set<std::string>& others = byItem ? customers : items;
            EXPECT_EQ(codesOf(builder.LeafListSql()), leaves);

            // The leaf with the most entries the clerk may see: the other
            // party one the clerk may see, price and minimum price in
            // currency 1, the clerk's only currency. Its ledger lists them
            // all and nothing else.
            const std::string leafColumn = byItem ? "FItemID" : "FCustID";
            const std::string otherColumn = byItem ? "FCustID" : "FItemID";
            std::map<std::string, std::set<std::string>> seen;  // leaf -> entries
            for (RecordsetPtr rs =
                     Query("SELECT e.FEntryID, e." + leafColumn +
                           ", t.FNumber, o.FNumber "
                           "FROM t_CustEntry e INNER JOIN t_Item t ON t.FItemID=e." +
                           leafColumn + " INNER JOIN t_Item o ON o.FItemID=e." + otherColumn +
                           " INNER JOIN t_Cust h ON h.FCustID=e.FCustID AND h.FItemID=e.FItemID "
                           "WHERE e.FCyID=1 AND h.FCurrencyID=1");
                 !rs->EOF_(); rs->MoveNext()) {
                if (leaves.count(rs->Fields(2).Value().ToText()) &&
                    others.count(rs->Fields(3).Value().ToText()))
                    seen[rs->Fields(1).Value().ToText()].insert(rs->Fields(0).Value().ToText());
            }
            auto most = std::max_element(
                seen.begin(), seen.end(),
                [](const auto& a, const auto& b) { return a.second.size() < b.second.size(); });
            ASSERT_NE(most, seen.end());
            EXPECT_EQ(EntryIds(builder.GetDetailSql(most->first)), most->second) << most->first;
        }
    }
}

// The data-rights tests run each time a ledger statement is built: a change
// of the user's flags reaches the next ledger of the same tree.
TEST_F(LedgerRowsTest, RightsChangesReachTheNextLedgerWithoutARebuild) {
    const std::string cust =
        Scalar(
            "select top 1 e.FCustID from t_CustEntry e inner join t_Organization o on "
            "o.FItemID=e.FCustID where o.FNumber like '01.01.%' group by e.FCustID "
            "order by count(*) desc")
            .ToText();
    const std::string user = std::to_string(demo::kGroupClerkUserId);
    LogOn(demo::kGroupClerkUserId);
    Build(false);
    const long filteredRows = Query(builder.GetDetailSql(cust))->RecordCount();
    struct Step {
        const char* change;
        bool filtered, groupLevel;
    };
    const Step steps[] = {
        {"UPDATE t_User SET FDataVokeType=2 WHERE FUserID=", false, false},
        {"UPDATE t_User SET FDataVokeType=1 WHERE FUserID=", true, true},
        {"UPDATE t_UserItemClassRight SET FUserItemClassRight=0 WHERE FUserID=", true, false},
        {"INSERT INTO t_Group (FGroupID,FUserID) VALUES (1,", false, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.change);
        Query(step.change + user + (step.change[0] == 'I' ? ")" : ""));
        const std::string sql = builder.GetDetailSql(cust);
        EXPECT_EQ(sql.find("t_ItemRight") != std::string::npos, step.filtered);
        EXPECT_EQ(sql.find("INNER JOIN t_Item t8") != std::string::npos, step.groupLevel);
        if (!step.filtered) {
            EXPECT_GT(Query(sql)->RecordCount(), filteredRows);
        }
    }
}

}  // namespace
}  // namespace orva
