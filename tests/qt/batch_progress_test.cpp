// A batch add over a large customer group in the record editor's window, as
// a clerk runs it: the progress window comes up over the editor naming the
// customer being written, Cancel stops the batch, and the closing message
// gives the count of entries written, which stay.
#include <gtest/gtest.h>

#include <sqlite3.h>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include "demo/demo_company.h"
#include "editor/frm_property.h"
#include "engine/user_def_info.h"
#include "host/app_connection.h"
#include "host/db/sqlite/sqlite_functions.h"
#include "host/host_services.h"
#include "qt/controls/qt_text.h"
#include "qt/controls/spread_view.h"
#include "qt/dialogs/modal_window_dialog.h"
#include "qt/dialogs/progress_window.h"
#include "qt/hostapp/qt_host_ui.h"
#include "qt/windows/property_view_registration.h"
#include "qt/windows/property_window.h"
#include "qt_test_app.h"
#include "session/module_context.h"
#include "session/session.h"
#include "support/language_scope.h"
#include "support/scoped_session.h"
#include "support/temp_company.h"
#include "support/test_context.h"

namespace orva::qt {
namespace {

using R = UserDefInfo;
using W = frmProperty;

constexpr int kGroup = 880000;
constexpr int kMembers = 3000;

class BatchProgressTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::App();
        AddLargeGroup();
        RegisterHostServices();
        InitSessionProps(*ctx_, session_.propsString());
        ctx_->g_Connection = std::make_shared<AppConnection>();
        ctx_->g_CategoryByCust = true;
        SetCurrentUi(std::make_shared<QtHostUi>());
        RegisterPropertyView();
        // Shown at once: the delay has a test of its own, and this one must
        // not depend on how fast the machine writes.
        ProgressWindow::SetShowAfter(std::chrono::milliseconds(0));
    }
    void TearDown() override { ProgressWindow::SetShowAfter(std::chrono::milliseconds(500)); }

    // The group "88" of kMembers customers "88.0001" ... beside the demo's.
    void AddLargeGroup() {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(company_.path().c_str(), &db), SQLITE_OK);
        RegisterSqlServerCompat(db);
        const std::string n = std::to_string(kMembers);
        const std::string sql =
            "BEGIN;"
            "INSERT INTO t_Item (FItemID,FItemClassID,FNumber,FShortNumber,FName,FParentID,"
            "FLevel,FDetail) VALUES (880000,1,'88','88','大客户',0,1,0);"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<" +
            n +
            ") INSERT INTO t_Item (FItemID,FItemClassID,FNumber,FShortNumber,FName,FParentID,"
            "FLevel,FDetail) SELECT 880000+i,1,printf('88.%04d',i),printf('88.%04d',i),"
            "'客户'||i,880000,2,1 FROM n;"
            "INSERT INTO t_Organization (FItemID,FNumber,FShortNumber,FName,FParentID) "
            "SELECT FItemID,FNumber,FShortNumber,FName,FParentID FROM t_Item WHERE "
            "FParentID=880000;"
            "COMMIT;";
        char* err = nullptr;
        const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
        const std::string message = err ? err : "";
        sqlite3_free(err);
        sqlite3_close(db);
        ASSERT_EQ(rc, SQLITE_OK) << message;
    }

    long Written() {
        AppConnection db;
        RecordsetPtr rs =
            db.Execute("SELECT COUNT(*) FROM t_CustEntry WHERE FCustID>880000 AND FCustID<=883000");
        return static_cast<long>(rs->Fields(0).Value().ToInteger());
    }

    void Type(QWidget* w, const std::string& text) {
        for (char c : text) QTest::keyClick(w, c);
    }
    QWidget* Focus(PropertyWindow& view) {
        if (!QApplication::activeWindow()) {
            view.window()->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(view.window()));
        }
        QWidget* w = QApplication::focusWidget();
        return w ? w : view.grid();
    }
    void ClickCell(PropertyWindow& view, int row) {
        SpreadView* grid = view.grid();
        const QRect r = grid->visualRect(grid->model()->index(row - 1, R::kColText - 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
    }

    orva::test::TempCompany company_;
    orva::test::ScopedSession session_{company_.path(), demo::kAdminUserId};
    orva::test::TestContext ctx_;
    orva::test::LanguageScope chinese_{"CHS"};
};

TEST_F(BatchProgressTest, ABatchAddOverALargeGroupShowsProgressAndCancelStopsIt) {
    W window{*ctx_};
    window.OperationType(EditorOperation::kBatchAdd);
    window.CustID(kGroup);

    bool sawProgress = false;
    std::string closing;
    test::WhenModal<ModalWindowDialog>([&](ModalWindowDialog& d) {
        auto* view = qobject_cast<PropertyWindow*>(d.Body());
        ASSERT_NE(view, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));

        // The cursor starts on the item's code.
        EXPECT_EQ(view->grid()->currentIndex().row(), R::kRowItemNumber - 1);
        QTest::keyClick(Focus(*view), Qt::Key_F2);
        QTest::keyClick(Focus(*view), Qt::Key_A, Qt::ControlModifier);
        Type(Focus(*view), "03.01.001");
        QTest::keyClick(Focus(*view), Qt::Key_Tab);
        ClickCell(*view, R::kRowPrice);
        Type(Focus(*view), "12");
        QTest::keyClick(Focus(*view), Qt::Key_Tab);

        // The progress window over the editor: the user watches a few
        // members go by, then presses Cancel.
        test::WhenModalWidget(
            [&](QWidget* w) {
                auto* p = qobject_cast<QProgressDialog*>(w);
                if (!p || p->value() < 20)
                    return false;
                sawProgress = true;
                EXPECT_EQ(p->windowTitle(), "批量新增");
                EXPECT_EQ(p->windowModality(), Qt::WindowModal);
                EXPECT_EQ(p->parentWidget(), &d);
                const QString label = p->findChild<QLabel*>()->text();
                EXPECT_TRUE(label.startsWith("88.")) << U(label);
                EXPECT_TRUE(label.contains("(客户")) << U(label);
                const QString bar = p->findChild<QProgressBar*>()->text();
                EXPECT_TRUE(bar.endsWith(" / 3000")) << U(bar);
                QTest::mouseClick(p->findChild<QPushButton*>(), Qt::LeftButton);
                // The closing message comes once the member being written
                // is done.
                test::WhenModal<QMessageBox>([&](QMessageBox& box) {
                    closing = U(box.text());
                    box.accept();
                });
                return true;
            },
            20000);
        QTest::mouseClick(view->toolBar()->widgetForAction(view->Button(W::kBtnSave)),
                          Qt::LeftButton);
        EXPECT_TRUE(window.Visible());
        QTest::mouseClick(view->toolBar()->widgetForAction(view->Button(W::kBtnExit)),
                          Qt::LeftButton);
        if (window.Visible())
            window.Hide();
    });
    // A message nobody answers is a failure, not a hung test.
    QTimer watchdog;
    QWidget* stuck = nullptr;
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && !qobject_cast<ModalWindowDialog*>(modal) &&
            !qobject_cast<QProgressDialog*>(modal) && modal == stuck) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ADD_FAILURE() << "unanswered " << modal->metaObject()->className() << ": "
                          << (box ? U(box->text()) : std::string()) << " item cell: "
                          << window.vaSProperty().GetText(R::kColText, R::kRowItemNumber);
            modal->close();
        }
        stuck = modal;
    });
    watchdog.start(3000);
    window.Show();
    watchdog.stop();
    window.Unload();

    EXPECT_TRUE(sawProgress);
    const long written = Written();
    EXPECT_GT(written, 0);
    EXPECT_LT(written, kMembers);
    EXPECT_EQ(closing, "此次共新增" + std::to_string(written) +
                           "条记录！\n操作已被用户中止：已新增的记录保留，其余成员没有新增。");
}

}  // namespace
}  // namespace orva::qt
