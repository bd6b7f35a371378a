#include "common/log_on.h"

#include <memory>

#include "host/app_connection.h"
#include "host/host_services.h"
#include "host/session_string.h"
#include "host/share_props.h"
#include "session/module_context.h"

namespace orva::bench {

std::string LogOn(const std::string& company, int user) {
    RegisterHostServices();
    std::string props = MakeSessionString(company, user);
    ShareProps().SetProperty(ShareProps::CurrentProcessId(), "PropsString", Variant(props));
    ModuleContext::Shared().g_Connection = std::make_shared<AppConnection>();
    return props;
}

}  // namespace orva::bench
