// The shared test helpers: a temporary company opened through the host's
// connection component under a scoped session.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "demo/demo_company.h"
#include "host/app_connection.h"
#include "host/share_props.h"
#include "support/scoped_session.h"
#include "support/temp_company.h"

namespace orva::test {
namespace {

std::string CurrentPropsString() {
    return ShareProps().GetProperty(ShareProps::CurrentProcessId(), "PropsString").ToText();
}

TEST(ScopedSessionTest, SetsTheSessionAndRestoresThePreviousOne) {
    ScopedSession outer("SubID=ar;LANGUAGE=ENG");
    {
        ScopedSession inner("/tmp/a;b=c.db", demo::kLimitedUserId);
        EXPECT_EQ(CurrentPropsString(),
                  "DBConnection={/tmp/a;b=c.db};UserID=16397;SubID=ic;LANGUAGE=CHS");
        EXPECT_EQ(SessionConnectionString(), "/tmp/a;b=c.db");
    }
    EXPECT_EQ(CurrentPropsString(), "SubID=ar;LANGUAGE=ENG");
}

TEST(TempCompanyTest, EachCompanyIsFreshAndRemovedAfterwards) {
    std::string dir;
    {
        TempCompany a;
        TempCompany b;
        dir = a.dir();
        EXPECT_NE(a.path(), b.path());
        ScopedSession session(a.path(), demo::kAdminUserId);
        AppConnection db;
        db.Execute("DELETE FROM t_CustEntry");
        EXPECT_EQ(
            db.Execute("SELECT COUNT(*) AS N FROM t_CustEntry")->Fields(0).Value().ToInteger(), 0);
        // The other copy is untouched.
        ScopedSession other(b.path(), demo::kAdminUserId);
        AppConnection db2;
        EXPECT_GT(
            db2.Execute("SELECT COUNT(*) AS N FROM t_CustEntry")->Fields(0).Value().ToInteger(),
            1000);
        // Text compares as the company database does.
        EXPECT_EQ(db2.Execute("SELECT FValue FROM t_SystemProfile WHERE FKey='alertselowprice '")
                      ->Fields(0)
                      .Value()
                      .ToText(),
                  "1");
    }
    EXPECT_FALSE(std::filesystem::exists(dir));
}

TEST(TempCompanyTest, EmptyCompanyHasTablesWithoutRows) {
    TempCompany empty(TempCompany::kEmpty);
    ScopedSession session(empty.path(), demo::kAdminUserId);
    AppConnection db;
    EXPECT_EQ(db.Execute("SELECT COUNT(*) AS N FROM t_Item")->Fields(0).Value().ToInteger(), 0);
    // The numbering table starts a key on first use.
    EXPECT_EQ(db.GetICMaxNum("t_Cust"), 1);
}

}  // namespace
}  // namespace orva::test
