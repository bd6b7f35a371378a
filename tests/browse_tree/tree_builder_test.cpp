// The group tree: rebuild, lazy expansion with placeholders, node texts and
// order, both kinds of tree, short codes, and what each user may see.
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

    std::vector<std::string> ChildKeys(std::string_view key) {
        std::vector<std::string> keys;
        for (NodeId n : tree.Children(tree.Find(key))) keys.push_back(tree.Node(n).key);
        return keys;
    }

    // Every node of the tree reachable by expanding each group once.
    void ExpandAll(std::string_view key) {
        auto parsed = ParseTreeNodeKey(key);
        ASSERT_TRUE(parsed);
        builder.SetTreeView(parsed->id);
        for (const std::string& child : ChildKeys(key)) {
            if (child.rfind("gi", 0) == 0)
                ExpandAll(child);
        }
    }
    std::set<std::string> AllKeys() {
        std::set<std::string> keys;
        for (int i = 1; i <= tree.Count(); ++i) keys.insert(tree.Node(tree.NodeAt(i)).key);
        return keys;
    }
    std::set<std::string> Keys(const std::string& prefix, const std::string& sql) {
        std::set<std::string> keys;
        for (const std::string& id : Column(sql)) keys.insert(prefix + id);
        return keys;
    }

    Tree tree;
    tvwBuilder builder;
};

TEST_F(TreeBuilderTest, RebuildAddsOnlyTheRootWithAPlaceholder) {
    Build(false);
    ASSERT_EQ(tree.Count(), 2);
    NodeId root = tree.NodeAt(1);
    const TreeNode& node = tree.Node(root);
    EXPECT_EQ(node.key, "gc0");
    EXPECT_EQ(node.text, "客户");
    EXPECT_EQ(node.tag, "1");
    EXPECT_EQ(node.image, 1);
    EXPECT_EQ(node.selectedImage, 2);
    ASSERT_EQ(tree.ChildCount(root), 1);
    EXPECT_EQ(tree.Node(tree.FirstChild(root)).key, "");
    EXPECT_EQ(tree.Node(tree.FirstChild(root)).text, "");
    // Both lists are read whole at the rebuild.
    EXPECT_EQ(builder.LeafList()->RecordCount(),
              Scalar("select count(*) from t_Organization").ToInteger());
}

TEST_F(TreeBuilderTest, ExpandingListsGroupsBeforeLeavesInCodeOrderAndOnlyOnce) {
    Build(false);
    builder.SetTreeView(0);

    std::vector<std::string> expected;
    for (auto& id : Column("select FItemID from t_Item where FItemClassID=1 and FDetail=0 and "
                           "FParentID=0 order by FNumber"))
        expected.push_back("gi" + id);
    for (auto& id : Column("select FItemID from t_Organization where FParentID=0 order by FNumber"))
        expected.push_back("gb" + id);
    ASSERT_GT(expected.size(), 2u);
    ASSERT_EQ(expected.back().substr(0, 2), "gb");  // the demo has a top-level customer
    EXPECT_EQ(ChildKeys("gc0"), expected);

    // Groups carry a placeholder, images 1 and 2, "code(name)"; leaves image 3.
    NodeId group = tree.Find(expected.front());
    EXPECT_EQ(tree.ChildCount(group), 1);
    EXPECT_EQ(tree.Node(tree.FirstChild(group)).key, "");
    EXPECT_EQ(tree.Node(group).image, 1);
    EXPECT_EQ(tree.Node(group).selectedImage, 2);
    std::string id = expected.front().substr(2);
    EXPECT_EQ(
        tree.Node(group).text,
        Scalar("select FNumber + '(' + FName + ')' from t_Item where FItemID=" + id).ToText());
    NodeId leaf = tree.Find(expected.back());
    EXPECT_EQ(tree.Node(leaf).image, 3);
    EXPECT_EQ(tree.ChildCount(leaf), 0);

    // A second expansion, also after collapsing, adds nothing.
    int count = tree.Count();
    builder.SetTreeView(0);
    tree.Collapse(tree.Find("gc0"));
    builder.SetTreeView(0);
    EXPECT_EQ(tree.Count(), count);

    // A sub-group: its own sub-groups and customers replace the placeholder.
    builder.SetTreeView(std::stoi(id));
    std::vector<std::string> below = ChildKeys(expected.front());
    ASSERT_FALSE(below.empty());
    EXPECT_NE(below.front(), "");
    count = tree.Count();
    builder.SetTreeView(std::stoi(id));
    EXPECT_EQ(tree.Count(), count);
}

TEST_F(TreeBuilderTest, WholeTreeHoldsEveryGroupAndCustomerOnceAndEmptyGroupsLoseTheirSign) {
    Build(false);
    ExpandAll("gc0");
    std::set<std::string> expected =
        Keys("gi", "select FItemID from t_Item where FItemClassID=1 and FDetail=0");
    std::set<std::string> leaves = Keys("gb", "select FItemID from t_Organization");
    expected.insert(leaves.begin(), leaves.end());
    expected.insert("gc0");
    std::set<std::string> keys = AllKeys();
    EXPECT_FALSE(keys.count(""));  // no placeholder left once everything is expanded
    EXPECT_EQ(keys, expected);

    // A group whose only child is a real node is not expanded again.
    for (int i = 1; i <= tree.Count(); ++i) {
        NodeId n = tree.NodeAt(i);
        if (tree.ChildCount(n) == 1 && tree.Node(n).key != "gc0") {
            int count = tree.Count();
            builder.SetTreeView(ParseTreeNodeKey(tree.Node(n).key)->id);
            EXPECT_EQ(tree.Count(), count);
            break;
        }
    }
}

TEST_F(TreeBuilderTest, ItemTreeLeavesOutPlanningAndFeatureItemsAndSwitchingRebuilds) {
    Build(true);
    EXPECT_EQ(tree.Node(tree.Find("gc0")).text, "物料");
    ExpandAll("gc0");
    std::set<std::string> expected =
        Keys("gi", "select FItemID from t_Item where FItemClassID=4 and FDetail=0");
    std::set<std::string> leaves =
        Keys("gb", "select FItemID from t_ICItem where FErpClsID not in (6,8)");
    ASSERT_LT(leaves.size(),
              static_cast<size_t>(
                  Scalar("select count(*) from t_ICItem").ToInteger()));  // the demo has some
    expected.insert(leaves.begin(), leaves.end());
    expected.insert("gc0");
    EXPECT_EQ(AllKeys(), expected);

    // Back to customers: a fresh tree with the customer root only.
    builder.SetCategoryByItem(false);
    builder.SetTreeView(-1);
    EXPECT_EQ(tree.Count(), 2);
    EXPECT_EQ(tree.Node(tree.Find("gc0")).text, "客户");
    builder.SetTreeView(0);
    for (const std::string& key : ChildKeys("gc0")) {
        if (key.rfind("gb", 0) == 0) {
            std::string id = key.substr(2);
            EXPECT_EQ(Scalar("select count(*) from t_Organization where FItemID=" + id).ToInteger(),
                      1);
        }
    }
}

TEST_F(TreeBuilderTest, ShortNumbersShowInNodeTextsAndOrderTheTree) {
    g_UseShortNumber = true;
    Build(true);
    builder.SetTreeView(0);
    std::vector<std::string> expected;
    for (auto& t : Column("select FShortNumber + '(' + FName + ')' from t_Item where "
                          "FItemClassID=4 and FDetail=0 and FParentID=0 order by FShortNumber"))
        expected.push_back(t);
    std::vector<std::string> texts;
    for (NodeId n : tree.Children(tree.Find("gc0"))) texts.push_back(tree.Node(n).text);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(texts, expected);

    // The leaves of a family, by short code.
    std::string family = Scalar(
                             "select min(FParentID) from t_ICItem where FParentID in "
                             "(select FItemID from t_Item where FLevel=2)")
                             .ToText();
    std::string parent = Scalar("select FParentID from t_Item where FItemID=" + family).ToText();
    builder.SetTreeView(std::stoi(parent));
    builder.SetTreeView(std::stoi(family));
    texts.clear();
    for (NodeId n : tree.Children(tree.Find("gi" + family))) texts.push_back(tree.Node(n).text);
    expected =
        Column("select FShortNumber + '(' + FName + ')' from t_ICItem where FParentID=" + family +
               " and FErpClsID not in (6,8) order by FShortNumber");
    ASSERT_FALSE(expected.empty());
    // Short codes differ from codes.
    EXPECT_NE(expected, Column("select FNumber + '(' + FName + ')' from t_ICItem where FParentID=" +
                               family + " and FErpClsID not in (6,8) order by FShortNumber"));
    EXPECT_EQ(texts, expected);
}

TEST_F(TreeBuilderTest, AdministratorIsNeverFilteredClerksAre) {
    // The administrator's FDataVokeType is odd; group 1 makes it unfiltered.
    Build(false);
    EXPECT_EQ(builder.GroupListSql().find("t_ItemRight"), std::string::npos);
    EXPECT_EQ(builder.GetDetailSql("1").find("t_ItemRight"), std::string::npos);

    LogOn(demo::kLimitedUserId);  // rights not enforced
    Build(false);
    EXPECT_EQ(builder.LeafListSql().find("t_ItemRight"), std::string::npos);

    LogOn(demo::kGroupClerkUserId);
    Build(false);
    EXPECT_NE(builder.LeafListSql().find("INNER JOIN t_Item t9"), std::string::npos);
    LogOn(demo::kRecordClerkUserId);
    Build(true);
    EXPECT_NE(builder.LeafListSql().find(" INNER JOIN t_ItemRight t6 ON t1.FItemID=t6.FItemID "),
              std::string::npos);
}

TEST_F(TreeBuilderTest, GroupClerkSeesTheRecordsOfGrantedGroups) {
    LogOn(demo::kGroupClerkUserId);
    Build(false);
    ExpandAll("gc0");
    // Granted to the user: "01", "01.01"; to its group: "02", "02.01"; to
    // group 0 (which grants nothing): "03", "03.01".
    const std::set<std::string> granted = {"01", "01.01", "02", "02.01"};
    std::set<std::string> expected = {"gc0"};
    for (const char* sql :
         {"select FItemID, FNumber from t_Item where FItemClassID=1 and FDetail=0",
          "select FItemID, FNumber from t_Organization"}) {
        RecordsetPtr rs = Query(sql);
        bool groups = std::string(sql).find("FDetail=0") != std::string::npos;
        for (; !rs->EOF_(); rs->MoveNext()) {
            std::string code = rs->Fields(1).Value().ToText();
            if (granted.count(GroupOf(code)))
                expected.insert((groups ? "gi" : "gb") + rs->Fields(0).Value().ToText());
        }
    }
    // Every visible record's group is visible too, so each one has its place.
    EXPECT_EQ(AllKeys(), expected);
    EXPECT_GT(expected.size(), 5u);
    // Nothing of "03" is visible.
    std::string group03 =
        Scalar("select FItemID from t_Item where FItemClassID=1 and FNumber='03'").ToText();
    EXPECT_EQ(tree.Find("gi" + group03), kNoNode);
}

TEST_F(TreeBuilderTest, RecordClerkSeesOnlyRecordsGrantedOneByOne) {
    LogOn(demo::kRecordClerkUserId);
    Build(true);
    ExpandAll("gc0");
    std::set<std::string> leaves;
    for (const std::string& key : AllKeys()) {
        if (key.rfind("gb", 0) == 0)
            leaves.insert(
                Scalar("select FNumber from t_ICItem where FItemID=" + key.substr(2)).ToText());
    }
    // Every granted item sits in a granted group ("01", "01.01", "02", "02.01").
    std::set<std::string> expected(demo::kRecordClerkItems.begin(), demo::kRecordClerkItems.end());
    EXPECT_EQ(leaves, expected);
}

TEST_F(TreeBuilderTest, NodeKeysThatDoNotParse) {
    auto leaf = ParseTreeNodeKey("gb1005");
    ASSERT_TRUE(leaf);
    EXPECT_EQ(leaf->kind, TreeNodeKey::kLeaf);
    EXPECT_EQ(leaf->id, 1005);
    EXPECT_EQ(ParseTreeNodeKey("gc0")->kind, TreeNodeKey::kRoot);
    EXPECT_EQ(ParseTreeNodeKey("gi12")->kind, TreeNodeKey::kGroup);
    for (const char* bad :
         {"", "g", "gb", "gx12", "xb12", "gb12a", "gb-3", "gb 12", "gb99999999999", "gi1.5"})
        EXPECT_FALSE(ParseTreeNodeKey(bad)) << bad;

    // A leaf id that is no number lists nothing, and the text never reaches
    // the database as statement text.
    Build(false);
    std::string sql = builder.GetDetailSql("1 or 1=1");
    EXPECT_NE(sql.find("u1.FCustID=NULL"), std::string::npos);
    EXPECT_EQ(Query(sql)->RecordCount(), 0);

    // Expanding an id that names no node changes nothing.
    builder.SetTreeView(0);
    int count = tree.Count();
    builder.SetTreeView(987654);
    builder.SetTreeView(-5);
    EXPECT_EQ(tree.Count(), count);
}

}  // namespace
}  // namespace orva
