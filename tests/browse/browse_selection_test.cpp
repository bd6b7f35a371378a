// Activating a ledger row: selection mode returns the picked entry to the
// host (ReturnItem) or nothing (ReturnClass); maintenance mode opens the
// record editor and never returns anything.
#include "browse_fixture.h"
#include "host/com_error.h"
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
    EXPECT_EQ(r.operationType, EditorRequest::kSingle);
    EXPECT_EQ(r.entryID, entry);
    EXPECT_EQ(r.custID, cust);
    EXPECT_EQ(r.itemID, 0);
    EXPECT_NE(r.ldg, nullptr);
    EXPECT_EQ(editorCalls_[0].selRow, 5);
    EXPECT_EQ(ui->ModalWindows(), (std::vector<std::string>{"BrowseBase", "frmProperty"}));
}

TEST_F(BrowseSelection, EnterModifiesAfterTheRightCheckWhileADoubleClickOnlyViews) {
    LogOn(demo::kLimitedUserId);  // no modify right
    BrowseBase& w = Open();
    ClickLeaf(w, DeepCustomer(1));
    SelectRow(w, 3);
    w.ldgBase().UserKeyDown(BrowseBase::kKeyEnter, 0);
    EXPECT_TRUE(editorCalls_.empty());
    ASSERT_EQ(ui->AssistantNotices().size(), 1u);
    EXPECT_EQ(ui->AssistantNotices()[0].description, "没有权限,请与系统管理员联系");

    w.ldgBase().UserKeyDown(BrowseBase::kKeyEnter, 2);  // with Ctrl: nothing, not even the check
    EXPECT_EQ(ui->AssistantNotices().size(), 1u);

    w.ldgBase().UserDblClick(3, 2);
    ASSERT_EQ(editorCalls_.size(), 1u);
    EXPECT_EQ(editorCalls_[0].request.entryID, std::stoi(w.ldgBase().CellText(3, 1)));
}

TEST_F(BrowseSelection, AnEditorThatCannotBeCreatedIsReportedAndTheLedgerStays) {
    SetEditorLauncher([](const EditorRequest&) {
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
