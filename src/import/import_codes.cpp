#include "import/import_codes.h"

#include "host/app_connection.h"
#include "host/base/text_util.h"
#include "orvasaleprice/recordset.h"
#include "session/module_context.h"
#include "session/rights.h"
#include "session/rights_filter.h"
#include "session/session.h"

namespace orva::import {
namespace {

std::string TextOf(const Recordset& rs, const char* field) {
    const Variant& v = rs.Fields(field).Value();
    return v.IsNull() ? std::string() : std::string(Trim(v.ToText()));
}

std::int32_t IdOf(const Recordset& rs, const char* field) {
    const Variant& v = rs.Fields(field).Value();
    return v.IsNull() ? 0 : static_cast<std::int32_t>(v.ToInteger());
}

template <class F>
void ForEachRow(AppConnection& db, const std::string& sql, F each) {
    RecordsetPtr rs = db.Execute(sql);
    if (!rs)
        return;
    for (; !rs->EOF_(); rs->MoveNext()) each(*rs);
}

// The IDs of `table` t1 the filter lets through.
std::unordered_set<std::int32_t> Visible(AppConnection& db, const std::string& idColumn,
                                         const std::string& table, const RightsFilter& filter) {
    std::unordered_set<std::int32_t> ids;
    ForEachRow(db,
               "SELECT Distinct t1." + idColumn + " AS FID FROM " + table + " t1 " + filter.from +
                   " WHERE 1=1 " + filter.where,
               [&](const Recordset& rs) { ids.insert(IdOf(rs, "FID")); });
    return ids;
}

}  // namespace

CodeBook::CodeBook(ModuleContext& ctx, AppConnection& db) {
    const char* code = ctx.g_UseShortNumber ? "FShortNumber" : "FNumber";
    ForEachRow(
        db,
        std::string("SELECT FItemID,") + code + " AS FCode FROM t_Organization WHERE FDeleted <> 1",
        [&](const Recordset& rs) { customers_.emplace(TextOf(rs, "FCode"), IdOf(rs, "FItemID")); });
    ForEachRow(db,
               std::string("SELECT FItemID,") + code +
                   " AS FCode,FUnitID,FUnitGroupID,FErpClsID FROM t_ICItem WHERE FDeleted <> 1",
               [&](const Recordset& rs) {
                   ItemCode item{IdOf(rs, "FItemID"), IdOf(rs, "FUnitID"), IdOf(rs, "FUnitGroupID"),
                                 IdOf(rs, "FErpClsID")};
                   items_.emplace(TextOf(rs, "FCode"), item);
                   itemsByID_.emplace(item.id, item);
               });
    ForEachRow(db,
               "SELECT FMeasureUnitID,FUnitGroupID,FNumber,FName FROM t_MeasureUnit WHERE "
               "FDeleted <> 1",
               [&](const Recordset& rs) {
                   units_.push_back({IdOf(rs, "FMeasureUnitID"), IdOf(rs, "FUnitGroupID"),
                                     TextOf(rs, "FNumber"), TextOf(rs, "FName")});
               });
    ForEachRow(
        db,
        "SELECT FCurrencyID,FNumber,FName FROM t_Currency WHERE FCurrencyID>0 AND FDeleted <> 1",
        [&](const Recordset& rs) {
            currencyNumbers_.emplace(TextOf(rs, "FNumber"), IdOf(rs, "FCurrencyID"));
            currencyNames_.emplace(TextOf(rs, "FName"), IdOf(rs, "FCurrencyID"));
        });

    rights_ = DataRightsApply(ctx);
    if (rights_) {
        const std::int32_t user = GetCurUserID(ctx);
        visibleCustomers_ = Visible(db, "FItemID", "t_Organization",
                                    EditorCustomerFilter(user, HasItemClassRight(ctx, 1)));
        visibleItems_ =
            Visible(db, "FItemID", "t_ICItem", EditorItemFilter(user, HasItemClassRight(ctx, 4)));
        visibleCurrencies_ = Visible(db, "FCurrencyID", "t_Currency", EditorCurrencyFilter(user));
    }
}

Found CodeBook::Customer(const std::string& code, std::int32_t& id) const {
    auto it = customers_.find(std::string(Trim(code)));
    if (it == customers_.end())
        return Found::kUnknown;
    id = it->second;
    return CustomerVisible(id) ? Found::kYes : Found::kNoRight;
}

bool CodeBook::CustomerVisible(std::int32_t id) const {
    return !rights_ || visibleCustomers_.count(id) > 0;
}

Found CodeBook::Item(const std::string& code, ItemCode& item) const {
    auto it = items_.find(std::string(Trim(code)));
    if (it == items_.end())
        return Found::kUnknown;
    item = it->second;
    return !rights_ || visibleItems_.count(item.id) ? Found::kYes : Found::kNoRight;
}

std::optional<ItemCode> CodeBook::ItemByID(std::int32_t id) const {
    auto it = itemsByID_.find(id);
    if (it == itemsByID_.end())
        return std::nullopt;
    if (rights_ && !visibleItems_.count(id))
        return std::nullopt;
    return it->second;
}

std::optional<std::int32_t> CodeBook::Unit(const ItemCode& item, const std::string& text) const {
    const std::string_view t = Trim(text);
    if (t.empty())
        return item.baseUnit;
    for (const UnitCode& u : units_) {
        if (u.group == item.unitGroup && u.number == t)
            return u.id;
    }
    for (const UnitCode& u : units_) {
        if (u.group == item.unitGroup && u.name == t)
            return u.id;
    }
    return std::nullopt;
}

Found CodeBook::Currency(const std::string& text, std::int32_t& id) const {
    const std::string t(Trim(text));
    if (auto number = currencyNumbers_.find(t); number != currencyNumbers_.end())
        id = number->second;
    else if (auto name = currencyNames_.find(t); name != currencyNames_.end())
        id = name->second;
    else
        return Found::kUnknown;
    return !rights_ || visibleCurrencies_.count(id) ? Found::kYes : Found::kNoRight;
}

}  // namespace orva::import
