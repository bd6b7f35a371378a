// The browse window's commands that open another window on the tree
// selection: a new entry and the batch add, update and delete in the record
// editor, and the minimum price dialog for the selected ledger row.
#include <string>
#include <string_view>

#include "browse/browse_base.h"
#include "browse/editor_launcher.h"
#include "host/base/text_util.h"
#include "host/host_ui.h"
#include "minprice/frm_se_low_price.h"
#include "orvasaleprice/com_error.h"
#include "orvasaleprice/variant.h"
#include "session/module_context.h"
#include "session/res_text.h"
#include "session/rights.h"

namespace orva {
namespace {

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

std::int32_t CellInteger(const std::string& text) {
    std::optional<double> n = ParseNumber(text);
    if (!n || *n < INT32_MIN || *n > INT32_MAX)
        return 0;
    return static_cast<std::int32_t>(Variant(*n).ToInteger());
}

double CellDouble(const std::string& text) {
    return ParseNumber(text).value_or(0);
}

}  // namespace

void BrowseBase::OpenEditor(EditorOperation operationType, std::int32_t entryID,
                            std::int32_t nodeID, bool byCustomer) {
    EditorRequest request;
    request.operationType = operationType;
    request.entryID = entryID;
    if (byCustomer)
        request.custID = nodeID;
    else
        request.itemID = nodeID;
    request.ldg = &ledger_;
    try {
        LaunchPropertyEditor(ctx_, request);
    } catch (const ComError& e) {
        ShowCommandError(e);
    }
}

void BrowseBase::mnuEditAddItem() {
    if (!CheckFunctionRight(ctx_, kRightAdd))
        return;
    const std::string key = SelectedKey();
    std::optional<TreeNodeKey> node = ParseTreeNodeKey(key);
    if (Contains(key, "gb") && node && node->kind == TreeNodeKey::kLeaf)
        OpenEditor(EditorOperation::kSingle, 0, node->id, !ItemTree());
    Refresh();
}

void BrowseBase::mnuBatchAdd() {
    RunBatch(EditorOperation::kBatchAdd, kRightAdd);
}

void BrowseBase::mnuBatchUpdate() {
    RunBatch(EditorOperation::kBatchUpdate, kRightModify);
}

void BrowseBase::mnuBatchDelete() {
    RunBatch(EditorOperation::kBatchDelete, kRightDelete);
}

void BrowseBase::RunBatch(EditorOperation operationType, std::int32_t rightBit) {
    if (!CheckFunctionRight(ctx_, rightBit))
        return;
    const std::string key = SelectedKey();
    std::optional<TreeNodeKey> node = ParseTreeNodeKey(key);
    // The root (id 0: every customer or item) or a group.
    if ((Contains(key, "gc") || Contains(key, "gi")) && node && node->kind != TreeNodeKey::kLeaf) {
        OpenEditor(operationType, 0, node->id, ctx_.g_CategoryByCust);
    }
    Refresh();
}

void BrowseBase::mnuEditLowPrice() {
    if (!CheckFunctionRight(ctx_, kRightModify))
        return;
    const bool itemTree = ItemTree();
    const int row = ledger_.SelRow();
    if (row <= BaseDetail::kTitleRows || row > ledger_.Rows() ||
        ledger_.Rows() == BaseDetail::kTitleRows) {
        ctx_.Ui().MessageBox(itemTree ? GetResText("当前物料无记录或者未选中限价客户！")
                                      : GetResText("当前客户无记录或者未选中限价物料！"),
                             MsgButtons::kOK, MsgIcon::kInformation, GetResText("Tesmar提示"));
        return;
    }
    // The selected row's cell of a field of the ledger's layout.
    auto cell = [&](std::string_view field) {
        ledger_.SetRow(row);
        ledger_.SetCol(BaseDetail::ColumnOf(itemTree, field));
        return std::string(Trim(ledger_.Text()));
    };
    const NodeId node = tree_.Selected();
    std::optional<TreeNodeKey> key = ParseTreeNodeKey(SelectedKey());
    const std::int32_t nodeID = key ? key->id : 0;
    const std::string nodeText = node == kNoNode ? std::string() : tree_.Node(node).text;

    frmSELowPrice dialog(ctx_);
    // The row names the other side of the price: an item in the customer
    // tree, a customer in the item tree.
    if (!itemTree) {
        dialog.SetCustID(nodeID);
        dialog.SetCustNumberName(nodeText);
        dialog.SetItemID(CellInteger(cell("FItemID")));
        dialog.SetItemNumberName(cell("FNumber") + "(" + cell("FName") + ")");
    } else {
        dialog.SetItemID(nodeID);
        dialog.SetItemNumberName(nodeText);
        dialog.SetCustID(CellInteger(cell("FCustID")));
        dialog.SetCustNumberName(cell("FNumber") + "(" + cell("FName") + ")");
    }
    dialog.SetCurrencyID(CellInteger(cell("FSELCyID")));
    dialog.SetCurrencyName(cell("FSELCyName"));
    dialog.SetPOHighPrice(CellDouble(cell("FSELowPrice")));
    dialog.Load();
    ctx_.Ui().ShowModal(dialog);
    Refresh();
}

}  // namespace orva
