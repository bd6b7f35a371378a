// A Qt item model over a Tree: one column, a node's text and its image (the
// selected image while the node is selected). Children are read from the
// tree as the view asks for them; a group whose children are not loaded yet
// carries a placeholder child, so the view shows its expand sign, and the
// window's expand handler replaces the placeholder when the user opens it.
// The model follows the tree's change notices.
#pragma once

#include <QAbstractItemModel>
#include <unordered_map>
#include <vector>

#include "host/controls/signal.h"
#include "host/controls/tree.h"
#include "qt/controls/image_list.h"

namespace orva::qt {

class TreeModel : public QAbstractItemModel {
    Q_OBJECT

  public:
    static constexpr int kKeyRole = Qt::UserRole + 1;

    TreeModel(Tree& tree, ImageList images, QObject* parent = nullptr);

    Tree& tree() const { return tree_; }
    // The index of a node (invalid for kNoNode or a node not in the tree).
    QModelIndex IndexOf(NodeId node) const;
    static NodeId NodeOf(const QModelIndex& index);

    QModelIndex index(int row, int column,
                      const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    void OnTreeChange(const TreeChange& change);
    const std::vector<NodeId>& ChildrenOf(NodeId parent) const;
    int RowOf(NodeId node) const;
    void Forget(NodeId parent) const;

    Tree& tree_;
    ImageList images_;
    NodeId shownSelected_ = kNoNode;
    // Children of the parents asked about so far, and each child's row.
    mutable std::unordered_map<NodeId, std::vector<NodeId>> children_;
    mutable std::unordered_map<NodeId, int> rows_;
    Subscription sub_;
};

}  // namespace orva::qt
