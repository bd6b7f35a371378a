// The view of a Tree: nodes with their images and expand signs. Expanding a
// node (its sign, a double click, the arrow keys) raises the tree's expand
// event, which may load the node's children; a mouse button pressed on the
// tree raises the mouse-down event with the button (1 left, 2 right), and a
// click on a node, left or right, selects it and raises the node-click
// event, as does moving to another node with the keyboard. A key pressed on
// the tree raises the mouse-down event with no button (0) first, so a
// keyboard move is never taken for a right-click. The selection and the
// expanded nodes follow the tree.
#pragma once

#include <QPersistentModelIndex>
#include <QTreeView>

#include "host/controls/signal.h"
#include "host/controls/tree.h"
#include "qt/controls/image_list.h"

namespace orva::qt {

class TreeModel;

class TreeView : public QTreeView {
    Q_OBJECT

  public:
    explicit TreeView(Tree& tree, QWidget* parent = nullptr,
                      ImageList images = ImageList::TreeImages());

    Tree& tree() const { return tree_; }
    TreeModel* treeModel() const { return model_; }

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyboardSearch(const QString& search) override;

  private:
    void OnTreeChange(const TreeChange& change);
    void FollowSelection();
    // Whether a point lies on the expand sign left of the node's text.
    bool OnBranch(const QModelIndex& index, const QPoint& pos) const;

    Tree& tree_;
    TreeModel* model_;
    bool syncing_ = false;
    bool inKeyPress_ = false;  // keyPressEvent reports what its search moves to
    QPersistentModelIndex pressed_;
    Qt::MouseButton pressedButton_ = Qt::NoButton;
    Subscription sub_;
};

}  // namespace orva::qt
