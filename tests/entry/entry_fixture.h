// Shared set-up of the entry tests: host services registered, a scripted
// user installed, and the host session string stored where the module reads
// it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "entry/globals.h"
#include "host/host_services.h"
#include "host/share_props.h"
#include "support/scripted_ui.h"

namespace orva {

inline void StoreSession(const std::string& propsString) {
    ShareProps().SetProperty(ShareProps::CurrentProcessId(), "PropsString", propsString);
}

class EntryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RegisterHostServices();
        g_SessionProps.reset();
        g_UseShortNumber = false;
    }
    void TearDown() override {
        g_Connection.reset();
        StoreSession("");
    }

    ScriptedUiScope ui;
};

}  // namespace orva
