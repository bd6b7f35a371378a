// The check made when the user leaves a cell of the editor grid (and as the
// first step of the save and batch commands): the engine validates the typed
// value; a refusal is shown and keeps the user in the cell.
#include <string>

#include "editor/editor_messages.h"
#include "editor/frm_property.h"
#include "engine/user_def_info.h"
#include "host/host_ui.h"
#include "host/text_util.h"
#include "resources/res_text.h"

namespace orva {

namespace {

using R = UserDefInfo::Row;

class Guard {
  public:
    explicit Guard(bool& flag) : flag_(flag) { flag_ = true; }
    ~Guard() { flag_ = false; }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

  private:
    bool& flag_;
};

}  // namespace

bool frmProperty::CellCheck(int col, int row) {
    if (skipValidation_) {
        skipValidation_ = false;  // the cell was just filled by a lookup
        return true;
    }
    if (validating_ || col != UserDefInfo::kColText || row < 1 || !engine_)
        return true;
    // A locked cell holds what the window put there; the user changed nothing.
    if (!vaSProperty_.Editable(col, row))
        return true;
    Guard running(validating_);

    if (row == R::kRowItemNumber && Trim(CellText(row)).empty()) {
        EditorNotice(GetResText("物料代码不能为空"), MsgIcon::kInformation);
        return false;
    }
    std::string message;
    if (engine_->Changed(row, col, message))
        return true;
    if (!message.empty()) {
        EditorNotice(message, MsgIcon::kInformation);
        SelectProperty(row);
        return false;
    }
    if (!errorPrompt_)
        return true;  // a silent refusal only stops the user when errors are prompted
    EditorDialog(GetResText("Tesmar提示"), GetResText("输入的数据在基础资料中不存在."));
    return false;
}

void frmProperty::SelectProperty(int row) {
    int first = row;
    int last = row;
    switch (row) {
        case R::kRowCustNumber:
        case R::kRowCustName:
            first = R::kRowCustNumber;
            last = R::kRowCustName;
            break;
        case R::kRowItemNumber:
            first = R::kRowItemNumber;
            last = R::kRowUnit;
            break;
        default:
            break;
    }
    vaSProperty_.SetRedraw(false);
    vaSProperty_.SetSelection(
        CellBlock::Block(UserDefInfo::kColText, first, UserDefInfo::kColText, last));
    vaSProperty_.SetRedraw(true);
}

}  // namespace orva
