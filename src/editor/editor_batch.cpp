// The batch update and batch delete commands: the grid holds the criteria
// (the group's customer or item, unit, band, currency, price and dates) and
// the engine runs the operation over every member of the group. The batch
// operations report their own failures, so a failing step ends the command
// without a message of its own.
#include "host/base/pass_over.h"

#include "editor/editor_scopes.h"
#include "editor/frm_property.h"
#include "engine/user_def_info.h"
#include "session/module_context.h"
#include "session/rights.h"

namespace orva {

frmProperty::CommandResult frmProperty::BatchUpdateCommand() {
    PointerScope pointer(*this);
    return PassOver([this] { return RunBatchUpdate(); }, CommandResult::kStopped);
}

frmProperty::CommandResult frmProperty::RunBatchUpdate() {
    if (!CheckFunctionRight(ctx_, kRightModify))
        return CommandResult::kStopped;
    if (!CheckActiveCell() || !CheckItemValue() || !CheckBand() || !CheckDates() ||
        !CheckCurrency() || !CheckPrice()) {
        return CommandResult::kStopped;
    }
    // No minimum-price question here: the batch asks per entry.
    std::int16_t alert = alertOption_;
    double basePrice = BasePrice();
    UserDefInfo& engine = EngineRef();
    if (ctx_.g_CategoryByCust)
        engine.BatchUpdate(alert, basePrice);
    else
        engine.BatchUpdate_Item(alert, basePrice);
    dirty_ = false;
    return CommandResult::kDone;
}

frmProperty::CommandResult frmProperty::BatchDeleteCommand() {
    PointerScope pointer(*this);
    return PassOver([this] { return RunBatchDelete(); }, CommandResult::kStopped);
}

frmProperty::CommandResult frmProperty::RunBatchDelete() {
    if (!CheckActiveCell() || !CheckItemValue() || !CheckBand() || !CheckCurrency() ||
        !CheckPrice() || !CheckDates()) {
        return CommandResult::kStopped;
    }
    UserDefInfo& engine = EngineRef();
    if (ctx_.g_CategoryByCust)
        engine.BatchDelete();
    else
        engine.BatchDelete_Item();
    dirty_ = false;
    return CommandResult::kDone;
}

}  // namespace orva
