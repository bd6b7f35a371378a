#include "host/db/postgres/pg_roles.h"

#include <fcntl.h>
#include <libpq-fe.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <set>
#include <sstream>
#include <vector>

#include "host/db/postgres/postgres_result.h"
#include "host/db/postgres/postgres_uri.h"
#include "host/db/postgres/scram_verifier.h"

namespace orva {
namespace {

struct PgConnFree {
    void operator()(PGconn* c) const { PQfinish(c); }
};
using PgConn = std::unique_ptr<PGconn, PgConnFree>;

// The company's tables the module writes, and what it writes there: the
// price entries and the customers' price headers (added, changed,
// deleted), the numbering, and an item's minimum price.
const char* const kClerkWrites[] = {
    "GRANT INSERT, UPDATE, DELETE ON t_custentry, t_cust TO orva_clerk",
    "GRANT INSERT, UPDATE ON t_icmaxnum TO orva_clerk",
    "GRANT UPDATE (fsalepricefixingtype, fsolowprc) ON t_icitem TO orva_clerk",
};

// Tables a clerk only reads, whatever was granted before: the price
// history (written by its triggers as the tables' owner) and the rights.
const char* const kReadOnlyTables[] = {
    "t_custentryhistory",   "t_user",           "t_group", "t_itemright",
    "t_useritemclassright", "t_orvaaccessright"};

// The history's trigger functions run as their owner, so a clerk's change
// is recorded though the clerk may not write the history; the function
// that appends a row is then theirs alone to call.
const char* const kHistoryTriggerFunctions[] = {"orva_custentry_history", "orva_cust_history"};

class Session {
  public:
    explicit Session(const std::string& uri) : where_(MaskPassword(uri)) {
        conn_.reset(PQconnectdb(std::string(uri).c_str()));
        if (PQstatus(conn_.get()) != CONNECTION_OK) {
            throw std::runtime_error("Cannot connect to " + where_ + ": " +
                                     PgMessage(PQerrorMessage(conn_.get())));
        }
    }

    PGconn* get() const { return conn_.get(); }

    // Runs one statement; the rows when it returns some.
    PgResult Exec(const std::string& sql, const std::vector<std::string>& params = {}) {
        std::vector<const char*> values;
        for (const auto& p : params) values.push_back(p.c_str());
        PgResult r(PQexecParams(conn_.get(), sql.c_str(), static_cast<int>(values.size()), nullptr,
                                values.data(), nullptr, nullptr, 0));
        const ExecStatusType st = PQresultStatus(r.get());
        if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) {
            // The statement is not repeated: it may hold a password's verifier.
            throw std::runtime_error(
                "The company database " + where_ +
                " refused the roles' update: " + PgMessage(PQresultErrorMessage(r.get())));
        }
        return r;
    }

    std::string Value(const std::string& sql, const std::vector<std::string>& params = {}) {
        PgResult r = Exec(sql, params);
        return PQntuples(r.get()) > 0 ? PQgetvalue(r.get(), 0, 0) : "";
    }

    std::string Identifier(const std::string& name) const {
        std::unique_ptr<char, void (*)(void*)> q(
            PQescapeIdentifier(conn_.get(), name.c_str(), name.size()), PQfreemem);
        if (!q)
            throw std::runtime_error("The name '" + name + "' cannot be a role's name.");
        return q.get();
    }

    std::string Literal(const std::string& text) const {
        std::unique_ptr<char, void (*)(void*)> q(
            PQescapeLiteral(conn_.get(), text.c_str(), text.size()), PQfreemem);
        if (!q)
            throw std::runtime_error("A password cannot be written as a literal.");
        return q.get();
    }

    // The SCRAM verifier of a role's password, computed here: the password
    // itself never reaches the server (nor its log).
    std::string Verifier(const std::string& role, const std::string& password) const {
        std::unique_ptr<char, void (*)(void*)> v(
            PQencryptPasswordConn(conn_.get(), password.c_str(), role.c_str(), "scram-sha-256"),
            PQfreemem);
        if (!v) {
            throw std::runtime_error("Cannot compute the password verifier of the role " + role +
                                     ": " + PgMessage(PQerrorMessage(conn_.get())));
        }
        return v.get();
    }

    const std::string& where() const { return where_; }

  private:
    PgConn conn_;
    std::string where_;
};

struct CompanyUser {
    std::string name;
    bool disabled = false;
};

struct Role {
    bool canLogin = false;
    bool super = false;
    bool member = false;
    std::string verifier;  // readable by a superuser only
};

std::vector<CompanyUser> ReadUsers(Session& s) {
    PgResult r = s.Exec(
        "SELECT rtrim(fname), fforbidden <> 0 FROM t_user WHERE fisgroup = 0 ORDER BY fuserid");
    std::vector<CompanyUser> users;
    for (int i = 0; i < PQntuples(r.get()); ++i) {
        users.push_back({PQgetvalue(r.get(), i, 0), std::string(PQgetvalue(r.get(), i, 1)) == "t"});
    }
    return users;
}

std::optional<Role> ReadRole(Session& s, const std::string& name, bool readPasswords) {
    PgResult r = s.Exec(
        "SELECT r.rolcanlogin, r.rolsuper, EXISTS (SELECT 1 FROM pg_auth_members m JOIN pg_roles g "
        "ON g.oid = m.roleid WHERE g.rolname = 'orva_clerk' AND m.member = r.oid) "
        "FROM pg_roles r WHERE r.rolname = $1",
        {name});
    if (PQntuples(r.get()) == 0)
        return std::nullopt;
    Role role;
    role.canLogin = std::string(PQgetvalue(r.get(), 0, 0)) == "t";
    role.super = std::string(PQgetvalue(r.get(), 0, 1)) == "t";
    role.member = std::string(PQgetvalue(r.get(), 0, 2)) == "t";
    if (readPasswords)
        role.verifier = s.Value("SELECT rolpassword FROM pg_authid WHERE rolname = $1", {name});
    return role;
}

// Everything the group role's privileges and the history functions'
// settings are made of, as one text: equal before and after means the run
// changed nothing there.
std::string GroupSnapshot(Session& s) {
    return s.Value(
        "SELECT concat_ws('|', (SELECT datacl::text FROM pg_database WHERE datname = "
        "current_database()), (SELECT nspacl::text FROM pg_namespace WHERE nspname = "
        "current_schema()), (SELECT string_agg(c.relname || '=' || coalesce(c.relacl::text, '') || "
        "coalesce((SELECT string_agg(a.attname || ':' || a.attacl::text, ',' ORDER BY a.attnum) "
        "FROM pg_attribute a WHERE a.attrelid = c.oid AND a.attacl IS NOT NULL), ''), ';' ORDER BY "
        "c.relname) FROM pg_class c WHERE c.relnamespace = current_schema()::regnamespace), "
        "(SELECT string_agg(p.oid::regprocedure::text || '=' || coalesce(p.proacl::text, '') || "
        "p.prosecdef::text || coalesce(p.proconfig::text, ''), ';' ORDER BY p.oid) FROM pg_proc p "
        "WHERE p.pronamespace = current_schema()::regnamespace))");
}

// Creates the group role when missing and gives it exactly the module's
// privileges. True when it changed anything.
bool SyncGroup(Session& s, std::ostream& out) {
    const bool exists = !s.Value("SELECT 1 FROM pg_roles WHERE rolname = 'orva_clerk'").empty();
    const std::string before = GroupSnapshot(s);
    if (!exists)
        s.Exec("CREATE ROLE orva_clerk NOLOGIN");
    const std::string schema = s.Identifier(s.Value("SELECT current_schema()"));
    s.Exec("GRANT CONNECT, TEMPORARY ON DATABASE " +
           s.Identifier(s.Value("SELECT current_database()")) + " TO orva_clerk");
    s.Exec("GRANT USAGE ON SCHEMA " + schema + " TO orva_clerk");
    s.Exec("GRANT SELECT ON ALL TABLES IN SCHEMA " + schema + " TO orva_clerk");
    s.Exec("GRANT USAGE, SELECT ON ALL SEQUENCES IN SCHEMA " + schema + " TO orva_clerk");
    s.Exec("GRANT EXECUTE ON ALL FUNCTIONS IN SCHEMA " + schema + " TO orva_clerk");
    for (const char* grant : kClerkWrites) s.Exec(grant);
    for (const char* table : kReadOnlyTables) {
        if (!s.Value("SELECT to_regclass($1)::text", {table}).empty()) {
            s.Exec(std::string("REVOKE INSERT, UPDATE, DELETE, TRUNCATE, REFERENCES, TRIGGER ON ") +
                   table + " FROM orva_clerk");
        }
    }
    for (const char* function : kHistoryTriggerFunctions) {
        if (!s.Value("SELECT to_regproc($1)::text", {function}).empty()) {
            s.Exec(std::string("ALTER FUNCTION ") + function +
                   "() SECURITY DEFINER SET search_path FROM CURRENT");
        }
    }
    const std::string append = s.Value(
        "SELECT p.oid::regprocedure::text FROM pg_proc p WHERE p.proname = 'orva_history_append' "
        "AND p.pronamespace = current_schema()::regnamespace");
    if (!append.empty())
        s.Exec("REVOKE EXECUTE ON FUNCTION " + append + " FROM PUBLIC, orva_clerk");
    const bool changed = !exists || GroupSnapshot(s) != before;
    out << kClerkRole << " (group): "
        << (!exists   ? "created"
            : changed ? "updated"
                      : "unchanged")
        << "\n";
    return changed;
}

// One company user's role: its login, its membership, its password.
bool SyncUser(Session& s, const CompanyUser& user, const std::optional<std::string>& password,
              bool readPasswords, const std::string& self, std::ostream& out) {
    const std::string id = s.Identifier(user.name);
    const std::string login = user.disabled ? "NOLOGIN" : "LOGIN";
    const std::optional<Role> role = ReadRole(s, user.name, readPasswords);
    if (!role) {
        std::string sql = "CREATE ROLE " + id + " " + login + " IN ROLE orva_clerk";
        if (password)
            sql += " PASSWORD " + s.Literal(s.Verifier(user.name, *password));
        s.Exec(sql);
        out << user.name << ": created" << (user.disabled ? ", disabled" : "") << "\n";
        return true;
    }
    // The administrator's own login, or a superuser, named as a user of the
    // company is left as it is: disabling it could lock the administrator
    // out, and a superuser is not held by any privilege.
    if (role->super || user.name == self) {
        out << user.name << ": left as it is (" << (role->super ? "a superuser" : "this login")
            << ")\n";
        return false;
    }
    bool changed = false;
    if (role->canLogin == user.disabled) {
        s.Exec("ALTER ROLE " + id + " " + login);
        changed = true;
    }
    if (!role->member) {
        s.Exec("GRANT orva_clerk TO " + id);
        changed = true;
    }
    if (password && !(readPasswords && ScramVerifierMatches(role->verifier, *password))) {
        s.Exec("ALTER ROLE " + id + " PASSWORD " + s.Literal(s.Verifier(user.name, *password)));
        changed = true;
    }
    const bool disabledNow = user.disabled && role->canLogin;
    out << user.name << ": "
        << (disabledNow ? "disabled"
            : changed   ? "updated"
                        : "unchanged")
        << "\n";
    return changed;
}

// Members of the group whom the company no longer has (removed, renamed):
// they may not log in any more.
int DisableLeavers(Session& s, const std::set<std::string>& names, std::ostream& out) {
    PgResult r = s.Exec(
        "SELECT u.rolname, u.rolcanlogin FROM pg_auth_members m JOIN pg_roles g ON g.oid = "
        "m.roleid JOIN pg_roles u ON u.oid = m.member WHERE g.rolname = 'orva_clerk' ORDER BY "
        "u.rolname");
    int changed = 0;
    for (int i = 0; i < PQntuples(r.get()); ++i) {
        const std::string name = PQgetvalue(r.get(), i, 0);
        if (names.count(name))
            continue;
        if (std::string(PQgetvalue(r.get(), i, 1)) == "t") {
            s.Exec("ALTER ROLE " + s.Identifier(name) + " NOLOGIN");
            out << name << ": disabled (no user of the company)\n";
            ++changed;
        } else {
            out << name << ": unchanged (no user of the company)\n";
        }
    }
    return changed;
}

}  // namespace

std::map<std::string, std::string> ParsePasswordLines(const std::string& text) {
    std::map<std::string, std::string> out;
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos || colon == 0) {
            throw PasswordFileError("line " + std::to_string(number) + " is not \"name:password\"");
        }
        out[line.substr(0, colon)] = line.substr(colon + 1);
    }
    return out;
}

std::map<std::string, std::string> ReadPasswordFile(const std::string& path) {
    const int fd = path == "-" ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw PasswordFileError("cannot open the password file '" + path + "'");
    struct stat st {};
    if (path != "-" && (::fstat(fd, &st) != 0 || (st.st_mode & 077) != 0)) {
        ::close(fd);
        throw PasswordFileError("the password file '" + path +
                                "' may be read or written by others; make it yours alone "
                                "(chmod 600)");
    }
    std::string text;
    char buf[4096];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0) text.append(buf, static_cast<std::size_t>(n));
    if (fd != STDIN_FILENO)
        ::close(fd);
    if (n < 0)
        throw PasswordFileError("cannot read the password file '" + path + "'");
    try {
        return ParsePasswordLines(text);
    } catch (const PasswordFileError& e) {
        throw PasswordFileError("the password file '" + path + "': " + e.what());
    }
}

int SyncRoles(const std::string& uri, const PasswordFor& passwordFor, std::ostream& out) {
    if (!IsPostgresUri(uri)) {
        throw std::invalid_argument("logins per user are roles of a PostgreSQL server; '" +
                                    MaskPassword(uri) +
                                    "' is not a PostgreSQL URI (postgresql://...)");
    }
    Session s(uri);
    const std::string self = s.Value("SELECT current_user");
    PgResult me = s.Exec("SELECT rolsuper, rolcreaterole FROM pg_roles WHERE rolname = $1", {self});
    const bool super = std::string(PQgetvalue(me.get(), 0, 0)) == "t";
    if (!super && std::string(PQgetvalue(me.get(), 0, 1)) != "t") {
        throw std::runtime_error("The login " + self + " on " + s.where() +
                                 " may not create roles: run this as a superuser or as a login "
                                 "with CREATEROLE that owns the company's tables.");
    }
    const std::vector<CompanyUser> users = ReadUsers(s);
    std::map<std::string, std::optional<std::string>> passwords;
    for (const CompanyUser& u : users) passwords[u.name] = passwordFor(u.name, u.disabled);

    s.Exec("BEGIN");
    int changed = SyncGroup(s, out) ? 1 : 0;
    std::set<std::string> names;
    for (const CompanyUser& u : users) {
        names.insert(u.name);
        const auto pw = passwords.find(u.name);
        if (SyncUser(s, u, pw == passwords.end() ? std::nullopt : pw->second, super, self, out))
            ++changed;
    }
    changed += DisableLeavers(s, names, out);
    s.Exec("COMMIT");
    if (changed == 0)
        out << "Nothing changed: the roles already match the company.\n";
    else
        out << changed << (changed == 1 ? " role" : " roles") << " changed.\n";
    return changed;
}

}  // namespace orva
