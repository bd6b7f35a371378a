// Entry tests on a fresh copy of the demo company, logged on as one of its
// users with the shared connection open (as CustFace leaves it).
#pragma once

#include <memory>
#include <set>
#include <string>

#include "demo/demo_company.h"
#include "entry_fixture.h"
#include "host/app_connection.h"
#include "session/module_context.h"
#include "support/scoped_session.h"
#include "support/temp_company.h"

namespace orva {

class CompanyTest : public EntryTest {
  protected:
    void LogOn(int userId, const std::string& subId = "ic") {
        session_.reset();
        session_ = std::make_unique<test::ScopedSession>(company_.path(), userId, subId);
        ctx_->g_Connection = std::make_shared<AppConnection>();
    }

    // The shared connection closes before the company file goes away.
    void TearDown() override { ctx_->g_Connection.reset(); }

    // The first column of every row of a query, as text.
    std::set<std::string> Column(const std::string& sql) {
        std::set<std::string> out;
        RecordsetPtr rs = ctx_->g_Connection->Execute(sql);
        for (; !rs->EOF_(); rs->MoveNext()) out.insert(rs->Fields(0).Value().ToText());
        return out;
    }

    test::TempCompany company_;
    std::unique_ptr<test::ScopedSession> session_;
};

// "01.02.005" -> "01.02"; a code without "." is its own group.
inline std::string GroupOf(const std::string& code) {
    auto dot = code.rfind('.');
    return dot == std::string::npos ? code : code.substr(0, dot);
}

}  // namespace orva
