// "调整价格..." (Adjust prices) from the browse window's edit menu and the
// tree's right-click menu: the adjustment dialog over the selected node (a
// group, a customer or an item; the whole company at the root), for a user
// who holds the modify right, as for a batch update. The ledger is read
// again afterwards.
#include <string>

#include "browse/browse_base.h"
#include "browse/frm_adjust_prices.h"
#include "host/host_ui.h"
#include "session/rights.h"

namespace orva {

void BrowseBase::mnuAdjustPrices() {
    if (!CheckFunctionRight(ctx_, kRightModify))
        return;
    const NodeId selected = tree_.Selected();
    std::optional<TreeNodeKey> node = ParseTreeNodeKey(SelectedKey());
    if (selected == kNoNode || !node)
        return;
    frmAdjustPrices dialog(ctx_, ItemTree(), *node, tree_.Node(selected).text);
    dialog.Load();
    ctx_.Ui().ShowModal(dialog);
    Refresh();
}

}  // namespace orva
