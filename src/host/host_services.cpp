#include "host/host_services.h"

#include "host/app_connection.h"
#include "host/assistant.h"
#include "host/component_registry.h"
#include "host/dictionary.h"
#include "host/gl_data.h"
#include "host/gl_view.h"
#include "host/host_utility.h"
#include "host/lexon_loader.h"
#include "host/security_info.h"
#include "host/share_props.h"

namespace orva {
namespace {

template <class T>
void RegisterPlain(const char* progId) {
    ComponentRegistry::Register<T>(progId, [] { return std::make_shared<T>(); });
}

}  // namespace

void RegisterHostServices() {
    RegisterPlain<AppConnection>(AppConnection::kProgID);
    RegisterPlain<ShareProps>(ShareProps::kProgID);
    RegisterPlain<SecurityInfo>(SecurityInfo::kProgID);
    RegisterPlain<GLData>(GLData::kProgID);
    ComponentRegistry::Register<GLView>(
        GLView::kProgID, [] { return std::shared_ptr<GLView>(std::make_shared<UiGLView>()); });
    RegisterPlain<Dictionary>(Dictionary::kProgID);
    RegisterPlain<Assistant>(Assistant::kProgID);
    RegisterPlain<HostUtility>(HostUtility::kProgID);
    RegisterLanguageComponents();
}

}  // namespace orva
