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
#include "engine/price_store.h"
#include "engine/user_def_info.h"
#include "host/app_connection.h"
#include "host/base/pass_over.h"
#include "host/base/text_util.h"
#include "host/controls/spread.h"
#include "host/db/durable_batch.h"
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

struct BatchAddPlan {
    bool itemGroup = false;  // members are items, the customer is fixed
    bool gridUnit = true;    // the unit comes from the grid (else each item's)
    std::function<void(std::int32_t, RecordsetPtr&)> members;
    std::function<bool(std::int32_t, std::int32_t)> confirm;  // (customer, item)
    // The overlap option and its question (customer, item).
    std::int16_t overlapOption = 0;
    std::function<bool(std::int32_t, std::int32_t)> confirmOverlap;
};

// Whether the member's entry may be written beside the entries it would
// overlap: with the option at 1 the user is asked, at 2 it is not written
// (`refused` counts it); any other value does not look.
bool OverlapAllowed(PriceStore& store, const BatchAddPlan& plan, const PriceEntry& batchEntry,
                    const PriceStore::MemberEntry& member, int& refused) {
    if (plan.overlapOption != 1 && plan.overlapOption != 2)
        return true;
    PriceEntry entry = batchEntry;
    entry.custID = std::to_string(member.custID);
    entry.itemID = std::to_string(member.itemID);
    entry.unitID = member.unit;
    if (store.FindOverlaps({entry}).empty())
        return true;
    if (plan.overlapOption == 1)
        return plan.confirmOverlap(member.custID, member.itemID);
    ++refused;
    return false;
}

// Adds the entry of one member unless it exists or the user declines its
// price; true when it was written. A database failure ends the batch.
bool AddMember(PriceStore& store, const BatchAddPlan& plan, const PriceStore::AddTexts& texts,
               const PriceEntry& batchEntry, bool audited, std::int16_t alert, std::int32_t cust,
               std::int32_t item, int& refused) {
    const auto member = store.PlanMember(texts, cust, item, !plan.gridUnit);
    if (!member)
        return false;
    if (alert != 0 && !plan.confirm(cust, item))
        return false;
    if (!OverlapAllowed(store, plan, batchEntry, *member, refused))
        return false;
    const PriceOutcome outcome = store.WriteMember(texts, *member, audited);
    switch (outcome.kind) {
        case PriceOutcome::kWritten:
            return true;
        case PriceOutcome::kDuplicate:
            return false;
        case PriceOutcome::kNoNumber:
            throw ComError(ComError::kGeneric, "No new entry number could be taken.");
        default:
            throw ComError(ComError::kGeneric, outcome.error);
    }
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
        batch::Notice(ctx, GetResText("失效日期必须大于生效日期"));
        return 0;
    }
    const PriceEntry batchEntry = batch::BatchEntry(grid);
    const PriceStore::AddTexts texts = PriceStore::RenderAdd(batchEntry, plan.gridUnit);

    // Everything of the loop goes through the operation's own connection,
    // entry numbers too (the numbering is shared by every connection to the
    // database): on an embedded database a write on one connection makes
    // every other connection of the process reload its cached pages, which
    // alternating connections would pay for on every member.
    auto db = batch::NewConnection(ctx);
    PriceStore store(*db);
    RecordsetPtr members;
    plan.members(groupID, members);

    std::int32_t count = 0;
    int refused = 0;  // members passed over for an overlapping entry
    const std::vector<std::int32_t> ids = batch::MemberIDs(members);
    batch::MemberProgress progress(GetResText("批量新增"), ids, plan.itemGroup, *db,
                                   ctx.g_UseShortNumber);
    // Each member commits on its own without waiting for the disk; the
    // count is told once every member written is on disk.
    DurableBatch durable(db->Backend());
    for (std::size_t i = 0; i < ids.size() && progress.Next(i); ++i) {
        const std::int32_t member = ids[i];
        const std::int32_t cust = plan.itemGroup ? fixedID : member;
        const std::int32_t item = plan.itemGroup ? member : fixedID;
        if (AddMember(store, plan, texts, batchEntry, audited, alert, cust, item, refused))
            ++count;
    }
    durable.Finish();

    progress.End();
    // Stopped: each member was written as it came, so what was added stays.
    std::string stopNote;
    if (progress.Stopped()) {
        stopNote = count > 0 ? GetResText("操作已被用户中止：已新增的记录保留，其余成员没有新增。")
                             : GetResText("操作已被用户中止：没有新增任何记录。");
    }
    batch::Notice(
        ctx, batch::ClosingText(GetResText("此次共新增"), count, GetResText("条记录！"), stopNote),
        MsgButtons::kOK, MsgIcon::kInformation);
    if (refused > 0) {
        batch::Notice(
            ctx,
            ReplaceAll(GetResText("有 %1 个成员的价格与已有价格的销货量和有效期重叠，没有新增。"),
                       "%1", std::to_string(refused)),
            MsgButtons::kOK, MsgIcon::kInformation);
    }
    if (count > 0 && audited) {
        batch::Notice(ctx, GetResText("本次新增记录都已自动审核！"), MsgButtons::kOK,
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
        batch::Notice(ctx, GetResText("批量新增出错！"), MsgButtons::kOK, MsgIcon::kInformation);
        return 0;
    }
}

}  // namespace

std::int32_t UserDefInfo::BatchAdd(std::int16_t& alertLowPrice, double& basePrice) {
    BatchAddPlan plan;
    plan.overlapOption = OverlapOption;
    plan.confirmOverlap = [this](std::int32_t cust, std::int32_t item) {
        return ConfirmOverlap(cust, item);
    };
    plan.members = [this](std::int32_t group, RecordsetPtr& rs) { GetDetailCust(group, rs); };
    plan.confirm = [this, &basePrice](std::int32_t cust, std::int32_t item) {
        return ConfirmLowPrice(cust, item, basePrice);
    };
    return RunBatchAdd(ctx_, Grid(), plan, alertLowPrice);
}

std::int32_t UserDefInfo::BatchAdd_Item(std::int16_t& alertLowPrice, double& basePrice) {
    BatchAddPlan plan;
    plan.overlapOption = OverlapOption;
    plan.confirmOverlap = [this](std::int32_t cust, std::int32_t item) {
        return ConfirmOverlap(cust, item);
    };
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
