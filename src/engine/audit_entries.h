// Audit and unaudit of price entries (t_CustEntry.FUsed 1 audited, 0 not),
// shared by the browse window and the record editor.
#pragma once

#include <string>
#include <string_view>

#include "session/module_context.h"

namespace orva {

// How an audit ended: written, stopped by the missing function right (the
// right check has told the user already), or refused for a reason that the
// caller shows.
enum class AuditOutcome { kDone, kNoRight, kRefused };

struct AuditResult {
    AuditOutcome outcome = AuditOutcome::kDone;
    // The localised reason of a refusal; empty otherwise.
    std::string message;

    bool Done() const { return outcome == AuditOutcome::kDone; }
};

// Sets FUsed to 1 (unAudit false) or 0 (unAudit true) for the entries of the
// id list: FEntryID values separated by commas, a trailing comma allowed. In
// order:
//   - the function right for audit (mask 1) is checked; without it the check
//     has shown its message and the outcome is kNoRight;
//   - a list that is not made of whole numbers, or naming no existing entry
//     (another user deleted it), is refused with the message saying so;
//   - when any entry already is in the target state the whole list is
//     refused: "当前记录已被审核！" or "当前记录还未被审核！";
//   - otherwise the flag is written and "审核成功" or "反审核成功" is shown
//     (OK, no icon, title "系统提示"); the outcome is kDone.
// Messages are localised. Database failures raise ComError; nothing is
// written then.
AuditResult AuditEntries(ModuleContext& ctx, bool unAudit, std::string_view ids);

}  // namespace orva
