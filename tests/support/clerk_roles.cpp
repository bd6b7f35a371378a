#include "support/clerk_roles.h"

#include <stdexcept>

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
    PgConnPtr conn = PlainConnection(ownerUri);
    std::string script =
        "SET client_min_messages = warning;"
        "DO $$ BEGIN IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'orva_clerk') THEN "
        "CREATE ROLE orva_clerk NOLOGIN; END IF; END $$;"
        "GRANT SELECT ON ALL TABLES IN SCHEMA public TO orva_clerk;"
        "GRANT INSERT, UPDATE, DELETE ON t_CustEntry, t_Cust, t_ICMaxNum TO orva_clerk;";
    for (const std::string& clerk : clerks) {
        script += "DO $$ BEGIN IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = '" + clerk +
                  "') THEN CREATE ROLE \"" + clerk + "\" LOGIN; END IF; END $$;" +
                  "GRANT orva_clerk TO \"" + clerk + "\";";
    }
    const std::string err = PlainRun(conn.get(), script);
    if (!err.empty())
        throw std::runtime_error("The clerks' roles could not be granted: " + err);
}

std::string ClerkUri(const std::string& ownerUri, const std::string& role) {
    for (const std::string key : {"user=orva", "://orva@"}) {
        const auto at = ownerUri.find(key);
        if (at != std::string::npos) {
            const std::string with = key[0] == 'u' ? "user=" + role : "://" + role + "@";
            return ownerUri.substr(0, at) + with + ownerUri.substr(at + key.size());
        }
    }
    throw std::runtime_error("Not a URI of the test server: " + ownerUri);
}

}  // namespace orva::test
