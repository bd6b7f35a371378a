// The span of a batch that writes its members one by one: each member's
// commit may return before the disk has it, and Finish, called before the
// batch tells the user how many members it wrote, waits until all of them
// are on disk (db_backend.h, BatchDurability). On a connection without
// that, every commit waits for the disk as it comes and Finish does nothing.
#pragma once

#include "host/db/db_backend.h"

namespace orva {

class DurableBatch {
  public:
    explicit DurableBatch(DbBackend& db) : durability_(dynamic_cast<BatchDurability*>(&db)) {
        if (durability_)
            durability_->BeginBatch();
    }
    // A batch left by an error still makes what it wrote durable.
    ~DurableBatch() {
        try {
            Finish();
        } catch (...) {
            // The error that brought us here is the one to report.
        }
    }
    DurableBatch(const DurableBatch&) = delete;
    DurableBatch& operator=(const DurableBatch&) = delete;

    // Throws ComError kDatabase when the members written cannot be made
    // durable.
    void Finish() {
        if (BatchDurability* d = durability_) {
            durability_ = nullptr;
            d->EndBatch();
        }
    }

  private:
    BatchDurability* durability_;
};

}  // namespace orva
