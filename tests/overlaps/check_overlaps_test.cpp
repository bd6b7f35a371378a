// "Check overlaps" on a copy of the demo company: the pairs it lists against
// the rule applied to every two entries of the table, under the whole
// company, a group and a leaf, for the administrator and for a clerk whose
// data rights hide a customer.
#include "browse/check_overlaps.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "engine/price_overlap.h"
#include "entry/company_fixture.h"
#include "model/sql_values.h"

namespace orva {
namespace {

using PairSet = std::set<std::pair<std::int32_t, std::int32_t>>;

class CheckOverlapsTest : public CompanyTest {
  protected:
    void SetUp() override {
        CompanyTest::SetUp();
        LogOn(demo::kAdminUserId);
        // A customer the group clerk sees (group "01.01" is granted to it)
        // and one it does not (group "03.01" is granted to group 0 only).
        seen_ = First(
            "SELECT TOP 1 FItemID FROM t_Organization WHERE FNumber LIKE '01.01.%' "
            "ORDER BY FNumber");
        hidden_ = First(
            "SELECT TOP 1 FItemID FROM t_Organization WHERE FNumber LIKE '03.01.%' "
            "ORDER BY FNumber");
        seenGroup_ = First("SELECT FItemID FROM t_Item WHERE FItemClassID=1 AND FNumber='01.01'");
        // An item of a group the clerk sees, and its base unit.
        item_ = First(
            "SELECT TOP 1 FItemID FROM t_ICItem WHERE FNumber LIKE '01.01.%' AND "
            "FErpClsID<4 ORDER BY FNumber");
        unit_ = First("SELECT FUnitID FROM t_ICItem WHERE FItemID=" + SqlId(item_));
    }

    std::int32_t First(const std::string& sql) {
        RecordsetPtr rs = ctx_->g_Connection->Execute(sql);
        EXPECT_FALSE(rs->EOF_()) << sql;
        return rs->EOF_() ? 0 : static_cast<std::int32_t>(rs->Fields(0).Value().ToInteger());
    }

    void Insert(std::int32_t id, std::int32_t cust, double from, double to, const char* quote,
                const char* expire, std::int32_t currency = 1) {
        ctx_->g_Connection->Execute(
            "INSERT INTO t_CustEntry (FBrNo,FEntryID,FCustID,FItemID,FUnitID,FStartQty,FEndQty,"
            "FPrice,FCyID,FDiscount,FLeadTime,FQuoteTime,FExpireDate,FUsed,FNote) VALUES ('0'," +
            SqlId(id) + "," + SqlId(cust) + "," + SqlId(item_) + "," + SqlId(unit_) + "," +
            SqlNumber(from) + "," + SqlNumber(to) + ",12.5," + SqlId(currency) + ",0,0,'" + quote +
            "','" + expire + "',0,'')");
        if (First("SELECT COUNT(*) FROM t_Cust WHERE FCustID=" + SqlId(cust) +
                  " AND FItemID=" + SqlId(item_)) == 0) {
            ctx_->g_Connection->Execute(
                "INSERT INTO t_Cust (FBrNo,FItemID,FCustID,FCurrencyID,FSELowPrice) VALUES ('0'," +
                SqlId(item_) + "," + SqlId(cust) + ",1,0)");
        }
    }

    // Two overlapping entries (an open price and a summer quantity break),
    // one after the open price's expiry, one in another currency.
    void InsertCase(std::int32_t base, std::int32_t cust) {
        Insert(base + 1, cust, 0, 0, "2026-01-01", "2027-01-01");
        Insert(base + 2, cust, 10, 20, "2026-06-01", "2026-07-01");
        Insert(base + 3, cust, 0, 0, "2027-01-01", "2100-01-01");
        Insert(base + 4, cust, 0, 0, "2026-01-01", "2100-01-01", 2);
    }

    // The rule applied to every two entries of the table (of items that can
    // carry prices), one key at a time.
    PairSet ByRule(const std::set<std::int32_t>& customers = {}) {
        std::map<std::tuple<int, int, int, int>, std::vector<PriceSpan>> byKey;
        RecordsetPtr rs = ctx_->g_Connection->Execute(
            "SELECT e.FEntryID,e.FCustID,e.FItemID,e.FUnitID,e.FCyID,e.FStartQty,e.FEndQty,"
            "e.FQuoteTime,e.FExpireDate FROM t_CustEntry e INNER JOIN t_ICItem i ON "
            "i.FItemID=e.FItemID WHERE i.FErpClsID NOT IN (6,8)");
        for (; !rs->EOF_(); rs->MoveNext()) {
            PriceSpan s;
            s.entryID = static_cast<std::int32_t>(rs->Fields(0).Value().ToInteger());
            s.custID = static_cast<std::int32_t>(rs->Fields(1).Value().ToInteger());
            s.itemID = static_cast<std::int32_t>(rs->Fields(2).Value().ToInteger());
            s.unitID = static_cast<std::int32_t>(rs->Fields(3).Value().ToInteger());
            s.currencyID = static_cast<std::int32_t>(rs->Fields(4).Value().ToInteger());
            s.startQty = rs->Fields(5).Value().ToDouble();
            s.endQty = rs->Fields(6).Value().ToDouble();
            s.quoteTime = rs->Fields(7).Value().ToDate();
            s.expireDate = rs->Fields(8).Value().ToDate();
            if (customers.empty() || customers.count(s.custID))
                byKey[{s.custID, s.itemID, s.unitID, s.currencyID}].push_back(s);
        }
        PairSet pairs;
        for (auto& [key, spans] : byKey)
            for (std::size_t i = 0; i < spans.size(); ++i)
                for (std::size_t j = i + 1; j < spans.size(); ++j)
                    if (Overlap(spans[i], spans[j]))
                        pairs.emplace(std::min(spans[i].entryID, spans[j].entryID),
                                      std::max(spans[i].entryID, spans[j].entryID));
        return pairs;
    }

    PairSet Listed(const TreeNodeKey& node, bool byItem = false,
                   std::size_t rowsPerRead = kOverlapRowsPerRead) {
        PairSet pairs;
        for (const OverlapRow& row : CheckOverlaps(*ctx_, byItem, node, rowsPerRead).rows) {
            EXPECT_LE(row.first.quoteTime, row.second.quoteTime);
            EXPECT_TRUE(pairs
                            .emplace(std::min(row.first.entryID, row.second.entryID),
                                     std::max(row.first.entryID, row.second.entryID))
                            .second)
                << "listed twice";
        }
        return pairs;
    }

    static PairSet With(std::int32_t base) { return {{base + 1, base + 2}}; }

    std::int32_t seen_ = 0, hidden_ = 0, seenGroup_ = 0, item_ = 0, unit_ = 0;
};

TEST_F(CheckOverlapsTest, ListsWhatTheRuleFindsOverTheWholeCompany) {
    InsertCase(900000, seen_);
    InsertCase(900010, hidden_);
    const PairSet expected = ByRule();
    ASSERT_TRUE(expected.count({900001, 900002}));
    ASSERT_TRUE(expected.count({900011, 900012}));
    for (bool byItem : {false, true})
        EXPECT_EQ(Listed({TreeNodeKey::kRoot, 0}, byItem), expected) << "item tree " << byItem;

    // Read a few rows at a time, the check cuts between items, between
    // customers of one item, and reads a run longer than a read whole: the
    // same pairs in the same order.
    auto ids = [](const OverlapList& list) {
        std::vector<std::pair<std::int32_t, std::int32_t>> v;
        for (const OverlapRow& r : list.rows) v.emplace_back(r.first.entryID, r.second.entryID);
        return v;
    };
    const auto whole = ids(CheckOverlaps(*ctx_, false, {TreeNodeKey::kRoot, 0}));
    for (std::size_t rows : {1, 2, 3, 7, 50}) {
        EXPECT_EQ(ids(CheckOverlaps(*ctx_, false, {TreeNodeKey::kRoot, 0}, rows)), whole)
            << rows << " rows a read";
        EXPECT_EQ(Listed({TreeNodeKey::kLeaf, seen_}, false, rows),
                  Listed({TreeNodeKey::kLeaf, seen_}))
            << rows << " rows a read, one customer";
    }
}

TEST_F(CheckOverlapsTest, RowNamesBothEntriesWithTheirBandsPeriodsAndPrices) {
    InsertCase(900000, seen_);
    const OverlapList list = CheckOverlaps(*ctx_, false, {TreeNodeKey::kLeaf, seen_});
    auto it = std::find_if(list.rows.begin(), list.rows.end(), [](const OverlapRow& r) {
        return r.first.entryID == 900001 && r.second.entryID == 900002;
    });
    ASSERT_NE(it, list.rows.end());
    const OverlapRow& row = *it;
    EXPECT_EQ(row.custID, seen_);
    EXPECT_EQ(row.itemID, item_);
    EXPECT_EQ(row.unitID, unit_);
    EXPECT_EQ(row.currencyID, 1);
    EXPECT_EQ(OverlapList::Of(list.customers, seen_).number.substr(0, 6), "01.01.");
    EXPECT_EQ(OverlapList::Of(list.items, item_).number.substr(0, 6), "01.01.");
    EXPECT_FALSE(OverlapList::Of(list.units, unit_).name.empty());
    EXPECT_FALSE(OverlapList::Of(list.currencies, 1).name.empty());
    EXPECT_EQ(row.first.quoteTime.ToText(), "2026-01-01");
    EXPECT_EQ(row.first.expireDate.ToText(), "2027-01-01");
    EXPECT_EQ(row.first.endQty, 0);
    EXPECT_EQ(row.second.quoteTime.ToText(), "2026-06-01");
    EXPECT_EQ(row.second.startQty, 10);
    EXPECT_EQ(row.second.endQty, 20);
    EXPECT_EQ(row.second.price, 12.5);
    EXPECT_FALSE(row.second.audited);
}

TEST_F(CheckOverlapsTest, ScopeOfAGroupOrALeafAndTheClerksRights) {
    InsertCase(900000, seen_);
    InsertCase(900010, hidden_);
    const PairSet all = ByRule();

    struct Case {
        const char* name;
        int user;
        TreeNodeKey node;
        bool seenCase;
        bool hiddenCase;
    };
    const Case cases[] = {
        {"admin, whole company", demo::kAdminUserId, {TreeNodeKey::kRoot, 0}, true, true},
        {"admin, group 01.01", demo::kAdminUserId, {TreeNodeKey::kGroup, seenGroup_}, true, false},
        {"admin, hidden customer", demo::kAdminUserId, {TreeNodeKey::kLeaf, hidden_}, false, true},
        {"clerk, whole company", demo::kGroupClerkUserId, {TreeNodeKey::kRoot, 0}, true, false},
        {"clerk, hidden customer",
         demo::kGroupClerkUserId,
         {TreeNodeKey::kLeaf, hidden_},
         false,
         false},
        {"clerk, group 01.01",
         demo::kGroupClerkUserId,
         {TreeNodeKey::kGroup, seenGroup_},
         true,
         false},
        {"no such group", demo::kAdminUserId, {TreeNodeKey::kGroup, 99999999}, false, false},
    };
    for (const Case& c : cases) {
        LogOn(c.user);
        const PairSet listed = Listed(c.node);
        EXPECT_EQ(listed.count({900001, 900002}), c.seenCase ? 1u : 0u) << c.name;
        EXPECT_EQ(listed.count({900011, 900012}), c.hiddenCase ? 1u : 0u) << c.name;
        for (const auto& pair : listed) EXPECT_TRUE(all.count(pair)) << c.name;
    }
    // The clerk's group granted the same customer group as the clerk: the
    // rights joins then read each entry twice, and each pair is still
    // listed once, never an entry with itself.
    LogOn(demo::kAdminUserId);
    ctx_->g_Connection->Execute("INSERT INTO t_ItemRight (FUserID,FTypeID,FItemID) VALUES (" +
                                SqlId(demo::kSalesGroupId) + ",1," + SqlId(seenGroup_) + ")");
    LogOn(demo::kGroupClerkUserId);
    for (const auto& [a, b] : Listed({TreeNodeKey::kLeaf, seen_})) EXPECT_NE(a, b);
    EXPECT_EQ(Listed({TreeNodeKey::kLeaf, seen_}).count({900001, 900002}), 1u);

    // Under group 01.01 as the administrator: every pair of its customers.
    LogOn(demo::kAdminUserId);
    std::set<std::int32_t> members;
    RecordsetPtr rs = ctx_->g_Connection->Execute(
        "SELECT FItemID FROM t_Organization WHERE FNumber LIKE '01.01.%'");
    for (; !rs->EOF_(); rs->MoveNext())
        members.insert(static_cast<std::int32_t>(rs->Fields(0).Value().ToInteger()));
    EXPECT_EQ(Listed({TreeNodeKey::kGroup, seenGroup_}), ByRule(members));
}

}  // namespace
}  // namespace orva
