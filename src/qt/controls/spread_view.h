// The view of a Spread: a table that draws the spread's cells and hands
// what the user does to the spread's events. Moving to another cell (click,
// arrows, Tab, Enter) raises the cell-leave event first, and the window's
// handler can keep the cursor where it is; keys go to the key-down event
// (a handler may consume them); typed text goes through Spread::TypeText, so
// a locked cell or a refused text leaves the cell as it was. Hidden rows and
// columns, widths, the active cell and the selected block follow the model.
#pragma once

#include <QTableView>
#include <set>

#include "host/controls/signal.h"
#include "host/controls/spread.h"

namespace orva::qt {

class SpreadModel;
class SpreadDelegate;

class SpreadView : public QTableView {
    Q_OBJECT

  public:
    explicit SpreadView(Spread& spread, QWidget* parent = nullptr);
    ~SpreadView() override;

    Spread& spread() const { return spread_; }
    SpreadModel* spreadModel() const { return model_; }

    // A column the view never shows, whatever the spread says (the property
    // grid keeps its stored values in column 3).
    void ForceColumnHidden(int col);
    // Characters refused in every cell.
    void SetDiscardedCharacters(const QString& chars);
    // Spreadsheet headers (column letters, row numbers); off by default.
    void SetHeadersVisible(bool visible);

    // Hands the text of an open editor to its cell and closes the editor.
    // Commands that read the grid (save, a lookup) call this first.
    void CommitEdit();
    // Whether a cell's editor is open.
    bool Editing() const { return state() == EditingState; }

    // Sends a key to the spread's key-down event as if pressed in the grid;
    // true when a handler consumed it.
    bool RaiseKeyDown(int keyCode, int shift);
    // Goes `step` visible rows down (up when negative) in the current column,
    // as the user would; false when the spread keeps the cursor.
    bool StepRow(int step);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    // Typing a letter on a cell that cannot be edited does not jump to
    // another cell.
    void keyboardSearch(const QString&) override {}

  private:
    void OnGridChange(const GridChange& change);
    void FollowLayout();
    void FollowCurrent();
    // Asks the spread to let the user go to (col, row); false when refused.
    bool UserMoveTo(const QModelIndex& target);
    QModelIndex NextEditable(const QModelIndex& from, int step) const;
    bool ShownColumn(int col) const;

    Spread& spread_;
    SpreadModel* model_;
    SpreadDelegate* delegate_;
    std::set<int> forcedHidden_;
    bool syncing_ = false;
    bool hadFocus_ = false;
    Subscription sub_;
};

// Commits the editor of the spread view that has the keyboard focus, if
// any: menu and toolbar commands call it before they run, so that a command
// sees what the user typed into the cell being edited.
void CommitFocusedSpreadEdit();

}  // namespace orva::qt
