// The audit command of the editor: audits an unaudited entry and unaudits an
// audited one through the routine the browse window uses, then shows the
// entry again with the lock and toolbar of its new state.
#include <stdexcept>
#include <string>

#include "editor/editor_messages.h"
#include "editor/editor_scopes.h"
#include "editor/frm_property.h"
#include "engine/audit_entries.h"
#include "engine/engine_values.h"
#include "engine/user_def_info.h"
#include "host/app_connection.h"
#include "host/base/text_util.h"
#include "model/sql_values.h"
#include "session/res_text.h"
#include "session/session.h"

namespace orva {

frmProperty::CommandResult frmProperty::AuditCommand() {
    PointerScope pointer(*this);
    try {
        const bool unaudit = Trim(CellText(UserDefInfo::kRowUsed)) == "Y";
        entryID_ = EngineRef().SelEntryID;
        const AuditResult audit = AuditEntries(ctx_, unaudit, SqlId(entryID_));
        const bool reported = !audit.Done() && !Trim(audit.message).empty();
        if (reported)
            ShowWarning(ctx_, audit.message);

        RecordsetPtr keys = ctx_.Connection().Execute(
            "Select FItemID,FCustID from  t_CustEntry where FEntryID=" + SqlId(entryID_));
        if (!HasRow(keys)) {
            // Another client deleted the entry while it was open.
            if (!reported)
                EditorNotice(ctx_, GetResText("该价格资料已被其他用户删除。"),
                             MsgIcon::kInformation);
            return CommandResult::kStopped;
        }
        itemID_ = ValId(FieldText(*keys, "FItemID"));
        custID_ = ValId(FieldText(*keys, "FCustID"));
        Initialise();
        return CommandResult::kDone;
    } catch (const std::runtime_error& e) {
        ShowWarning(ctx_, e.what());
        return CommandResult::kStopped;
    }
}

}  // namespace orva
