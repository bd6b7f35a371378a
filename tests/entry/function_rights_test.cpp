// Function rights: the object the session selects, and what the host's GL
// data object answers from the demo company's rights table.
#include "company_fixture.h"
#include "host/gl_data.h"
#include "orva_build_paths.h"
#include "orvasaleprice/com_error.h"
#include "orvasaleprice/enums.h"
#include "session/rights.h"
#include "session/session.h"
#include "support/language_scope.h"
#include "support/read_only_folder.h"
#include "support/unprivileged.h"

namespace orva {
namespace {

using FunctionRightsTest = CompanyTest;

TEST_F(FunctionRightsTest, SubIdSelectsTheObjectByExactComparison) {
    InitSessionProps(*ctx_, "SubID=ar");
    EXPECT_EQ(FunctionObjectID(*ctx_), kFunctionObjectAR);
    InitSessionProps(*ctx_, "SubID=AR");
    EXPECT_EQ(FunctionObjectID(*ctx_), kFunctionObjectDefault);
    InitSessionProps(*ctx_, "SubID=ic");
    EXPECT_EQ(FunctionObjectID(*ctx_), kFunctionObjectDefault);
    InitSessionProps(*ctx_, "LANGUAGE=CHS");
    EXPECT_THROW(FunctionObjectID(*ctx_), ComError);
}

TEST_F(FunctionRightsTest, RightsOfTheUserAndOfItsGroupsCountButGroupZeroGrantsNothing) {
    LogOn(demo::kGroupClerkUserId);
    InitSessionProps(*ctx_, GetPropsString());
    EXPECT_TRUE(CheckFunctionRight(*ctx_, kRightAdd));     // from the sales group
    EXPECT_TRUE(CheckFunctionRight(*ctx_, kRightDelete));  // from the sales group
    EXPECT_TRUE(CheckFunctionRight(*ctx_, kRightAudit));   // its own
    EXPECT_TRUE(ui->AssistantNotices().empty());

    LogOn(demo::kRecordClerkUserId);
    InitSessionProps(*ctx_, GetPropsString());
    EXPECT_TRUE(CheckFunctionRight(*ctx_, kRightModify));
    // Only group 0, of which every user is a member, holds delete.
    EXPECT_FALSE(CheckFunctionRight(*ctx_, kRightDelete));
    ASSERT_EQ(ui->AssistantNotices().size(), 1u);
    EXPECT_EQ(ui->AssistantNotices()[0].description, "没有权限,请与系统管理员联系");

    LogOn(demo::kLimitedUserId);
    InitSessionProps(*ctx_, GetPropsString());
    EXPECT_TRUE(CheckAccess(*ctx_, kFunctionObjectDefault, kFunctionRightIndex, kRightPrint));
    EXPECT_FALSE(CheckAccess(*ctx_, kFunctionObjectDefault, kFunctionRightIndex, kRightModify));
    // Several bits at once: all must be held.
    EXPECT_FALSE(
        CheckAccess(*ctx_, kFunctionObjectDefault, kFunctionRightIndex, kRightAdd | kRightModify));
}

TEST_F(FunctionRightsTest, AdministratorsHoldEveryRight) {
    LogOn(demo::kAdminUserId, "ar");
    InitSessionProps(*ctx_, GetPropsString());
    EXPECT_TRUE(CheckFunctionRight(*ctx_, kRightModify));
    EXPECT_TRUE(CheckAccess(*ctx_, 4242, 9, 0x40000000));
    EXPECT_TRUE(ui->AssistantNotices().empty());
}

TEST_F(FunctionRightsTest, AFailingCheckCountsAsRefusal) {
    LogOn(demo::kGroupClerkUserId);
    test::ScopedSession noUser("DBConnection={" + company_.path() + "};UserID=zhang;LANGUAGE=CHS");
    EXPECT_FALSE(CheckAccess(*ctx_, kFunctionObjectDefault, kFunctionRightIndex, kRightAdd));
    test::ScopedSession noDatabase("UserID=16395;LANGUAGE=CHS");
    EXPECT_FALSE(CheckAccess(*ctx_, kFunctionObjectDefault, kFunctionRightIndex, kRightAdd));
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

// On a company file that its user may only read (an archived year), a
// command that writes is refused after its right, in a message box naming
// the file in the session's language. Print and preview go on, and so does
// the modify command of selection mode, which picks the selected row.
TEST_F(FunctionRightsTest, CommandsThatWriteAreRefusedOnACompanyFileThatMayOnlyBeRead) {
    if (const std::string why = test::UnprivilegedCannotReach(ORVA_BINARY_DIR); !why.empty())
        GTEST_SKIP() << why;
    test::ReadOnlyFolder archive;
    archive.Copy(company_.path(), "2023.db");
    archive.Seal();
    const std::string path = archive.File("2023.db");
    const std::string chinese =
        "Tesmar提示 | 公司数据库 " + path + " 是只读文件：可以浏览、查找、打印和引出，不能修改。";
    const std::string english =
        "Tesmar Notice | The company database " + path +
        " is a read-only file: it can be browsed, searched, printed and exported, but not changed.";
    struct Case {
        const char* language;
        std::int16_t mode;
        std::int32_t right;
        std::string box;  // "" when the command may go on
    };
    const Case cases[] = {
        {"CHS", showedit, kRightAdd, chinese},    {"CHS", showedit, kRightDelete, chinese},
        {"CHS", showedit, kRightModify, chinese}, {"CHS", showedit, kRightAudit, chinese},
        {"ENG", showedit, kRightAdd, english},    {"CHS", showedit, kRightPrint, ""},
        {"CHS", ShowSelect, kRightModify, ""},
    };
    std::string expected;
    for (const Case& c : cases) expected += c.box + "\n";

    const std::string seen = test::RunUnprivileged([&] {
        test::ScopedSession session(path, demo::kAdminUserId);
        InitSessionProps(*ctx_, GetPropsString());
        ctx_->g_Connection = std::make_shared<AppConnection>();
        std::string out;
        for (const Case& c : cases) {
            test::LanguageScope language(c.language);
            ctx_->g_ShowMode = c.mode;
            ui->ClearRecords();
            const bool granted = CheckFunctionRight(*ctx_, c.right);
            for (const auto& box : ui->MessageBoxes()) out += box.title + " | " + box.text;
            out +=
                granted == c.box.empty() ? "\n" : " (granted: " + std::to_string(granted) + ")\n";
        }
        ctx_->g_Connection.reset();
        return out;
    });
    EXPECT_EQ(seen, expected);
}

}  // namespace
}  // namespace orva
