// The save command: checks the grid in a fixed order, asks when the price is
// below the minimum sale price, asks or refuses (as the system option says)
// when the entry would overlap another, then starts a batch add, inserts a new entry
// or updates the entry being edited.
#include <stdexcept>
#include <string>

#include "editor/editor_messages.h"
#include "editor/editor_scopes.h"
#include "editor/frm_property.h"
#include "engine/engine_values.h"
#include "engine/overlap_text.h"
#include "engine/price_store.h"
#include "engine/user_def_info.h"
#include "host/app_connection.h"
#include "host/host_ui.h"
#include "model/sql_values.h"
#include "session/module_context.h"
#include "session/res_text.h"
#include "session/rights.h"
#include "session/session.h"

namespace orva {

using R = UserDefInfo::Row;

frmProperty::CommandResult frmProperty::SaveCommand() {
    PointerScope pointer(*this);
    try {
        // The modify right is asked whenever the grid is not a new record,
        // which includes a batch add that was not started with "New": the
        // add right was asked when the window was opened for it.
        if (!newRecord_ && !CheckFunctionRight(ctx_, kRightModify))
            return CommandResult::kStopped;
        if (!CheckActiveCell())
            return CommandResult::kStopped;
        if (!CheckCustomer() || !CheckItemText() || !CheckUnit() || !CheckBand() || !CheckDates() ||
            !CheckCurrency() || !CheckPrice()) {
            return CommandResult::kStopped;
        }
        const double basePrice = BasePrice();
        if (alertOption_ == 1 && Single() && !ConfirmLowPrice(basePrice))
            return CommandResult::kStopped;
        if (Single() && !ConfirmNoOverlap())
            return CommandResult::kStopped;
        if (!WriteRecord(basePrice))
            return CommandResult::kStopped;
        return CommandResult::kDone;
    } catch (const std::runtime_error& e) {
        ShowWarning(ctx_, e.what());
        return CommandResult::kStopped;
    }
}

bool frmProperty::ConfirmLowPrice(double basePrice) {
    // The minimum price is per base unit: the store brings the price to it
    // through the unit's coefficient.
    const PriceEntry entry = EngineRef().GridEntry();
    PriceStore::FloorQuery query;
    query.custID = ValId(entry.custID);
    query.itemID = ValId(entry.itemID);
    query.basePrice = basePrice;
    query.unitID = entry.unitID;
    query.coefficientFirst = true;
    if (PriceStore(ctx_.Connection()).CheckFloor(query).kind != PriceOutcome::kBelowFloor)
        return true;
    auto dialog = ctx_.Ui().CreateMessageDialog();
    dialog->Headline(
        GetResText("对于当前客户和当前物料，您所录入的价格资料已经低于设定的销售最低限价，"
                   "是否继续保存？"));
    dialog->Show(MessageDialog::kQuestion);
    return dialog->Result() != 0;
}

bool frmProperty::ConfirmNoOverlap() {
    if (overlapOption_ != kOverlapWarn && overlapOption_ != kOverlapRefuse)
        return true;
    PriceEntry entry = EngineRef().GridEntry();
    if (newRecord_)
        entry.entryID = 0;
    const auto found = PriceStore(ctx_.Connection()).FindOverlaps({entry});
    if (found.empty())
        return true;
    const bool refuse = overlapOption_ == kOverlapRefuse;
    auto dialog = ctx_.Ui().CreateMessageDialog();
    if (refuse) {
        dialog->Title(GetResText("提示"));
        dialog->Headline(
            GetResText("您所录入的价格资料与以下价格的销货量和有效期重叠，不允许保存。"));
    } else {
        dialog->Headline(
            GetResText("您所录入的价格资料与以下价格的销货量和有效期重叠，是否继续保存？"));
    }
    for (const PriceStore::OverlapFound& f : found) {
        dialog->AddDetail(
            OverlapEntryText(f.entryID, f.price, f.startQty, f.endQty, f.quoteTime, f.expireDate));
    }
    dialog->Show(refuse ? MessageDialog::kNotice : MessageDialog::kQuestion);
    return !refuse && dialog->Result() != 0;
}

bool frmProperty::EntryStillExists() {
    RecordsetPtr rs = ctx_.Connection().Execute("Select FEntryID from t_CustEntry where FEntryID=" +
                                                SqlId(EngineRef().SelEntryID));
    return HasRow(rs);
}

bool frmProperty::WriteRecord(double basePrice) {
    UserDefInfo& engine = EngineRef();
    if (operationType_ == EditorOperation::kBatchAdd) {
        engine.OverlapOption = overlapOption_;
        std::int16_t alert = alertOption_;
        double price = basePrice;
        if (ctx_.g_CategoryByCust)
            engine.BatchAdd(alert, price);
        else
            engine.BatchAdd_Item(alert, price);
        return true;
    }
    if (!newRecord_) {
        itemID_ = ValId(CellValue(R::kRowItemNumber));
        custID_ = ValId(CellValue(R::kRowCustNumber));
        if (EntryStillExists()) {
            // Update answers with a failure flag.
            const bool updateFailed = engine.Update();
            return !updateFailed;
        }
        // Another client deleted the entry while it was open: an update
        // would change nothing. Offer to store the grid as a new entry.
        const MsgResult answer =
            ctx_.Ui().MessageBox(GetResText("该价格资料已被其他用户删除，是否作为新记录保存？"),
                                 MsgButtons::kYesNo, MsgIcon::kQuestion, GetResText("Tesmar提示"));
        if (answer != MsgResult::kYes || !CheckFunctionRight(ctx_, kRightAdd))
            return false;
    }
    if (!engine.Add())
        return false;
    itemID_ = engine.SelItemID;
    entryID_ = engine.SelEntryID;
    newRecord_ = false;
    return true;
}

}  // namespace orva
