// What the plan tells of each row: the outcome's name, the reason a row is
// refused (built when it is shown, from what the plan kept of the row), and
// the entry a row writes.
#include <cstddef>
#include <string>

#include "host/base/text_util.h"
#include "import/import_plan.h"
#include "model/sql_values.h"
#include "session/res_text.h"

namespace orva::import {
namespace {

// The captions of the numbers a row holds, in the order of a refused number's detail.
constexpr const char* kNumberCaptions[] = {N_("销货量(从)"), N_("销货量(到)"), N_("报价"),
                                           N_("折扣率(%)"), N_("提前期(天)")};
constexpr Field kNumberColumns[] = {Field::kStartQty, Field::kEndQty, Field::kPrice,
                                    Field::kDiscount, Field::kLeadTime};

}  // namespace

std::string OutcomeName(RowOutcome outcome) {
    switch (outcome) {
        case RowOutcome::kNew:
            return GetResText("新增");
        case RowOutcome::kChange:
            return GetResText("修改");
        case RowOutcome::kUnchanged:
            return GetResText("无变化");
        case RowOutcome::kAudited:
            return GetResText("已审核");
        case RowOutcome::kUnknownCode:
            return GetResText("代码不存在");
        case RowOutcome::kNoDataRight:
            return GetResText("无数据权限");
        case RowOutcome::kNoFunctionRight:
            return GetResText("无功能权限");
        case RowOutcome::kBadNumber:
            return GetResText("数值错误");
        case RowOutcome::kBadDate:
            return GetResText("日期错误");
        case RowOutcome::kExpiryBeforeEffective:
            return GetResText("失效日期早于生效日期");
        case RowOutcome::kBadBand:
            return GetResText("数量段错误");
        case RowOutcome::kBelowFloor:
            return GetResText("低于最低限价");
        case RowOutcome::kDuplicateRow:
            return GetResText("文件内重复");
        case RowOutcome::kWriteFailed:
            return GetResText("写入失败");
        case RowOutcome::kCount:
            break;
    }
    return {};
}

bool Writes(RowOutcome outcome) {
    return outcome == RowOutcome::kNew || outcome == RowOutcome::kChange;
}

std::int64_t ImportPlan::Count(RowOutcome outcome) const {
    std::int64_t n = 0;
    for (const PlannedRow& row : rows) n += row.outcome == outcome ? 1 : 0;
    return n;
}

std::int64_t ImportPlan::ToWrite() const {
    std::int64_t n = 0;
    for (const PlannedRow& row : rows) {
        n += Writes(row.outcome) || (row.outcome == RowOutcome::kBelowFloor && row.writeBelowFloor)
                 ? 1
                 : 0;
    }
    return n;
}

bool ImportPlan::AllAccepted() const {
    for (const PlannedRow& row : rows) {
        if (!Writes(row.outcome) && row.outcome != RowOutcome::kUnchanged &&
            !(row.outcome == RowOutcome::kBelowFloor && row.writeBelowFloor))
            return false;
    }
    return true;
}

std::string_view ImportPlan::FieldCell(const PlannedRow& row, Field f) const {
    const int i = columns[f];
    return i < 0 ? std::string_view() : Trim(Cell(row, static_cast<std::size_t>(i)));
}

std::string ImportPlan::Reason(const PlannedRow& row) const {
    auto cell = [&](Field f) { return std::string(FieldCell(row, f)); };
    switch (row.refusal) {
        case Refusal::kNone:
            break;
        case Refusal::kCustomerUnknown:
            return GetResText("客户代码不存在：") + cell(Field::kCustNumber);
        case Refusal::kCustomerHidden:
            return GetResText("没有该客户的数据权限：") + cell(Field::kCustNumber);
        case Refusal::kLeafCustomerHidden:
            return GetResText("没有该客户的数据权限：") + std::to_string(leaf.custID);
        case Refusal::kItemUnknown:
            return GetResText("物料代码不存在：") + cell(Field::kItemNumber);
        case Refusal::kItemHidden:
            return GetResText("没有该物料的数据权限：") + cell(Field::kItemNumber);
        case Refusal::kLeafItemHidden:
            return GetResText("没有该物料的数据权限：") + std::to_string(leaf.itemID);
        case Refusal::kItemClass:
            return GetResText("不能指定规划类、特征类的物料。请重新输入");
        case Refusal::kUnitUnknown:
            return GetResText("计量单位不存在：") + cell(Field::kUnit);
        case Refusal::kCurrencyUnknown:
            return GetResText("币别不存在：") + cell(Field::kCurrency);
        case Refusal::kCurrencyHidden:
            return GetResText("没有该币别的数据权限：") + cell(Field::kCurrency);
        case Refusal::kBadNumber: {
            const auto i = static_cast<std::size_t>(row.detail);
            return GetResText("数值不正确：") + GetResText(kNumberCaptions[i]) + " " +
                   cell(kNumberColumns[i]);
        }
        case Refusal::kBadDate:
            return GetResText("请输入有效的生效日期和失效日期。");
        case Refusal::kExpiryBeforeEffective:
            return GetResText(" 失效日期应大于或等于生效日期。");
        case Refusal::kBadBand:
            return GetResText(" 销货量(到)应大于或等于销货量(从)。");
        case Refusal::kDuplicateRow:
            return GetResText("与第") + std::to_string(row.detail) + GetResText("行重复。");
        case Refusal::kAudited:
        case Refusal::kWriteAudited:
            return GetResText("价格资料已审核，不能修改。");
        case Refusal::kNoFunctionRight:
            return GetResText("没有权限,请与系统管理员联系");
        case Refusal::kBelowFloor:
            return GetResText("价格低于销售最低限价。");
        case Refusal::kWriteDuplicate:
            return GetResText("已有相同关键字的价格资料。");
        case Refusal::kWriteNoNumber:
            return GetResText("无法取得新的价格编号。");
        case Refusal::kWriteError:
            return errors[static_cast<std::size_t>(row.detail)];
    }
    return {};
}

PriceEntry ImportPlan::Entry(const PlannedRow& row) const {
    const PlannedValues& v = row.values;
    const StoredValues* s =
        row.stored >= 0 ? &stored[static_cast<std::size_t>(row.stored)] : nullptr;
    PriceEntry e;
    e.entryID = s ? s->entryID : 0;
    e.custID = std::to_string(v.custID);
    e.itemID = std::to_string(v.itemID);
    e.unitID = std::to_string(v.unitID);
    e.currencyID = std::to_string(v.currencyID);
    e.startQty = SqlNumber(v.startQty);
    e.endQty = SqlNumber(v.endQty);
    e.price = SqlNumber(v.price);
    e.discount = SqlNumber(v.discount);
    e.leadTime = SqlNumber(v.leadTime);
    e.quoteTime = UnpackDate(v.quoteTime).ToText();
    e.expireDate = UnpackDate(v.expireDate).ToText();
    e.used = s && s->used ? "1" : "0";
    // A change keeps the stored note when the file has no note column.
    const int note = columns[Field::kNote];
    e.note = note >= 0 ? std::string(Cell(row, static_cast<std::size_t>(note)))
             : s       ? s->note
                       : std::string();
    return e;
}

std::optional<PriceEntry> ImportPlan::Stored(const PlannedRow& row) const {
    if (row.stored < 0)
        return std::nullopt;
    const StoredValues& s = stored[static_cast<std::size_t>(row.stored)];
    PriceEntry e = Entry(row);
    e.price = SqlNumber(s.price);
    e.discount = SqlNumber(s.discount);
    e.leadTime = SqlNumber(s.leadTime);
    e.used = s.used ? "1" : "0";
    e.note = s.note;
    return e;
}

}  // namespace orva::import
