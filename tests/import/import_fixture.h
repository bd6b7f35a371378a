// Import tests on a fresh copy of the demo company, logged on as one of its
// users, with a scripted user answering. The tests add customers "T9..." and
// items "I9..." (IDs from 900000) of their own, so that every entry an
// import touches is known exactly.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "demo/demo_company.h"
#include "import/import_plan.h"
#include "import_files.h"
#include "support/scoped_session.h"
#include "support/scripted_ui.h"
#include "support/temp_company.h"
#include "support/test_context.h"

namespace orva::import::test {

struct Stored {
    int entryID = 0;
    double price = 0;
    double discount = 0;
    int used = 0;
    std::string note;
};

class ImportTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void LogOn(int userId);

    void Exec(const std::string& sql);
    std::int64_t Int(const std::string& sql);
    void AddCustomer(int id, const std::string& number);
    void AddItem(int id, const std::string& number, int unit = demo::kUnitPiece);
    // An entry of the customer and item in pieces, RMB, dates 2024-01-01 to 2100-01-01.
    int AddEntry(int cust, int item, double start, double end, double price, int used = 0);
    void SetOption(const std::string& key, int value);
    void SetCustomerFloor(int cust, int item, double price);
    std::int64_t Entries(int cust);
    // The entry of the pair with the band, or entryID 0.
    Stored Entry(int cust, int item, double start, double end);

    ImportPlan Plan(const std::string& path, ImportLeaf leaf = {});

    ::orva::test::TempCompany company_;
    std::unique_ptr<::orva::test::ScopedSession> session_;
    ScriptedUiScope ui_;
    ::orva::test::TestContext ctx_;
    ImportFiles files_;
    int nextEntry_ = 800000;
};

}  // namespace orva::import::test
