// "检查重叠价格" (Check overlaps) from the browse window: the overlapping
// pairs of price entries under the selected node of the tree (the whole
// company when none is selected), with the user's data rights. None is
// said so; otherwise the count is asked about, and on Yes the list goes
// through the export component, one pair a row, the first entry's columns
// before the second's.
#include <string>

#include "browse/browse_base.h"
#include "browse/check_overlaps.h"
#include "host/base/text_util.h"
#include "host/component_registry.h"
#include "host/export/export_component.h"
#include "host/host_ui.h"
#include "model/sql_values.h"
#include "orvasaleprice/com_error.h"
#include "session/res_text.h"

namespace orva {
namespace {

// The columns of the key, then each entry's.
constexpr const char* kKeyCaptions[] = {N_("客户代码"), N_("客户名称"), N_("物料代码"),
                                        N_("物料名称"), N_("计量单位"), N_("币别")};
constexpr const char* kSideCaptions[] = {N_("价格编号"), N_("销货量(从)"), N_("销货量(到)"),
                                         N_("报价"),     N_("生效日期"),   N_("失效日期"),
                                         N_("审核状态")};
constexpr int kKeyCols = 6;
constexpr int kSideCols = 7;

void WriteSide(const OverlapSide& side, int first, ExportRow& data) {
    data.SetCell(first, std::to_string(side.entryID));
    data.SetCell(first + 1, SqlNumber(side.startQty));
    data.SetCell(first + 2, SqlNumber(side.endQty));
    data.SetCell(first + 3, SqlNumber(side.price));
    data.SetCell(first + 4, side.quoteTime.ToText());
    data.SetCell(first + 5, side.expireDate.ToText());
    data.SetCell(first + 6, side.audited ? "Y" : "");
}

}  // namespace

void BrowseBase::mnuCheckOverlaps() {
    TreeNodeKey node;  // the root: the whole company
    if (auto key = ParseTreeNodeKey(SelectedKey()))
        node = *key;
    const OverlapList list = CheckOverlaps(ctx_, ItemTree(), node);
    const std::string title = GetResText("Tesmar提示");
    if (list.rows.empty()) {
        ctx_.Ui().MessageBox(GetResText("没有重叠的价格。"), MsgButtons::kOK, MsgIcon::kInformation,
                             title);
        return;
    }
    const std::string question =
        ReplaceAll(GetResText("有 %1 对价格的销货量和有效期重叠。是否引出？"), "%1",
                   std::to_string(list.rows.size()));
    if (ctx_.Ui().MessageBox(question, MsgButtons::kYesNo, MsgIcon::kQuestion, title) !=
        MsgResult::kYes)
        return;

    try {
        auto exporter = ComponentRegistry::Create<ExportComponent>(ExportComponent::kProgID);
        exporter->SetCols(kKeyCols + 2 * kSideCols);
        for (int k = 0; k < kKeyCols; ++k)
            exporter->SetColCaption(k + 1, GetResText(kKeyCaptions[k]));
        for (int side = 0; side < 2; ++side) {
            for (int k = 0; k < kSideCols; ++k) {
                const int col = kKeyCols + side * kSideCols + k + 1;
                exporter->SetColCaption(col, GetResText(kSideCaptions[k]) + (side ? " 2" : " 1"));
                if (k >= 1 && k <= 3)
                    exporter->SetColKind(col, ExportKind::kNumber);
                if (k == 4 || k == 5)
                    exporter->SetColKind(col, ExportKind::kDate);
            }
        }
        Subscription loadData = exporter->OnLoadData([&](std::int64_t r, ExportRow& data) {
            const OverlapRow& row = list.rows[static_cast<std::size_t>(r - 1)];
            const RecordName& cust = OverlapList::Of(list.customers, row.custID);
            const RecordName& item = OverlapList::Of(list.items, row.itemID);
            data.SetCell(1, cust.number);
            data.SetCell(2, cust.name);
            data.SetCell(3, item.number);
            data.SetCell(4, item.name);
            data.SetCell(5, OverlapList::Of(list.units, row.unitID).name);
            data.SetCell(6, OverlapList::Of(list.currencies, row.currencyID).name);
            WriteSide(row.first, kKeyCols + 1, data);
            WriteSide(row.second, kKeyCols + kSideCols + 1, data);
        });
        exporter->SetRows(static_cast<std::int64_t>(list.rows.size()));
        exporter->Export(GetResText("重叠的价格"));
    } catch (const std::runtime_error& e) {
        ctx_.Ui().DetailedMessageBox(GetResText("引出组件调用不成功"), e.what(), MsgButtons::kOK,
                                     MsgIcon::kNone, title);
    }
}

}  // namespace orva
