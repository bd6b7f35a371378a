// Loading an entry into the descriptors (SetValues) and the display names of
// the IDs the descriptors hold (GetName, GetOtherName).
#include "engine/engine_values.h"
#include "engine/user_def_info.h"
#include "host/app_connection.h"
#include "host/base/pass_over.h"
#include "host/base/text_util.h"
#include "host/data_type_codes.h"
#include "host/host_ui.h"
#include "host/item_classes.h"
#include "model/sql_values.h"
#include "orvasaleprice/com_error.h"
#include "session/module_context.h"
#include "session/res_text.h"
#include "session/session.h"

namespace orva {
namespace {

// The first field of the current row as text (raises on an empty set).
std::string FirstColumn(const RecordsetPtr& rs) {
    if (!rs || !rs->IsOpen()) {
        throw ComError(ComError::kNoCurrentRecord,
                       "Either BOF or EOF is True, or the current record has been deleted.");
    }
    return TrimmedText(rs->Fields(0).Value());
}

// The named field of the first row, or "" when there is no row.
std::string FirstRowField(const RecordsetPtr& rs, std::string_view name) {
    return HasRow(rs) ? FieldText(*rs, name) : std::string();
}

// Sets the scale of a descriptor when it exists.
// The code of the group `ID` (a t_Item row that is no detail) of an item
// class, short or full as the session shows codes.
std::string GroupCode(AppConnection& db, const std::string& ID, std::int32_t itemClass,
                      bool shortNumber) {
    const std::string cls = std::to_string(itemClass);
    return FirstRowField(
        db.Execute(shortNumber
                       ? "SELECT FShortNumber as FNumber FROM t_Item WHERE "
                         "FItemID=" +
                             ID + " AND FDetail=0 AND FItemClassID=" + cls +
                             "   Order by FShortNumber"
                       : "SELECT FNumber FROM t_Item WHERE FItemID=" + ID +
                             " AND  FDetail=0 AND FItemClassID=" + cls + "   Order by FNumber"),
        "FNumber");
}

void SetScale(const std::shared_ptr<t_PropDesc>& desc, std::int16_t scale) {
    if (desc)
        desc->m_Scale = scale;
}

}  // namespace

std::int32_t UserDefInfo::SetValues(frmProperty* /*frm*/) {
    AppConnection* db = nullptr;
    RecordsetPtr entry;
    try {
        db = &ctx_.Connection();
        if (IsBatch() && ctx_.g_CategoryByCust) {
            std::string id = "0";
            if (SelCustID != 0) {
                id = FirstColumn(
                    db->Execute("SELECT FItemID FROM t_Item WHERE FItemclassID=1 AND FItemID=" +
                                SqlId(SelCustID)));
            }
            for (int row : {kRowCustNumber, kRowCustName}) {
                if (auto d = Desc(row))
                    d->m_Value = id;
            }
        } else if (IsBatch()) {
            std::string id = "0";
            if (SelItemID != 0) {
                id = FirstColumn(
                    db->Execute("Select FItemID from t_item where FItemClassID=4 and FItemID=" +
                                SqlId(SelItemID)));
            }
            for (int row : {kRowItemNumber, kRowItemName, kRowModel}) {
                if (auto d = Desc(row))
                    d->m_Value = id;
            }
        }
        if (SelEntryID == 0)
            return 0;
        std::string sql = "SELECT * FROM t_CustEntry WHERE FEntryID=" + SqlId(SelEntryID);
        sql += ctx_.g_CategoryByCust ? " AND FCustID=" + SqlId(SelCustID)
                                     : " AND FItemID=" + SqlId(SelItemID);
        entry = db->Execute(sql);
    } catch (const std::runtime_error& e) {
        ctx_.Ui().MessageBox(GetResText("设置属性值出错，错误描述：") + e.what(), MsgButtons::kOK,
                             MsgIcon::kExclamation, GetResText("Tesmar提示"));
        return 0;
    }
    if (!HasRow(entry))
        return 0;

    // From here every step that fails is passed over.
    auto attempt = [](auto&& step) { PassOver(step); };
    attempt([&] {
        SelItemID = static_cast<std::int32_t>(entry->Fields("FItemID").Value().ToInteger());
    });
    attempt([&] {
        SelCustID = static_cast<std::int32_t>(entry->Fields("FCustID").Value().ToInteger());
    });
    attempt([&] { SelUsed = entry->Fields("FUsed").Value().ToBool() ? 1 : 0; });
    for (const auto& desc : *PropDesc()) {
        attempt([&] {
            const Variant& v = entry->Fields(desc->m_SqlColName).Value();
            if (desc->m_DataType == adDate || desc->m_DataType == adDBTimeStamp) {
                if (auto date = v.ToDate())
                    desc->m_Value = date->ToText();
            } else if (desc->m_DataType == adBoolean) {
                desc->m_Value = !v.IsNull() && v.ToBool() ? "1" : "0";
            } else {
                desc->m_Value = TrimmedText(v);
            }
        });
    }
    return 0;
}

std::string UserDefInfo::UnitName(std::int32_t unitID) {
    std::string sql;
    if (SelEntryID != 0) {
        sql = ctx_.g_UseShortNumber
                  ? "SELECT FItemID,FShortNumber as FNumber,FName FROM t_MeasureUnit Order by "
                    "FShortNumber"
                  : "SELECT FItemID,FNumber,FName FROM t_MeasureUnit Order by FNumber";
    } else {
        sql = ctx_.g_UseShortNumber
                  ? "SELECT t1.FItemID,t1.FShortNumber as FNumber,t1.FName FROM t_MeasureUnit t1, "
                    "t_ICItem t2 WHERE t1.FItemID=t2.FUnitID Order by t1.FShortNumber"
                  : "SELECT t1.FItemID,t1.FNumber,t1.FName FROM t_MeasureUnit t1, t_ICItem t2 "
                    "WHERE t1.FItemID=t2.FUnitID Order by t1.FNumber";
    }
    // The store never hands a set back, so the list is read afresh each time.
    RecordsetPtr units = baseGroup_.ItemExitIn("7t");
    if (!units) {
        units = ctx_.Connection().Execute(sql);
        baseGroup_.Add(units, "7t");
    }
    std::string name;
    units->Filter(" FItemID=" + SqlId(unitID));
    if (HasRow(units))
        name = FieldText(*units, "FName");
    units->Filter("");
    return name;
}

std::string UserDefInfo::GetName(std::int32_t id, std::int32_t kind) {
    // A name that cannot be read shows as empty.
    return PassOver(
        [&] {
            AppConnection& db = ctx_.Connection();
            switch (kind) {
                case 1:
                    return CustomerCode(db, id);
                case 4:
                    return ItemCode(db, id);
                case 7:
                    return !IsBatch() || ctx_.g_CategoryByCust ? UnitName(id) : std::string();
                case 9:
                    return ItemName(db, id);
                case 10:  // model (规格型号)
                    if (IsBatch())
                        return std::string();
                    return FirstRowField(
                        db.Execute("Select  FModel,FItemID FROM t_ICItem Where FItemID=" +
                                   SqlId(id)),
                        "FModel");
                case 11:
                    return CustomerName(db, id);
                default:
                    return std::string();
            }
        },
        std::string());
}

std::string UserDefInfo::CustomerCode(AppConnection& db, std::int32_t id) {
    const std::string ID = SqlId(id);
    const bool shortNo = ctx_.g_UseShortNumber;
    if (!IsBatch()) {
        return FirstRowField(
            db.Execute(shortNo ? "SELECT FShortNumber as FNumber FROM t_Organization "
                                 "WHERE FItemID=" +
                                     ID + "   Order by FShortNumber"
                               : "SELECT FNumber FROM t_Organization WHERE FItemID=" + ID +
                                     "  Order by FNumber"),
            "FNumber");
    }
    if (id == 0)
        return std::string();
    return GroupCode(db, ID, kItemClassCustomer, ctx_.g_UseShortNumber);
}

std::string UserDefInfo::ItemCode(AppConnection& db, std::int32_t id) {
    const std::string ID = SqlId(id);
    const bool shortNo = ctx_.g_UseShortNumber;
    if (!IsBatch()) {
        RecordsetPtr rs =
            db.Execute(shortNo ? "Select  FShortNumber as FNumber,FQtyDecimal,FPriceDecimal,FName,"
                                 "FItemID FROM t_ICItem Where FItemID=" +
                                     ID
                               : "Select  FNumber,FQtyDecimal,FPriceDecimal,FName,FItemID FROM "
                                 "t_ICItem Where FItemID=" +
                                     ID);
        if (!HasRow(rs))
            return std::string();
        // The price and quantity rows take the item's own decimals.
        const Variant& price = rs->Fields("FPriceDecimal").Value();
        const Variant& qty = rs->Fields("FQtyDecimal").Value();
        SetScale(PropDesc()->Item("FPrice"),
                 static_cast<std::int16_t>(price.IsNull() ? 2 : price.ToInteger()));
        const auto qtyScale = static_cast<std::int16_t>(qty.IsNull() ? 4 : qty.ToInteger());
        SetScale(PropDesc()->Item("FEndQty"), qtyScale);
        SetScale(PropDesc()->Item("FStartQty"), qtyScale);
        return FieldText(*rs, "FNumber");
    }
    if (ctx_.g_CategoryByCust || id == 0)
        return std::string();
    return GroupCode(db, ID, kItemClassItem, ctx_.g_UseShortNumber);
}

std::string UserDefInfo::ItemName(AppConnection& db, std::int32_t id) {
    const std::string ID = SqlId(id);
    if (!IsBatch())
        return FirstRowField(db.Execute("Select  FName,FItemID FROM t_ICItem Where FItemID=" + ID),
                             "FName");
    if (ctx_.g_CategoryByCust)
        return std::string();
    if (id == 0)
        return GetResText("所有物料");
    return FirstRowField(db.Execute("SELECT FName FROM t_Item WHERE FItemID=" + ID +
                                    " AND FDetail=0 AND FItemClassID=4"),
                         "FName");
}

std::string UserDefInfo::CustomerName(AppConnection& db, std::int32_t id) {
    const std::string ID = SqlId(id);
    if (IsBatch() && ctx_.g_CategoryByCust) {
        if (id == 0)
            return GetResText("所有客户");
        return FirstRowField(db.Execute("SELECT FName FROM t_Item WHERE FItemID=" + ID +
                                        " AND  FDetail=0 AND FItemClassID=1   Order by "
                                        "FShortNumber"),
                             "FName");
    }
    return FirstRowField(
        db.Execute(ctx_.g_UseShortNumber ? "SELECT FItemID,FShortNumber as FNumber,FName FROM "
                                           "t_Organization WHERE FItemID=" +
                                               ID + "   Order by FShortNumber"
                                         : "SELECT FItemID,FNumber,FName FROM t_Organization "
                                           "WHERE FItemID=" +
                                               ID + "  Order by FNumber"),
        "FName");
}

Variant UserDefInfo::GetOtherName(std::int32_t classCode, std::string_view value) {
    if (classCode != 120)
        return Variant();
    // A currency that cannot be read shows as empty.
    return PassOver(
        [&] {
            RecordsetPtr rs = ctx_.Connection().Execute(
                "SELECT FCurrencyID,FNumber,FName FROM t_Currency WHERE FCurrencyID>0  Order by "
                "FNumber");
            // No currency (0, empty or not a number) means the base currency 1.
            double id = Val(value);
            if (id == 0)
                id = 1;
            rs->Filter("FCurrencyID=" + SqlNumber(id));
            if (!HasRow(rs))
                return Variant("This is a bug");
            return Variant(FieldText(*rs, "FName"));
        },
        Variant());
}

}  // namespace orva
