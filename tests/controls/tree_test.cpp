// The tree model: adding by key, placeholders, removal with subtree,
// selection, sibling walks, events and notices.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/controls/tree.h"
#include "orvasaleprice/com_error.h"
#include "support/com_error_of.h"

namespace orva {
namespace {

std::vector<std::string> Keys(const Tree& t, NodeId parent) {
    std::vector<std::string> out;
    for (NodeId n : t.Children(parent)) out.push_back(t.Node(n).key);
    return out;
}

TEST(TreeNodes, KeysAreUniqueParentsMustExistPlaceholdersHaveNoKey) {
    Tree t;
    const NodeId root = t.Add("", "gc0", "客户", 1, 2);
    t.Add("gc0", "", "");  // placeholder
    t.Add("gc0", "", "");  // empty keys may repeat
    t.Add("gc0", "gi5", "01(North)", 1, 2);
    EXPECT_EQ(t.Find("gi5"), t.LastChild(root));
    EXPECT_EQ(t.Find(""), kNoNode);
    EXPECT_EQ(t.ChildCount(root), 3);

    EXPECT_EQ(test::ComErrorNumber([&] { t.Add("gc0", "gi5", "again"); }), ComError::kDuplicateKey);
    EXPECT_EQ(test::ComErrorNumber([&] { t.Add("gi404", "gb1", "orphan"); }),
              ComError::kItemNotFound);
    EXPECT_EQ(t.Count(), 4);  // neither failure added anything
    EXPECT_EQ(t.Find("gb1"), kNoNode);
    EXPECT_EQ(t.NodeAt(1), root);
}

TEST(TreeNodes, RemovingTakesTheSubtreeAndItsKeysAndSelection) {
    Tree t;
    t.Add("", "gc0", "root");
    t.Add("gc0", "gi1", "group");
    t.Add("gi1", "gi2", "sub");
    const NodeId leaf = t.Add("gi2", "gb9", "leaf");
    t.Add("gc0", "gb3", "other");
    t.Select(leaf);

    std::vector<TreeChange::What> seen;
    auto sub = t.Subscribe([&](const TreeChange& c) { seen.push_back(c.what); });
    t.Remove(t.Find("gi1"));
    EXPECT_EQ(t.Count(), 2);
    EXPECT_EQ(t.Find("gb9"), kNoNode);
    EXPECT_FALSE(t.Exists(leaf));
    EXPECT_THROW(t.Node(leaf), ComError);
    EXPECT_EQ(t.Selected(), kNoNode);
    EXPECT_EQ(Keys(t, t.Find("gc0")), std::vector<std::string>{"gb3"});
    EXPECT_EQ(seen, (std::vector<TreeChange::What>{TreeChange::kAboutToRemove, TreeChange::kRemoved,
                                                   TreeChange::kSelected}));
    EXPECT_EQ(t.NodeAt(2), t.Find("gb3"));
    EXPECT_EQ(t.NodeAt(3), kNoNode);

    t.Add("gc0", "gi1", "group again");  // the key is free again
    EXPECT_EQ(Keys(t, t.Find("gc0")), (std::vector<std::string>{"gb3", "gi1"}));

    t.Clear();
    EXPECT_EQ(t.Count(), 0);
    EXPECT_EQ(t.FirstChild(kNoNode), kNoNode);
    const NodeId fresh = t.Add("", "gc0", "root");
    EXPECT_NE(fresh, leaf);  // handles are not reused
}

TEST(TreeNodes, SiblingsAndParentsWalkBothWays) {
    Tree t;
    const NodeId root = t.Add("", "gc0", "root");
    const NodeId a = t.Add("gc0", "a", "a");
    const NodeId b = t.Add("gc0", "b", "b");
    const NodeId c = t.Add("gc0", "c", "c");
    const NodeId b1 = t.Add("b", "b1", "b1");
    EXPECT_EQ(t.FirstChild(root), a);
    EXPECT_EQ(t.LastChild(root), c);
    EXPECT_EQ(t.Next(a), b);
    EXPECT_EQ(t.Previous(c), b);
    EXPECT_EQ(t.Previous(a), kNoNode);
    EXPECT_EQ(t.Parent(b1), b);
    EXPECT_EQ(t.Parent(root), kNoNode);
    EXPECT_EQ(t.IndexInParent(c), 2);
    t.Remove(b);
    EXPECT_EQ(t.Next(a), c);
    EXPECT_EQ(t.Previous(c), a);
    t.Remove(c);
    EXPECT_EQ(t.LastChild(root), a);
    EXPECT_EQ(t.Next(a), kNoNode);
}

TEST(TreeEvents, ExpandingFillsChildrenOnceThroughTheEvent) {
    Tree t;
    const NodeId root = t.Add("", "gc0", "root");
    t.Add("gc0", "", "");  // placeholder: the node shows an expand sign
    int expands = 0;
    auto sub = t.OnExpand([&](NodeId n) {
        ++expands;
        // Replace a lone placeholder by the real children.
        NodeId only = t.FirstChild(n);
        if (t.ChildCount(n) != 1 || !t.Node(only).key.empty())
            return;
        t.Remove(only);
        t.AddUnder(n, "gi1", "group");
        t.AddUnder(n, "gb2", "leaf");
    });
    std::vector<TreeChange::What> seen;
    auto notices = t.Subscribe([&](const TreeChange& c) { seen.push_back(c.what); });

    t.Expand(root);
    EXPECT_EQ(expands, 1);
    EXPECT_TRUE(t.Expanded(root));
    EXPECT_EQ(Keys(t, root), (std::vector<std::string>{"gi1", "gb2"}));
    // The view hears of the expansion after the children are in place.
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), TreeChange::kExpanded);

    t.Expand(root);  // already expanded: no event
    EXPECT_EQ(expands, 1);
    int collapses = 0;
    auto csub = t.OnCollapse([&](NodeId) { ++collapses; });
    t.UserCollapse(root);
    t.UserExpand(root);
    EXPECT_EQ(collapses, 1);
    EXPECT_EQ(expands, 2);
    EXPECT_EQ(t.ChildCount(root), 2);  // the handler saw real children and added nothing
}

TEST(TreeEvents, ClickSelectsAndReportsCodeSelectsSilently) {
    Tree t;
    t.Add("", "gc0", "root");
    const NodeId leaf = t.Add("gc0", "gb1", "leaf");
    std::vector<NodeId> clicks;
    std::vector<int> buttons;
    auto c = t.OnNodeClick([&](NodeId n) { clicks.push_back(n); });
    auto m = t.OnMouseDown([&](int button, int, int, int) { buttons.push_back(button); });

    t.Select(leaf);
    EXPECT_TRUE(clicks.empty());
    t.UserMouseDown(2, 0, 100, 200);
    t.UserClick(leaf);
    EXPECT_EQ(clicks, std::vector<NodeId>{leaf});
    EXPECT_EQ(buttons, std::vector<int>{2});
    EXPECT_EQ(t.Selected(), leaf);
    t.Select(kNoNode);
    EXPECT_EQ(t.Selected(), kNoNode);
    EXPECT_THROW(t.Select(leaf + 100), ComError);
}

TEST(TreeNotices, AddNoticesCarryParentAndPositionBeforeAndAfter) {
    Tree t;
    const NodeId root = t.Add("", "gc0", "root");
    t.Add("gc0", "a", "a");
    std::vector<TreeChange> seen;
    auto sub = t.Subscribe([&](const TreeChange& c) {
        // Before the add the new node is not there yet.
        if (c.what == TreeChange::kAboutToAdd) {
            EXPECT_FALSE(t.Exists(c.node));
        }
        seen.push_back(c);
    });
    const NodeId b = t.Add("gc0", "b", "b");
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].what, TreeChange::kAboutToAdd);
    EXPECT_EQ(seen[0].node, b);
    EXPECT_EQ(seen[0].parent, root);
    EXPECT_EQ(seen[0].index, 1);
    EXPECT_EQ(seen[1].what, TreeChange::kAdded);
}

}  // namespace
}  // namespace orva
