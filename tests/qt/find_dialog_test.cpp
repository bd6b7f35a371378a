// The filter dialog in real widgets over the browse window: F5 on a
// customer's ledger, a criterion chosen and typed with the keyboard, Enter,
// and the ledger shows the matching rows only.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QStatusBar>
#include <QTest>

#include "browse/browse_base.h"
#include "browse_window_gui.h"
#include "demo/demo_company.h"
#include "host/app_connection.h"
#include "host/host_services.h"
#include "host/settings_store.h"
#include "orvasaleprice/cust_face.h"
#include "qt/controls/ledger_view.h"
#include "qt/controls/qt_text.h"
#include "qt/dialogs/modal_window_dialog.h"
#include "qt/hostapp/qt_host_ui.h"
#include "qt/windows/browse_window.h"
#include "qt/windows/find_dialog_view.h"
#include "qt/windows/module_views.h"
#include "qt_test_app.h"
#include "session/module_context.h"
#include "support/scoped_session.h"
#include "support/temp_company.h"
#include "support/test_context.h"

namespace orva::qt {
namespace {

class FindDialogTest : public test::BrowseWindowGui {
  protected:
    FindDialogTest() : BrowseWindowGui("orva-gui-find", [] {}) {}
    std::int64_t Count(const std::string& sql) {
        AppConnection db;
        return db.Execute(sql)->Fields(0).Value().ToInteger();
    }
    static void Keys(QWidget* w, Qt::Key key, int times) {
        w->setFocus();
        for (int i = 0; i < times; ++i) QTest::keyClick(w, key);
        QCoreApplication::processEvents();  // the dialog rebuilds its rows
    }
};

TEST_F(FindDialogTest, F5FiltersTheLedgerByACriterionTypedWithKeys) {
    const std::int32_t cust = 1021;
    const std::int64_t all = Count(
        "SELECT COUNT(*) FROM t_CustEntry e INNER JOIN t_ICItem i ON i.FItemID=e.FItemID WHERE "
        "e.FCustID=1021 AND i.FErpClsID NOT IN (6,8)");
    const std::int64_t cheap = Count(
        "SELECT COUNT(*) FROM t_CustEntry e INNER JOIN t_ICItem i ON i.FItemID=e.FItemID WHERE "
        "e.FCustID=1021 AND e.FPrice<50 AND i.FErpClsID NOT IN (6,8)");
    ASSERT_GT(cheap, 0);
    ASSERT_LT(cheap, all);
    bool filtered = false;
    test::WhenWindow("BrowseBase", [&](ModalWindowDialog& d) {
        auto* w = qobject_cast<BrowseWindow*>(d.Body());
        ASSERT_NE(w, nullptr);
        ASSERT_EQ(w->ledger()->model()->rowCount(), all);
        test::WhenWindow("FFSDialog", [&](ModalWindowDialog& dlg) {
            auto* v = qobject_cast<FindDialogView*>(dlg.Body());
            ASSERT_NE(v, nullptr);
            EXPECT_EQ(dlg.windowTitle(), "过滤");
            // 物料代码, 物料名称, 规格型号, 计量单位, 币别, 报价: five down.
            Keys(v->RowWidget(0, 0), Qt::Key_Down, 5);
            ASSERT_EQ(qobject_cast<QComboBox*>(v->RowWidget(0, 0))->currentText(), "报价");
            // =, <>, <: two down.
            Keys(v->RowWidget(0, 1), Qt::Key_Down, 2);
            ASSERT_EQ(qobject_cast<QComboBox*>(v->RowWidget(0, 1))->currentText(), "<");
            QWidget* value = v->RowWidget(0, 2);
            ASSERT_NE(qobject_cast<QLineEdit*>(value), nullptr);
            // A value that is no number is refused in the dialog.
            value->setFocus();
            QTest::keyClicks(value, "5O");
            QTest::keyClick(value, Qt::Key_Return);
            QCoreApplication::processEvents();
            EXPECT_TRUE(v->messageLine()->text().contains(Q("不是有效的数值")))
                << U(v->messageLine()->text());
            EXPECT_TRUE(dlg.isVisible());
            value = v->RowWidget(0, 2);  // rebuilt with the message, the focus kept
            EXPECT_EQ(QApplication::focusWidget(), value);
            QTest::keyClick(value, Qt::Key_Backspace);
            QTest::keyClicks(value, "0");
            QTest::keyClick(value, Qt::Key_Return);
        });
        QTest::keyClick(w->ledger(), Qt::Key_F5);
        filtered = true;
        EXPECT_EQ(w->ledger()->model()->rowCount(), cheap);
        for (int r = 3; r < cheap + 3; ++r)
            EXPECT_LT(std::stod(w->logic().ldgBase().CellText(r, 8)), 50);
        d.close();
    });
    CustFace face;
    face.SelCustID(cust);
    face.Show(showedit);
    EXPECT_TRUE(filtered);
}

// The user asks for the prices below 50 (the dialog's rows set directly).
void PriceBelow50() {
    test::WhenWindow("FFSDialog", [](ModalWindowDialog& dlg) {
        auto* v = qobject_cast<FindDialogView*>(dlg.Body());
        ASSERT_NE(v, nullptr);
        FindDialog& f = v->logic();
        for (std::size_t i = 0; i < f.Fields().size(); ++i) {
            if (f.Fields()[i].column == "FPrice")
                f.SetField(0, static_cast<int>(i));
        }
        f.SetOperator(0, FindOp::kLess);
        f.SetValue(0, "50");
        f.Run();
    });
}

// F5 shows its note in the status bar; after the switch to the item tree
// the note is gone and F5 and F3 on the root find nothing to show.
TEST_F(FindDialogTest, AfterATreeSwitchTheRootHasNothingToFilterOrFind) {
    bool done = false;
    test::WhenWindow("BrowseBase", [&](ModalWindowDialog& d) {
        auto* w = qobject_cast<BrowseWindow*>(d.Body());
        ASSERT_NE(w, nullptr);
        // A closed menu or dialog leaves no active window on the offscreen
        // platform, and keys reach the active window only.
        auto press = [&](Qt::Key key) {
            QApplication::setActiveWindow(&d);
            QTest::keyClick(w->ledger(), key);
        };
        const int all = w->ledger()->model()->rowCount();
        ASSERT_GT(all, 3);
        auto* note = w->statusBar()->findChild<QLabel*>("FilterNote");
        ASSERT_NE(note, nullptr);
        EXPECT_FALSE(note->isVisibleTo(w->statusBar()));

        PriceBelow50();
        press(Qt::Key_F5);
        const int cheap = w->ledger()->model()->rowCount();
        ASSERT_LT(cheap, all);
        EXPECT_TRUE(note->isVisibleTo(w->statusBar()));
        EXPECT_EQ(U(note->text()),
                  "过滤后显示记录数: " + std::to_string(cheap) + " / " + std::to_string(all));

        ChooseMenu(*w, "mnuview", "mnuVBaseICItem");
        EXPECT_EQ(w->ledger()->model()->rowCount(), 0);
        EXPECT_FALSE(note->isVisibleTo(w->statusBar()));
        PriceBelow50();
        press(Qt::Key_F5);
        EXPECT_EQ(w->ledger()->model()->rowCount(), 0);
        EXPECT_FALSE(note->isVisibleTo(w->statusBar()));

        PriceBelow50();
        QString text;
        test::WhenModal<QMessageBox>([&](QMessageBox& box) {
            text = box.text();
            EXPECT_EQ(box.icon(), QMessageBox::NoIcon);
            QTest::keyClick(&box, Qt::Key_Escape);
        });
        press(Qt::Key_F3);
        EXPECT_EQ(U(text), "搜索完毕，没有搜索到匹配记录。");
        EXPECT_EQ(w->ledger()->model()->rowCount(), 0);
        done = true;
        d.close();
    });
    CustFace face;
    face.SelCustID(1021);
    face.Show(showedit);
    EXPECT_TRUE(done);
}

}  // namespace
}  // namespace orva::qt
