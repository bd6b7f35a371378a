#include "support/process_scope.h"

#include "browse/base_detail.h"
#include "browse/editor_launcher.h"
#include "entry/globals.h"
#include "host/err_object.h"
#include "host/host_ui.h"
#include "host/settings_store.h"
#include "host/share_props.h"
#include "resources/res_text.h"

namespace orva::test {

namespace {

constexpr const char* kPropsString = "PropsString";

// Swaps each module slot with its counterpart in `s`.
template <class Saved>
void SwapModuleSlots(Saved& s) {
    std::swap(g_Connection, s.connection);
    std::swap(g_ShowMode, s.showMode);
    std::swap(g_ReturnType, s.returnType);
    std::swap(g_SelCustID, s.selCustID);
    std::swap(g_SelICItemID, s.selICItemID);
    std::swap(g_CategoryByCust, s.categoryByCust);
    std::swap(g_CallByBill, s.callByBill);
    std::swap(g_UseShortNumber, s.useShortNumber);
    std::swap(g_PropsString, s.propsString);
    std::swap(g_SessionProps, s.sessionProps);
    std::swap(g_GLData, s.glData);
    std::swap(g_GLView, s.glView);
    std::swap(g_Utility, s.utility);
    std::swap(g_Language, s.language);
    std::swap(g_ResLoader, s.resLoader);
    std::swap(g_LedgerRecords, s.ledgerRecords);
}

}  // namespace

ProcessScope::ProcessScope() {
    // The saved record starts at a fresh process's values; swapping puts
    // those in the slots and keeps what was there.
    SwapModuleSlots(saved_);
    saved_.settings = CurrentSettingsPtr();
    SetCurrentSettings(nullptr);
    saved_.ui = CurrentUiPtr();
    saved_.hostSession = ShareProps().GetProperty(ShareProps::CurrentProcessId(), kPropsString);
    SetEditorLauncher(nullptr);
    Err().Clear();
}

ProcessScope::~ProcessScope() {
    // The test's values are dropped here, the shared connection first of all.
    g_Connection.reset();
    SwapModuleSlots(saved_);
    SetCurrentSettings(saved_.settings);
    SetCurrentUi(saved_.ui);
    ShareProps().SetProperty(ShareProps::CurrentProcessId(), kPropsString, saved_.hostSession);
    SetEditorLauncher(nullptr);
    Err().Clear();
}

}  // namespace orva::test
