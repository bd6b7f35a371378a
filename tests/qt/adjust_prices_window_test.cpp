// The adjustment dialog's window as a clerk uses it: a percentage typed and
// previewed, a refused input leaving the list empty, and a rise by an amount
// written as new entries from a day.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include "browse/frm_adjust_prices.h"
#include "demo/demo_company.h"
#include "host/app_connection.h"
#include "host/host_services.h"
#include "qt/controls/qt_text.h"
#include "qt/windows/adjust_prices_window.h"
#include "qt_test_app.h"
#include "session/module_context.h"
#include "session/session.h"
#include "support/scoped_session.h"
#include "support/scripted_ui.h"
#include "support/temp_company.h"
#include "support/test_context.h"

namespace orva::qt {
namespace {

class AdjustPricesWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::App();
        RegisterHostServices();
        InitSessionProps(*ctx_, session_.propsString());
        ctx_->g_Connection = std::make_shared<AppConnection>();
        ctx_->g_CategoryByCust = true;
    }
    std::int64_t Count(const std::string& sql) {
        RecordsetPtr rs = ctx_->g_Connection->Execute(sql);
        return rs->EOF_() ? 0 : rs->Fields(0).Value().ToInteger();
    }

    orva::test::TempCompany company_;
    orva::test::ScopedSession session_{company_.path(), demo::kAdminUserId};
    orva::test::TestContext ctx_;
    ScriptedUiScope ui_;
};

TEST_F(AdjustPricesWindowTest, TypedPreviewedRefusedAndWrittenFromADay) {
    // The customer with the most unaudited entries in force today.
    const std::string today = Date::Today().ToText();
    const std::string inForce = " FROM t_CustEntry WHERE FUsed=0 AND FQuoteTime<'" + today +
                                "' AND FExpireDate>'" + today + "'";
    const auto cust = static_cast<std::int32_t>(
        Count("SELECT TOP 1 FCustID" + inForce + " GROUP BY FCustID ORDER BY COUNT(*) DESC"));
    ASSERT_NE(cust, 0);
    const std::int64_t open =
        Count("SELECT COUNT(*)" + inForce + " AND FCustID=" + std::to_string(cust));
    const std::int64_t before =
        Count("SELECT COUNT(*) FROM t_CustEntry WHERE FCustID=" + std::to_string(cust));

    frmAdjustPrices logic(*ctx_, false, {TreeNodeKey::kLeaf, cust}, "客户");
    logic.Load();
    AdjustPricesWindow w(logic);
    w.show();

    QTest::keyClicks(w.valueBox(), QStringLiteral("5"));
    QTest::mouseClick(w.previewButton(), Qt::LeftButton);
    ASSERT_GT(w.previewList()->rowCount(), 0);
    EXPECT_EQ(static_cast<std::size_t>(w.previewList()->rowCount()), logic.Plan().rows.size());
    EXPECT_EQ(U(w.countsLabel()->text()), logic.CountsText());
    EXPECT_EQ(logic.Plan().ToWrite(), static_cast<std::size_t>(open));

    w.valueBox()->clear();
    QTest::keyClicks(w.valueBox(), QStringLiteral("-100"));
    QTest::mouseClick(w.previewButton(), Qt::LeftButton);
    EXPECT_EQ(w.previewList()->rowCount(), 0);
    ASSERT_FALSE(ui_->MessageBoxTexts().empty());
    EXPECT_EQ(ui_->MessageBoxTexts().back(), "调整百分比必须大于-100%。");

    // A rise of 1 written as new entries from tomorrow.
    w.findChildren<QRadioButton*>().at(1)->click();  // by amount
    w.valueBox()->clear();
    QTest::keyClicks(w.valueBox(), QStringLiteral("1"));
    w.newFromDayOption()->click();
    const QList<QDateEdit*> days = w.findChildren<QDateEdit*>();
    ASSERT_EQ(days.size(), 2);
    days.at(1)->setDate(QDate::currentDate().addDays(1));
    ui_->AnswerMessageBox(MsgResult::kYes);
    QTest::mouseClick(w.okButton(), Qt::LeftButton);
    // Entries below their floor are asked about (the demo company has the
    // option on); the scripted clerk answers No to those.
    const AdjustResult& result = logic.Result();
    EXPECT_EQ(result.written + static_cast<std::size_t>(ui_->UnansweredQuestions()),
              static_cast<std::size_t>(open));
    EXPECT_GT(result.written, 0u);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM t_CustEntry WHERE FCustID=" + std::to_string(cust)),
              before + static_cast<std::int64_t>(result.written));
}

}  // namespace
}  // namespace orva::qt
