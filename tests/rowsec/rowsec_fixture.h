// A copy of the demo company on the tests' PostgreSQL server with its price
// history and row security on, the clerks' logins granted, and plain libpq
// connections: the owner's over the Unix socket, each clerk's over TLS to
// 127.0.0.1 with the server's certificate verified.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "host/db/open_database.h"
#include "host/db/postgres/pg_row_security.h"
#include "host/db/price_history.h"
#include "support/clerk_roles.h"
#include "support/postgres_server.h"

namespace orva::test {

class RowSecurityTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (const std::string why = NewServerCompany(TempCompany::kDemo, owner_); !why.empty())
            GTEST_SKIP() << why;
        auto db = OpenDatabase(owner_);
        UpgradePriceHistory(*db);
        SetRowSecurity(*db, true);
        GrantClerkRoles(owner_, {"administrator", "zhangmin", "liqiang", "wangfang"});
        ownerConn_ = PlainConnection(owner_);
    }

    // The clerk's own connection over TLS, opened once per test.
    PGconn* Clerk(const std::string& role) {
        auto it = clerks_.find(role);
        if (it == clerks_.end()) {
            PostgresServer& server = PostgresServer::Get();
            const std::string name = owner_.substr(14, owner_.find('?') - 14);
            const std::string tcp =
                server.TcpUri(name, "sslmode=verify-full&sslrootcert=" + server.RootCertificate());
            it = clerks_.emplace(role, PlainConnection(ClerkUri(tcp, role))).first;
        }
        return it->second.get();
    }

    // The first column of every row as the owner reads it.
    std::vector<std::string> OwnerColumn(const std::string& sql) {
        std::vector<std::string> rows;
        const std::string err = PlainRun(ownerConn_.get(), sql, &rows);
        EXPECT_EQ(err, "") << sql;
        return rows;
    }
    std::string OwnerScalar(const std::string& sql) {
        auto rows = OwnerColumn(sql);
        return rows.empty() ? "" : rows[0];
    }
    void OwnerExec(const std::string& sql) { OwnerColumn(sql); }

    std::string owner_;
    PgConnPtr ownerConn_{nullptr, PQfinish};
    std::map<std::string, PgConnPtr> clerks_;
};

}  // namespace orva::test
