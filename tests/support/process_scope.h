// One test's hold on every process-wide slot of the module and its host:
// the module's globals (connection, show mode, preselection, tree kind,
// session properties, short codes, host objects), the cached language and
// resource loader, the loaded ledger records, the error object, the settings
// store, the editor launcher, the user interface and the host session string.
//
// On construction the module's slots start as in a fresh process (empty,
// zero, false; an in-memory settings store; the module's own editor launcher;
// no pending error). The user interface and the session string are only
// saved: ScriptedUiScope and ScopedSession own them. On destruction every
// slot gets its saved value back, so a test may set any of them freely.
//
// Declare it after the fixture's company, session and user-interface members
// (before any window): it is then destroyed before them, and the shared
// connection closes before the company file goes away.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/recordset.h"
#include "host/variant.h"

namespace orva {
class AppConnection;
class ErrObject;
class GLData;
class GLView;
class HostUi;
class HostUtility;
class KeyedStrings;
class ResLoader;
class SettingsStore;
}  // namespace orva

namespace orva::test {

class ProcessScope {
  public:
    ProcessScope();
    ~ProcessScope();
    ProcessScope(const ProcessScope&) = delete;
    ProcessScope& operator=(const ProcessScope&) = delete;

  private:
    struct Saved {
        std::shared_ptr<AppConnection> connection;
        std::int16_t showMode = 0;
        std::int16_t returnType = 0;
        std::int32_t selCustID = 0;
        std::int32_t selICItemID = 0;
        bool categoryByCust = false;
        bool callByBill = false;
        bool useShortNumber = false;
        std::string propsString;
        std::shared_ptr<KeyedStrings> sessionProps;
        std::shared_ptr<GLData> glData;
        std::shared_ptr<GLView> glView;
        std::shared_ptr<HostUtility> utility;
        std::string language;
        std::shared_ptr<ResLoader> resLoader;
        RecordsetPtr ledgerRecords;
        std::shared_ptr<SettingsStore> settings;
        std::shared_ptr<HostUi> ui;
        Variant hostSession;
    };
    Saved saved_;
};

}  // namespace orva::test
