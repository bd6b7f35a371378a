// Set-up of the record editor window tests: a fresh demo company, an
// administrator's session, a module context of its own whose connection's
// updates a test may make fail, a scripted user and a scripted base-data list, and helpers that
// drive frmProperty as its view does: keys through the window first, typing
// into the active cell, moving to another cell (which runs the leave check).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "demo/demo_company.h"
#include "editor/frm_property.h"
#include "engine/user_def_info.h"
#include "host/app_connection.h"
#include "host/base_list.h"
#include "host/db/db_backend.h"
#include "support/company_queries.h"
#include "support/scoped_session.h"
#include "support/scripted_ui.h"
#include "support/temp_company.h"
#include "support/test_context.h"

namespace orva::test {

// The real database, except that a text starting with failPrefix is refused
// as a database error.
class FailingBackend : public DbBackend {
  public:
    explicit FailingBackend(std::unique_ptr<DbBackend> inner) : inner_(std::move(inner)) {}
    BatchResult ExecuteBatch(std::string_view tsql) override;
    std::int32_t NextNumber(std::string_view key) override { return inner_->NextNumber(key); }
    std::string Describe() const override { return inner_->Describe(); }
    std::string failPrefix;

  private:
    std::unique_ptr<DbBackend> inner_;
};

// The host's base-data list: answers with `answer` and keeps what it was asked.
struct ListCalls {
    std::string filter, keyWord;
    std::int16_t listCode = 0;
    RecordsetPtr answer;
};

class EditorTest : public ::testing::Test, protected CompanyQueries {
  protected:
    using R = UserDefInfo;
    using W = frmProperty;

    void SetUp() override;
    void TearDown() override;
    void LogOn(int userId);

    // Creates, loads and activates the window as the browse window does.
    frmProperty& Open(EditorOperation operation, std::int32_t custID, std::int32_t itemID,
                      std::int32_t entryID = 0);

    // The user clicks into column 2 of a row: false when the check of the
    // cell left keeps the user there.
    bool GoTo(int row) { return window->vaSProperty().UserMoveTo(2, row); }
    // Types into the active cell key by key (each key passes the window).
    void TypeKeys(const std::string& text) { TypeInto(*window, text); }
    static void TypeInto(frmProperty& w, const std::string& text);
    bool Enter(int row, const std::string& text);
    // A key pressed in the grid: the window sees it first.
    void PressKey(int keyCode, int shift = 0);
    void Click(const char* button) { window->TbPrice().Click(button); }

    std::string Text(int row) const { return window->vaSProperty().GetText(2, row); }
    std::string Value(int row) const { return window->vaSProperty().GetText(3, row); }
    bool Shown(const char* button) const { return window->TbPrice().Item(button).visible; }
    bool Enabled(const char* button) const { return window->TbPrice().Item(button).enabled; }

    std::string CompanyPath() const override { return company.path(); }
    std::string Price(std::int32_t entry) {
        return Scalar("SELECT FPrice FROM t_CustEntry WHERE FEntryID=" + std::to_string(entry));
    }

    // Headlines of the message dialogs and texts of the message boxes shown.
    std::vector<std::string> Headlines();
    std::vector<std::string> Boxes() { return ui->MessageBoxTexts(); }

    TempCompany company;
    std::unique_ptr<ScopedSession> session;
    FailingBackend* backend = nullptr;  // owned by g_Connection
    ScriptedUiScope ui;
    TestContext ctx_;
    std::shared_ptr<ListCalls> list = std::make_shared<ListCalls>();
    std::unique_ptr<frmProperty> window;
};

}  // namespace orva::test
