// The browse window's menus and toolbar: which commands are shown and
// enabled, dispatch of clicks, the view toggles, close, help and layout.
#include <string_view>
#include <unordered_map>

#include "browse/browse_base.h"
#include "host/app_connection.h"
#include "host/base/pass_over.h"
#include "host/component_registry.h"
#include "host/host_utility.h"
#include "orvasaleprice/com_error.h"
#include "orvasaleprice/enums.h"
#include "session/module_context.h"
#include "session/session.h"

namespace orva {
namespace {

// Editing commands that need a leaf, as menu items and toolbar buttons.
constexpr const char* kLeafMenus[] = {"mnuEditAddItem",  "mnuEditDelete", "mnuEditModify",
                                      "mnuEditLowPrice", "mnuCheck",      "mnuUnCheck"};
constexpr const char* kLeafButtons[] = {"New",        "Modify", "Delete",
                                        "SELowPrice", "Check",  "UnCheck"};
// Batch commands, which need the root or a group.
constexpr const char* kBatchMenus[] = {"mnuBatchOperate", "mnuBatchAdd", "mnuBatchDelete",
                                       "mnuBatchUpdate"};
// Toolbar buttons that follow the edit menu's visibility.
constexpr const char* kEditButtons[] = {"New", "Modify", "sp1", "Delete", "Check", "UnCheck"};

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

}  // namespace

void BrowseBase::ApplyModeToMenus() {
    if (ctx_.g_ShowMode == ShowSelect) {
        menus_.SetVisible("mnuEditAddItem", false);
        menus_.SetVisible("mnuEditDelete", false);
        menus_.SetVisible("mnuEdit", false);
    }
    const bool editVisible = menus_.Item("mnuEdit").visible;
    for (const char* key : kEditButtons) toolbar_.SetVisible(key, editVisible);
}

void BrowseBase::SetMenuAndBar() {
    if (tree_.Selected() != kNoNode) {
        const bool edit = ctx_.g_ShowMode != ShowSelect;
        const bool leaf = Contains(SelectedKey(), "gb");
        for (const char* name : kLeafMenus) menus_.SetEnabled(name, edit && leaf);
        for (const char* key : kLeafButtons) toolbar_.SetEnabled(key, edit && leaf);
        for (const char* name : kBatchMenus) menus_.SetEnabled(name, edit && !leaf);
        // Adjust prices takes any node.
        menus_.SetEnabled("mnuAdjustPrices", edit);
        menus_.SetEnabled("mnuHistory", historyOn_ && leaf);
        toolbar_.SetEnabled("History", historyOn_ && leaf);
        menus_.SetEnabled("mnuAsOf", historyOn_ && leaf);
    }
    // The ledger as of a day is read-only.
    if (!asOfDay_.empty())
        DisableChangingCommands();
    if (ctx_.g_CallByBill) {
        toolbar_.SetEnabled("Check", false);
        toolbar_.SetEnabled("UnCheck", false);
    }
}

void BrowseBase::MenuClick(const std::string& name) {
    static const std::unordered_map<std::string_view, Handler> kHandlers = {
        {"mnuFileClose", &BrowseBase::mnuFileClose},
        {"mnuFilePrint", &BrowseBase::mnuFilePrint},
        {"mnuFilePreview", &BrowseBase::mnuFilePreview},
        {"mnuFilePrintSetup", &BrowseBase::mnuFilePrintSetup},
        {"mnuFileExport", &BrowseBase::mnuFileExport},
        {"mnuHideCol", &BrowseBase::mnuHideCol},
        {"mnuEditAddItem", &BrowseBase::mnuEditAddItem},
        {"mnuEditDelete", &BrowseBase::mnuEditDelete},
        {"mnuEditModify", &BrowseBase::mnuEditModify},
        {"mnuEditLowPrice", &BrowseBase::mnuEditLowPrice},
        {"mnuBatchAdd", &BrowseBase::mnuBatchAdd},
        {"mnuBatchUpdate", &BrowseBase::mnuBatchUpdate},
        {"mnuBatchDelete", &BrowseBase::mnuBatchDelete},
        {"mnuCheck", &BrowseBase::mnuCheck},
        {"mnuUnCheck", &BrowseBase::mnuUnCheck},
        {"mnuEditFind", &BrowseBase::mnuEditFind},
        {"mnuEditSort", &BrowseBase::mnuEditSort},
        {"mnuEditFilter", &BrowseBase::mnuEditFilter},
        {"mnuEditSearchAll", &BrowseBase::mnuEditSearchAll},
        {"mnuCheckOverlaps", &BrowseBase::mnuCheckOverlaps},
        {"mnuAdjustPrices", &BrowseBase::mnuAdjustPrices},
        {"mnuBatchAdjustPrices", &BrowseBase::mnuAdjustPrices},
        {"mnuHistory", &BrowseBase::mnuHistory},
        {"mnuAsOf", &BrowseBase::mnuAsOf},
        {"mnuFileImport", &BrowseBase::mnuFileImport},
        {"mnuViewToolbar", &BrowseBase::mnuViewToolbar},
        {"mnuViewStatusBar", &BrowseBase::mnuViewStatusBar},
        {"mnuViewToolbarLable", &BrowseBase::mnuViewToolbarLable},
        {"mnuVBaseICItem", &BrowseBase::mnuVBaseICItem},
        {"mnuVBaseSalePrice", &BrowseBase::mnuVBaseSalePrice},
        {"mnuRecoverCol", &BrowseBase::mnuRecoverCol},
        {"mnuViewRefresh", &BrowseBase::Refresh},
        {"mnuHelpSearchForHelpOn", &BrowseBase::mnuHelpSearchForHelpOn},
    };
    auto it = kHandlers.find(name);
    if (it == kHandlers.end())
        return;  // a submenu, or a command of a later build (disabled)
    if (!asOfDay_.empty() && ChangesEntries(name))
        return;  // the ledger as of a day is read-only
    try {
        (this->*(it->second))();
    } catch (const ComError& e) {
        ShowCommandError(e);
    }
}

void BrowseBase::ToolbarClick(const std::string& key) {
    static const std::unordered_map<std::string_view, Handler> kHandlers = {
        {"Organization", &BrowseBase::mnuVBaseSalePrice},
        {"ICItem", &BrowseBase::mnuVBaseICItem},
        {"New", &BrowseBase::mnuEditAddItem},
        {"Modify", &BrowseBase::mnuEditModify},
        {"Delete", &BrowseBase::mnuEditDelete},
        {"SELowPrice", &BrowseBase::mnuEditLowPrice},
        {"Check", &BrowseBase::mnuCheck},
        {"UnCheck", &BrowseBase::mnuUnCheck},
        {"Find", &BrowseBase::mnuEditFind},
        {"Sort", &BrowseBase::mnuEditSort},
        {"Filter", &BrowseBase::mnuEditFilter},
        {"FindAll", &BrowseBase::mnuEditSearchAll},
        {"Print", &BrowseBase::ToolbarPrintClick},
        {"PrintView", &BrowseBase::ToolbarPreviewClick},
        {"Exit", &BrowseBase::mnuFileClose},
        {"History", &BrowseBase::mnuHistory},
    };
    auto it = kHandlers.find(key);
    if (it == kHandlers.end() || (!asOfDay_.empty() && ChangesEntries(key)))
        return;
    PassOver([&] { (this->*(it->second))(); });  // the toolbar stops silently on failure
}

void BrowseBase::mnuFileClose() {
    Hide();
}

void BrowseBase::mnuViewToolbar() {
    const bool on = !menus_.Item("mnuViewToolbar").checked;
    menus_.SetChecked("mnuViewToolbar", on);
    toolbar_.SetVisible(on);
    Relayout();
}

void BrowseBase::mnuViewStatusBar() {
    const bool on = !menus_.Item("mnuViewStatusBar").checked;
    menus_.SetChecked("mnuViewStatusBar", on);
    statusBar_.SetVisible(on);
    Relayout();
}

void BrowseBase::mnuViewToolbarLable() {
    const bool on = !menus_.Item("mnuViewToolbarLable").checked;
    menus_.SetChecked("mnuViewToolbarLable", on);
    GetUtility(ctx_)->ShowToolbarCaptions(toolbar_, on);
    Relayout();
}

void BrowseBase::mnuVBaseICItem() {
    SwitchTree(true);
}

void BrowseBase::mnuVBaseSalePrice() {
    SwitchTree(false);
}

void BrowseBase::mnuHelpSearchForHelpOn() {
    auto connection = ctx_.CreateConnection();
    connection->ShowHelp(0);
}

// --- Layout -----------------------------------------------------------------

void BrowseBase::Relayout() {
    int toolbar = 0;
    if (toolbar_.Visible())
        toolbar = toolbar_.ShowCaptions() ? kToolbarHeight : kToolbarHeightNoCaptions;
    layout_.SetBarHeights(toolbar, statusBar_.Visible() ? kStatusBarHeight : 0);
    Changed();
}

void BrowseBase::Resize(int width, int height) {
    layout_.SetWindowSize(width, height);
    Relayout();
}

void BrowseBase::SplitterMouseDown(int x) {
    layout_.SplitterDown(x);
    Changed();
}

void BrowseBase::SplitterMouseMove(int x) {
    if (!layout_.Dragging())
        return;
    layout_.SplitterMove(x);
    Changed();
}

void BrowseBase::SplitterMouseUp(int x) {
    if (!layout_.Dragging())
        return;
    layout_.SplitterUp(x);
    Relayout();
}

}  // namespace orva
