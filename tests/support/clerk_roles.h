// Clerks' own logins on the tests' PostgreSQL server: the NOLOGIN group role
// orva_clerk with the module's table privileges in one company database, and
// a login role per clerk, named as the company user, member of it. The least
// a clerk's login holds: SELECT on every table, INSERT, UPDATE and DELETE on
// the tables the module writes (t_CustEntry, t_Cust, t_ICMaxNum).
//
//   std::string owner = PostgresServer::Get().NewDatabase(TempCompany::kDemo);
//   GrantClerkRoles(owner, {"zhangmin"});
//   PGconn* c = PQconnectdb(ClerkUri(owner, "zhangmin").c_str());
#pragma once

#include <libpq-fe.h>

#include <memory>
#include <string>
#include <vector>

namespace orva::test {

// Creates the roles that are missing (roles belong to the whole server) and
// grants the privileges in the database of `ownerUri`. Throws
// std::runtime_error with the server's message.
void GrantClerkRoles(const std::string& ownerUri, const std::vector<std::string>& clerks);

// `ownerUri` (PostgresServer's Uri or TcpUri) with `role` for its user.
std::string ClerkUri(const std::string& ownerUri, const std::string& role);

using PgConnPtr = std::unique_ptr<PGconn, void (*)(PGconn*)>;
// A plain libpq connection; throws std::runtime_error when it fails.
PgConnPtr PlainConnection(const std::string& uri);

// Runs one statement. Returns "" when it succeeded, else the server's message;
// `rows` (when given) gets the first column of every row returned.
std::string PlainRun(PGconn* conn, const std::string& sql,
                     std::vector<std::string>* rows = nullptr);

}  // namespace orva::test
