// The browse window's find, filter, sort and search-all commands: they hand
// the ledger's records, the searchable fields and the system parameters to
// the host's find/filter/sort component, then show what it found, filtered
// or sorted.
#include <memory>
#include <vector>

#include "browse/browse_base.h"
#include "host/base/pass_over.h"
#include "host/component_registry.h"
#include "host/find/ffs_face.h"
#include "host/host_ui.h"
#include "session/module_context.h"
#include "session/res_text.h"
#include "session/rights.h"
#include "session/session.h"

namespace orva {
namespace {

Dictionary FieldOf(const char* caption, const char* column, int dataType, int lookUp,
                   int valueType) {
    Dictionary d;
    d.SetValue("Caption", GetResText(caption));
    d.SetValue("Column", column);
    d.SetValue("DataType", dataType);
    d.SetValue("LookUp", lookUp);
    d.SetValue("ValueType", valueType);
    return d;
}

// The closing messages: button style 6, no icon; the answer is not used.
// Callers mark the keys with N_ so that the key extraction sees them.
void Closing(ModuleContext& ctx, const char* text, const char* title) {
    ctx.Ui().MessageBox(GetResText(text), MsgButtons::kCancelTryContinue, MsgIcon::kNone,
                        GetResText(title));
}

}  // namespace

void BrowseBase::mnuEditFind() {
    RunFindComponent(kFfsFind);
}

void BrowseBase::mnuEditFilter() {
    RunFindComponent(kFfsFilter);
}

void BrowseBase::mnuEditSort() {
    RunFindComponent(kFfsSort);
}

void BrowseBase::mnuEditSearchAll() {
    searchAll_ = true;
    try {
        RunFindComponent(kFfsFind);
    } catch (...) {
        searchAll_ = false;
        throw;
    }
    searchAll_ = false;
}

std::vector<Dictionary> BrowseBase::FfsFamily() const {
    std::vector<Dictionary> family;
    // The other party of the ledger rows; with search all, the tree's own.
    const bool itemFields = searchAll_ ? ItemTree() : !ItemTree();
    if (itemFields) {
        family.push_back(FieldOf(N_("物料代码"), "FNumber", 1, 4, 1));
        family.push_back(FieldOf(N_("物料名称"), "FName", 1, 4, 2));
        family.push_back(FieldOf(N_("规格型号"), "FModel", 1, 0, 0));
    } else {
        family.push_back(FieldOf(N_("客户代码"), "FNumber", 1, 1, 1));
        family.push_back(FieldOf(N_("客户名称"), "FName", 1, 1, 2));
    }
    family.push_back(FieldOf(N_("计量单位"), "FUnitName", 1, 7, 0));
    family.push_back(FieldOf(N_("币别"), "FCyName", 1, 12, 2));
    family.push_back(FieldOf(N_("报价"), "FPrice", 2, 0, 0));
    family.push_back(FieldOf(N_("生效日期"), "FQuoteTime", 0, 0, 0));
    family.push_back(FieldOf(N_("失效日期"), "FExpireDate", 0, 0, 0));
    family.push_back(FieldOf(N_("备注"), "FNote", 1, 0, 0));
    Dictionary audit = FieldOf(N_("审核状态"), "FUsed", 8, 0, 0);
    audit.SetValue("ComBoxList", GetResText("已审核") + "\t" + GetResText("未审核"));
    family.push_back(std::move(audit));
    return family;
}

Dictionary BrowseBase::FfsSysPar() const {
    Dictionary p;
    p.SetValue("UseShortNumber", ctx_.g_UseShortNumber);
    if (searchAll_) {
        p.SetValue("SearchOption", ItemTree() ? 10 : 20);
        p.SetValue("UserID", GetCurUserID(ctx_));
        p.SetValue("bNeedCheckItemRight", DataRightsApply(ctx_));
    }
    return p;
}

void BrowseBase::RunFindComponent(std::int16_t mode) {
    Refresh();
    // What the ledger shows after the refresh; null for a group.
    const RecordsetPtr records = ctx_.g_LedgerRecords.get();
    std::shared_ptr<FFSFace> ffs;
    // A component that cannot be created or fails ends the command without a
    // message; the ledger keeps what the refresh loaded.
    const bool shown = PassOver([&] {
        ffs = ComponentRegistry::Create<FFSFace>(FFSFace::kProgID);
        ffs->SetFfsMode(mode);
        ffs->SetFfsFamily(FfsFamily());
        ffs->SetFfsSysPar(FfsSysPar());
        ffs->SetFfsRecordset(records);
        ffs->SetFfstvwBase(&tree_);
        ffs->Show();
    });
    if (!shown || !ffs->ReFfsOK())
        return;

    if (mode == kFfsFilter || mode == kFfsSort) {
        RecordsetPtr result = ffs->ReFfsRecordset();
        if (!records || !result)
            return;  // a group is selected: nothing to filter or sort
        bool unused = false;
        // New records end any note of an earlier filter (OnRecordsChanged).
        detail_->TakeJournalData("", result, unused);
        RepaintRows();
        if (mode == kFfsFilter) {
            statusBar_.SetPanelText(kFilterNotePanel, GetResText("过滤后显示记录数:") + " " +
                                                          std::to_string(result->RecordCount()) +
                                                          " / " +
                                                          std::to_string(records->RecordCount()));
        }
        return;
    }
    ShowFindResult(*ffs);
}

void BrowseBase::ShowFindResult(FFSFace& ffs) {
    std::shared_ptr<const FindPositions> found = ffs.ReFfsFdResult();
    if (!found) {
        if (!searchAll_) {
            Closing(ctx_, N_("搜索完毕，没有搜索到匹配记录。"), N_("Tesmar提示"));
            return;
        }
        Refresh();
        lastNodeKey_ = SelectedKey();
        return;
    }
    if (found->empty()) {
        if (searchAll_) {
            Refresh();
            FollowSearchAllNode();
            Closing(ctx_, N_("只找到符合部分条件的记录 !"), N_("Tesmar提示："));
        } else {
            Closing(ctx_, N_("搜索完毕，没有搜索到匹配记录。"), N_("Tesmar提示"));
        }
        lastNodeKey_ = SelectedKey();
        return;
    }
    if (searchAll_) {
        Refresh();
        if (RecordsetPtr records = ffs.ReFfsRecordset()) {
            detail_->SetRecords(records);
            ledger_.SetRows(static_cast<int>(records->RecordCount()) + BaseDetail::kTitleRows);
        }
        RepaintRows();
        FollowSearchAllNode();
        lastNodeKey_ = SelectedKey();
    }
    for (long position : *found) {
        ledger_.SetSelRow(static_cast<int>(position) + BaseDetail::kTitleRows);
        // Yes and No and the title only: no icon, like the closing messages.
        const MsgResult answer =
            ctx_.Ui().MessageBox(GetResText("当前记录已找到，是否继续往下搜索？"),
                                 MsgButtons::kYesNo, MsgIcon::kNone, GetResText("Tesmar提示"));
        if (answer == MsgResult::kNo)
            break;
    }
    Closing(ctx_, N_("搜索完毕!"), N_("Tesmar提示"));
}

void BrowseBase::FollowSearchAllNode() {
    // Search all may have selected another customer or item: the titles and
    // the enabled commands follow the selection, as after a click.
    const NodeId node = tree_.Selected();
    if (node == kNoNode)
        return;
    PassOver([&] { ShowNodeTitles(node); });
    PassOver([&] { SetTitleItem(node); });
    PassOver([&] { SetMenuAndBar(); });
    Changed();
}

}  // namespace orva
