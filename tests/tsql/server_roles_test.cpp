// One login per company user on the tests' PostgreSQL server, whose access
// rules ask a member of orva_clerk for its password over TCP: orva-sql
// --sync-roles makes the roles from a password file; a clerk opens the
// company with the right password only, over TLS only, while enabled, and
// as their own module user only; no password is ever in a message or in
// the server's log, which records every role statement here.
#include <libpq-fe.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>

#include "demo/demo_company.h"
#include "engine/price_store.h"
#include "host/app_connection.h"
#include "host/db/open_database.h"
#include "host/host_services.h"
#include "orvasaleprice/com_error.h"
#include "session/session.h"
#include "support/file_text.h"
#include "support/postgres_server.h"
#include "support/scoped_session.h"
#include "support/test_context.h"
#include "tsql_fixture.h"

namespace orva::tsqltest {
namespace {

struct SqlRun {
    int status = -1;
    std::string output;  // standard output and error together
};

SqlRun OrvaSql(const std::string& args) {
    SqlRun r;
    FILE* p = ::popen((ORVA_BINARY_DIR "/app/orva-sql " + args + " 2>&1 </dev/null").c_str(), "r");
    if (!p)
        return r;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.output.append(buf, n);
    const int ws = ::pclose(p);
    r.status = WIFEXITED(ws) ? WEXITSTATUS(ws) : -1;
    return r;
}

std::string Sql(const std::string& uri, const std::string& sql) {
    std::unique_ptr<PGconn, void (*)(PGconn*)> conn(PQconnectdb(uri.c_str()), PQfinish);
    PGresult* r = PQexec(conn.get(), sql.c_str());
    const ExecStatusType st = PQresultStatus(r);
    std::string value = st == PGRES_TUPLES_OK && PQntuples(r) > 0 ? PQgetvalue(r, 0, 0) : "";
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK)
        value = "ERROR " + std::string(PQresultErrorMessage(r));
    PQclear(r);
    return value;
}

struct Dir {
    std::string path = test::MakeTempDir("orva-roles");
    ~Dir() { std::filesystem::remove_all(path); }
};

constexpr const char* kPasswords[] = {"Adm1n-pw-7", "Zh4ng-pw-7", "L1q-pw-7", "W4ng-pw-7"};

TEST(ServerRoles, EachClerkLogsInAsThemselvesOnly) {
    RegisterHostServices();  // the session's user comes through SecurityInfo
    test::PostgresServer& server = test::PostgresServer::Get();
    const std::string admin = server.NewDatabase(test::TempCompany::kDemo);
    const std::string db = admin.substr(14, admin.find('?') - 14);  // postgresql:///
    // Every role statement the sync sends goes to the server's log.
    ASSERT_EQ(Sql(admin, "ALTER DATABASE " + db + " SET log_statement = 'ddl'"), "");
    ASSERT_EQ(Sql(admin, "UPDATE t_user SET fforbidden = 1 WHERE fname = 'wangfang'"), "");
    ASSERT_EQ(Sql(admin, "INSERT INTO t_user (fuserid, fname, fisgroup) VALUES (16398, '赵六', 0)"),
              "");
    Dir dir;
    const std::string file = dir.path + "/passwords";
    test::WriteFile(file, std::string("# name:password\nadministrator:") + kPasswords[0] +
                              "\nzhangmin:" + kPasswords[1] + "\nliqiang:" + kPasswords[2] +
                              "\nwangfang:" + kPasswords[3] + "\n赵六:" + kPasswords[1] + "\n");
    ::chmod(file.c_str(), 0600);

    const SqlRun upgrade = OrvaSql("'" + admin + "' --upgrade");
    ASSERT_EQ(upgrade.status, 0) << upgrade.output;
    const SqlRun first = OrvaSql("'" + admin + "' --sync-roles --password-file '" + file + "'");
    ASSERT_EQ(first.status, 0) << first.output;
    for (const char* line : {"orva_clerk (group): created", "zhangmin: created\n",
                             "wangfang: created, disabled", "6 roles changed."})
        EXPECT_NE(first.output.find(line), std::string::npos) << line << "\n" << first.output;

    const std::string tls = "sslmode=require";
    struct Case {
        const char* name;
        const char* login;
        const char* password;
        std::string params;
        int moduleUser;
        const char* refusal;  // nullptr: the module opens
    };
    const Case cases[] = {
        {"own login, right password", "zhangmin", kPasswords[1], tls, demo::kGroupClerkUserId,
         nullptr},
        {"wrong password", "zhangmin", "Wr0ng-pw-7", tls, demo::kGroupClerkUserId,
         "password authentication failed for user \"zhangmin\""},
        {"another clerk's password", "zhangmin", kPasswords[2], tls, demo::kGroupClerkUserId,
         "password authentication failed"},
        {"a Chinese name, written in the URI as UTF-8 in %XX", "%E8%B5%B5%E5%85%AD", kPasswords[1],
         tls, 16398, nullptr},
        {"a Chinese name as another module user", "%E8%B5%B5%E5%85%AD", kPasswords[1], tls,
         demo::kGroupClerkUserId, "“赵六”不是用户“zhangmin”的登录"},
        {"disabled user", "wangfang", kPasswords[3], tls, demo::kLimitedUserId,
         "not permitted to log in"},
        {"plain connection", "zhangmin", kPasswords[1], "sslmode=disable", demo::kGroupClerkUserId,
         "no encryption"},
        {"login of another module user", "zhangmin", kPasswords[1], tls, demo::kRecordClerkUserId,
         "“zhangmin”不是用户“liqiang”的登录"},
    };
    for (const Case& c : cases) {
        const std::string uri = "postgresql://" + std::string(c.login) + ":" + c.password +
                                "@localhost:" + std::to_string(server.Port()) + "/" + db + "?" +
                                c.params;
        try {
            test::TestContext ctx;
            test::ScopedSession session(uri, c.moduleUser);
            ctx->g_Connection = std::make_shared<AppConnection>(OpenDatabase(uri));
            CheckSessionUser(*ctx);
            EXPECT_EQ(c.refusal, nullptr) << c.name << ": opened";
        } catch (const ComError& e) {
            ASSERT_NE(c.refusal, nullptr) << c.name << ": " << e.Description();
            EXPECT_NE(e.Description().find(c.refusal), std::string::npos)
                << c.name << ": " << e.Description();
            EXPECT_EQ(e.Description().find(c.password), std::string::npos) << e.Description();
        }
    }

    // What the module writes, a clerk may write, and the history records it
    // under the clerk's login; what only the owner keeps is refused.
    // (The administrator's own login: whatever rows a clerk's rights leave
    // them, every user's role has the same privileges.)
    const std::string clerk = "postgresql://administrator:" + std::string(kPasswords[0]) +
                              "@localhost:" + std::to_string(server.Port()) + "/" + db + "?" + tls;
    const std::string entry = Sql(admin, "SELECT min(fentryid) FROM t_custentry");
    const std::string pair =
        Sql(admin,
            "SELECT o.fitemid || ' ' || i.fitemid || ' ' || i.funitid FROM t_organization o, "
            "t_icitem i WHERE NOT EXISTS (SELECT 1 FROM t_cust c WHERE c.fcustid = o.fitemid AND "
            "c.fitemid = i.fitemid) AND i.funitid > 0 ORDER BY 1 LIMIT 1");
    {
        AppConnection module(OpenDatabase(clerk));
        PriceEntry added;
        std::istringstream(pair) >> added.custID >> added.itemID >> added.unitID;
        added.startQty = "0", added.endQty = "100", added.price = "1000", added.currencyID = "1";
        added.quoteTime = "2024-01-01", added.expireDate = "2100-01-01", added.note = "clerk";
        std::int32_t number = 0;
        PriceOutcome outcome = PriceStore(module).Add(added, number);  // the header row too
        EXPECT_EQ(outcome.kind, PriceOutcome::kWritten) << outcome.error;
        module.Backend().ExecuteBatch("UPDATE t_CustEntry SET FPrice=FPrice+1 WHERE FEntryID=" +
                                      entry);
        module.Backend().ExecuteBatch("UPDATE t_ICItem SET FSOLowPrc=1 WHERE FItemID=0");
    }
    struct Refused {
        const char* sql;
        const char* what;
    };
    const Refused refused[] = {
        {"DELETE FROM t_custentryhistory", "permission denied for table t_custentryhistory"},
        {"UPDATE t_user SET fforbidden = 0", "permission denied for table t_user"},
        {"INSERT INTO t_group VALUES (1, 16395)", "permission denied for table t_group"},
        {"SELECT orva_history_append(1, 1, 1, 'add', '')",
         "permission denied for function orva_history_append"},
        {"UPDATE t_icitem SET fname = 'x'", "permission denied for table t_icitem"},
        {"ALTER ROLE zhangmin CREATEROLE", "permission denied"},
    };
    for (const Refused& r : refused) {
        const std::string answer = Sql(clerk, r.sql);
        EXPECT_NE(answer.find(r.what), std::string::npos) << r.sql << ": " << answer;
    }
    EXPECT_EQ(Sql(admin,
                  "SELECT flogin || ' ' || foperation FROM t_custentryhistory WHERE "
                  "fentryid = " +
                      entry + " ORDER BY fhistid DESC LIMIT 1"),
              "administrator change");

    // A second run changes nothing; a renamed user's old role, and a user
    // disabled since, may no longer log in.
    struct Step {
        const char* change;  // SQL on the company first
        const char* line;
        const char* role;
        const char* canLogin;
    };
    const Step steps[] = {
        {"SELECT 1", "Nothing changed", "zhangmin", "t"},
        {"UPDATE t_user SET fname = 'liqiang2' WHERE fname = 'liqiang'",
         "liqiang: disabled (no user of the company)", "liqiang", "f"},
        {"UPDATE t_user SET fforbidden = 1 WHERE fname = 'zhangmin'", "zhangmin: disabled",
         "zhangmin", "f"},
    };
    for (const Step& s : steps) {
        Sql(admin, s.change);
        const SqlRun run = OrvaSql("'" + admin + "' --sync-roles --password-file '" + file + "'");
        EXPECT_EQ(run.status, 0) << run.output;
        EXPECT_NE(run.output.find(s.line), std::string::npos) << s.change << "\n" << run.output;
        EXPECT_EQ(Sql(admin, std::string("SELECT rolcanlogin FROM pg_roles WHERE rolname = '") +
                                 s.role + "'"),
                  s.canLogin)
            << s.change;
    }

    const std::string log = test::ReadFile(server.LogFile());
    EXPECT_NE(log.find("ALTER ROLE"), std::string::npos) << "the role statements were not logged";
    for (const char* password :
         {kPasswords[0], kPasswords[1], kPasswords[2], kPasswords[3], "Wr0ng-pw-7"})
        EXPECT_EQ(log.find(password), std::string::npos) << password << " is in the server's log";
}

TEST(ServerRoles, SyncRolesRefusesBadPasswordSources) {
    Dir dir;
    const std::string open = dir.path + "/open", bad = dir.path + "/bad";
    test::WriteFile(open, "zhangmin:S3cret-pw\n");
    ::chmod(open.c_str(), 0644);
    test::WriteFile(bad, "zhangmin S3cret-pw\n");
    ::chmod(bad.c_str(), 0600);
    const std::string pg = "'postgresql:///company?host=/nonexistent' --sync-roles ";
    struct Case {
        std::string args;
        const char* message;
    };
    const Case cases[] = {
        {pg + "--password S3cret-pw", "unknown option '--password'"},
        {pg + "--password=S3cret-pw", "unknown option '--password'"},
        {pg + "--password-file '" + open + "'", "may be read or written by others"},
        {pg + "--password-file '" + bad + "'", "line 1 is not \"name:password\""},
        {pg + "--password-file", "--password-file needs a FILE"},
        {"company.db --sync-roles", "works on a PostgreSQL company"},
        {"company.db --password-file '" + bad + "'", "--password-file goes with --sync-roles"},
        {pg + "--upgrade", "--sync-roles goes alone"},
    };
    for (const Case& c : cases) {
        const SqlRun r = OrvaSql(c.args);
        EXPECT_EQ(r.status, 2) << c.args << "\n" << r.output;
        EXPECT_NE(r.output.find(c.message), std::string::npos) << c.args << "\n" << r.output;
        EXPECT_EQ(r.output.find("S3cret"), std::string::npos) << c.args << "\n" << r.output;
    }
}

}  // namespace
}  // namespace orva::tsqltest
