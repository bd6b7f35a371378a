// A company on a PostgreSQL server taken to a backup with pg_dump (and its
// roles with pg_dumpall --roles-only) and brought back with pg_restore, as
// the README tells an office to do: the entries, the roles and their
// grants come back, and the module opens the restored company and numbers
// new entries after the old ones.
#include <libpq-fe.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "host/db/open_database.h"
#include "support/postgres_server.h"
#include "tsql_fixture.h"

namespace orva::tsqltest {
namespace {

using Conn = std::unique_ptr<PGconn, void (*)(PGconn*)>;

std::string Sql(const Conn& conn, const std::string& sql) {
    PGresult* r = PQexec(conn.get(), sql.c_str());
    const ExecStatusType status = PQresultStatus(r);
    std::string value = status == PGRES_TUPLES_OK && PQntuples(r) > 0 ? PQgetvalue(r, 0, 0) : "";
    const std::string err = PQresultErrorMessage(r);
    PQclear(r);
    EXPECT_TRUE(status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) << sql << ": " << err;
    return value;
}

// Every entry and header row, and the numbering, as one text.
std::string Snapshot(DbBackend& db) {
    std::string text;
    for (const char* sql : {"SELECT * FROM t_CustEntry ORDER BY FEntryID",
                            "SELECT * FROM t_Cust ORDER BY FCustID,FItemID"}) {
        RecordsetPtr rs = db.ExecuteBatch(sql).recordsets.at(0);
        for (; !rs->EOF_(); rs->MoveNext()) {
            for (int c = 0; c < rs->FieldCount(); ++c) text += rs->Fields(c).Value().ToText() + "|";
            text += "\n";
        }
    }
    return text;
}

int Shell(const std::string& command) {
    const int rc = std::system(command.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

TEST(ServerBackup, ACompanyAndItsRolesComeBackWhole) {
    test::PostgresServer& server = test::PostgresServer::Get();
    const std::string uri = server.NewDatabase(test::TempCompany::kDemo);
    const std::string name = uri.substr(14, uri.find('?') - 14);  // postgresql:///
    struct Dir {
        std::string path = test::MakeTempDir("orva-backup");
        ~Dir() { std::filesystem::remove_all(path); }
    } dir;

    std::string before;
    {
        auto db = OpenDatabase(uri);
        db->ExecuteBatch(
            "UPDATE t_CustEntry SET FPrice=FPrice+1, FNote='before the backup' "
            "WHERE FEntryID IN (SELECT MIN(FEntryID) FROM t_CustEntry)");
        before = Snapshot(*db);
    }
    Conn admin(PQconnectdb(server.Uri("postgres").c_str()), PQfinish);
    ASSERT_EQ(PQstatus(admin.get()), CONNECTION_OK);
    Sql(admin, "CREATE ROLE backup_clerks NOLOGIN");
    Sql(admin, "CREATE ROLE backup_clerk LOGIN IN ROLE backup_clerks");
    {
        Conn company(PQconnectdb(uri.c_str()), PQfinish);
        Sql(company, "GRANT SELECT, UPDATE ON t_custentry TO backup_clerks");
    }

    const std::string roles = dir.path + "/roles.sql", dump = dir.path + "/company.dump";
    ASSERT_EQ(Shell(server.Client("pg_dumpall") + " --roles-only -f '" + roles + "'"), 0);
    ASSERT_EQ(Shell(server.Client("pg_dump") + " -Fc -f '" + dump + "' " + name), 0);

    // The server loses the company and the roles.
    Sql(admin, "DROP DATABASE " + name);
    Sql(admin, "DROP ROLE backup_clerk");
    Sql(admin, "DROP ROLE backup_clerks");

    // The roles first (the one the server already has is said to exist,
    // which is no error here), then the company into a new database.
    ASSERT_EQ(Shell(server.Client("psql") + " -q -d postgres -f '" + roles + "' >/dev/null 2>&1"),
              0);
    Sql(admin, "CREATE DATABASE restored TEMPLATE template0");
    ASSERT_EQ(Shell(server.Client("pg_restore") + " --exit-on-error -d restored '" + dump + "'"),
              0);

    EXPECT_EQ(Sql(admin, "SELECT rolcanlogin FROM pg_roles WHERE rolname='backup_clerk'"), "t");
    {
        Conn restored(PQconnectdb(server.Uri("restored").c_str()), PQfinish);
        EXPECT_EQ(
            Sql(restored, "SELECT has_table_privilege('backup_clerk','t_custentry','UPDATE')"),
            "t");
        EXPECT_EQ(Sql(restored, "SELECT has_table_privilege('backup_clerk','t_cust','SELECT')"),
                  "f");
    }
    auto db = OpenDatabase(server.Uri("restored"));
    EXPECT_EQ(Snapshot(*db), before);
    RecordsetPtr max = db->ExecuteBatch("SELECT MAX(FEntryID) FROM t_CustEntry").recordsets.at(0);
    EXPECT_GT(db->NextNumber("t_Cust"), max->Fields(0).Value().ToInteger());
}

}  // namespace
}  // namespace orva::tsqltest
