#include "host/db/postgres/postgres_pipeline.h"

namespace orva {

PostgresPipeline::PostgresPipeline(PGconn* conn)
    : conn_(conn), open_(PQstatus(conn) == CONNECTION_OK && PQenterPipelineMode(conn) == 1) {}

PostgresPipeline::~PostgresPipeline() {
    if (open_)
        PQexitPipelineMode(conn_);
}

void PostgresPipeline::Send(const char* sql) {
    sent_ = sent_ && PQsendQueryParams(conn_, sql, 0, nullptr, nullptr, nullptr, nullptr, 0) == 1;
    ++count_;
}

void PostgresPipeline::SendPrepare(const std::string& name, const std::string& sql,
                                   const std::vector<Oid>& types) {
    sent_ = sent_ && PQsendPrepare(conn_, name.c_str(), sql.c_str(), static_cast<int>(types.size()),
                                   types.data()) == 1;
    ++count_;
}

void PostgresPipeline::SendPrepared(const std::string& name,
                                    const std::vector<const char*>& values) {
    sent_ = sent_ && PQsendQueryPrepared(conn_, name.c_str(), static_cast<int>(values.size()),
                                         values.data(), nullptr, nullptr, 0) == 1;
    ++count_;
}

std::vector<PgResult> PostgresPipeline::Finish() {
    std::vector<PgResult> results(count_);
    if (!open_ || !sent_ || PQpipelineSync(conn_) != 1)
        return results;
    // Each command's results end with a null; the exchange's end comes as a
    // result of its own.
    for (std::size_t k = 0; k < count_ && PQstatus(conn_) == CONNECTION_OK; ++k) {
        while (PGresult* r = PQgetResult(conn_)) {
            if (!results[k])
                results[k].reset(r);
            else
                PQclear(r);
        }
    }
    while (PQstatus(conn_) == CONNECTION_OK) {
        PgResult r(PQgetResult(conn_));
        if (!r || PQresultStatus(r.get()) == PGRES_PIPELINE_SYNC)
            break;
    }
    return results;
}

}  // namespace orva
