// The checks the save, batch update and batch delete commands make on the
// grid before they write. Each shows its message and returns false when it
// refuses; the grid keeps the user's input.
#include <optional>
#include <string>

#include "editor/editor_messages.h"
#include "editor/frm_property.h"
#include "engine/engine_values.h"
#include "engine/price_store.h"
#include "engine/user_def_info.h"
#include "host/app_connection.h"
#include "host/base/text_util.h"
#include "host/controls/cell_type.h"
#include "session/module_context.h"
#include "session/res_text.h"
#include "session/session.h"

namespace orva {

using R = UserDefInfo::Row;

std::string frmProperty::CellText(int row) const {
    return vaSProperty_.GetText(UserDefInfo::kColText, row);
}

std::string frmProperty::CellValue(int row) const {
    return vaSProperty_.GetText(UserDefInfo::kColValue, row);
}

bool frmProperty::CheckActiveCell() {
    const int col = vaSProperty_.ActiveCol();
    const int row = vaSProperty_.ActiveRow();
    if (col != UserDefInfo::kColText || row < 1)
        return true;
    return CellCheck(col, row);
}

bool frmProperty::CheckCustomer() {
    if (!(Single() || !ctx_.g_CategoryByCust))
        return true;  // a batch by customer group has the group as its customer
    const std::string value = CellValue(R::kRowCustNumber);
    const std::string_view id = Trim(value);
    if (!id.empty() && id != "0")
        return true;
    EditorDialog(ctx_, GetResText("提示"), GetResText("客户不能为空."), GetResText("请输入客户."));
    return false;
}

bool frmProperty::CheckItemText() {
    if (!(Single() || ctx_.g_CategoryByCust))
        return true;  // a batch by item group has the group as its item
    if (!Trim(CellText(R::kRowItemNumber)).empty())
        return true;
    EditorDialog(ctx_, GetResText("提示"), GetResText("物料不能为空."), GetResText("请输入物料."));
    return false;
}

bool frmProperty::CheckItemValue() {
    if (!Trim(CellValue(R::kRowItemNumber)).empty())
        return true;
    EditorDialog(ctx_, GetResText("提示"), GetResText("物料不能为空."), GetResText("请输入物料."));
    return false;
}

bool frmProperty::CheckUnit() {
    // A batch add by item group works in each item's base unit.
    if (!(ctx_.g_CategoryByCust || operationType_ != EditorOperation::kBatchAdd))
        return true;
    if (Trim(CellText(R::kRowUnit)).empty()) {
        EditorNotice(ctx_, GetResText("计量单位不能为空。"));
        return false;
    }
    std::string message;
    if (EngineRef().Changed(R::kRowUnit, UserDefInfo::kColText, message) || !errorPrompt_)
        return true;
    EditorNotice(ctx_, GetResText("输入的计量单位有误，请重新输入。"));
    vaSProperty_.SetActiveCell(UserDefInfo::kColText, R::kRowUnit);
    return false;
}

bool frmProperty::CheckBand() {
    if (Val(CellText(R::kRowEndQty)) - Val(CellText(R::kRowStartQty)) >= 0)
        return true;
    EditorNotice(ctx_, GetResText(" 销货量(到)应大于或等于销货量(从)。"));
    return false;
}

bool frmProperty::CheckDates() {
    const std::optional<std::string> from = NormaliseDate(Trim(CellText(R::kRowQuoteTime)));
    const std::optional<std::string> to = NormaliseDate(Trim(CellText(R::kRowExpireDate)));
    if (!from || !to) {
        EditorNotice(ctx_, GetResText("请输入有效的生效日期和失效日期。"));
        return false;
    }
    if (*to >= *from)
        return true;
    EditorNotice(ctx_, GetResText(" 失效日期应大于或等于生效日期。"));
    return false;
}

bool frmProperty::CheckCurrency() {
    if (Val(CellValue(R::kRowCurrency)) != 0)
        return true;
    EditorDialog(ctx_, GetResText("提示"), GetResText("币别不能为空."), GetResText("请输入币别."));
    return false;
}

bool frmProperty::CheckPrice() {
    const std::string price = CellValue(R::kRowPrice);
    if (!Trim(price).empty() && Val(price) != 0)
        return true;
    EditorDialog(ctx_, {}, GetResText("报价不能为零."));
    return false;
}

double frmProperty::BasePrice() {
    return PriceStore(ctx_.Connection()).BasePrice(EngineRef().GridEntry());
}

}  // namespace orva
