// The editor window itself: which toolbar buttons each mode shows, the
// settings tab and check boxes, the keyboard, the dirty flag and what unload
// hands back.
#include "editor_fixture.h"
#include "entry/globals.h"
#include "host/controls/ledger.h"
#include "host/controls/tree.h"

namespace orva::test {
namespace {

struct ModeRow {
    const char* name;
    std::int32_t operation;
    bool existing;
    bool newShown, deleteShown, saveShown, checkShown, navigationShown;
};

class ModeTableTest : public EditorTest, public ::testing::WithParamInterface<ModeRow> {};

TEST_P(ModeTableTest, ToolbarFollowsTheMode) {
    const ModeRow& m = GetParam();
    const std::int32_t cust = CustomerID("99");
    const std::int32_t entry = m.existing ? AddEntry(cust, ItemID("03.01.001"), 10) : 0;
    Open(m.operation, m.operation == W::kOpSingle ? cust : 0, 0, entry);
    EXPECT_EQ(Shown(W::kBtnNew), m.newShown);
    EXPECT_EQ(Shown(W::kBtnDelete), m.deleteShown);
    EXPECT_EQ(Shown(W::kBtnSave), m.saveShown);
    EXPECT_TRUE(Enabled(W::kBtnSave));
    EXPECT_EQ(Shown(W::kBtnCheck), m.checkShown);
    for (const char* nav : {W::kBtnFirst, W::kBtnPrevious, W::kBtnNext, W::kBtnLast})
        EXPECT_EQ(Shown(nav), m.navigationShown) << nav;
    EXPECT_TRUE(Shown(W::kBtnExit));
    EXPECT_EQ(window->NewRecord(), m.operation == W::kOpSingle && !m.existing);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ModeTableTest,
    ::testing::Values(ModeRow{"NewEntry", 0, false, true, false, true, false, false},
                      ModeRow{"ExistingEntry", 0, true, true, false, true, true, true},
                      ModeRow{"BatchAdd", 8, false, true, false, true, false, false},
                      ModeRow{"BatchUpdate", 16, false, false, false, true, false, false},
                      ModeRow{"BatchDelete", 32, false, false, true, false, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorTest, AuditedEntryOpensLockedWithSaveDisabled) {
    const std::int32_t entry = AddEntry(CustomerID("99"), ItemID("03.01.001"), 10, 1);
    Open(W::kOpSingle, CustomerID("99"), 0, entry);
    EXPECT_TRUE(Shown(W::kBtnSave));
    EXPECT_FALSE(Enabled(W::kBtnSave));
    for (int row = 1; row <= R::kRowCount; ++row)
        EXPECT_TRUE(window->vaSProperty().Locked(2, row)) << row;
    EXPECT_EQ(Text(R::kRowUsed), "Y");
    // Nothing can be typed, and Ctrl+S finds the button disabled.
    EXPECT_TRUE(GoTo(R::kRowPrice));
    TypeKeys("1");
    EXPECT_EQ(Value(R::kRowPrice), "10");
    PressKey(W::kKeyS, W::kCtrlMask);
    EXPECT_TRUE(ui->MessageBoxes().empty());
    EXPECT_FALSE(window->Dirty());
}

TEST_F(EditorTest, TreeAsListHidesFirstAndLast) {
    Tree tree;
    tree.Add("", "gc0", "all");
    const std::int32_t entry = AddEntry(CustomerID("99"), ItemID("03.01.001"), 10);
    window = std::make_unique<frmProperty>();
    window->CustID(CustomerID("99"));
    window->EntryID(entry);
    window->LDG(&tree);
    window->Load();
    EXPECT_TRUE(Shown(W::kBtnPrevious));
    EXPECT_TRUE(Shown(W::kBtnNext));
    EXPECT_FALSE(Shown(W::kBtnFirst));
    EXPECT_FALSE(Shown(W::kBtnLast));
}

TEST_F(EditorTest, LoadShowsTheGridWithTheValueColumnHidden) {
    Open(W::kOpSingle, CustomerID("99"), 0);
    Spread& grid = window->vaSProperty();
    EXPECT_EQ(grid.MaxRows(), R::kRowCount);
    EXPECT_TRUE(grid.ColHidden(3));
    EXPECT_EQ(Text(R::kRowCustNumber), "99");
    EXPECT_EQ(Text(R::kRowExpireDate), "2100-01-01");
    EXPECT_EQ(window->SSTProperty().TabCaption(W::kTabProperty), "销货信息");
    EXPECT_EQ(grid.ActiveRow(), R::kRowItemNumber);
    EXPECT_EQ(window->AlertOption(), 1);
    EXPECT_FALSE(window->Dirty());
    EXPECT_EQ(window->MousePointer(), W::kPointerDefault);
}

TEST_F(EditorTest, ItemGroupingShowsTheBaseUnitNotice) {
    g_CategoryByCust = false;
    Open(W::kOpBatchAdd, 0, 0);
    EXPECT_EQ(window->sdbStatus().Panel(1).text, "按物料组只提供基本计量单位的批量处理。");
}

TEST_F(EditorTest, AlertOptionIsReadOnEveryActivation) {
    Open(W::kOpSingle, CustomerID("99"), 0);
    ASSERT_EQ(window->AlertOption(), 1);
    Exec("UPDATE t_SystemProfile SET FValue='0' WHERE FKey='AlertSELowPrice'");
    window->Activate();
    EXPECT_EQ(window->AlertOption(), 0);
}

TEST_F(EditorTest, SettingsTabDisablesRecordButtonsAndRestoresThem) {
    const std::int32_t entry = AddEntry(CustomerID("99"), ItemID("03.01.001"), 10, 1);
    Open(W::kOpSingle, CustomerID("99"), 0, entry);
    ASSERT_FALSE(Enabled(W::kBtnSave));
    ASSERT_TRUE(window->SSTProperty().UserSelect(W::kTabSettings));
    for (const char* key : {W::kBtnSave, W::kBtnFirst, W::kBtnPrevious, W::kBtnNext, W::kBtnLast,
                            W::kBtnNew, W::kBtnCheck})
        EXPECT_FALSE(Enabled(key)) << key;
    EXPECT_TRUE(Enabled(W::kBtnExit));
    ASSERT_TRUE(window->SSTProperty().UserSelect(W::kTabProperty));
    EXPECT_TRUE(Enabled(W::kBtnNew));
    EXPECT_TRUE(Enabled(W::kBtnCheck));
    EXPECT_FALSE(Enabled(W::kBtnSave));  // still an audited entry
}

TEST_F(EditorTest, CheckBoxesSetTheWindowState) {
    Open(W::kOpSingle, CustomerID("99"), 0);
    EXPECT_TRUE(window->ErrorPrompt());
    window->ChkError().UserClick();
    EXPECT_FALSE(window->ErrorPrompt());
    window->ChkClear().UserClick();
    EXPECT_TRUE(window->ClearAfterAdd());
    window->ChkAHelp().UserClick();
    EXPECT_TRUE(window->HelpTimerEnabled());

    window->ChkRefresh().UserClick();
    window->Unload();
    EXPECT_FALSE(window->RefreshOnExit);
    EXPECT_EQ(window->Engine(), nullptr);
}

TEST_F(EditorTest, QuotesNeverReachACell) {
    Open(W::kOpSingle, CustomerID("99"), 0);
    ASSERT_TRUE(Enter(R::kRowItemNumber, "03.01.001"));
    ASSERT_TRUE(Enter(R::kRowNote, "O'Neil \"best\" price"));
    EXPECT_EQ(Text(R::kRowNote), "ONeil best price");
    // Pasted text does not pass the key press; the change event cleans it.
    window->vaSProperty().TypeText(2, R::kRowNote, "it's");
    EXPECT_EQ(Text(R::kRowNote), "its");
    EXPECT_EQ(window->FormKeyPress('a'), 'a');
}

TEST_F(EditorTest, TypingIsRefusedWhereTheGridDoesNotTakeIt) {
    const std::int32_t entry = AddEntry(CustomerID("99"), ItemID("03.01.001"), 10);
    Open(W::kOpSingle, CustomerID("99"), 0, entry);
    ASSERT_TRUE(GoTo(R::kRowCustNumber));
    TypeKeys("01.01.001");  // an entry's customer is locked
    EXPECT_EQ(Text(R::kRowCustNumber), "99");
    ASSERT_TRUE(GoTo(R::kRowPrice));
    TypeKeys("abc");  // letters in a number cell
    EXPECT_EQ(Text(R::kRowPrice), "10");
    EXPECT_FALSE(window->Dirty());
    TypeKeys("12.5");
    EXPECT_TRUE(window->Dirty());
}

TEST_F(EditorTest, ShortcutsClickOnlyShownButtons) {
    Open(W::kOpBatchDelete, 0, 0);
    // Ctrl+S: "Save" is hidden in batch delete mode, so the key goes on to
    // the grid and nothing is saved or asked.
    EXPECT_EQ(window->FormKeyDown(W::kKeyS, W::kCtrlMask), W::kKeyS);
    EXPECT_EQ(window->FormKeyDown(W::kKeyN, W::kCtrlMask), W::kKeyN);
    EXPECT_EQ(window->FormKeyDown(W::kKeyHome, W::kShiftMask), W::kKeyHome);
    EXPECT_TRUE(ui->MessageBoxes().empty());
    EXPECT_TRUE(ui->Dialogs().empty());
    EXPECT_TRUE(ui->AssistantNotices().empty());

    Open(W::kOpSingle, CustomerID("99"), 0);
    // Ctrl+N: "New" is shown; the add right is checked and the record reset.
    EXPECT_EQ(window->FormKeyDown(W::kKeyN, W::kCtrlMask), 0);
    EXPECT_TRUE(window->NewRecord());
    // Home without a modifier is the grid's.
    EXPECT_EQ(window->FormKeyDown(W::kKeyHome, 0), W::kKeyHome);
}

TEST_F(EditorTest, NewNeedsTheAddRight) {
    LogOn(demo::kRecordClerkUserId);  // may add
    const std::int32_t entry = AddEntry(CustomerID("99"), ItemID("03.01.001"), 10);
    Open(W::kOpSingle, CustomerID("99"), 0, entry);
    Click(W::kBtnNew);
    EXPECT_TRUE(window->NewRecord());
    EXPECT_EQ(window->EntryID(), 0);
    EXPECT_EQ(Text(R::kRowCustNumber), "99");  // the customer of the tree stays
    EXPECT_EQ(Text(R::kRowItemNumber), "");
    EXPECT_FALSE(Shown(W::kBtnCheck));

    LogOn(demo::kGroupClerkUserId);  // its group may add; make it a user who may not
    Exec("DELETE FROM t_OrvaAccessRight");
    Open(W::kOpSingle, CustomerID("99"), 0, entry);
    Click(W::kBtnNew);
    EXPECT_FALSE(window->NewRecord());
    EXPECT_EQ(window->EntryID(), entry);
    ASSERT_EQ(ui->AssistantNotices().size(), 1u);
}

}  // namespace
}  // namespace orva::test
