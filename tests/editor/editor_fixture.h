// Shared set-up of the record editor window tests: a fresh demo company, an
// administrator's session, the shared connection (whose statements a test
// may make fail), a scripted user, and helpers that drive frmProperty the
// way its view does: keys through the window first, typing into the active
// cell, moving to another cell (which runs the cell-leave check).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "demo/demo_company.h"
#include "editor/frm_property.h"
#include "engine/user_def_info.h"
#include "host/app_connection.h"
#include "host/base_list.h"
#include "host/db_backend.h"
#include "support/scoped_session.h"
#include "support/scripted_ui.h"
#include "support/temp_company.h"

namespace orva::test {

// Passes every text to the real database; a text starting with `failPrefix`
// (without regard to case) is refused as a database error would be.
class FailingBackend : public DbBackend {
  public:
    explicit FailingBackend(std::unique_ptr<DbBackend> inner) : inner_(std::move(inner)) {}
    BatchResult ExecuteBatch(std::string_view tsql) override;
    std::int32_t NextNumber(std::string_view tableKey) override {
        return inner_->NextNumber(tableKey);
    }
    std::string Describe() const override { return inner_->Describe(); }

    std::string failPrefix;
    std::vector<std::string> texts;

  private:
    std::unique_ptr<DbBackend> inner_;
};

// The host's base-data list: hands back the records the test queued and
// remembers what it was asked.
class ScriptedList : public BaseList {
  public:
    struct Calls {
        std::string filter;
        std::string keyWord;
        std::int16_t listCode = 0;
        int shown = 0;
        RecordsetPtr answer;
    };
    explicit ScriptedList(std::shared_ptr<Calls> calls) : calls_(std::move(calls)) {}
    void Filter(const std::string& f) override { calls_->filter = f; }
    void KeyWord(const std::string& k) override { calls_->keyWord = k; }
    RecordsetPtr Show(std::int32_t& /*hwnd*/, std::int16_t& listCode) override {
        calls_->listCode = listCode;
        ++calls_->shown;
        return calls_->answer;
    }

  private:
    std::shared_ptr<Calls> calls_;
};

class EditorTest : public ::testing::Test {
  protected:
    using R = UserDefInfo;
    using W = frmProperty;

    void SetUp() override;
    void TearDown() override;

    void LogOn(int userId);

    // Creates the window as the browse window does, loads and activates it.
    frmProperty& Open(std::int32_t operation, std::int32_t custID, std::int32_t itemID,
                      std::int32_t entryID = 0);

    // The user clicks into column 2 of a row; false when the check of the
    // cell left kept the user there.
    bool GoTo(int row);
    // The user types into the active cell key by key (each key passes the
    // window's key press first).
    void TypeKeys(const std::string& text);
    // GoTo, then TypeKeys.
    bool Enter(int row, const std::string& text);
    // A key pressed while the grid has the focus: the window sees it first.
    void PressKey(int keyCode, int shift = 0);
    void Click(const char* button) { window->TbPrice().Click(button); }

    std::string Text(int row) const { return window->vaSProperty().GetText(2, row); }
    std::string Value(int row) const { return window->vaSProperty().GetText(3, row); }
    bool Shown(const char* button) const { return window->TbPrice().Item(button).visible; }
    bool Enabled(const char* button) const { return window->TbPrice().Item(button).enabled; }

    // Answers of the base-data list window.
    void ListAnswers(RecordsetPtr records);

    // Through a connection of its own: the first field of the first row as
    // text ("" when none), a count, a statement.
    std::string Scalar(const std::string& sql);
    long Count(const std::string& sql);
    void Exec(const std::string& sql);
    std::int32_t CustomerID(const std::string& number);
    std::int32_t ItemID(const std::string& number);
    // A stored entry of the customer and item with the given band, price
    // and currency; returns its FEntryID.
    std::int32_t AddEntry(std::int32_t cust, std::int32_t item, double price, int used = 0,
                          double startQty = 0, double endQty = 100);

    // Headlines of the message dialogs and texts of the message boxes shown.
    std::vector<std::string> Headlines();
    std::vector<std::string> Boxes();

    TempCompany company;
    std::unique_ptr<ScopedSession> session;
    FailingBackend* backend = nullptr;  // owned by g_Connection
    ScriptedUiScope ui;
    std::shared_ptr<ScriptedList::Calls> list = std::make_shared<ScriptedList::Calls>();
    std::unique_ptr<frmProperty> window;
};

}  // namespace orva::test
