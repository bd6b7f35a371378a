// Shared set-up of the record editor engine tests: a fresh demo company, a
// session for one of the demo users, a module context of its own whose
// connection records every text sent, a scripted user, and an engine driving
// a spread and a status bar the way the editor window does.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "demo/demo_company.h"
#include "engine/user_def_info.h"
#include "host/app_connection.h"
#include "host/controls/spread.h"
#include "host/controls/status_bar.h"
#include "host/db/db_backend.h"
#include "session/module_context.h"
#include "support/company_queries.h"
#include "support/scoped_session.h"
#include "support/scripted_ui.h"
#include "support/temp_company.h"
#include "support/test_context.h"

namespace orva::test {

// Passes every text to a real connection and keeps a copy; a test may run
// something of its own just before a text goes to the database (another
// client saving at the same moment, say).
class RecordingBackend : public DbBackend {
  public:
    explicit RecordingBackend(std::unique_ptr<DbBackend> inner) : inner_(std::move(inner)) {}

    BatchResult ExecuteBatch(std::string_view tsql) override {
        texts.emplace_back(tsql);
        if (before)
            before(tsql);
        return inner_->ExecuteBatch(tsql);
    }
    std::int32_t NextNumber(std::string_view tableKey) override {
        return failNumbers ? 0 : inner_->NextNumber(tableKey);
    }
    std::string Describe() const override { return inner_->Describe(); }

    std::vector<std::string> texts;
    std::function<void(std::string_view)> before;
    bool failNumbers = false;

  private:
    std::unique_ptr<DbBackend> inner_;
};

class EngineTest : public ::testing::Test, protected CompanyQueries {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the session of another demo user (the connection stays).
    void LogOn(int userId);

    // Opens the engine as the editor does: keys, InitInfo, OperationType,
    // SetValues, SetProperty, and the lock of an audited entry.
    void Open(EditorOperation operation, std::int32_t custID, std::int32_t itemID,
              std::int32_t entryID = 0);

    // The user types into column 2 of a row, the editor empties column 3 and
    // checks the cell on leaving it. Returns what Changed answered; the
    // message lands in `message`.
    bool Type(int row, const std::string& text);
    // As Type, for a value picked from a list: column 3 holds the ID.
    bool Pick(int row, std::int64_t id);

    std::string Text(int row) const { return grid.GetText(2, row); }
    std::string Value(int row) const { return grid.GetText(3, row); }
    bool RowLocked(int row) const { return grid.Locked(2, row); }

    // The company the test works on: the file, or the test server's
    // database in uri_ when a fixture set it (NewServerCompany).
    std::string CompanyPath() const override { return uri_.empty() ? company.path() : uri_; }

    // Texts sent since the last call, and those starting with a prefix.
    std::vector<std::string> SentSince(std::size_t from) const;
    std::vector<std::string> SentStartingWith(std::string_view prefix) const;

    TempCompany company;
    std::string uri_;
    std::unique_ptr<ScopedSession> session;
    RecordingBackend* backend = nullptr;  // owned by g_Connection
    ScriptedUiScope ui;
    TestContext ctx_;
    Spread grid;
    StatusBar status;
    std::unique_ptr<UserDefInfo> engine;
    std::string message;
};

}  // namespace orva::test
