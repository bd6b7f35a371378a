// One test's module context. Own (the default): a fresh context of its own,
// in force while the test runs, so texts are translated in its language.
// Shared: the context every default CustFace uses, its slots emptied now and
// again at the end, for tests of CustFace() itself. Either way the host's
// settings store is a fresh in-memory one until the end and no error is
// pending; the user interface and the session string stay with
// ScriptedUiScope and ScopedSession.
//
// Declare it after the fixture's company, session and user-interface members
// (before any window): it is then destroyed before them, and the context's
// connection closes before the company file goes away.
//
//   test::TestContext ctx_;
//   ctx_->g_CategoryByCust = true;
//   BrowseBase window{*ctx_};
#pragma once

#include <memory>

#include "host/settings_store.h"
#include "session/module_context.h"

namespace orva::test {

class TestContext {
  public:
    enum class Slots { kOwn, kShared };

    explicit TestContext(Slots slots = Slots::kOwn);
    ~TestContext();
    TestContext(const TestContext&) = delete;
    TestContext& operator=(const TestContext&) = delete;

    ModuleContext& operator*() const { return *ctx_; }
    ModuleContext* operator->() const { return ctx_.get(); }
    const std::shared_ptr<ModuleContext>& ptr() const { return ctx_; }

  private:
    std::shared_ptr<ModuleContext> ctx_;
    std::shared_ptr<SettingsStore> settings_;
    ModuleContext::Scope inForce_;
};

// Empties every slot of the context, as in a fresh process.
void ClearSlots(ModuleContext& ctx);

}  // namespace orva::test
