// The tree's view: children loaded when a group's sign is clicked, right and
// left clicks as mouse-down and node-click events, keys that are no
// right-click, the selected image.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QPixmap>
#include <QTest>
#include <functional>

#include "host/controls/tree.h"
#include "qt/controls/tree_model.h"
#include "qt/controls/tree_view.h"
#include "qt_test_app.h"

namespace orva::qt {
namespace {

QIcon Swatch(const QColor& color) {
    QPixmap pm(16, 16);
    pm.fill(color);
    return QIcon(pm);
}

QColor ColorOf(const QVariant& decoration) {
    return decoration.value<QIcon>().pixmap(16, 16).toImage().pixelColor(8, 8);
}

class TreeViewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::App();
        root_ = tree_.Add("", "gc0", "全部客户", 1, 2);
        group_ = tree_.Add("gc0", "gi1", "批发客户", 1, 2);
        tree_.Add("gi1", "", "");  // children not loaded yet
        leaf_ = tree_.Add("gc0", "gb9", "C009(Zeta)", 3, 0);
        // The window's expand handler: loads a group's children on first opening.
        expand_ = tree_.OnExpand([this](NodeId node) {
            ++expands_;
            if (tree_.Node(node).key != "gi1" || !tree_.Node(tree_.FirstChild(node)).key.empty())
                return;
            tree_.Remove(tree_.FirstChild(node));
            tree_.Add("gi1", "gb10", "C010(Alpha)", 3, 0);
            tree_.Add("gi1", "gb11", "C011(Beta)", 3, 0);
        });
        clicks_ = tree_.OnNodeClick([this](NodeId node) { clicked_.push_back(node); });
        downs_ =
            tree_.OnMouseDown([this](int button, int, int, int) { buttons_.push_back(button); });
        ImageList images;
        images.Set(1, Swatch(Qt::red));
        images.Set(2, Swatch(Qt::green));
        images.Set(3, Swatch(Qt::blue));
        view_ = std::make_unique<TreeView>(tree_, nullptr, images);
        tester_ = std::make_unique<QAbstractItemModelTester>(
            view_->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        view_->resize(300, 300);
        view_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view_.get()));
        tree_.Expand(root_);
    }

    QModelIndex IndexOf(NodeId node) { return view_->treeModel()->IndexOf(node); }
    QPoint Center(NodeId node) { return view_->visualRect(IndexOf(node)).center(); }

    Tree tree_;
    NodeId root_ = kNoNode, group_ = kNoNode, leaf_ = kNoNode;
    int expands_ = 0;
    std::vector<NodeId> clicked_;
    std::vector<int> buttons_;
    Subscription expand_, clicks_, downs_;
    std::unique_ptr<TreeView> view_;
    std::unique_ptr<QAbstractItemModelTester> tester_;
};

TEST_F(TreeViewTest, ExpandSignLoadsTheChildren) {
    EXPECT_TRUE(view_->isExpanded(IndexOf(root_)));
    EXPECT_EQ(view_->model()->rowCount(IndexOf(group_)), 1);  // the placeholder shows a sign
    const QRect r = view_->visualRect(IndexOf(group_));
    QTest::mouseClick(view_->viewport(), Qt::LeftButton, {},
                      QPoint(r.left() - view_->indentation() / 2, r.center().y()));
    EXPECT_TRUE(tree_.Expanded(group_));
    ASSERT_EQ(view_->model()->rowCount(IndexOf(group_)), 2);
    EXPECT_EQ(view_->model()->index(0, 0, IndexOf(group_)).data().toString(), "C010(Alpha)");
    EXPECT_TRUE(view_->isExpanded(IndexOf(group_)));
    EXPECT_TRUE(clicked_.empty());  // the sign is no click on the node

    // Collapsing with the keyboard reaches the tree too.
    view_->setCurrentIndex(IndexOf(group_));
    QTest::keyClick(view_.get(), Qt::Key_Left);
    EXPECT_FALSE(tree_.Expanded(group_));
}

TEST_F(TreeViewTest, RightAndLeftClicksAreMouseDownThenNodeClick) {
    QTest::mouseClick(view_->viewport(), Qt::RightButton, {}, Center(group_));
    ASSERT_EQ(buttons_, std::vector<int>{2});
    ASSERT_EQ(clicked_, std::vector<NodeId>{group_});
    EXPECT_EQ(tree_.Selected(), group_);
    EXPECT_EQ(view_->currentIndex(), IndexOf(group_));

    QTest::mouseClick(view_->viewport(), Qt::LeftButton, {}, Center(leaf_));
    EXPECT_EQ(buttons_, (std::vector<int>{2, 1}));
    EXPECT_EQ(clicked_, (std::vector<NodeId>{group_, leaf_}));

    // Moving with the keyboard is a click on the node moved to.
    QTest::keyClick(view_.get(), Qt::Key_Up);
    EXPECT_EQ(clicked_.back(), group_);
}

// The window takes a node click or a collapse for a right-click when the
// last mouse-down on the tree was the right button. Only a right-click may
// be one: keys that move to a node or collapse it, even right after a
// right-click, are not.
TEST_F(TreeViewTest, OnlyARightClickLeavesTheRightButtonAsTheLastPress) {
    struct Event {
        NodeId node;
        bool collapse;
        bool right;
        bool operator==(const Event&) const = default;
    };
    std::vector<Event> events;
    auto clicks = tree_.OnNodeClick([&](NodeId node) {
        events.push_back({node, false, buttons_.back() == 2});
    });
    auto collapses = tree_.OnCollapse([&](NodeId node) {
        events.push_back({node, true, buttons_.back() == 2});
    });
    auto rightClick = [&](NodeId node) {
        return [this, node] {
            QTest::mouseClick(view_->viewport(), Qt::RightButton, {}, Center(node));
        };
    };
    auto key = [&](Qt::Key k) { return [this, k] { QTest::keyClick(view_.get(), k); }; };
    struct Step {
        const char* what;
        std::function<void()> act;
        std::vector<Event> expected;
    };
    const Step steps[] = {
        {"right-click the group", rightClick(group_), {{group_, false, true}}},
        {"Down to the leaf", key(Qt::Key_Down), {{leaf_, false, false}}},
        {"right-click the leaf", rightClick(leaf_), {{leaf_, false, true}}},
        {"Up to the group", key(Qt::Key_Up), {{group_, false, false}}},
        {"right-click the group", rightClick(group_), {{group_, false, true}}},
        {"type the leaf's first letter",
         [this] { QTest::keyClicks(view_.get(), "C"); },
         {{leaf_, false, false}}},
        {"right-click the group, open it",
         [&] {
             rightClick(group_)();
             key(Qt::Key_Right)();
         },
         {{group_, false, true}}},
        {"Left closes it", key(Qt::Key_Left), {{group_, true, false}}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        events.clear();
        step.act();
        EXPECT_EQ(events, step.expected);
    }
}

TEST_F(TreeViewTest, SelectedNodeShowsItsSelectedImage) {
    EXPECT_EQ(ColorOf(IndexOf(group_).data(Qt::DecorationRole)), QColor(Qt::red));
    tree_.Select(group_);
    EXPECT_EQ(ColorOf(IndexOf(group_).data(Qt::DecorationRole)), QColor(Qt::green));
    EXPECT_EQ(view_->currentIndex(), IndexOf(group_));
    tree_.Select(leaf_);  // a leaf has no selected image of its own
    EXPECT_EQ(ColorOf(IndexOf(group_).data(Qt::DecorationRole)), QColor(Qt::red));
    EXPECT_EQ(ColorOf(IndexOf(leaf_).data(Qt::DecorationRole)), QColor(Qt::blue));
    tree_.SetText(leaf_, "C009(Zeta Ltd)");
    EXPECT_EQ(IndexOf(leaf_).data().toString(), "C009(Zeta Ltd)");
}

TEST_F(TreeViewTest, RebuildingTheTreeKeepsTheViewInStep) {
    tree_.Clear();
    EXPECT_EQ(view_->model()->rowCount(), 0);
    const NodeId top = tree_.Add("", "gc0", "全部物料", 1, 2);
    for (int i = 0; i < 50; ++i)
        tree_.Add("gc0", "gb" + std::to_string(i), "I" + std::to_string(i), 3);
    tree_.Expand(top);
    tree_.Select(tree_.Find("gb42"));
    EXPECT_EQ(view_->currentIndex().data().toString(), "I42");
    EXPECT_EQ(view_->currentIndex().row(), 42);
    tree_.Remove(tree_.Find("gb10"));
    EXPECT_EQ(view_->currentIndex().row(), 41);
    EXPECT_EQ(view_->model()->rowCount(IndexOf(top)), 49);
}

}  // namespace
}  // namespace orva::qt
