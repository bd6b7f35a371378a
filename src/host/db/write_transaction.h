// One write transaction over several calls of a connection component: the
// entry numbers it takes and the texts it runs are written together, under
// one write lock, or not at all.
//
// A connection whose database gives its callers such a transaction offers
// WriteGrouping (host/db/db_backend.h); on any other connection a WriteTransaction does nothing and
// every call stands alone, as without it.
#pragma once

#include "host/app_connection.h"

namespace orva {

// Rolled back when it goes without Commit (an error on the way).
class WriteTransaction {
  public:
    explicit WriteTransaction(AppConnection& db)
        : grouping_(dynamic_cast<WriteGrouping*>(&db.Backend())) {
        if (grouping_)
            grouping_->BeginWrite();
    }
    ~WriteTransaction() {
        if (grouping_) {
            try {
                grouping_->RollbackWrite();
            } catch (...) {
                // The error that brought us here is the one to report.
            }
        }
    }
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;

    // True when the calls since the start are grouped.
    bool Grouped() const { return grouping_ != nullptr; }

    void Commit() {
        if (WriteGrouping* g = grouping_) {
            grouping_ = nullptr;
            g->CommitWrite();
        }
    }

  private:
    WriteGrouping* grouping_;
};

}  // namespace orva
