#include "support/process_scope.h"

#include <utility>

#include "browse/editor_launcher.h"
#include "host/err_object.h"
#include "host/host_ui.h"
#include "host/settings_store.h"
#include "host/share_props.h"
#include "session/globals.h"
#include "session/res_text.h"

namespace orva::test {

template <class T>
void ProcessScope::Keep(T& slot, T fresh) {
    restore_.push_back([&slot, saved = std::exchange(slot, std::move(fresh))]() mutable {
        slot = std::move(saved);
    });
}

ProcessScope::ProcessScope() {
    Keep(g_Connection, {});
    Keep(g_ShowMode, {});
    Keep(g_ReturnType, {});
    Keep(g_SelCustID, {});
    Keep(g_SelICItemID, {});
    Keep(g_CategoryByCust, {});
    Keep(g_CallByBill, {});
    Keep(g_UseShortNumber, {});
    Keep(g_PropsString, {});
    Keep(g_SessionProps, {});
    Keep(g_GLData, {});
    Keep(g_GLView, {});
    Keep(g_Utility, {});
    Keep(g_Language, {});
    Keep(g_ResLoader, {});
    restore_.push_back([settings = CurrentSettingsPtr()] { SetCurrentSettings(settings); });
    SetCurrentSettings(nullptr);
    restore_.push_back([ui = CurrentUiPtr()] { SetCurrentUi(ui); });
    const auto process = ShareProps::CurrentProcessId();
    restore_.push_back([process, session = ShareProps().GetProperty(process, "PropsString")] {
        ShareProps().SetProperty(process, "PropsString", session);
    });
    SetEditorLauncher(nullptr);
    Err().Clear();
}

ProcessScope::~ProcessScope() {
    g_Connection.reset();  // the test's connection closes first of all
    for (auto it = restore_.rbegin(); it != restore_.rend(); ++it) (*it)();
    SetEditorLauncher(nullptr);
    Err().Clear();
}

}  // namespace orva::test
