// A throwaway PostgreSQL server for the tests: initdb and pg_ctl in a
// temporary folder, listening only on a Unix socket there, started once per
// test program on first use and stopped and removed at exit (by a watcher
// process when the program dies without cleaning up). When the tests
// run as root the server runs as the unprivileged user (support/unprivileged.h).
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
    const std::string& SocketDir() const { return dir_; }
    // CPU seconds the server's processes (the postmaster and its children,
    // the backends among them) have used so far; the server's side of a
    // measurement on a machine whose wall time other work disturbs.
    double CpuSeconds() const;

  private:
    PostgresServer();
    void Psql(const std::string& sql) const;
    void Watch();

    std::string dir_;
    std::string bin_;
    std::string runAs_;
    bool started_ = false;
    int next_ = 0;
    bool templates_[2] = {false, false};
};

}  // namespace orva::test
