// The span of a batch that writes its members one by one, each in a write
// transaction of its own: the connection may group or lighten the members'
// commits (db_backend.h, BatchDurability), and Finish, called before the
// batch tells the user how many members it wrote, commits them and waits
// until all are on disk. On a connection without that, every member commits
// as it comes and Finish does nothing.
#pragma once

#include "host/db/db_backend.h"

namespace orva {

class DurableBatch {
  public:
    explicit DurableBatch(DbBackend& db)
        : durability_(dynamic_cast<BatchDurability*>(&db)), outer_(Open()) {
        if (durability_)
            durability_->BeginBatch();
        Open() = this;
    }
    // A batch left by an error still makes what it wrote durable.
    ~DurableBatch() {
        Open() = outer_;
        try {
            Finish();
        } catch (...) {
            // The error that brought us here is the one to report.
        }
    }

    // Commits the members pending in the batch this thread has open, if
    // any: what a question to the user calls first.
    static void CommitOpenBatch() {
        if (DurableBatch* open = Open())
            open->CommitPending();
    }
    DurableBatch(const DurableBatch&) = delete;
    DurableBatch& operator=(const DurableBatch&) = delete;

    // Commits the members written so far: called before a question to the
    // user, so that no lock is held while it is asked.
    void CommitPending() {
        if (durability_)
            durability_->CommitPending();
    }

    // Throws ComError kDatabase when the members written cannot be made
    // durable.
    void Finish() {
        if (BatchDurability* d = durability_) {
            durability_ = nullptr;
            d->EndBatch();
        }
    }

  private:
    // The innermost batch open on this thread.
    static DurableBatch*& Open() {
        static thread_local DurableBatch* open = nullptr;
        return open;
    }

    BatchDurability* durability_;
    DurableBatch* outer_;
};

}  // namespace orva
