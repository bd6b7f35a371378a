// Ownership of a statement SQLite prepared: finalized when its handle goes.
#pragma once

#include <sqlite3.h>

#include <memory>

namespace orva {

struct StmtFinalizer {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using StmtHandle = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

}  // namespace orva
