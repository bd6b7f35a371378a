// Commands sent to a PostgreSQL server together, in one exchange, and their
// results read back in order (libpq's pipeline mode). After a command fails
// the server skips the rest up to the end of the exchange; a transaction
// opened in it is then left failed, for the caller to roll back.
#pragma once

#include <libpq-fe.h>

#include <string>
#include <vector>

#include "host/db/postgres/postgres_result.h"

namespace orva {

class PostgresPipeline {
  public:
    explicit PostgresPipeline(PGconn* conn);
    ~PostgresPipeline();
    PostgresPipeline(const PostgresPipeline&) = delete;
    PostgresPipeline& operator=(const PostgresPipeline&) = delete;

    // Whether the connection took the pipeline (a lost one does not).
    bool Open() const { return open_; }

    // Queue a command; each is command number Count() - 1 afterwards.
    void Send(const char* sql);
    void SendPrepare(const std::string& name, const std::string& sql,
                     const std::vector<Oid>& types);
    void SendPrepared(const std::string& name, const std::vector<const char*>& values);
    std::size_t Count() const { return count_; }

    // Sends the end of the exchange and reads every command's result:
    // element k is command k's (null when none came, as when the connection
    // was lost). Skipped commands give PGRES_PIPELINE_ABORTED.
    std::vector<PgResult> Finish();

  private:
    PGconn* conn_;
    bool open_ = false;
    bool sent_ = true;
    std::size_t count_ = 0;
};

}  // namespace orva
