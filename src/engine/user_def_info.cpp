#include "engine/user_def_info.h"

#include "engine/engine_values.h"
#include "host/app_connection.h"
#include "host/base/pass_over.h"
#include "host/controls/spread.h"
#include "host/controls/status_bar.h"
#include "host/data_type_codes.h"
#include "orvasaleprice/com_error.h"
#include "session/res_text.h"
#include "session/session.h"

namespace orva {
namespace {

constexpr const char* kDefaultExpireDate = "2100-01-01";

}  // namespace

UserDefInfo::UserDefInfo(ModuleContext& ctx)
    : ctx_(ctx), propDesc_(std::make_shared<orva::PropDesc>()) {}

UserDefInfo::~UserDefInfo() = default;

std::shared_ptr<orva::PropDesc> UserDefInfo::PropDesc() {
    if (!propDesc_)
        propDesc_ = std::make_shared<orva::PropDesc>();
    return propDesc_;
}

orva::Spread& UserDefInfo::Grid() const {
    if (!grid_)
        throw ComError(91, "The editor grid has not been set.");
    return *grid_;
}

std::shared_ptr<t_PropDesc> UserDefInfo::Desc(std::int32_t row) {
    return PropDesc()->Item(row);
}

std::int32_t UserDefInfo::InitInfo() {
    return BuildPropDescs();
}

std::int32_t UserDefInfo::BuildPropDescs() {
    propDesc_ = std::make_shared<orva::PropDesc>();
    // A descriptor that cannot be added leaves the collection unfinished: -1.
    return PassOver(
        [&]() -> std::int32_t {
            const std::string cust = std::to_string(SelCustID);
            const std::string item = std::to_string(SelItemID);
            const std::string today = Date::Today().ToText();
            struct Row {
                std::int32_t size;
                std::int16_t actualType;
                std::int16_t precision;
                std::int16_t dataType;
                const char* column;
                std::string caption;
                std::int16_t propID;
                std::int32_t search;
                std::string value;
                std::int16_t scale;
                const char* key;
            };
            const Row rows[] = {
                {80, adInteger, 0, adInteger, "FCustID", GetResText("客户代码"), -1, 1, cust, 0,
                 "FCustNumber"},
                {80, adInteger, 0, adInteger, "FCustID", GetResText("客户名称"), -1, 11, cust, 0,
                 "FCustID"},
                {80, adInteger, 0, adInteger, "FItemID", GetResText("物料代码"), -4, 4, item, 0,
                 "FNumber"},
                {80, adInteger, 0, adInteger, "FItemID", GetResText("物料名称"), -3, 9, item, 0,
                 "FItemID"},
                {80, adInteger, 0, adInteger, "FItemID", GetResText("规格型号"), -2, 10, item, 0,
                 "FModel"},
                {80, adInteger, 0, adInteger, "FUnitID", GetResText("单位"), 1, 7, item, 0,
                 "FUnitID"},
                {8, adDouble, 53, adDouble, "FStartQty", GetResText("销货量(从)"), 2, 0, "0", 4,
                 "FStartQty"},
                {8, adDouble, 53, adDouble, "FEndQty", GetResText("销货量(到)"), 3, 0, "0", 4,
                 "FEndQty"},
                {8, adCurrency, 19, adDouble, "FPrice", GetResText("报价"), 4, 0, "0", 2, "FPrice"},
                {80, adInteger, 0, adInteger, "FCyID", GetResText("币别"), 5, 120, "0", 0, "FCyID"},
                {8, adDouble, 53, adDouble, "FDiscount", GetResText("折扣率(%)"), 3, 0, "0", 6,
                 "FDiscount"},
                {4, adInteger, 10, adInteger, "FLeadTime", GetResText("销货提前期"), 3, 0, "0", 0,
                 "FLeadTime"},
                {8, adDate, 0, adDate, "FQuoteTime", GetResText("生效日期"), 3, 0, today, 0,
                 "FQuoteTime"},
                {2, adBoolean, 0, adBoolean, "FUsed", GetResText("审核状态"), 3, 0, "0", 0,
                 "FUsed"},
                {8, adDate, 0, adDate, "FExpireDate", GetResText("失效日期"), 3, 0,
                 kDefaultExpireDate, 0, "FExpireDate"},
                {255, adVarChar, 0, adVarChar, "FNote", GetResText("备注"), 3, 0, "", 0, "FNote"},
            };
            for (const Row& r : rows) {
                if (!propDesc_->Add(1, r.size, r.actualType, r.precision, r.dataType, r.column,
                                    r.caption, r.propID, r.search, r.value, r.scale, r.key)) {
                    return -1;
                }
            }
            return 0;
        },
        -1);
}

void UserDefInfo::LocktheGrd(std::int16_t flag) {
    orva::Spread& grid = Grid();
    for (int row = 1; row <= grid.MaxRows(); ++row) {
        grid.SetLock(CellBlock::Row(row), flag == 0);
    }
    grid.SetLockBackColor(orva::Spread::kDefaultLockBackColor);
}

void UserDefInfo::ClearText() {
    orva::Spread& grid = Grid();
    if (grid.MaxRows() < 1 || grid.MaxCols() < 1)
        return;
    const CellBlock all = CellBlock::Block(1, 1, grid.MaxCols(), grid.MaxRows());
    grid.SetSelection(all);
    grid.ClearBlock(all);
    grid.ClearSelection();
}

void UserDefInfo::SetStatus(const std::string& text) {
    if (!status_)
        return;
    if (status_->PanelCount() == 0)
        status_->AddPanel();
    status_->SetPanelText(1, text);
}

void UserDefInfo::ClearSpread(bool vClear) {
    orva::Spread& grid = Grid();
    grid.SetLock(CellBlock::Column(kColText), false);
    const std::string today = Date::Today().ToText();
    for (int row = 1; row <= grid.MaxRows(); ++row) {
        // Unit, currency, effective date and note carry over to the next entry.
        if (row == kRowUnit || row == kRowCurrency || row == kRowQuoteTime || row == kRowNote) {
            continue;
        }
        if (grid.Locked(kColText, row))
            continue;
        auto desc = Desc(row);
        std::string value;
        switch (grid.TypeAt(kColText, row).kind) {
            case CellKind::kDate:
                value = today;
                break;
            case CellKind::kDecimal:
            case CellKind::kInteger:
                value = "0";
                break;
            default:
                break;
        }
        if (vClear) {
            grid.SetText(kColText, row, value);
            grid.SetText(kColValue, row, value);
        }
        if (desc)
            desc->m_Value = value;
    }
    if (!vClear)
        return;

    if (!grid.Locked(kColText, kRowCustNumber)) {
        for (int row : {kRowCustNumber, kRowCustName}) {
            grid.SetText(kColText, row, "");
            grid.SetText(kColValue, row, "");
        }
        // The unit row shows the base unit of the item that stays.
        const std::string item = grid.GetText(kColValue, kRowItemNumber);
        RecordsetPtr rs = ctx_.Connection().Execute(
            "select t2.FName,t2.FMeasureUnitID from t_ICItem t1 inner join t_MeasureUnit t2 on "
            "t1.FUnitID=t2.FMeasureUnitID where t1.FItemID=" +
            std::to_string(ValId(item)));
        if (!rs || !rs->IsOpen()) {
            throw ComError(ComError::kNoCurrentRecord,
                           "Either BOF or EOF is True, or the current record has been deleted.");
        }
        grid.SetText(kColText, kRowUnit, FieldText(*rs, "FName"));
        grid.SetText(kColValue, kRowUnit, FieldText(*rs, "FMeasureUnitID"));
        grid.SetActiveCell(kColText, kRowCustNumber);
    } else if (!grid.Locked(kColText, kRowItemNumber)) {
        for (int row : {kRowItemNumber, kRowItemName, kRowModel, kRowUnit}) {
            grid.SetText(kColText, row, "");
            grid.SetText(kColValue, row, "");
        }
        grid.SetActiveCell(kColText, kRowItemNumber);
    }
}

}  // namespace orva
