#include "engine/audit_entries.h"

#include <charconv>
#include <string_view>
#include <utility>

#include "host/app_connection.h"
#include "host/base/text_util.h"
#include "host/host_ui.h"
#include "model/sql_values.h"
#include "session/res_text.h"
#include "session/rights.h"
#include "session/session.h"

namespace orva {
namespace {

// The list as the statements write it: each id in decimal, comma separated.
// False when an item is not a whole number.
bool NormaliseIds(std::string_view ids, std::string& out) {
    out.clear();
    for (const std::string& part : Split(ids, ",")) {
        std::string_view t = Trim(part);
        std::int64_t id = 0;
        auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), id);
        if (t.empty() || ec != std::errc() || end != t.data() + t.size())
            return false;
        if (!out.empty())
            out += ',';
        out += SqlId(id);
    }
    return !out.empty();
}

bool HasRow(ModuleContext& ctx, const std::string& sql) {
    RecordsetPtr rs = ctx.Connection().Execute(sql);
    return rs->IsOpen() && rs->RecordCount() > 0;
}

AuditResult Refused(std::string message) {
    return {AuditOutcome::kRefused, std::move(message)};
}

}  // namespace

AuditResult AuditEntries(ModuleContext& ctx, bool unAudit, std::string_view ids) {
    if (!CheckFunctionRight(ctx, kRightAudit))
        return {AuditOutcome::kNoRight, {}};
    if (!ids.empty() && ids.back() == ',')
        ids.remove_suffix(1);

    std::string list;
    if (!NormaliseIds(ids, list))
        return Refused(GetResText("价格资料的内码无效：") + std::string(ids));
    const std::string in = " FEntryID in (" + list + ")";
    if (!unAudit) {
        if (HasRow(ctx, "Select top 1 * from t_CustEntry where FUsed=1 and" + in))
            return Refused(GetResText("当前记录已被审核！"));
    } else if (HasRow(ctx, "Select top 1 * from t_CustEntry where FUsed=0 and" + in)) {
        return Refused(GetResText("当前记录还未被审核！"));
    }
    // An entry that another user deleted meanwhile: nothing to write.
    if (!HasRow(ctx, "Select top 1 FEntryID from t_CustEntry where" + in))
        return Refused(GetResText("价格资料不存在，可能已被其他用户删除！"));

    ctx.Connection().Execute(std::string(unAudit ? "Update t_CustEntry set FUsed=0 where"
                                                 : "Update t_CustEntry set FUsed=1 where") +
                             in + " ");
    ctx.Ui().MessageBox(GetResText(unAudit ? "反审核" : "审核") + GetResText("成功"),
                        MsgButtons::kOK, MsgIcon::kNone, GetResText("系统提示"));
    return {AuditOutcome::kDone, {}};
}

}  // namespace orva
