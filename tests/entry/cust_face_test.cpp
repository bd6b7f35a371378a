// CustFace as a host drives it: lifecycle of the shared connection, property
// puts, Show through a scripted user, the returned record set, overflow.
#include "orvasaleprice/cust_face.h"

#include <filesystem>
#include <fstream>

#include "browse/browse_base.h"
#include "company_fixture.h"
#include "orvasaleprice/com_error.h"
#include "session/session.h"
#include "support/com_error_of.h"

namespace orva {
namespace {

class CustFaceTest : public CompanyTest {
  protected:
    void SetUp() override {
        CompanyTest::SetUp();
        session_ = std::make_unique<test::ScopedSession>(company_.path(), demo::kAdminUserId);
    }

    std::int32_t AnyEntry() {
        AppConnection db;
        RecordsetPtr rs = db.Execute("SELECT TOP 1 FEntryID FROM t_CustEntry ORDER BY FEntryID");
        return static_cast<std::int32_t>(rs->Fields(0).Value().ToInteger());
    }

    void PickOnShow(std::int32_t entryID) {
        ui->OnModal<BrowseBase>("BrowseBase", [entryID](BrowseBase& w) { w.SelectEntry(entryID); });
    }
};

TEST_F(CustFaceTest, DestroyingAnyInstanceReleasesTheSharedConnection) {
    auto first = std::make_unique<CustFace>();
    ASSERT_TRUE(ctx_->g_Connection);
    auto firstConnection = ctx_->g_Connection;
    auto second = std::make_unique<CustFace>();
    EXPECT_NE(ctx_->g_Connection, firstConnection);  // the second replaced it
    EXPECT_EQ(first->ReturnRecordSet(), nullptr);

    first.reset();
    EXPECT_EQ(ctx_->g_Connection, nullptr);  // gone for the living second instance too
    second.reset();
    EXPECT_EQ(ctx_->g_Connection, nullptr);
}

TEST_F(CustFaceTest, PropertyPutsStoreTheirSlotsAndOverflowRaises) {
    CustFace face;
    face.ReturnType(ReturnClass);
    face.SelCustID(1234);
    face.SelICItemID(-5);
    face.CategoryByCust(true);
    face.CallByBill(true);
    EXPECT_EQ(ctx_->g_ReturnType, 1);
    EXPECT_EQ(ctx_->g_SelCustID, 1234);
    EXPECT_EQ(ctx_->g_SelICItemID, -5);
    EXPECT_TRUE(ctx_->g_CategoryByCust);
    EXPECT_TRUE(ctx_->g_CallByBill);

    EXPECT_EQ(test::ComErrorNumber([&] { face.ReturnType(static_cast<Enu_RType>(40000)); }),
              ComError::kOverflow);
    EXPECT_EQ(ctx_->g_ReturnType, 1);  // unchanged

    EXPECT_EQ(test::ComErrorNumber([&] { face.Show(static_cast<Enu_ShowMode>(-32769)); }),
              ComError::kOverflow);
    EXPECT_TRUE(ui->ModalWindows().empty());
}

TEST_F(CustFaceTest, SelectionModeReturnsThePickedEntryThenNothingWhenJustClosed) {
    CustFace face;
    face.ReturnType(ReturnItem);
    std::int32_t entry = AnyEntry();

    PickOnShow(entry);
    face.Show(ShowSelect);
    EXPECT_EQ(ctx_->g_ShowMode, 1);
    EXPECT_EQ(GetSessionProp(*ctx_, "UserID"), std::to_string(demo::kAdminUserId));
    auto rs = face.ReturnRecordSet();
    ASSERT_NE(rs, nullptr);
    EXPECT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->Fields("FEntryID").Value().ToInteger(), entry);
    EXPECT_GE(rs->ColumnIndex("FExpireDate"), 0);  // every column of t_CustEntry
    EXPECT_EQ(rs->FieldCount(), 15);

    face.Show(ShowSelect);  // the user closes the window
    EXPECT_EQ(face.ReturnRecordSet(), nullptr);
    EXPECT_EQ(ui->ModalWindows(), (std::vector<std::string>{"BrowseBase", "BrowseBase"}));
}

TEST_F(CustFaceTest, ReturnClassAndMaintenanceModeReturnNothing) {
    CustFace face;
    std::int32_t entry = AnyEntry();

    face.ReturnType(ReturnClass);
    bool closedByPick = true;
    ui->OnModal<BrowseBase>("BrowseBase", [&](BrowseBase& w) {
        closedByPick = w.SelectEntry(entry);
        EXPECT_TRUE(w.Visible());  // the window stays up
    });
    face.Show(ShowSelect);
    EXPECT_FALSE(closedByPick);
    EXPECT_EQ(face.ReturnRecordSet(), nullptr);

    face.ReturnType(ReturnItem);
    PickOnShow(entry);
    face.Show(showedit);
    EXPECT_EQ(face.ReturnRecordSet(), nullptr);
    EXPECT_EQ(ui->PendingScripts(), 0u);
}

TEST_F(CustFaceTest, ShowRaisesSessionErrorsAndNeedsAUserInterface) {
    CustFace face;
    {
        test::ScopedSession duplicate("SubID=ar;LANGUAGE=CHS;subid=ic");
        EXPECT_EQ(test::ComErrorNumber([&] { face.Show(ShowSelect); }), ComError::kDuplicateKey);
        EXPECT_TRUE(ui->ModalWindows().empty());
    }
    SetCurrentUi(nullptr);  // headless: a modal window cannot be shown
    EXPECT_THROW(face.Show(ShowSelect), ComError);
}

TEST_F(CustFaceTest, SessionWithoutDatabaseCannotCreateTheComponent) {
    test::ScopedSession noDatabase("UserID=16394;SubID=ic;LANGUAGE=CHS");
    const auto e = test::ComErrorOf([] { CustFace face; });
    ASSERT_TRUE(e) << "creating CustFace without a company database must raise";
    EXPECT_NE(e->Description().find("DBConnection"), std::string::npos);
    EXPECT_EQ(ctx_->g_Connection, nullptr);
}

// A host passing a broken session gets a clear error out of Show, before any
// window opens, instead of a window that works as user 0 or as a group.
TEST_F(CustFaceTest, ShowRefusesASessionThatNamesNoUser) {
    struct Case {
        std::string user;  // the UserID pair, as the host writes it
        std::int32_t number;
        std::string message;
    };
    const Case cases[] = {
        {"UserID=zhang", ComError::kTypeMismatch, "\"zhang\" is not a number"},
        {"UserID=", ComError::kTypeMismatch, "names no user"},
        {"", ComError::kTypeMismatch, "names no user"},
        {"UserID=70000", ComError::kOverflow, "70000"},
        {"UserID=9999", ComError::kGeneric, "user ID 9999 names no user of the company database"},
        {"UserID=" + std::to_string(demo::kSalesGroupId), ComError::kGeneric, "is a user group"},
        {"UserID=" + std::to_string(demo::kEveryoneGroupId), ComError::kGeneric, "is a user group"},
    };
    CustFace face;
    for (const Case& c : cases) {
        test::ScopedSession session("DBConnection={" + company_.path() + "};" + c.user +
                                    ";SubID=ic;LANGUAGE=CHS");
        const auto e = test::ComErrorOf([&] { face.Show(showedit); });
        ASSERT_TRUE(e) << "shown for " << c.user;
        EXPECT_EQ(e->Number(), c.number) << c.user;
        EXPECT_NE(e->Description().find(c.message), std::string::npos)
            << c.user << ": " << e->Description();
        EXPECT_TRUE(ui->ModalWindows().empty()) << c.user;
    }
}

// The session's database must be a company file: a private in-memory
// database, a name cut short by a NUL, or a file that is not a company
// database (left as it was) cannot create the component.
TEST_F(CustFaceTest, SessionDatabaseMustBeACompanyFile) {
    const std::string empty = company_.dir() + "/empty.db";
    std::ofstream(empty).flush();
    struct Case {
        std::string database, message;
    };
    const Case cases[] = {
        {":memory:", "\":memory:\""},
        {company_.path() + std::string(1, '\0') + ".old", "NUL"},
        {empty, "is not a company database (the table t_CustEntry is missing)"},
        {company_.dir(), "is not a file"},
    };
    for (const Case& c : cases) {
        test::ScopedSession session(c.database, demo::kAdminUserId);
        const auto e = test::ComErrorOf([] { CustFace face; });
        ASSERT_TRUE(e) << "created on " << c.database;
        EXPECT_EQ(e->Number(), ComError::kDatabase);
        EXPECT_NE(e->Description().find(c.message), std::string::npos) << e->Description();
        EXPECT_EQ(ctx_->g_Connection, nullptr);
    }
    EXPECT_EQ(std::filesystem::file_size(empty), 0u);
}

TEST_F(CustFaceTest, SystemOptionsAreReadThroughTheSharedConnection) {
    EXPECT_EQ(GetSysProfile(*ctx_, "AlertSELowPrice"), 0);  // no connection yet: passed over
    CustFace face;
    EXPECT_EQ(GetSysProfile(*ctx_, "AlertSELowPrice"), demo::kOptionAlertSELowPrice);
    EXPECT_EQ(GetSysProfile(*ctx_, "BatchAuditSalePrice"), demo::kOptionBatchAuditSalePrice);
    EXPECT_EQ(GetSysProfile(*ctx_, "NoSuchOption"), 0);
    EXPECT_EQ(GetSysProfile(*ctx_, "it's"), 0);  // a quote stays inside the literal
}

}  // namespace
}  // namespace orva
