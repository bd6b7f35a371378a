#include "qt/controls/tree_view.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "qt/controls/key_codes.h"
#include "qt/controls/qt_text.h"
#include "qt/controls/tree_model.h"

namespace orva::qt {
namespace {

int HostButton(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return kLeftButton;
        case Qt::RightButton:
            return kRightButton;
        case Qt::MiddleButton:
            return kMiddleButton;
        default:
            return 0;
    }
}

}  // namespace

TreeView::TreeView(Tree& tree, QWidget* parent, ImageList images)
    : QTreeView(parent), tree_(tree), model_(new TreeModel(tree, std::move(images), this)) {
    setModel(model_);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setExpandsOnDoubleClick(true);
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex& index) {
        const NodeId node = TreeModel::NodeOf(index);
        if (!syncing_ && node != kNoNode)
            tree_.UserExpand(node);
    });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex& index) {
        const NodeId node = TreeModel::NodeOf(index);
        if (!syncing_ && node != kNoNode)
            tree_.UserCollapse(node);
    });
    sub_ = tree_.Subscribe([this](const TreeChange& change) { OnTreeChange(change); });
    FollowSelection();
    if (!tree_.Visible())
        hide();
}

bool TreeView::OnBranch(const QModelIndex& index, const QPoint& pos) const {
    return index.isValid() && pos.x() < visualRect(index).left();
}

void TreeView::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    const int dpi = logicalDpiX() > 0 ? logicalDpiX() : kDefaultDpi;
    tree_.UserMouseDown(HostButton(event->button()), HostShiftState(event->modifiers()),
                        PixelsToTwips(pos.x(), dpi), PixelsToTwips(pos.y(), dpi));
    const QModelIndex index = indexAt(pos);
    pressed_ = OnBranch(index, pos) ? QModelIndex() : index;
    pressedButton_ = event->button();
    if (event->button() == Qt::LeftButton) {
        QTreeView::mousePressEvent(event);
    } else {
        event->accept();
    }
}

void TreeView::mouseReleaseEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    const bool click = pressed_.isValid() && index == pressed_ && event->button() == pressedButton_;
    pressed_ = QPersistentModelIndex();
    if (event->button() == Qt::LeftButton)
        QTreeView::mouseReleaseEvent(event);
    else
        event->accept();
    if (click && (event->button() == Qt::LeftButton || event->button() == Qt::RightButton))
        tree_.UserClick(TreeModel::NodeOf(index));
}

void TreeView::keyPressEvent(QKeyEvent* event) {
    // A key may move to a node or collapse one, which the window handles as
    // a click; reporting a press with no button first keeps it from taking
    // that click for the right-click of the last mouse press.
    tree_.UserMouseDown(0, HostShiftState(event->modifiers()), 0, 0);
    const QPersistentModelIndex before = currentIndex();
    inKeyPress_ = true;
    QTreeView::keyPressEvent(event);
    inKeyPress_ = false;
    const QModelIndex after = currentIndex();
    if (after.isValid() && after != before)
        tree_.UserClick(TreeModel::NodeOf(after));
}

void TreeView::keyboardSearch(const QString& search) {
    // Typing a node's first letters goes there, as a click would. Typed keys
    // are reported by keyPressEvent once the search is done; text an input
    // method commits comes here alone.
    if (inKeyPress_) {
        QTreeView::keyboardSearch(search);
        return;
    }
    tree_.UserMouseDown(0, 0, 0, 0);
    const QPersistentModelIndex before = currentIndex();
    QTreeView::keyboardSearch(search);
    const QModelIndex after = currentIndex();
    if (after.isValid() && after != before)
        tree_.UserClick(TreeModel::NodeOf(after));
}

void TreeView::FollowSelection() {
    syncing_ = true;
    const QModelIndex index = model_->IndexOf(tree_.Selected());
    if (index.isValid()) {
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        scrollTo(index);
    } else {
        selectionModel()->clearSelection();
    }
    syncing_ = false;
}

void TreeView::OnTreeChange(const TreeChange& change) {
    switch (change.what) {
        case TreeChange::kExpanded:
        case TreeChange::kCollapsed: {
            const QModelIndex index = model_->IndexOf(change.node);
            if (!index.isValid())
                break;
            syncing_ = true;
            setExpanded(index, change.what == TreeChange::kExpanded);
            syncing_ = false;
            break;
        }
        case TreeChange::kSelected:
            FollowSelection();
            break;
        case TreeChange::kCleared:
            FollowSelection();
            break;
        case TreeChange::kVisible:
            setVisible(tree_.Visible());
            break;
        default:
            break;
    }
}

}  // namespace orva::qt
