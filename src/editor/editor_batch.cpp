// The batch update and batch delete commands: the grid holds the criteria
// (the group's customer or item, unit, band, currency, price and dates) and
// the engine runs the operation over every member of the group. The batch
// operations report their own failures, so a run-time error ends the command
// without a message of its own.
#include <exception>

#include "editor/editor_scopes.h"
#include "editor/frm_property.h"
#include "engine/user_def_info.h"
#include "entry/globals.h"
#include "entry/rights.h"

namespace orva {

int frmProperty::BatchUpdateCommand() {
    PointerScope pointer(*this);
    try {
        if (!CheckFunctionRight(kRightModify))
            return 0;
        if (!CheckActiveCell() || !CheckItemValue() || !CheckBand() || !CheckDates() ||
            !CheckCurrency() || !CheckPrice()) {
            return 0;
        }
        // No minimum-price question here: the batch asks per entry.
        std::int16_t alert = alertOption_;
        double basePrice = BasePrice();
        UserDefInfo& engine = EngineRef();
        if (g_CategoryByCust)
            engine.BatchUpdate(alert, basePrice);
        else
            engine.BatchUpdate_Item(alert, basePrice);
        dirty_ = false;
        return kDone;
    } catch (const std::exception&) {
        return 0;
    }
}

int frmProperty::BatchDeleteCommand() {
    PointerScope pointer(*this);
    try {
        if (!CheckActiveCell() || !CheckItemValue() || !CheckBand() || !CheckCurrency() ||
            !CheckPrice() || !CheckDates()) {
            return 0;
        }
        UserDefInfo& engine = EngineRef();
        if (g_CategoryByCust)
            engine.BatchDelete();
        else
            engine.BatchDelete_Item();
        dirty_ = false;
        return kDone;
    } catch (const std::exception&) {
        return 0;
    }
}

}  // namespace orva
