// The spread model: code versus user input, lock layering, user events,
// resizing, and notices held back while redraw is off.
#include <gtest/gtest.h>

#include <vector>

#include "host/controls/spread.h"
#include "orvasaleprice/com_error.h"

namespace orva {
namespace {

// A property grid laid out as the record editor lays out its own.
void LayOut(Spread& s) {
    s.SetMaxCols(3);
    s.SetCellType(CellBlock::Column(1), CellType::StaticText());
    s.SetCellType(CellBlock::Column(3), CellType::Text(60));
    s.SetMaxRows(16);
    s.SetCellType(CellBlock::Cell(2, 7), CellType::Decimal(4, -9999999.99, 9999999.99));
    s.SetCellType(CellBlock::Cell(2, 12), CellType::Integer(-99999999, 99999999));
    s.SetCellType(CellBlock::Cell(2, 13), CellType::Date());
    s.SetCellType(CellBlock::Cell(2, 16), CellType::Text(255));
}

TEST(SpreadText, CodeStoresAnythingTheUserIsChecked) {
    Spread s;
    LayOut(s);
    EXPECT_TRUE(s.SetText(2, 7, "not a number"));  // code is trusted
    EXPECT_EQ(s.GetText(2, 7), "not a number");
    EXPECT_TRUE(s.SetText(1, 1, "客户代码"));  // static cells take code text

    EXPECT_FALSE(s.TypeText(2, 7, "12x"));
    EXPECT_EQ(s.GetText(2, 7), "not a number");  // refused input leaves the cell
    EXPECT_TRUE(s.TypeText(2, 7, "12.5"));
    EXPECT_EQ(s.DisplayText(2, 7), "12.5000");
    EXPECT_FALSE(s.TypeText(2, 13, "2026-02-30"));
    EXPECT_TRUE(s.TypeText(2, 13, "2026-2-28"));
    EXPECT_EQ(s.GetText(2, 13), "2026-02-28");
    EXPECT_FALSE(s.TypeText(1, 1, "caption"));
    EXPECT_FALSE(s.TypeText(2, 16, std::string(256, 'n')));

    // Outside the grid nothing is stored and reads are empty.
    EXPECT_FALSE(s.SetText(4, 1, "x"));
    EXPECT_FALSE(s.SetText(1, 17, "x"));
    EXPECT_FALSE(s.TypeText(0, 1, "x"));
    EXPECT_EQ(s.GetText(2, 99), "");
}

TEST(SpreadLock, RowLocksOutlastColumnUnlocksAndCellsOverrideRows) {
    Spread s;
    LayOut(s);
    // Unlock every row as a whole, then lock the display rows as whole rows.
    s.SetLock(CellBlock::Rows(1, 16), false);
    for (int row : {2, 4, 5, 14}) s.SetLock(CellBlock::Row(row), true);
    // Unlocking column 2 as a column does not reopen rows locked as rows.
    s.SetLock(CellBlock::Column(2), false);
    EXPECT_TRUE(s.Locked(2, 2));
    EXPECT_FALSE(s.TypeText(2, 4, "x"));
    EXPECT_TRUE(s.TypeText(2, 3, "x"));

    // A single cell may differ from its row, until the row is set again.
    s.SetLock(CellBlock::Cell(2, 2), false);
    EXPECT_FALSE(s.Locked(2, 2));
    EXPECT_TRUE(s.Locked(3, 2));
    s.SetLock(CellBlock::Row(2), true);
    EXPECT_TRUE(s.Locked(2, 2));

    // Locking every row locks what was editable, and is drawn in the lock colour.
    s.SetLock(CellBlock::Rows(1, 16), true);
    EXPECT_FALSE(s.TypeText(2, 3, "y"));
    EXPECT_EQ(s.BackColorAt(2, 3), Rgb(255, 255, 160));
    EXPECT_EQ(s.LockBackColor(), 0xA0FFFFu);
    s.SetLock(CellBlock::All(), false);
    EXPECT_EQ(s.BackColorAt(2, 3), kWhite);
}

TEST(SpreadLayout, ColumnSettingsReachRowsAddedLaterAndShrinkingForgets) {
    Spread s;
    s.SetMaxCols(2);
    s.SetCellType(CellBlock::Column(1), CellType::StaticText());
    s.SetAlignment(CellBlock::Column(2), HAlign::kCenter);
    s.SetMaxRows(3);
    EXPECT_EQ(s.TypeAt(1, 3).kind, CellKind::kStaticText);
    EXPECT_EQ(s.AlignmentAt(2, 3), HAlign::kCenter);
    s.SetCellType(CellBlock::Cell(1, 2), CellType::Decimal(2, 0, 9));
    EXPECT_EQ(s.AlignmentAt(1, 2), HAlign::kRight);  // natural alignment of numbers

    s.SetText(2, 3, "kept?");
    s.SetRowHidden(3, true);
    EXPECT_FALSE(s.TypeText(2, 3, "hidden rows take no typing"));
    EXPECT_TRUE(s.SetActiveCell(2, 3));
    s.SetMaxRows(2);
    EXPECT_EQ(s.ActiveRow(), 2);
    s.SetMaxRows(3);
    EXPECT_EQ(s.GetText(2, 3), "");
    EXPECT_FALSE(s.RowHidden(3));
    EXPECT_THROW(s.SetMaxRows(-1), ComError);
    EXPECT_FALSE(s.SetActiveCell(3, 1));
}

TEST(SpreadBlock, ClearEmptiesTextsOnlyAndSelectionIsKept) {
    Spread s;
    LayOut(s);
    s.SetText(1, 1, "caption");
    s.SetText(2, 7, "1.5");
    s.SetText(3, 16, "note");
    s.SetSelection(CellBlock::Block(1, 1, 3, 16));
    s.ClearBlock(*s.Selection());
    EXPECT_EQ(s.GetText(1, 1), "");
    EXPECT_EQ(s.GetText(3, 16), "");
    EXPECT_EQ(s.TypeAt(2, 7).kind, CellKind::kDecimal);
    EXPECT_TRUE(s.Selection().has_value());
    s.ClearSelection();
    EXPECT_FALSE(s.Selection().has_value());
}

TEST(SpreadEvents, ChangeOnlyForAcceptedNewTextAndLeaveCanBeCancelled) {
    Spread s;
    LayOut(s);
    std::vector<std::pair<int, int>> changes;
    auto sub = s.OnChange([&](int c, int r) { changes.emplace_back(c, r); });
    s.TypeText(2, 7, "3");
    s.TypeText(2, 7, "3");  // same text: no change
    s.TypeText(2, 7, "x");  // refused: no change
    s.SetText(2, 7, "4");   // code: no user event
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], std::make_pair(2, 7));

    bool refuse = true;
    auto leave = s.OnLeaveCell([&](int c, int r, int, int, bool& cancel) {
        if (c == 2 && r == 1)
            cancel = refuse;
    });
    ASSERT_TRUE(s.SetActiveCell(2, 1));
    EXPECT_FALSE(s.UserMoveTo(2, 2));
    EXPECT_EQ(s.ActiveRow(), 1);
    refuse = false;
    EXPECT_TRUE(s.UserMoveTo(2, 2));
    EXPECT_EQ(s.ActiveRow(), 2);

    auto keys = s.OnKeyDown([](int& key, int shift) {
        if (key == 118 && shift == 0)
            key = 0;  // F7 handled
    });
    EXPECT_EQ(s.UserKeyDown(118, 0), 0);
    EXPECT_EQ(s.UserKeyDown(118, 2), 118);
}

TEST(SpreadNotices, RedrawOffMergesEverythingIntoOneNotice) {
    Spread s;
    LayOut(s);
    std::vector<GridChange> seen;
    auto sub = s.Subscribe([&](const GridChange& c) { seen.push_back(c); });

    s.SetText(2, 3, "a");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].cells, CellBlock::Cell(2, 3));
    s.SetText(2, 3, "a");  // no change, no notice
    EXPECT_EQ(seen.size(), 1u);

    seen.clear();
    s.SetRedraw(false);
    s.SetText(2, 5, "b");
    s.SetText(3, 9, "c");
    s.SetRowHidden(11, true);
    s.SetActiveCell(2, 9);
    EXPECT_TRUE(seen.empty());
    s.SetRedraw(true);
    ASSERT_EQ(seen.size(), 1u);
    const GridChange& merged = seen[0];
    EXPECT_TRUE(merged.Has(GridChange::kRedraw));
    EXPECT_TRUE(merged.Has(GridChange::kLayout));
    EXPECT_TRUE(merged.Has(GridChange::kCurrent));
    EXPECT_EQ(merged.cells, CellBlock::Block(2, 5, 3, 9));

    // Nothing changed while off: nothing to send.
    seen.clear();
    s.SetRedraw(false);
    s.SetRedraw(true);
    EXPECT_TRUE(seen.empty());

    // A row-wide change widens the merged block to every column.
    s.SetRedraw(false);
    s.SetText(2, 1, "x");
    s.SetLock(CellBlock::Row(4), true);
    s.SetRedraw(true);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].cells.EveryCol());
    EXPECT_EQ(seen[0].cells.row1, 1);
    EXPECT_EQ(seen[0].cells.row2, 4);

    sub.Reset();
    s.SetText(2, 3, "after");
    EXPECT_EQ(seen.size(), 1u);
}

}  // namespace
}  // namespace orva
