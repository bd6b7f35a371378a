// The lookups behind F7 and F8 in the editor grid: the customer and item
// pickers of the host's GL view, the base-data list, the unit list of the
// item's unit group and the currency lookup. A pick fills the row (and the
// rows that depend on it) and the next cell leave is not checked again.
#include <stdexcept>
#include <string>

#include "editor/editor_messages.h"
#include "editor/frm_property.h"
#include "engine/engine_values.h"
#include "engine/user_def_info.h"
#include "host/app_connection.h"
#include "host/component_registry.h"
#include "host/controls/cell_type.h"
#include "host/gl_view.h"
#include "host/host_ui.h"
#include "host/item_classes.h"
#include "model/sql_values.h"
#include "session/module_context.h"
#include "session/res_text.h"
#include "session/session.h"

namespace orva {

namespace {

using R = UserDefInfo::Row;
constexpr int kText = UserDefInfo::kColText;
constexpr int kValue = UserDefInfo::kColValue;

// The picker's class of currencies and list codes of the base-data list.
constexpr std::int32_t kClassCurrency = 12;
constexpr std::int16_t kListItems = 4;
constexpr std::int16_t kListUnits = 7;
constexpr std::int16_t kListCustomers = 8;
// Decimal places of the price and quantities for an item that has none.
constexpr int kDefaultDecimals = 2;

std::string Property(const Dictionary& record, const char* key) {
    return TrimmedText(record.Value(key));
}

// The picked record of a confirmed picker: a detail record (not a group).
std::shared_ptr<Dictionary> PickedDetail(const BaseDataLookupPtr& lookup) {
    if (!lookup || !lookup->ReturnOK())
        return nullptr;
    std::shared_ptr<Dictionary> record = lookup->ReturnObject();
    if (!record || (record->Exists("Detail") && !record->Value("Detail").ToBool()))
        return nullptr;
    return record;
}

BaseDataLookupPtr OpenPicker(ModuleContext& ctx, std::int32_t itemClass,
                             const std::string& filter) {
    auto params = ComponentRegistry::Create<Dictionary>(Dictionary::kProgID);
    params->SetValue("BeShortNumber", ctx.g_UseShortNumber);
    return GetGLView(ctx)->ItemLookUp(itemClass, "", filter, *params);
}

int DecimalsOr(const Variant& value) {
    return value.IsNull() || TrimmedText(value).empty() ? kDefaultDecimals
                                                        : static_cast<int>(value.ToInteger());
}

}  // namespace

void frmProperty::LookupCommand(int row, int keyCode) {
    if (keyCode != kKeyF7 && keyCode != kKeyF8)
        return;
    if (row != R::kRowCustNumber && row != R::kRowItemNumber && row != R::kRowUnit &&
        row != R::kRowCurrency) {
        return;
    }
    // A locked row keeps its value: an entry's customer, an audited entry,
    // the group of a batch.
    if (!vaSProperty_.Editable(kText, row))
        return;
    skipValidation_ = true;
    try {
        switch (row) {
            case R::kRowCustNumber:
                if (keyCode == kKeyF7)
                    CustomerPicker();
                else
                    ListLookup(row);
                break;
            case R::kRowItemNumber:
                if (keyCode == kKeyF7)
                    ItemPicker();
                else
                    ListLookup(row);
                break;
            case R::kRowUnit:
                UnitLookup();
                break;
            default:
                CurrencyLookup();
                break;
        }
    } catch (const std::runtime_error& e) {
        ctx_.Ui().MessageBox(GetResText("基础资料很有可能没有授权") + "\r\n" + e.what(),
                             MsgButtons::kOK, MsgIcon::kNone, GetResText("Tesmar提示："));
    }
}

void frmProperty::CustomerPicker() {
    std::shared_ptr<Dictionary> record = PickedDetail(OpenPicker(ctx_, kItemClassCustomer, ""));
    if (!record)
        return;
    vaSProperty_.SetText(kText, R::kRowCustNumber, Property(*record, "Number"));
    vaSProperty_.SetText(kValue, R::kRowCustNumber, Property(*record, "ItemID"));
    vaSProperty_.SetText(kText, R::kRowCustName, Property(*record, "Name"));
}

void frmProperty::ItemPicker() {
    std::shared_ptr<Dictionary> record =
        PickedDetail(OpenPicker(ctx_, kItemClassItem, " FErpClsID<>6 AND FErpClsID<>8 "));
    if (!record)
        return;
    const std::string itemID = Property(*record, "ItemID");
    vaSProperty_.SetText(kText, R::kRowItemNumber, Property(*record, "Number"));
    vaSProperty_.SetText(kValue, R::kRowItemNumber, itemID);
    vaSProperty_.SetText(kText, R::kRowItemName, Property(*record, "Name"));
    vaSProperty_.SetText(kValue, R::kRowItemName, itemID);
    vaSProperty_.SetText(kText, R::kRowModel, Property(*record, "FModel"));
    FillDefaultUnit(ValId(itemID));
    SetDecimals(R::kRowPrice, DecimalsOr(record->Value("FPriceDecimal")));
    const int qtyDecimals = DecimalsOr(record->Value("FQtyDecimal"));
    SetDecimals(R::kRowStartQty, qtyDecimals);
    SetDecimals(R::kRowEndQty, qtyDecimals);
}

void frmProperty::FillDefaultUnit(std::int32_t itemID) {
    RecordsetPtr unit = ctx_.Connection().Execute(
        "SELECT t1.FItemID, t1.FName as FUnitName From t_MeasureUnit t1,t_ICItem t2 WHERE "
        "t1.FItemID=t2.FUnitID And t2.FItemID=" +
        SqlId(itemID));
    if (!HasRow(unit))
        return;
    vaSProperty_.SetText(kText, R::kRowUnit, FieldText(*unit, "FUnitName"));
    vaSProperty_.SetText(kValue, R::kRowUnit, FieldText(*unit, "FItemID"));
}

void frmProperty::SetDecimals(int row, int places) {
    CellType type = vaSProperty_.TypeAt(kText, row);
    if (type.kind != CellKind::kDecimal || places < 0)
        return;
    type.decimalPlaces = places;
    vaSProperty_.SetCellType(CellBlock::Cell(kText, row), type);
}

void frmProperty::ListLookup(int row) {
    UserDefInfo& engine = EngineRef();
    RecordsetPtr picked = row == R::kRowCustNumber
                              ? engine.GetInfoList("", CellText(row), kListCustomers)
                              : engine.GetInfoList("FErpClsID<4", CellText(row), kListItems);
    if (!HasRow(picked))
        return;
    // The picked ID goes to column 3; the cell check completes the rows from
    // it as if it had been typed.
    vaSProperty_.SetText(kValue, row, FieldText(*picked, "FItemID"));
    std::string message;
    if (!engine.Changed(row, kText, message) && !message.empty())
        EditorNotice(ctx_, message, MsgIcon::kInformation);
}

void frmProperty::UnitLookup() {
    RecordsetPtr item =
        ctx_.Connection().Execute("Select FUnitGroupID from t_ICItem where FItemID=" +
                                  SqlId(ValId(CellValue(R::kRowItemNumber))));
    if (!HasRow(item))
        return;  // no item yet: no unit group to list
    RecordsetPtr picked = EngineRef().GetInfoList(
        "  FUnitGroupID=" + FieldText(*item, "FUnitGroupID"), CellText(R::kRowUnit), kListUnits);
    if (!HasRow(picked))
        return;
    const std::string unitID = FieldText(*picked, "FItemID");
    std::string name;
    if (picked->ColumnIndex("FName") >= 0) {
        name = FieldText(*picked, "FName");
    } else {
        RecordsetPtr unit = ctx_.Connection().Execute(
            "SELECT FName FROM t_MeasureUnit WHERE FMeasureUnitID=" + SqlId(ValId(unitID)));
        if (HasRow(unit))
            name = FieldText(*unit, "FName");
    }
    vaSProperty_.SetText(kText, R::kRowUnit, name);
    vaSProperty_.SetText(kValue, R::kRowUnit, unitID);
}

void frmProperty::CurrencyLookup() {
    BaseDataLookupPtr lookup = ShowLookup(ctx_, kClassCurrency, "", "", 1);
    if (!lookup || !lookup->ReturnOK() || !lookup->ReturnObject())
        return;
    const Dictionary& record = *lookup->ReturnObject();
    vaSProperty_.SetText(kText, R::kRowCurrency, Property(record, "FName"));
    vaSProperty_.SetText(kValue, R::kRowCurrency, Property(record, "FCurrencyID"));
}

}  // namespace orva
