#include "qt/controls/spread_view.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include "qt/controls/key_codes.h"
#include "qt/controls/qt_text.h"
#include "qt/controls/spread_delegate.h"
#include "qt/controls/spread_model.h"

namespace orva::qt {

SpreadView::SpreadView(Spread& spread, QWidget* parent)
    : QTableView(parent),
      spread_(spread),
      model_(new SpreadModel(spread, this)),
      delegate_(new SpreadDelegate(*this)) {
    setModel(model_);
    setItemDelegate(delegate_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    // A click puts the cursor on a cell, typing replaces its text, a double
    // click or F2 edits it. No edit on a click of the selected cell: the grid
    // selects a cell as it is entered, so every click would count as one and
    // open an editor on its own a moment later, losing the keys typed between.
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setTabKeyNavigation(true);
    setWordWrap(false);
    SetHeadersVisible(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    // A width the user drags is the spread's width (in twips).
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int newSize) {
                if (!syncing_ && newSize > 0)
                    spread_.SetColWidth(section + 1, PixelsToTwips(newSize, logicalDpiX()));
            });
    // The model subscribed first, so its counts are current when this runs.
    sub_ = spread_.Subscribe([this](const GridChange& change) { OnGridChange(change); });
    // Whatever moves the current cell (a drag, a program) asks the spread
    // too; a refused move puts the cursor back.
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (syncing_ || !current.isValid() || UserMoveTo(current))
                    return;
                QMetaObject::invokeMethod(
                    this, [this] { FollowCurrent(); }, Qt::QueuedConnection);
            });
    FollowLayout();
    FollowCurrent();
    if (!spread_.Visible())
        hide();
}

SpreadView::~SpreadView() = default;

void SpreadView::ForceColumnHidden(int col) {
    forcedHidden_.insert(col);
    FollowLayout();
}

void SpreadView::SetDiscardedCharacters(const QString& chars) {
    delegate_->SetDiscardedCharacters(chars);
}

void SpreadView::SetHeadersVisible(bool visible) {
    horizontalHeader()->setVisible(visible);
    verticalHeader()->setVisible(visible);
}

bool SpreadView::ShownColumn(int col) const {
    return !spread_.ColHidden(col) && forcedHidden_.count(col) == 0;
}

void SpreadView::CommitEdit() {
    delegate_->CommitAndClose();
}

bool SpreadView::RaiseKeyDown(int keyCode, int shift) {
    if (keyCode == 0)
        return false;
    return spread_.UserKeyDown(keyCode, shift) == 0;
}

bool SpreadView::UserMoveTo(const QModelIndex& target) {
    if (!target.isValid())
        return false;
    const int col = target.column() + 1;
    const int row = target.row() + 1;
    if (col == spread_.ActiveCol() && row == spread_.ActiveRow())
        return true;
    return spread_.UserMoveTo(col, row);
}

bool SpreadView::StepRow(int step) {
    QModelIndex current = currentIndex();
    if (!current.isValid())
        return false;
    int row = current.row();
    const int dir = step > 0 ? 1 : -1;
    for (int left = std::abs(step); left > 0;) {
        row += dir;
        if (row < 0 || row >= model_->rowCount())
            return false;
        if (!isRowHidden(row))
            --left;
    }
    QModelIndex target = model_->index(row, current.column());
    if (!UserMoveTo(target))
        return false;
    setCurrentIndex(target);
    return true;
}

// Tab and Shift+Tab go to the next (previous) cell the user can type into,
// row by row, as in a property grid.
QModelIndex SpreadView::NextEditable(const QModelIndex& from, int step) const {
    const int rows = model_->rowCount();
    const int cols = model_->columnCount();
    if (rows == 0 || cols == 0)
        return {};
    const int total = rows * cols;
    int pos = from.isValid() ? from.row() * cols + from.column() : (step > 0 ? -1 : total);
    for (int i = 0; i < total; ++i) {
        pos = (pos + step + total) % total;
        const int row = pos / cols;
        const int col = pos % cols;
        if (!isRowHidden(row) && ShownColumn(col + 1) && spread_.Editable(col + 1, row + 1))
            return model_->index(row, col);
    }
    return from;
}

QModelIndex SpreadView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    QModelIndex target;
    if (action == MoveNext || action == MovePrevious)
        target = NextEditable(currentIndex(), action == MoveNext ? 1 : -1);
    else
        target = QTableView::moveCursor(action, modifiers);
    if (!target.isValid() || target == currentIndex())
        return target;
    // Leaving the cell: the window may keep the cursor where it is.
    return UserMoveTo(target) ? target : currentIndex();
}

void SpreadView::keyPressEvent(QKeyEvent* event) {
    if (RaiseKeyDown(HostKeyCode(*event), HostShiftState(*event))) {
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier && state() != EditingState) {
        StepRow(1);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void SpreadView::mousePressEvent(QMouseEvent* event) {
    const QModelIndex target = indexAt(event->position().toPoint());
    if (target.isValid() && target != currentIndex() && !UserMoveTo(target)) {
        event->accept();  // the window keeps the cursor in its cell
        setFocus();
        return;
    }
    QTableView::mousePressEvent(event);
}

void SpreadView::OnGridChange(const GridChange& change) {
    if (change.Has(GridChange::kLayout))
        FollowLayout();
    if (change.Has(GridChange::kLayout) || change.Has(GridChange::kCurrent))
        FollowCurrent();
    if (change.Has(GridChange::kVisible)) {
        if (!spread_.Visible()) {
            hadFocus_ = hasFocus() || isAncestorOf(QApplication::focusWidget());
            hide();
        } else {
            show();
            if (hadFocus_)
                setFocus();
            hadFocus_ = false;
        }
    }
}

void SpreadView::FollowLayout() {
    syncing_ = true;
    const int dpi = logicalDpiX() > 0 ? logicalDpiX() : kDefaultDpi;
    for (int c = 0; c < model_->columnCount(); ++c) {
        const bool hidden = !ShownColumn(c + 1);
        setColumnHidden(c, hidden);
        if (!hidden)
            setColumnWidth(c, TwipsToPixels(spread_.ColWidth(c + 1), dpi));
    }
    for (int r = 0; r < model_->rowCount(); ++r) setRowHidden(r, spread_.RowHidden(r + 1));
    syncing_ = false;
}

void SpreadView::FollowCurrent() {
    if (model_->rowCount() == 0 || model_->columnCount() == 0)
        return;
    syncing_ = true;
    const QModelIndex active = model_->index(spread_.ActiveRow() - 1, spread_.ActiveCol() - 1);
    if (active.isValid() && active != currentIndex()) {
        // An editor open on another cell goes first.
        if (state() == EditingState)
            delegate_->CommitAndClose();
        selectionModel()->setCurrentIndex(active, QItemSelectionModel::NoUpdate);
    }
    QItemSelection selected;
    if (const auto& block = spread_.Selection()) {
        const int r1 = block->EveryRow() ? 0 : block->row1 - 1;
        const int r2 = block->EveryRow() ? model_->rowCount() - 1 : block->row2 - 1;
        const int c1 = block->EveryCol() ? 0 : block->col1 - 1;
        const int c2 = block->EveryCol() ? model_->columnCount() - 1 : block->col2 - 1;
        selected.select(model_->index(std::max(r1, 0), std::max(c1, 0)),
                        model_->index(std::min(r2, model_->rowCount() - 1),
                                      std::min(c2, model_->columnCount() - 1)));
    } else if (active.isValid()) {
        selected.select(active, active);
    }
    selectionModel()->select(selected, QItemSelectionModel::ClearAndSelect);
    syncing_ = false;
}

void CommitFocusedSpreadEdit() {
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        if (auto* view = qobject_cast<SpreadView*>(w)) {
            view->CommitEdit();
            return;
        }
    }
}

}  // namespace orva::qt
