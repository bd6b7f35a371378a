// Saving the grid: a new entry (Add) or the changed cells of the entry being
// edited (Update). The price store checks and writes; these turn its answer
// into what the user is shown.
#include <initializer_list>
#include <string>

#include "engine/price_entry.h"
#include "engine/price_store.h"
#include "engine/user_def_info.h"
#include "host/app_connection.h"
#include "host/controls/spread.h"
#include "host/host_ui.h"
#include "session/res_text.h"
#include "session/session.h"

namespace orva {
namespace {

void ShowDuplicate(ModuleContext& ctx) {
    ctx.Ui().MessageBox(GetResText("已有相同记录，不允许保存"), MsgButtons::kOK,
                        MsgIcon::kInformation, GetResText("Tesmar提示"));
}

// A notice under the title "提示" with the details given, in order.
void ShowNotice(ModuleContext& ctx, std::initializer_list<std::string> details) {
    auto dialog = ctx.Ui().CreateMessageDialog();
    dialog->Title(GetResText("提示"));
    for (const std::string& detail : details) dialog->AddDetail(detail);
    dialog->Show(MessageDialog::kNotice);
}

}  // namespace

PriceEntry UserDefInfo::GridEntry() {
    const orva::Spread& grid = Grid();
    PriceEntry entry = ReadPriceEntry([&grid](int row) { return grid.GetText(kColValue, row); });
    entry.entryID = SelEntryID;
    return entry;
}

PriceEntry UserDefInfo::LoadedEntry() {
    PriceEntry entry = ReadPriceEntry([this](int row) {
        auto desc = Desc(row);
        return desc ? desc->m_Value : std::string();
    });
    entry.entryID = SelEntryID;
    return entry;
}

bool UserDefInfo::Add() {
    PriceStore store(ctx_.Connection());
    const PriceOutcome outcome = store.Add(GridEntry(), SelEntryID);
    switch (outcome.kind) {
        case PriceOutcome::kWritten:
            return true;
        case PriceOutcome::kDuplicate:
            ShowDuplicate(ctx_);
            return false;
        case PriceOutcome::kNoNumber:
            ShowNotice(ctx_, {GetResText("取最大号失败。")});
            return false;
        default:
            ShowNotice(ctx_, {GetResText("保存数据失败。"), outcome.error});
            return false;
    }
}

bool UserDefInfo::Update() {
    PriceStore store(ctx_.Connection());
    const PriceOutcome outcome = store.Update(GridEntry(), LoadedEntry());
    switch (outcome.kind) {
        case PriceOutcome::kWritten:
            return false;
        case PriceOutcome::kDuplicate:
            ShowDuplicate(ctx_);
            return true;
        case PriceOutcome::kDatabaseError: {
            auto dialog = ctx_.Ui().CreateMessageDialog();
            dialog->Title(GetResText("添加失败"));
            dialog->Headline(GetResText("网络冲突："));
            dialog->AddDetail(
                GetResText("请稍后再保存,如果还不成功请与网络管理员或Tesmar公司联系。"));
            dialog->AddDetail(outcome.error);
            dialog->AddDetail("");
            dialog->AddDetail("");
            dialog->Show(MessageDialog::kConflict);
            return true;
        }
        default:
            // An audited entry: the editor offers no save for it, so nothing
            // is shown here.
            return true;
    }
}

}  // namespace orva
