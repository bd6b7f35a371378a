// The browse window's saved settings: the grouping, the column widths and
// hidden flags per tree, the page setup, the tree's width, and what is
// written at close.
#include "browse/browse_settings.h"

#include <algorithm>
#include <optional>

#include "browse/browse_base.h"
#include "host/base/pass_over.h"
#include "session/module_context.h"

namespace orva {

namespace bs = browse_settings;

namespace {

// Reads a key of the window's own section that earlier versions kept in the
// host's section. A value still found there is moved: copied into the own
// section (unless that holds one already, which wins) and removed from the
// host's, so it is read there once. A store that keeps no change (a batch
// job's) still gives the old value.
template <class T>
T ReadMovedKey(SettingsStore& store, const SettingKey<T>& key) {
    SettingKey<T> old = key;
    old.section = bs::kSection;
    if (const std::optional<std::string> text = store.Read(old.app, old.section, old.key)) {
        PassOver([&] {
            if (!store.Read(key.app, key.section, key.key))
                store.Write(key.app, key.section, key.key, *text);
            store.Remove(old.app, old.section, old.key);
        });
    }
    std::optional<T> value = store.Find(key);
    if (!value)
        value = store.Find(old);
    return value ? std::move(*value) : key.defaultValue;
}

}  // namespace

void BrowseBase::ReadSavedGrouping() {
    // Absent or not a Boolean: the host's grouping stays.
    ctx_.g_CategoryByCust = ctx_.Settings().Get(bs::CategoryByCust(ctx_.g_CategoryByCust));
}

bool BrowseBase::FixedHiddenColumn(int col) const {
    return ItemTree() ? (col == 10 || col == 11) : (col == 11 || col == 12);
}

void BrowseBase::SaveColumnSettings() {
    SettingsStore& store = ctx_.Settings();
    const bool itemTree = ItemTree();
    for (int col = 1; col <= ledger_.Cols(); ++col) {
        PassOver([&] {
            store.Set(bs::ColWidth(itemTree, col), ledger_.ColWidth(col));
            store.Set(bs::ColHidden(itemTree, col), ledger_.ColHidden(col));
        });
    }
}

void BrowseBase::RestoreColumnSettings() {
    const SettingsStore& store = ctx_.Settings();
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
    SettingsStore& store = ctx_.Settings();
    const NodeId node = tree_.Selected();
    PassOver([&] { store.Set(bs::TvwKey(), SelectedKey()); });
    PassOver([&] { store.Set(bs::CategoryByCust(ctx_.g_CategoryByCust), ctx_.g_CategoryByCust); });
    PassOver([&] { store.Set(bs::LdgSelRow(), static_cast<std::int32_t>(ledger_.SelRow())); });
    PassOver([&] {
        const NodeId parent = node == kNoNode ? kNoNode : tree_.Parent(node);
        store.Set(bs::TvwParentKey(), parent == kNoNode ? std::string() : tree_.Node(parent).key);
    });
    PassOver([&] { store.Set(bs::TreeWidth(), static_cast<std::int32_t>(layout_.TreeWidth())); });
}

void BrowseBase::RestoreTreeWidth() {
    if (const std::optional<std::int32_t> width = ctx_.Settings().Find(bs::TreeWidth()))
        layout_.SetTreeWidth(*width);
}

void BrowseBase::SavePageSetup() {
    SettingsStore& store = ctx_.Settings();
    const PageSetup& setup = ledger_.PrintPageSetup();
    store.Set(bs::PrintPaper(), setup.paper);
    store.Set(bs::PrintLandscape(), setup.landscape);
    std::string margins;
    for (double m : {setup.marginLeft, setup.marginTop, setup.marginRight, setup.marginBottom}) {
        if (!margins.empty())
            margins += ',';
        margins += SettingCodec<double>::Encode(m);
    }
    store.Set(bs::PrintMargins(), margins);
    store.Set(bs::PrintFitToWidth(), setup.fitToWidth);
}

void BrowseBase::RestorePageSetup() {
    SettingsStore& store = ctx_.Settings();
    PageSetup setup;
    setup.paper = ReadMovedKey(store, bs::PrintPaper());
    if (setup.paper.empty())
        setup.paper = PageSetup{}.paper;
    setup.landscape = ReadMovedKey(store, bs::PrintLandscape());
    setup.fitToWidth = ReadMovedKey(store, bs::PrintFitToWidth());
    // Four margins from 0 to 100 mm, or the defaults.
    const std::string margins = ReadMovedKey(store, bs::PrintMargins());
    double values[4];
    int count = 0;
    std::size_t start = 0;
    while (count < 4 && start <= margins.size()) {
        const std::size_t end = std::min(margins.find(',', start), margins.size());
        const std::optional<double> v =
            SettingCodec<double>::Decode(std::string_view(margins).substr(start, end - start));
        if (!v || *v < 0 || *v > 100)
            break;
        values[count++] = *v;
        start = end + 1;
    }
    if (count == 4 && start > margins.size()) {
        setup.marginLeft = values[0];
        setup.marginTop = values[1];
        setup.marginRight = values[2];
        setup.marginBottom = values[3];
    }
    ledger_.PrintPageSetup() = setup;
}

}  // namespace orva
