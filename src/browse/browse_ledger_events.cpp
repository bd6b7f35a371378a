// The browse window's ledger: double click and keys, modify (the editor on
// the selected entry, or the pick in selection mode), refresh.
#include "browse/browse_base.h"
#include "browse/editor_launcher.h"
#include "host/base/pass_over.h"
#include "orvasaleprice/com_error.h"
#include "orvasaleprice/enums.h"
#include "session/module_context.h"
#include "session/rights.h"

namespace orva {

void BrowseBase::LedgerKeyDown(int& keyCode, int shift) {
    if (shift != 0)
        return;  // Shift, Ctrl or Alt held
    if (keyCode == kKeyEnter && ctx_.g_ShowMode == ShowSelect) {
        // The modify command's action in selection mode is the pick of the
        // selected row, so Enter picks as a double click does, after the
        // same right check as the menu's modify. The menu is hidden in this
        // mode and cannot carry the key.
        try {
            mnuEditModify();
        } catch (const ComError& e) {
            ShowCommandError(e);
        }
        return;
    }
    // Otherwise through the menu, so that a key does only what the menu
    // offers now: nothing on a group, and Delete nothing in selection mode,
    // where deleting is not offered at all.
    if (keyCode == kKeyDelete)
        menus_.Click("mnuEditDelete");
    else if (keyCode == kKeyEnter)
        menus_.Click("mnuEditModify");
}

void BrowseBase::LedgerDblClick() {
    try {
        OpenSelectedEntry();
    } catch (const ComError& e) {
        ShowCommandError(e);
    }
}

void BrowseBase::mnuEditModify() {
    if (!CheckFunctionRight(ctx_, kRightModify))
        return;
    OpenSelectedEntry();
}

void BrowseBase::OpenSelectedEntry() {
    // The ledger as of a day is read-only; its entries may be gone.
    if (ledger_.Rows() < BaseDetail::kTitleRows || !asOfDay_.empty())
        return;
    // A title row, an empty cell or anything but an entry ID: nothing to open.
    const std::optional<std::int32_t> entryID = SelectedEntryID();
    if (!entryID)
        return;

    if (ctx_.g_ShowMode == ShowSelect) {
        SelectEntry(*entryID);  // ReturnItem picks it; ReturnClass does nothing
        return;
    }

    std::optional<TreeNodeKey> node = ParseTreeNodeKey(SelectedKey());
    OpenEditor(EditorOperation::kSingle, *entryID, node ? node->id : 0, !ItemTree());
    // The editor may have stepped to another entry; the row selected now is
    // the one to show again.
    if (std::optional<std::int32_t> current = SelectedEntryID())
        currentEntryID_ = *current;
    Refresh();
}

void BrowseBase::RepaintRows() {
    // Every row's text is asked again: TRowData for rows 1 and 2, DRowData
    // for the others, as the ledger paints them.
    ledger_.ForceRefresh();
}

void BrowseBase::Refresh() {
    if (!detail_ || !builder_)
        return;
    PassOver([&] {
        const std::string key = SelectedKey();
        if (key.find("gb") != std::string::npos)
            LoadLeaf(key);
        RepaintRows();
        SelectEntryRow(currentEntryID_);
    });
}

}  // namespace orva
