// "价格历史" (History) from the browse window: the changes of the selected
// ledger row's entry, or with no entry selected those of every entry the
// ledger shows (so the user's data rights, which chose the ledger's rows,
// also choose the history), oldest first, in the host's message dialog: one
// line a change with its time, who made it, what happened and each changed
// field's old and new value; audits and unaudits as events. A company
// without the price history has the command disabled, the status bar saying
// why.
#include "browse/history_line.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "browse/base_detail.h"
#include "browse/browse_base.h"
#include "browse/detail_commands.h"
#include "host/app_connection.h"
#include "host/base/pass_over.h"
#include "host/base/text_util.h"
#include "host/db/price_history.h"
#include "host/host_ui.h"
#include "host/message_dialog.h"
#include "session/res_text.h"

namespace orva {
namespace {

// The text of an operation.
const char* OperationText(const std::string& op) {
    if (op == "add")
        return N_("新增");
    if (op == "audit")
        return N_("审核");
    if (op == "unaudit")
        return N_("反审核");
    if (op == "delete")
        return N_("删除");
    return N_("修改");
}

// The caption of a recorded column, as the editor names the field.
std::string FieldText(const std::string& column) {
    static const std::map<std::string, const char*> kCaptions = {
        {"FCustID", N_("客户")},         {"FItemID", N_("物料")},
        {"FUnitID", N_("计量单位")},     {"FStartQty", N_("销货量(从)")},
        {"FEndQty", N_("销货量(到)")},   {"FPrice", N_("报价")},
        {"FCyID", N_("币别")},           {"FDiscount", N_("折扣率(%)")},
        {"FLeadTime", N_("销货提前期")}, {"FQuoteTime", N_("生效日期")},
        {"FExpireDate", N_("失效日期")}, {"FUsed", N_("审核状态")},
        {"FNote", N_("备注")},           {"FCurrencyID", N_("币别")},
        {"FSELowPrice", N_("最低限价")}};
    auto it = kCaptions.find(column);
    return it == kCaptions.end() ? column : GetResText(it->second);
}

}  // namespace

std::string HistoryLine(const HistoryRow& row, const std::map<std::int32_t, std::string>& users) {
    std::string who = row.login;
    if (row.userId) {
        auto it = users.find(*row.userId);
        who = it != users.end() ? it->second : std::to_string(*row.userId);
    }
    std::string line = row.time.substr(0, 19) + "  " + who + "  " +
                       (row.entryId ? GetResText("价格编号") + " " + std::to_string(row.entryId)
                                    : GetResText("最低限价")) +
                       "  " + GetResText(OperationText(row.operation));
    if (row.operation == "audit" || row.operation == "unaudit" || row.operation == "delete")
        return line;
    std::string fields;
    for (const HistoryChange& c : SplitHistoryChanges(row.changes)) {
        if (row.operation == "add" && c.newValue.empty())
            continue;
        fields += (fields.empty() ? "" : "; ") + FieldText(c.column) + " " +
                  (row.operation == "add" ? c.newValue : c.oldValue + " → " + c.newValue);
    }
    return fields.empty() ? line : line + ": " + fields;
}

void BrowseBase::ReadHistoryState() {
    historyOn_ = PassOver([&] { return ctx_.Connection().Backend().HasPriceHistory(); }, false);
    statusBar_.SetPanelText(
        kHistoryPanel, historyOn_ ? "" : GetResText("本公司未记录价格历史（orva-sql --upgrade）"));
    // Off until a leaf is selected.
    menus_.SetEnabled("mnuHistory", false);
    toolbar_.SetEnabled("History", false);
    menus_.SetEnabled("mnuAsOf", false);
}

void BrowseBase::mnuHistory() {
    if (!historyOn_)
        return;
    DbBackend& db = ctx_.Connection().Backend();
    std::vector<HistoryRow> rows;
    std::string headline;
    if (auto id = SelectedEntryID(); id && ledger_.SelRow() > BaseDetail::kTitleRows) {
        rows = EntryHistory(db, *id);
        headline = GetResText("价格编号") + " " + std::to_string(*id);
    } else {
        std::set<std::int32_t> shown;
        for (int r = BaseDetail::kTitleRows + 1; r <= ledger_.Rows(); ++r) {
            if (auto e = ParseEntryID(ledger_.CellText(r, 1)))
                shown.insert(*e);
        }
        for (std::int32_t e : shown) {
            std::vector<HistoryRow> part = EntryHistory(db, e);
            rows.insert(rows.end(), part.begin(), part.end());
        }
        std::sort(rows.begin(), rows.end(),
                  [](const HistoryRow& a, const HistoryRow& b) { return a.id < b.id; });
        headline = titleItem_;
    }
    const std::string title = GetResText("价格历史");
    if (rows.empty()) {
        ctx_.Ui().MessageBox(GetResText("没有修改历史。"), MsgButtons::kOK, MsgIcon::kInformation,
                             title);
        return;
    }
    std::map<std::int32_t, std::string> users;
    PassOver([&] {
        for (RecordsetPtr rs = ctx_.Connection().Execute("SELECT FUserID,FName FROM t_User");
             !rs->EOF_(); rs->MoveNext()) {
            users[static_cast<std::int32_t>(rs->Fields(0).Value().ToInteger())] =
                rs->Fields(1).Value().ToText();
        }
    });
    std::shared_ptr<MessageDialog> dialog = ctx_.Ui().CreateMessageDialog();
    dialog->Title(title);
    dialog->Headline(headline);
    for (const HistoryRow& row : rows) dialog->AddDetail(HistoryLine(row, users));
    dialog->Show(MessageDialog::kNotice, "", -1);
}

}  // namespace orva
