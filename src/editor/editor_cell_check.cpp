// The check made when the user leaves a cell of the editor grid (and as the
// first step of the save and batch commands): the engine validates the typed
// value; a refusal is shown and keeps the user in the cell. A locked cell is
// checked too: nobody typed into it, but the user's rights on the customer or
// item it shows may have been withdrawn since the entry was opened. A locked
// name or model row is checked through its code row.
#include <array>
#include <string>
#include <vector>

#include "editor/editor_messages.h"
#include "editor/frm_property.h"
#include "engine/engine_values.h"
#include "engine/user_def_info.h"
#include "host/base/text_util.h"
#include "host/controls/spread.h"
#include "host/host_ui.h"
#include "session/module_context.h"
#include "session/res_text.h"

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

// Columns 2 and 3 of every row, put back after a locked cell was checked: its
// value cannot have changed, so what the check fills in (the item check
// resets the unit to the item's base unit) must not replace what was loaded.
class GridTexts {
  public:
    explicit GridTexts(Spread& grid) : grid_(grid) {
        for (int row = 1; row <= grid.MaxRows(); ++row)
            texts_.push_back({grid.GetText(UserDefInfo::kColText, row),
                              grid.GetText(UserDefInfo::kColValue, row)});
    }
    void Restore() const {
        for (int row = 1; row <= static_cast<int>(texts_.size()); ++row) {
            const auto& kept = texts_[static_cast<std::size_t>(row - 1)];
            grid_.SetText(UserDefInfo::kColText, row, kept[0]);
            grid_.SetText(UserDefInfo::kColValue, row, kept[1]);
        }
    }

  private:
    Spread& grid_;
    std::vector<std::array<std::string, 2>> texts_;
};

}  // namespace

int frmProperty::LockedCheckRow(int row) const {
    // The customer's name (row 2) shows what the customer code row found, the
    // item's name and model (rows 4 and 5) what the item code row found: the
    // code row is checked, by the ID it holds. Nothing is checked before a
    // customer or item is chosen.
    int codeRow = 0;
    if (row == R::kRowCustName)
        codeRow = R::kRowCustNumber;
    else if (row == R::kRowItemName || row == R::kRowModel)
        codeRow = R::kRowItemNumber;
    if (codeRow != 0) {
        if (ValId(CellValue(codeRow)) == 0)
            return 0;
        row = codeRow;
    }
    // In the batch modes the locked key rows hold the group, not a record;
    // its members are found through the detail queries with the user's rights.
    if (!Single()) {
        const bool groupRow = ctx_.g_CategoryByCust
                                  ? row == R::kRowCustNumber || row == R::kRowCustName
                                  : row >= R::kRowItemNumber && row <= R::kRowUnit;
        if (groupRow)
            return 0;
    }
    return row;
}

bool frmProperty::CellCheck(int col, int row) {
    if (skipValidation_) {
        skipValidation_ = false;  // the cell was just filled by a lookup
        return true;
    }
    if (validating_ || col != UserDefInfo::kColText || row < 1 || !engine_)
        return true;
    if (!vaSProperty_.Editable(col, row)) {
        const int checked = LockedCheckRow(row);
        if (checked == 0)
            return true;
        Guard running(validating_);
        const GridTexts loaded(vaSProperty_);
        const bool accepted = RunCellCheck(col, checked);
        loaded.Restore();
        // Refused through a code row the user can change: the user is taken
        // there rather than kept in a cell that takes no typing.
        if (!accepted && checked != row && vaSProperty_.Editable(col, checked))
            vaSProperty_.SetActiveCell(col, checked);
        return accepted;
    }
    Guard running(validating_);
    return RunCellCheck(col, row);
}

bool frmProperty::RunCellCheck(int col, int row) {
    if (row == R::kRowItemNumber && Trim(CellText(row)).empty()) {
        EditorNotice(ctx_, GetResText("物料代码不能为空"), MsgIcon::kInformation);
        return false;
    }
    std::string message;
    if (engine_->Changed(row, col, message))
        return true;
    if (!message.empty()) {
        EditorNotice(ctx_, message, MsgIcon::kInformation);
        SelectProperty(row);
        return false;
    }
    if (!errorPrompt_)
        return true;  // a silent refusal only stops the user when errors are prompted
    EditorDialog(ctx_, GetResText("Tesmar提示"), GetResText("输入的数据在基础资料中不存在."));
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
