// The group tree: lazy expansion with placeholders, node texts and order,
// both kinds of tree, short codes, what a clerk may see, and bad keys.
#include <map>
#include <set>

#include "browse/tvw_builder.h"
#include "host/controls/tree.h"
#include "tree_fixture.h"

namespace orva {
namespace {

class TreeBuilderTest : public CompanyTest {
  protected:
    void Build(bool byItem) {
        builder.SetTvwGroup(&tree);
        builder.SetCategoryByItem(byItem);
        builder.SetTreeView(-1);
    }
    std::vector<std::string> Children(std::string_view key, bool texts = false) {
        std::vector<std::string> out;
        for (NodeId n : tree.Children(tree.Find(key)))
            out.push_back(texts ? tree.Node(n).text : tree.Node(n).key);
        return out;
    }
    // Expands every group below the node, as a user opening each one would.
    void ExpandAll(std::string_view key) {
        builder.SetTreeView(ParseTreeNodeKey(key)->id);
        for (const std::string& child : Children(key)) {
            if (child.rfind("gi", 0) == 0)
                ExpandAll(child);
        }
    }
    std::set<std::string> AllKeys() {
        std::set<std::string> keys;
        for (int i = 1; i <= tree.Count(); ++i) keys.insert(tree.Node(tree.NodeAt(i)).key);
        return keys;
    }
    // "gc0" and the given prefix before the first column of every row.
    std::set<std::string> Expected(const std::string& groupsSql, const std::string& leavesSql) {
        std::set<std::string> keys = {"gc0"};
        for (auto& id : Column(groupsSql)) keys.insert("gi" + id);
        for (auto& id : Column(leavesSql)) keys.insert("gb" + id);
        return keys;
    }
    Tree tree;
    tvwBuilder builder{*ctx_};
};

TEST_F(TreeBuilderTest, NodesAreCreatedOneLevelAtATimeGroupsFirstAndOnlyOnce) {
    Build(false);
    ASSERT_EQ(tree.Count(), 2);  // the root and its placeholder
    const TreeNode& root = tree.Node(tree.Find("gc0"));
    EXPECT_EQ(root.text, "客户");
    EXPECT_EQ(root.tag, "1");
    EXPECT_EQ(Children("gc0"), std::vector<std::string>{""});

    builder.SetTreeView(0);
    std::vector<std::string> expected;
    for (auto& id : Column("select FItemID from t_Item where FItemClassID=1 and FDetail=0 and "
                           "FParentID=0 order by FNumber"))
        expected.push_back("gi" + id);
    for (auto& id : Column("select FItemID from t_Organization where FParentID=0 order by FNumber"))
        expected.push_back("gb" + id);
    ASSERT_EQ(expected.back().substr(0, 2), "gb");  // the demo has a top-level customer
    EXPECT_EQ(Children("gc0"), expected);

    const std::string group = expected.front();
    EXPECT_EQ(Children(group), std::vector<std::string>{""});
    EXPECT_EQ(
        tree.Node(tree.Find(group)).text,
        Scalar("select FNumber + '(' + FName + ')' from t_Item where FItemID=" + group.substr(2))
            .ToText());
    EXPECT_EQ(tree.Node(tree.Find(expected.back())).image, 3);

    // Expanding again, also after a collapse, adds nothing.
    int count = tree.Count();
    builder.SetTreeView(0);
    tree.Collapse(tree.Find("gc0"));
    builder.SetTreeView(0);
    EXPECT_EQ(tree.Count(), count);

    // Everything once expanded: every group and customer exactly once, no
    // placeholder left (empty groups lose their expand sign).
    ExpandAll("gc0");
    EXPECT_EQ(AllKeys(), Expected("select FItemID from t_Item where FItemClassID=1 and FDetail=0",
                                  "select FItemID from t_Organization"));
}

TEST_F(TreeBuilderTest, ItemTreeLeavesOutPlanningAndFeatureItemsAndSwitchingRebuilds) {
    Build(true);
    EXPECT_EQ(tree.Node(tree.Find("gc0")).text, "物料");
    ExpandAll("gc0");
    EXPECT_EQ(AllKeys(), Expected("select FItemID from t_Item where FItemClassID=4 and FDetail=0",
                                  "select FItemID from t_ICItem where FErpClsID not in (6,8)"));
    ASSERT_GT(Scalar("select count(*) from t_ICItem where FErpClsID in (6,8)").ToInteger(), 0);

    builder.SetCategoryByItem(false);
    builder.SetTreeView(-1);
    EXPECT_EQ(tree.Count(), 2);
    EXPECT_EQ(tree.Node(tree.Find("gc0")).text, "客户");
}

TEST_F(TreeBuilderTest, ShortCodesShowInNodeTextsAndOrderTheTree) {
    ctx_->g_UseShortNumber = true;
    Build(true);
    builder.SetTreeView(0);
    std::vector<std::string> expected = Column(
        "select FShortNumber + '(' + FName + ')' from t_Item where FItemClassID=4 and "
        "FDetail=0 and FParentID=0 order by FShortNumber");
    ASSERT_NE(expected, Column("select FShortNumber + '(' + FName + ')' from t_Item where "
                               "FItemClassID=4 and FDetail=0 and FParentID=0 order by FNumber"));
    EXPECT_EQ(Children("gc0", true), expected);
}

TEST_F(TreeBuilderTest, GroupClerkSeesTheGroupsAndRecordsOfGrantedGroups) {
    LogOn(demo::kGroupClerkUserId);
    Build(false);
    ExpandAll("gc0");
    // Granted to the user: "01", "01.01"; to its group: "02", "02.01"; to
    // group 0, which grants nothing: "03", "03.01". A group's right covers
    // the codes one level below it.
    const std::set<std::string> granted = {"01", "01.01", "02", "02.01"};
    std::set<std::string> expected = {"gc0"};
    for (auto [prefix, sql] : {std::pair{"gi",
                                         "select FItemID, FNumber from t_Item where "
                                         "FItemClassID=1 and FDetail=0"},
                               std::pair{"gb", "select FItemID, FNumber from t_Organization"}}) {
        for (RecordsetPtr rs = Query(sql); !rs->EOF_(); rs->MoveNext()) {
            if (granted.count(GroupOf(rs->Fields(1).Value().ToText())))
                expected.insert(prefix + rs->Fields(0).Value().ToText());
        }
    }
    EXPECT_GT(expected.size(), 5u);
    EXPECT_EQ(AllKeys(), expected);

    // The administrator's voke type is odd too, but group 1 is never filtered.
    LogOn(demo::kAdminUserId);
    Build(false);
    EXPECT_EQ(builder.LeafListSql().find("t_ItemRight"), std::string::npos);
    EXPECT_EQ(builder.GetDetailSql("1").find("t_ItemRight"), std::string::npos);
}

// Every node's children (key, text, image) in order, once everything is
// expanded, equal what filtering the whole group and leaf lists by parent
// gives: reading the leaves per expanded node changes no node, text or order.
TEST_F(TreeBuilderTest, ExpandedTreeEqualsTheWholeListReading) {
    struct Case {
        const char* name;
        int user;
        bool byItem;
        bool shortNumber;
    };
    for (const Case& c : {Case{"customers", demo::kAdminUserId, false, false},
                          Case{"items", demo::kAdminUserId, true, false},
                          Case{"short codes", demo::kAdminUserId, true, true},
                          Case{"group-level rights", demo::kGroupClerkUserId, false, false},
                          Case{"record rights, items", demo::kRecordClerkUserId, true, false}}) {
        SCOPED_TRACE(c.name);
        LogOn(c.user);
        ctx_->g_UseShortNumber = c.shortNumber;
        Build(c.byItem);
        ExpandAll("gc0");

        using Layout = std::map<std::string, std::vector<std::string>>;
        Layout expected;
        auto add = [&](const std::string& sql, bool groups) {
            for (RecordsetPtr rs = Query(sql); !rs->EOF_(); rs->MoveNext()) {
                const std::int64_t parent = rs->Fields("FParentID").Value().ToInteger();
                const bool detail = rs->Fields("FDetail").Value().ToBool();
                const std::string parentKey =
                    parent == 0 && (!groups || !detail) ? "gc0" : "gi" + std::to_string(parent);
                expected[parentKey].push_back(
                    (groups ? "gi" : "gb") + rs->Fields("FItemID").Value().ToText() + " " +
                    rs->Fields("FNumber").Value().ToText() + "(" +
                    rs->Fields("FName").Value().ToText() + ") " + (groups ? "1" : "3"));
            }
        };
        add(builder.GroupListSql(), true);
        add(builder.LeafListSql(), false);
        // Only what hangs from the root shows.
        Layout reachable;
        std::vector<std::string> todo{"gc0"};
        while (!todo.empty()) {
            std::string key = todo.back();
            todo.pop_back();
            auto it = expected.find(key);
            if (it == expected.end())
                continue;
            reachable[key] = it->second;
            for (const std::string& child : it->second)
                todo.push_back(child.substr(0, child.find(' ')));
        }

        Layout actual;
        for (int i = 1; i <= tree.Count(); ++i) {
            const NodeId n = tree.NodeAt(i);
            for (NodeId child : tree.Children(n)) {
                const TreeNode& node = tree.Node(child);
                actual[tree.Node(n).key].push_back(node.key + " " + node.text + " " +
                                                   std::to_string(node.image));
            }
        }
        EXPECT_GT(reachable.size(), 3u);
        EXPECT_EQ(actual, reachable);
    }
}

TEST_F(TreeBuilderTest, KeysThatDoNotParse) {
    auto leaf = ParseTreeNodeKey("gb1005");
    ASSERT_TRUE(leaf);
    EXPECT_EQ(leaf->kind, TreeNodeKey::kLeaf);
    EXPECT_EQ(leaf->id, 1005);
    EXPECT_EQ(ParseTreeNodeKey("gi12")->kind, TreeNodeKey::kGroup);
    for (const char* bad : {"", "gb", "gx12", "gb12a", "gb-3", "gb 12", "gb99999999999"})
        EXPECT_FALSE(ParseTreeNodeKey(bad)) << bad;

    // A leaf id that is no number lists nothing and never reaches the
    // database as statement text.
    Build(false);
    std::string sql = builder.GetDetailSql("1 or 1=1");
    EXPECT_NE(sql.find("u1.FCustID=NULL"), std::string::npos);
    EXPECT_EQ(Query(sql)->RecordCount(), 0);

    // Expanding an id that names no node changes nothing.
    builder.SetTreeView(0);
    int count = tree.Count();
    builder.SetTreeView(987654);
    EXPECT_EQ(tree.Count(), count);
}

}  // namespace
}  // namespace orva

namespace orva {
namespace {

// A group of many customers: its expansion reports the nodes being added,
// in steps of 256, without a Cancel (a half built tree would mislead).
TEST_F(TreeBuilderTest, ExpandingALargeGroupReportsProgressThatCannotBeStopped) {
    Query(
        "INSERT INTO t_Item (FItemID,FItemClassID,FNumber,FShortNumber,FName,FParentID,FLevel,"
        "FDetail) VALUES (870000,1,'87','87','大组',0,1,0)");
    std::string text;
    for (int i = 1; i <= 600; ++i) {
        const std::string id = std::to_string(870000 + i);
        const std::string number = "'87." +
                                   std::string(i < 10    ? "00"
                                               : i < 100 ? "0"
                                                         : "") +
                                   std::to_string(i) + "'";
        text +=
            "INSERT INTO t_Item (FItemID,FItemClassID,FNumber,FShortNumber,FName,FParentID,"
            "FLevel,FDetail) VALUES (" +
            id + ",1," + number + "," + number + ",'客户" + std::to_string(i) +
            "',870000,2,1)\r\nINSERT INTO t_Organization (FItemID,FNumber,FShortNumber,"
            "FName,FParentID) VALUES (" +
            id + "," + number + "," + number + ",'客户" + std::to_string(i) + "',870000)\r\n";
    }
    Query(text);
    ui->CancelProgressAt(0);  // meant for work that can be stopped: not this

    Build(false);
    builder.SetTreeView(0);
    ui->ClearRecords();
    builder.SetTreeView(870000);
    EXPECT_EQ(Children("gi870000").size(), 600u);
    ASSERT_EQ(ui->Progresses().size(), 2u);  // the group list, then the customers
    const ScriptedUi::ProgressRun& leaves = ui->Progresses()[1];
    EXPECT_EQ(leaves.caption, "客户");
    EXPECT_EQ(leaves.total, 600);
    EXPECT_FALSE(leaves.cancellable);
    EXPECT_TRUE(leaves.ended);
    ASSERT_EQ(leaves.steps.size(), 3u);
    EXPECT_EQ(leaves.steps[1].done, 256);
    EXPECT_EQ(leaves.steps[1].text, "87.257(客户257)");
    EXPECT_EQ(leaves.steps[2].done, 512);
}

}  // namespace
}  // namespace orva
