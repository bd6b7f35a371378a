// Batch operation tests on a fresh copy of the demo company: logged on as one
// of its users with the shared connection open, a scripted user answering,
// and an editor grid (3 columns, 16 rows) that the test fills as the batch
// editor would before the engine runs.
//
// The tests add small trees of their own (codes "T9..." for customers,
// "I9..." for items, IDs from 900000) next to the demo data, so that every
// expected member and entry is known exactly.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "demo/demo_company.h"
#include "engine/user_def_info.h"
#include "host/controls/spread.h"
#include "orvasaleprice/recordset.h"
#include "support/scoped_session.h"
#include "support/scripted_ui.h"
#include "support/temp_company.h"
#include "support/test_context.h"

namespace orva::batchtest {

// One price entry to store before the operation runs.
struct Entry {
    int cust = 0;
    int item = 0;
    int unit = demo::kUnitPiece;
    double startQty = 0;
    double endQty = 0;
    double price = 10;
    int currency = demo::kCurrencyRmb;
    double discount = 0;
    int leadTime = 0;
    std::string quote = "2024-01-01";
    std::string expire = "2100-01-01";
    int used = 0;
    std::string note;
};

// What the batch editor's grid holds (column 3 values; column 2 where the
// engine reads it: the dates and the note).
struct GridValues {
    int cust = 0;  // a customer, or a customer group
    int item = 0;  // an item, or an item group
    int unit = demo::kUnitPiece;
    double startQty = 0;
    double endQty = 0;
    double price = 10;
    int currency = demo::kCurrencyRmb;
    int leadTime = 0;
    std::string quote = "2024-01-01";
    std::string expire = "2100-01-01";
    std::string note;
};

// A stored entry as read back.
struct Stored {
    int unit = 0;
    double price = 0;
    double discount = 0;
    int leadTime = 0;
    std::string quote;
    std::string expire;
    int used = 0;
    std::string note;
};

class BatchTest : public ::testing::Test {
  protected:
    void SetUp() override;

    // Logs on as the user (the session string, its parsed properties and a
    // fresh shared connection).
    void LogOn(int userId);
    // The company the session names: the file, or the test server's
    // database in uri_ when a fixture set it (NewServerCompany).
    std::string Database() const { return uri_.empty() ? company_.path() : uri_; }

    // Runs a T-SQL text on the shared connection.
    RecordsetPtr Query(const std::string& sql);
    void Exec(const std::string& sql);
    std::int64_t Int(const std::string& sql);
    // A raw SQLite statement on the company file (for what T-SQL lacks).
    void RawExec(const std::string& sql);

    // The level of a record under the parent (1 at the top).
    int LevelBelow(int parent);
    // Trees of the test's own. Groups of items get a t_ICItem row, as
    // item groups have in a company's item master.
    void AddCustomerGroup(int id, const std::string& number, int parent);
    void AddCustomer(int id, const std::string& number, int parent, const std::string& name = "");
    void AddItemGroup(int id, const std::string& number, int parent);
    void AddItem(int id, const std::string& number, int parent, int unit = demo::kUnitPiece,
                 int erpCls = 1);
    // The item's minimum price for every customer (fixing type 1).
    void SetItemFloor(int item, double price, int currency);
    // The customer-level minimum price (the t_Cust header row).
    void SetCustomerFloor(int cust, int item, double price, int currency);
    void SetOption(const std::string& key, int value);

    // Stores the entry under a fresh number and returns it.
    int AddEntry(const Entry& e);
    bool EntryExists(int entryID);
    Stored Read(int entryID);
    // Entries of the pair.
    std::int64_t EntryCount(int cust, int item);
    bool HeaderExists(int cust, int item);

    void Fill(const GridValues& g);

    // Texts of the message boxes shown so far.
    std::vector<std::string> BoxTexts() { return ui_->MessageBoxTexts(); }

    test::TempCompany company_;
    std::string uri_;
    std::unique_ptr<test::ScopedSession> session_;
    ScriptedUiScope ui_;
    test::TestContext ctx_;
    orva::Spread grid_;
    UserDefInfo engine_{*ctx_};
    int nextEntry_ = 800000;
};

}  // namespace orva::batchtest
