// Activating a ledger row: selection mode returns the picked entry to the
// host (ReturnItem) or nothing (ReturnClass); maintenance mode opens the
// record editor and never returns anything.
#include "browse_fixture.h"
#include "demo/demo_company.h"
#include "orvasaleprice/com_error.h"
#include "orvasaleprice/cust_face.h"

namespace orva {
namespace {

using BrowseSelection = BrowseTest;

TEST_F(BrowseSelection, ReturnItemHandsTheHostTheOneRowOfTheActivatedEntry) {
    const std::int32_t cust = DeepCustomer(2);
    std::string picked;
    {
        CustFace face;
        face.ReturnType(ReturnItem);
        face.SelCustID(cust);
        ui->OnModal<BrowseBase>("BrowseBase", [&](BrowseBase& w) {
            w.ldgBase().UserDblClick(1, 2);  // a title row: nothing
            w.ldgBase().UserDblClick(2, 2);
            EXPECT_TRUE(w.Visible());
            picked = w.ldgBase().CellText(4, 1);
            w.ldgBase().UserDblClick(4, 3);
            EXPECT_FALSE(w.Visible());
        });
        face.Show(ShowSelect);
        RecordsetPtr rs = face.ReturnRecordSet();
        ASSERT_NE(rs, nullptr);
        EXPECT_EQ(rs->RecordCount(), 1);
        EXPECT_EQ(rs->Fields("FEntryID").Value().ToText(), picked);
        EXPECT_EQ(rs->Fields("FCustID").Value().ToInteger(), cust);
        EXPECT_EQ(rs->FieldCount(), 15);  // every column of t_CustEntry

        face.Show(ShowSelect);  // closed without a pick
        EXPECT_EQ(face.ReturnRecordSet(), nullptr);
    }
    EXPECT_TRUE(editorCalls_.empty());
}

TEST_F(BrowseSelection, ReturnClassKeepsTheWindowOpenAndReturnsNothing) {
    CustFace face;
    face.ReturnType(ReturnClass);
    face.SelCustID(DeepCustomer(1));
    ui->OnModal<BrowseBase>("BrowseBase", [&](BrowseBase& w) {
        w.ldgBase().UserDblClick(3, 2);
        EXPECT_TRUE(w.Visible());
        EXPECT_EQ(w.ReturnObj(), nullptr);
    });
    face.Show(ShowSelect);
    EXPECT_EQ(face.ReturnRecordSet(), nullptr);
    EXPECT_TRUE(editorCalls_.empty());
}

TEST_F(BrowseSelection, MaintenanceModeOpensTheEditorOnTheEntryAndReturnsNothing) {
    const std::int32_t cust = DeepCustomer(3);
    std::int32_t entry = 0;
    {
        CustFace face;
        face.ReturnType(ReturnItem);
        face.SelCustID(cust);
        ui->OnModal<BrowseBase>("BrowseBase", [&](BrowseBase& w) {
            entry = std::stoi(w.ldgBase().CellText(5, 1));
            w.ldgBase().UserDblClick(5, 2);
            EXPECT_TRUE(w.Visible());
            EXPECT_EQ(w.CurrentEntryID(), entry);
            EXPECT_EQ(w.ldgBase().SelRow(), 5);  // the refresh selected it again
        });
        face.Show(showedit);
        EXPECT_EQ(face.ReturnRecordSet(), nullptr);
    }
    ASSERT_EQ(editorCalls_.size(), 1u);
    const EditorRequest& r = editorCalls_[0].request;
    EXPECT_EQ(r.operationType, EditorOperation::kSingle);
    EXPECT_EQ(r.entryID, entry);
    EXPECT_EQ(r.custID, cust);
    EXPECT_EQ(r.itemID, 0);
    EXPECT_NE(r.ldg, nullptr);
    EXPECT_EQ(editorCalls_[0].selRow, 5);
    EXPECT_EQ(ui->ModalWindows(), (std::vector<std::string>{"BrowseBase", "frmProperty"}));
}

// Enter and Delete in the ledger, by mode, right and shift state. Enter runs
// the modify command (its right check, then the double click's action: the
// editor, or the pick in selection mode); Delete runs the delete command,
// which selection mode does not offer. Delete's question is answered No.
TEST_F(BrowseSelection, EnterAndDeleteInTheLedgerByModeAndRight) {
    enum Outcome { kNothing, kEditor, kPicked, kNoRight, kAsked };
    struct Case {
        const char* what;
        Enu_ShowMode mode;
        Enu_RType returnType;
        int user;
        int key;
        int shift;
        Outcome outcome;
    };
    constexpr int kAdmin = demo::kAdminUserId;
    constexpr int kLimited = demo::kLimitedUserId;  // no modify right
    constexpr int kEnter = kKeyEnter;
    constexpr int kDelete = kKeyDelete;
    const Case cases[] = {
        {"maintenance, Enter", showedit, ReturnItem, kAdmin, kEnter, 0, kEditor},
        {"maintenance, Enter without the right", showedit, ReturnItem, kLimited, kEnter, 0,
         kNoRight},
        {"maintenance, Ctrl+Enter", showedit, ReturnItem, kLimited, kEnter, 2, kNothing},
        {"maintenance, Delete", showedit, ReturnItem, kAdmin, kDelete, 0, kAsked},
        {"maintenance, Shift+Delete", showedit, ReturnItem, kAdmin, kDelete, 1, kNothing},
        {"selection, Enter", ShowSelect, ReturnItem, kAdmin, kEnter, 0, kPicked},
        {"selection, Enter without the right", ShowSelect, ReturnItem, kLimited, kEnter, 0,
         kNoRight},
        {"selection, Alt+Enter", ShowSelect, ReturnItem, kAdmin, kEnter, 4, kNothing},
        {"selection, Delete", ShowSelect, ReturnItem, kAdmin, kDelete, 0, kNothing},
        {"selection returning a class, Enter", ShowSelect, ReturnClass, kAdmin, kEnter, 0,
         kNothing},
    };
    const std::int32_t cust = DeepCustomer(2);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ctx_->g_ShowMode = c.mode;
        ctx_->g_ReturnType = c.returnType;
        LogOn(c.user);
        BrowseBase& w = Open();
        w.MarkShown();
        ClickLeaf(w, cust);
        SelectRow(w, 4);
        const std::string entry = w.ldgBase().CellText(4, 1);
        const int rows = w.ldgBase().Rows();
        editorCalls_.clear();
        ui->ClearRecords();

        w.ldgBase().UserKeyDown(c.key, c.shift);

        EXPECT_EQ(editorCalls_.size(), c.outcome == kEditor ? 1u : 0u);
        if (c.outcome == kEditor) {
            EXPECT_EQ(std::to_string(editorCalls_[0].request.entryID), entry);
        }
        EXPECT_EQ(w.ReturnObj() != nullptr, c.outcome == kPicked);
        if (c.outcome == kPicked) {
            EXPECT_EQ(w.ReturnObj()->Fields("FEntryID").Value().ToText(), entry);
        }
        EXPECT_EQ(w.Visible(), c.outcome != kPicked);
        EXPECT_EQ(ui->AssistantNotices().size(), c.outcome == kNoRight ? 1u : 0u);
        EXPECT_EQ(ui->MessageBoxes().size(), c.outcome == kAsked ? 1u : 0u);
        EXPECT_EQ(w.ldgBase().Rows(), rows);  // nothing was deleted
    }
}

TEST_F(BrowseSelection, AnEditorThatCannotBeCreatedIsReportedAndTheLedgerStays) {
    SetEditorLauncher(*ctx_, [&](const EditorRequest&) {
        throw ComError(ComError::kCannotCreate, "The window frmProperty cannot be created.");
    });
    BrowseBase& w = Open();
    ClickLeaf(w, DeepCustomer(1));
    const int rows = w.ldgBase().Rows();
    w.ldgBase().UserDblClick(3, 2);
    ASSERT_EQ(ui->MessageBoxes().size(), 1u);
    EXPECT_NE(ui->MessageBoxes()[0].text.find("frmProperty"), std::string::npos);
    EXPECT_EQ(ui->MessageBoxes()[0].title, "Tesmar提示");
    EXPECT_EQ(w.ldgBase().Rows(), rows);
}

}  // namespace
}  // namespace orva
