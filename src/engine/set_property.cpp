// Formatting the editor grid from the descriptors (SetProperty) and the
// host's base-data list behind the editor's lookups (GetInfoList).
#include "engine/engine_values.h"
#include "engine/user_def_info.h"
#include "host/app_connection.h"
#include "host/base/pass_over.h"
#include "host/base/text_util.h"
#include "host/base_list.h"
#include "host/component_registry.h"
#include "host/controls/spread.h"
#include "host/data_type_codes.h"
#include "model/sql_values.h"
#include "session/module_context.h"
#include "session/session.h"

namespace orva {
namespace {

// Limits of the value cells.
constexpr double kDecimalMax = 9999999.99;
constexpr long long kIntegerMax = 99999999;
constexpr const char* kEarliestDate = "1900-01-01";
constexpr const char* kLatestDate = "9999-01-01";

void SetValueCell(Spread& grid, int row, const CellType& type) {
    grid.SetCellType(CellBlock::Cell(UserDefInfo::kColText, row), type);
    grid.SetAlignment(CellBlock::Cell(UserDefInfo::kColText, row), type.NaturalAlignment());
}

// Sets the value cell of a row without a lookup (search kind 0) by the
// descriptor's data type; the text it shows.
std::string PlainValueCell(Spread& grid, int row, const t_PropDesc& desc) {
    switch (desc.m_DataType) {
        case adDate:
        case adDBTimeStamp:
            SetValueCell(grid, row, CellType::Date(kEarliestDate, kLatestDate));
            if (auto date = Date::Parse(desc.m_Value); date && date->IsValid())
                return date->ToText();
            return {};
        case adDouble:
            SetValueCell(grid, row, CellType::Decimal(desc.m_Scale, -kDecimalMax, kDecimalMax));
            return FormatDouble(Val(desc.m_Value));
        case adInteger:
            SetValueCell(grid, row, CellType::Integer(-kIntegerMax, kIntegerMax));
            return std::to_string(WholeNumber(desc.m_Value));
        case adBoolean:
            SetValueCell(grid, row, CellType::Text());
            return Val(desc.m_Value) != 0 ? "Y" : "";
        case adVarChar:
            SetValueCell(grid, row, CellType::Text(desc.m_Actualsize));
            return desc.m_Value;
        default:
            SetValueCell(grid, row, CellType::Text());
            return {};
    }
}

}  // namespace

std::int32_t UserDefInfo::SetProperty() {
    orva::Spread& grid = Grid();
    LocktheGrd(1);
    ClearText();
    if (grid.MaxCols() < kColValue)
        grid.SetMaxCols(kColValue);
    grid.SetCellType(CellBlock::Column(kColCaption), CellType::StaticText());
    grid.SetCellType(CellBlock::Column(kColValue), CellType::Text());

    auto descs = PropDesc();
    grid.SetMaxRows(descs->Count());
    grid.SetVisible(false);

    // Rows in order: the item code (row 3) sets the decimals of the quantity
    // and price rows (7 to 9) that follow it.
    for (int row = 1; row <= descs->Count(); ++row) FillPropertyRow(grid, row, *descs->Item(row));
    LockPropertyRows(grid);

    if (kRowDiscount <= grid.MaxRows()) {
        grid.SetRowHidden(kRowDiscount, true);
        SetValueCell(grid, kRowDiscount, CellType::Decimal(2, 0, 100));
    }
    grid.SetVisible(true);
    return 0;
}

void UserDefInfo::FillPropertyRow(orva::Spread& grid, int row, t_PropDesc& desc) {
    grid.SetText(kColCaption, row, desc.m_Name);
    std::string text;
    const std::int32_t kind = desc.m_Search;
    if (kind == 0) {
        text = PlainValueCell(grid, row, desc);
    } else if (kind >= 1 && kind <= 11) {
        SetValueCell(grid, row, CellType::Text());
        if (kind == 7 && !Trim(desc.m_Value).empty()) {
            // A new entry holds the item here: show the item's base unit.
            RecordsetPtr rs = ctx_.Connection().Execute(
                "SELECT FUnitID From t_ICItem Where FItemID=" + SqlId(WholeNumber(desc.m_Value)));
            if (HasRow(rs))
                desc.m_Value = FieldText(*rs, "FUnitID");
        }
        text = GetName(static_cast<std::int32_t>(WholeNumber(desc.m_Value)), kind);
    } else if (kind == 120) {
        SetValueCell(grid, row, CellType::Text());
        text = GetOtherName(120, desc.m_Value).ToText();
        const std::string_view v = Trim(desc.m_Value);
        if (v.empty() || v == "0")
            desc.m_Value = "1";
    } else {
        SetValueCell(grid, row, CellType::Text());
    }
    grid.SetText(kColText, row, text);
    grid.SetText(kColValue, row, desc.m_Value);
}

void UserDefInfo::LockPropertyRows(orva::Spread& grid) {
    // Locks, in this order.
    const bool byCust = ctx_.g_CategoryByCust;
    const auto operation = static_cast<std::int32_t>(operationType_);
    const bool single = operation == 0;
    const bool batch = operation > 0;
    auto lockRow = [&grid](int row) {
        if (row <= grid.MaxRows())
            grid.SetLock(CellBlock::Row(row), true);
    };
    if (single && SelItemID > 1)
        lockRow(kRowItemNumber);
    if (single && SelCustID > 1)
        lockRow(kRowCustNumber);
    if (batch)
        lockRow(byCust ? kRowCustNumber : kRowItemNumber);
    if (SelEntryID > 0 || (batch && byCust))
        lockRow(kRowCustNumber);
    lockRow(kRowCustName);
    if (batch && !byCust)
        lockRow(kRowItemNumber);
    lockRow(kRowItemName);
    lockRow(kRowModel);
    if (kRowUsed <= grid.MaxRows()) {
        lockRow(kRowUsed);
        grid.SetRowHidden(kRowUsed, true);
    }
    if (batch && !byCust)
        lockRow(kRowUnit);
}

RecordsetPtr UserDefInfo::GetInfoList(const std::string& Filter, const std::string& KeyWord,
                                      std::int16_t Search) {
    return PassOver(
        [&]() -> RecordsetPtr {
            auto list = ComponentRegistry::Create<BaseList>(BaseList::kProgID);
            list->Filter(Filter);
            list->KeyWord(KeyWord);
            std::int32_t owner = 0;  // no owner window
            std::int16_t listCode = Search;
            return list->Show(owner, listCode);
        },
        nullptr);
}

}  // namespace orva
