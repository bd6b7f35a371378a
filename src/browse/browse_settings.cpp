// The browse window's saved settings: the grouping, the column widths and
// hidden flags per tree, and what is written at close.
#include "browse/browse_settings.h"

#include "browse/browse_base.h"
#include "browse/browse_passover.h"
#include "entry/globals.h"

namespace orva {

namespace bs = browse_settings;

void BrowseBase::ReadSavedGrouping() {
    // Absent or not a Boolean: the host's grouping stays.
    g_CategoryByCust = CurrentSettings().Get(bs::CategoryByCust(g_CategoryByCust));
}

bool BrowseBase::FixedHiddenColumn(int col) const {
    return ItemTree() ? (col == 10 || col == 11) : (col == 11 || col == 12);
}

void BrowseBase::SaveColumnSettings() {
    SettingsStore& store = CurrentSettings();
    const bool itemTree = ItemTree();
    for (int col = 1; col <= ledger_.Cols(); ++col) {
        PassOver([&] {
            store.Set(bs::ColWidth(itemTree, col), ledger_.ColWidth(col));
            store.Set(bs::ColHidden(itemTree, col), ledger_.ColHidden(col));
        });
    }
}

void BrowseBase::RestoreColumnSettings() {
    const SettingsStore& store = CurrentSettings();
    const bool itemTree = ItemTree();
    for (int col = 2; col <= ledger_.Cols(); ++col) {
        PassOver([&] {
            if (FixedHiddenColumn(col)) {
                ledger_.SetColWidth(col, 0);
                ledger_.SetColHidden(col, true);
            } else {
                ledger_.SetColWidth(col, store.Get(bs::ColWidth(itemTree, col)));
                ledger_.SetColHidden(col, store.Get(bs::ColHidden(itemTree, col)));
            }
        });
    }
}

void BrowseBase::mnuRecoverCol() {
    for (int col = 2; col <= ledger_.Cols(); ++col) {
        if (!FixedHiddenColumn(col))
            ledger_.SetColWidth(col, bs::kDefaultColWidth);
    }
}

void BrowseBase::SaveCloseSettings() {
    SettingsStore& store = CurrentSettings();
    const NodeId node = tree_.Selected();
    PassOver([&] { store.Set(bs::TvwKey(), SelectedKey()); });
    PassOver([&] { store.Set(bs::CategoryByCust(g_CategoryByCust), g_CategoryByCust); });
    PassOver([&] { store.Set(bs::LdgSelRow(), static_cast<std::int32_t>(ledger_.SelRow())); });
    PassOver([&] {
        const NodeId parent = node == kNoNode ? kNoNode : tree_.Parent(node);
        store.Set(bs::TvwParentKey(), parent == kNoNode ? std::string() : tree_.Node(parent).key);
    });
}

}  // namespace orva
