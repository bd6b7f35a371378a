#include "import/import_write.h"

#include <set>
#include <unordered_set>

#include "engine/price_store.h"
#include "host/app_connection.h"
#include "host/db/durable_batch.h"
#include "host/db/write_transaction.h"
#include "host/progress.h"
#include "model/sql_values.h"
#include "orvasaleprice/recordset.h"
#include "session/res_text.h"

namespace orva::import {
namespace {

bool ToWrite(const PlannedRow& row) {
    return Writes(row.outcome) || (row.outcome == RowOutcome::kBelowFloor && row.writeBelowFloor);
}

// The customer-item pairs that have their header row: read once for the
// customers the rows to write name, and added to as rows are committed, so
// that a row looks for its pair's header row only when its pair had none.
class HeaderRows {
  public:
    HeaderRows(AppConnection& db, const ImportPlan& plan) {
        std::set<std::int32_t> customers;
        for (const PlannedRow& row : plan.rows) {
            if (ToWrite(row) && row.stored < 0)
                customers.insert(row.values.custID);
        }
        for (std::int32_t cust : customers) {
            RecordsetPtr rs = db.Execute("SELECT FItemID FROM t_Cust WHERE FCustID=" + SqlId(cust));
            for (; rs && !rs->EOF_(); rs->MoveNext())
                Add(cust, static_cast<std::int32_t>(rs->Fields(0).Value().ToInteger()));
        }
    }
    bool Has(std::int32_t cust, std::int32_t item) const { return pairs_.count(Key(cust, item)); }
    void Add(std::int32_t cust, std::int32_t item) { pairs_.insert(Key(cust, item)); }

  private:
    static std::uint64_t Key(std::int32_t cust, std::int32_t item) {
        return static_cast<std::uint64_t>(static_cast<std::uint32_t>(cust)) << 32 |
               static_cast<std::uint32_t>(item);
    }
    std::unordered_set<std::uint64_t> pairs_;
};

// Adds or changes the row's entry; a new entry is audited at once when the
// company asks for it and the user may audit, in the same transaction.
// Each row in a write transaction of its own, which the import's batch may
// group with the rows around it (durable_batch.h).
PriceOutcome WriteRow(PriceStore& store, AppConnection& db, const ImportPlan& plan,
                      const PlannedRow& row, HeaderRows& headers) {
    WriteTransaction write(db.Backend());
    const PriceEntry entry = plan.Entry(row);
    if (const std::optional<PriceEntry> stored = plan.Stored(row)) {
        PriceOutcome outcome = store.Update(entry, *stored);
        if (outcome.Written())
            write.Commit();
        return outcome;
    }
    std::int32_t entryID = 0;
    const std::int32_t cust = row.values.custID, item = row.values.itemID;
    // The dry run found no stored entry with the row's key.
    PriceOutcome outcome = store.Add(entry, entryID, {headers.Has(cust, item), true});
    if (outcome.Written() && plan.auditNew)
        db.Execute("UPDATE t_CustEntry SET FUsed=1 WHERE FEntryID=" + SqlId(entryID));
    if (outcome.Written()) {
        write.Commit();
        headers.Add(cust, item);  // committed with the entry
    }
    return outcome;
}

}  // namespace

ImportResult WriteImport(ModuleContext&, AppConnection& db, ImportPlan& plan) {
    ImportResult result;
    PriceStore store(db);
    HeaderRows headers(db, plan);
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
            outcome = WriteRow(store, db, plan, row, headers);
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
