#include "qt/lookup_specs.h"

#include "model/sql_values.h"
#include "resources/res_text.h"

namespace orva::qt {
namespace {

PickerSpec ClassTable(std::string title, std::string table, std::int32_t itemClass) {
    PickerSpec spec;
    spec.title = std::move(title);
    spec.table = std::move(table);
    spec.itemClass = itemClass;
    return spec;
}

}  // namespace

std::optional<PickerSpec> ItemClassSpec(std::int32_t itemClass) {
    switch (itemClass) {
        case 1:
            return ClassTable(GetResText("选择客户"), "t_Organization", 1);
        case 2:
            return ClassTable(GetResText("选择部门"), "t_Department", 2);
        case 3:
            return ClassTable(GetResText("选择职员"), "t_Emp", 3);
        case 4: {
            PickerSpec spec = ClassTable(GetResText("选择物料"), "t_ICItem", 4);
            spec.extraColumns.push_back({"FModel", GetResText("规格型号")});
            return spec;
        }
        case 5:
            return ClassTable(GetResText("选择仓库"), "t_Stock", 5);
        case 7:
            return UnitSpec();
        case 8:
            return ClassTable(GetResText("选择供应商"), "t_Supplier", 8);
        case 9:
            return ClassTable(GetResText("选择费用"), "t_Exp", 9);
        default:
            break;
    }
    if (itemClass < 20)
        return std::nullopt;
    PickerSpec spec = ClassTable(GetResText("选择基础资料"), "t_Item", itemClass);
    spec.baseCondition = "FItemClassID=" + SqlId(itemClass) + " AND FDetail=1";
    return spec;
}

PickerSpec UnitSpec(std::int32_t unitGroupId) {
    PickerSpec spec;
    spec.title = GetResText("选择计量单位");
    spec.table = "t_MeasureUnit";
    spec.unitGroups = true;
    spec.hasParent = false;
    if (unitGroupId > 0)
        spec.baseCondition = "FUnitGroupID=" + SqlId(unitGroupId);
    spec.extraColumns.push_back({"FCoefficient", GetResText("换算率")});
    return spec;
}

PickerSpec CurrencySpec() {
    PickerSpec spec;
    spec.title = GetResText("选择币别");
    spec.table = "t_Currency";
    spec.idColumn = "FCurrencyID";
    spec.hasParent = false;
    spec.hasShortNumber = false;
    spec.extraColumns.push_back({"FExchangeRate", GetResText("汇率")});
    return spec;
}

std::optional<PickerSpec> ListCodeSpec(std::int16_t listCode) {
    switch (listCode) {
        case 4:
            return ItemClassSpec(4);
        case 7:
            return UnitSpec();
        case 8:
            return ItemClassSpec(1);
        case 12:
            return CurrencySpec();
        default:
            return std::nullopt;
    }
}

}  // namespace orva::qt
