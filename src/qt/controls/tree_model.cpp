#include "qt/controls/tree_model.h"

#include "qt/controls/qt_text.h"

namespace orva::qt {

TreeModel::TreeModel(Tree& tree, ImageList images, QObject* parent)
    : QAbstractItemModel(parent), tree_(tree), images_(std::move(images)) {
    shownSelected_ = tree_.Selected();
    sub_ = tree_.Subscribe([this](const TreeChange& change) { OnTreeChange(change); });
}

NodeId TreeModel::NodeOf(const QModelIndex& index) {
    return index.isValid() ? static_cast<NodeId>(index.internalId()) : kNoNode;
}

const std::vector<NodeId>& TreeModel::ChildrenOf(NodeId parent) const {
    auto it = children_.find(parent);
    if (it == children_.end()) {
        it = children_.emplace(parent, tree_.Children(parent)).first;
        int row = 0;
        for (NodeId child : it->second) rows_[child] = row++;
    }
    return it->second;
}

int TreeModel::RowOf(NodeId node) const {
    if (auto it = rows_.find(node); it != rows_.end())
        return it->second;
    ChildrenOf(tree_.Parent(node));
    auto it = rows_.find(node);
    return it == rows_.end() ? -1 : it->second;
}

void TreeModel::Forget(NodeId parent) const {
    auto it = children_.find(parent);
    if (it == children_.end())
        return;
    for (NodeId child : it->second) rows_.erase(child);
    children_.erase(it);
}

QModelIndex TreeModel::IndexOf(NodeId node) const {
    if (node == kNoNode || !tree_.Exists(node))
        return {};
    const int row = RowOf(node);
    return row < 0 ? QModelIndex() : createIndex(row, 0, static_cast<quintptr>(node));
}

QModelIndex TreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0)
        return {};
    const std::vector<NodeId>& children = ChildrenOf(NodeOf(parent));
    if (row >= static_cast<int>(children.size()))
        return {};
    return createIndex(row, 0, static_cast<quintptr>(children[row]));
}

QModelIndex TreeModel::parent(const QModelIndex& child) const {
    const NodeId node = NodeOf(child);
    if (node == kNoNode || !tree_.Exists(node))
        return {};
    return IndexOf(tree_.Parent(node));
}

int TreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0)
        return 0;
    const NodeId node = NodeOf(parent);
    if (node != kNoNode && !tree_.Exists(node))
        return 0;
    return tree_.ChildCount(node);
}

int TreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

bool TreeModel::hasChildren(const QModelIndex& parent) const {
    return rowCount(parent) > 0;
}

QVariant TreeModel::data(const QModelIndex& index, int role) const {
    const NodeId node = NodeOf(index);
    if (node == kNoNode || !tree_.Exists(node))
        return {};
    const TreeNode& n = tree_.Node(node);
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return Q(n.text);
        case Qt::DecorationRole: {
            const int image =
                tree_.Selected() == node && n.selectedImage != 0 ? n.selectedImage : n.image;
            QIcon icon = images_.Icon(image);
            return icon.isNull() ? QVariant() : QVariant(icon);
        }
        case kKeyRole:
            return Q(n.key);
        default:
            return {};
    }
}

Qt::ItemFlags TreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void TreeModel::OnTreeChange(const TreeChange& change) {
    switch (change.what) {
        case TreeChange::kAboutToAdd:
            beginInsertRows(IndexOf(change.parent), change.index, change.index);
            break;
        case TreeChange::kAdded:
            Forget(change.parent);
            endInsertRows();
            break;
        case TreeChange::kAboutToRemove:
            beginRemoveRows(IndexOf(change.parent), change.index, change.index);
            break;
        case TreeChange::kRemoved:
            // The subtree's cached rows go with it.
            children_.clear();
            rows_.clear();
            if (shownSelected_ != kNoNode && !tree_.Exists(shownSelected_))
                shownSelected_ = kNoNode;
            endRemoveRows();
            break;
        case TreeChange::kAboutToClear:
            beginResetModel();
            break;
        case TreeChange::kCleared:
            children_.clear();
            rows_.clear();
            shownSelected_ = kNoNode;
            endResetModel();
            break;
        case TreeChange::kChanged:
            if (QModelIndex i = IndexOf(change.node); i.isValid())
                Q_EMIT dataChanged(i, i);
            break;
        case TreeChange::kSelected: {
            // The selected image moves with the selection.
            for (NodeId node : {shownSelected_, change.node}) {
                if (QModelIndex i = IndexOf(node); i.isValid())
                    Q_EMIT dataChanged(i, i, {Qt::DecorationRole});
            }
            shownSelected_ = change.node;
            break;
        }
        default:
            break;
    }
}

}  // namespace orva::qt
