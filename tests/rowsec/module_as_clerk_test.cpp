// The module run by a clerk on the clerk's own login, row security on, shows
// what it shows on the owner's login: both trees, fully expanded, and every
// leaf's ledger. And a plain read of the login gets exactly the customers,
// items, groups and entries those trees and ledgers list.
#include <algorithm>
#include <set>

#include "browse/tvw_builder.h"
#include "demo/demo_company.h"
#include "host/app_connection.h"
#include "host/controls/tree.h"
#include "host/host_services.h"
#include "rowsec_fixture.h"
#include "support/scoped_session.h"
#include "support/scripted_ui.h"
#include "support/test_context.h"

namespace orva::test {
namespace {

struct Seen {
    std::vector<std::string> lines;  // node key and text; each ledger's rows, sorted
    std::set<std::string> keys;      // every node key of both trees
};

void ExpandAll(tvwBuilder& builder, Tree& tree, const std::string& key) {
    builder.SetTreeView(ParseTreeNodeKey(key)->id);
    for (NodeId n : tree.Children(tree.Find(key))) {
        const std::string child = tree.Node(n).key;
        if (child.rfind("gi", 0) == 0)
            ExpandAll(builder, tree, child);
    }
}

// The browse window's reads as `userId` on the company at `uri`.
Seen Browse(const std::string& uri, int userId) {
    ScopedSession session(uri, userId);
    ScriptedUiScope ui;
    TestContext ctx;
    ctx->g_Connection = std::make_shared<AppConnection>();
    Seen seen;
    for (bool byItem : {false, true}) {
        Tree tree;
        tvwBuilder builder{*ctx};
        builder.SetTvwGroup(&tree);
        builder.SetCategoryByItem(byItem);
        builder.SetTreeView(-1);
        ExpandAll(builder, tree, "gc0");
        for (int i = 1; i <= tree.Count(); ++i) {
            const TreeNode& node = tree.Node(tree.NodeAt(i));
            seen.lines.push_back(node.key + " " + node.text);
            seen.keys.insert((byItem ? "item " : "cust ") + node.key);
            if (node.key.rfind("gb", 0) != 0)
                continue;
            // Rows with the same code may come in either order.
            std::vector<std::string> rows;
            RecordsetPtr rs = ctx->g_Connection->Execute(builder.GetDetailSql(node.key.substr(2)));
            for (; !rs->EOF_(); rs->MoveNext()) {
                std::string row;
                for (int f = 0; f < rs->FieldCount(); ++f)
                    row += rs->Fields(f).Value().ToText() + "|";
                rows.push_back(row);
            }
            std::sort(rows.begin(), rows.end());
            seen.lines.insert(seen.lines.end(), rows.begin(), rows.end());
        }
    }
    return seen;
}

struct User {
    const char* login;
    int id;
    std::vector<int> currencies;  // empty: all
};

const User kUsers[] = {
    {"zhangmin", demo::kGroupClerkUserId, {1, 2}},
    {"liqiang", demo::kRecordClerkUserId, {1}},
    {"wangfang", demo::kLimitedUserId, {}},
    {"administrator", demo::kAdminUserId, {}},
};

class ModuleAsClerkTest : public RowSecurityTest {
  protected:
    void SetUp() override {
        RowSecurityTest::SetUp();
        if (!IsSkipped())
            RegisterHostServices();
    }

    std::set<std::string> ClerkSet(const User& user, const std::string& sql) {
        std::vector<std::string> rows;
        EXPECT_EQ(PlainRun(Clerk(user.login), sql, &rows), "") << sql;
        return {rows.begin(), rows.end()};
    }
};

TEST_F(ModuleAsClerkTest, TheTreesAndLedgersAreTheOnesTheOwnersLoginShows) {
    for (const User& user : kUsers) {
        SCOPED_TRACE(user.login);
        const Seen asOwner = Browse(owner_, user.id);
        const Seen asClerk = Browse(ClerkUri(owner_, user.login), user.id);
        EXPECT_GT(asOwner.lines.size(), asOwner.keys.size());  // some ledger has rows
        EXPECT_EQ(asClerk.lines, asOwner.lines);
    }
}

TEST_F(ModuleAsClerkTest, APlainReadGetsWhatTheModuleLists) {
    for (const User& user : kUsers) {
        SCOPED_TRACE(user.login);
        const Seen module = Browse(owner_, user.id);
        auto listed = [&](const std::string& prefix) {
            std::set<std::string> ids;
            for (const std::string& k : module.keys)
                if (k.rfind(prefix, 0) == 0)
                    ids.insert(k.substr(prefix.size()));
            return ids;
        };
        const std::set<std::string> customers = listed("cust gb"), items = listed("item gb");
        EXPECT_EQ(ClerkSet(user, "SELECT FItemID FROM t_Organization"), customers);
        EXPECT_EQ(ClerkSet(user, "SELECT FItemID FROM t_ICItem WHERE FErpClsID NOT IN (6,8)"),
                  items);
        EXPECT_EQ(ClerkSet(user, "SELECT FItemID FROM t_Item WHERE FItemClassID=1 AND FDetail=0"),
                  listed("cust gi"));
        EXPECT_EQ(ClerkSet(user, "SELECT FItemID FROM t_Item WHERE FItemClassID=4 AND FDetail=0"),
                  listed("item gi"));
        // The entries of those customers and items in the user's currencies.
        std::set<std::string> entries;
        PGresult* r =
            PQexec(ownerConn_.get(), "SELECT FEntryID, FCustID, FItemID, FCyID FROM t_CustEntry");
        ASSERT_EQ(PQresultStatus(r), PGRES_TUPLES_OK);
        for (int i = 0; i < PQntuples(r); ++i) {
            const int cy = std::stoi(PQgetvalue(r, i, 3));
            if (customers.count(PQgetvalue(r, i, 1)) && items.count(PQgetvalue(r, i, 2)) &&
                (user.currencies.empty() ||
                 std::count(user.currencies.begin(), user.currencies.end(), cy)))
                entries.insert(PQgetvalue(r, i, 0));
        }
        PQclear(r);
        EXPECT_FALSE(entries.empty());
        EXPECT_EQ(ClerkSet(user, "SELECT FEntryID FROM t_CustEntry"), entries);
    }
}

}  // namespace
}  // namespace orva::test
