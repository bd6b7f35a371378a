// Checking a typed value against the base data (Changed): the row's lookup
// kind decides the statement; an accepted value completes the dependent rows
// and puts the stored value (an ID, a number, a date, a text) in column 3.
#include "engine/engine_values.h"
#include "engine/user_def_info.h"
#include "host/app_connection.h"
#include "host/base/pass_over.h"
#include "host/base/text_util.h"
#include "host/controls/spread.h"
#include "host/data_type_codes.h"
#include "host/gl_data.h"
#include "model/base_group.h"
#include "model/sql_values.h"
#include "session/module_context.h"
#include "session/res_text.h"
#include "session/rights.h"
#include "session/rights_filter.h"
#include "session/session.h"

namespace orva {
namespace {

// Base data of an item class that the user may read (function object 3).
bool BaseDataReadable(ModuleContext& ctx, std::int32_t itemClass) {
    return PassOver(
        [&ctx, itemClass] {
            return GetGLData(ctx)->AccessCheck(3, static_cast<std::int16_t>(itemClass), 0x100000);
        },
        false);
}

// A field's text; empty when it cannot be read.
std::string FieldOrEmpty(Recordset& rs, const char* name) {
    return PassOver([&] { return FieldText(rs, name); }, std::string());
}

// The where piece of the customer and item checks: the picked ID, else the
// typed text as full or short code.
std::string CodeCondition(std::int64_t picked, const std::string& typed) {
    std::string where;
    if (picked != 0) {
        where = " WHERE t1.FItemID=" + SqlId(picked) + std::string(kCrLf);
    } else {
        where = " WHERE (t1.FNumber=" + SqlText(typed) + " or t1.FShortNumber=" + SqlText(typed) +
                ") " + std::string(kCrLf);
    }
    return where + " AND t1.FDeleted <> 1 ";
}

// Runs a check's statement; nullptr when it fails or returns nothing.
RecordsetPtr FindRows(ModuleContext& ctx, const std::string& sql) {
    RecordsetPtr rs = TryExecute(ctx.Connection(), sql);
    return HasRow(rs) ? rs : nullptr;
}

}  // namespace

bool UserDefInfo::Changed(std::int32_t Row, std::int32_t Col, std::string& sReturn) {
    std::string typed;
    std::int64_t picked = 0;
    std::shared_ptr<t_PropDesc> desc;
    // A cell that cannot be read is not checked.
    const bool read = PassOver([&] {
        orva::Spread& grid = Grid();
        typed = grid.GetText(Col, Row);
        picked = static_cast<std::int64_t>(Val(grid.GetText(kColValue, Row)));
        desc = Desc(Row);
    });
    if (!read || !desc)
        return true;
    const std::int32_t kind = desc->m_Search;
    switch (kind) {
        case 4:
            return CheckItem(Row, Col, typed, picked, sReturn);
        case 1:
        case 11:
            return CheckCustomer(Row, Col, kind, typed, picked, sReturn);
        case 7:
            return CheckUnit(Row, Col, typed);
        case 120:
            return CheckCurrency(Row, Col, picked, sReturn);
        case 0:
            return CheckPlainValue(Row, Col, typed);
        case 2:
        case 3:
        case 5:
        case 6:
        case 8:
        case 9:
        case 10:
            return CheckBaseItem(Row, Col, kind, typed, picked);
        default:
            if (kind >= 12 && kind <= 20)
                return CheckBaseItem(Row, Col, kind, typed, picked);
            return true;
    }
}

bool UserDefInfo::CheckItem(std::int32_t row, std::int32_t col, const std::string& typed,
                            std::int64_t picked, std::string& sReturn) {
    if (!BaseDataReadable(ctx_, 4)) {
        sReturn = GetResText("基础资料很有可能没有授权！");
        return false;
    }
    // A check that fails finds nothing.
    RecordsetPtr rs = PassOver(
        [&] {
            std::string select =
                ctx_.g_UseShortNumber
                    ? "Select Distinct t1.FErpClsID,t1.FShortNumber AS "
                      "FNumber,t1.FModel,t1.FQtyDecimal,t1.FPriceDecimal,t1.FName,t1.FItemID,t1."
                      "FUnitID "
                    : "Select Distinct "
                      "t1.FErpClsID,t1.FNumber,t1.FModel,t1.FQtyDecimal,t1.FPriceDecimal,t1.FName,"
                      "t1."
                      "FItemID,t1.FUnitID ";
            std::string from = " FROM t_ICItem t1 ";
            std::string where = CodeCondition(picked, typed);
            if (DataRightsApply(ctx_)) {
                RightsFilter f =
                    EditorItemFilter(GetCurUserID(ctx_), HasItemClassRight(ctx_, kItemClassItem));
                from += f.from;
                where += f.where;
            }
            return FindRows(ctx_, select + from + where);
        },
        nullptr);
    if (!rs) {
        sReturn = GetResText("物料不存在或需要数据授权！");
        return false;
    }
    // A class that cannot be read does not refuse the item.
    const bool planned = PassOver(
        [&] {
            const Variant& cls = rs->Fields("FErpClsID").Value();
            return !cls.IsNull() && (cls.ToDouble() == 6 || cls.ToDouble() == 8);
        },
        false);
    if (planned) {
        sReturn = GetResText("不能指定规划类、特征类的物料。请重新输入");
        return false;
    }
    orva::Spread& grid = Grid();
    auto field = [&rs](const char* name) { return FieldOrEmpty(*rs, name); };
    const std::string itemID = field("FItemID");
    const std::string unitID = field("FUnitID");
    grid.SetText(col, row, field("FNumber"));
    grid.SetText(kColValue, row, itemID);
    grid.SetText(col, row + 1, field("FName"));
    grid.SetText(kColValue, row + 1, itemID);
    grid.SetText(kColText, kRowModel, field("FModel"));
    // A new item starts with its base unit.
    grid.SetText(kColText, kRowUnit, GetName(ValId(unitID), 7));
    grid.SetText(kColValue, kRowUnit, unitID);
    // Decimals that cannot be read keep their defaults.
    Variant priceDecimal, qtyDecimal;
    PassOver([&] {
        priceDecimal = rs->Fields("FPriceDecimal").Value();
        qtyDecimal = rs->Fields("FQtyDecimal").Value();
    });
    ApplyItemDecimals(priceDecimal, qtyDecimal);
    return true;
}

void UserDefInfo::ApplyItemDecimals(const Variant& priceDecimal, const Variant& qtyDecimal) {
    orva::Spread& grid = Grid();
    auto places = [](const Variant& v, int fallback) {
        return PassOver([&] { return v.IsNull() ? fallback : static_cast<int>(v.ToInteger()); },
                        fallback);
    };
    auto setPlaces = [&grid](int row, int decimals) {
        if (row > grid.MaxRows())
            return;
        CellType type = grid.TypeAt(kColText, row);
        if (type.kind != CellKind::kDecimal)
            return;
        type.decimalPlaces = decimals;
        grid.SetCellType(CellBlock::Cell(kColText, row), type);
    };
    setPlaces(kRowPrice, places(priceDecimal, 2));
    const int qty = places(qtyDecimal, 4);
    setPlaces(kRowEndQty, qty);
    setPlaces(kRowStartQty, qty);
}

bool UserDefInfo::CheckCustomer(std::int32_t row, std::int32_t col, std::int32_t kind,
                                const std::string& typed, std::int64_t picked,
                                std::string& sReturn) {
    if (!BaseDataReadable(ctx_, 1)) {
        sReturn = GetResText("基础资料很有可能没有授权！");
        return false;
    }
    RecordsetPtr rs = PassOver(
        [&] {
            std::string select = std::string("SELECT Distinct ") +
                                 (ctx_.g_UseShortNumber ? "t1.FShortNumber " : "t1.FNumber ") +
                                 " AS FNumber,t1.FItemID,t1.FName " + std::string(kCrLf);
            std::string from = " FROM t_Organization  t1";
            std::string where = CodeCondition(picked, typed);
            if (DataRightsApply(ctx_)) {
                RightsFilter f = EditorCustomerFilter(GetCurUserID(ctx_),
                                                      HasItemClassRight(ctx_, kItemClassCustomer));
                from += f.from;
                where += f.where;
            }
            return FindRows(ctx_, select + from + where);
        },
        nullptr);
    if (!rs) {
        sReturn = GetResText("客户不存在或需要数据授权！");
        return false;
    }
    orva::Spread& grid = Grid();
    auto field = [&rs](const char* name) { return FieldOrEmpty(*rs, name); };
    if (kind == 1) {
        grid.SetText(col, row, field("FNumber"));
        grid.SetText(kColValue, row, field("FItemID"));
        grid.SetText(col, row + 1, field("FName"));
    } else {
        grid.SetText(col, row, field("FName"));
        grid.SetText(kColValue, row, field("FItemID"));
    }
    return true;
}

bool UserDefInfo::CheckUnit(std::int32_t row, std::int32_t col, const std::string& typed) {
    orva::Spread& grid = Grid();
    const std::string item(Trim(grid.GetText(kColValue, kRowItemNumber)));
    if (item.empty() || item == "0") {
        // No item yet: nothing to check the unit against.
        return true;
    }
    // Units that cannot be read accept nothing.
    RecordsetPtr units;
    PassOver([&] {
        RecordsetPtr group = ctx_.Connection().Execute(
            "Select FUnitGroupID from t_ICItem where FItemID=" + SqlId(ValId(item)));
        if (HasRow(group)) {
            units = ctx_.Connection().Execute(
                "SELECT FMeasureUnitID,FName,FNumber From t_MeasureUnit where FDeleted <> 1 and "
                "FUnitGroupID=" +
                SqlId(WholeNumber(FieldText(*group, "FUnitGroupID"))));
        }
    });
    if (!units || !units->IsOpen())
        return false;
    const bool accepted = PassOver(
        [&] {
            units->Filter("FNumber=" + SqlText(typed) + "Or FName=" + SqlText(typed));
            // A code of one unit that is the name of another: the code wins.
            if (units->RecordCount() > 1)
                units->Filter("FNumber=" + SqlText(typed));
            if (!HasRow(units))
                return false;
            grid.SetText(col, row, FieldText(*units, "FName"));
            grid.SetText(kColValue, row, FieldText(*units, "FMeasureUnitID"));
            return true;
        },
        false);
    PassOver([&] { units->Filter(""); });
    return accepted;
}

bool UserDefInfo::CheckCurrency(std::int32_t row, std::int32_t col, std::int64_t picked,
                                std::string& sReturn) {
    RecordsetPtr rs = PassOver(
        [&] {
            std::string select =
                "SELECT Distinct t1.FNumber,t1.FCurrencyID,t1.FName " + std::string(kCrLf);
            std::string from = " FROM t_Currency  t1 ";
            std::string where = " WHERE FCurrencyID>0 AND t1.FCurrencyID=" + SqlId(picked) +
                                std::string(kCrLf) + " AND t1.FDeleted <> 1 ";
            if (DataRightsApply(ctx_)) {
                RightsFilter f = EditorCurrencyFilter(GetCurUserID(ctx_));
                from += f.from;
                where += f.where;
            }
            return FindRows(ctx_, select + from + where);
        },
        nullptr);
    if (!rs) {
        sReturn = GetResText("币别不存在或需要数据授权！");
        return false;
    }
    orva::Spread& grid = Grid();
    PassOver([&] {
        grid.SetText(col, row, FieldText(*rs, "FName"));
        grid.SetText(kColValue, row, FieldText(*rs, "FCurrencyID"));
    });
    return true;
}

bool UserDefInfo::CheckPlainValue(std::int32_t row, std::int32_t col, const std::string& typed) {
    orva::Spread& grid = Grid();
    const std::int16_t type = Desc(row)->m_DataType;
    if (type == adBoolean) {
        grid.SetText(kColValue, row, typed == GetResText("是") ? "1" : "0");
    } else if (type == adDouble || type == adSingle || type == adInteger || type == adCurrency) {
        if (Val(grid.GetText(col, row)) < 0) {
            // A negative number is undone: the previous value comes back.
            grid.SetText(col, row, grid.GetText(kColValue, row));
        } else {
            grid.SetText(kColValue, row, grid.GetText(col, row));
        }
    } else {
        grid.SetText(kColValue, row, typed);
    }
    return true;
}

bool UserDefInfo::CheckBaseItem(std::int32_t row, std::int32_t col, std::int32_t kind,
                                const std::string& typed, std::int64_t picked) {
    // A check that fails accepts nothing.
    return PassOver(
        [&] {
            AppConnection& db = ctx_.Connection();
            const std::string cls = std::to_string(kind);
            // The class's detail records, offered to the store under "<kind>t".
            const std::string key = cls + "t";
            RecordsetPtr list = baseGroup_.ItemExitIn(key);
            if (!list) {
                list =
                    db.Execute(ctx_.g_UseShortNumber
                                   ? "select FItemID,FShortNumber as FNumber,FName from t_item "
                                     "Where FDetail=1 And FDeleted <> 1 and FItemClassID=" +
                                         cls + " ORDER BY FShortNumber"
                                   : "select FItemID,FNumber,FName from t_item Where FDetail=1 And "
                                     "FDeleted <> 1 and FItemClassID=" +
                                         cls + " ORDER BY FNumber");
                baseGroup_.Add(list, key);
            }
            // A picked record first, then the typed text as a code, then as a name.
            std::int64_t id = 0;
            if (picked != 0) {
                list->Filter("FItemID=" + SqlId(picked));
                if (HasRow(list))
                    id = picked;
                list->Filter("");
            }
            const std::string base =
                "SELECT FItemID,FName From t_Item  Where fDetail=1 And FDeleted "
                "<> 1  and FItemClassID=" +
                cls;
            if (id == 0) {
                RecordsetPtr rs = FindRows(ctx_, base + " AND (FNumber=" + SqlText(typed) + " OR " +
                                                     " FShortNumber=" + SqlText(typed) + ")");
                if (!rs)
                    rs = FindRows(ctx_, base + " AND FName=" + SqlText(typed));
                if (rs)
                    id = WholeNumber(FieldText(*rs, "FItemID"));
            }
            if (id == 0)
                return false;
            list->Filter("FItemID=" + SqlId(id));
            const bool found = HasRow(list);
            const std::string code = found ? FieldText(*list, "FNumber") : std::string();
            const std::string name = found ? FieldText(*list, "FName") : std::string();
            list->Filter("");
            if (!found)
                return false;
            orva::Spread& grid = Grid();
            grid.SetText(col, row, code);
            grid.SetText(kColValue, row, SqlId(id));
            if (kind == 1)
                grid.SetText(col, row + 1, name);
            return true;
        },
        false);
}

}  // namespace orva
