// Search all's candidates: the customers or items it counts ("符合条件的客户
// x / y") and picks are those whose ledger, as the clerk will be shown it,
// has a matching entry: the rights on the tree's own class and on the other
// party, each at its own level, the rights on currencies and the sales
// bill's filter all apply. Characters LIKE gives a meaning are literals in
// the count and in the pick by the customer's own fields.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "find_fixture.h"

namespace orva {
namespace {

// Who searches.
enum class Clerk { kAdmin, kGroupLevel, kItemsByGroup, kCustomersByGroup };

class SearchAllCandidates : public BrowseFind {
  protected:
    void SetUp() override {
        BrowseFind::SetUp();
        RegisterFindComponent();
    }
    // Search all for the price entries whose note contains `text`, then
    // search all again: the count the dialog offers before anything runs
    // ("1 / 3"; "" when nothing was found).
    std::string CountAfterSearch(BrowseBase& w, const std::string& text) {
        User([text](FindDialog& d) {
            d.SetField(0, FieldIndex(d, "FNote"));
            d.SetValue(0, text);
            d.Run();
        });
        w.Menus().Click("mnuEditSearchAll");
        std::string count;
        User([&](FindDialog& d) {
            count = d.Status().detail;
            d.Cancel();
        });
        w.Menus().Click("mnuEditSearchAll");
        return count;
    }
    // Search all for a name together with a note no entry holds, so that
    // only the name can match: the pick is a partial match.
    void SearchNameWithANoteNobodyHas(BrowseBase& w, const std::string& name) {
        User([name](FindDialog& d) {
            d.SetField(0, FieldIndex(d, "FName"));
            d.SetValue(0, name);
            d.AddRow();
            d.SetField(1, FieldIndex(d, "FNote"));
            d.SetValue(1, "没有这样的备注");
            d.Run();
        });
        w.Menus().Click("mnuEditSearchAll");
    }
    // How many customers or items of the tree the user sees have a ledger
    // row whose note contains `text`.
    std::size_t LedgersShowing(bool itemTree, const std::string& text) {
        tvwBuilder builder{*ctx_};
        builder.SetCategoryByItem(itemTree);
        std::size_t count = 0;
        for (RecordsetPtr leaves = Query(builder.LeafListSql()); !leaves->EOF_();
             leaves->MoveNext()) {
            RecordsetPtr ledger =
                Query(builder.GetDetailSql(leaves->Fields("FItemID").Value().ToText()));
            for (; !ledger->EOF_(); ledger->MoveNext()) {
                if (ledger->Fields("FNote").Value().ToText().find(text) != std::string::npos) {
                    ++count;
                    break;
                }
            }
        }
        return count;
    }
    void LogOnAs(Clerk clerk) {
        if (clerk == Clerk::kAdmin)
            return;
        if (clerk == Clerk::kGroupLevel)
            return LogOn(demo::kGroupClerkUserId);
        // The record clerk, with the rights on items (class 4) or on
        // customers (class 1) made group-level.
        LogOn(demo::kRecordClerkUserId);
        Query("UPDATE t_UserItemClassRight SET FUserItemClassRight=7 WHERE FItemClassID=" +
              std::string(clerk == Clerk::kItemsByGroup ? "4" : "1") +
              " AND FUserID=" + std::to_string(demo::kRecordClerkUserId));
    }
};

struct CountCase {
    const char* what;
    Clerk clerk;
    bool itemTree;
    bool callByBill;
};

class CandidateCount : public SearchAllCandidates,
                       public ::testing::WithParamInterface<CountCase> {};

TEST_P(CandidateCount, IsOfTheLedgersTheClerkWillSeeAMatchIn) {
    const CountCase& c = GetParam();
    SCOPED_TRACE(c.what);
    // Marked: prices in the currencies the clerks may not see, unaudited
    // prices (which a sales bill does not list), and a spread of the rest.
    Query(
        "UPDATE t_CustEntry SET FNote='特价标记' WHERE FCyID IN (3,4) OR FUsed=0 OR "
        "FEntryID % 29 = 0");
    LogOnAs(c.clerk);
    ctx_->g_CallByBill = c.callByBill;
    BrowseBase& w = Open();
    if (c.itemTree)
        w.Menus().Click("mnuVBaseICItem");

    const std::size_t expected = LedgersShowing(c.itemTree, "标记");
    ASSERT_GT(expected, 1u);
    const std::string count = CountAfterSearch(w, "标记");
    EXPECT_EQ(count.substr(count.find('/') + 2), std::to_string(expected)) << count;
}

INSTANTIATE_TEST_SUITE_P(
    RightsAndBill, CandidateCount,
    ::testing::Values(
        CountCase{"group clerk, customers", Clerk::kGroupLevel, false, false},
        CountCase{"group clerk, items", Clerk::kGroupLevel, true, false},
        CountCase{"group clerk, items, from a bill", Clerk::kGroupLevel, true, true},
        CountCase{"items by group, customers by record: items", Clerk::kItemsByGroup, true, false},
        CountCase{"items by group, customers by record: customers", Clerk::kItemsByGroup, false,
                  false},
        CountCase{"customers by group, items by record: customers", Clerk::kCustomersByGroup, false,
                  false},
        CountCase{"customers by group, items by record: items", Clerk::kCustomersByGroup, true,
                  false},
        CountCase{"administrator, customers, from a bill", Clerk::kAdmin, false, true},
        CountCase{"administrator, items, from a bill", Clerk::kAdmin, true, true}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

class PartialPick : public SearchAllCandidates,
                    public ::testing::WithParamInterface<std::pair<Clerk, bool>> {};

// A customer or item whose own fields match while none of its entries do is
// picked among those the tree shows the clerk: one seen through its group
// only, not one the clerk may not see.
TEST_P(PartialPick, IsAmongWhatTheTreeShows) {
    const auto [clerk, itemTree] = GetParam();
    std::vector<std::string> records;
    if (itemTree)
        records.assign(demo::kRecordClerkItems.begin(), demo::kRecordClerkItems.end());
    else
        records.assign(demo::kRecordClerkCustomers.begin(), demo::kRecordClerkCustomers.end());
    const std::string table = itemTree ? "t_ICItem" : "t_Organization";
    LogOnAs(clerk);
    tvwBuilder builder{*ctx_};
    builder.SetCategoryByItem(itemTree);
    std::string seen;  // seen through its group only
    for (RecordsetPtr rs = Query(builder.LeafListSql()); !rs->EOF_() && seen.empty();
         rs->MoveNext()) {
        if (std::find(records.begin(), records.end(), rs->Fields("FNumber").Value().ToText()) ==
            records.end())
            seen = rs->Fields("FItemID").Value().ToText();
    }
    ASSERT_FALSE(seen.empty());
    const std::string hidden =
        Scalar("SELECT TOP 1 FItemID FROM " + table + " WHERE FNumber LIKE '03.%' ORDER BY FNumber")
            .ToText();
    for (const std::string& id : {hidden, seen})
        Query("UPDATE " + table + " SET FName='唯一的名称' WHERE FItemID=" + id);

    BrowseBase& w = Open();
    if (itemTree)
        w.Menus().Click("mnuVBaseICItem");
    SearchNameWithANoteNobodyHas(w, "唯一的名称");
    EXPECT_EQ(Texts(), (std::vector<std::string>{"只找到符合部分条件的记录 !"}));
    EXPECT_EQ(Selected(w), "gb" + seen);
}

INSTANTIATE_TEST_SUITE_P(MixedRights, PartialPick,
                         ::testing::Values(std::pair{Clerk::kItemsByGroup, true},
                                           std::pair{Clerk::kCustomersByGroup, false}),
                         [](const auto& info) {
                             return std::string(info.param.second ? "Items" : "Customers");
                         });

struct LiteralCase {
    const char* typed;
    const char* decoy;  // what the typed text matches when taken as a pattern
    const char* target;
};

class TypedPatternCharacters : public SearchAllCandidates,
                               public ::testing::WithParamInterface<LiteralCase> {};

// Customer 1021 comes first in code order and holds the decoy, 1046 the text
// itself: the count and the pick by name see 1046 only.
TEST_P(TypedPatternCharacters, AreLiteralsInTheCountAndThePick) {
    const LiteralCase& c = GetParam();
    MarkEntry(1021, std::string("备") + c.decoy + "注");
    MarkEntry(1046, std::string("备") + c.target + "注");
    Query(std::string("UPDATE t_Organization SET FName='名") + c.decoy + "称' WHERE FItemID=1021");
    Query(std::string("UPDATE t_Organization SET FName='名") + c.target + "称' WHERE FItemID=1046");
    BrowseBase& w = Open();
    EXPECT_EQ(CountAfterSearch(w, c.typed), "1 / 1");

    ui->ClearRecords();
    SearchNameWithANoteNobodyHas(w, c.typed);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"只找到符合部分条件的记录 !"}));
    EXPECT_EQ(Selected(w), "gb1046");
}

INSTANTIATE_TEST_SUITE_P(Wildcards, TypedPatternCharacters,
                         ::testing::Values(LiteralCase{"X_Y", "X-Y", "X_Y"},
                                           LiteralCase{"X%Y", "X-Y", "X%Y"},
                                           LiteralCase{"X[Y", "X-Y", "X[Y"},
                                           LiteralCase{"X!Y", "XY", "X!Y"}),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

}  // namespace
}  // namespace orva
