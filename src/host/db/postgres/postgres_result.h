// Ownership of a result of the PostgreSQL client library, and its messages
// as this system quotes them.
#pragma once

#include <libpq-fe.h>

#include <memory>
#include <string>

namespace orva {

struct PgResultFree {
    void operator()(PGresult* r) const { PQclear(r); }
};
using PgResult = std::unique_ptr<PGresult, PgResultFree>;

// A message of the client library without the line break (and blanks) it
// ends with, so that it can stand inside a sentence.
inline std::string PgMessage(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

}  // namespace orva
