#include "support/clerk_roles.h"

#include <algorithm>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "host/db/postgres/pg_roles.h"

namespace orva::test {

PgConnPtr PlainConnection(const std::string& uri) {
    PgConnPtr conn(PQconnectdb(uri.c_str()), PQfinish);
    if (PQstatus(conn.get()) != CONNECTION_OK)
        throw std::runtime_error("Cannot connect: " + std::string(PQerrorMessage(conn.get())));
    return conn;
}

std::string PlainRun(PGconn* conn, const std::string& sql, std::vector<std::string>* rows) {
    PGresult* r = PQexec(conn, sql.c_str());
    const ExecStatusType status = PQresultStatus(r);
    std::string err;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        err = PQresultErrorMessage(r);
        if (err.empty())
            err = "failed";
    } else if (rows) {
        rows->clear();
        for (int i = 0; i < PQntuples(r); ++i) rows->push_back(PQgetvalue(r, i, 0));
    }
    PQclear(r);
    return err;
}

void GrantClerkRoles(const std::string& ownerUri, const std::vector<std::string>& clerks) {
    // The roles and grants are those orva-sql --sync-roles gives: every user
    // of the company gets a role; the clerks named get a password, which
    // the server asks members of orva_clerk for over TCP.
    std::ostringstream said;
    const PasswordFor passwordFor = [&](const std::string& user,
                                        bool) -> std::optional<std::string> {
        if (std::find(clerks.begin(), clerks.end(), user) == clerks.end())
            return std::nullopt;
        return ClerkPassword(user);
    };
    try {
        SyncRoles(ownerUri, passwordFor, said);
    } catch (const std::runtime_error& e) {
        throw std::runtime_error(
            "The clerks' roles could not be granted: " + std::string(e.what()) + "\n" + said.str());
    }
    // A name that is no user of the company: a member of orva_clerk all the
    // same, the way an administrator might make one by hand.
    auto isUser = [text = "\n" + said.str()](const std::string& name) {
        const auto at = text.find("\n" + name + ":");
        return at != std::string::npos &&
               text.substr(at, text.find('\n', at + 1) - at).find("no user of the company") ==
                   std::string::npos;
    };
    std::string script = "SET client_min_messages = warning;";
    for (const std::string& clerk : clerks) {
        if (isUser(clerk))
            continue;
        script += "DO $$ BEGIN IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = '" + clerk +
                  "') THEN CREATE ROLE \"" + clerk + "\"; END IF; END $$;" + "ALTER ROLE \"" +
                  clerk + "\" LOGIN PASSWORD '" + ClerkPassword(clerk) + "';" +
                  "GRANT orva_clerk TO \"" + clerk + "\";";
    }
    PgConnPtr conn = PlainConnection(ownerUri);
    const std::string err = PlainRun(conn.get(), script);
    if (!err.empty())
        throw std::runtime_error("The clerks' roles could not be granted: " + err);
}

std::string ClerkPassword(const std::string& role) {
    return "Pw-" + role + "-7";
}

std::string ClerkUri(const std::string& ownerUri, const std::string& role) {
    for (const std::string key : {"user=orva", "://orva@"}) {
        const auto at = ownerUri.find(key);
        if (at != std::string::npos) {
            const std::string with = key[0] == 'u'
                                         ? "user=" + role + "&password=" + ClerkPassword(role)
                                         : "://" + role + ":" + ClerkPassword(role) + "@";
            return ownerUri.substr(0, at) + with + ownerUri.substr(at + key.size());
        }
    }
    throw std::runtime_error("Not a URI of the test server: " + ownerUri);
}

}  // namespace orva::test
