// Shared set-up of the entry tests: host services registered, a scripted
// user installed, and the host session string stored where the module reads
// it; the slots every default CustFace shares are emptied before and after.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "host/host_services.h"
#include "host/share_props.h"
#include "session/module_context.h"
#include "support/scripted_ui.h"
#include "support/test_context.h"

namespace orva {

inline void StoreSession(const std::string& propsString) {
    ShareProps().SetProperty(ShareProps::CurrentProcessId(), "PropsString", propsString);
}

class EntryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterHostServices();
        StoreSession("");
    }

    ScriptedUiScope ui;
    test::TestContext ctx_{test::TestContext::Slots::kShared};
};

}  // namespace orva
