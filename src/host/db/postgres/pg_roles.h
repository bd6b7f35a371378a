// One PostgreSQL login per user of the company. Every user of t_User (not a
// group) gets a role named exactly as the user, a member of the group role
// orva_clerk, which holds what the module's work needs on the company's
// tables and nothing more: it reads every table, writes only the price
// entries, the customer price headers, the numbering and an item's minimum
// price, and only reads the price history and the rights tables. A
// disabled user's role, and the role of a user who left the company, may
// not log in; roles are never dropped, so what they wrote keeps its name.
//
//   SyncRoles(uri, [&](const std::string& user, bool) { return Find(user); }, std::cout);
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>

namespace orva {

inline constexpr const char* kClerkRole = "orva_clerk";

// A password source that cannot be used (a file others may read, a line
// without a colon): the administrator's mistake, not the database's.
class PasswordFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Passwords by user name, from lines "name:password" (the first colon ends
// the name; blank lines and lines starting with '#' are skipped). A file
// that the group or others may read or write is refused, as ssh refuses
// such a key: the passwords in it are no longer secret. Standard input
// ("-") is not checked. Throws PasswordFileError.
std::map<std::string, std::string> ReadPasswordFile(const std::string& path);
// The same lines, from a text already read.
std::map<std::string, std::string> ParsePasswordLines(const std::string& text);

// The password to set for a user (`disabled`: one who may not log in, whose
// role still gets a password given, so that a refusal says why); nullopt
// keeps the role's password (none for a new role: for servers that trust
// local logins).
using PasswordFor =
    std::function<std::optional<std::string>(const std::string& user, bool disabled)>;

// Brings the roles in line with the company at the PostgreSQL URI, in one
// transaction, as a login that is a superuser or has CREATEROLE and owns
// the tables. Asks `passwordFor` about every user before changing
// anything. Passwords reach the server only as SCRAM verifiers
// computed here. Writes one line per role ("zhangmin: created") and a last
// line saying whether anything changed; returns the number of roles
// changed. Throws std::runtime_error naming the server, never a password.
int SyncRoles(const std::string& uri, const PasswordFor& passwordFor, std::ostream& out);

}  // namespace orva
