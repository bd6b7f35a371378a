// Function rights: the object the session selects, and what the host's GL
// data object answers from the demo company's rights table.
#include "company_fixture.h"
#include "host/gl_data.h"
#include "orvasaleprice/com_error.h"
#include "session/rights.h"
#include "session/session.h"

namespace orva {
namespace {

using FunctionRightsTest = CompanyTest;

TEST_F(FunctionRightsTest, SubIdSelectsTheObjectByExactComparison) {
    InitSessionProps("SubID=ar");
    EXPECT_EQ(FunctionObjectID(), kFunctionObjectAR);
    InitSessionProps("SubID=AR");
    EXPECT_EQ(FunctionObjectID(), kFunctionObjectDefault);
    InitSessionProps("SubID=ic");
    EXPECT_EQ(FunctionObjectID(), kFunctionObjectDefault);
    InitSessionProps("LANGUAGE=CHS");
    EXPECT_THROW(FunctionObjectID(), ComError);
}

TEST_F(FunctionRightsTest, RightsOfTheUserAndOfItsGroupsCountButGroupZeroGrantsNothing) {
    LogOn(demo::kGroupClerkUserId);
    InitSessionProps(GetPropsString());
    EXPECT_TRUE(CheckFunctionRight(kRightAdd));     // from the sales group
    EXPECT_TRUE(CheckFunctionRight(kRightDelete));  // from the sales group
    EXPECT_TRUE(CheckFunctionRight(kRightAudit));   // its own
    EXPECT_TRUE(ui->AssistantNotices().empty());

    LogOn(demo::kRecordClerkUserId);
    InitSessionProps(GetPropsString());
    EXPECT_TRUE(CheckFunctionRight(kRightModify));
    // Only group 0, of which every user is a member, holds delete.
    EXPECT_FALSE(CheckFunctionRight(kRightDelete));
    ASSERT_EQ(ui->AssistantNotices().size(), 1u);
    EXPECT_EQ(ui->AssistantNotices()[0].description, "没有权限,请与系统管理员联系");

    LogOn(demo::kLimitedUserId);
    InitSessionProps(GetPropsString());
    EXPECT_TRUE(CheckAccess(kFunctionObjectDefault, kFunctionRightIndex, kRightPrint));
    EXPECT_FALSE(CheckAccess(kFunctionObjectDefault, kFunctionRightIndex, kRightModify));
    // Several bits at once: all must be held.
    EXPECT_FALSE(
        CheckAccess(kFunctionObjectDefault, kFunctionRightIndex, kRightAdd | kRightModify));
}

TEST_F(FunctionRightsTest, AdministratorsHoldEveryRight) {
    LogOn(demo::kAdminUserId, "ar");
    InitSessionProps(GetPropsString());
    EXPECT_TRUE(CheckFunctionRight(kRightModify));
    EXPECT_TRUE(CheckAccess(4242, 9, 0x40000000));
    EXPECT_TRUE(ui->AssistantNotices().empty());
}

TEST_F(FunctionRightsTest, AFailingCheckCountsAsRefusal) {
    LogOn(demo::kGroupClerkUserId);
    test::ScopedSession noUser("DBConnection={" + company_.path() + "};UserID=zhang;LANGUAGE=CHS");
    EXPECT_FALSE(CheckAccess(kFunctionObjectDefault, kFunctionRightIndex, kRightAdd));
    test::ScopedSession noDatabase("UserID=16395;LANGUAGE=CHS");
    EXPECT_FALSE(CheckAccess(kFunctionObjectDefault, kFunctionRightIndex, kRightAdd));
    EXPECT_EQ(ui->AssistantNotices().size(), 2u);
}

TEST_F(FunctionRightsTest, GlDataFollowsTheSessionsDatabase) {
    LogOn(demo::kRecordClerkUserId);
    GLData data;
    EXPECT_TRUE(data.AccessCheck(kFunctionObjectDefault, kFunctionRightIndex, kRightAudit));
    test::TempCompany empty(test::TempCompany::kEmpty);
    test::ScopedSession other(empty.path(), demo::kRecordClerkUserId);
    EXPECT_FALSE(data.AccessCheck(kFunctionObjectDefault, kFunctionRightIndex, kRightAudit));
}

}  // namespace
}  // namespace orva
