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
PriceOutcome WriteRow(PriceStore& store, AppConnection& db, const PlannedRow& row, bool audit) {
    WriteTransaction write(db.Backend());
    if (row.stored) {
        PriceOutcome outcome = store.Update(row.entry, *row.stored);
        if (outcome.Written())
            write.Commit();
        return outcome;
    }
    std::int32_t entryID = 0;
    PriceOutcome outcome = store.Add(row.entry, entryID);
    if (outcome.Written() && audit)
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
            outcome = WriteRow(store, db, row, plan.auditNew);
        } catch (const std::exception& e) {
            outcome = {PriceOutcome::kDatabaseError, e.what()};
        }
        if (outcome.Written()) {
            ++(row.stored ? result.changed : result.added);
            continue;
        }
        ++result.failed;
        row.outcome = RowOutcome::kWriteFailed;
        switch (outcome.kind) {
            case PriceOutcome::kDuplicate:
                row.reason = GetResText("已有相同关键字的价格资料。");
                break;
            case PriceOutcome::kAudited:
                row.reason = GetResText("价格资料已审核，不能修改。");
                break;
            case PriceOutcome::kNoNumber:
                row.reason = GetResText("无法取得新的价格编号。");
                break;
            default:
                row.reason = outcome.error;
                break;
        }
    }
    durable.Finish();
    return result;
}

}  // namespace orva::import
