// A throwaway PostgreSQL server for the tests: initdb and pg_ctl in a
// temporary folder, listening on a Unix socket there and, with TLS only, on
// a free port of 127.0.0.1, started once per test program on first use and
// stopped and removed at exit (by a watcher process when the program dies
// without cleaning up). When the tests run as root the server runs as the
// unprivileged user (support/unprivileged.h).
//
// Its TLS certificate is made with openssl at start: a root of the tests'
// own signs the server's certificate for localhost and 127.0.0.1; a second
// root, which signed nothing, is what a client that trusts the wrong one
// holds. A connection over TCP without TLS is refused.
//
//   std::string uri = orva::test::PostgresServer::Get().NewDatabase(kEmpty);
#pragma once

#include <string>

#include "support/temp_company.h"

namespace orva::test {

class PostgresServer {
  public:
    // The server of this test program. Throws std::runtime_error saying why
    // when it cannot be started (no server installed, initdb failing...).
    static PostgresServer& Get();

    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    // A new database holding a company of that kind (copied from one loaded
    // once per program); its URI.
    std::string NewDatabase(TempCompany::Kind kind);
    // A new database with nothing in it; its URI.
    std::string NewEmptyDatabase();
    // The URI of a database of this server.
    std::string Uri(const std::string& database) const;
    // The URI of a database over TCP to localhost, with `params` ("sslmode=
    // ...&sslrootcert=...") and the user orva.
    std::string TcpUri(const std::string& database, const std::string& params) const;
    const std::string& SocketDir() const { return dir_; }
    // A client program of the server's version (pg_dump, pg_restore, psql),
    // with the options that reach this server as the user orva.
    std::string Client(const std::string& program) const {
        return "'" + bin_ + "/" + program + "' -h '" + dir_ + "' -p " + std::to_string(port_) +
               " -U orva";
    }
    int Port() const { return port_; }
    // The server's log file (connections refused, statements logged).
    std::string LogFile() const { return dir_ + "/server.log"; }
    // The root that signed the server's certificate, and one that did not.
    std::string RootCertificate() const { return dir_ + "/tls/root.pem"; }
    std::string OtherRootCertificate() const { return dir_ + "/tls/other-root.pem"; }
    // CPU seconds the server's processes (the postmaster and its children,
    // the backends among them) have used so far; the server's side of a
    // measurement on a machine whose wall time other work disturbs.
    double CpuSeconds() const;
    // Stops the server the way a power cut or a crash would (no checkpoint,
    // connections dropped mid-statement) and starts it again: what it then
    // holds is what its write-ahead log made durable.
    void CrashAndRestart();

  private:
    PostgresServer();
    void Start();
    void Psql(const std::string& sql) const;
    void MakeCertificates();
    void WriteAccessRules();
    void Watch();

    std::string dir_;
    std::string bin_;
    std::string runAs_;
    int port_ = 0;
    bool started_ = false;
    int next_ = 0;
    bool templates_[2] = {false, false};
};

// Puts in `uri` a new database of this program's test server holding a
// company of that kind. Returns why the server cannot be had ("" when it
// could), for the test to skip with:
//
//   if (const std::string why = NewServerCompany(kind, uri_); !why.empty())
//       GTEST_SKIP() << why;
std::string NewServerCompany(TempCompany::Kind kind, std::string& uri);

}  // namespace orva::test
