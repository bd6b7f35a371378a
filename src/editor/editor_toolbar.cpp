// Toolbar clicks of the editor window and the save prompt that guards
// leaving a record with unsaved changes.
#include <stdexcept>

#include "editor/editor_messages.h"
#include "editor/editor_scopes.h"
#include "editor/frm_property.h"
#include "engine/user_def_info.h"
#include "host/host_ui.h"
#include "session/module_context.h"
#include "session/res_text.h"
#include "session/rights.h"
#include "session/session.h"

namespace orva {

void frmProperty::TbPriceButtonClick(const std::string& key) {
    try {
        PointerScope pointer(*this);
        if (key == kBtnFirst || key == kBtnPrevious || key == kBtnLast || key == kBtnNext) {
            if (!SavePrompt())
                return;
            const Step step = key == kBtnFirst      ? kStepFirst
                              : key == kBtnPrevious ? kStepPrevious
                              : key == kBtnLast     ? kStepLast
                                                    : kStepNext;
            Navigate(step);
        } else if (key == kBtnNew) {
            NewRecordClick();
        } else if (key == kBtnSave) {
            SaveClick();
        } else if (key == kBtnDelete) {
            BatchDeleteCommand();
        } else if (key == kBtnCheck) {
            CheckClick();
        } else if (key == kBtnExit) {
            ExitClick();
        }
    } catch (const std::runtime_error& e) {
        ShowWarning(ctx_, e.what());
    }
    mousePointer_ = PointerShape::kDefault;
}

frmProperty::CommandResult frmProperty::RunSave() {
    return operationType_ == EditorOperation::kBatchUpdate ? BatchUpdateCommand() : SaveCommand();
}

bool frmProperty::SavePrompt() {
    if (!dirty_)
        return true;
    const MsgResult answer =
        ctx_.Ui().MessageBox(GetResText("数据已经改变是否保存?"), MsgButtons::kYesNo,
                             MsgIcon::kInformation, GetResText("Tesmar提示"));
    if (answer == MsgResult::kYes && RunSave() != CommandResult::kDone)
        return false;
    dirty_ = false;
    return true;
}

void frmProperty::NewRecordClick() {
    if (!CheckFunctionRight(ctx_, kRightAdd))
        return;
    if (!SavePrompt())
        return;
    newRecord_ = true;
    // The group's key stays: the customer in the customer tree, the item in
    // the item tree.
    if (ctx_.g_CategoryByCust)
        itemID_ = 0;
    else
        custID_ = 0;
    entryID_ = 0;
    EngineRef().Used(0);
    Initialise();
    dirty_ = false;
}

void frmProperty::SaveClick() {
    const bool adding = Single() && newRecord_;
    if (RunSave() != CommandResult::kDone)
        return;
    dirty_ = false;
    if (!Single())
        return;
    if (adding && clearAfterAdd_)
        ClearForNextEntry();
    else
        Initialise();  // the grid shows the stored record
}

void frmProperty::ClearForNextEntry() {
    // ChkClear ticked: after adding an entry the grid is made ready for the
    // next one of the same customer (or item) instead of showing the stored
    // entry.
    BusyScope busy(*this);
    entryID_ = 0;
    newRecord_ = true;
    UserDefInfo& engine = EngineRef();
    engine.SelEntryID = 0;
    engine.Used(0);
    engine.ClearSpread(true);
    SetToolbarForMode();
}

void frmProperty::CheckClick() {
    if (dirty_) {
        EditorNotice(ctx_, GetResText("审核前请先保存!"));
        return;
    }
    AuditCommand();
}

void frmProperty::ExitClick() {
    if (!dirty_) {
        Hide();
        return;
    }
    if (operationType_ == EditorOperation::kBatchDelete) {
        const MsgResult answer =
            ctx_.Ui().MessageBox(GetResText("数据已经改变是否删除?"), MsgButtons::kYesNo,
                                 MsgIcon::kInformation, GetResText("Tesmar提示"));
        if (answer == MsgResult::kYes) {
            if (BatchDeleteCommand() == CommandResult::kDone)
                Hide();
            return;
        }
        dirty_ = false;
        Hide();
        return;
    }
    const MsgResult answer =
        ctx_.Ui().MessageBox(GetResText("数据已经改变是否保存?"), MsgButtons::kYesNo,
                             MsgIcon::kInformation, GetResText("Tesmar提示"));
    if (answer != MsgResult::kYes) {
        dirty_ = false;
        Hide();
        return;
    }
    if (RunSave() == CommandResult::kDone) {
        dirty_ = false;
        Hide();
    }
}

}  // namespace orva
