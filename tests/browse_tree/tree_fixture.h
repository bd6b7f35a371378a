// Tests of the group tree, the ledger data source and the minimum price
// dialog on a fresh copy of the demo company, logged on as one of its users
// with the connection of a module context of their own open (as CustFace
// leaves it) and a scripted user.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "demo/demo_company.h"
#include "host/app_connection.h"
#include "host/host_services.h"
#include "session/module_context.h"
#include "support/scoped_session.h"
#include "support/scripted_ui.h"
#include "support/temp_company.h"
#include "support/test_context.h"

namespace orva {

class CompanyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterHostServices();
        LogOn(demo::kAdminUserId);
    }

    void LogOn(int userId) {
        session_.reset();
        session_ = std::make_unique<test::ScopedSession>(company_.path(), userId);
        ctx_->g_Connection = std::make_shared<AppConnection>();
    }

    RecordsetPtr Query(const std::string& sql) { return ctx_->g_Connection->Execute(sql); }

    // The first column of every row, as text, in the order of the query.
    std::vector<std::string> Column(const std::string& sql) {
        std::vector<std::string> out;
        RecordsetPtr rs = Query(sql);
        for (; !rs->EOF_(); rs->MoveNext()) out.push_back(rs->Fields(0).Value().ToText());
        return out;
    }

    // The first value of the first row.
    Variant Scalar(const std::string& sql) {
        RecordsetPtr rs = Query(sql);
        return rs->EOF_() ? Variant() : rs->Fields(0).Value();
    }

    test::TempCompany company_;
    std::unique_ptr<test::ScopedSession> session_;
    ScriptedUiScope ui;
    test::TestContext ctx_;
};

// "01.02.005" -> "01.02"; a code without "." is its own group.
inline std::string GroupOf(const std::string& code) {
    auto dot = code.rfind('.');
    return dot == std::string::npos ? code : code.substr(0, dot);
}

}  // namespace orva
