// The host's dialogs in Qt, answered with the mouse and the keyboard.
#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

#include "host/controls/ledger.h"
#include "orvasaleprice/com_error.h"
#include "qt/dialogs/assistant_notice.h"
#include "qt/dialogs/column_visibility_dialog.h"
#include "qt/dialogs/help_page.h"
#include "qt/dialogs/message_dialog_view.h"
#include "qt/dialogs/modal_view_registry.h"
#include "qt/dialogs/modal_window_dialog.h"
#include "qt/dialogs/qt_translations.h"
#include "qt/hostapp/qt_host_ui.h"
#include "qt_test_app.h"
#include "support/language_scope.h"

namespace orva::qt {
namespace {

class HostDialogsTest : public ::testing::Test {
  protected:
    void SetUp() override { test::App(); }
    orva::test::LanguageScope chinese_{"CHS"};
    QtHostUi ui_;
};

QPushButton* ButtonWithText(QWidget& w, const QString& text) {
    for (QPushButton* b : w.findChildren<QPushButton*>()) {
        if (b->text() == text)
            return b;
    }
    return nullptr;
}

TEST_F(HostDialogsTest, MessageDialogQuestionAnsweredYes) {
    auto dialog = ui_.CreateMessageDialog();
    dialog->Title("提示");
    dialog->Headline("价格已经低于销售最低限价，是否继续保存？");
    dialog->AddDetail("客户: C001");
    dialog->AddDetail("");
    dialog->AddDetail("物料: 01.001");
    bool checked = false;
    test::WhenModal<MessageDialogView>([&](MessageDialogView& v) {
        EXPECT_EQ(v.windowTitle(), "提示");
        EXPECT_EQ(v.findChild<QLabel*>("headline")->text(),
                  "价格已经低于销售最低限价，是否继续保存？");
        EXPECT_EQ(v.findChild<QPlainTextEdit*>("details")->toPlainText(),
                  "客户: C001\n\n物料: 01.001");
        EXPECT_EQ(v.OkButton(), nullptr);
        checked = true;
        QTest::mouseClick(v.YesButton(), Qt::LeftButton);
    });
    dialog->Show(MessageDialog::kQuestion);
    EXPECT_TRUE(checked);
    EXPECT_NE(dialog->Result(), 0);
}

TEST_F(HostDialogsTest, MessageDialogEscapeIsNoAndNoticesHaveOneButton) {
    auto question = ui_.CreateMessageDialog();
    question->Headline("是否继续保存？");
    test::WhenModal<MessageDialogView>(
        [](MessageDialogView& v) { QTest::keyClick(&v, Qt::Key_Escape); });
    question->Show(MessageDialog::kQuestion);
    EXPECT_EQ(question->Result(), 0);

    for (std::int32_t kind : {MessageDialog::kNotice, MessageDialog::kConflict}) {
        auto notice = ui_.CreateMessageDialog();
        notice->Headline("保存数据失败。");
        test::WhenModal<MessageDialogView>([](MessageDialogView& v) {
            EXPECT_EQ(v.YesButton(), nullptr);
            EXPECT_EQ(v.windowTitle(), "提示");  // no title given
            ASSERT_NE(v.OkButton(), nullptr);
            QTest::keyClick(&v, Qt::Key_Return);
        });
        notice->Show(kind);
        EXPECT_EQ(notice->Result(), 0);
    }
}

TEST_F(HostDialogsTest, MessageBoxReturnsTheButtonPressed) {
    test::WhenModal<QMessageBox>([](QMessageBox& box) {
        EXPECT_EQ(box.windowTitle(), "Tesmar提示");
        EXPECT_EQ(box.icon(), QMessageBox::Information);
        QTest::mouseClick(ButtonWithText(box, "否(&N)"), Qt::LeftButton);
    });
    EXPECT_EQ(ui_.MessageBox("数据已经改变是否保存?", MsgButtons::kYesNo, MsgIcon::kInformation,
                             "Tesmar提示"),
              MsgResult::kNo);
    // Esc answers with the button that changes nothing.
    test::WhenModal<QMessageBox>([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
    EXPECT_EQ(ui_.MessageBox("?", MsgButtons::kYesNoCancel, MsgIcon::kQuestion, ""),
              MsgResult::kCancel);
}

// A cause in the system's words stays out of the text, behind the box's
// own details button.
TEST_F(HostDialogsTest, AMessageBoxDetailIsShownApartFromTheText) {
    test::WhenModal<QMessageBox>([](QMessageBox& box) {
        EXPECT_EQ(box.text(), "引出组件调用不成功");
        EXPECT_EQ(box.detailedText(), "Cannot create /x/p.csv: No such file or directory");
        EXPECT_EQ(box.windowTitle(), "Tesmar提示");
        QTest::mouseClick(ButtonWithText(box, "确定"), Qt::LeftButton);
    });
    EXPECT_EQ(ui_.DetailedMessageBox("引出组件调用不成功",
                                     "Cannot create /x/p.csv: No such file or directory",
                                     MsgButtons::kOK, MsgIcon::kNone, "Tesmar提示"),
              MsgResult::kOK);
}

TEST_F(HostDialogsTest, DialogsSpeakTheSessionsLanguage) {
    orva::test::LanguageScope english("ENG");
    test::WhenModal<QMessageBox>([](QMessageBox& box) {
        ASSERT_NE(ButtonWithText(box, "&Yes"), nullptr);
        QTest::mouseClick(ButtonWithText(box, "&Yes"), Qt::LeftButton);
    });
    EXPECT_EQ(ui_.MessageBox("Save?", MsgButtons::kYesNo, MsgIcon::kNone, "Notice"),
              MsgResult::kYes);
    auto dialog = ui_.CreateMessageDialog();
    test::WhenModal<MessageDialogView>([](MessageDialogView& v) {
        EXPECT_EQ(v.windowTitle(), "Notice");
        EXPECT_EQ(v.NoButton()->text(), "&No");
        QTest::mouseClick(v.NoButton(), Qt::LeftButton);
    });
    dialog->Show(MessageDialog::kQuestion);
    EXPECT_EQ(dialog->Result(), 0);
}

// A window whose logic hides itself from its own Exit button and refuses the
// title bar's close until told otherwise.
class ExitWindow : public ModalWindow {
  public:
    std::string WindowName() const override { return "TestExitWindow"; }
    void QueryClose() override {
        ++closeRequests;
        if (closeAllowed)
            Hide();
    }
    int closeRequests = 0;
    bool closeAllowed = false;
};

TEST_F(HostDialogsTest, ShowModalRunsTheRegisteredViewUntilTheLogicHides) {
    ModalViewRegistry::Register<ExitWindow>(
        "TestExitWindow", [](ExitWindow& w, QDialog& host) -> QWidget* {
            host.setWindowTitle("退出测试");
            auto* exit = new QPushButton("退出", &host);
            QObject::connect(exit, &QPushButton::clicked, [&w] { w.Hide(); });
            return exit;
        });
    ExitWindow window;
    bool ran = false;
    test::WhenModal<ModalWindowDialog>([&](ModalWindowDialog& d) {
        ran = true;
        EXPECT_TRUE(window.Visible());
        EXPECT_EQ(d.windowTitle(), "退出测试");
        d.close();  // the title bar's close: the logic refuses
        QTest::keyClick(&d, Qt::Key_Escape);
        EXPECT_EQ(window.closeRequests, 2);
        EXPECT_TRUE(d.isVisible());
        QTest::mouseClick(qobject_cast<QPushButton*>(d.Body()), Qt::LeftButton);
    });
    ui_.ShowModal(window);
    EXPECT_TRUE(ran);
    EXPECT_FALSE(window.Visible());

    // Closing is up to the logic: once it agrees, the close button ends the run.
    window.closeAllowed = true;
    test::WhenModal<ModalWindowDialog>([](ModalWindowDialog& d) { d.close(); });
    ui_.ShowModal(window);
    EXPECT_FALSE(window.Visible());
    ModalViewRegistry::Unregister("TestExitWindow");

    // No view for the window: an error, and the window is not left shown.
    EXPECT_THROW(ui_.ShowModal(window), ComError);
    EXPECT_FALSE(window.Visible());
}

TEST_F(HostDialogsTest, ColumnVisibilityDialogHidesTheUntickedColumns) {
    Ledger ledger;
    ledger.SetCols(5);
    ledger.SetRows(2);
    ledger.SetRowText(1, "|代码|名称|内码|最低限价|");
    ledger.SetRowText(2, "||||金额|");
    ledger.SetColHidden(1, true);
    ledger.SetColHidden(4, true);
    ledger.SetColWidth(4, 0);  // kept hidden by the window: not offered
    test::WhenModal<ColumnVisibilityDialog>([](ColumnVisibilityDialog& d) {
        QListWidget* list = d.List();
        QStringList titles;
        for (int i = 0; i < list->count(); ++i) titles << list->item(i)->text();
        EXPECT_EQ(titles, (QStringList{"代码", "名称", "最低限价 - 金额"}));
        list->item(1)->setCheckState(Qt::Unchecked);
        d.accept();
    });
    EXPECT_TRUE(ShowColumnVisibilityDialog(ledger, nullptr));
    EXPECT_TRUE(ledger.ColHidden(3));
    EXPECT_FALSE(ledger.ColHidden(2));
    EXPECT_TRUE(ledger.ColHidden(1));
}

TEST_F(HostDialogsTest, HelpOpensTheModulesPage) {
    EXPECT_FALSE(FindHelpFile("OrvaSalePrice").isEmpty());
    ui_.ShowHelp(0, "OrvaSalePrice");
    auto* browser = []() -> QTextBrowser* {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* b = w->findChild<QTextBrowser*>("helpBrowser"); b && w->isVisible())
                return b;
        }
        return nullptr;
    }();
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->toPlainText().contains("客户价格管理"));
    EXPECT_TRUE(browser->toPlainText().contains("Customer Sale Prices"));
    browser->window()->close();
}

TEST_F(HostDialogsTest, AssistantShowsANoticeWithoutWaiting) {
    ui_.ShowAssistant("您没有增加价格资料的权限。", 0);
    AssistantNotice* notice = AssistantNotice::Current();
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->Text(), "您没有增加价格资料的权限。");
    EXPECT_TRUE(notice->isVisible());
    ui_.ShowAssistant("第二条", 0);  // replaces the first
    QApplication::processEvents();
    EXPECT_EQ(AssistantNotice::Current()->Text(), "第二条");
    AssistantNotice::Current()->close();
}

// Qt's own dialog texts follow the session: Chinese in a CHS session, back to
// English when the session is English again.
TEST_F(HostDialogsTest, QtsOwnTextsFollowTheSessionLanguage) {
    const QString source = QStringLiteral("Look in:");
    ASSERT_TRUE(InstallQtTranslations("CHS"))
        << "Qt's Chinese translations are missing (qt6-translations-l10n)";
    EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), source);
    ASSERT_TRUE(InstallQtTranslations("ENG"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), source);
}

}  // namespace
}  // namespace orva::qt
