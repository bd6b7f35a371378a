// The editor grid as the engine lays it out: defaults of a new entry, which
// rows lock by mode and grouping, the audited lock, clearing for the next
// entry and the status text.
#include "engine_fixture.h"
#include "orvasaleprice/com_error.h"

namespace orva::test {
namespace {

using R = UserDefInfo;

TEST_F(EngineTest, NewEntryWithoutPreselectionShowsDefaultsAndLocksDisplayRows) {
    Open(EditorOperation::kSingle, 0, 0);
    ASSERT_EQ(grid.MaxRows(), 16);
    EXPECT_EQ(grid.GetText(1, R::kRowPrice), "报价");
    EXPECT_FALSE(RowLocked(R::kRowCustNumber));
    EXPECT_FALSE(RowLocked(R::kRowItemNumber));
    for (int row : {R::kRowCustName, R::kRowItemName, R::kRowModel, R::kRowUsed}) {
        EXPECT_TRUE(RowLocked(row)) << row;
        EXPECT_EQ(grid.BackColorAt(2, row), Rgb(255, 255, 160)) << row;
    }
    for (int row = 1; row <= 16; ++row) {
        EXPECT_EQ(grid.RowHidden(row), row == R::kRowDiscount || row == R::kRowUsed) << row;
    }
    EXPECT_EQ(Text(R::kRowQuoteTime), Date::Today().ToText());
    EXPECT_EQ(Text(R::kRowExpireDate), "2100-01-01");
    EXPECT_EQ(grid.TypeAt(2, R::kRowExpireDate).kind, CellKind::kDate);
    // The currency of a new entry is currency 1, in the grid and the descriptor.
    EXPECT_EQ(Text(R::kRowCurrency), "人民币");
    EXPECT_EQ(Value(R::kRowCurrency), "1");
    EXPECT_EQ(engine->PropDesc()->Item(R::kRowCurrency)->m_Value, "1");
    EXPECT_EQ(grid.TypeAt(2, R::kRowDiscount), CellType::Decimal(2, 0, 100));
    EXPECT_EQ(grid.TypeAt(2, R::kRowNote).maxLength, 255);
    EXPECT_EQ(grid.TypeAt(1, 1).kind, CellKind::kStaticText);
    EXPECT_TRUE(grid.Visible());
    // The grid is ready for typing: a locked row refuses the user, a value row takes numbers only.
    EXPECT_FALSE(grid.TypeText(2, R::kRowCustName, "x"));
    EXPECT_FALSE(grid.TypeText(2, R::kRowPrice, "abc"));
    EXPECT_TRUE(grid.TypeText(2, R::kRowPrice, "12.5"));
}

TEST_F(EngineTest, PreselectedKeysLockOnlyAboveOneInSingleEdit) {
    struct Case {
        std::int32_t cust, item;
        bool custLocked, itemLocked;
    };
    for (const Case& c : {Case{1, 1, false, false}, Case{2, 0, true, false},
                          Case{0, 2, false, true}, Case{1021, 1098, true, true}}) {
        Open(EditorOperation::kSingle, c.cust, c.item);
        EXPECT_EQ(RowLocked(R::kRowCustNumber), c.custLocked) << c.cust;
        EXPECT_EQ(RowLocked(R::kRowItemNumber), c.itemLocked) << c.item;
        EXPECT_FALSE(RowLocked(R::kRowUnit));
    }
}

TEST_F(EngineTest, ExistingEntryLocksTheCustomerWhateverTheGrouping) {
    for (bool byCust : {true, false}) {
        ctx_->g_CategoryByCust = byCust;
        // Opened from an item's ledger: the customer is not preselected.
        Open(EditorOperation::kSingle, byCust ? 1021 : 0, byCust ? 0 : 1141, 3);
        EXPECT_TRUE(RowLocked(R::kRowCustNumber)) << byCust;
        EXPECT_EQ(Text(R::kRowCustNumber), "01.01.001");
        EXPECT_EQ(engine->Used(), 0);
        EXPECT_FALSE(RowLocked(R::kRowPrice));
    }
}

TEST_F(EngineTest, BatchModesLockTheGroupSide) {
    for (EditorOperation op : {EditorOperation::kBatchAdd, EditorOperation::kBatchUpdate,
                               EditorOperation::kBatchDelete}) {
        ctx_->g_CategoryByCust = false;
        Open(op, 0,
             std::stoi(
                 Scalar("SELECT FItemID FROM t_Item WHERE FItemClassID=4 AND FNumber='01.01'")));
        EXPECT_TRUE(RowLocked(R::kRowItemNumber)) << static_cast<int>(op);
        EXPECT_TRUE(RowLocked(R::kRowUnit)) << static_cast<int>(op);
        EXPECT_FALSE(RowLocked(R::kRowCustNumber)) << static_cast<int>(op);

        ctx_->g_CategoryByCust = true;
        Open(op, 0, 0);
        EXPECT_TRUE(RowLocked(R::kRowCustNumber)) << static_cast<int>(op);
        EXPECT_FALSE(RowLocked(R::kRowItemNumber)) << static_cast<int>(op);
        EXPECT_FALSE(RowLocked(R::kRowUnit)) << static_cast<int>(op);
    }
}

TEST_F(EngineTest, AuditedEntryOpensWithEveryCellLocked) {
    Open(EditorOperation::kSingle, 1021, 0, 1);
    ASSERT_EQ(engine->Used(), 1);
    EXPECT_EQ(Text(R::kRowUsed), "Y");
    EXPECT_EQ(Value(R::kRowUsed), "1");
    for (int row = 1; row <= 16; ++row) {
        for (int col = 1; col <= 3; ++col) EXPECT_TRUE(grid.Locked(col, row)) << row << "," << col;
    }
    engine->LocktheGrd(1);
    EXPECT_FALSE(grid.Locked(2, R::kRowPrice));
    EXPECT_FALSE(grid.Locked(2, R::kRowCustName));
}

TEST_F(EngineTest, ClearSpreadKeepsUnitCurrencyDatesAndNoteAndResetsTheRest) {
    const std::int32_t item = ItemID("01.01.001");
    Open(EditorOperation::kSingle, 0, item);
    ASSERT_TRUE(Type(R::kRowCustNumber, "01.01.002"));
    ASSERT_TRUE(Type(R::kRowUnit, "T"));
    ASSERT_TRUE(Type(R::kRowStartQty, "5"));
    ASSERT_TRUE(Type(R::kRowPrice, "9.5"));
    ASSERT_TRUE(Pick(R::kRowCurrency, demo::kCurrencyUsd));
    ASSERT_TRUE(Type(R::kRowQuoteTime, "2030-05-06"));
    ASSERT_TRUE(Type(R::kRowNote, "keep me"));

    engine->ClearSpread(true);
    const std::string today = Date::Today().ToText();
    EXPECT_EQ(Value(R::kRowStartQty), "0");
    EXPECT_EQ(Text(R::kRowPrice), "0");
    EXPECT_EQ(Text(R::kRowExpireDate), today);
    EXPECT_EQ(engine->PropDesc()->Item(R::kRowExpireDate)->m_Value, today);
    EXPECT_EQ(Text(R::kRowQuoteTime), "2030-05-06");
    EXPECT_EQ(Text(R::kRowCurrency), "美元");
    EXPECT_EQ(Text(R::kRowNote), "keep me");
    // The customer goes; the locked item stays and the unit returns to its base unit.
    EXPECT_EQ(Text(R::kRowCustNumber), "");
    EXPECT_EQ(Text(R::kRowCustName), "");
    EXPECT_EQ(Value(R::kRowItemNumber), std::to_string(item));
    EXPECT_EQ(Text(R::kRowUnit), "千克");
    EXPECT_EQ(Value(R::kRowUnit), "106");
    EXPECT_EQ(grid.ActiveRow(), R::kRowCustNumber);
    EXPECT_EQ(grid.ActiveCol(), 2);
}

TEST_F(EngineTest, ClearSpreadWithoutClearingTouchesOnlyTheDescriptors) {
    Open(EditorOperation::kSingle, 1021, 0);
    ASSERT_TRUE(Type(R::kRowItemNumber, "01.01.001"));
    ASSERT_TRUE(Type(R::kRowPrice, "9.5"));
    engine->ClearSpread(false);
    EXPECT_EQ(Text(R::kRowPrice), "9.5");
    EXPECT_EQ(engine->PropDesc()->Item(R::kRowPrice)->m_Value, "0");
    EXPECT_EQ(Text(R::kRowItemNumber), "01.01.001");

    // With the customer locked the item rows are the ones emptied.
    engine->ClearSpread(true);
    for (int row : {R::kRowItemNumber, R::kRowItemName, R::kRowModel, R::kRowUnit}) {
        EXPECT_EQ(Text(row), "") << row;
        EXPECT_EQ(Value(row), "") << row;
    }
    EXPECT_EQ(Text(R::kRowCustNumber), "01.01.001");
    EXPECT_EQ(grid.ActiveRow(), R::kRowItemNumber);
}

TEST_F(EngineTest, ClearSpreadWithAnOpenCustomerAndNoItemRaises) {
    Open(EditorOperation::kSingle, 0, 0);
    EXPECT_THROW(engine->ClearSpread(true), ComError);
    // What came before the unit read has been done.
    EXPECT_EQ(Text(R::kRowExpireDate), Date::Today().ToText());
}

TEST_F(EngineTest, StatusTextGoesToTheFirstPanelWhenThereIsABar) {
    engine->SetStatus("按物料组只提供基本计量单位的批量处理。");
    EXPECT_EQ(status.Panel(1).text, "按物料组只提供基本计量单位的批量处理。");
    UserDefInfo bare{*ctx_};
    EXPECT_NO_THROW(bare.SetStatus("x"));
}

}  // namespace
}  // namespace orva::test
