// Clerks' own logins on the tests' PostgreSQL server, made as orva-sql
// --sync-roles makes them: the NOLOGIN group role orva_clerk with the
// module's table privileges in one company database, and a login role per
// company user, named as the user, member of it. The clerks a test names
// get a password (ClerkPassword), which ClerkUri carries.
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

// Brings the roles in line with the company at `ownerUri` (roles belong to
// the whole server) and sets the clerks' passwords. Throws
// std::runtime_error with the server's message.
void GrantClerkRoles(const std::string& ownerUri, const std::vector<std::string>& clerks);

// The password a clerk's role gets.
std::string ClerkPassword(const std::string& role);
// `ownerUri` (PostgresServer's Uri or TcpUri) with `role` for its user and
// the role's password.
std::string ClerkUri(const std::string& ownerUri, const std::string& role);

using PgConnPtr = std::unique_ptr<PGconn, void (*)(PGconn*)>;
// A plain libpq connection; throws std::runtime_error when it fails.
PgConnPtr PlainConnection(const std::string& uri);

// Runs one statement. Returns "" when it succeeded, else the server's message;
// `rows` (when given) gets the first column of every row returned.
std::string PlainRun(PGconn* conn, const std::string& sql,
                     std::vector<std::string>* rows = nullptr);

}  // namespace orva::test
