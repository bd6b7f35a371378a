// The message dialog and message boxes as the module's callers use them,
// through the scripted user every test of the module relies on.
#include "entry_fixture.h"

namespace orva {
namespace {

using UserInterfaceTest = EntryTest;

TEST_F(UserInterfaceTest, MessageDialogCarriesItsContentAndTheAnswer) {
    auto notice = CurrentUi().CreateMessageDialog();
    notice->Title("提示");
    notice->AddDetail("保存数据失败。");
    notice->AddDetail("");
    notice->AddDetail("disk full");
    notice->Show(MessageDialog::kNotice, "", -1);

    ui->AnswerDialog(1);
    auto question = CurrentUi().CreateMessageDialog();
    question->Headline("是否继续保存？");
    question->Show(MessageDialog::kQuestion);
    EXPECT_NE(question->Result(), 0);

    auto unanswered = CurrentUi().CreateMessageDialog();
    unanswered->Show(MessageDialog::kQuestion);
    EXPECT_EQ(unanswered->Result(), 0);

    ASSERT_EQ(ui->Dialogs().size(), 3u);
    const MessageDialogContent& first = ui->Dialogs()[0].content;
    EXPECT_EQ(first.title, "提示");
    EXPECT_EQ(first.headline, "");
    EXPECT_EQ(first.details, (std::vector<std::string>{"保存数据失败。", "", "disk full"}));
    EXPECT_EQ(first.kind, 0);
    EXPECT_EQ(first.helpContext, -1);
    EXPECT_EQ(ui->Dialogs()[1].content.kind, 1);
    EXPECT_EQ(ui->UnansweredQuestions(), 1);
}

TEST_F(UserInterfaceTest, MessageBoxesAnswerFromTheQueueOrSafely) {
    ui->AnswerMessageBox(MsgResult::kYes);
    EXPECT_EQ(CurrentUi().MessageBox("删除？", MsgButtons::kYesNo, MsgIcon::kQuestion, "T"),
              MsgResult::kYes);
    EXPECT_EQ(CurrentUi().MessageBox("删除？", MsgButtons::kYesNo, MsgIcon::kQuestion, "T"),
              MsgResult::kNo);
    EXPECT_EQ(CurrentUi().MessageBox("好", MsgButtons::kOK, MsgIcon::kNone, ""), MsgResult::kOK);
    EXPECT_EQ(CurrentUi().MessageBox("?", MsgButtons::kCancelTryContinue, MsgIcon::kNone, ""),
              MsgResult::kCancel);
    EXPECT_EQ(ui->UnansweredQuestions(), 2);  // the OK-only box is no question
    ASSERT_EQ(ui->MessageBoxes().size(), 4u);
    EXPECT_EQ(ui->MessageBoxes()[1].answer, MsgResult::kNo);
    EXPECT_EQ(ui->MessageBoxes()[0].icon, MsgIcon::kQuestion);
}

}  // namespace
}  // namespace orva
