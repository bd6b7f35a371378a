// The minimum-price question of the batch add and batch update: asked per
// member when the grid's price is below the floor of that customer and item;
// and the batch add's question about a member's overlapping entry.
#include <string>

#include "engine/batch_values.h"
#include "engine/engine_values.h"
#include "engine/price_store.h"
#include "engine/user_def_info.h"
#include "host/app_connection.h"
#include "host/controls/spread.h"
#include "model/sql_values.h"
#include "session/module_context.h"
#include "session/res_text.h"
#include "session/session.h"

namespace orva {

bool UserDefInfo::ConfirmLowPrice(std::int32_t custID, std::int32_t itemID, double& basePrice) {
    AppConnection& db = ctx_.Connection();
    const bool byCustomer = ctx_.g_CategoryByCust;

    // By customer group the grid's price is per its unit; by item group it
    // is compared with the floor as it stands.
    PriceStore::FloorQuery query;
    query.custID = custID;
    query.itemID = itemID;
    query.basePrice = basePrice;
    if (byCustomer)
        query.unitID = Grid().GetText(kColValue, kRowUnit);
    if (PriceStore(db).CheckFloor(query).kind != PriceOutcome::kBelowFloor)
        return true;

    const std::string question =
        MemberLabel(custID, itemID) +
        GetResText(")的价格资料已经低于设定的销售最低限价，是否继续保存？");
    return batch::Notice(ctx_, question, MsgButtons::kYesNo, MsgIcon::kQuestion) == MsgResult::kYes;
}

bool UserDefInfo::ConfirmOverlap(std::int32_t custID, std::int32_t itemID) {
    const std::string question =
        MemberLabel(custID, itemID) +
        GetResText(")的价格资料与已有价格的销货量和有效期重叠，是否继续保存？");
    return batch::Notice(ctx_, question, MsgButtons::kYesNo, MsgIcon::kQuestion) == MsgResult::kYes;
}

std::string UserDefInfo::MemberLabel(std::int32_t custID, std::int32_t itemID) {
    const bool byCustomer = ctx_.g_CategoryByCust;
    const std::int32_t member = byCustomer ? custID : itemID;
    RecordsetPtr who = ctx_.Connection().Execute(
        "SELECT FName,FNumber,FShortNumber FROM t_Item WHERE FItemID=" + SqlId(member) +
        " AND FItemClassId=" + (byCustomer ? "1" : "4"));
    std::string name;
    std::string number;
    if (HasRow(who)) {
        name = FieldText(*who, "FName");
        number = FieldText(*who, ctx_.g_UseShortNumber ? "FShortNumber" : "FNumber");
    }
    return number + "(" + name;
}

}  // namespace orva
