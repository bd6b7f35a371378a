// One write transaction over several calls of a connection (a connection
// component's back end): the entry numbers it takes and the texts it runs are
// written together, under one write lock, or not at all.
//
// A back end whose database gives its callers such a transaction offers
// WriteGrouping (db_backend.h); on any other a WriteTransaction does nothing
// and every call stands alone, as without it.
#pragma once

#include "host/db/db_backend.h"

namespace orva {

// Rolled back when it goes without Commit (an error on the way).
class WriteTransaction {
  public:
    explicit WriteTransaction(DbBackend& db) : grouping_(dynamic_cast<WriteGrouping*>(&db)) {
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
