#include "support/postgres_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <libpq-fe.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "demo/postgres_company.h"
#include "support/unprivileged.h"

namespace orva::test {

namespace fs = std::filesystem;

namespace {

// The newest server installed (Debian keeps each major version apart).
std::string FindServerBin() {
    std::string best;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator("/usr/lib/postgresql", ec)) {
        fs::path bin = e.path() / "bin";
        if (fs::exists(bin / "initdb") && fs::exists(bin / "pg_ctl") &&
            (best.empty() ||
             e.path().filename().string() > fs::path(best).parent_path().filename().string()))
            best = bin.string();
    }
    return best;
}

int Shell(const std::string& command) {
    int rc = std::system(command.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

std::string ReadFile(const std::string& path) {
    std::string out;
    if (FILE* f = std::fopen(path.c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
        std::fclose(f);
    }
    return out.size() > 2000 ? out.substr(out.size() - 2000) : out;
}

// A TCP port of 127.0.0.1 nothing listens on now (the system's pick), so
// that test programs run side by side each have their own server.
int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    ::close(fd);
    return port;
}

// The tests' server keeps nothing on disk it need not; with ORVA_PG_DURABLE=1
// (a benchmark of writes as a company's server makes them) it syncs as a
// server that keeps its data does.
std::string Durability() {
    const char* durable = std::getenv("ORVA_PG_DURABLE");
    if (durable && std::string(durable) == "1")
        return "-c fsync=on -c synchronous_commit=on -c full_page_writes=on";
    return "-c fsync=off -c synchronous_commit=off -c full_page_writes=off";
}

}  // namespace

PostgresServer& PostgresServer::Get() {
    static std::mutex mu;
    static std::unique_ptr<PostgresServer> server;
    static std::string failure;  // why the server could not start, said once per test
    std::lock_guard lock(mu);
    if (!failure.empty())
        throw std::runtime_error(failure);
    if (!server) {
        try {
            server.reset(new PostgresServer());
        } catch (const std::exception& e) {
            failure = e.what();
            throw;
        }
    }
    return *server;
}

PostgresServer::PostgresServer() {
    bin_ = FindServerBin();
    if (bin_.empty()) {
        throw std::runtime_error(
            "The PostgreSQL tests need a PostgreSQL server: none is installed under "
            "/usr/lib/postgresql (install the Debian package postgresql, scripts/deps.sh).");
    }
    dir_ = MakeTempDir("orva-pg");
    if (::geteuid() == 0) {
        // The server refuses to run as root.
        const std::string user = kUnprivilegedUser;
        runAs_ = "runuser -u " + user + " -- ";
        if (Shell("chown " + user + " '" + dir_ + "'") != 0)
            throw std::runtime_error("Cannot give the folder " + dir_ + " to the user " + user +
                                     ".");
    }
    // initdb's output is written by this process; the server's log by the
    // server's user.
    const std::string initLog = dir_ + "/initdb.log";
    const std::string init = runAs_ + "'" + bin_ + "/initdb' -D '" + dir_ +
                             "/data' -A trust -U orva -E UTF8 --locale=C.UTF-8 >'" + initLog +
                             "' 2>&1";
    if (Shell(init) != 0) {
        std::string why = ReadFile(initLog);
        fs::remove_all(dir_);
        throw std::runtime_error("initdb failed for the test server in " + dir_ + ": " + why);
    }
    try {
        MakeCertificates();
        WriteAccessRules();
    } catch (...) {
        fs::remove_all(dir_);
        throw;
    }
    port_ = FreePort();
    try {
        Start();
    } catch (...) {
        fs::remove_all(dir_);
        throw;
    }
    started_ = true;
    Watch();
}

// Starts the server in its folder on its port (the same port after a restart,
// so URIs handed out before stay good).
void PostgresServer::Start() {
    const std::string log = dir_ + "/server.log";
    const std::string start = runAs_ + "'" + bin_ + "/pg_ctl' -D '" + dir_ +
                              "/data' -w -t 60 -l '" + log + "' -o \"-k " + dir_ + " -p " +
                              std::to_string(port_) +
                              " -c listen_addresses=127.0.0.1 -c ssl=on -c ssl_cert_file=" + dir_ +
                              "/tls/server.pem -c ssl_key_file=" + dir_ + "/tls/server.key " +
                              Durability() + " -c max_connections=60\" start >/dev/null 2>&1";
    if (Shell(start) != 0) {
        std::string why = ReadFile(log);
        throw std::runtime_error("The test server did not start in " + dir_ + ": " + why);
    }
}

void PostgresServer::CrashAndRestart() {
    Shell(runAs_ + "'" + bin_ + "/pg_ctl' -D '" + dir_ +
          "/data' -m immediate stop >/dev/null 2>&1");
    started_ = false;
    Start();
    started_ = true;
}

void PostgresServer::MakeCertificates() {
    const std::string tls = dir_ + "/tls";
    fs::create_directories(tls);
    {
        std::ofstream ext(tls + "/server.ext");
        ext << "subjectAltName=DNS:localhost,IP:127.0.0.1\n";
    }
    const std::string key = "-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 30 ";
    const std::string log = tls + "/openssl.log";
    const std::string make =
        "cd '" + tls + "' && { openssl req -x509 " + key +
        "-keyout root.key -out root.pem -subj '/CN=OrvaSalePrice tests root' && "
        "openssl req -x509 " +
        key +
        "-keyout other-root.key -out other-root.pem -subj '/CN=Another root' && "
        "openssl req " +
        key +
        "-keyout server.key -out server.csr -subj '/CN=localhost' && "
        "openssl x509 -req -in server.csr -CA root.pem -CAkey root.key -CAcreateserial "
        "-days 30 -extfile server.ext -out server.pem && chmod 600 server.key; } >'" +
        log + "' 2>&1";
    if (Shell(make) != 0) {
        throw std::runtime_error(
            "The test server's TLS certificate could not be made with openssl (install the "
            "Debian package openssl, scripts/deps.sh): " +
            ReadFile(log));
    }
    if (!runAs_.empty() &&
        Shell("chown -R " + std::string(kUnprivilegedUser) + " '" + tls + "'") != 0)
        throw std::runtime_error("Cannot give the folder " + tls + " to the server's user.");
}

// Over the Unix socket every local user is trusted; over TCP only a
// connection with TLS is admitted.
void PostgresServer::WriteAccessRules() {
    std::ofstream hba(dir_ + "/data/pg_hba.conf", std::ios::trunc);
    hba << "local all all trust\n";
    // A clerk's own login (a member of orva_clerk) gives its password over
    // TCP, as on a company's server.
    hba << "hostssl all +orva_clerk 127.0.0.1/32 scram-sha-256\n";
    hba << "hostssl all all 127.0.0.1/32 trust\n"
           "hostnossl all all 127.0.0.1/32 reject\n";
    if (!hba)
        throw std::runtime_error("Cannot write the test server's pg_hba.conf in " + dir_ + ".");
}

// A test program that dies without running its destructors (a crash, a fatal
// failure) must not leave the server behind: a watcher process waits for the
// program's end (its pipe closes) and then stops the server and removes its
// folder. A program that ends normally has done both already.
void PostgresServer::Watch() {
    int fds[2];
    if (::pipe(fds) != 0)
        return;
    const std::string stop = runAs_ + "'" + bin_ + "/pg_ctl' -D '" + dir_ +
                             "/data' -m immediate stop >/dev/null 2>&1; rm -rf '" + dir_ + "'";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[1]);
        // Only this end of the pipe stays open here: read returns at the
        // program's end, whichever way it ends.
        for (int fd = 3; fd < 1024; ++fd) {
            if (fd != fds[0])
                ::close(fd);
        }
        char c;
        while (::read(fds[0], &c, 1) > 0) {
        }
        if (::access(dir_.c_str(), F_OK) == 0)
            ::execl("/bin/sh", "sh", "-c", stop.c_str(), static_cast<char*>(nullptr));
        ::_exit(0);
    }
    ::close(fds[0]);
    if (pid > 0)
        ::fcntl(fds[1], F_SETFD, FD_CLOEXEC);
    else
        ::close(fds[1]);
}

PostgresServer::~PostgresServer() {
    if (started_) {
        Shell(runAs_ + "'" + bin_ + "/pg_ctl' -D '" + dir_ +
              "/data' -m immediate stop >/dev/null 2>&1");
    }
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

double PostgresServer::CpuSeconds() const {
    long postmaster = 0;
    {
        std::ifstream pidFile(dir_ + "/data/postmaster.pid");
        pidFile >> postmaster;
    }
    if (postmaster <= 0)
        return 0;
    const double tick = static_cast<double>(sysconf(_SC_CLK_TCK));
    double sum = 0;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line))
            continue;
        // Fields after the command name (which may hold blanks, and ends at
        // the last ')'): state, ppid, ... utime and stime are fields 14, 15.
        const std::size_t close = line.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream rest(line.substr(close + 2));
        std::string field;
        long ppid = 0, utime = 0, stime = 0;
        for (int k = 3; k <= 15 && rest >> field; ++k) {
            if (k == 4)
                ppid = std::atol(field.c_str());
            if (k == 14)
                utime = std::atol(field.c_str());
            if (k == 15)
                stime = std::atol(field.c_str());
        }
        if (ppid == postmaster || std::atol(name.c_str()) == postmaster)
            sum += static_cast<double>(utime + stime) / tick;
    }
    return sum;
}

std::string PostgresServer::Uri(const std::string& database) const {
    return "postgresql:///" + database + "?host=" + dir_ + "&port=" + std::to_string(port_) +
           "&user=orva";
}

std::string PostgresServer::TcpUri(const std::string& database, const std::string& params) const {
    return "postgresql://orva@localhost:" + std::to_string(port_) + "/" + database + "?" + params;
}

void PostgresServer::Psql(const std::string& sql) const {
    std::unique_ptr<PGconn, void (*)(PGconn*)> conn(PQconnectdb(Uri("postgres").c_str()), PQfinish);
    if (PQstatus(conn.get()) != CONNECTION_OK)
        throw std::runtime_error("Cannot reach the test server: " +
                                 std::string(PQerrorMessage(conn.get())));
    PGresult* r = PQexec(conn.get(), sql.c_str());
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
    std::string err = PQresultErrorMessage(r);
    PQclear(r);
    if (!ok)
        throw std::runtime_error("The test server refused " + sql + ": " + err);
}

std::string PostgresServer::NewEmptyDatabase() {
    const std::string name = "db" + std::to_string(++next_);
    Psql("CREATE DATABASE " + name + " TEMPLATE template0");
    return Uri(name);
}

std::string PostgresServer::NewDatabase(TempCompany::Kind kind) {
    const char* source = kind == TempCompany::kDemo ? "company_demo" : "company_empty";
    if (!templates_[kind]) {
        Psql(std::string("DROP DATABASE IF EXISTS ") + source);
        Psql(std::string("CREATE DATABASE ") + source + " TEMPLATE template0");
        TempCompany company(kind);
        demo::CopyCompanyToPostgres(company.path(), Uri(source));
        templates_[kind] = true;
    }
    const std::string name = "db" + std::to_string(++next_);
    Psql("CREATE DATABASE " + name + " TEMPLATE " + source);
    return Uri(name);
}

std::string NewServerCompany(TempCompany::Kind kind, std::string& uri) {
    try {
        uri = PostgresServer::Get().NewDatabase(kind);
        return "";
    } catch (const std::exception& e) {
        return std::string("no test server: ") + e.what();
    }
}

}  // namespace orva::test
