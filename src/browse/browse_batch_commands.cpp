// The browse window's commands that open another window on the tree
// selection: a new entry and the batch add, update and delete in the record
// editor, and the minimum price dialog for the selected ledger row.
#include <string>
#include <string_view>

#include "browse/browse_base.h"
#include "browse/editor_launcher.h"
#include "entry/globals.h"
#include "entry/rights.h"
#include "host/com_error.h"
#include "host/host_ui.h"
#include "host/text_util.h"
#include "host/variant.h"
#include "minprice/frm_se_low_price.h"
#include "resources/res_text.h"

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

void BrowseBase::OpenEditor(std::int32_t operationType, std::int32_t entryID, std::int32_t nodeID,
                            bool byCustomer) {
    EditorRequest request;
    request.operationType = operationType;
    request.entryID = entryID;
    if (byCustomer)
        request.custID = nodeID;
    else
        request.itemID = nodeID;
    request.ldg = &ledger_;
    try {
        LaunchPropertyEditor(request);
    } catch (const ComError& e) {
        ShowCommandError(e);
    }
}

void BrowseBase::mnuEditAddItem() {
    if (!CheckFunctionRight(kRightAdd))
        return;
    const std::string key = SelectedKey();
    std::optional<TreeNodeKey> node = ParseTreeNodeKey(key);
    if (Contains(key, "gb") && node && node->kind == TreeNodeKey::kLeaf)
        OpenEditor(EditorRequest::kSingle, 0, node->id, !ItemTree());
    Refresh();
}

void BrowseBase::mnuBatchAdd() {
    RunBatch(EditorRequest::kBatchAdd, kRightAdd);
}

void BrowseBase::mnuBatchUpdate() {
    RunBatch(EditorRequest::kBatchUpdate, kRightModify);
}

void BrowseBase::mnuBatchDelete() {
    RunBatch(EditorRequest::kBatchDelete, kRightDelete);
}

void BrowseBase::RunBatch(std::int32_t operationType, std::int32_t rightBit) {
    if (!CheckFunctionRight(rightBit))
        return;
    const std::string key = SelectedKey();
    std::optional<TreeNodeKey> node = ParseTreeNodeKey(key);
    // The root (id 0: every customer or item) or a group.
    if ((Contains(key, "gc") || Contains(key, "gi")) && node && node->kind != TreeNodeKey::kLeaf) {
        OpenEditor(operationType, 0, node->id, g_CategoryByCust);
    }
    Refresh();
}

void BrowseBase::mnuEditLowPrice() {
    if (!CheckFunctionRight(kRightModify))
        return;
    const bool itemTree = ItemTree();
    const int row = ledger_.SelRow();
    if (row <= BaseDetail::kTitleRows || row > ledger_.Rows() ||
        ledger_.Rows() == BaseDetail::kTitleRows) {
        CurrentUi().MessageBox(itemTree ? GetResText("当前物料无记录或者未选中限价客户！")
                                        : GetResText("当前客户无记录或者未选中限价物料！"),
                               MsgButtons::kOK, MsgIcon::kInformation, GetResText("Tesmar提示"));
        return;
    }
    auto cell = [&](int col) {
        ledger_.SetRow(row);
        ledger_.SetCol(col);
        return std::string(Trim(ledger_.Text()));
    };
    const NodeId node = tree_.Selected();
    std::optional<TreeNodeKey> key = ParseTreeNodeKey(SelectedKey());
    const std::int32_t nodeID = key ? key->id : 0;
    const std::string nodeText = node == kNoNode ? std::string() : tree_.Node(node).text;

    frmSELowPrice dialog;
    if (!itemTree) {
        dialog.SetCustID(nodeID);
        dialog.SetCustNumberName(nodeText);
        dialog.SetItemID(CellInteger(cell(11)));
        dialog.SetItemNumberName(cell(2) + "(" + cell(3) + ")");
        dialog.SetCurrencyID(CellInteger(cell(12)));
        dialog.SetCurrencyName(cell(13));
        dialog.SetPOHighPrice(CellDouble(cell(14)));
    } else {
        dialog.SetItemID(nodeID);
        dialog.SetItemNumberName(nodeText);
        dialog.SetCustID(CellInteger(cell(10)));
        dialog.SetCustNumberName(cell(2) + "(" + cell(3) + ")");
        dialog.SetCurrencyID(CellInteger(cell(11)));
        dialog.SetCurrencyName(cell(12));
        dialog.SetPOHighPrice(CellDouble(cell(13)));
    }
    dialog.Load();
    CurrentUi().ShowModal(dialog);
    Refresh();
}

}  // namespace orva
