// The browse window and the minimum price dialog in real widgets on the demo
// company, opened through CustFace::Show and worked with the mouse and the
// keyboard as a clerk would.
#include <gtest/gtest.h>

#include <QAction>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSplitter>
#include <QSplitterHandle>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <functional>
#include <memory>

#include "browse/browse_base.h"
#include "browse_window_gui.h"
#include "demo/demo_company.h"
#include "host/app_connection.h"
#include "host/host_services.h"
#include "host/host_ui.h"
#include "host/settings_store.h"
#include "minprice/frm_se_low_price.h"
#include "orvasaleprice/cust_face.h"
#include "qt/controls/ledger_model.h"
#include "qt/controls/ledger_view.h"
#include "qt/controls/menu_bar_binder.h"
#include "qt/controls/qt_text.h"
#include "qt/controls/spread_view.h"
#include "qt/controls/status_bar_binder.h"
#include "qt/controls/toolbar_binder.h"
#include "qt/controls/tree_model.h"
#include "qt/controls/tree_view.h"
#include "qt/dialogs/modal_window_dialog.h"
#include "qt/hostapp/qt_host_ui.h"
#include "qt/windows/browse_window.h"
#include "qt/windows/low_price_window.h"
#include "qt/windows/module_views.h"
#include "qt_test_app.h"
#include "session/module_context.h"
#include "session/session.h"
#include "support/scoped_session.h"
#include "support/temp_company.h"
#include "support/test_context.h"

namespace orva::qt {
namespace {

BrowseWindow& Browse(ModalWindowDialog& d) {
    auto* view = qobject_cast<BrowseWindow*>(d.Body());
    EXPECT_NE(view, nullptr);
    return *view;
}

LowPriceWindow& LowPrice(ModalWindowDialog& d) {
    auto* view = qobject_cast<LowPriceWindow*>(d.Body());
    EXPECT_NE(view, nullptr);
    return *view;
}

class BrowseWindowTest : public test::BrowseWindowGui {
  protected:
    BrowseWindowTest() : BrowseWindowGui("orva-gui-browse", [] {}) {}

    // Reads the company database beside the module's own connection.
    Variant Scalar(const std::string& sql) {
        AppConnection db;
        RecordsetPtr rs = db.Execute(sql);
        return rs->EOF_() ? Variant() : rs->Fields(0).Value();
    }
    // A customer three levels down with at least three price entries, whose
    // entries' items all have a minimum-price header row for it.
    std::int32_t CustomerWithEntries() {
        return static_cast<std::int32_t>(
            Scalar("SELECT TOP 1 o.FItemID FROM t_Organization o INNER JOIN t_Item i ON "
                   "i.FItemID=o.FItemID WHERE i.FLevel=3 AND (SELECT COUNT(*) FROM t_CustEntry e "
                   "INNER JOIN t_ICItem t ON t.FItemID=e.FItemID WHERE e.FCustID=o.FItemID AND "
                   "t.FErpClsID NOT IN (6,8))>=3 ORDER BY o.FNumber")
                .ToInteger());
    }

    // Clicks the tree node with the key (it must be shown).
    static void ClickNode(BrowseWindow& w, const std::string& key) {
        TreeView* tree = w.tree();
        NodeId node = w.logic().tvwBase().Find(key);
        ASSERT_NE(node, kNoNode) << key;
        const QModelIndex index = tree->treeModel()->IndexOf(node);
        tree->scrollTo(index);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(index).center());
    }
    // The centre of a data row of the ledger (row 3 is the first).
    static QPoint RowPoint(BrowseWindow& w, int ledgerRow, int col = 3) {
        LedgerView* ledger = w.ledger();
        const QModelIndex index = ledger->model()->index(LedgerModel::ModelRow(ledgerRow), col - 1);
        ledger->scrollTo(index);
        return ledger->visualRect(index).center();
    }
    static QString Header(BrowseWindow& w, int col) {
        return w.ledger()->model()->headerData(col - 1, Qt::Horizontal).toString();
    }
};

TEST_F(BrowseWindowTest, OpensWithTheTreeAndLedgerAndFollowsClicksUntilClosed) {
    const std::int32_t cust = CustomerWithEntries();
    ASSERT_NE(cust, 0);
    const std::string leaf = "gb" + std::to_string(cust);
    bool ran = false;
    test::WhenWindow("BrowseBase", [&](ModalWindowDialog& d) {
        ran = true;
        BrowseWindow& w = Browse(d);
        BrowseBase& logic = w.logic();
        EXPECT_EQ(d.windowTitle(), "系统基本资料(客户价格管理)");
        EXPECT_GE(d.width(), 900);
        EXPECT_EQ(w.treeTitle()->text(), "按客户分类");

        // The preselected customer: its node selected, its prices in the ledger.
        const int rows = logic.ldgBase().Rows() - 2;
        ASSERT_GE(rows, 3);
        EXPECT_EQ(w.ledger()->model()->rowCount(), rows);
        EXPECT_EQ(Header(w, 2), "物料代码");
        EXPECT_TRUE(w.ledger()->isColumnHidden(0));  // the entry ID
        const QModelIndex selected = w.tree()->currentIndex();
        EXPECT_EQ(TreeModel::NodeOf(selected), logic.tvwBase().Find(leaf));
        EXPECT_TRUE(w.ledgerTitle()->text().endsWith(Q("共计：" + std::to_string(rows) + "条记录")))
            << U(w.ledgerTitle()->text());

        // Clicking the root empties the ledger, with the hourglass while it loads.
        int loadsUnderHourglass = 0;
        Subscription watch = logic.ldgBase().Subscribe([&](const GridChange&) {
            const QCursor* c = QGuiApplication::overrideCursor();
            if (c && c->shape() == Qt::WaitCursor)
                ++loadsUnderHourglass;
        });
        ClickNode(w, "gc0");
        EXPECT_EQ(w.ledger()->model()->rowCount(), 0);
        EXPECT_TRUE(w.ledgerTitle()->text().contains(Q("共计：0条记录")));
        // Back to the customer: its rows again, the timing in the status bar.
        ClickNode(w, leaf);
        EXPECT_EQ(w.ledger()->model()->rowCount(), rows);
        EXPECT_GT(loadsUnderHourglass, 0);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        bool timed = false;
        for (QLabel* panel : w.statusBar()->findChildren<QLabel*>())
            timed = timed || panel->text().startsWith(Q("取数据时间: "));
        EXPECT_TRUE(timed);

        // The splitter: the tree takes the width the bar is released at, but
        // never less than 1680 twips.
        QSplitterHandle* handle = w.splitter()->handle(1);
        const QPoint grip = handle->rect().center();
        QTest::mousePress(handle, Qt::LeftButton, {}, grip);
        QTest::mouseMove(handle, grip + QPoint(60, 0));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, grip + QPoint(60, 0));
        const int dragged = w.splitter()->sizes().at(0);
        EXPECT_NEAR(logic.Layout().TreeWidth(), PixelsToTwips(dragged), 15);
        QTest::mousePress(handle, Qt::LeftButton, {}, grip);
        QTest::mouseMove(handle, grip - QPoint(dragged + 200, 0));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, grip - QPoint(dragged + 200, 0));
        EXPECT_GE(w.splitter()->sizes().at(0), TwipsToPixels(BrowseLayout::kSplitLimit));
        EXPECT_GE(logic.Layout().TreeWidth(), BrowseLayout::kSplitLimit);

        // Esc does not close the main window; the title bar's button does.
        QTest::keyClick(w.tree(), Qt::Key_Escape);
        EXPECT_TRUE(d.isVisible());
        d.close();
    });
    CustFace face;
    face.SelCustID(cust);
    face.Show(showedit);
    EXPECT_TRUE(ran);
    EXPECT_EQ(face.ReturnRecordSet(), nullptr);
    // The window closed itself properly: its settings were written.
    EXPECT_EQ(settings_->Read("OrvaSalePrice", "OrvaCustInfo", "tvwKey101").value_or(""), leaf);
}

// The tree's column fits the rows on screen: a long node text far below
// does not widen it until the tree is scrolled to it.
TEST_F(BrowseWindowTest, TreeColumnFitsTheRowsOnScreen) {
    bool ran = false;
    test::WhenWindow("BrowseBase", [&](ModalWindowDialog& d) {
        ran = true;
        BrowseWindow& w = Browse(d);
        Tree& tree = w.logic().tvwBase();
        TreeView* view = w.tree();
        tree.Expand(tree.Find("gc0"));
        for (int i = 0; i < 200; ++i)
            tree.Add("gc0", "gb" + std::to_string(900000 + i), "X" + std::to_string(i), 3);
        const std::string longText(120, 'W');
        const NodeId last = tree.Add("gc0", "gb999999", longText, 3);
        QCoreApplication::processEvents();
        const int textWidth = view->fontMetrics().horizontalAdvance(Q(longText));
        EXPECT_LT(view->columnWidth(0), textWidth);

        view->scrollTo(view->treeModel()->IndexOf(last));
        QCoreApplication::processEvents();
        EXPECT_GE(view->columnWidth(0), textWidth);
        d.close();
    });
    CustFace face;
    face.Show(showedit);
    EXPECT_TRUE(ran);
}

// At the default size every customer's code and name shows whole, the tree
// taking no more than two fifths of the window; where the user drags the bar
// is where the next start puts it.
TEST_F(BrowseWindowTest, TheTreeFitsTheNamesAtTheDefaultSizeAndKeepsTheSplitter) {
    int dragged = 0;
    test::WhenWindow("BrowseBase", [&](ModalWindowDialog& d) {
        BrowseWindow& w = Browse(d);
        EXPECT_EQ(w.size(), BrowseWindow::kDefaultSize);
        Tree& tree = w.logic().tvwBase();
        TreeView* view = w.tree();
        // Every group opened: each one's children are added after it.
        for (int i = 1; i <= tree.Count(); ++i) {
            const NodeId n = tree.NodeAt(i);
            if (tree.Node(n).key.rfind("gb", 0) != 0)
                tree.UserExpand(n);
        }
        int leaves = 0;
        for (int i = 1; i <= tree.Count(); ++i) {
            const NodeId n = tree.NodeAt(i);
            if (tree.Node(n).key.rfind("gb", 0) != 0)
                continue;
            ++leaves;
            view->scrollTo(view->treeModel()->IndexOf(n));
            QCoreApplication::processEvents();
            EXPECT_EQ(view->horizontalScrollBar()->maximum(), 0) << tree.Node(n).text;
        }
        EXPECT_GT(leaves, 50);
        const int treePane = w.splitter()->sizes().at(0);
        EXPECT_LE(treePane * 5, w.width() * 2) << treePane;

        // The user drags the bar 60 pixels to the left.
        QSplitterHandle* handle = w.splitter()->handle(1);
        const QPoint from = handle->rect().center();
        QTest::mousePress(handle, Qt::LeftButton, {}, from);
        QTest::mouseMove(handle, from - QPoint(60, 0));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, from - QPoint(60, 0));
        dragged = w.splitter()->sizes().at(0);
        EXPECT_LT(dragged, treePane);
        d.close();
    });
    CustFace().Show(showedit);
    int reopened = 0;
    test::WhenWindow("BrowseBase", [&](ModalWindowDialog& d) {
        reopened = Browse(d).splitter()->sizes().at(0);
        d.close();
    });
    CustFace().Show(showedit);
    EXPECT_NEAR(reopened, dragged, 1);
}

TEST_F(BrowseWindowTest, TheViewMenuSwitchesBetweenTheCustomerAndItemTrees) {
    test::WhenWindow("BrowseBase", [&](ModalWindowDialog& d) {
        BrowseWindow& w = Browse(d);
        BrowseBase& logic = w.logic();
        const QString customerRoot = w.tree()->treeModel()->index(0, 0).data().toString();

        ChooseMenu(w, "mnuview", "mnuVBaseICItem");
        EXPECT_TRUE(w.menus()->Action("mnuVBaseICItem")->isChecked());
        EXPECT_FALSE(w.menus()->Action("mnuVBaseSalePrice")->isChecked());
        EXPECT_EQ(w.treeTitle()->text(), "按物料分类");
        EXPECT_EQ(Header(w, 2), "客户代码");
        EXPECT_EQ(logic.ldgBase().Cols(), 17);
        ASSERT_EQ(w.tree()->treeModel()->rowCount(), 1);
        EXPECT_NE(w.tree()->treeModel()->index(0, 0).data().toString(), customerRoot);

        // The item tree's root opens on the item groups.
        const QModelIndex root = w.tree()->treeModel()->IndexOf(logic.tvwBase().Find("gc0"));
        w.tree()->setFocus();
        QTest::keyClick(w.tree(), Qt::Key_Right);
        EXPECT_TRUE(w.tree()->isExpanded(root));
        ASSERT_GT(w.tree()->treeModel()->rowCount(root), 0);
        EXPECT_EQ(logic.tvwBase()
                      .Node(TreeModel::NodeOf(w.tree()->treeModel()->index(0, 0, root)))
                      .key.substr(0, 2),
                  "gi");

        // The toolbar's Customer button goes back.
        QTest::mouseClick(w.toolBar()->widgetForAction(w.toolbarBinder()->Action("Organization")),
                          Qt::LeftButton);
        EXPECT_TRUE(w.menus()->Action("mnuVBaseSalePrice")->isChecked());
        EXPECT_EQ(w.treeTitle()->text(), "按客户分类");
        EXPECT_EQ(Header(w, 2), "物料代码");
        EXPECT_EQ(w.tree()->treeModel()->index(0, 0).data().toString(), customerRoot);

        // The view menu's toggles hide the toolbar's captions and the bars.
        ChooseMenu(w, "mnuview", "mnuViewToolbarLable");
        EXPECT_EQ(w.toolBar()->toolButtonStyle(), Qt::ToolButtonIconOnly);
        ChooseMenu(w, "mnuview", "mnuViewStatusBar");
        EXPECT_FALSE(w.statusBar()->isVisible());
        ChooseMenu(w, "mnuFile", "mnuFileClose");
    });
    CustFace face;
    face.Show(showedit);
    EXPECT_EQ(settings_->Read("OrvaSalePrice", "OrvaCustInfo", "CategoryByCust").value_or(""),
              "True");
}

TEST_F(BrowseWindowTest, MinimumPriceDialogOpensFromTheBrowseWindowAndSavesForAllCustomers) {
    const std::int32_t cust = CustomerWithEntries();
    std::int32_t item = 0;
    bool dialogRan = false;
    test::WhenWindow("BrowseBase", [&](ModalWindowDialog& d) {
        BrowseWindow& w = Browse(d);
        QTest::mouseClick(w.ledger()->viewport(), Qt::LeftButton, {}, RowPoint(w, 3));
        ASSERT_EQ(w.logic().ldgBase().SelRow(), 3);
        item = std::stoi(w.logic().ldgBase().CellText(3, 11));
        const QString nodeText = Q(w.logic().tvwBase().Node(w.logic().tvwBase().Selected()).text);
        const QString currency = Q(w.logic().ldgBase().CellText(3, 13));

        test::WhenWindow("frmSELowPrice", [&](ModalWindowDialog& dlg) {
            dialogRan = true;
            LowPriceWindow& v = LowPrice(dlg);
            EXPECT_EQ(dlg.windowTitle(), "销售最低限价");
            EXPECT_EQ(v.custBox()->text(), nodeText);
            EXPECT_EQ(v.currencyBox()->text(), currency);
            EXPECT_TRUE(v.singleCustOption()->isChecked());
            EXPECT_EQ(QApplication::focusWidget(), v.priceGrid());  // the price first

            // Typing into the currency box changes nothing.
            v.currencyBox()->setFocus();
            QTest::keyClicks(v.currencyBox(), "abc");
            EXPECT_EQ(v.currencyBox()->text(), currency);

            // A new price, for every customer of the item.
            QTest::mouseClick(v.allCustOption(), Qt::LeftButton);
            EXPECT_TRUE(v.allCustOption()->isChecked());
            EXPECT_EQ(v.custBox()->text(), "所有客户");
            SpreadView* grid = v.priceGrid();
            // F2 opens the price cell with its text selected.
            QTest::keyClick(grid, Qt::Key_F2);
            ASSERT_TRUE(grid->Editing());
            QTest::keyClicks(QApplication::focusWidget(), "12.5");
            QTest::mouseClick(v.okButton(), Qt::LeftButton);  // the typing is committed first
        });
        QTest::keyClick(w.ledger(), Qt::Key_H, Qt::ControlModifier);
        EXPECT_TRUE(dialogRan);
        d.close();
    });
    CustFace face;
    face.SelCustID(cust);
    face.Show(showedit);
    ASSERT_TRUE(dialogRan);
    ASSERT_NE(item, 0);
    // The price typed into the open cell and the option clicked reached the
    // dialog's logic (what it then writes is pinned by the module's tests).
    EXPECT_DOUBLE_EQ(
        Scalar("SELECT FSOLowPrc FROM t_ICItem WHERE FItemID=" + std::to_string(item)).ToDouble(),
        12.5);
}

TEST_F(BrowseWindowTest, MinimumPriceDialogCancelWritesNothing) {
    const std::int32_t cust = CustomerWithEntries();
    std::int32_t item = 0;
    double before = 0;
    test::WhenWindow("BrowseBase", [&](ModalWindowDialog& d) {
        BrowseWindow& w = Browse(d);
        QTest::mouseClick(w.ledger()->viewport(), Qt::LeftButton, {}, RowPoint(w, 3));
        item = std::stoi(w.logic().ldgBase().CellText(3, 11));
        before = Scalar("SELECT FSELowPrice FROM t_Cust WHERE FItemID=" + std::to_string(item) +
                        " AND FCustID=" + std::to_string(cust))
                     .ToDouble();
        test::WhenWindow("frmSELowPrice", [&](ModalWindowDialog& dlg) {
            LowPriceWindow& v = LowPrice(dlg);
            SpreadView* grid = v.priceGrid();
            QTest::keyClicks(grid, "9");
            EXPECT_TRUE(grid->Editing());
            QTest::mouseClick(v.allCustOption(), Qt::LeftButton);
            QTest::mouseClick(v.cancelButton(), Qt::LeftButton);
        });
        QTest::mouseClick(w.toolBar()->widgetForAction(w.toolbarBinder()->Action("SELowPrice")),
                          Qt::LeftButton);
        d.close();
    });
    CustFace face;
    face.SelCustID(cust);
    face.Show(showedit);
    ASSERT_NE(item, 0);
    EXPECT_DOUBLE_EQ(Scalar("SELECT FSELowPrice FROM t_Cust WHERE FItemID=" + std::to_string(item) +
                            " AND FCustID=" + std::to_string(cust))
                         .ToDouble(),
                     before);
    EXPECT_FALSE(settings_
                     ->Read(frmSELowPrice::kSettingsApp, frmSELowPrice::kSettingsSection,
                            frmSELowPrice::kSettingsKey)
                     .has_value());
}

TEST(BrowseWindowSize, OpensAtTheDefaultUnlessTheLayoutWasSized) {
    BrowseLayout fresh;
    EXPECT_EQ(BrowseWindow::InitialSize(fresh, 96), BrowseWindow::kDefaultSize);
    BrowseLayout sized;
    sized.SetWindowSize(18000, 10500);
    EXPECT_EQ(BrowseWindow::InitialSize(sized, 96), QSize(1200, 700));
    // Bars and the tree's width do not make a size of their own.
    BrowseLayout barred;
    barred.SetBarHeights(BrowseBase::kToolbarHeight, BrowseBase::kStatusBarHeight);
    barred.SetTreeWidth(4500);
    EXPECT_EQ(BrowseWindow::InitialSize(barred, 96), BrowseWindow::kDefaultSize);
    barred.SetWindowSize(15000, 9000);
    EXPECT_EQ(BrowseWindow::InitialSize(barred, 96), QSize(1000, 600));
}

}  // namespace
}  // namespace orva::qt
