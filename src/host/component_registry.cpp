#include "host/component_registry.h"

#include <map>

#include "host/base/text_util.h"

namespace orva {
namespace {
std::map<std::string, ComponentRegistry::Factory>& Factories() {
    // Process-wide: hosts and the module reach components by ProgID alone.
    static std::map<std::string, ComponentRegistry::Factory> f;
    return f;
}
}  // namespace

void ComponentRegistry::RegisterAny(std::string_view progId, Factory make) {
    Factories()[ToLowerAscii(progId)] = std::move(make);
}

void ComponentRegistry::Unregister(std::string_view progId) {
    Factories().erase(ToLowerAscii(progId));
}

bool ComponentRegistry::IsRegistered(std::string_view progId) {
    return Factories().count(ToLowerAscii(progId)) > 0;
}

std::any ComponentRegistry::CreateAny(std::string_view progId) {
    auto it = Factories().find(ToLowerAscii(progId));
    if (it == Factories().end()) {
        throw ComError(ComError::kCannotCreate,
                       "ActiveX component can't create object: " + std::string(progId));
    }
    return it->second();
}

}  // namespace orva
