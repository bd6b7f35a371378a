// The real browse window opened through CustFace::Show on a demo company,
// for GUI tests of its commands: a fixture that sets up the session, the Qt
// host user interface and the components a test registers, and helpers that
// act in the window as a clerk does (menus clicked with the mouse).
#pragma once

#include <gtest/gtest.h>

#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "demo/demo_company.h"
#include "host/app_connection.h"
#include "host/host_services.h"
#include "host/settings_store.h"
#include "orvasaleprice/cust_face.h"
#include "qt/controls/menu_bar_binder.h"
#include "qt/dialogs/modal_window_dialog.h"
#include "qt/hostapp/qt_host_ui.h"
#include "qt/windows/browse_window.h"
#include "qt/windows/module_views.h"
#include "qt_test_app.h"
#include "session/module_context.h"
#include "support/scoped_session.h"
#include "support/temp_company.h"
#include "support/test_context.h"

namespace orva::qt::test {

class BrowseWindowGui : public ::testing::Test {
  protected:
    // `tempDirName`: the prefix of the folder a test writes its files to.
    // `registerComponents`: the host components the commands under test create.
    BrowseWindowGui(std::string tempDirName, std::function<void()> registerComponents)
        : tempDirName_(std::move(tempDirName)),
          registerComponents_(std::move(registerComponents)) {}

    void SetUp() override {
        App();
        RegisterHostServices();
        ctx_->g_CategoryByCust = true;
        settings_ = std::make_shared<MemorySettingsStore>();
        SetCurrentSettings(settings_);
        SetCurrentUi(std::make_shared<QtHostUi>());
        RegisterBrowseViews();
        registerComponents_();
        session_ = std::make_unique<orva::test::ScopedSession>(company_.path(), demo::kAdminUserId,
                                                               "ic", "CHS");
        dir_ = orva::test::MakeTempDir(tempDirName_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // The first customer with at least three price entries.
    std::int32_t Customer() {
        AppConnection db;
        return static_cast<std::int32_t>(
            db.Execute("SELECT TOP 1 e.FCustID FROM t_CustEntry e GROUP BY e.FCustID "
                       "HAVING COUNT(*)>=3 ORDER BY e.FCustID")
                ->Fields(0)
                .Value()
                .ToInteger());
    }
    // Runs `act` in the browse window opened on that customer, then closes it.
    void InBrowseWindow(std::function<void(BrowseWindow&)> act) {
        bool ran = false;
        WhenWindow("BrowseBase", [&](ModalWindowDialog& d) {
            ran = true;
            act(*qobject_cast<BrowseWindow*>(d.Body()));
            d.close();
        });
        CustFace face;
        face.SelCustID(Customer());
        face.Show(showedit);
        EXPECT_TRUE(ran);
    }
    // Opens the menu `menu` with the mouse and clicks its item `item`.
    static void ChooseMenu(BrowseWindow& w, const std::string& menu, const std::string& item) {
        QAction* top = w.menus()->Action(menu);
        ASSERT_NE(top, nullptr) << menu;
        QTest::mouseClick(w.menuBar(), Qt::LeftButton, {},
                          w.menuBar()->actionGeometry(top).center());
        QMenu* popup = w.menus()->Menu(menu);
        ASSERT_NE(popup, nullptr) << menu;
        ASSERT_TRUE(QTest::qWaitFor([&] { return popup->isVisible(); }));
        QAction* action = w.menus()->Action(item);
        ASSERT_NE(action, nullptr) << item;
        ASSERT_TRUE(action->isEnabled()) << item;
        QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(action).center());
    }

    orva::test::TempCompany company_;
    std::unique_ptr<orva::test::ScopedSession> session_;
    std::shared_ptr<MemorySettingsStore> settings_;
    std::string dir_;
    // Shared: the tests show the window through CustFace(), as a host does.
    orva::test::TestContext ctx_{orva::test::TestContext::Slots::kShared};

  private:
    std::string tempDirName_;
    std::function<void()> registerComponents_;
};

}  // namespace orva::qt::test
