// The window itself: the toolbar of each mode, the settings tab, the
// keyboard and what the grid refuses.
#include "editor_fixture.h"

namespace orva::test {
namespace {

struct ModeRow {
    const char* name;
    EditorOperation operation;
    bool existing, newShown, deleteShown, saveShown, checkAndNavigationShown;
};

class ModeTableTest : public EditorTest, public ::testing::WithParamInterface<ModeRow> {};

TEST_P(ModeTableTest, ToolbarFollowsTheMode) {
    const ModeRow& m = GetParam();
    const std::int32_t cust = CustomerID("99");
    const std::int32_t entry = m.existing ? AddEntry(cust, ItemID("03.01.001"), 10) : 0;
    Open(m.operation, m.operation == EditorOperation::kSingle ? cust : 0, 0, entry);
    EXPECT_EQ(Shown(W::kBtnNew), m.newShown);
    EXPECT_EQ(Shown(W::kBtnDelete), m.deleteShown);
    EXPECT_EQ(Shown(W::kBtnSave), m.saveShown);
    EXPECT_EQ(Shown(W::kBtnCheck), m.checkAndNavigationShown);
    for (const char* nav : {W::kBtnFirst, W::kBtnPrevious, W::kBtnNext, W::kBtnLast})
        EXPECT_EQ(Shown(nav), m.checkAndNavigationShown) << nav;
    EXPECT_EQ(window->NewRecord(), m.operation == EditorOperation::kSingle && !m.existing);
    EXPECT_TRUE(window->vaSProperty().ColHidden(3));
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ModeTableTest,
    ::testing::Values(
        ModeRow{"New", EditorOperation::kSingle, false, true, false, true, false},
        ModeRow{"Existing", EditorOperation::kSingle, true, true, false, true, true},
        ModeRow{"BatchAdd", EditorOperation::kBatchAdd, false, true, false, true, false},
        ModeRow{"BatchUpdate", EditorOperation::kBatchUpdate, false, false, false, true, false},
        ModeRow{"BatchDelete", EditorOperation::kBatchDelete, false, false, true, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorTest, AuditedEntryIsLockedAndTheSettingsTabDoesNotEnableSave) {
    const std::int32_t entry = AddEntry(CustomerID("99"), ItemID("03.01.001"), 10, 1);
    Open(EditorOperation::kSingle, CustomerID("99"), 0, entry);
    EXPECT_FALSE(Enabled(W::kBtnSave));
    for (int row = 1; row <= R::kRowCount; ++row)
        EXPECT_TRUE(window->vaSProperty().Locked(2, row)) << row;
    ASSERT_TRUE(GoTo(R::kRowPrice));
    TypeKeys("1");
    PressKey(kKeyS, kCtrlMask);  // "Save" is shown but disabled
    EXPECT_EQ(Text(R::kRowPrice), "10");
    EXPECT_FALSE(window->Dirty());

    ASSERT_TRUE(window->SSTProperty().UserSelect(W::kTabSettings));
    for (const char* key : {W::kBtnFirst, W::kBtnNext, W::kBtnNew, W::kBtnCheck})
        EXPECT_FALSE(Enabled(key)) << key;
    EXPECT_TRUE(Enabled(W::kBtnExit));
    ASSERT_TRUE(window->SSTProperty().UserSelect(W::kTabProperty));
    EXPECT_TRUE(Enabled(W::kBtnCheck));
    EXPECT_FALSE(Enabled(W::kBtnSave));
}

TEST_F(EditorTest, KeyboardAndGridRefuseWhatCannotBeStored) {
    Open(EditorOperation::kBatchDelete, 0, 0);
    // "Save" and "New" are hidden in batch delete mode: the keys go on to the grid.
    EXPECT_EQ(window->FormKeyDown(kKeyS, kCtrlMask), kKeyS);
    EXPECT_EQ(window->FormKeyDown(kKeyN, kCtrlMask), kKeyN);
    EXPECT_TRUE(ui->MessageBoxes().empty());
    EXPECT_TRUE(ui->Dialogs().empty());

    const std::int32_t entry = AddEntry(CustomerID("99"), ItemID("03.01.001"), 10);
    Open(EditorOperation::kSingle, CustomerID("99"), 0, entry);
    ASSERT_TRUE(GoTo(R::kRowCustNumber));
    TypeKeys("01.01.001");  // an entry's customer is locked
    ASSERT_TRUE(GoTo(R::kRowPrice));
    TypeKeys("abc");  // letters in a number cell
    EXPECT_EQ(Text(R::kRowCustNumber), "99");
    EXPECT_EQ(Text(R::kRowPrice), "10");
    EXPECT_FALSE(window->Dirty());
    ASSERT_TRUE(Enter(R::kRowNote, "O'Neil \"best\""));
    EXPECT_EQ(Text(R::kRowNote), "ONeil best");
    window->vaSProperty().TypeText(2, R::kRowNote, "it's");  // pasted, past the key press
    EXPECT_EQ(Text(R::kRowNote), "its");
    EXPECT_TRUE(window->Dirty());
    EXPECT_EQ(window->FormKeyDown(kKeyHome, 0), kKeyHome);  // no modifier: the grid's
}

TEST_F(EditorTest, NewClearsTheRecordOnlyWithTheAddRight) {
    const std::int32_t entry = AddEntry(CustomerID("99"), ItemID("03.01.001"), 10);
    Open(EditorOperation::kSingle, CustomerID("99"), 0, entry);
    EXPECT_EQ(window->FormKeyDown(kKeyN, kCtrlMask), 0);
    EXPECT_TRUE(window->NewRecord());
    EXPECT_EQ(window->EntryID(), 0);
    EXPECT_EQ(Text(R::kRowCustNumber), "99");  // the tree's customer stays
    EXPECT_EQ(Text(R::kRowItemNumber), "");
    EXPECT_FALSE(Shown(W::kBtnCheck));

    Exec("DELETE FROM t_OrvaAccessRight");
    LogOn(demo::kGroupClerkUserId);
    Open(EditorOperation::kSingle, CustomerID("99"), 0, entry);
    Click(W::kBtnNew);
    EXPECT_FALSE(window->NewRecord());
    EXPECT_EQ(ui->AssistantNotices().size(), 1u);
}

}  // namespace
}  // namespace orva::test
