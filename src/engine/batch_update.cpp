// Batch update: a new price, lead time, effective date and note for the
// current unaudited entry of every member of a group that matches the grid's
// unit, quantity band, currency and expiry date: every customer of a
// customer group with the grid's item (BatchUpdate), or every item of an item
// group, each in its base unit, with the grid's customer (BatchUpdate_Item).
// Audited entries are never changed; the discount is never written. All
// statements are collected and sent as one text at the end, so a batch the
// user stops changes nothing.
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
#include "host/controls/spread.h"
#include "model/sql_values.h"
#include "session/res_text.h"

namespace orva {
namespace {

using Row = UserDefInfo::Row;
constexpr std::int32_t kColText = UserDefInfo::kColText;
constexpr std::int32_t kColValue = UserDefInfo::kColValue;

struct BatchUpdatePlan {
    bool itemGroup = false;  // members are items (in their base units)
    std::function<void(std::int32_t, RecordsetPtr&)> members;
    std::function<bool(std::int32_t, std::int32_t)> confirm;  // (customer, item)
};

std::int32_t UpdateMembers(ModuleContext& ctx, const Spread& grid, const BatchUpdatePlan& plan,
                           std::int16_t alert) {
    const std::int32_t fixedID =
        batch::StoredId(grid, plan.itemGroup ? Row::kRowCustNumber : Row::kRowItemNumber);
    const std::int32_t groupID =
        batch::StoredId(grid, plan.itemGroup ? Row::kRowItemNumber : Row::kRowCustNumber);
    const std::string expire = batch::CellDate(grid, kColText, Row::kRowExpireDate);
    if (expire < batch::CellDate(grid, kColText, Row::kRowQuoteTime)) {
        batch::Notice(ctx, GetResText("失效日期必须大于生效日期"));
        return 0;
    }
    const PriceStore::UpdateTexts texts = PriceStore::RenderUpdate(batch::BatchEntry(grid));

    auto db = batch::NewConnection(ctx);
    PriceStore store(*db);
    RecordsetPtr members;
    plan.members(groupID, members);

    std::string text;
    std::int32_t count = 0;
    const std::vector<std::int32_t> ids = batch::MemberIDs(members);
    batch::MemberProgress progress(GetResText("批量修改"), ids, plan.itemGroup, *db,
                                   ctx.g_UseShortNumber);
    for (std::size_t i = 0; i < ids.size() && progress.Next(i); ++i) {
        const std::int32_t member = ids[i];
        const std::int32_t custID = plan.itemGroup ? fixedID : member;
        const std::int32_t itemID = plan.itemGroup ? member : fixedID;
        const std::string item = SqlId(itemID);
        std::string unit = texts.gridUnit;
        if (plan.itemGroup) {
            RecordsetPtr base = db->GetAnyRecordset(
                "select Isnull(FUnitID,0) as FUnitID from t_ICItem where FItemID=" + item);
            unit = HasRow(base) ? SqlNumber(Val(FieldText(*base, "FUnitID"))) : "0";
        }
        const std::string statement = store.MemberUpdate(texts, custID, itemID, unit);
        if (statement.empty())
            continue;
        if (alert != 0 && !plan.confirm(custID, itemID))
            continue;
        text += statement;
        ++count;
    }

    // The whole batch is one text: stopped by the user, none of it is sent.
    // Nothing qualified: there is nothing to send.
    const bool stopped = !progress.Finish();
    if (stopped)
        count = 0;
    else if (!text.empty())
        db->Execute(text);
    progress.End();
    batch::Notice(ctx,
                  batch::ClosingText(
                      GetResText("此次共修改"), count, GetResText("条记录！"),
                      stopped ? GetResText("操作已被用户中止：没有修改任何记录。") : std::string()),
                  MsgButtons::kOK, MsgIcon::kInformation);
    return count;
}

std::int32_t RunBatchUpdate(ModuleContext& ctx, const Spread& grid, const BatchUpdatePlan& plan,
                            std::int16_t alert) {
    try {
        return UpdateMembers(ctx, grid, plan, alert);
    } catch (const std::runtime_error&) {
        batch::Notice(ctx, GetResText("批量修改出错！"), MsgButtons::kOK, MsgIcon::kInformation);
        return 0;
    }
}

}  // namespace

std::int32_t UserDefInfo::BatchUpdate(std::int16_t& alertLowPrice, double& basePrice) {
    BatchUpdatePlan plan;
    plan.members = [this](std::int32_t group, RecordsetPtr& rs) { GetDetailCust(group, rs); };
    plan.confirm = [this, &basePrice](std::int32_t cust, std::int32_t item) {
        return ConfirmLowPrice(cust, item, basePrice);
    };
    return RunBatchUpdate(ctx_, Grid(), plan, alertLowPrice);
}

std::int32_t UserDefInfo::BatchUpdate_Item(std::int16_t& alertLowPrice, double& basePrice) {
    BatchUpdatePlan plan;
    plan.itemGroup = true;
    plan.members = [this](std::int32_t group, RecordsetPtr& rs) { GetDetailItem(group, rs); };
    plan.confirm = [this, &basePrice](std::int32_t cust, std::int32_t item) {
        return ConfirmLowPrice(cust, item, basePrice);
    };
    return RunBatchUpdate(ctx_, Grid(), plan, alertLowPrice);
}

}  // namespace orva
