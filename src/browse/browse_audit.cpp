// Audit and unaudit from the browse window: the window's commands and the
// data source's part of the work.
#include <string>

#include "browse/browse_base.h"
#include "browse/detail_commands.h"
#include "engine/audit_entries.h"
#include "host/base/text_util.h"
#include "host/host_ui.h"
#include "orvasaleprice/com_error.h"
#include "session/res_text.h"

namespace orva {
namespace {

void ShowNotice(ModuleContext& ctx, const std::string& title, const std::string& detail) {
    std::shared_ptr<MessageDialog> dialog = ctx.Ui().CreateMessageDialog();
    dialog->Title(title);
    dialog->AddDetail(detail);
    dialog->Show(MessageDialog::kNotice, "", -1);
}

}  // namespace

void CheckDetail(ModuleContext& ctx, BaseDetail& detail, bool unAudit) {
    Ledger* ledger = detail.LDG();
    if (!ledger)
        return;
    std::string ids;
    if (ledger->Cols() >= 1 && ledger->SelRow() >= 1) {
        ledger->SetCol(1);
        ledger->SetRow(ledger->SelRow());
        ids = ledger->Text();
    }
    try {
        const AuditResult audit = AuditEntries(ctx, unAudit, ids);
        if (!audit.Done() && !Trim(audit.message).empty())
            ShowNotice(ctx, GetResText("Tesmar提示"),
                       GetResText("审核\\反审核价格资料失败：") + audit.message);
    } catch (const ComError&) {
        ShowNotice(ctx, GetResText("提示"), GetResText("更新数据不成功"));
        return;
    }
    ledger->ForceRefresh();
}

void BrowseBase::mnuCheck() {
    AuditSelected(false);
}

void BrowseBase::mnuUnCheck() {
    AuditSelected(true);
}

void BrowseBase::AuditSelected(bool unAudit) {
    if (!detail_)
        return;
    // No entry in the selected row (empty cell, title row): nothing to do.
    const std::optional<std::int32_t> entryID = SelectedEntryID();
    if (!entryID)
        return;
    currentEntryID_ = *entryID;
    CheckDetail(ctx_, *detail_, unAudit);
    Refresh();
}

}  // namespace orva
