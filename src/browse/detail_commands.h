// The audit and delete operations of the ledger data source: they read the
// entry in column 1 of the ledger's selected row, do the database work and
// report failures in the host's message dialog. The browse window's
// commands ask, call these and refresh.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace orva {

class BaseDetail;
class ModuleContext;

// The entry ID a ledger cell holds: a whole number in 32 bits, blanks around
// it allowed. Nothing for an empty cell, a title cell or any other text.
std::optional<std::int32_t> ParseEntryID(std::string_view cellText);

// Audit (unAudit false) or unaudit of the selected row's entry through
// AuditEntries. A refusal with a reason shows "审核\反审核价格资料失败："
// and the reason (title "Tesmar提示"); a database failure shows "更新数据不成功"
// (title "提示") and skips the ledger's ForceRefresh.
void CheckDetail(ModuleContext& ctx, BaseDetail& detail, bool unAudit);

// Deletes the selected row's entry, its record in Records and, when it was
// the pair's last entry, the customer-item header row in t_Cust. An audited
// entry is refused ("删除数据不成功.  价格资料已审核.", title "提示"), leaving
// the Records filter set and the ledger as it was. Other failing statements
// are skipped. `result` is set to 0.
void DeleteDetail(ModuleContext& ctx, BaseDetail& detail, std::int32_t& result);

}  // namespace orva
