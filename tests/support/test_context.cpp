#include "support/test_context.h"

#include "host/err_object.h"

namespace orva::test {

void ClearSlots(ModuleContext& ctx) {
    ctx.g_Connection.reset();
    ctx.g_ShowMode = 0;
    ctx.g_ReturnType = 0;
    ctx.g_SelCustID = 0;
    ctx.g_SelICItemID = 0;
    ctx.g_CategoryByCust = false;
    ctx.g_CallByBill = false;
    ctx.g_UseShortNumber = false;
    ctx.g_PropsString.clear();
    ctx.g_SessionProps.reset();
    ctx.g_GLData.reset();
    ctx.g_GLView.reset();
    ctx.g_Utility.reset();
    ctx.g_Language.clear();
    ctx.g_ResLoader.reset();
    ctx.settings.reset();
    ctx.editorLauncher = nullptr;
}

TestContext::TestContext(Slots slots)
    : ctx_(slots == Slots::kShared ? ModuleContext::SharedPtr()
                                   : std::make_shared<ModuleContext>()),
      settings_(CurrentSettingsPtr()),
      inForce_(*ctx_) {
    if (slots == Slots::kShared)
        ClearSlots(*ctx_);
    SetCurrentSettings(nullptr);
    Err().Clear();
}

TestContext::~TestContext() {
    ClearSlots(*ctx_);  // the test's connection closes first of all
    SetCurrentSettings(settings_);
    Err().Clear();
}

}  // namespace orva::test
