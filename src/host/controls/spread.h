// The spread model: a grid of cells addressed (column, row), both 1-based,
// each with a text, a kind with limits (cell_type.h), an alignment and a
// lock; hidden rows and columns, an active cell, a selected block, a colour
// for locked cells, redraw and visibility. Views subscribe to GridChange
// notices; the window logic subscribes to what the user did (a typed change,
// leaving a cell, a key). Text set by code is stored as given; text typed by
// the user goes through the cell's checks and its lock.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/controls/cell_type.h"
#include "host/controls/color.h"
#include "host/controls/grid_change.h"
#include "host/controls/grid_notifier.h"
#include "host/controls/layered_attribute.h"
#include "host/controls/signal.h"

namespace orva {

class Spread {
  public:
    static constexpr Color kDefaultLockBackColor = Rgb(255, 255, 160);
    static constexpr int kDefaultColWidth = 1200;  // twips

    Spread();

    // Row and column counts. Shrinking drops the texts and settings of the
    // rows and columns that go; growing adds empty cells that take the
    // settings of their row, column or sheet. A negative count raises ComError.
    int MaxRows() const { return maxRows_; }
    void SetMaxRows(int rows);
    int MaxCols() const { return maxCols_; }
    void SetMaxCols(int cols);
    bool IsCell(int col, int row) const {
        return col >= 1 && row >= 1 && col <= maxCols_ && row <= maxRows_;
    }

    // Text as stored; "" outside the grid.
    const std::string& GetText(int col, int row) const;
    // By code: stored as given whatever the cell's kind or lock. False (and
    // nothing stored) outside the grid.
    bool SetText(int col, int row, std::string_view text);
    // By the user: refused (false, cell unchanged) outside the grid, in a
    // hidden row or column, in a locked or static cell, or when the cell's
    // kind refuses the text (CellType::Accept). An accepted text that differs
    // from the old one raises the change event.
    bool TypeText(int col, int row, std::string_view text);
    // The text as the cell shows it (decimals with their places).
    std::string DisplayText(int col, int row) const;
    // Empties the texts of every cell of the block (kinds, locks and the rest
    // stay).
    void ClearBlock(const CellBlock& block);

    // Settings by block: CellBlock::All() sets the sheet, a block of whole
    // rows or whole columns sets rows or columns, any other block its cells
    // (layered_attribute.h says which setting wins).
    const CellType& TypeAt(int col, int row) const { return types_.Get(col, row); }
    void SetCellType(const CellBlock& block, const CellType& type);
    // Alignment drawn; kDefault resolves to the kind's natural alignment.
    HAlign AlignmentAt(int col, int row) const;
    void SetAlignment(const CellBlock& block, HAlign align);
    bool Locked(int col, int row) const { return locks_.Get(col, row); }
    void SetLock(const CellBlock& block, bool locked);
    // Whether the user may type into the cell now.
    bool Editable(int col, int row) const;

    Color LockBackColor() const { return lockBackColor_; }
    void SetLockBackColor(Color color);
    Color BackColor() const { return backColor_; }
    void SetBackColor(Color color);
    // The background drawn for a cell: the lock colour for a locked cell.
    Color BackColorAt(int col, int row) const {
        return Locked(col, row) ? lockBackColor_ : backColor_;
    }

    bool RowHidden(int row) const;
    void SetRowHidden(int row, bool hidden);
    bool ColHidden(int col) const;
    void SetColHidden(int col, bool hidden);
    int ColWidth(int col) const;
    void SetColWidth(int col, int twips);

    // The active cell, (1, 1) at first; moved back inside when the grid shrinks.
    int ActiveCol() const { return activeCol_; }
    int ActiveRow() const { return activeRow_; }
    // By code, without the leave event. False (nothing moves) outside the grid.
    bool SetActiveCell(int col, int row);

    // The one selected block, if any.
    const std::optional<CellBlock>& Selection() const { return selection_; }
    void SetSelection(const CellBlock& block);
    void ClearSelection();

    // While redraw is off views get no notice; switching it on sends one
    // notice holding everything that changed (GridChange::kRedraw).
    bool Redraw() const { return notifier_.Redraw(); }
    void SetRedraw(bool on) { notifier_.SetRedraw(on); }
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);

    [[nodiscard]] Subscription Subscribe(std::function<void(const GridChange&)> fn) {
        return notifier_.Subscribe(std::move(fn));
    }

    // What the user did, raised by the view through the calls below.
    // Change: an accepted TypeText altered the cell's text.
    [[nodiscard]] Subscription OnChange(std::function<void(int col, int row)> fn) {
        return changed_.Subscribe(std::move(fn));
    }
    // LeaveCell: the user moves from (col, row) to (newCol, newRow); a
    // subscriber sets cancel to keep the user in the cell.
    [[nodiscard]] Subscription OnLeaveCell(
        std::function<void(int col, int row, int newCol, int newRow, bool& cancel)> fn) {
        return leaveCell_.Subscribe(std::move(fn));
    }
    // KeyDown: key code and shift state (1 Shift, 2 Ctrl, 4 Alt); a
    // subscriber sets the key code to 0 to consume the key.
    [[nodiscard]] Subscription OnKeyDown(std::function<void(int& keyCode, int shift)> fn) {
        return keyDown_.Subscribe(std::move(fn));
    }
    // The user moves to a cell: raises LeaveCell and moves unless a
    // subscriber cancels. False when cancelled or the target is no visible
    // cell; true (without an event) when already there.
    bool UserMoveTo(int col, int row);
    // The user presses a key in the grid; returns the key code left by the
    // subscribers (0 when consumed).
    int UserKeyDown(int keyCode, int shift);

  private:
    template <class T>
    void ApplyToBlock(LayeredAttribute<T>& attr, const CellBlock& block, const T& value);
    std::size_t Index(int col, int row) const {
        return static_cast<std::size_t>(row - 1) * maxCols_ + (col - 1);
    }
    void Resize(int cols, int rows);
    void Notify(const GridChange& change) { notifier_.Notify(change); }

    int maxRows_ = 0;
    int maxCols_ = 0;
    std::vector<std::string> texts_;  // row after row
    LayeredAttribute<CellType> types_;
    LayeredAttribute<HAlign> aligns_;
    LayeredAttribute<bool> locks_;
    std::vector<bool> rowHidden_;
    std::vector<bool> colHidden_;
    std::vector<int> colWidths_;
    Color lockBackColor_ = kDefaultLockBackColor;
    Color backColor_ = kWhite;
    int activeCol_ = 1;
    int activeRow_ = 1;
    std::optional<CellBlock> selection_;
    bool visible_ = true;

    GridNotifier notifier_;
    Signal<int, int> changed_;
    Signal<int, int, int, int, bool&> leaveCell_;
    Signal<int&, int> keyDown_;
};

}  // namespace orva
