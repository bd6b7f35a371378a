// "截至日期..." (As of Date) from the browse window: the selected leaf's
// ledger as it stood at the end of a day the user types (UTC, as the price
// history records time), built from the ledger as it is now with the
// history since undone (host/db/price_history_asof.h) and run through the
// ledger's own statement, so that the user's data rights choose its rows as
// they choose the ledger's. The window shows it in the ledger, titled with
// the day, for print, preview and export; no command that changes entries
// acts on it, and any other load of the ledger (a node, a refresh) leaves it.
#include <string>

#include "browse/browse_base.h"
#include "host/app_connection.h"
#include "host/base/pass_over.h"
#include "host/db/price_history_asof.h"
#include "host/host_ui.h"
#include "model/sql_values.h"
#include "orvasaleprice/com_error.h"
#include "session/res_text.h"

namespace orva {

namespace {

// The menu items and toolbar buttons whose commands change entries.
constexpr std::string_view kChanging[] = {"mnuEditAddItem",
                                          "mnuEditDelete",
                                          "mnuEditModify",
                                          "mnuEditLowPrice",
                                          "mnuCheck",
                                          "mnuUnCheck",
                                          "mnuBatchAdd",
                                          "mnuBatchUpdate",
                                          "mnuBatchDelete",
                                          "mnuAdjustPrices",
                                          "mnuBatchAdjustPrices",
                                          "mnuFileImport",
                                          "New",
                                          "Modify",
                                          "Delete",
                                          "SELowPrice",
                                          "Check",
                                          "UnCheck"};

}  // namespace

bool BrowseBase::ChangesEntries(std::string_view command) {
    for (std::string_view c : kChanging)
        if (c == command)
            return true;
    return false;
}

void BrowseBase::DisableChangingCommands() {
    for (std::string_view c : kChanging) {
        for (CommandSet* set :
             {static_cast<CommandSet*>(&menus_), static_cast<CommandSet*>(&toolbar_)}) {
            if (!set->Has(c) || !set->Item(c).enabled)
                continue;
            set->SetEnabled(c, false);
            disabledByAsOf_.emplace_back(set, std::string(c));
        }
    }
}

void BrowseBase::LeaveAsOf() {
    asOfDay_.clear();
    // What the as-of ledger turned off, on again; then as the node wants.
    for (const auto& [set, name] : disabledByAsOf_) set->SetEnabled(name, true);
    disabledByAsOf_.clear();
    PassOver([&] { SetMenuAndBar(); });
}

void BrowseBase::mnuAsOf() {
    const std::optional<TreeNodeKey> node = ParseTreeNodeKey(SelectedKey());
    if (!historyOn_ || !node || node->kind != TreeNodeKey::kLeaf || !detail_)
        return;
    const std::string title = GetResText("截至日期");
    const std::optional<std::string> typed =
        ctx_.Ui().AskText(GetResText("显示哪一天结束时（UTC）的价格资料？日期格式 yyyy-mm-dd："),
                          title, asOfDay_.empty() ? Date::Today().ToText() : asOfDay_);
    if (!typed)
        return;
    const std::optional<Date> day = ParseAsOfDay(*typed, Date::Today());
    if (!day) {
        ctx_.Ui().MessageBox(GetResText("日期无效或超出范围（1900-01-01 至今天）：") + *typed,
                             MsgButtons::kOK, MsgIcon::kExclamation, title);
        return;
    }
    RecordsetPtr records;
    try {
        const bool byItem = ItemTree();
        const LedgerTables tables =
            AsOfTables(ctx_.Connection().Backend(), byItem, node->id, AsOfCutoff(*day));
        records = ctx_.Connection().Execute(
            tvwBuilder::DetailSql(byItem, ctx_.g_UseShortNumber, ctx_.g_CallByBill, SqlId(node->id),
                                  tvwBuilder::ReadRights(ctx_), tables));
    } catch (const ComError& e) {
        // The ledger stays as it was.
        ctx_.Ui().DetailedMessageBox(GetResText("价格历史无法读取，不能显示截至该日的价格资料。"),
                                     e.what(), MsgButtons::kOK, MsgIcon::kExclamation, title);
        return;
    }
    bool result = false;
    asOfDay_ = day->ToText();
    loadingAsOf_ = true;
    PassOver([&] { detail_->TakeJournalData("", records, result); });
    loadingAsOf_ = false;
    ledger_.SetRedraw(true);
    RepaintRows();
    const std::string suffix = "  " + GetResText("截至") + " " + asOfDay_;
    PassOver([&] {
        ShowNodeTitles(tree_.Selected());
        ledger_.SetTextline(1, ledger_.Textline(1).text + suffix);
        SetTitleItem(tree_.Selected());
        titleItem_ += suffix;
    });
    SetMenuAndBar();
    Changed();
}

}  // namespace orva
