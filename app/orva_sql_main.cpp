// orva-sql: sends T-SQL text to a company database and prints what comes
// back, like a command-line query tool. One connection serves the whole run,
// so temporary tables live from one batch to the next.
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/app_connection.h"
#include "host/db/open_database.h"
#include "host/db/postgres/pg_roles.h"
#include "host/db/postgres/pg_row_security.h"
#include "host/db/postgres/postgres_uri.h"
#include "host/db/price_history.h"
#include "host/sql_script.h"
#include "orvasaleprice/com_error.h"

namespace {

constexpr int kExitError = 1;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "Usage: orva-sql DATABASE [FILE]\n"
    "       orva-sql DATABASE --upgrade\n"
    "       orva-sql DATABASE --verify-history\n"
    "       orva-sql DATABASE --row-security on|off\n"
    "       orva-sql URI --sync-roles [--password-file FILE]\n"
    "\n"
    "Sends T-SQL text to a company database and prints every record set.\n"
    "\n"
    "  DATABASE  a SQLite company file, a PostgreSQL URI such as\n"
    "            postgresql://user@host/db, or an ODBC connection string such as\n"
    "            \"DSN=erp;UID=user;PWD=secret\" (through FreeTDS, add\n"
    "            TDS_Version=7.4;ClientCharset=UTF-8)\n"
    "  FILE      the T-SQL text; standard input when absent or \"-\"\n"
    "\n"
    "A line reading GO alone ends a batch; each batch is sent as one text and\n"
    "runs as one transaction. Each record set prints as a line of column names\n"
    "and one line per row, fields separated by a tab, NULL for Null; a blank\n"
    "line separates record sets.\n"
    "\n"
    "A SQLite file that you may not write, or that sits in a folder where you\n"
    "may not create files, is opened for reading only: nothing is created\n"
    "beside it, and a batch that writes to it is refused.\n"
    "\n"
    "Exit status: 0 when every batch ran, 1 when the database reported an\n"
    "error (the batches before it have run), 2 for a usage error.\n"
    "\n"
    "Options:\n"
    "  --upgrade         add the price history (its table and triggers) to a\n"
    "                    SQLite or PostgreSQL company that has none; opening a\n"
    "                    company never adds it\n"
    "  --verify-history  walk the price history's hash chain: prints its length\n"
    "                    and exits 0 when every link holds (rows another program\n"
    "                    wrote and the module has not sealed yet are counted\n"
    "                    apart), else names the first broken row and exits 1\n"
    "  --row-security on|off\n"
    "                    (PostgreSQL; run by the login that owns the company's\n"
    "                    tables) on: the server limits each company user's own\n"
    "                    login, whatever program it uses, to the customers,\n"
    "                    items, currencies and commands its rights in the\n"
    "                    company grant; off: every login reads and writes what\n"
    "                    its table privileges allow. Run it again after\n"
    "                    --upgrade\n"
    "  --sync-roles      (PostgreSQL, as a superuser or a login with CREATEROLE\n"
    "                    that owns the tables) give every user of the company a\n"
    "                    login role named as the user, a member of the group\n"
    "                    role orva_clerk that holds the module's privileges; a\n"
    "                    disabled user's role, and the role of a user the\n"
    "                    company no longer has, may not log in. Prints one line\n"
    "                    per role (created, updated, disabled, unchanged); a\n"
    "                    second run changes nothing\n"
    "  --password-file FILE\n"
    "                    with --sync-roles: the passwords to set, lines\n"
    "                    name:password, in a file only you may read; \"-\" reads\n"
    "                    them from standard input, or asks for each user's\n"
    "                    password without echo when that is a terminal (Enter\n"
    "                    keeps the password). Without it roles keep their\n"
    "                    passwords (new ones have none: for servers that trust\n"
    "                    local logins). Passwords are never taken from the\n"
    "                    command line and reach the server only as SCRAM\n"
    "                    verifiers\n"
    "  -h, --help        show this help\n"
    "  --version         print the program's version\n";

enum class Mode { kScript, kUpgrade, kVerifyHistory, kRowSecurity, kSyncRoles };

int Upgrade(orva::DbBackend& db) {
    const std::string name = db.Describe();
    const bool added = orva::UpgradePriceHistory(db);
    std::cout << (added ? "Added the price history to " : "The price history was already in ")
              << name << (added ? "\n" : "; its triggers were renewed\n");
    return 0;
}

int VerifyHistory(orva::DbBackend& db) {
    const orva::HistoryCheck check = orva::VerifyPriceHistory(db);
    if (check.brokenId) {
        std::cout << "Price history broken at row " << *check.brokenId << ": " << check.why << " ("
                  << check.sealed << " rows before it hold)\n";
        return kExitError;
    }
    std::cout << "Price history intact: " << check.sealed << " rows in the chain";
    if (check.unsealed > 0) {
        std::cout << "; " << check.unsealed
                  << " rows written by another program wait to be sealed by the module's next "
                     "write";
    }
    std::cout << "\n";
    return 0;
}

// --row-security on|off.
int RowSecurity(orva::DbBackend& db, bool on) {
    orva::SetRowSecurity(db, on);
    std::cout << "Row security is " << (on ? "on" : "off") << " for " << db.Describe() << "\n";
    return 0;
}

int UsageError(const std::string& message) {
    std::cerr << "orva-sql: " << message << "\nTry 'orva-sql --help'.\n";
    return kExitUsage;
}

// Reads the whole script; on failure returns false with the system's reason
// (a folder opens but cannot be read: "Is a directory").
bool ReadScript(const std::string& file, std::string& text, std::string& why) {
    const int fd = file == "-" ? STDIN_FILENO : ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        why = std::strerror(errno);
        return false;
    }
    char buf[65536];
    bool ok = true;
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0) {
            text.append(buf, static_cast<std::size_t>(n));
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            why = std::strerror(errno);
            ok = false;
            break;
        }
    }
    if (fd != STDIN_FILENO)
        ::close(fd);
    return ok;
}

// Asks for a password on the terminal without echoing it; empty keeps the
// role's password.
std::optional<std::string> PromptPassword(const std::string& user) {
    std::cerr << "Password for " << user << " (Enter keeps it): " << std::flush;
    termios saved{};
    const bool tty = ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (tty) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    std::string password;
    std::getline(std::cin, password);
    if (tty)
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::cerr << "\n";
    if (password.empty())
        return std::nullopt;
    return password;
}

int SyncRoles(const std::string& uri, const std::string& passwordFile) {
    if (!orva::IsPostgresUri(uri)) {
        return UsageError("--sync-roles works on a PostgreSQL company (postgresql://...): '" +
                          orva::MaskPassword(uri) + "' is not one");
    }
    std::map<std::string, std::string> passwords;
    const bool prompt = passwordFile == "-" && ::isatty(STDIN_FILENO);
    try {
        if (!passwordFile.empty() && !prompt)
            passwords = orva::ReadPasswordFile(passwordFile);
    } catch (const orva::PasswordFileError& e) {
        return UsageError(e.what());
    }
    const orva::PasswordFor passwordFor = [&](const std::string& user,
                                              bool disabled) -> std::optional<std::string> {
        // A disabled user is not asked: the role may not log in anyway.
        if (prompt)
            return disabled ? std::nullopt : PromptPassword(user);
        const auto it = passwords.find(user);
        if (it == passwords.end())
            return std::nullopt;
        return it->second;
    };
    try {
        // Opening the company first sets up what the T-SQL layer needs, so
        // that the clerks' logins find it there.
        orva::OpenCompanyDatabase(uri);
        orva::SyncRoles(uri, passwordFor, std::cout);
    } catch (const std::runtime_error& e) {
        std::cout.flush();
        std::cerr << "orva-sql: " << e.what() << "\n";
        return kExitError;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args;
    Mode mode = Mode::kScript;
    bool rowSecurityOn = false;
    std::string passwordFile;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (options && (a == "-h" || a == "--help")) {
            std::cout << kUsage;
            return 0;
        }
        if (options && a == "--version") {
            std::cout << "orva-sql " << ORVA_VERSION << "\n";
            return 0;
        }
        if (options && (a == "--upgrade" || a == "--verify-history")) {
            const Mode m = a == "--upgrade" ? Mode::kUpgrade : Mode::kVerifyHistory;
            if (mode == Mode::kSyncRoles)
                return UsageError("--sync-roles goes alone");
            if (mode != Mode::kScript && mode != m)
                return UsageError("--upgrade and --verify-history go alone");
            mode = m;
        } else if (options && a == "--row-security") {
            if (mode != Mode::kScript)
                return UsageError("--row-security goes alone");
            const std::string value = i + 1 < argc ? argv[i + 1] : "";
            if (value != "on" && value != "off")
                return UsageError("--row-security takes on or off");
            mode = Mode::kRowSecurity;
            rowSecurityOn = value == "on";
            ++i;
        } else if (options && a == "--sync-roles") {
            if (mode != Mode::kScript)
                return UsageError("--sync-roles goes alone");
            mode = Mode::kSyncRoles;
        } else if (options && (a == "--password-file" || a.rfind("--password-file=", 0) == 0)) {
            if (a == "--password-file" && ++i == argc)
                return UsageError("--password-file needs a FILE");
            passwordFile = a == "--password-file" ? argv[i] : a.substr(16);
            if (passwordFile.empty())
                return UsageError("--password-file needs a FILE");
        } else if (options && a == "--") {
            options = false;
        } else if (options && a.size() > 1 && a[0] == '-') {
            // Only the option's name: what follows '=' may be a secret.
            return UsageError("unknown option '" + a.substr(0, a.find('=')) + "'");
        } else {
            args.push_back(a);
        }
    }
    if (args.empty())
        return UsageError("no database given");
    if (args.size() > (mode == Mode::kScript ? 2u : 1u))
        return UsageError("too many arguments");
    const std::string file = args.size() == 2 ? args[1] : "-";
    if (!passwordFile.empty() && mode != Mode::kSyncRoles)
        return UsageError("--password-file goes with --sync-roles");
    if (mode == Mode::kSyncRoles)
        return SyncRoles(args[0], passwordFile);

    std::string script, why;
    if (mode == Mode::kScript && !ReadScript(file, script, why))
        return UsageError("cannot read '" + file + "': " + why);

    // A SQLite file is checked before it is opened for writing, so that a
    // file that is not a company database, and its folder, are left exactly
    // as they were.
    std::unique_ptr<orva::AppConnection> connection;
    try {
        connection = std::make_unique<orva::AppConnection>(orva::OpenCompanyDatabase(args[0]));
    } catch (const std::runtime_error& e) {
        std::cerr << "orva-sql: " << e.what() << "\n";
        return kExitError;
    }

    if (mode != Mode::kScript) {
        try {
            if (mode == Mode::kRowSecurity)
                return RowSecurity(connection->Backend(), rowSecurityOn);
            return mode == Mode::kUpgrade ? Upgrade(connection->Backend())
                                          : VerifyHistory(connection->Backend());
        } catch (const std::runtime_error& e) {
            std::cerr << "orva-sql: " << e.what() << "\n";
            return kExitError;
        }
    }

    bool first = true;
    for (const auto& batch : orva::SplitGoBatches(script)) {
        try {
            orva::BatchResult r = connection->Backend().ExecuteBatch(batch.text);
            for (const auto& rs : r.recordsets) {
                if (!first)
                    std::cout << '\n';
                first = false;
                orva::WriteRecordset(std::cout, *rs);
            }
            std::cout.flush();
        } catch (const std::runtime_error& e) {
            std::cout.flush();
            std::cerr << "orva-sql: batch at line " << batch.firstLine << ": " << e.what() << "\n";
            return kExitError;
        }
    }
    return 0;
}
