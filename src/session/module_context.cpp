#include "session/module_context.h"

#include "host/app_connection.h"
#include "host/component_registry.h"
#include "host/gl_data.h"
#include "host/gl_view.h"
#include "host/host_ui.h"
#include "host/host_utility.h"
#include "host/res_loader.h"
#include "host/settings_store.h"
#include "orvasaleprice/com_error.h"
#include "session/session.h"

namespace orva {
namespace {

// Reading a member of an object that was never set.
constexpr std::int32_t kObjectNotSet = 91;

// The context whose call is running, null for the shared one. Process-wide
// because the host's dialogs that translate texts reach it by no other way.
ModuleContext* inForce = nullptr;

}  // namespace

ModuleContext::ModuleContext() = default;

ModuleContext::ModuleContext(std::string sessionString) : ownSession_(std::move(sessionString)) {}

ModuleContext::~ModuleContext() = default;

std::shared_ptr<ModuleContext> ModuleContext::SharedPtr() {
    // Process-wide: every default CustFace shares these slots, as a host of
    // the component expects of them.
    static const std::shared_ptr<ModuleContext> shared = std::make_shared<ModuleContext>();
    return shared;
}

ModuleContext& ModuleContext::Shared() {
    return *SharedPtr();
}

ModuleContext& ModuleContext::InForce() {
    return inForce ? *inForce : Shared();
}

ModuleContext::Scope::Scope(ModuleContext& context) : previous_(inForce) {
    inForce = &context;
}

ModuleContext::Scope::~Scope() {
    inForce = previous_;
}

std::string ModuleContext::SessionString() const {
    if (ownSession_)
        return *ownSession_;
    return GetPropsString();
}

AppConnection& ModuleContext::Connection() {
    if (!g_Connection) {
        throw ComError(kObjectNotSet,
                       "The connection component has not been created (no CustFace instance).");
    }
    return *g_Connection;
}

std::shared_ptr<AppConnection> ModuleContext::CreateConnection() {
    std::shared_ptr<AppConnection> connection =
        ownSession_ ? std::make_shared<AppConnection>(std::string_view(*ownSession_))
                    : ComponentRegistry::Create<AppConnection>(AppConnection::kProgID);
    if (historyUser)
        connection->Backend().SetHistoryUser(historyUser);
    return connection;
}

SettingsStore& ModuleContext::Settings() {
    return settings ? *settings : CurrentSettings();
}

HostUi& ModuleContext::Ui() {
    return ui ? *ui : CurrentUi();
}

}  // namespace orva
