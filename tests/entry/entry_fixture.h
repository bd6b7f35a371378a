// Shared set-up of the entry tests: host services registered, a scripted
// user installed, and the host session string stored where the module reads
// it; the process-wide slots are put back afterwards.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "host/host_services.h"
#include "host/share_props.h"
#include "session/globals.h"
#include "support/process_scope.h"
#include "support/scripted_ui.h"

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
    test::ProcessScope process_;
};

}  // namespace orva
