#include "import/import_write.h"

#include "engine/price_store.h"
#include "host/app_connection.h"
#include "host/db/durable_batch.h"
#include "host/db/write_transaction.h"
#include "host/progress.h"
#include "model/sql_values.h"
#include "session/res_text.h"

namespace orva::import {
namespace {

bool ToWrite(const PlannedRow& row) {
    return Writes(row.outcome) || (row.outcome == RowOutcome::kBelowFloor && row.writeBelowFloor);
}

// Adds or changes the row's entry; a new entry is audited at once when the
// company asks for it and the user may audit, in the same transaction.
// Each row in a write transaction of its own, which the import's batch may
// group with the rows around it (durable_batch.h).
PriceOutcome WriteRow(PriceStore& store, AppConnection& db, const ImportPlan& plan,
                      const PlannedRow& row) {
    WriteTransaction write(db.Backend());
    const PriceEntry entry = plan.Entry(row);
    if (const std::optional<PriceEntry> stored = plan.Stored(row)) {
        PriceOutcome outcome = store.Update(entry, *stored);
        if (outcome.Written())
            write.Commit();
        return outcome;
    }
    std::int32_t entryID = 0;
    PriceOutcome outcome = store.Add(entry, entryID);
    if (outcome.Written() && plan.auditNew)
        db.Execute("UPDATE t_CustEntry SET FUsed=1 WHERE FEntryID=" + SqlId(entryID));
    if (outcome.Written())
        write.Commit();
    return outcome;
}

}  // namespace

ImportResult WriteImport(ModuleContext&, AppConnection& db, ImportPlan& plan) {
    ImportResult result;
    PriceStore store(db);
    const std::int64_t total = plan.ToWrite();
    ProgressScope progress(GetResText("引入价格资料"), total);
    std::int64_t done = 0;
    // Rows are committed as they come without waiting for the disk; the
    // counts are told once all are on disk.
    DurableBatch durable(db.Backend());
    for (PlannedRow& row : plan.rows) {
        if (!ToWrite(row))
            continue;
        const std::string text =
            progress.TextWanted() ? GetResText("行号") + " " + std::to_string(row.number) : "";
        if (!progress.Step(done, text)) {
            result.stopped = true;
            break;
        }
        ++done;
        PriceOutcome outcome;
        try {
            outcome = WriteRow(store, db, plan, row);
        } catch (const std::exception& e) {
            outcome = {PriceOutcome::kDatabaseError, e.what()};
        }
        if (outcome.Written()) {
            ++(row.stored >= 0 ? result.changed : result.added);
            continue;
        }
        ++result.failed;
        row.outcome = RowOutcome::kWriteFailed;
        switch (outcome.kind) {
            case PriceOutcome::kDuplicate:
                row.refusal = Refusal::kWriteDuplicate;
                break;
            case PriceOutcome::kAudited:
                row.refusal = Refusal::kWriteAudited;
                break;
            case PriceOutcome::kNoNumber:
                row.refusal = Refusal::kWriteNoNumber;
                break;
            default:
                row.refusal = Refusal::kWriteError;
                row.detail = static_cast<std::int64_t>(plan.errors.size());
                plan.errors.push_back(outcome.error);
                break;
        }
    }
    durable.Finish();
    return result;
}

}  // namespace orva::import
