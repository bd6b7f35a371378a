// One write transaction over several calls of a connection component: the
// entry numbers it takes and the texts it runs are written together, under
// one write lock, or not at all.
//
// A connection whose database gives its callers such a transaction offers
// WriteGrouping; on any other connection a WriteTransaction does nothing and
// every call stands alone, as without it.
#pragma once

#include "host/app_connection.h"

namespace orva {

// Implemented by connections to databases where one caller's transaction can
// span several calls. Inside it, a failing text undoes only its own
// statements; taking an entry number joins the transaction (the number is
// still never handed out twice: other connections wait for the write lock).
class WriteGrouping {
  public:
    virtual ~WriteGrouping() = default;
    // Takes the write lock (waiting as long as a single write would).
    // Throws ComError kDatabase when it cannot be had, or when a transaction
    // is already open on this connection.
    virtual void BeginWrite() = 0;
    // Throws ComError kDatabase when the database refused the commit; the
    // transaction is rolled back then.
    virtual void CommitWrite() = 0;
    virtual void RollbackWrite() = 0;
};

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
