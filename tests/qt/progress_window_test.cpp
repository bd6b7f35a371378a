// The progress window: shown only after its delay, "n / N" and the step's
// text, and Cancel, Esc and the title bar's close each stopping the work.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <memory>

#include "qt/dialogs/progress_window.h"
#include "qt_test_app.h"
#include "support/language_scope.h"

namespace orva::qt {
namespace {

class ProgressWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::App();
        owner_ = std::make_unique<QWidget>();
        owner_->resize(400, 300);
        owner_->show();
        owner_->activateWindow();
        QApplication::setActiveWindow(owner_.get());
        ProgressWindow::SetShowAfter(std::chrono::milliseconds(0));
    }
    void TearDown() override { ProgressWindow::SetShowAfter(std::chrono::milliseconds(500)); }

    QProgressDialog* Shown() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* d = qobject_cast<QProgressDialog*>(w);
            if (d && d->isVisible())
                return d;
        }
        return nullptr;
    }

    orva::test::LanguageScope english_{"ENG"};
    std::unique_ptr<QWidget> owner_;
};

TEST_F(ProgressWindowTest, CancelEscAndCloseEachStopTheWork) {
    const std::vector<std::pair<const char*, std::function<void(QProgressDialog&)>>> ways = {
        {"Cancel button",
         [](QProgressDialog& d) {
             QPushButton* cancel = d.findChild<QPushButton*>();
             ASSERT_NE(cancel, nullptr);
             EXPECT_EQ(cancel->text(), "Cancel");
             QTest::mouseClick(cancel, Qt::LeftButton);
         }},
        {"Esc", [](QProgressDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }},
        {"close", [](QProgressDialog& d) { d.close(); }},
    };
    for (const auto& [name, press] : ways) {
        ProgressWindow progress;
        progress.Begin("批量新增", 10, "", true);
        progress.Step(0, "C001 Alpha");
        progress.Step(1, "C002 Beta");
        QProgressDialog* dialog = Shown();
        ASSERT_NE(dialog, nullptr) << name;
        EXPECT_EQ(dialog->windowModality(), Qt::WindowModal);
        EXPECT_EQ(dialog->windowTitle(), "批量新增");
        EXPECT_EQ(dialog->findChild<QLabel*>()->text(),
                  "C001 Alpha");  // painted at most every 40 ms
        EXPECT_EQ(dialog->findChild<QProgressBar*>()->text(), "1 / 10");
        EXPECT_FALSE(progress.Cancelled());
        press(*dialog);
        EXPECT_TRUE(progress.Cancelled()) << name;
        EXPECT_EQ(Shown(), nullptr) << name << ": the window goes at once";
        // Pressed again, or further steps: it stays cancelled and hidden.
        progress.Step(9, "C010 Last");
        EXPECT_TRUE(progress.Cancelled());
        EXPECT_EQ(Shown(), nullptr);
        progress.End();
    }
}

// Work that writes at its end reports every step done before it writes: a
// Cancel pressed during the last step, still waiting in the event queue, is
// taken then, however soon after the previous paint.
TEST_F(ProgressWindowTest, TheReportOfEveryStepDoneTakesAPendingCancel) {
    ProgressWindow progress;
    progress.Begin("批量修改", 3, "", true);
    progress.Step(0, "C001");
    QProgressDialog* dialog = Shown();
    ASSERT_NE(dialog, nullptr);
    progress.Step(1, "C002");
    progress.Step(2, "C003");
    QCoreApplication::postEvent(dialog,
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    EXPECT_FALSE(progress.Cancelled());
    progress.Step(3, "");
    EXPECT_TRUE(progress.Cancelled());
    progress.End();
}

TEST_F(ProgressWindowTest, AppearsOnlyAfterItsDelayAndNotAfterItsEnd) {
    ProgressWindow::SetShowAfter(std::chrono::milliseconds(300));
    ProgressWindow progress;
    QElapsedTimer sinceBegin;
    sinceBegin.start();
    progress.Begin("批量修改", 1000, "", true);
    progress.Step(0, "first");
    EXPECT_EQ(Shown(), nullptr);
    // The last step is reported until the window appears, within a bound.
    do {
        QTest::qWait(10);
        progress.Step(999, "last");
    } while (Shown() == nullptr && sinceBegin.elapsed() < 5000);
    EXPECT_GE(sinceBegin.elapsed(), 300);
    QProgressDialog* dialog = Shown();
    ASSERT_NE(dialog, nullptr);
    // The last step is shown as such, and the bar never reaches its maximum
    // while work remains (where QProgressDialog would reset itself).
    EXPECT_EQ(dialog->findChild<QProgressBar*>()->text(), "1000 / 1000");
    EXPECT_LT(dialog->value(), dialog->maximum());
    EXPECT_EQ(dialog->findChild<QLabel*>()->text(), "last");
    progress.End();
    EXPECT_EQ(Shown(), nullptr);
    EXPECT_FALSE(progress.Cancelled());
}

TEST_F(ProgressWindowTest, WorkThatCannotBeStoppedOffersNoCancel) {
    ProgressWindow progress;
    progress.Begin("客户", 0, "", false);
    progress.Step(5, "05");
    QProgressDialog* dialog = Shown();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->findChild<QPushButton*>(), nullptr);
    // Neither Esc nor the title bar's close takes the window away.
    QTest::keyClick(dialog, Qt::Key_Escape);
    dialog->close();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(progress.Cancelled());
    progress.End();
    EXPECT_EQ(Shown(), nullptr);
}

}  // namespace
}  // namespace orva::qt
