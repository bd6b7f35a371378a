// Session string parsing, session and login properties, the current user.
#include "session/session.h"

#include "entry_fixture.h"
#include "orvasaleprice/com_error.h"
#include "session/module_context.h"
#include "support/com_error_of.h"

namespace orva {
namespace {

using SessionTest = EntryTest;

TEST_F(SessionTest, PropertiesAreParsedWithBracesTrimmingAndAnyKeyCase) {
    EXPECT_TRUE(InitSessionProps(*ctx_, " SubID = ar ;LANGUAGE=CHS;K={a;b=c} ; X=1"));
    EXPECT_EQ(ctx_->g_PropsString, " SubID = ar ;LANGUAGE=CHS;K={a;b=c} ; X=1");
    EXPECT_EQ(GetSessionProp(*ctx_, "subid"), "ar");
    EXPECT_EQ(GetSessionProp(*ctx_, "LANGUAGE"), "CHS");
    EXPECT_EQ(GetSessionProp(*ctx_, "k"), "a;b=c");
    EXPECT_EQ(GetSessionProp(*ctx_, "X"), "1");  // no final ";"
    EXPECT_EQ(ctx_->g_SessionProps->Count(), 4);
}

TEST_F(SessionTest, EachShowReplacesTheProperties) {
    InitSessionProps(*ctx_, "SubID=ar");
    InitSessionProps(*ctx_, "LANGUAGE=ENG");
    EXPECT_EQ(GetSessionProp(*ctx_, "LANGUAGE"), "ENG");
    EXPECT_THROW(GetSessionProp(*ctx_, "SubID"), ComError);
}

TEST_F(SessionTest, BadSessionStringsFollowTheParsingRules) {
    // Without "=": the whole text is a key with an empty value.
    InitSessionProps(*ctx_, "justakey");
    EXPECT_EQ(GetSessionProp(*ctx_, "JUSTAKEY"), "");
    // An unclosed brace: the value runs to the end of the text.
    InitSessionProps(*ctx_, "A=1;B={x;y=z");
    EXPECT_EQ(GetSessionProp(*ctx_, "b"), "x;y=z");
    // Empty: no properties, and asking for one raises.
    InitSessionProps(*ctx_, "");
    EXPECT_EQ(ctx_->g_SessionProps->Count(), 0);
    const auto missing = test::ComErrorOf([&] { GetSessionProp(*ctx_, "SubID"); });
    ASSERT_TRUE(missing) << "a missing property must raise";
    EXPECT_EQ(missing->Number(), ComError::kItemNotFound);
    EXPECT_NE(missing->Description().find("SubID"), std::string::npos);
    // Before any Show there is no collection at all: same error, no crash.
    ctx_->g_SessionProps.reset();
    EXPECT_THROW(GetSessionProp(*ctx_, "SubID"), ComError);
}

TEST_F(SessionTest, AKeyWrittenTwiceRaisesTheDuplicateKeyError) {
    EXPECT_EQ(
        test::ComErrorNumber([&] { InitSessionProps(*ctx_, "SubID=ar;LANGUAGE=CHS;subid=ap"); }),
        ComError::kDuplicateKey);
    EXPECT_EQ(GetSessionProp(*ctx_, "SubID"), "ar");  // the pairs before it stay
}

TEST_F(SessionTest, SessionStringComesFromTheSharedPropertyOfThisProcess) {
    StoreSession("SubID=ar;LANGUAGE=CHS");
    EXPECT_EQ(GetPropsString(), "SubID=ar;LANGUAGE=CHS");
    ShareProps().SetProperty(ShareProps::CurrentProcessId() + 1, "PropsString", "other");
    EXPECT_EQ(GetPropsString(), "SubID=ar;LANGUAGE=CHS");
}

TEST_F(SessionTest, LoginPropertyMatchesAnywhereAndKeepsTheRawValue) {
    StoreSession("SubID=ar;LANGUAGE=CHS");
    EXPECT_EQ(GetLoginProp(*ctx_, "language"), "CHS");
    EXPECT_EQ(GetLoginProp(*ctx_, "Missing"), "");
    // Inside a longer key: the first occurrence wins.
    StoreSession("XLANGUAGE=ENG;LANGUAGE=CHS");
    EXPECT_EQ(GetLoginProp(*ctx_, "LANGUAGE"), "ENG");
    // Not trimmed, braces not interpreted, last pair without ";".
    StoreSession("A=1;K={a;b}; LANGUAGE= CHT ");
    EXPECT_EQ(GetLoginProp(*ctx_, "LANGUAGE"), " CHT ");
    EXPECT_EQ(GetLoginProp(*ctx_, "K"), "{a");
    StoreSession("");
    EXPECT_EQ(GetLoginProp(*ctx_, "LANGUAGE"), "");
}

TEST_F(SessionTest, CurrentUserComesFromTheSessionAndBadIdsRaiseClearly) {
    StoreSession("UserID=16394;LANGUAGE=CHS");
    EXPECT_EQ(GetCurUserID(*ctx_), 16394);

    StoreSession("UserID=zhang;LANGUAGE=CHS");
    const auto notANumber = test::ComErrorOf([&] { GetCurUserID(*ctx_); });
    ASSERT_TRUE(notANumber) << "a user ID that is not a number must raise";
    EXPECT_EQ(notANumber->Number(), ComError::kTypeMismatch);
    EXPECT_NE(notANumber->Description().find("zhang"), std::string::npos);
    StoreSession("LANGUAGE=CHS");
    EXPECT_THROW(GetCurUserID(*ctx_), ComError);
    StoreSession("UserID=70000");  // beyond 16 bits
    EXPECT_EQ(test::ComErrorNumber([&] { GetCurUserID(*ctx_); }), ComError::kOverflow);
}

TEST_F(SessionTest, NullToValueReplacesOnlyNull) {
    EXPECT_EQ(NullToValue(*ctx_, Variant(), Variant("")), Variant(""));
    EXPECT_EQ(NullToValue(*ctx_, Variant(), Variant(0)), Variant(0));
    EXPECT_EQ(NullToValue(*ctx_, Variant(0.5), Variant(0)), Variant(0.5));
    EXPECT_EQ(NullToValue(*ctx_, Variant(""), Variant("x")), Variant(""));
    EXPECT_EQ(GetUtility(*ctx_), ctx_->g_Utility);  // created once, kept
}

TEST_F(SessionTest, WarningAndAssistantReachTheUser) {
    StoreSession("LANGUAGE=CHS");
    ShowWarning(*ctx_, "价格有误");
    ShowAssistant("请稍候");
    ASSERT_EQ(ui->MessageBoxes().size(), 1u);
    auto& box = ui->MessageBoxes()[0];
    EXPECT_EQ(box.text, "价格有误");
    EXPECT_EQ(box.title, "Tesmar提示");
    EXPECT_EQ(box.icon, MsgIcon::kExclamation);
    EXPECT_EQ(box.buttons, MsgButtons::kOK);
    ASSERT_EQ(ui->AssistantNotices().size(), 1u);
    EXPECT_EQ(ui->AssistantNotices()[0].description, "请稍候");
    EXPECT_EQ(ui->AssistantNotices()[0].mode, 0);
}

// A context given a user interface of its own (a host showing two instances
// in two places) shows the module's messages there, not in the host's.
TEST_F(SessionTest, AContextWithItsOwnUserInterfaceShowsItsMessagesThere) {
    StoreSession("LANGUAGE=CHS");
    auto own = std::make_shared<ScriptedUi>();
    ctx_->ui = own;
    ShowWarning(*ctx_, "价格有误");
    ASSERT_EQ(own->MessageBoxes().size(), 1u);
    EXPECT_EQ(own->MessageBoxes()[0].text, "价格有误");
    EXPECT_TRUE(ui->MessageBoxes().empty());
}

}  // namespace
}  // namespace orva
