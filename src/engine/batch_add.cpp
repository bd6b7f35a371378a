// Batch add: one new price entry from the grid for every member of a group,
// for every customer of a customer group and the grid's item (BatchAdd), or
// for every item of an item group and the grid's customer (BatchAdd_Item).
// A member that already has the entry is passed over; a missing
// customer-item header row is written with the entry; each entry may be
// confirmed against the minimum price and written audited when the company
// asks for it and the user holds the audit right. The progress shows the
// member being written; when the user stops, the members written so far
// stay, no further one is written, and the closing message says so.
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/batch_progress.h"
#include "engine/batch_values.h"
#include "engine/engine_values.h"
#include "engine/user_def_info.h"
#include "host/app_connection.h"
#include "host/base/pass_over.h"
#include "host/base/text_util.h"
#include "host/controls/spread.h"
#include "host/db/write_transaction.h"
#include "host/gl_data.h"
#include "model/sql_values.h"
#include "orvasaleprice/com_error.h"
#include "session/module_context.h"
#include "session/res_text.h"
#include "session/rights.h"
#include "session/session.h"

namespace orva {
namespace {

using Row = UserDefInfo::Row;
constexpr std::int32_t kColText = UserDefInfo::kColText;
constexpr std::int32_t kColValue = UserDefInfo::kColValue;

// The user may audit (asked without a message; any failure counts as no).
bool HoldsAuditRight(ModuleContext& ctx) {
    return PassOver(
        [&] {
            return GetGLData(ctx)->AccessCheck(FunctionObjectID(ctx), kFunctionRightIndex,
                                               kRightAudit);
        },
        false);
}

// What the grid gives every entry of the batch.
struct EntryValues {
    std::string unit;  // the grid's unit, "" when each item's base unit is used
    std::string startQty, endQty, price, currency, leadTime;
    std::string quoteTime, expireDate;  // quoted dates
    std::string note;                   // quoted text
};

EntryValues ReadEntryValues(const Spread& grid, bool gridUnit) {
    EntryValues v;
    if (gridUnit) {
        v.unit = SqlId(WholeNumber(Trim(grid.GetText(kColValue, Row::kRowUnit))));
    }
    v.startQty = SqlNumber(batch::StoredNumber(grid, Row::kRowStartQty));
    v.endQty = SqlNumber(batch::StoredNumber(grid, Row::kRowEndQty));
    v.price = SqlNumber(batch::StoredNumber(grid, Row::kRowPrice));
    v.currency = SqlNumber(batch::StoredNumber(grid, Row::kRowCurrency));
    v.leadTime = SqlNumber(batch::StoredNumber(grid, Row::kRowLeadTime));
    v.quoteTime = SqlDate(batch::CellDate(grid, kColValue, Row::kRowQuoteTime));
    v.expireDate = SqlDate(batch::CellDate(grid, kColText, Row::kRowExpireDate));
    v.note = SqlText(grid.GetText(kColText, Row::kRowNote));
    return v;
}

// Writes one member's texts (header row, if one was missing, and entry) as
// one batch. Another client may have written the pair's header row or the
// same entry since the look-ups; the member is then handled as the look-ups
// would have handled it: the entry alone when only the header row appeared,
// skipped when the entry itself did. False: skipped.
bool WriteMember(AppConnection& db, const std::string& headerLookUp, const std::string& duplicate,
                 const std::string& header, const std::string& entry) {
    std::string text = header + entry;
    for (;;) {
        try {
            db.Execute(text);
            return true;
        } catch (const ComError& e) {
            if (e.Number() != ComError::kUniqueKeyConflict)
                throw;
            if (HasRow(db.GetAnyRecordset(duplicate)))
                return false;
            if (text == entry || !HasRow(db.GetAnyRecordset(headerLookUp)))
                throw;
            text = entry;
        }
    }
}

struct BatchAddPlan {
    bool itemGroup = false;  // members are items, the customer is fixed
    bool gridUnit = true;    // the unit comes from the grid (else each item's)
    std::function<void(std::int32_t, RecordsetPtr&)> members;
    std::function<bool(std::int32_t, std::int32_t)> confirm;  // (customer, item)
};

// Adds the entry of one member unless it exists or the user declines its
// price; true when it was written.
bool AddMember(AppConnection& db, const BatchAddPlan& plan, const EntryValues& v, bool audited,
               std::int16_t alert, std::int32_t cust, std::int32_t item) {
    const std::string crlf(kCrLf);
    const std::string custText = SqlId(cust);
    const std::string itemText = SqlId(item);

    std::string header;
    const std::string headerLookUp =
        "SELECT * FROM t_Cust WHERE FItemID=" + itemText + " AND FCustID=" + custText;
    if (!HasRow(db.GetAnyRecordset(headerLookUp))) {
        header = "INSERT INTO t_Cust (FBrNo,FItemID,FCustID,FCurrencyID,FSELowPrice) " + crlf +
                 "VALUES ('0'," + itemText + "," + custText + ",1,0 ) " + crlf;
    }

    std::string unit = v.unit;
    std::string unitMatch = " AND FUnitID=" + v.unit;
    if (!plan.gridUnit) {
        // Each item in its own base unit; an item without one gets 0.
        RecordsetPtr base =
            db.GetAnyRecordset("select FUnitID from t_ICItem where FItemID=" + itemText);
        if (HasRow(base) && !base->Fields("FUnitID").Value().IsNull()) {
            unit = SqlId(base->Fields("FUnitID").Value().ToInteger());
            unitMatch = " And FunitID=" + unit;
        } else {
            unit = "0";
            unitMatch.clear();
        }
    }

    const std::string duplicate = "SELECT * FROM t_CustEntry WHERE FCustID=" + custText +
                                  " AND FItemID=" + itemText + unitMatch +
                                  " AND FStartQty=" + v.startQty + " AND FEndQty=" + v.endQty +
                                  " AND FCyID=" + v.currency + " AND FQuoteTime=" + v.quoteTime +
                                  " AND FExpireDate=" + v.expireDate + " ";
    if (HasRow(db.GetAnyRecordset(duplicate)))
        return false;
    if (alert != 0 && !plan.confirm(cust, item))
        return false;

    // The number, the header row and the entry in one write transaction of
    // the batch's connection where the database allows it: one commit per
    // member instead of two.
    WriteTransaction write(db.Backend());
    const std::int32_t entryID = db.GetICMaxNum("t_Cust");
    if (entryID < 1) {
        throw ComError(ComError::kGeneric, "No new entry number could be taken.");
    }
    const std::string entry =
        "INSERT INTO t_CustEntry(FBrNo,FCustID,FItemID,FEntryID,FUnitID,FStartQty,FEndQty,"
        "FPrice,FCyID,FLeadTime,FQuoteTime,FUsed,FExpireDate,FNote)" +
        crlf + "VALUES('0'," + custText + "," + itemText + "," + SqlId(entryID) + "," + unit + "," +
        v.startQty + "," + v.endQty + "," + v.price + "," + v.currency + "," + v.leadTime + "," +
        v.quoteTime + "," + (audited ? "1," : "0,") + v.expireDate + "," + v.note + ")" + crlf;
    const bool written = WriteMember(db, headerLookUp, duplicate, header, entry);
    write.Commit();
    return written;
}

std::int32_t AddMembers(ModuleContext& ctx, const Spread& grid, const BatchAddPlan& plan,
                        std::int16_t alert) {
    const bool auditAsked = GetSysProfile(ctx, "BatchAuditSalePrice") != 0;
    const bool auditRight = auditAsked && HoldsAuditRight(ctx);
    const bool audited = auditAsked && auditRight;

    const std::int32_t fixedID =
        batch::StoredId(grid, plan.itemGroup ? Row::kRowCustNumber : Row::kRowItemNumber);
    const std::int32_t groupID =
        batch::StoredId(grid, plan.itemGroup ? Row::kRowItemNumber : Row::kRowCustNumber);
    if (batch::CellDate(grid, kColText, Row::kRowExpireDate) <
        batch::CellDate(grid, kColText, Row::kRowQuoteTime)) {
        batch::Notice(GetResText("失效日期必须大于生效日期"));
        return 0;
    }
    const EntryValues v = ReadEntryValues(grid, plan.gridUnit);

    // Everything of the loop goes through the operation's own connection,
    // entry numbers too (the numbering is shared by every connection to the
    // database): on an embedded database a write on one connection makes
    // every other connection of the process reload its cached pages, which
    // alternating connections would pay for on every member.
    auto db = batch::NewConnection(ctx);
    RecordsetPtr members;
    plan.members(groupID, members);

    std::int32_t count = 0;
    const std::vector<std::int32_t> ids = batch::MemberIDs(members);
    batch::MemberProgress progress(GetResText("批量新增"), ids, plan.itemGroup, *db,
                                   ctx.g_UseShortNumber);
    for (std::size_t i = 0; i < ids.size() && progress.Next(i); ++i) {
        const std::int32_t member = ids[i];
        const std::int32_t cust = plan.itemGroup ? fixedID : member;
        const std::int32_t item = plan.itemGroup ? member : fixedID;
        if (AddMember(*db, plan, v, audited, alert, cust, item))
            ++count;
    }

    progress.End();
    // Stopped: each member was written as it came, so what was added stays.
    std::string stopNote;
    if (progress.Stopped()) {
        stopNote = count > 0 ? GetResText("操作已被用户中止：已新增的记录保留，其余成员没有新增。")
                             : GetResText("操作已被用户中止：没有新增任何记录。");
    }
    batch::Notice(
        batch::ClosingText(GetResText("此次共新增"), count, GetResText("条记录！"), stopNote),
        MsgButtons::kOK, MsgIcon::kInformation);
    if (count > 0 && audited) {
        batch::Notice(GetResText("本次新增记录都已自动审核！"), MsgButtons::kOK,
                      MsgIcon::kInformation);
    } else if (count > 0 && auditAsked && !auditRight) {
        ShowAssistant(GetResText("没有权限,不能自动审核。请与系统管理员联系!"));
    }
    return count;
}

std::int32_t RunBatchAdd(ModuleContext& ctx, const Spread& grid, const BatchAddPlan& plan,
                         std::int16_t alert) {
    try {
        return AddMembers(ctx, grid, plan, alert);
    } catch (const std::runtime_error&) {
        batch::Notice(GetResText("批量新增出错！"), MsgButtons::kOK, MsgIcon::kInformation);
        return 0;
    }
}

}  // namespace

std::int32_t UserDefInfo::BatchAdd(std::int16_t& alertLowPrice, double& basePrice) {
    BatchAddPlan plan;
    plan.members = [this](std::int32_t group, RecordsetPtr& rs) { GetDetailCust(group, rs); };
    plan.confirm = [this, &basePrice](std::int32_t cust, std::int32_t item) {
        return ConfirmLowPrice(cust, item, basePrice);
    };
    return RunBatchAdd(ctx_, Grid(), plan, alertLowPrice);
}

std::int32_t UserDefInfo::BatchAdd_Item(std::int16_t& alertLowPrice, double& basePrice) {
    BatchAddPlan plan;
    plan.itemGroup = true;
    // Grouped by item, the editor offers no unit: each item's base unit.
    plan.gridUnit = ctx_.g_CategoryByCust;
    plan.members = [this](std::int32_t group, RecordsetPtr& rs) { GetDetailItem(group, rs); };
    plan.confirm = [this, &basePrice](std::int32_t cust, std::int32_t item) {
        return ConfirmLowPrice(cust, item, basePrice);
    };
    return RunBatchAdd(ctx_, Grid(), plan, alertLowPrice);
}

}  // namespace orva
