#include "browse/adjust_scope.h"

#include <algorithm>
#include <string>
#include <tuple>

#include "host/app_connection.h"
#include "model/sql_values.h"

namespace orva {
namespace {

enum Column {
    kEntryID,
    kCustID,
    kItemID,
    kUnitID,
    kCyID,
    kStartQty,
    kEndQty,
    kPrice,
    kDiscount,
    kLeadTime,
    kQuoteTime,
    kExpireDate,
    kUsed,
    kNote,
    kCustNumber,
    kCustName,
    kItemNumber,
    kItemName,
    kUnitName,
    kCurrencyName,
};

double Number(const Variant& v) {
    return v.IsNull() ? 0 : v.ToDouble();
}

std::int32_t Id(const Variant& v) {
    return v.IsNull() ? 0 : static_cast<std::int32_t>(v.ToInteger());
}

}  // namespace

std::vector<AdjustEntry> AdjustScopeEntries(ModuleContext& ctx, bool byItem,
                                            const TreeNodeKey& node) {
    std::vector<AdjustEntry> entries;
    const std::optional<std::string> condition = tvwBuilder::NodeCondition(ctx, byItem, node);
    if (!condition)
        return entries;
    const std::string number = ctx.g_UseShortNumber ? "FShortNumber" : "FNumber";
    const std::string sql =
        "SELECT u1.FEntryID,u1.FCustID,u1.FItemID,u1.FUnitID,u1.FCyID,u1.FStartQty,u1.FEndQty,"
        "u1.FPrice,u1.FDiscount,u1.FLeadTime,u1.FQuoteTime,u1.FExpireDate,u1.FUsed,u1.FNote,"
        "v1." +
        number + ",v1.FName,t1." + number + ",t1.FName,t2.FName,t3.FName" +
        tvwBuilder::LedgerFromWhere(byItem, false, byItem ? "u1.FItemID" : "u1.FCustID",
                                    tvwBuilder::ReadRights(ctx)) +
        *condition;
    RecordsetPtr rs = ctx.Connection().Execute(sql);
    if (!rs)
        return entries;
    const long count = rs->RecordCount();
    entries.reserve(static_cast<std::size_t>(count));
    for (long r = 0; r < count; ++r) {
        auto cell = [&](Column c) -> const Variant& { return rs->Cell(r, c); };
        AdjustEntry e;
        e.entryID = Id(cell(kEntryID));
        e.custID = Id(cell(kCustID));
        e.itemID = Id(cell(kItemID));
        e.unitID = Id(cell(kUnitID));
        e.currencyID = Id(cell(kCyID));
        e.startQty = Number(cell(kStartQty));
        e.endQty = Number(cell(kEndQty));
        e.price = Number(cell(kPrice));
        e.discount = Number(cell(kDiscount));
        e.leadTime = Number(cell(kLeadTime));
        // An entry without both dates cannot be placed in time: it is not adjusted.
        std::optional<Date> quote = cell(kQuoteTime).ToDate();
        std::optional<Date> expire = cell(kExpireDate).ToDate();
        if (!quote || !expire)
            continue;
        e.quoteTime = *quote;
        e.expireDate = *expire;
        e.audited = Number(cell(kUsed)) == 1;
        e.note = cell(kNote).IsNull() ? std::string() : cell(kNote).ToText();
        e.custNumber = cell(kCustNumber).ToText();
        e.custName = cell(kCustName).ToText();
        e.itemNumber = cell(kItemNumber).ToText();
        e.itemName = cell(kItemName).ToText();
        e.unitName = cell(kUnitName).ToText();
        e.currencyName = cell(kCurrencyName).ToText();
        entries.push_back(std::move(e));
    }
    auto key = [](const AdjustEntry& e) {
        return std::tie(e.custNumber, e.itemNumber, e.unitID, e.currencyID, e.startQty, e.endQty,
                        e.quoteTime, e.entryID);
    };
    std::sort(entries.begin(), entries.end(),
              [&](const AdjustEntry& a, const AdjustEntry& b) { return key(a) < key(b); });
    return entries;
}

std::vector<AdjustEntry> FilterAdjustEntries(const std::vector<AdjustEntry>& entries,
                                             const AdjustFilter& filter) {
    std::vector<AdjustEntry> kept;
    for (const AdjustEntry& e : entries) {
        if (filter.unitID != 0 && e.unitID != filter.unitID)
            continue;
        if (filter.currencyID != 0 && e.currencyID != filter.currencyID)
            continue;
        if (filter.validOn && (e.quoteTime > *filter.validOn || e.expireDate <= *filter.validOn))
            continue;
        kept.push_back(e);
    }
    return kept;
}

}  // namespace orva
