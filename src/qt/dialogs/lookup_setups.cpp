#include "qt/dialogs/lookup_setups.h"

#include "model/sql_values.h"
#include "session/res_text.h"

namespace orva::qt {
namespace {

PickerSetup ClassTable(std::string title, std::string table, std::int32_t itemClass) {
    PickerSetup setup;
    setup.title = std::move(title);
    setup.table = std::move(table);
    setup.itemClass = itemClass;
    return setup;
}

}  // namespace

std::optional<PickerSetup> ItemClassSetup(std::int32_t itemClass) {
    switch (itemClass) {
        case 1:
            return ClassTable(GetResText("选择客户"), "t_Organization", 1);
        case 2:
            return ClassTable(GetResText("选择部门"), "t_Department", 2);
        case 3:
            return ClassTable(GetResText("选择职员"), "t_Emp", 3);
        case 4: {
            PickerSetup setup = ClassTable(GetResText("选择物料"), "t_ICItem", 4);
            setup.extraColumns.push_back({"FModel", GetResText("规格型号")});
            return setup;
        }
        case 5:
            return ClassTable(GetResText("选择仓库"), "t_Stock", 5);
        case 7:
            return UnitSetup();
        case 8:
            return ClassTable(GetResText("选择供应商"), "t_Supplier", 8);
        case 9:
            return ClassTable(GetResText("选择费用"), "t_Exp", 9);
        default:
            break;
    }
    if (itemClass < 20)
        return std::nullopt;
    PickerSetup setup = ClassTable(GetResText("选择基础资料"), "t_Item", itemClass);
    setup.baseCondition = "FItemClassID=" + SqlId(itemClass) + " AND FDetail=1";
    return setup;
}

PickerSetup UnitSetup(std::int32_t unitGroupId) {
    PickerSetup setup;
    setup.title = GetResText("选择计量单位");
    setup.table = "t_MeasureUnit";
    setup.unitGroups = true;
    setup.hasParent = false;
    if (unitGroupId > 0)
        setup.baseCondition = "FUnitGroupID=" + SqlId(unitGroupId);
    setup.extraColumns.push_back({"FCoefficient", GetResText("换算率")});
    return setup;
}

PickerSetup CurrencySetup() {
    PickerSetup setup;
    setup.title = GetResText("选择币别");
    setup.table = "t_Currency";
    setup.idColumn = "FCurrencyID";
    setup.hasParent = false;
    setup.hasShortNumber = false;
    setup.extraColumns.push_back({"FExchangeRate", GetResText("汇率")});
    return setup;
}

std::optional<PickerSetup> ListCodeSetup(std::int16_t listCode) {
    switch (listCode) {
        case 4:
            return ItemClassSetup(4);
        case 7:
            return UnitSetup();
        case 8:
            return ItemClassSetup(1);
        case 12:
            return CurrencySetup();
        default:
            return std::nullopt;
    }
}

}  // namespace orva::qt
